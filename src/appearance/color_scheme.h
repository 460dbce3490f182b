// The interface colors: 21 numbered slots, a light and a dark set, kept in
// "color.ini" beside the program. At start the set that dark mode selects
// becomes the active colors that the trace view, the status bar and every
// dialog paint with.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ini_file.h"

constexpr int kColorSlots = 21;

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

// Slot numbers with a fixed meaning in the code.
enum ColorSlot : int {
    kTextColor = 0,
    kWindowBack = 1,
    kAscBack1 = 2,
    kAscBack2 = 3,
    kHexBack1 = 4,
    kHexBack2 = 5,
    kDialogBack = 6,
    kStatusClosed = 7,
    kStatusTipClient = 8,
    kStatusTipServer = 9,
    kStatusUdpClient = 10,
    kStatusUdpServer = 11,
    kEofText = 12,
    kEofBack = 13,
    kAscHexText = 14,
    kAscHexBack = 15,
    kStampText = 16,
    kDataText = 17,
    kAddressText = 18,
    kOpenCloseText = 19,
    kButtonFace = 20,
};

struct ColorScheme {
    Rgb Light[kColorSlots];
    Rgb Dark[kColorSlots];
    ColorScheme();  // the built-in defaults
};

extern ColorScheme g_Colors;

constexpr std::u16string_view kColorFileName = u"color.ini";
constexpr std::u16string_view kColorSection = u"Setting";

const Rgb* DefaultColors(bool dark);

// Missing keys give the defaults; each component keeps its low 8 bits.
void ReadColorScheme(const IniDocument& file, ColorScheme& scheme);
// All 126 keys: light slots 0..20 (r, g, b), then the dark slots.
void WriteColorScheme(const ColorScheme& scheme, IniDocument& file);

// "<ProgramDirectory>\color.ini".
void LoadColorScheme(ColorScheme& scheme);
bool SaveColorScheme(const ColorScheme& scheme);

// The platform color value: red in the lowest byte, then green, then blue.
constexpr uint32_t ColorValue(Rgb c) { return c.r | (uint32_t(c.g) << 8) | (uint32_t(c.b) << 16); }

// The colors painted with during this run.
struct ActiveColors {
    uint32_t Value[kColorSlots];
};

extern ActiveColors g_ActiveColors;

void BuildActiveColorValues(const ColorScheme& scheme, bool dark, ActiveColors& active);
