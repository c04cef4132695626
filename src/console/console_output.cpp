// What the console program prints: lines to standard output, errors to standard error, progress.
#include "console/console_output.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kProgressInterval = 200;  // ms between two progress lines
constexpr char kLineEnd[] = "\r\n";
// Wide enough to cover the longest progress line before the cursor goes back.
constexpr char kBlankLine[] = "\r                                                  \r";

}  // namespace

ConsoleOutput::Stream ConsoleOutput::Open(DWORD which) {
    Stream stream = {GetStdHandle(which), false};
    DWORD mode;
    stream.console = stream.handle && stream.handle != INVALID_HANDLE_VALUE && GetConsoleMode(stream.handle, &mode);
    return stream;
}

ConsoleOutput::ConsoleOutput(bool quiet) : out_(Open(STD_OUTPUT_HANDLE)), err_(Open(STD_ERROR_HANDLE)), quiet_(quiet) {}

void ConsoleOutput::Write(const Stream& stream, const char* text, size_t length) {
    if (!stream.handle || stream.handle == INVALID_HANDLE_VALUE) return;
    while (length > 0) {
        char piece[512];
        const DWORD count = static_cast<DWORD>(length < sizeof piece ? length : sizeof piece);
        std::memcpy(piece, text, count);
        if (stream.console) CharToOemBuffA(piece, piece, count);
        DWORD written = 0;
        if (!WriteFile(stream.handle, piece, count, &written, nullptr) || written == 0) return;
        text += written;
        length -= written;
    }
}

void ConsoleOutput::Line(const char* text) {
    if (quiet_) return;
    EndProgress();
    Write(out_, text, std::strlen(text));
    Write(out_, kLineEnd, 2);
}

void ConsoleOutput::Error(const char* text) {
    EndProgress();
    Write(err_, text, std::strlen(text));
    Write(err_, kLineEnd, 2);
}

void ConsoleOutput::Progress(const char* status, int32_t filesScanned) {
    if (quiet_ || !out_.console || !status[0] || status[1] != ':') return;
    const DWORD now = GetTickCount();
    if (progressShown_ && now - lastProgress_ < kProgressInterval) return;
    lastProgress_ = now;
    char line[64];
    const int length = snprintf(line, sizeof line, "\rScanning %c:  %ld files   ", status[0], static_cast<long>(filesScanned));
    if (length <= 0) return;
    Write(out_, line, static_cast<size_t>(length) < sizeof line ? static_cast<size_t>(length) : sizeof line - 1);
    progressShown_ = true;
}

void ConsoleOutput::EndProgress() {
    if (!progressShown_) return;
    progressShown_ = false;
    Write(out_, kBlankLine, sizeof kBlankLine - 1);
}
