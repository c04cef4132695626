// Drives another program's windows for the GUI tests: find windows, click, type, read texts and lists.
//
// One command per line on standard input (or one command as arguments); one answer line each:
// "ok ..." or "error ...". Window titles are exact; a title may be followed by "@ID" to ask for a
// top-level window that has a child control with that ID (tells a dialog from the main window when
// both carry the same title).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "utf8_text.h"

namespace {

struct FindRequest {
    std::wstring title;
    int childId;
    HWND found;
};

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<FindRequest*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    wchar_t title[512];
    // InternalGetWindowText reads the title without sending a message to a possibly busy window.
    int n = GetWindowTextW(window, title, 512);
    if (request->title != std::wstring(title, n)) return TRUE;
    if (request->childId && !GetDlgItem(window, request->childId)) return TRUE;
    request->found = window;
    return FALSE;
}

HWND FindTopWindow(const std::string& query) {
    FindRequest request{L"", 0, nullptr};
    size_t at = query.rfind('@');
    if (at != std::string::npos && at + 1 < query.size() && isdigit(static_cast<unsigned char>(query[at + 1]))) {
        request.childId = atoi(query.c_str() + at + 1);
        request.title = Widen(query.substr(0, at));
    } else {
        request.title = Widen(query);
    }
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND WaitTopWindow(const std::string& query, DWORD timeout) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindTopWindow(query)) return window;
        if (GetTickCount() - start >= timeout) return nullptr;
        Sleep(50);
    }
}

std::string ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) return "";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 10000, &got);
    text.resize(got);
    return Narrow(text);
}

// Splits a command line into words; a word may be quoted with double quotes.
std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) word += line[i];
            ++i;
        } else {
            for (; i < line.size() && line[i] != ' '; ++i) word += line[i];
        }
        words.push_back(word);
    }
    return words;
}

