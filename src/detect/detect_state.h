// State the file checker shares with the cleaning code (UI thread only).
#pragma once

constexpr int kPathBufferSize = 260;

extern char LastDetectionName[260];  // name of the record that matched last
extern char CurrentFilePath[261];    // full path of the file under check; empty outside a check
extern char WormValueName[128];      // autorun value name remembered by the autorun walk
