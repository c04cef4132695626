// The verdict on a mail file: does it carry a known worm body, and which record says so.
#include "detect/mail_verdict.h"

#include "platform/file_source.h"

const MailSignatureRecord* MatchMailRecord(const char* path) {
    FileSource file(path);
    if (!file.opened()) return nullptr;
    // Two 4096-byte blocks: too much for the stack of a check made deep inside a walk.
    static MailBlocks blocks;
    return ScanMailFile(file, file.Length(), &blocks);
}