std::string Run(const std::vector<std::string>& w) {
    if (w.empty()) return "error empty command";
    const std::string& cmd = w[0];
    auto arg = [&](size_t i) { return i < w.size() ? w[i] : std::string(); };
    DWORD timeout = 30000;

    if (cmd == "wait-window") {  // wait-window TITLE[@ID] [TIMEOUT_MS]
        if (w.size() > 2) timeout = strtoul(w[2].c_str(), nullptr, 10);
        HWND window = WaitTopWindow(arg(1), timeout);
        return window ? "ok " + std::to_string(reinterpret_cast<uintptr_t>(window)) : "error no window";
    }
    if (cmd == "wait-gone") {  // wait-gone TITLE[@ID] [TIMEOUT_MS]
        if (w.size() > 2) timeout = strtoul(w[2].c_str(), nullptr, 10);
        DWORD start = GetTickCount();
        while (FindTopWindow(arg(1))) {
            if (GetTickCount() - start >= timeout) return "error still there";
            Sleep(50);
        }
        return "ok";
    }
    if (cmd == "exists") return FindTopWindow(arg(1)) ? "ok 1" : "ok 0";
    if (cmd == "clicks") {  // clicks TITLE ID [TITLE ID ...]: posted back to back, so they queue together
        std::vector<HWND> controls;
        for (size_t i = 1; i + 1 < w.size(); i += 2) {
            HWND top = FindTopWindow(w[i]);
            HWND control = top ? GetDlgItem(top, atoi(w[i + 1].c_str())) : nullptr;
            if (!control) return "error no control " + w[i] + " " + w[i + 1];
            controls.push_back(control);
        }
        for (HWND control : controls) PostMessageW(control, BM_CLICK, 0, 0);
        return "ok";
    }

    HWND window = FindTopWindow(arg(1));
    if (!window) return "error no window " + arg(1);
    if (cmd == "title") {
        wchar_t title[512];
        int n = GetWindowTextW(window, title, 512);
        return "ok " + Escape(Narrow(std::wstring(title, n)));
    }
    if (cmd == "rect") {  // rect TITLE [ID]: screen rectangle of the window or of a control
        HWND target = w.size() > 2 ? GetDlgItem(window, atoi(w[2].c_str())) : window;
        RECT r;
        if (!target || !GetWindowRect(target, &r)) return "error no control";
        char out[96];
        snprintf(out, sizeof out, "ok %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        return out;
    }
    if (cmd == "key") {  // key TITLE VK: key down and up to the focused control of the window's thread
        UINT vk = static_cast<UINT>(strtoul(arg(2).c_str(), nullptr, 0));
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        HWND target = window;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
        return "ok";
    }
    if (cmd == "move") {  // move TITLE X Y: the window's top-left corner to a point of the screen
        SetWindowPos(window, nullptr, atoi(arg(2).c_str()), atoi(arg(3).c_str()), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return "ok";
    }
    if (cmd == "close") {  // close TITLE: the system close command (Alt+F4)
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return "ok";
    }
    if (cmd == "post") {  // post TITLE MSG WPARAM LPARAM
        PostMessageW(window, strtoul(arg(2).c_str(), nullptr, 0), strtoul(arg(3).c_str(), nullptr, 0),
                     strtol(arg(4).c_str(), nullptr, 0));
        return "ok";
    }

    HWND control = GetDlgItem(window, atoi(arg(2).c_str()));
    if (!control) return "error no control " + arg(2);
    if (cmd == "click") {  // posted: a click that opens a modal dialog must not block us
        PostMessageW(control, BM_CLICK, 0, 0);
        return "ok";
    }
    if (cmd == "click-key") {  // click-key TITLE ID VK: a click, and right behind it a key press to the window
        UINT vk = static_cast<UINT>(strtoul(arg(3).c_str(), nullptr, 0));
        PostMessageW(control, BM_CLICK, 0, 0);
        PostMessageW(window, WM_KEYDOWN, vk, 1);
        PostMessageW(window, WM_KEYUP, vk, 0xC0000001);
        return "ok";
    }
    if (cmd == "command") {  // command TITLE ID: WM_COMMAND as a click would send it
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED), reinterpret_cast<LPARAM>(control));
        return "ok";
    }
    if (cmd == "text") return "ok " + Escape(ControlText(control));
    if (cmd == "state") {  // visible enabled
        return std::string("ok ") + (IsWindowVisible(control) ? "1" : "0") + " " + (IsWindowEnabled(control) ? "1" : "0");
    }
    if (cmd == "lines") {  // lines TITLE ID: count, then each line on its own answer line
        DWORD_PTR count = 0;
        SendMessageTimeoutW(control, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 10000, &count);
        std::string out = "ok " + std::to_string(static_cast<long>(count));
        for (long i = 0; i < static_cast<long>(count); ++i) {
            DWORD_PTR length = 0;
            SendMessageTimeoutW(control, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 10000, &length);
            std::wstring line(length + 1, L'\0');
            SendMessageTimeoutW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]), SMTO_ABORTIFHUNG, 10000, &length);
            line.resize(wcsnlen(line.c_str(), line.size()));
            out += "\n" + Escape(Narrow(line));
        }
        return out;
    }
    if (cmd == "selection") {
        DWORD_PTR selected = 0;
        SendMessageTimeoutW(control, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 10000, &selected);
        return "ok " + std::to_string(static_cast<long>(static_cast<LRESULT>(selected)));
    }
    if (cmd == "extent") {
        DWORD_PTR extent = 0;
        SendMessageTimeoutW(control, LB_GETHORIZONTALEXTENT, 0, 0, SMTO_ABORTIFHUNG, 10000, &extent);
        return "ok " + std::to_string(static_cast<long>(extent));
    }
    return "error unknown command " + cmd;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc > 1) {
        std::vector<std::string> words(argv + 1, argv + argc);
        std::string answer = Run(words);
        printf("%s\n", answer.c_str());
        return answer.compare(0, 2, "ok") == 0 ? 0 : 1;
    }
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, stdin)) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line == "quit") break;
        printf("%s\n.\n", Run(Split(line)).c_str());
    }
    return 0;
}
