#include <gtest/gtest.h>

#include <set>

#include "appearance/color_editing.h"
#include "appearance/color_preview.h"
#include "platform/canvas.h"

namespace {

TEST(ColorEditing, RowsEditEverySlotButTextWindowClosedStatusAndButtonFace) {
    std::set<int> slots;
    for (const ColorRow& row : kColorRowTable) slots.insert(row.slot);
    EXPECT_EQ(slots.size(), 17u);
    for (int slot : {kTextColor, kWindowBack, kStatusClosed, kButtonFace}) EXPECT_EQ(slots.count(slot), 0u) << slot;
    EXPECT_EQ(kColorRowTable[4].label, u"Dialog back color");
    EXPECT_EQ(kColorRowTable[4].slot, kDialogBack);
    EXPECT_EQ(kColorRowTable[16].label, u"O/C/Ip color");
    EXPECT_EQ(kColorRowTable[16].slot, kOpenCloseText);
}

TEST(ColorEditing, TypedComponentsKeepTheirLowEightBits) {
    const struct {
        std::u16string_view text;
        int value;
    } cases[] = {
        {u"200", 200}, {u"256", 0},  {u"300", 44}, {u"255", 255}, {u"", 0},      {u"abc", 0},
        {u"12x", 12},  {u" 7", 7},   {u"-1", 255}, {u"0", 0},     {u"4294967296", 0},
        // Only the first 31 characters are read.
        {u"0000000000000000000000000000000000000000000000000000000000012", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ColorComponentFromText(c.text), c.value) << std::u16string(c.text).size();
}

TEST(ColorEditing, RewriteCopiesBothSetsAndDerivesTheButtonFaces) {
    ColorScheme scheme;
    ColorWorkingSets edited = CopyForEditing(scheme, false);
    edited.Light[kDialogBack] = {5, 5, 5};
    edited.Dark[kDialogBack] = {250, 0, 100};
    edited.Light[kEofBack] = {1, 2, 3};
    edited.Dark[kButtonFace] = {9, 9, 9};  // never kept: derived from the dialog color
    ApplyEditedColors(edited, scheme);
    EXPECT_EQ(scheme.Light[kButtonFace], (Rgb{251, 251, 251}));
    EXPECT_EQ(scheme.Dark[kButtonFace], (Rgb{4, 10, 110}));
    EXPECT_EQ(scheme.Light[kEofBack], (Rgb{1, 2, 3}));
    EXPECT_EQ(scheme.Dark[kDialogBack], (Rgb{250, 0, 100}));
    // The defaults give the default faces.
    ColorScheme defaults, applied;
    ApplyEditedColors(CopyForEditing(defaults, true), applied);
    EXPECT_EQ(applied.Light[kButtonFace], (Rgb{230, 230, 230}));
    EXPECT_EQ(applied.Dark[kButtonFace], (Rgb{42, 42, 42}));
}

TEST(ColorEditing, EditsGoToTheSetShownAndCustomColorsFollowIt) {
    ColorScheme scheme;
    ColorWorkingSets sets = CopyForEditing(scheme, true);
    sets.Shown()[kAscBack1] = {1, 2, 3};
    EXPECT_EQ(sets.Dark[kAscBack1], (Rgb{1, 2, 3}));
    EXPECT_EQ(sets.Light[kAscBack1], scheme.Light[kAscBack1]);
    uint32_t custom[16];
    InitialCustomColors(sets, custom);
    EXPECT_EQ(custom[0], 0x030201u);
    EXPECT_EQ(custom[4], ColorValue(scheme.Dark[kDialogBack]));
    sets.ShowDark = false;
    InitialCustomColors(sets, custom);
    EXPECT_EQ(custom[0], ColorValue(scheme.Light[kAscBack1]));
}

// ---- preview ----------------------------------------------------------------

RecordingCanvas Preview(bool japanese) {
    RecordingCanvas canvas;
    DrawColorPreview(canvas, japanese);
    return canvas;
}

std::vector<RecordingCanvas::Op> RectsAt(const RecordingCanvas& c, int top, int bottom) {
    std::vector<RecordingCanvas::Op> found;
    for (const auto& op : c.ops)
        if (op.kind == RecordingCanvas::Kind::Rect && op.y == top && op.y2 == bottom) found.push_back(op);
    return found;
}

TEST(ColorPreview, TraceCellsAlternateFromTheSecondBackgroundAcrossThirtyColumns) {
    RecordingCanvas c = Preview(false);
    const struct {
        int top;
        int firstSlot, secondSlot;
    } bands[] = {{90, kAscBack2, kAscBack1}, {108, kHexBack2, kHexBack1},
                 {142, kAscBack2, kAscBack1}, {160, kHexBack2, kHexBack1}};
    for (const auto& band : bands) {
        auto cells = RectsAt(c, band.top, band.top + 18);
        ASSERT_EQ(cells.size(), 30u) << band.top;
        for (size_t i = 0; i < cells.size(); ++i) {
            EXPECT_EQ(cells[i].x, 50 + 18 * static_cast<int>(i));
            EXPECT_EQ(cells[i].x2, cells[i].x + 18);
            EXPECT_EQ(cells[i].slot, i % 2 == 0 ? band.firstSlot : band.secondSlot) << band.top << " " << i;
        }
    }
    EXPECT_EQ(RectsAt(c, 90, 108).back().x2, 590);
}

TEST(ColorPreview, TextsUseTheirSlots) {
    RecordingCanvas c = Preview(false);
    auto one = [&](std::u16string_view text) {
        auto found = c.TextsEqualTo(text);
        EXPECT_EQ(found.size(), 1u) << std::u16string(text).size();
        return found.empty() ? RecordingCanvas::Op{} : found[0];
    };
    // "t=0012" and "t=0014", two characters per cell on the stamp line.
    auto stamps = c.TextsEqualTo(u"t=");
    ASSERT_EQ(stamps.size(), 2u);
    for (const auto& op : stamps) {
        EXPECT_EQ(op.y, 126);
        EXPECT_EQ(op.slot, kStampText);
        EXPECT_EQ(op.backSlot, kTransparent);
    }
    EXPECT_EQ(stamps[0].x, 266);
    EXPECT_EQ(stamps[1].x, 446);
    EXPECT_EQ(one(u"14").x, 482);
    auto eof = c.TextsEqualTo(u"EOF");
    ASSERT_EQ(eof.size(), 2u);
    for (const auto& op : eof) {
        EXPECT_EQ(op.x, 572);
        EXPECT_EQ(op.slot, kEofText);
        EXPECT_EQ(op.backSlot, kEofBack);
    }
    EXPECT_EQ(eof[0].y, 80);
    EXPECT_EQ(eof[1].y, 132);
    auto asc = one(u"ASCchar");
    EXPECT_EQ(asc.x, 15);
    EXPECT_EQ(asc.y, 242);
    EXPECT_EQ(asc.slot, kAscHexText);
    EXPECT_EQ(asc.backSlot, kAscHexBack);
    auto hex = one(u"HEXchar");
    EXPECT_EQ(hex.slot, kAscHexText);
    EXPECT_EQ(hex.backSlot, kTransparent);
    auto open = one(u"Op");
    EXPECT_EQ(open.slot, kOpenCloseText);
    EXPECT_EQ(open.backSlot, kTransparent);
    EXPECT_EQ(one(u"Cl").slot, kOpenCloseText);
    // Address octets: the open and close events in slot 19, data addresses in 18.
    auto octets = c.TextsEqualTo(u"192");
    ASSERT_EQ(octets.size(), 4u);
    EXPECT_EQ(octets[0].slot, kOpenCloseText);
    EXPECT_EQ(octets[1].slot, kAddressText);
    EXPECT_EQ(octets[2].slot, kAddressText);
    EXPECT_EQ(octets[2].y, 132);
    EXPECT_EQ(octets[3].slot, kOpenCloseText);
    EXPECT_EQ(one(u"4F").slot, kDataText);
    for (const auto& [text, slot, top] : {std::tuple{u"TIP Client Open", kStatusTipClient, 350},
                                          std::tuple{u"TIP Server Open", kStatusTipServer, 370},
                                          std::tuple{u"UDP Client Open", kStatusUdpClient, 390},
                                          std::tuple{u"UDP Server Open", kStatusUdpServer, 410}}) {
        auto fills = RectsAt(c, top, top + 21);
        ASSERT_EQ(fills.size(), 1u) << top;
        EXPECT_EQ(fills[0].slot, slot);
        EXPECT_EQ(one(text).y, top + 3);
    }
}

TEST(ColorPreview, InputDialogLabelsFollowTheLanguageAndColumnsAreNumbered) {
    RecordingCanvas japanese = Preview(true);
    EXPECT_EQ(japanese.TextsEqualTo(u"ASC文字").size(), 1u);
    EXPECT_EQ(japanese.TextsEqualTo(u"HEX文字").size(), 1u);
    EXPECT_TRUE(japanese.TextsEqualTo(u"ASCchar").empty());
    auto first = japanese.TextsEqualTo(u"001");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].x, 55);
    EXPECT_EQ(first[0].y, 230);
    auto last = japanese.TextsEqualTo(u"029");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].x, 55 + 28 * 18);
    EXPECT_TRUE(japanese.TextsEqualTo(u"030").empty());  // the 30th cell would pass x 590
    auto dialogFill = RectsAt(japanese, 220, 281);
    ASSERT_EQ(dialogFill.size(), 1u);
    EXPECT_EQ(dialogFill[0].slot, kDialogBack);
}

