#include "common/file_chooser.h"

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

using namespace std::string_view_literals;

constexpr std::u16string_view kLogFilter = u"LogvFile(*.log)\0*.log\0AllFile(*.*)\0*.*\0\0"sv;
constexpr std::u16string_view kTextFilter = u"TxtFile(*.txt)\0*.txt\0AllFile(*.*)\0*.*\0\0"sv;
constexpr std::u16string_view kExportFilter =
    u"Text(*.txt)\0*.txt\0CSV(*.csv)\0*.csv\0pcap(*.pcap)\0*.pcap\0AllFile(*.*)\0*.*\0\0"sv;
constexpr std::u16string_view kRulesFilter = u"Rules(*.txt;*.rules)\0*.txt;*.rules\0AllFile(*.*)\0*.*\0\0"sv;

const FileDialogSpec kSpecs[] = {
    {false, kTextOpenFile, u"Temp1.log", kLogFilter, u".log"},
    {true, kTextSaveAs, u"Temp1.log", kLogFilter, u".log"},
    {false, kTextOpenFile, u"Temp1.txt", kTextFilter, u".txt"},
    // Line files are saved with ".txt" by their own naming rule.
    {false, kTextOpenFile, u"temp.txt", kTextFilter, u""},
    {true, kTextSaveAs, u"temp.txt", kTextFilter, u""},
    {true, kTextSaveAs, u"Temp1.txt", kExportFilter, u"", true},  // the extension is the user's choice of format
    {false, kTextOpenFile, u"replies.txt", kRulesFilter, u""},     // any name: rules files have no one extension
};
static_assert(sizeof kSpecs / sizeof kSpecs[0] == kChooseOpenRules + 1, "one spec per mode");

bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view tail) {
    return text.size() >= tail.size() && EqualsIgnoreAsciiCase(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

const FileDialogSpec& FileDialogFor(int mode) { return kSpecs[(mode >= 0 && mode <= kChooseOpenRules) ? mode : 0]; }


void CompleteDefaultName(int mode, std::u16string& name) {
    if (name.find(u'.') == std::u16string::npos) name = FileDialogFor(mode).defaultName;
}

std::u16string InitialFileField(std::u16string_view name, std::u16string_view programDirectory) {
    // "X:\..." and also rooted and network paths ("\dir", "\\server\share"),
    // which would make no sense behind the program directory.
    bool fullPath = (name.size() >= 3 && name[1] == u':' && name[2] == u'\\') || (!name.empty() && name[0] == u'\\');
    if (fullPath) return std::u16string(name);
    std::u16string field(programDirectory);
    field += u'\\';
    field += name;
    return field;
}

std::u16string ForceExtension(std::u16string_view path, std::u16string_view extension) {
    if (EndsWithIgnoreCase(path, extension)) return std::u16string(path);
    size_t nameStart = path.rfind(u'\\');
    nameStart = nameStart == std::u16string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.find(u'.', nameStart);
    std::u16string result(path.substr(0, dot == std::u16string_view::npos ? path.size() : dot));
    result += extension;
    return result;
}

bool ChooseFile(WindowHandle owner, int mode, char16_t (&name)[kChooseFileCapacity]) {
    SetWorkingDirectory(TextView(g_Program.Directory));
    const FileDialogSpec& spec = FileDialogFor(mode);
    std::u16string text(TextView(name));
    CompleteDefaultName(mode, text);
    CopyTextInto(name, text);

    std::u16string path = InitialFileField(text, TextView(g_Program.Directory));
    path = std::u16string(CutText(path, kChooseFileCapacity - 1));
    char16_t title[32] = {};
    CopyTextInto(title, AppText(spec.titleText));
    FileDialogHost* host = g_Program.FileDialogs;
    if (host == nullptr || !host->Show(owner, spec, TextView(title), path)) return false;

    std::u16string chosen = ForceExtension(path, spec.extension);
    CopyTextInto(name, chosen);
    return true;
}
