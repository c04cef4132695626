// Texts every part of the program shows alike.
#pragma once

constexpr char kProductTitle[] = "Purgix Ver 1.0";   // the main window's title and every question's
constexpr char kTerminateQuestion[] = "Terminate the Scan now?";
