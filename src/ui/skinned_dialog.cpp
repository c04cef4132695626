// The skin's dialogs: background brushes and transparent text.
#include "ui/skinned_dialog.h"

HBRUSH SkinnedDialog::OnCtlColor(HDC dc, HWND control, int type) {
    if (type == CTLCOLOR_DLG || type == CTLCOLOR_STATIC) {
        if (HBRUSH brush = SkinBrush(control)) {
            // The colours the default answer would set, without asking for it: that costs a
            // server round trip per status update under Wine, and its brush would be replaced.
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_3DFACE));
            SetBkMode(dc, TRANSPARENT);
            return brush;
        }
    }
    HBRUSH brush = CDialog::OnCtlColor(dc, control, type);
    SetBkMode(dc, TRANSPARENT);
    return brush;
}
