// Feeds the result-line reader and the JSON finding writer with arbitrary lines; the JSON must be
// well-formed UTF-8 with every control character escaped.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "console/json_text.h"
#include "console/result_finding.h"
#include "console/run_report.h"

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF; no raw control character.
bool WellFormed(const unsigned char* s, size_t n) {
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        size_t extra;
        uint32_t value;
        if (c < 0x20) return false;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { extra = 1; value = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { extra = 2; value = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { extra = 3; value = c & 0x07; }
        else return false;
        if (i + extra >= n) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            value = (value << 6) | (s[i + k] & 0x3F);
        }
        if ((extra == 2 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
            (extra == 3 && (value < 0x10000 || value > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The line as the engine keeps it: at most 499 bytes, up to the first NUL.
    std::string line(reinterpret_cast<const char*>(data), size < 499 ? size : 499);
    line = line.c_str();
    FindingText finding;
    if (!ReadFinding(line.c_str(), &finding)) return 0;
    const char* begin = line.c_str();
    const char* end = begin + line.size();
    if (finding.object < begin || finding.object + finding.objectLength > end || finding.objectLength == 0 ||
        finding.detection < begin || finding.detection + finding.detectionLength > end || finding.detectionLength == 0 ||
        std::memchr(finding.detection, ' ', finding.detectionLength))
        __builtin_trap();
    char buffer[8192];
    BoundedText out(buffer, sizeof buffer);
    AppendJsonFinding(out, finding, line.c_str(), false, DecodeCodePage1252);
    if (!out.whole() || std::strlen(out.text()) != out.length()) __builtin_trap();
    // Between the leading ",\n" and its end, a finding is one line: no raw line break or control.
    if (!WellFormed(reinterpret_cast<const unsigned char*>(out.text()) + 2, out.length() - 2)) __builtin_trap();
    return 0;
}
