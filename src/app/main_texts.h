// The main window's fixed texts.
#pragma once

constexpr char kProductTitle[] = "Purgix Ver 1.0";
constexpr char kFamilyName[] = "W32/Vorlex";
constexpr char kTitleMiddle[] = " - Tool to detect and remove all the variants of ";
constexpr char kTrojanSuffix[] = " Trojan ";
constexpr char kFamilyLineFormat[] = "for %s";
constexpr char kCopyrightNotice[] = "Copyright (c) 2026 Tarnwell Software. All rights reserved.";
constexpr char kInstalledNotice[] = "This program is a part of Wardex antivirus software.";
constexpr char kScanningFrameTitle[] = "Scanning";
constexpr char kSearchingPrefix[] = "Searching for ";
constexpr char kSearchingSuffix[] = " Trojan and its variants";
constexpr char kTerminateQuestion[] = "Terminate the Scan now?";
constexpr char kCloseButtonQuestionTitle[] = "DialogBoxTitle";
