#include "common/help_commands.h"

#include "common/program_context.h"

namespace {

constexpr intptr_t kFirstSuccessfulResult = 33;  // the shell's results up to 32 are errors

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

std::u16string AboutVersionText() { return u"Version " + std::u16string(kVersionNumber); }

std::u16string AboutBuildDateText(std::string_view compilerDate) {
    std::u16string date = Widen(compilerDate);
    // "Mmm dd yyyy": a one-digit day comes as " d".
    if (date.size() > 5 && date[3] == u' ' && date[4] == u' ') date.erase(4, 1);
    return u"Build: " + date;
}

void OpenManual(WindowHandle owner) {
    // The full path: file dialogs may have moved the working directory away
    // from the program folder since the start.
    if (CurrentLauncher().Open(owner, ProgramFilePath(kManualFileName), u"", u"") >= kFirstSuccessfulResult) return;
    ShowAppMessage(owner, kTextCannotOpenManual, kAppMessageOk, AppText(kTextOpenManual));
}

void OpenWebPage(WindowHandle owner) { CurrentLauncher().Open(owner, kWebPageAddress, u"", u""); }

void OpenDownloadPage(WindowHandle owner) { CurrentLauncher().Open(owner, kDownloadPageAddress, u"", u""); }

std::vector<std::u16string> ChosenFilePaths(std::u16string_view result) {
    std::vector<std::u16string_view> parts;
    while (!result.empty()) {
        size_t end = result.find(u'\0');
        if (end == 0) break;  // the empty string that ends the list
        if (end == std::u16string_view::npos) break;  // cut off: not a complete entry
        parts.push_back(result.substr(0, end));
        result.remove_prefix(end + 1);
    }
    if (parts.size() <= 1) return {parts.begin(), parts.end()};
    std::u16string folder(parts[0]);
    if (folder.back() != u'\\') folder += u'\\';
    std::vector<std::u16string> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + std::u16string(parts[i]));
    return paths;
}

void OpenChosenFiles(WindowHandle owner, std::u16string_view result) {
    for (const std::u16string& path : ChosenFilePaths(result)) CurrentLauncher().Open(owner, path, u"", u"");
}
