// Decoding of the message-box style bits the message dialog honours.
#include "ui/message_style.h"

MessageButtons ButtonsForStyle(uint32_t style) {
    if (style & 0x01) return MessageButtons::kOkCancel;
    if (style & 0x04) return MessageButtons::kYesNo;
    return MessageButtons::kOkOnly;
}

MessagePicture PictureForStyle(uint32_t style) {
    if ((style & 0x30) == 0x30) return MessagePicture::kWarning;
    if (style & 0x40) return MessagePicture::kInformation;
    if (style & 0x20) return MessagePicture::kQuestion;
    if (style & 0x10) return MessagePicture::kError;
    return MessagePicture::kWarning;
}

int32_t ResultForCancel(MessageButtons buttons) { return buttons == MessageButtons::kYesNo ? kResultNo : kResultCancel; }
