// CDialog: a modal dialog from a template, with bound controls and messages reflected to them.
#pragma once
#include <windows.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    // With no parent, the application's main window (when there is one) owns the dialog.
    explicit CDialog(int templateId, CWnd* parent = nullptr) : templateId_(templateId), parent_(parent) {}

    // Runs the dialog until EndDialog; -1 when it could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) { ::EndDialog(hwnd(), result); }

protected:
    // Binds the controls (DoDataExchange); TRUE lets the system choose the first focus.
    virtual BOOL OnInitDialog();
    // One BindControl per control object, in the order the controls are listed.
    virtual void DoDataExchange() {}
    bool BindControl(int id, CWnd& control) { return control.SubclassDlgItem(id, *this); }

    virtual void OnOK() { EndDialog(IDOK); }          // the Enter key and command 1
    virtual void OnCancel() { EndDialog(IDCANCEL); }  // Escape, the close command and command 2
    // A button click of any other control; false leaves it to the default processing.
    virtual bool OnCommand(int id) { (void)id; return false; }
    // The brush for a control's background; type is CTLCOLOR_DLG, CTLCOLOR_STATIC and so on.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, int type);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    CWnd* parent_;
};
