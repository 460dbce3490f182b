// Saving the send history or the preset edit table to a line file, and
// loading line files into the preset tables. Each operation reports its own
// failures in message boxes owned by the given window.
#pragma once

#include <string_view>

#include "common/file_chooser.h"
#include "platform/message_box.h"
#include "sending/line_entry.h"

// The preset file the preset send dialog reads, in the program folder.
constexpr std::u16string_view kPresetFileName = u"mdata.txt";

constexpr size_t kLineFilePathCapacity = kChooseFileCapacity;

// The open or save dialog for line files, through the program's one file
// dialog; it offers "temp.txt" in the program folder first, and saving may
// name a new file. True when a file was chosen (its full path then in
// path), false when the user cancelled.
bool ChooseLineFile(WindowHandle owner, char16_t (&path)[kLineFilePathCapacity], bool save);

// Writes the lines up to the first empty one (at most 20 or 200) to path,
// relative to the program folder unless it is a full path, given the
// extension ".txt" by LineFileName. Message text 34 "CreateFile" when the
// file cannot be written. True when it was written.
bool SaveLineFile(WindowHandle owner, std::u16string_view path, const SendHistory& history);
bool SaveLineFile(WindowHandle owner, std::u16string_view path, const PresetEditTable& presets);

// Reads a line file into the preset table: a file name in the program folder
// (inProgramDirectory) or a full path. A missing file is created empty.
// Message text 34 "CreateFile" when the file cannot be opened, text 23
// "FileError" when it is empty or has no byte-order mark; the table is then
// unchanged. True when the table was read.
bool LoadPresetFile(WindowHandle owner, std::u16string_view nameOrPath, bool inProgramDirectory, PresetTable& table);
// The same into the preset edit table, always from a full path.
bool LoadPresetEditFile(WindowHandle owner, std::u16string_view path, PresetEditTable& table);
