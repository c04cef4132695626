// What a message-box style word asks of the message dialog: its buttons, its picture, its results.
#pragma once
#include <cstdint>

enum class MessageButtons { kOkOnly, kOkCancel, kYesNo };
enum class MessagePicture { kInformation, kQuestion, kWarning, kError };

// 0x01 picks OK/Cancel before 0x04 picks Yes/No; anything else shows the lone OK.
MessageButtons ButtonsForStyle(uint32_t style);
// Both bits of 0x30 give the warning picture; then 0x40 information, 0x20 question, 0x10 error;
// no icon bit gives the warning picture.
MessagePicture PictureForStyle(uint32_t style);

// Result codes, as the system message box reports them.
constexpr int32_t kResultOk = 1;
constexpr int32_t kResultCancel = 2;
constexpr int32_t kResultYes = 6;
constexpr int32_t kResultNo = 7;

// The cancel command (Cancel, Escape, the close box) answers No when the question was Yes/No.
int32_t ResultForCancel(MessageButtons buttons);
