// ShowMessageDialog: the skinned question and notice box, run modally and answered like a message box.
#include "ui/message_dialog.h"

#include "platform/wow64.h"
#include "ui/message_dialog_window.h"

int32_t ShowMessageDialog(const char* text, const char* title, uint32_t style) {
    // Asked during a scan too, when a 32-bit build on 64-bit Windows has file redirection off:
    // the dialog's window code may load DLLs of its own.
    FileSystemRedirectionPause windowCode;
    MessageDialog dialog;
    dialog.Configure(text, title, style);
    return static_cast<int32_t>(dialog.DoModal());
}
