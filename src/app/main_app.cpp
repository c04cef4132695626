// CMainApp: the single-instance test by window title and the modal main window.
#include "app/main_app.h"

#include "app/main_dlg.h"
#include "ui/skin_state.h"

BOOL CMainApp::InitInstance() {
    // Any top-level window of that title counts, whatever program it belongs to.
    if (FindWindowA(nullptr, kProductTitle)) return FALSE;
    {
        CMainDlg dialog;
        SetMainWindow(&dialog);
        dialog.DoModal();
        SetMainWindow(nullptr);
    }
    MainDialog = nullptr;
    if (LabelFont) DeleteObject(LabelFont);
    LabelFont = nullptr;
    return FALSE;
}
