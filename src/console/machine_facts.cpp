// The computer's name and the system clock in UTC.
#include "console/machine_facts.h"

#include <windows.h>

#include "core/text.h"

void ComputerName(char* name, size_t capacity) {
    char found[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof found;
    if (!GetComputerNameA(found, &size) || !found[0]) CopyText(found, sizeof found, "unknown");
    CopyText(name, capacity, found);
}

UtcTime UtcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return UtcTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
