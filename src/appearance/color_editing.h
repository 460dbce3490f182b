// What the color setting dialog does with the colors, apart from its window:
// the rows it edits, reading typed components, and applying the edited sets.
#pragma once

#include <cstdint>
#include <string_view>

#include "appearance/color_scheme.h"

constexpr int kColorRows = 17;

struct ColorRow {
    std::u16string_view label;
    int slot;
};

// Row r edits this slot (slots 0, 1, 7 and 20 have no row).
extern const ColorRow kColorRowTable[kColorRows];

// The two sets the dialog works on, and which one it shows.
struct ColorWorkingSets {
    Rgb Light[kColorSlots];
    Rgb Dark[kColorSlots];
    bool ShowDark = false;

    Rgb* Shown() { return ShowDark ? Dark : Light; }
    const Rgb* Shown() const { return ShowDark ? Dark : Light; }
};

ColorWorkingSets CopyForEditing(const ColorScheme& scheme, bool dark);

// A typed component: the number at the start of the text (no digits gives
// 0), kept to its low 8 bits (256 gives 0). At most 31 characters are read.
uint8_t ColorComponentFromText(std::u16string_view text);

// Copies both sets into the scheme; the button faces follow the dialog
// backgrounds: 10 darker in light mode, 10 lighter in dark mode (each
// component wrapping in 8 bits).
void ApplyEditedColors(const ColorWorkingSets& edited, ColorScheme& scheme);

// The color chooser's 16 custom colors when the dialog opens: the shown
// set's colors of the first 16 rows, so other slots' colors are one click away.
void InitialCustomColors(const ColorWorkingSets& sets, uint32_t (&custom)[16]);
