// Ending the processes that run an infected file, by exact executable path (NT 5.x).
#include <windows.h>

#include <cstring>

#include "core/text.h"
#include "processes/process_backends.h"
#include "processes/process_end.h"
#include "processes/process_status_list.h"

int32_t KillByProcessStatus(const char* path) {
    ProcessList list;
    switch (ListProcessesByStatus(&list, nullptr)) {
    case StatusListOutcome::kUnavailable:
        return 0;
    case StatusListOutcome::kOutOfMemory:
        return 1;  // the list could be read; nothing is ended from half of it
    case StatusListOutcome::kListed:
        break;
    }
    const size_t length = std::strlen(path);
    for (const ProcessNode* node = list.first(); node; node = node->next) {
        if (std::strlen(node->path) != length || CompareNoCase(node->path, path) != 0) continue;
        // The pause lets the ended process let go of its file before the delete is tried again.
        if (EndProcessRunning(node->processId, NamedFile{path, nullptr}) == EndOutcome::kEnded)
            Sleep(500);
    }
    return 1;
}
