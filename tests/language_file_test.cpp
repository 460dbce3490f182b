// The interface texts shipped beside the program ("Lanvisor_char2.ini", kept
// in the sources as UTF-8): every number has its text in all four languages,
// each fits its 63-character slot, and the reader returns it as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kKeyPatterns[] = {u"No.%d:comt-j", u"No.%d:comt-e", u"No.%d:comt-k", u"No.%d:comt-c"};

std::u16string SourcePath() {
    std::u16string path = Utf8ToUtf16(LANVISOR_SOURCE_DIR "/src/resources/Lanvisor_char2.utf8.ini");
#ifdef _WIN32
    path = u"Z:" + path;  // Wine shows the Linux file system as drive Z:
#endif
    return path;
}

// Each line is a comment, blank, the one section header, or a key in the
// program's exact spelling; keys come by number, then j e k c.
TEST(LanguageFile, EveryNumberHasFourTextsThatFitInOrder) {
    std::string bytes;
    FileReadResult result = ReadFileBytes(SourcePath(), bytes, kMaxIniFileBytes);
#ifdef _WIN32
    // Only a Windows run under Wine on the build machine sees the sources.
    if (result == FileReadResult::Missing) GTEST_SKIP() << "source tree not reachable";
#endif
    ASSERT_EQ(result, FileReadResult::Ok) << Utf16ToUtf8(SourcePath());
    IniDocument doc;
    ASSERT_TRUE(doc.Load(SourcePath()));
    ASSERT_TRUE(IsValidUtf8(bytes));
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark in the UTF-8 source";
    EXPECT_EQ(bytes.find('\r'), std::string::npos) << "LF line ends only";

    std::u16string text = Utf8ToUtf16(bytes);
    std::vector<std::pair<int, int>> keys;
    int sections = 0;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find(u'\n', start), text.size());
        std::u16string_view line = std::u16string_view(text).substr(start, end - start);
        if (line.empty() || line[0] == u';') continue;
        if (line == u"[Lanvisor]") {
            ++sections;
            continue;
        }
        SCOPED_TRACE(Utf16ToUtf8(line));
        ASSERT_EQ(sections, 1) << "keys belong to the one [Lanvisor] section";
        size_t equals = line.find(u'=');
        ASSERT_NE(equals, std::u16string_view::npos);
        std::u16string_view key = line.substr(0, equals);
        int number = key.size() > 3 ? LeadingInt(key.substr(3)) : -1;
        int language = 0;
        while (language < 4 && key != FormatString(kKeyPatterns[language], {number})) ++language;
        ASSERT_LT(language, 4) << "not a text key";
        // The next key after a number's four texts is the next number's Japanese text.
        std::pair<int, int> expected = keys.empty() || keys.back().second == 3
                                           ? std::pair{number, 0}
                                           : std::pair{keys.back().first, keys.back().second + 1};
        EXPECT_EQ(std::pair(number, language), expected) << "missing, repeated or out of order";
        if (!keys.empty() && language == 0) EXPECT_GT(number, keys.back().first);
        keys.emplace_back(number, language);

        std::u16string read;
        EXPECT_TRUE(doc.Lookup(u"Lanvisor", key, read));
        EXPECT_EQ(Utf16ToUtf8(read), Utf16ToUtf8(line.substr(equals + 1)));
        EXPECT_FALSE(read.empty());
        EXPECT_LE(read.size(), 63u);
    }
    EXPECT_EQ(sections, 1);
    EXPECT_GT(keys.size(), 400u);
    EXPECT_EQ(keys.size() % 4, 0u);
}

}  // namespace
