// Small rules the sending dialogs share: paging through stored lines, the
// captions of the row number buttons, folding and the delete question.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/message_box.h"

constexpr int32_t kHistoryRows = 5;  // history rows shown by the input-send dialog
constexpr int32_t kPresetRows = 10;  // rows shown by the two preset dialogs

// The next or previous page's first entry, kept within 0 .. lines - rows
// (0..15 for the history, 0..190 for the presets).
int32_t TurnPage(int32_t pageStart, int32_t rows, int32_t lines, bool forward);

// The caption of a row number: "%02d" of the entry's number counted from 1,
// or "<%02d>" for a row just selected.
void RowNumberCaption(char16_t (&caption)[8], int32_t entryIndex, bool marked);

// Asks "delete?" (message text 36, caption "Lanvisor", Yes/No): true on Yes.
bool AskDeleteConfirmation(WindowHandle owner);

struct WindowSize {
    int width = 0, height = 0;
    bool operator==(const WindowSize&) const = default;
};

struct FoldStep {
    WindowSize size;
    int32_t folded;  // the new value of the dialog's folded setting
};

// The input-send dialog folds to its input row: opened folded it is 158
// pixels high; the fold button folds a dialog taller than 200 pixels to 150,
// and unfolds any other to the size measured at opening.
WindowSize InputSendOpeningFoldedSize(WindowSize full);
FoldStep ToggleInputSendFold(WindowSize current, WindowSize full);

// The preset send dialog folds to its column of send buttons: 155 pixels wide
// when opened folded, 150 by the button; narrower than 201 pixels it unfolds.
WindowSize PresetSendOpeningFoldedSize(WindowSize full);
FoldStep TogglePresetSendFold(WindowSize current, WindowSize full);
