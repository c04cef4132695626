// CDialog: the modal loop, control binding and the reflection of owner-draw and colour messages.
#include "framework/dialog.h"

#include "framework/win_app.h"

INT_PTR CDialog::DoModal() {
    HWND owner = parent_ ? parent_->hwnd() : nullptr;
    if (!parent_) {
        CWinApp* app = CWinApp::Current();
        CWnd* main = app ? app->MainWindow() : nullptr;
        if (main && main != this && IsWindow(main->hwnd())) owner = main->hwnd();
    }
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

HBRUSH CDialog::OnCtlColor(HDC dc, HWND control, int type) {
    return reinterpret_cast<HBRUSH>(Default(WM_CTLCOLORMSGBOX + type, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(control)));
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED) break;
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            OnOK();
            return 0;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return 0;
        }
        if (OnCommand(id)) return 0;
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        LRESULT result = 0;
        if (CWnd* control = CWnd::FromHandle(item->hwndItem)) {
            if (control->ReflectedMessage(message, wParam, lParam, &result)) return result;
        }
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HWND controlWindow = reinterpret_cast<HWND>(lParam);
        LRESULT result = 0;
        if (CWnd* control = CWnd::FromHandle(controlWindow)) {
            if (control != this && control->ReflectedMessage(message, wParam, lParam, &result)) return result;
        }
        return reinterpret_cast<LRESULT>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), controlWindow, static_cast<int>(message - WM_CTLCOLORMSGBOX)));
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    // Only the first message needs this procedure: from then on the dialog's window procedure is
    // swapped for the object's, and everything else reaching here gets the dialog manager's default.
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (!self || !self->SubclassWindow(window)) return FALSE;
    return self->OnInitDialog();
}
