#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sending/dialog_rules.h"
#include "sending/preset_edit.h"

namespace {

using Codes = std::vector<char16_t>;

Codes CodesOf(const LineEntry& e) { return Codes(e.codes, e.codes + e.count); }

bool Assemble(PresetEditTable& table, const Codes& codes) {
    InputLine line;
    std::copy(codes.begin(), codes.end(), line.codes);
    line.length = int32_t(codes.size());
    return AssembleLine(table, line);
}

TEST(AssembleLine, SkipsLinesThatAnEntryBeginsWith) {
    const struct {
        std::vector<Codes> assembled;
        std::vector<Codes> top;
    } cases[] = {
        {{{'X', 'Y', 'Z'}, {'X', 'Y'}}, {{'X', 'Y', 'Z'}, {}}},
        {{{'X', 'Y'}, {'X', 'Y', 'Z'}}, {{'X', 'Y', 'Z'}, {'X', 'Y'}, {}}},
        {{{'A'}, {'A', 0}, {}, {'B'}}, {{'B'}, {'A'}, {}}},  // trailing zeros match; empty adds nothing
    };
    for (const auto& c : cases) {
        auto table = std::make_unique<PresetEditTable>();
        for (const Codes& codes : c.assembled) Assemble(*table, codes);
        for (size_t k = 0; k < c.top.size(); ++k) EXPECT_EQ(CodesOf(table->Entries[k]), c.top[k]) << k;
    }
    auto table = std::make_unique<PresetEditTable>();
    for (int i = 0; i < 201; ++i) ASSERT_TRUE(Assemble(*table, {char16_t(i >> 8), char16_t(i & 0xFF)}));
    EXPECT_EQ(CodesOf(table->Entries[0]), (Codes{0, 200}));
    EXPECT_EQ(CodesOf(table->Entries[199]), (Codes{0, 1}));  // the oldest fell out
    EXPECT_EQ(table->Entries[200].count, 0);
}

// A row moves up end to end; here the edges of the table and a delete.
TEST(PresetEditList, SelectMoveAndDelete) {
    auto table = std::make_unique<PresetEditTable>();
    for (int i = 0; i < 200; ++i) Assemble(*table, {char16_t(199 - i)});  // entry i holds code i
    PresetEditState state{100, kNoSelection};
    using enum MoveDirection;

    const struct {
        int32_t selection;
        MoveDirection direction;
        bool moved;
    } moves[] = {{0, Up, false}, {199, Down, false}, {kNoSelection, Up, false}, {200, Up, false},
                 {1, Up, true},  {0, Down, true},    {5, Down, true}};  // entries 0 and 1 swap, then back
    for (const auto& m : moves) {
        state.Selection = m.selection;
        EXPECT_EQ(MoveSelectedEntry(*table, state, m.direction), m.moved) << m.selection;
        EXPECT_EQ(state.Selection, m.moved ? kNoSelection : m.selection);
    }
    EXPECT_EQ(table->Entries[5].codes[0], 6);
    EXPECT_EQ(table->Entries[6].codes[0], 5);

    state.Selection = 5;
    DeleteSelectedEntry(*table, state);
    EXPECT_EQ(table->Entries[5].codes[0], 5);
    EXPECT_EQ(table->Entries[198].codes[0], 199);
    EXPECT_EQ(table->Entries[199].count, 0);
    EXPECT_FALSE(HasSelection(state));
    state.Selection = 0;  // the first entry goes too
    DeleteSelectedEntry(*table, state);
    EXPECT_EQ(table->Entries[0].codes[0], 1);
    state.Selection = PresetEditTable::kUsed;
    EXPECT_FALSE(HasSelection(state));
}

// The fold buttons: the input-send dialog folds when taller than 200 pixels,
// the preset-send dialog unfolds when narrower than 201; pages stay on the lines.
TEST(DialogRules, FoldsAndPages) {
    const WindowSize full{700, 500};
    auto input = [&](WindowSize now) { FoldStep s = ToggleInputSendFold(now, full); return std::pair{s.size, s.folded}; };
    auto preset = [&](WindowSize now) { FoldStep s = TogglePresetSendFold(now, full); return std::pair{s.size, s.folded}; };
    EXPECT_EQ(input({700, 201}), std::pair(WindowSize{700, 150}, 1));
    EXPECT_EQ(input({700, 200}), std::pair(full, 0));
    EXPECT_EQ(preset({200, 500}), std::pair(full, 0));
    EXPECT_EQ(preset({201, 500}), std::pair(WindowSize{150, 500}, 1));
    EXPECT_EQ(TurnPage(185, kPresetRows, 200, true), 190);
    EXPECT_EQ(TurnPage(5, kHistoryRows, 20, false), 0);
}

}  // namespace
