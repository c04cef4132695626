// Program entry: the one application object, and WinMain handing the program to it.
#include <windows.h>

#include "app/main_app.h"

static CMainApp TheApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return TheApp.Run(); }
