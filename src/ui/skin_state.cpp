// Definitions of the main window's shared drawing objects and flags.
#include "ui/skin_state.h"

HFONT LabelFont = nullptr;
HBRUSH WhiteBrush = nullptr;
bool LargeFonts = false;
CWnd* MainDialog = nullptr;
