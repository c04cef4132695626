// The skinned question and notice box that replaces the system message box.
#pragma once
#include <cstdint>

// style uses the message-box bits (0x01 OK/Cancel, 0x04 Yes/No, 0x10..0x40 pictures); returns
// 1 (OK), 2 (Cancel), 6 (Yes), 7 (No), or -1 when the dialog could not be created.
int32_t ShowMessageDialog(const char* text, const char* title, uint32_t style);
