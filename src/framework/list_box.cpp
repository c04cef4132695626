// CListBox: reading a line without trusting its length to fit.
#include "framework/list_box.h"

bool CListBox::GetLine(int index, char* buffer, int capacity) const {
    if (capacity <= 0) return false;
    buffer[0] = '\0';
    const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR || length >= capacity) return false;
    const LRESULT got = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    if (got == LB_ERR || got >= capacity) {
        buffer[0] = '\0';
        return false;
    }
    buffer[got] = '\0';
    return true;
}
