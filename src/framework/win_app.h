// CWinApp: the one application object; WinMain hands the program to it.
#pragma once
#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Current() { return current_; }

    // Called by WinMain: InitInstance, then a message loop only when it returned TRUE.
    int Run();

    CWnd* MainWindow() const { return mainWindow_; }
    void SetMainWindow(CWnd* window) { mainWindow_ = window; }

protected:
    // FALSE ends the program once it returns.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

private:
    static CWinApp* current_;
    CWnd* mainWindow_ = nullptr;
};
