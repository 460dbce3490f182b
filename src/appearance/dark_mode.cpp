#include "appearance/dark_mode.h"

#include "common/program_directory.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_file.h"

AppearanceFlags g_Appearance;

namespace {

constexpr size_t kLineLimit = 510;          // characters read into one line at most
constexpr size_t kMaxDarkModeFile = 1 << 20;  // anything larger is not ours

AppearanceFlags FlagsOfLine(std::u16string_view line) {
    std::u16string_view head = line.substr(0, 5);
    if (head == u"dkm=1") return {true, false};
    if (head == u"dkm=2") return {false, true};
    if (head == u"dkm=3") return {true, true};
    return {};
}

bool EndsWithLineBreak(const std::u16string& line) {
    size_t n = line.size();
    return n >= 2 && line[n - 2] == u'\r' && line[n - 1] == u'\n';
}

}  // namespace

AppearanceFlags ParseDarkModeFile(std::string_view bytes) {
    AppearanceFlags flags;
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return flags;
    std::u16string line;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        line.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        bool complete = EndsWithLineBreak(line);
        if (!complete && line.size() < kLineLimit) continue;
        std::u16string_view text(line);
        if (complete) text.remove_suffix(2);
        flags = FlagsOfLine(text);
        line.clear();
    }
    return flags;  // a last line without its line end does not count
}

int32_t DarkModeValue(bool darkMode, bool noMenuBar) { return (darkMode ? 1 : 0) + (noMenuBar ? 2 : 0); }

std::string DarkModeFileBytes(int32_t value) {
    char16_t line[24];
    FormatText(line, u"dkm=%d\r\n", {value});
    return EncodeUtf16LeWithBom(TextView(line));
}

AppearanceFlags ReadDarkModeFile(std::u16string_view folder) {
    std::u16string path(folder);
    path += u'\\';
    path += kDarkModeFileName;
    std::string bytes;
    if (ReadFileBytes(path, bytes, kMaxDarkModeFile) != FileReadResult::Ok) return {};
    return ParseDarkModeFile(bytes);
}

bool WriteDarkModeFile(int32_t value) { return WriteFileBytes(ProgramFilePath(kDarkModeFileName), DarkModeFileBytes(value)); }
