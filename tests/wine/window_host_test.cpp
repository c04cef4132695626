// The window's side of a scan: its message pump asks on Escape, and a quit or destroy ends the scan.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/window_host.h"
#include "core/product_texts.h"

namespace {

// Answers every dialog of this process titled `title` with one button, from a thread of its own
// (the dialogs are modal on the test's thread). It never sends to a window: the test's thread may
// be blocked waiting for it.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button, const std::string& title = "Purgix Ver 1.0")
        : button_(button), title_(title.begin(), title.end()), thread_([this] { Run(); }) {}
    ~DialogAnswerer() { Finish(); }
    // Stops looking; afterwards answered() and texts() are final.
    void Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    int answered() const { return answered_; }
    // The texts of the answered dialogs' child windows (read them after Finish).
    const std::vector<std::string>& texts() const { return texts_; }

private:
    struct Search {
        const std::wstring* title;
        HWND found;
    };
    static std::string StoredText(HWND window) {
        // Reads the stored text without sending WM_GETTEXT to the owning thread.
        wchar_t text[600] = L"";
        int n = InternalGetWindowText(window, text, 600);
        std::string narrow;
        for (int i = 0; i < n; ++i) narrow += static_cast<char>(text[i]);
        return narrow;
    }
    static BOOL CALLBACK Find(HWND window, LPARAM param) {
        auto* search = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        std::string title = StoredText(window);
        if (pid == GetCurrentProcessId() && std::wstring(title.begin(), title.end()) == *search->title &&
            IsWindowEnabled(window)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK Collect(HWND child, LPARAM param) {
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(StoredText(child));
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            Search search = {&title_, nullptr};
            EnumWindows(Find, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                EnumChildWindows(search.found, Collect, reinterpret_cast<LPARAM>(&texts_));
                PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
                ++answered_;
                for (int i = 0; i < 3000 && IsWindow(search.found) && !stop_; ++i) Sleep(10);
            }
            Sleep(10);
        }
    }
    int button_;
    std::wstring title_;
    std::vector<std::string> texts_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t == text) return true;
    return false;
}

// A hidden top-level window standing in for the main window; it records the messages it is given.
class StandIn {
public:
    StandIn() {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = Procedure;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "PurgixTestStandIn";
        RegisterClassA(&cls);
        window_ = CreateWindowExA(0, cls.lpszClassName, "StandIn", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  cls.hInstance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        MainWindowHandle = window_;
    }
    ~StandIn() {
        MainWindowHandle = nullptr;
        DestroyWindow(window_);
    }
    HWND handle() const { return window_; }
    std::vector<UINT> dispatched;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<StandIn*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_APP + 3 || message == WM_DESTROY))
            self->dispatched.push_back(message);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

// Pumps until nothing waits; true when any pump asked for the scan to stop.
bool PumpAll(ScanHost& host) {
    bool stop = false;
    MSG waiting;
    while (PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) stop = host.PumpOneMessage() || stop;
    return stop;
}

}  // namespace

TEST(WindowPump, EscapePressAsksAndOnlyYesStops) {
    StandIn window;
    ScanHost& host = MainWindowHost();
    {
        DialogAnswerer no(IDNO);
        PostMessageA(window.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_FALSE(PumpAll(host));
        no.Finish();
        EXPECT_EQ(no.answered(), 1);
        EXPECT_TRUE(Contains(no.texts(), kTerminateQuestion));
    }
    EXPECT_TRUE(window.dispatched.empty()) << "the key press is the question's, not the window's";
    {
        // Only a press of the key asks: its release (which follows the key that answered the last
        // question) and any other message that merely carries 27 go to the window as usual.
        DialogAnswerer yes(IDYES);
        PostMessageA(window.handle(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
        PostMessageA(window.handle(), WM_APP + 3, MAKEWPARAM(VK_ESCAPE, 1), 0);
        PostMessageA(window.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(PumpAll(host));
        yes.Finish();
        EXPECT_EQ(yes.answered(), 1);
    }
    EXPECT_EQ(window.dispatched, (std::vector<UINT>{WM_KEYUP, WM_APP + 3}));
}

TEST(WindowPump, QuitAndDestroyMessagesStopTheScanAndAreNotPutBack) {
    StandIn window;
    ScanHost& host = MainWindowHost();
    PostQuitMessage(0);
    EXPECT_TRUE(host.PumpOneMessage());
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    PostMessageA(window.handle(), WM_DESTROY, 0, 0);
    EXPECT_TRUE(host.PumpOneMessage());
    EXPECT_TRUE(window.dispatched.empty());
    EXPECT_TRUE(IsWindow(window.handle()));
}
