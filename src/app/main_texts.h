// The main window's fixed texts.
#pragma once

#include "core/product_texts.h"
#include "core/worm_facts.h"

constexpr char kTitleMiddle[] = " - Tool to detect and remove all the variants of ";
constexpr char kTrojanSuffix[] = " Trojan ";
constexpr char kFamilyLineFormat[] = "for %s";
constexpr char kCopyrightNotice[] = "Copyright (c) 2026 Tarnwell Software. All rights reserved.";
constexpr char kInstalledNotice[] = "This program is a part of Wardex antivirus software.";
constexpr char kScanningFrameTitle[] = "Scanning";
constexpr char kSearchingPrefix[] = "Searching for ";
constexpr char kSearchingSuffix[] = " Trojan and its variants";
constexpr char kCloseButtonQuestionTitle[] = "DialogBoxTitle";
// Asked when a removal waits for the next restart.
constexpr char kRestartQuestion[] =
    "The system has to be restarted to remove the virus completely from your system. \n\n Restart now?";
// Asked when the memory step met a worm whose service could not be stopped.
constexpr char kWormRunningRestartQuestion[] =
    "W32/Vorlex.Trojan  found in memory! registry entries created by the worm are removed. You must restart "
    "the computer and run this program to continue scanning.\n\nRestart the computer now?";
