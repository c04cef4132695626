// Standard output and standard error of the console program: result lines, errors, the progress line.
#pragma once
#include <windows.h>

#include <cstdint>

class ConsoleOutput {
public:
    explicit ConsoleOutput(bool quiet);

    // A result line or a message of the run: standard output, unless quiet.
    void Line(const char* text);
    // An error or a notice that would have been a message box: standard error, always.
    void Error(const char* text);
    // "Scanning C:  1234 files" over itself on a console, at most a few times a second; nothing
    // when standard output is redirected or the run is quiet. `status` is the path being checked.
    void Progress(const char* status, int32_t filesScanned);
    // Clears the progress line, if one is shown.
    void EndProgress();

private:
    struct Stream {
        HANDLE handle;
        bool console;  // a console shows OEM characters: the ANSI text is converted for it
    };
    static Stream Open(DWORD which);
    void Write(const Stream& stream, const char* text, size_t length);

    Stream out_;
    Stream err_;
    bool quiet_;
    bool progressShown_ = false;
    DWORD lastProgress_ = 0;
};
