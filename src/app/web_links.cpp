// Opening the maker's pages in the browser through the shell.
#include "app/web_links.h"

#include <windows.h>
#include <shellapi.h>

#include "core/text.h"

void OpenMakerPage(const char* path) {
    char address[260];
    if (!CopyText(address, sizeof address, kMakerSite) || !AppendText(address, sizeof address, path)) return;
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
