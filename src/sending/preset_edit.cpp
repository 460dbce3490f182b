#include "sending/preset_edit.h"

#include <algorithm>
#include <utility>

bool AssembleLine(PresetEditTable& table, const InputLine& line) {
    uint8_t bytes[kLineCodes];
    int32_t n = ConvertLineToBytes(line.codes, line.length, bytes);
    if (n == 0) return false;
    LineEntry assembled;
    assembled.count = n;
    std::copy(bytes, bytes + n, assembled.codes);  // codes of 256 and more are now their byte
    auto lines = table.Lines();
    for (const LineEntry& entry : lines)
        if (entry.count > 0 && std::equal(assembled.codes, assembled.codes + n, entry.codes)) return false;
    std::move_backward(lines.begin(), lines.end() - 1, lines.end());
    lines.front() = assembled;
    return true;
}

int32_t PressRowNumber(PresetEditState& state, int32_t row) {
    int32_t index = state.PageStart + row;
    if (index == state.Selection) {
        state.Selection = kNoSelection;
        return -1;
    }
    state.Selection = index;
    return row;
}

bool MoveSelectedEntry(PresetEditTable& table, PresetEditState& state, MoveDirection direction) {
    int32_t from = state.Selection;
    int32_t to = direction == MoveDirection::Up ? from - 1 : from + 1;
    if (from < 0 || from >= PresetEditTable::kUsed || to < 0 || to >= PresetEditTable::kUsed) return false;
    std::swap(table.Entries[from], table.Entries[to]);
    state.Selection = kNoSelection;
    return true;
}

bool HasSelection(const PresetEditState& state) {
    return state.Selection >= 0 && state.Selection < PresetEditTable::kUsed;
}

void DeleteSelectedEntry(PresetEditTable& table, PresetEditState& state) {
    if (!HasSelection(state)) return;
    auto lines = table.Lines();
    std::move(lines.begin() + state.Selection + 1, lines.end(), lines.begin() + state.Selection);
    ClearLineEntry(lines.back());
    state.Selection = kNoSelection;
}

void DeleteAllEntries(PresetEditTable& table, PresetEditState& state) {
    ClearLineTable(table);
    state.Selection = kNoSelection;
}
