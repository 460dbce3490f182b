// The commands around the program itself: the about box's texts, the manual,
// the product web page and opening macro files in the system's editor. The
// launches go through the launcher, so tests record them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/message_box.h"

// The program's version, in this one place: the about box, the status bar,
// lanvisor-run --version, its man page, the build (CMake reads it from here),
// the manual and the release files take it from this line.
constexpr std::u16string_view kVersionNumber = u"1.168";
// The day this version was released, for the man page's header.
constexpr std::string_view kVersionDate = "2026-12-10";
constexpr std::u16string_view kManualFileName = u"Lanvisor_manual.pdf";

// The product's pages; change them here only.
constexpr std::u16string_view kWebPageAddress = u"https://www.lanvisor.dev/";
constexpr std::u16string_view kDownloadPageAddress = u"https://www.lanvisor.dev/download/";

// "Version 1.168".
std::u16string AboutVersionText();
// "Build: Dec 7 2026" from the compiler's date ("Dec  7 2026"): the padding
// blank of a one-digit day is dropped.
std::u16string AboutBuildDateText(std::string_view compilerDate);

// Opens the manual beside the program; when that fails, says so (text 1
// under the caption of text 0).
void OpenManual(WindowHandle owner);
// The general page and the download page (NewVersion); failures are not reported.
void OpenWebPage(WindowHandle owner);
void OpenDownloadPage(WindowHandle owner);

// The full paths held by an open-file dialog's result with multiple
// selection: one full path, or a folder followed by names, the list ended
// by an empty string (a result without that end is read up to its last
// complete entry).
std::vector<std::u16string> ChosenFilePaths(std::u16string_view result);
// Opens each chosen file with its associated editor.
void OpenChosenFiles(WindowHandle owner, std::u16string_view result);