TEST(ColorPreview, FramesAreBlackOnWhiteInLightAndWhiteOnBlackInDark) {
    ColorScheme scheme;
    scheme.Dark[kHexBack2] = {1, 2, 3};
    uint32_t light[kPreviewSlots], dark[kPreviewSlots];
    PreviewSlotColors(scheme.Light, false, light);
    PreviewSlotColors(scheme.Dark, true, dark);
    EXPECT_EQ(light[kPreviewFrameLine], 0x000000u);
    EXPECT_EQ(light[kPreviewFrameFill], 0xFFFFFFu);
    EXPECT_EQ(dark[kPreviewFrameLine], 0xFFFFFFu);
    EXPECT_EQ(dark[kPreviewFrameFill], 0x000000u);
    EXPECT_EQ(light[kAscBack1], ColorValue({200, 200, 255}));
    EXPECT_EQ(dark[kAscBack1], ColorValue({100, 100, 0}));
    EXPECT_EQ(dark[kHexBack2], 0x030201u);
    // The mock windows are framed in the frame color on the frame fill.
    RecordingCanvas c = Preview(false);
    auto title = RectsAt(c, 40, 71);
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].slot, kPreviewFrameFill);
    int frameLines = 0;
    for (const auto& op : c.ops)
        if (op.kind == RecordingCanvas::Kind::Line && op.slot == kPreviewFrameLine) ++frameLines;
    EXPECT_EQ(frameLines, 4 * 9 + 2);  // nine framed rectangles and the double line
}

}  // namespace
