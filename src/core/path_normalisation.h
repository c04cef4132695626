// Whether Windows' own path handling would change a full path before a file function saw it.
#pragma once

// True when the Win32 path normalisation would make another path of the full path `path` (a
// drive, backslashes, no "." or ".." component, as a folder listing forms it): a component that
// ends in a dot or a blank loses them, and a last component named like a DOS device (aux, con,
// nul, prn, com1 to com9, lpt1 to lpt9, conin$, conout$; any extension, blanks before it) opens
// the device. Either way an ANSI function given the path would reach something else.
bool ChangedByPathNormalisation(const char* path);
