// The rules of the preset edit list: lines are assembled at its top, and
// rows are selected, moved and deleted.
#pragma once

#include <cstdint>

#include "sending/input_line.h"
#include "sending/line_entry.h"

constexpr int32_t kNoSelection = -1;

// The list's page and selection; both start afresh when the dialog opens.
struct PresetEditState {
    int32_t PageStart = 0;             // 0, 10, ... 190
    int32_t Selection = kNoSelection;  // absolute entry index, or none
};

// Puts the line, one byte per code, at the top of the list; the bottom entry
// falls out. Nothing is added when an entry already begins with the same
// codes, or when the line is empty. The line itself stays. True when added.
bool AssembleLine(PresetEditTable& table, const InputLine& line);

// A row's number button: selects the row's entry, or deselects it when it is
// the selection already. Returns the row to show marked, or -1 for none.
int32_t PressRowNumber(PresetEditState& state, int32_t row);

enum class MoveDirection { Up, Down };
// Swaps the selected entry with its neighbour and ends the selection; false,
// with nothing changed, without a selection or at the table's edge.
bool MoveSelectedEntry(PresetEditTable& table, PresetEditState& state, MoveDirection direction);

// Whether there is an entry to delete (ask before DeleteSelectedEntry).
bool HasSelection(const PresetEditState& state);
// Removes the selected entry, the later ones moving up, and ends the selection.
void DeleteSelectedEntry(PresetEditTable& table, PresetEditState& state);
// Empties the whole list and ends the selection.
void DeleteAllEntries(PresetEditTable& table, PresetEditState& state);
