// Feeds the walker's path cutting and display shortening with arbitrary names and patterns.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/path_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // Byte 0: output capacity; bytes 1-2: display width; the rest: pattern, NUL, entry name.
    const size_t capacity = data[0] % 64 == 0 ? 260 : data[0] % 64;
    const int16_t width = static_cast<int16_t>(data[1] | (data[2] << 8));
    std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
    size_t split = rest.find('\0');
    std::string pattern = rest.substr(0, split).substr(0, 400);
    std::string name = split == std::string::npos ? "" : rest.substr(split + 1).c_str();

    // Exactly `capacity` bytes, so the sanitizer sees any write past them.
    char* out = new char[capacity];
    ShortenPath(pattern.c_str(), out, capacity, width);
    if (std::strlen(out) >= capacity) __builtin_trap();
    if (FormEntryPath(pattern.c_str(), name.c_str(), out, capacity) == PathForm::kFormed &&
        std::strlen(out) > kMaxPathChars)
        __builtin_trap();
    FormChildPattern(pattern.c_str(), name.c_str(), out, capacity);
    FormFolderPassPattern(pattern.c_str(), out, capacity);
    FormProgramFilesFolder(pattern.c_str(), out, capacity);
    NamesProgramFilesFolder(pattern.c_str());
    IsDotEntry(name.c_str());
    delete[] out;
    return 0;
}
