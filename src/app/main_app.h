// CMainApp: refuses a second copy, otherwise runs the main window until it closes.
#pragma once
#include "framework/win_app.h"

class CMainApp : public CWinApp {
protected:
    // Always FALSE: the program ends when the main window closes (or at once for a second copy).
    BOOL InitInstance() override;
};
