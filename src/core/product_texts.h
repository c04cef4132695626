// Texts every part of the program shows alike.
#pragma once

#include "core/product_version.h"

// The main window's title and every question's; a second copy finds the first by exactly this title.
constexpr char kProductTitle[] = "Purgix Ver " PURGIX_VERSION_TEXT;
constexpr char kTerminateQuestion[] = "Terminate the Scan now?";
