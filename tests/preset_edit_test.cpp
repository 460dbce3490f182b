#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/text.h"
#include "sending/dialog_rules.h"
#include "sending/preset_edit.h"
#include "shell/text_table.h"
#include "support/program_folder.h"

namespace {

using Codes = std::vector<char16_t>;

Codes CodesOf(const LineEntry& e) { return Codes(e.codes, e.codes + e.count); }

InputLine LineOf(const Codes& codes) {
    InputLine line;
    std::copy(codes.begin(), codes.end(), line.codes);
    line.length = int32_t(codes.size());
    return line;
}

class PresetEditTest : public ::testing::Test {
protected:
    // Entry i holds the one code i + 1, for the first n entries.
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            const char16_t code = static_cast<char16_t>(i + 1);
            SetLineEntry(table->Entries[i], &code, 1);
        }
    }
    int First(int index) const { return table->Entries[index].count ? table->Entries[index].codes[0] : 0; }

    std::unique_ptr<PresetEditTable> table = std::make_unique<PresetEditTable>();
    PresetEditState state;
};

TEST_F(PresetEditTest, AssemblingSkipsLinesThatAnEntryBeginsWith) {
    const struct {
        const char* name;
        std::vector<Codes> assembled;
        std::vector<Codes> top;  // entries 0.. afterwards
    } cases[] = {
        {"XYZ then XY: XY is not added", {{'X', 'Y', 'Z'}, {'X', 'Y'}}, {{'X', 'Y', 'Z'}, {}}},
        {"XY then XYZ: both, XYZ on top", {{'X', 'Y'}, {'X', 'Y', 'Z'}}, {{'X', 'Y', 'Z'}, {'X', 'Y'}, {}}},
        {"the same line twice", {{'A'}, {'B'}, {'A'}}, {{'B'}, {'A'}, {}}},
        {"trailing zeros match the empty slots", {{'A'}, {'A', 0}}, {{'A'}, {}}},
        {"an empty line adds nothing", {{}, {'A'}, {}}, {{'A'}, {}}},
    };
    for (const auto& c : cases) {
        auto fresh = std::make_unique<PresetEditTable>();
        for (const Codes& codes : c.assembled) AssembleLine(*fresh, LineOf(codes));
        for (size_t k = 0; k < c.top.size(); ++k) EXPECT_EQ(CodesOf(fresh->Entries[k]), c.top[k]) << c.name << k;
    }
}

TEST_F(PresetEditTest, AssemblingKeepsTheLineAndStoresBytes) {
    InputLine line = LineOf({0x41, 0x3042});
    ASSERT_TRUE(AssembleLine(*table, line));
    EXPECT_EQ(CodesOf(table->Entries[0]), (Codes{0x41, CodeToAnsiByte(0x3042)}));
    EXPECT_EQ(line.length, 2);
}

TEST_F(PresetEditTest, TheTwoHundredAndFirstLineDropsTheOldest) {
    for (int i = 0; i < 201; ++i) {
        InputLine line = LineOf({char16_t(i >> 8), char16_t(i & 0xFF)});
        ASSERT_TRUE(AssembleLine(*table, line)) << i;
    }
    EXPECT_EQ(CodesOf(table->Entries[0]), (Codes{0, 200}));
    EXPECT_EQ(CodesOf(table->Entries[199]), (Codes{0, 1}));
    EXPECT_EQ(table->Entries[200].count, 0);
}

TEST_F(PresetEditTest, RowNumbersSelectAndDeselect) {
    const struct {
        int32_t pageStart, row, selection;
        int32_t marked, selectionAfter;
        std::u16string_view caption;
    } cases[] = {
        {0, 3, kNoSelection, 3, 3, u"<04>"},
        {0, 3, 3, -1, kNoSelection, u"04"},
        {100, 3, kNoSelection, 3, 103, u"<104>"},
        {100, 3, 103, -1, kNoSelection, u"104"},
        {0, 5, 3, 5, 5, u"<06>"},
    };
    for (const auto& c : cases) {
        state = {c.pageStart, c.selection};
        EXPECT_EQ(PressRowNumber(state, c.row), c.marked);
        EXPECT_EQ(state.Selection, c.selectionAfter);
        char16_t caption[8];
        RowNumberCaption(caption, c.pageStart + c.row, c.marked == c.row);
        EXPECT_EQ(TextView(caption), c.caption);
    }
}

