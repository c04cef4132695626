// The skin's dialogs: a brush of their own behind the dialog and its static texts, and text drawn
// without a background box.
#pragma once
#include <windows.h>

#include "framework/dialog.h"

class SkinnedDialog : public CDialog {
public:
    using CDialog::CDialog;

protected:
    // The brush behind the dialog itself (control is its own window) or behind a static text;
    // null leaves that control the system's colours.
    virtual HBRUSH SkinBrush(HWND control) const = 0;
    HBRUSH OnCtlColor(HDC dc, HWND control, int type) override;
};
