// The maker's two web pages and how they are opened.
#pragma once

// The maker's site; both pages live on it.
constexpr char kMakerSite[] = "http://www.example.com";
constexpr char kProductPagePath[] = "/pages/Wardex-2014-Anti-virus/pgid-336527.aspx";
constexpr char kRemovalToolsPagePath[] = "/pages/Virus-Removal-Tools/pgid-332271.aspx";

// Opens kMakerSite + path with the shell's "open" verb; whether a browser came up is not checked.
void OpenMakerPage(const char* path);
