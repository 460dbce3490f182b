#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "appearance/color_editing.h"
#include "appearance/color_preview.h"
#include "appearance/color_scheme.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "support/program_folder.h"
#include "support/recording_canvas.h"

namespace {

// The color dialog is checked end to end: typed components, the set shown,
// the derived button faces and the file it rewrites; here every key of the
// file and the preview's parts.
TEST(ColorScheme, SavedSchemeReadsBackAndActiveColorsComeFromTheChosenSet) {
    ProgramFolder program;
    ColorScheme saved;
    saved.Light[0] = {1, 2, 3};
    saved.Dark[kColorSlots - 1] = {7, 8, 9};
    ASSERT_TRUE(SaveColorScheme(saved));
    std::u16string text = DecodeTextBytes(program.folder.ReadBytes(u"color.ini"));
    EXPECT_EQ(text.substr(0, 53), u"[Setting]\r\nrbgLs[0].r=1\r\nrbgLs[0].g=2\r\nrbgLs[0].b=3\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), u'='), 2 * 3 * kColorSlots);
    ColorScheme loaded;
    LoadColorScheme(loaded);
    for (int slot = 0; slot < kColorSlots; ++slot) {
        EXPECT_EQ(loaded.Light[slot], saved.Light[slot]) << slot;
        EXPECT_EQ(loaded.Dark[slot], saved.Dark[slot]) << slot;
    }
    struct {
        ActiveColors colors;
        uint32_t after = 7;
    } active;
    BuildActiveColorValues(saved, false, active.colors);
    EXPECT_EQ(active.colors.Value[0], 0x030201u);  // red in the lowest byte
    BuildActiveColorValues(saved, true, active.colors);
    EXPECT_EQ(active.colors.Value[kColorSlots - 1], 0x090807u);
    EXPECT_EQ(active.after, 7u);  // nothing written past the last slot
}

// The color dialog works on copies of both sets: the chooser's custom colors
// are the shown set's colors of the first 16 rows; applying brings both sets
// back, the button faces 10 darker (light) or lighter (dark) than the dialog
// backgrounds, each component wrapping.
TEST(ColorEditing, CustomColorsAndAppliedSets) {
    ColorScheme saved;
    saved.Light[0] = {1, 2, 3};
    ColorWorkingSets sets = CopyForEditing(saved, true);
    struct {
        uint32_t custom[16];
        uint32_t after = 7;
    } chooser{};
    InitialCustomColors(sets, chooser.custom);
    for (int i : {0, 15}) EXPECT_EQ(chooser.custom[i], ColorValue(saved.Dark[kColorRowTable[i].slot])) << i;
    EXPECT_EQ(chooser.after, 7u);  // nor past the 16th
    sets.Light[kDialogBack] = {5, 100, 200};
    sets.Dark[kDialogBack] = {250, 0, 9};
    ColorScheme applied;
    ApplyEditedColors(sets, applied);
    EXPECT_EQ(applied.Light[0], saved.Light[0]);
    EXPECT_EQ(applied.Light[kButtonFace], (Rgb{251, 90, 190}));
    EXPECT_EQ(applied.Dark[kButtonFace], (Rgb{4, 10, 19}));
}

// The preview is a static picture: its coordinates are looked at on screen;
// here only which text and fill is painted in which slot.
TEST(ColorPreview, EveryPartIsPaintedInItsSlot) {
    RecordingCanvas c;
    DrawColorPreview(c, false);
    auto slots = [&](std::u16string_view text) {
        std::vector<std::pair<int, int>> found;
        for (const auto& op : c.TextsEqualTo(text)) found.push_back({op.slot, op.backSlot});
        return found;
    };
    using Slots = std::vector<std::pair<int, int>>;
    EXPECT_EQ(slots(u"t="), (Slots{{kStampText, kTransparent}, {kStampText, kTransparent}}));
    EXPECT_EQ(slots(u"EOF"), (Slots{{kEofText, kEofBack}, {kEofText, kEofBack}}));
    EXPECT_EQ(slots(u"ASCchar"), (Slots{{kAscHexText, kAscHexBack}}));
    EXPECT_EQ(slots(u"HEXchar"), (Slots{{kAscHexText, kTransparent}}));
    EXPECT_EQ(slots(u"Op"), (Slots{{kOpenCloseText, kTransparent}}));
    EXPECT_EQ(slots(u"Cl"), (Slots{{kOpenCloseText, kTransparent}}));
    EXPECT_EQ(slots(u"4F"), (Slots{{kDataText, kTransparent}}));
    // Address octets: the open and close events in their own slot, data addresses in theirs.
    EXPECT_EQ(slots(u"192"), (Slots{{kOpenCloseText, kTransparent}, {kAddressText, kTransparent},
                                    {kAddressText, kTransparent}, {kOpenCloseText, kTransparent}}));
    std::vector<int> cells;  // a band of thirty cells, alternating from the second color
    int frameLines = 0, bandTop = -1, allCells = 0, hexCells = 0;
    for (const auto& op : c.ops) {
        bool cell = op.kind == RecordingCanvas::Kind::Rect && (op.slot == kAscBack1 || op.slot == kAscBack2);
        allCells += cell;
        hexCells += op.kind == RecordingCanvas::Kind::Rect && (op.slot == kHexBack1 || op.slot == kHexBack2);
        if (cell && bandTop < 0) bandTop = op.y;
        if (cell && op.y == bandTop) cells.push_back(op.slot);
        if (op.kind == RecordingCanvas::Kind::Line && op.slot == kPreviewFrameLine) ++frameLines;
    }
    ASSERT_EQ(cells.size(), 30u);
    EXPECT_EQ(cells[0], kAscBack2);
    EXPECT_EQ(cells[1], kAscBack1);
    EXPECT_EQ(allCells, 30 + 30 + 29);  // READ, SEND and the input line
    EXPECT_EQ(hexCells, allCells);
    EXPECT_EQ(frameLines, 4 * 9 + 2);  // nine framed rectangles and the double line

    for (std::u16string_view label : {u"Input SEND Dialog", u"CLOSE", u"029", u"Tital Ber"}) EXPECT_EQ(c.TextsEqualTo(label).size(), 1u);
    EXPECT_TRUE(c.TextsEqualTo(u"030").empty());  // the 30th cell would pass the frame
    EXPECT_EQ(c.TextsEqualTo(u"READ:").size(), c.TextsEqualTo(u"SEND:").size());

    Rgb set[kColorSlots] = {};  // the set's colors, and frames that stand out from its background
    set[kDataText] = {1, 2, 3};
    uint32_t colors[kPreviewSlots] = {};
    PreviewSlotColors(set, true, colors);
    EXPECT_EQ(colors[kDataText], ColorValue({1, 2, 3}));
    EXPECT_EQ(colors[kPreviewFrameLine], ColorValue({255, 255, 255}));
}

}  // namespace
