// The skinned question and notice box that replaces the system message box.
#include "ui/message_dialog.h"

#include <windows.h>

// Stand-in until the skinned dialog lands: the system box with the same buttons.
int32_t ShowMessageDialog(const char* text, const char* title, uint32_t style) {
    return MessageBoxA(GetActiveWindow(), text, (title && *title) ? title : "Purgix Ver 1.0", style);
}
