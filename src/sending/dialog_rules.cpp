#include "sending/dialog_rules.h"

#include <algorithm>

#include "common/text_table.h"
#include "platform/text.h"

int32_t TurnPage(int32_t pageStart, int32_t rows, int32_t lines, bool forward) {
    int32_t last = std::max(lines - rows, 0);
    return std::clamp(forward ? pageStart + rows : pageStart - rows, 0, last);
}

void RowNumberCaption(char16_t (&caption)[8], int32_t entryIndex, bool marked) {
    FormatText(caption, marked ? u"<%02d>" : u"%02d", {entryIndex + 1});
}

bool AskDeleteConfirmation(WindowHandle owner) {
    return ShowAppMessage(owner, kTextDeleteQuestion, kAppMessageYesNo, u"Lanvisor") == kIdYes;
}

WindowSize InputSendOpeningFoldedSize(WindowSize full) { return {full.width, 158}; }

FoldStep ToggleInputSendFold(WindowSize current, WindowSize full) {
    if (current.height > 200) return {{full.width, 150}, 1};
    return {full, 0};
}

WindowSize PresetSendOpeningFoldedSize(WindowSize full) { return {155, full.height}; }

FoldStep TogglePresetSendFold(WindowSize current, WindowSize full) {
    if (current.width < 201) return {full, 0};
    return {{150, full.height}, 1};
}
