// Stored lines: the send history and the two preset tables share one record,
// a count and 256 character codes, and are kept in fixed tables that live for
// the whole run.
#pragma once

#include <cstdint>
#include <span>

constexpr int32_t kLineCodes = 256;  // codes of one line, typed or stored

struct LineEntry {
    int32_t count = 0;               // 0: empty entry
    char16_t codes[kLineCodes] = {};  // slots at and beyond count hold 0
};

// A table of lines: Used entries take part in every rule; the spare ones
// beyond them are only ever cleared together with the table.
template <int32_t Used, int32_t Allocated>
struct LineTable {
    static constexpr int32_t kUsed = Used;
    static constexpr int32_t kAllocated = Allocated;
    LineEntry Entries[Allocated] = {};

    std::span<LineEntry> Lines() { return std::span<LineEntry>(Entries, Used); }
    std::span<const LineEntry> Lines() const { return std::span<const LineEntry>(Entries, Used); }
    std::span<LineEntry> AllEntries() { return std::span<LineEntry>(Entries, Allocated); }
};

// The 20 most recent distinct lines sent, newest first; in memory only.
struct SendHistory : LineTable<20, 22> {};
// The lines offered by the preset send dialog, read from a line file.
struct PresetTable : LineTable<200, 202> {};
// The lines being prepared in the preset edit dialog.
struct PresetEditTable : LineTable<200, 202> {};

// Empties an entry: count 0, every slot 0.
void ClearLineEntry(LineEntry& entry);
// Makes the entry hold the first count codes (count cut to 0..256).
void SetLineEntry(LineEntry& entry, const char16_t* codes, int32_t count);

// Empties every entry of a table, the spare ones included.
template <int32_t U, int32_t A>
void ClearLineTable(LineTable<U, A>& table) {
    for (LineEntry& entry : table.AllEntries()) ClearLineEntry(entry);
}

// Rows first .. first + rows - 1 of a table's used entries, cut to the table
// (a page of a dialog's list).
std::span<const LineEntry> PageOfLines(std::span<const LineEntry> lines, int32_t first, int32_t rows);