TEST_F(PresetEditTest, MovingTheSelectedEntry) {
    const struct {
        int32_t selection;
        MoveDirection direction;
        bool moved;
        int32_t a, b;  // these two entries trade places
    } cases[] = {
        {5, MoveDirection::Up, true, 4, 5},    {5, MoveDirection::Down, true, 5, 6},
        {0, MoveDirection::Up, false, 0, 0},   {199, MoveDirection::Down, false, 0, 0},
        {199, MoveDirection::Up, true, 198, 199}, {0, MoveDirection::Down, true, 0, 1},
        {kNoSelection, MoveDirection::Down, false, 0, 0}, {200, MoveDirection::Up, false, 0, 0},
    };
    for (const auto& c : cases) {
        table = std::make_unique<PresetEditTable>();
        Fill(200);
        state.Selection = c.selection;
        EXPECT_EQ(MoveSelectedEntry(*table, state, c.direction), c.moved) << c.selection;
        EXPECT_EQ(state.Selection, c.moved ? kNoSelection : c.selection);
        for (int i = 0; i < 200; ++i) {
            int expected = i == c.a && c.moved ? c.b + 1 : i == c.b && c.moved ? c.a + 1 : i + 1;
            ASSERT_EQ(First(i), expected) << c.selection << " entry " << i;
        }
    }
}

TEST_F(PresetEditTest, DeletingTheSelectedEntryAndAll) {
    Fill(200);
    state.Selection = 5;
    ASSERT_TRUE(HasSelection(state));
    DeleteSelectedEntry(*table, state);
    EXPECT_EQ(state.Selection, kNoSelection);
    EXPECT_EQ(First(4), 5);
    EXPECT_EQ(First(5), 7);
    EXPECT_EQ(First(198), 200);
    EXPECT_EQ(table->Entries[199].count, 0);
    EXPECT_FALSE(HasSelection(state));

    const char16_t spare = 9;
    SetLineEntry(table->Entries[201], &spare, 1);
    state.Selection = 3;
    DeleteAllEntries(*table, state);
    for (const LineEntry& e : table->Entries) ASSERT_EQ(e.count, 0);
    EXPECT_EQ(table->Entries[201].codes[0], 0);
    EXPECT_EQ(state.Selection, kNoSelection);
}

TEST(DialogRules, Paging) {
    const struct {
        int32_t start, rows, lines;
        bool forward;
        int32_t next;
    } cases[] = {
        {0, 5, 20, true, 5},     {10, 5, 20, true, 15},    {15, 5, 20, true, 15},   {0, 5, 20, false, 0},
        {5, 5, 20, false, 0},    {180, 10, 200, true, 190}, {190, 10, 200, true, 190}, {0, 10, 200, false, 0},
        {100, 10, 200, false, 90},
    };
    for (const auto& c : cases) EXPECT_EQ(TurnPage(c.start, c.rows, c.lines, c.forward), c.next) << c.start;
    char16_t caption[8];
    RowNumberCaption(caption, 15 + 4, false);
    EXPECT_EQ(TextView(caption), u"20");
}

TEST(DialogRules, Folding) {
    const WindowSize full{1240, 560};
    EXPECT_EQ(InputSendOpeningFoldedSize(full), (WindowSize{1240, 158}));
    EXPECT_EQ(PresetSendOpeningFoldedSize(full), (WindowSize{155, 560}));
    const struct {
        bool inputSend;
        WindowSize current;
        WindowSize next;
        int32_t folded;
    } cases[] = {
        {true, {1240, 560}, {1240, 150}, 1}, {true, {1240, 201}, {1240, 150}, 1},
        {true, {1240, 200}, {1240, 560}, 0}, {true, {1240, 158}, {1240, 560}, 0},
        {false, {1240, 560}, {150, 560}, 1}, {false, {201, 560}, {150, 560}, 1},
        {false, {200, 560}, {1240, 560}, 0}, {false, {155, 560}, {1240, 560}, 0},
    };
    for (const auto& c : cases) {
        FoldStep step = c.inputSend ? ToggleInputSendFold(c.current, full) : TogglePresetSendFold(c.current, full);
        EXPECT_EQ(step.size, c.next) << c.inputSend << " " << c.current.width << "x" << c.current.height;
        EXPECT_EQ(step.folded, c.folded);
    }
}

TEST(DialogRules, DeleteQuestionAndInitialFile) {
    TextTable saved = g_Texts;
    CopyTextInto(g_Texts.Texts[36][g_Settings.Language], u"Delete?");
    RecordingMessageBox boxes;
    boxes.Answer(kIdNo);
    EXPECT_FALSE(AskDeleteConfirmation(nullptr));
    EXPECT_TRUE(AskDeleteConfirmation(nullptr));
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, u"Delete?");
    EXPECT_EQ(shown[0].caption, u"Lanvisor");
    EXPECT_EQ(shown[0].style, kMbYesNo);
    g_Texts = saved;

    ProgramFolder program;
    EXPECT_EQ(LineFileInitialPath(u""), program.folder.Path() + u"\\temp.txt");
    EXPECT_EQ(LineFileInitialPath(u"mdata.txt"), program.folder.Path() + u"\\mdata.txt");
}

}  // namespace
