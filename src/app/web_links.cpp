// Opening the maker's pages in the browser through the shell.
#include "app/web_links.h"

#include <windows.h>
#include <shellapi.h>

#include "core/text.h"
#include "platform/entry_point.h"
#include "platform/system_library.h"

namespace {

// The shell is loaded on the first click, from the system folder, and never freed: an import would
// have its DLLs resolved before the program can keep the search out of its own folder, and
// ShellExecute may leave work running in the shell's own threads after it returns.
HMODULE Shell = nullptr;

}  // namespace

void OpenMakerPage(const char* path) {
    char address[260];
    if (!CopyText(address, sizeof address, kMakerSite) || !AppendText(address, sizeof address, path)) return;
    if (!Shell) Shell = LoadSystemLibrary("shell32.dll");
    if (!Shell) return;
    if (auto shellExecute = LookUpEntryPoint<decltype(&ShellExecuteA)>(Shell, "ShellExecuteA")) {
        shellExecute(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    }
}
