// The least a windowed drive scan must do: what the full scan is measured against.
// Walks every fixed drive C: to Z: with two listings per folder, pumps three window messages per
// entry and shows every entry in a status label of a visible window, as the scan does, and checks
// nothing. It is driven like the scan's window: Scan (1052) starts the walk on a 100 ms timer, the
// label (1065) then reads "Scanning completed" and OK (1070) shows; OK ends it. Prints
// "files N folders F seconds S" (the walk alone) when the walk is done. Usage: baseline_scan
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr UINT kShowStatusMessage = 0x000A;  // the number the scan engine's status message has
constexpr int kStatusId = 1065;
constexpr int kScanId = 1052;
constexpr int kOkId = 1070;
constexpr UINT_PTR kStartTimer = 100;
constexpr size_t kPathSize = 260;
constexpr int kShownWidth = 60;

HWND mainWindow = nullptr;
HWND statusLabel = nullptr;
HWND okButton = nullptr;
char statusText[kPathSize];
bool stopped = false;
int files = 0;
int folders = 0;

void Pump() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
        stopped = true;
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

// The display form of a long path: its head, two dots and its tail, kShownWidth characters.
void ShowEntry(const char* path) {
    const size_t length = std::strlen(path);
    const size_t half = kShownWidth / 2 - 1;
    if (length > static_cast<size_t>(kShownWidth)) {
        std::memset(statusText, '.', kShownWidth);
        std::memcpy(statusText, path, half);
        std::memcpy(statusText + kShownWidth - half, path + length - half, half);
        statusText[kShownWidth] = '\0';
    } else {
        std::memcpy(statusText, path, length + 1);
    }
    SendMessageA(mainWindow, kShowStatusMessage, 0, 0);
}

bool Join(char* out, const char* folder, const char* name, const char* tail) {
    const int n = std::snprintf(out, kPathSize, "%s\\%s%s", folder, name, tail);
    return n > 0 && static_cast<size_t>(n) < kPathSize;
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// folder has no trailing backslash ("C:" for a drive root).
void Walk(const char* folder) {
    ++folders;
    char pattern[kPathSize];
    if (!Join(pattern, folder, "*.*", "")) return;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            Pump();
            if (stopped) break;
            char path[kPathSize];
            if (Join(path, folder, entry.cFileName, "")) {
                ShowEntry(path);
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
            }
            Pump();
            if (stopped) break;
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    if (stopped) return;
    search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        Pump();
        if (stopped) break;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName)) {
            char child[kPathSize];
            if (Join(child, folder, entry.cFileName, "")) Walk(child);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

double Now() {
    LARGE_INTEGER frequency, t;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void WalkFixedDrives() {
    const double start = Now();
    for (char letter = 'C'; letter <= 'Z' && !stopped; ++letter) {
        const char root[4] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        const char folder[3] = {letter, ':', '\0'};
        Walk(folder);
    }
    std::printf("files %d folders %d seconds %.3f\n", files, folders, Now() - start);
    std::fflush(stdout);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kShowStatusMessage:
        SetWindowTextA(statusLabel, statusText);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kScanId) SetTimer(window, kStartTimer, 100, nullptr);
        if (LOWORD(wParam) == kOkId) DestroyWindow(window);
        return 0;
    case WM_TIMER:
        // Like the scan, the walk runs inside one timer call once the window has painted.
        KillTimer(window, kStartTimer);
        WalkFixedDrives();
        std::strcpy(statusText, "Scanning completed");
        SendMessageA(window, kShowStatusMessage, 0, 0);
        ShowWindow(okButton, SW_SHOW);
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    cls.lpszClassName = "PurgixBaselineScan";
    if (!RegisterClassA(&cls)) return 1;
    mainWindow = CreateWindowExA(0, cls.lpszClassName, "Purgix baseline scan", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0,
                                 600, 462, nullptr, nullptr, cls.hInstance, nullptr);
    if (!mainWindow) return 1;
    // Where the scan's status label lies, in the face and size its dialog gives it (8 points at 96 dpi).
    statusLabel = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 31, 149, 453, 18, mainWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), cls.hInstance, nullptr);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HWND scanButton = CreateWindowExA(0, "BUTTON", "Scan", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 24, 70, 180, 33,
                                      mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScanId)),
                                      cls.hInstance, nullptr);
    okButton = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | BS_PUSHBUTTON, 222, 288, 92, 24, mainWindow,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)), cls.hInstance, nullptr);
    if (!statusLabel || !font || !scanButton || !okButton) return 1;
    SendMessageA(statusLabel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    UpdateWindow(mainWindow);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return stopped ? 1 : 0;
}
