// The report files an unattended run was asked for: the log it appends to, the JSON it writes.
#pragma once
#include <windows.h>

#include <cstddef>

#include "console/command_line.h"
#include "console/result_finding.h"
#include "console/run_report.h"
#include "platform/handles.h"

class RunReports {
public:
    // Opens the files `options` names for writing, creating a missing one, changing none: a
    // failure leaves every file as it was (one this call created is deleted again). False with
    // the reason in `error`.
    bool Open(const ConsoleOptions& options, char* error, size_t errorSize);

    void WriteHead(const RunStart& start);
    void WriteLine(const char* line);  // the log's copy of a result line or a message
    void WriteFinding(const FindingText& finding, const char* line);
    void WriteTail(const RunEnd& end);
    // Replaces the JSON's tail (the findings stay) and adds `logNote` and a second tail to the log:
    // for an exit code that changed after the reports were written.
    void RewriteTail(const RunEnd& end, const char* logNote);

    // True once a write failed: the run then ends with the code of a run that could not report.
    bool WriteFailed() const { return log_.failed || json_.failed; }
    // Closes the files; false when any write failed, with the file's name in `failedPath`.
    bool Close(char* failedPath, size_t capacity);

private:
    struct File {
        OwnedHandle handle;
        const char* path = nullptr;
        bool created = false;
        bool failed = false;
    };
    static DWORD OpenFile(File& file, const char* path);  // 0, or the system's error code
    static void Write(File& file, const char* text, size_t length);
    static void Write(File& file, const BoundedText& text);
    void WriteJsonTail(const RunEnd& end);

    File log_;
    File json_;
    unsigned long jsonTailAt_ = 0;  // where the JSON's tail begins, to write it again
    bool firstFinding_ = true;
};
