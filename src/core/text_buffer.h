// Text on the heap for paths too long for the stack, without exceptions.
#pragma once

#include <cstddef>
#include <new>

// A character buffer whose failed allocation shows as an empty buffer (no data, size 0) rather
// than as an exception the program has nowhere to catch. It starts as empty text.
template <typename Char>
class TextBuffer {
public:
    explicit TextBuffer(size_t count) : text_(count ? new (std::nothrow) Char[count] : nullptr), size_(text_ ? count : 0) {
        if (text_) text_[0] = Char(0);
    }
    ~TextBuffer() { delete[] text_; }
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    explicit operator bool() const { return text_ != nullptr; }
    Char* data() { return text_; }
    const Char* data() const { return text_; }
    size_t size() const { return size_; }

private:
    Char* text_;
    size_t size_;
};
