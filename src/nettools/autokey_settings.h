// What the credential-typing tool "autokey.exe" is handed before a batch file
// is run with administrator rights: two delays, a user ID and a password,
// written to "autokey.ini" beside the program together with where to work
// on the screen. The window keeps the values while the program runs; only
// the switch (AppSettings::AutokeyOn) is kept in the settings file.
#pragma once

#include <cstdint>
#include <string_view>

constexpr size_t kAutokeyTextCapacity = 254;      // 253 characters typed
constexpr size_t kAutokeyTextReadLimit = 249;     // characters read from the file
constexpr int32_t kAutokeyDefaultDelay = 5000;

constexpr std::u16string_view kAutokeyFileName = u"autokey.ini";
constexpr std::u16string_view kAutokeyProgramName = u"autokey.exe";
constexpr std::u16string_view kAutokeySection = u"Setting";

struct AutokeySettings {
    int32_t IdTime = kAutokeyDefaultDelay;  // "ID>PW time"
    int32_t PwTime = kAutokeyDefaultDelay;  // "PW>END time"
    char16_t IdText[kAutokeyTextCapacity] = u"ID";
    char16_t PwText[kAutokeyTextCapacity] = u"PW";
};

// From "<ProgramDirectory>\autokey.ini"; missing keys give the defaults.
void LoadAutokeySettings(AutokeySettings& settings);

// Writes all six keys; the tool's position is the dialog's top-left corner
// moved up and left, never below 0. False when the file could not be written.
bool SaveAutokeySettings(const AutokeySettings& settings, int32_t dialogLeft, int32_t dialogTop);
