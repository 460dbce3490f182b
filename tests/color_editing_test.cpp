#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "appearance/color_editing.h"
#include "appearance/color_preview.h"
#include "platform/canvas.h"

namespace {

TEST(ColorEditing, TypedComponentsKeepTheirLowEightBits) {
    const struct {
        std::u16string_view text;
        int value;
    } cases[] = {
        {u"200", 200}, {u"256", 0}, {u"300", 44}, {u"", 0}, {u"abc", 0}, {u"12x", 12}, {u" 7", 7}, {u"-1", 255},
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
    EXPECT_EQ(slots(u"4F").size(), 1u);
    EXPECT_EQ(slots(u"4F")[0].first, kDataText);
    // Address octets: the open and close events in their own slot, data addresses in theirs.
    auto octets = slots(u"192");
    ASSERT_EQ(octets.size(), 4u);
    EXPECT_EQ(octets[0].first, kOpenCloseText);
    EXPECT_EQ(octets[1].first, kAddressText);
    EXPECT_EQ(octets[3].first, kOpenCloseText);
    for (const auto& [text, slot] : {std::pair{u"TIP Client Open", kStatusTipClient},
                                     std::pair{u"UDP Server Open", kStatusUdpServer}}) {
        auto label = c.TextsEqualTo(text);
        ASSERT_EQ(label.size(), 1u);
        int fills = 0;
        for (const auto& op : c.ops)
            if (op.kind == RecordingCanvas::Kind::Rect && op.slot == slot && op.y == label[0].y - 3) ++fills;
        EXPECT_EQ(fills, 1);
    }
    std::vector<int> cells;  // a band of thirty cells, alternating from the second color
    int frameLines = 0, bandTop = -1;
    for (const auto& op : c.ops) {
        bool cell = op.kind == RecordingCanvas::Kind::Rect && (op.slot == kAscBack1 || op.slot == kAscBack2);
        if (cell && bandTop < 0) bandTop = op.y;
        if (cell && op.y == bandTop) cells.push_back(op.slot);
        if (op.kind == RecordingCanvas::Kind::Line && op.slot == kPreviewFrameLine) ++frameLines;
    }
    ASSERT_EQ(cells.size(), 30u);
    EXPECT_EQ(cells[0], kAscBack2);
    EXPECT_EQ(cells[1], kAscBack1);
    EXPECT_EQ(cells[29], kAscBack1);
    EXPECT_EQ(frameLines, 4 * 9 + 2);  // nine framed rectangles and the double line

    RecordingCanvas japanese;
    DrawColorPreview(japanese, true);
    EXPECT_EQ(japanese.TextsEqualTo(u"ASC文字").size(), 1u);
    EXPECT_TRUE(japanese.TextsEqualTo(u"ASCchar").empty());
    EXPECT_EQ(japanese.TextsEqualTo(u"029").size(), 1u);
    EXPECT_TRUE(japanese.TextsEqualTo(u"030").empty());  // the 30th cell would pass the frame
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
    EXPECT_EQ(light[kAscBack1], ColorValue(scheme.Light[kAscBack1]));
    EXPECT_EQ(dark[kHexBack2], 0x030201u);
}

}  // namespace
