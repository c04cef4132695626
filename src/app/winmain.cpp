// Program entry: the one application object, and WinMain handing the program to it.
#include <windows.h>

#include "app/main_app.h"
#include "platform/dll_search.h"

static CMainApp TheApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before the window: opening it makes the system load DLLs of its own (themes, input methods)
    // by bare name.
    KeepDllSearchInSystemFolder();
    return TheApp.Run();
}
