// The report files of an unattended run, written as the run goes so that no finding is kept in memory.
#include "console/run_reports.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "console/ansi_decoder.h"
#include "core/text.h"

namespace {

// The longest piece: a finding whose object and line are both a full report line, each character
// of which may take six bytes as an escape.
constexpr size_t kPieceSize = 8192;

}  // namespace

DWORD RunReports::OpenFile(File& file, const char* path) {
    file.path = path;
    // Others may read a report while the run writes it, but nobody else may write it.
    const HANDLE handle =
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (handle == INVALID_HANDLE_VALUE) return error ? error : ERROR_OPEN_FAILED;
    file.created = error != ERROR_ALREADY_EXISTS;
    file.handle.Reset(handle);
    return 0;
}

bool RunReports::Open(const ConsoleOptions& options, char* error, size_t errorSize) {
    DWORD failure = options.logPath[0] ? OpenFile(log_, options.logPath) : 0;
    if (failure) {
        snprintf(error, errorSize, "cannot write the log %s (error %lu)", options.logPath, failure);
        return false;
    }
    failure = options.jsonPath[0] ? OpenFile(json_, options.jsonPath) : 0;
    if (failure) {
        snprintf(error, errorSize, "cannot write the JSON report %s (error %lu)", options.jsonPath, failure);
        if (log_.handle) {
            log_.handle.Close();
            if (log_.created) DeleteFileA(log_.path);
        }
        return false;
    }
    // A log grows by one record per run.
    if (log_.handle && SetFilePointer(log_.handle.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        log_.failed = true;
    return true;
}

void RunReports::Write(File& file, const char* text, size_t length) {
    if (!file.handle || file.failed) return;
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(file.handle.get(), text, static_cast<DWORD>(length), &written, nullptr) || written == 0) {
            file.failed = true;
            return;
        }
        text += written;
        length -= written;
    }
}

void RunReports::Write(File& file, const BoundedText& text) {
    if (!text.whole()) file.failed = true;
    Write(file, text.text(), text.length());
}

void RunReports::WriteHead(const RunStart& start) {
    char piece[kPieceSize];
    if (log_.handle) {
        BoundedText text(piece, sizeof piece);
        AppendLogHead(text, start);
        Write(log_, text);
    }
    if (json_.handle) {
        // An older report of that name goes only now, once the run is sure to start.
        if (SetFilePointer(json_.handle.get(), 0, nullptr, FILE_BEGIN) != 0 || !SetEndOfFile(json_.handle.get()))
            json_.failed = true;
        BoundedText text(piece, sizeof piece);
        AppendJsonHead(text, start, DecodeAnsi);
        Write(json_, text);
    }
}

void RunReports::WriteLine(const char* line) {
    Write(log_, line, std::strlen(line));
    Write(log_, "\r\n", 2);
}

void RunReports::WriteFinding(const FindingText& finding, const char* line) {
    if (!json_.handle) return;
    char piece[kPieceSize];
    BoundedText text(piece, sizeof piece);
    AppendJsonFinding(text, finding, line, firstFinding_, DecodeAnsi);
    firstFinding_ = false;
    Write(json_, text);
}

void RunReports::WriteJsonTail(const RunEnd& end) {
    char piece[kPieceSize];
    BoundedText text(piece, sizeof piece);
    AppendJsonTail(text, end);
    Write(json_, text);
}

void RunReports::WriteTail(const RunEnd& end) {
    char piece[kPieceSize];
    if (log_.handle) {
        BoundedText text(piece, sizeof piece);
        AppendLogTail(text, end);
        Write(log_, text);
    }
    if (json_.handle) {
        const DWORD at = SetFilePointer(json_.handle.get(), 0, nullptr, FILE_CURRENT);
        if (at == INVALID_SET_FILE_POINTER) json_.failed = true;
        jsonTailAt_ = at;
        WriteJsonTail(end);
    }
}

void RunReports::RewriteTail(const RunEnd& end, const char* logNote) {
    if (log_.handle) {
        WriteLine(logNote);
        char piece[kPieceSize];
        BoundedText text(piece, sizeof piece);
        AppendLogTail(text, end);
        Write(log_, text);
    }
    if (json_.handle && !json_.failed) {
        if (SetFilePointer(json_.handle.get(), static_cast<LONG>(jsonTailAt_), nullptr, FILE_BEGIN) != jsonTailAt_ ||
            !SetEndOfFile(json_.handle.get()))
            json_.failed = true;
        WriteJsonTail(end);
    }
}

bool RunReports::Close(char* failedPath, size_t capacity) {
    bool whole = true;
    File* const files[] = {&log_, &json_};
    for (File* file : files) {
        if (!file->handle) continue;
        if (!file->handle.Close()) file->failed = true;
        if (file->failed && whole) {
            CopyText(failedPath, capacity, file->path);
            whole = false;
        }
    }
    return whole;
}
