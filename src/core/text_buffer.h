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
    // Takes the other's text, which is left empty.
    TextBuffer& operator=(TextBuffer&& other) noexcept {
        if (this != &other) {
            delete[] text_;
            text_ = other.text_;
            size_ = other.size_;
            other.text_ = nullptr;
            other.size_ = 0;
        }
        return *this;
    }

    explicit operator bool() const { return text_ != nullptr; }
    Char* data() { return text_; }
    const Char* data() const { return text_; }
    size_t size() const { return size_; }

private:
    Char* text_;
    size_t size_;
};
