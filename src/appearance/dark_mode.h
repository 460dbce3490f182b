// Dark mode and the menu bar switch, fixed for the run: read from "dkm.ini"
// beside the program before the main window exists, written by the dark and
// light mode dialog and taken up by the restart that follows.
//
// "dkm.ini" is UTF-16LE with a byte-order mark and lines "dkm=<n>\r\n":
// 0 light with menu bar, 1 dark, 2 light without menu bar, 3 dark without
// menu bar. The last complete line decides; other lines clear both flags.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct AppearanceFlags {
    bool DarkMode = false;
    bool NoMenuBar = false;
};

extern AppearanceFlags g_Appearance;

constexpr std::u16string_view kDarkModeFileName = u"dkm.ini";

// The flags a file's bytes give (no mark, no complete line: both off).
AppearanceFlags ParseDarkModeFile(std::string_view bytes);

// The value written for a choice: 0..3.
int32_t DarkModeValue(bool darkMode, bool noMenuBar);

// The file's bytes for a value.
std::string DarkModeFileBytes(int32_t value);

// Reads "<folder>\dkm.ini"; a missing or unreadable file gives light mode
// with a menu bar.
AppearanceFlags ReadDarkModeFile(std::u16string_view folder);

// Writes "<ProgramDirectory>\dkm.ini"; false when it could not be written.
bool WriteDarkModeFile(int32_t value);
