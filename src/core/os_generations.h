// The Windows generations the program tells apart, with the numbers every caller has always compared.
#pragma once
#include <cstdint>

// Which line of Windows.
enum OsGeneration : int32_t {
    kOsQueryFailed = 0,
    kOsOther = 1,   // neither line
    kOsNineX = 4,   // Windows 95, 98, Me
    kOsNt = 5,      // the NT line
};

// Which NT: the generations that decide how processes are ended and services stopped.
enum NtGeneration : int32_t {
    kNtOther = 0,        // not NT, NT 6 or later, or the query failed
    kNt4OrEarlier = 5,   // NT 3.x and 4
    kNt5 = 6,            // 2000, XP, 2003
};
