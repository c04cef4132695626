// Removal of what restarts the worm: autorun values, the remembered value name, an infected hosts file.
#pragma once
#include <cstdint>

// Called once per match, before the file is removed, with the matching record's name and the
// infected file's full path: `infectedPath` where its ANSI path is exactly its own, else (the NT
// line) `infectedWidePath`, its true path; with neither, no autorun walk. Always 1.
int32_t CleanAutorunAndHosts(const char* detectionName, const char* infectedPath,
                             const wchar_t* infectedWidePath = nullptr);
