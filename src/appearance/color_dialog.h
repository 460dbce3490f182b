// The color setting dialog: edits the light and the dark color sets with a
// live preview; "Rewrite and close" writes color.ini for the next start.
#pragma once

#include <windows.h>

void ShowColorDialog(HWND owner);
