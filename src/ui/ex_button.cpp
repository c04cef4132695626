// CExButton: finding a hand cursor and showing it while the mouse is over the button.
#include "ui/ex_button.h"

#include "core/text.h"

CExButton::~CExButton() {
    if (handCursor_ && ownsCursor_) DestroyCursor(handCursor_);
}

void CExButton::LoadHandCursor() {
    if (handCursor_) return;
    char path[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (length > 0 && length < sizeof path && AppendText(path, sizeof path, "\\winhlp32.exe")) {
        // Only its resources are wanted, so the program is mapped as data and nothing of it runs.
        if (HMODULE help = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            if (HCURSOR cursor = LoadCursorA(help, MAKEINTRESOURCEA(106))) {
                handCursor_ = CopyCursor(cursor);
                ownsCursor_ = handCursor_ != nullptr;
            }
            FreeLibrary(help);
        }
    }
    if (!handCursor_) handCursor_ = LoadCursorA(nullptr, IDC_HAND);
}

LRESULT CExButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR && handCursor_) {
        SetCursor(handCursor_);
        return TRUE;
    }
    return SkinnedButton::WindowProc(message, wParam, lParam);
}
