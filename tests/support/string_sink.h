// A text sink that keeps everything written to it, for the rename list's writer under test.
#pragma once
#include <cstddef>
#include <string>

#include "core/rename_list.h"

class StringSink final : public TextSink {
public:
    bool Write(const char* data, size_t length) override {
        text.append(data, length);
        return true;
    }
    std::string text;
};
