// ShowMessageDialog: the skinned question and notice box, run modally and answered like a message box.
#include "ui/message_dialog.h"

#include "ui/message_dialog_window.h"

int32_t ShowMessageDialog(const char* text, const char* title, uint32_t style) {
    MessageDialog dialog;
    dialog.Configure(text, title, style);
    return static_cast<int32_t>(dialog.DoModal());
}
