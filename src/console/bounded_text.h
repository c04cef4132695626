// Text written into a fixed buffer: every append checks the room left, and one that does not fit
// marks the whole text as cut (a sticky flag), so the writer checks once at its end.
#pragma once
#include <cstddef>
#include <cstdint>

class BoundedText {
public:
    BoundedText(char* data, size_t capacity) : data_(data), capacity_(capacity) { Terminate(); }

    void Append(const char* text);
    void Append(const char* text, size_t length);
    void AppendChar(char c) { Append(&c, 1); }
    void AppendNumber(int64_t value);
    // Something that belongs in the text could not be written.
    void MarkCut() { cut_ = true; }

    const char* text() const { return data_; }
    size_t length() const { return length_; }
    // True when everything appended fitted (a terminating NUL included).
    bool whole() const { return !cut_; }

private:
    void Terminate() {
        if (capacity_) data_[length_] = '\0';
    }
    char* data_;
    size_t capacity_;
    size_t length_ = 0;
    bool cut_ = false;
};
