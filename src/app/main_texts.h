// The main window's fixed texts.
#pragma once

#include "core/product_texts.h"

constexpr char kFamilyName[] = "W32/Vorlex";
constexpr char kTitleMiddle[] = " - Tool to detect and remove all the variants of ";
constexpr char kTrojanSuffix[] = " Trojan ";
constexpr char kFamilyLineFormat[] = "for %s";
constexpr char kCopyrightNotice[] = "Copyright (c) 2026 Tarnwell Software. All rights reserved.";
constexpr char kInstalledNotice[] = "This program is a part of Wardex antivirus software.";
constexpr char kScanningFrameTitle[] = "Scanning";
constexpr char kSearchingPrefix[] = "Searching for ";
constexpr char kSearchingSuffix[] = " Trojan and its variants";
constexpr char kCloseButtonQuestionTitle[] = "DialogBoxTitle";
