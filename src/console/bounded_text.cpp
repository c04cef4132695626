// Appending to a fixed buffer with one sticky flag for anything that did not fit.
#include "console/bounded_text.h"

#include <cstdio>
#include <cstring>

void BoundedText::Append(const char* text) { Append(text, std::strlen(text)); }

void BoundedText::Append(const char* text, size_t length) {
    // An append that does not fit whole is left out whole: a cut piece could end inside a
    // character or an escape.
    if (cut_ || capacity_ == 0 || length > capacity_ - 1 - length_) {
        cut_ = true;
        return;
    }
    std::memcpy(data_ + length_, text, length);
    length_ += length;
    Terminate();
}

void BoundedText::AppendNumber(int64_t value) {
    char digits[24];
    snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    Append(digits);
}
