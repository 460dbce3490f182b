// Choosing macro files in the program folder and opening them in the
// editor that the system associates with them; the same for one file
// (the reply rules).
#pragma once

#include <windows.h>

#include <string_view>

void EditMacroFiles(HWND owner);

// A file of a type the system opens with nothing goes to Notepad.
void EditTextFile(HWND owner, std::u16string_view path);
