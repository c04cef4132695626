// Removal of a uuencoded mail file that carries a known worm body (the hosts file is handed here).
#include "disinfect/mail_file_checker.h"

#include "clean/uninstall_entry.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "detect/mail_verdict.h"
#include "remove/removal_action.h"

int32_t MailFileChecker(const char*, const char* path) {
    const MailSignatureRecord* record = MatchMailRecord(path);
    if (!record) return 0;
    ++Session.ScanCounters.filesInfected;
    // The status text names the file found until the walk shows its next entry.
    CopyText(Session.StatusText, sizeof Session.StatusText, path);
    if (ApplyRemovalAction(Session.RemovalAction, NamedFile{path, nullptr}, record->name, LastShown{path, record->name},
                           kMailFileRemoval) == RemovalOutcome::kDeleted)
        CleanUninstallEntry();
    return 1;
}
