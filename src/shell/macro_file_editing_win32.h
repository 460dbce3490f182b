// Choosing macro files in the program folder and opening them in the
// editor that the system associates with them.
#pragma once

#include <windows.h>

void EditMacroFiles(HWND owner);
