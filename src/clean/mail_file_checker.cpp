// Removal of a uuencoded mail file that carries a known worm body (the hosts file is handed here).
#include "clean/mail_file_checker.h"

#include "clean/uninstall_entry.h"
#include "core/mail_scan.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "platform/file_source.h"
#include "remove/removal_action.h"

int32_t MailFileChecker(const char*, const char* path) {
    const MailSignatureRecord* record = nullptr;
    {
        FileSource file(path);
        if (!file.opened()) return 0;
        static MailBlocks blocks;
        record = ScanMailFile(file, file.Length(), &blocks);
    }
    if (!record) return 0;
    ++Session.ScanCounters.filesInfected;
    CopyText(Session.LastDetectionName, sizeof Session.LastDetectionName, record->name);
    CopyText(Session.StatusText, sizeof Session.StatusText, path);
    if (ApplyRemovalAction(Session.RemovalAction, NamedFile{path, nullptr}, record->name, kMailFileRemoval) ==
        RemovalOutcome::kDeleted)
        CleanUninstallEntry();
    return 1;
}
