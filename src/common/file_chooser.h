// The open/save file dialog for trace files, macro files, line files, exports
// and reply rules. The rules
// around the dialog (default names, the starting path, the forced
// extension) are portable; the dialog itself is shown by a host that the
// Windows front end installs (GetOpenFileNameW / GetSaveFileNameW), and
// tests install a scripted one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/text_numbers.h"
#include "platform/message_box.h"

constexpr size_t kChooseFileCapacity = 260;

enum ChooseFileMode : int {
    kChooseOpenLog = 0,    // open a trace file
    kChooseSaveLog = 1,    // save a trace file
    kChooseOpenText = 2,   // open a macro (text) file
    kChooseOpenLines = 3,  // open a line file (history, presets)
    kChooseSaveLines = 4,  // save a line file
    kChooseExport = 5,     // save an export: the file type picks the format
    kChooseOpenRules = 6,  // open a reply rules file
};

// What the dialog of one mode looks like.
struct FileDialogSpec {
    bool save;                        // save dialog, else open dialog
    TextNumber titleText;             // the title (read into 32 characters)
    std::u16string_view defaultName;  // a name without any "." becomes this
    // Description and pattern pairs, each ended by a zero, the list ended by
    // an empty string (the Win32 filter format); the first pair is selected.
    std::u16string_view filter;
    std::u16string_view extension;  // forced on the chosen name; none when empty
    bool typeFromList = false;      // a name without extension takes the chosen file type's
};

// The spec of a mode; modes outside 0..6 are treated as mode 0.
const FileDialogSpec& FileDialogFor(int mode);

// Shows the dialog. `path` holds the file field at entry (at most 259
// characters) and the chosen full path on OK. True on OK, false on cancel.
// The open modes take only an existing file; the save modes also take a new
// name (a save that demanded an existing file could never make a new one).
class FileDialogHost {
public:
    virtual ~FileDialogHost() = default;
    virtual bool Show(WindowHandle owner, const FileDialogSpec& spec, std::u16string_view title,
                      std::u16string& path) = 0;
};

// Step by step, for the dialog and for tests:
// a name holding no "." at all becomes the mode's default name;
void CompleteDefaultName(int mode, std::u16string& name);
// the dialog's file field: the name itself when it is a full path ("X:\...",
// or rooted at "\"),
// otherwise programDirectory + "\" + name;
std::u16string InitialFileField(std::u16string_view name, std::u16string_view programDirectory);
// the chosen path with the forced extension: unchanged when it already ends
// in it (any letter case); else the file-name part (after the last "\") is
// cut at its first "." and the extension put there, or appended.
std::u16string ForceExtension(std::u16string_view path, std::u16string_view extension);

// The whole choice: makes the program directory the working directory,
// completes the name, shows the dialog and forces the extension. `name` is
// an in/out buffer of 260 characters. Returns true when the user chose a
// file (name then holds its full path), false when the user cancelled (name
// keeps its text, completed to the default name when it held no ".").
bool ChooseFile(WindowHandle owner, int mode, char16_t (&name)[kChooseFileCapacity]);
