// Drawing objects and flags the main window creates and the skinned toolkit reads (UI thread only).
#pragma once
#include <windows.h>

class CWnd;

extern HFONT LabelFont;   // main window's dialog font, height 15, bold: the painted labels draw with it
extern HBRUSH WhiteBrush; // background of the main window's static texts; made once, never freed
extern bool LargeFonts;   // 120 or more logical pixels per inch: the message dialog's text grows taller
extern CWnd* MainDialog;  // the main window while it exists: the message dialog centres itself over it
