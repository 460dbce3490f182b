// Loading a macro file for the start button: UTF-16LE with a byte-order
// mark, at most 51,208 bytes read. The file is read and checked apart from
// the running macro, so a refused start leaves a running macro on its own
// text.
#pragma once

#include <string_view>

#include "common/app_settings.h"
#include "macro/macro_runner.h"

enum class MacroStartResult {
    Started,
    NameTooShort,     // fewer than 3 characters: text 2, caption "MacroFile"
    CannotOpen,       // text 34, caption "FileError"
    Empty,            // text 24, caption "FileError" (also a name just created empty)
    NoByteOrderMark,  // text 23, caption "FileError"
};

// Checks file bytes and, when they hold a macro, makes them the running
// macro from its first line. Shows no message.
MacroStartResult BeginMacroFromBytes(MacroRun& run, std::string_view bytes, WindowHandle owner);

// The start button: the program directory as working directory, the file
// opened without sharing (a missing one is created empty), read and begun.
// A started file's name becomes the settings' macro file name. Every
// refusal is shown in a box owned by the dialog. True when the macro runs:
// the dialog then (re)starts its 100 ms timer.
bool StartMacroFile(MacroRun& run, WindowHandle dialog, std::u16string_view name, AppSettings& settings);
