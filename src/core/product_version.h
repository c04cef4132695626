// The program's version numbers, written down once: the version resource and every text that names
// the version (the window title, later the console program's report) take them from here.
#pragma once

#define PURGIX_VERSION_MAJOR 1
#define PURGIX_VERSION_MINOR 0

// "1.0" from the numbers. Plain macros, no C++: the resource compiler reads this file too, and it
// joins adjacent strings as C does.
#define PURGIX_VERSION_STRINGIZE(number) #number
#define PURGIX_VERSION_NUMBER_TEXT(number) PURGIX_VERSION_STRINGIZE(number)
#define PURGIX_VERSION_TEXT \
    PURGIX_VERSION_NUMBER_TEXT(PURGIX_VERSION_MAJOR) "." PURGIX_VERSION_NUMBER_TEXT(PURGIX_VERSION_MINOR)
