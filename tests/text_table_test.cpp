#include <gtest/gtest.h>

#include "common/text_table.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

IniDocument LanguageFile(std::u16string_view text) {
    IniDocument doc;
    doc.Parse(text);
    return doc;
}

// Texts are read into the table by number and language; ShowAppMessage's
// boxes are checked with the messages that use them.
TEST(TextTable, LooksUpByNumberAndLanguage) {
    TextTable table;
    LoadTextTable(table, LanguageFile(
        u"[Lanvisor]\r\n"
        u"No.5:comt-j=トレースを消去しますか？\r\n"
        u"No.5:comt-e=Clear the trace?\r\n"
        u"No.0:comt-e=Manual\r\n"
        u"No.309:comt-c=末\r\n"  // no Korean text for 5
        u"No.44:comt-e=" + std::u16string(70, u'x') + u"\r\n"
        u"No.310:comt-e=beyond the table\r\n"));
    auto text = [&](int32_t language, int n) {
        char16_t out[kAppTextCapacity] = u"unchanged";
        GetAppText(table, language, n, out);
        return std::u16string(out);
    };
    EXPECT_EQ(text(kJapanese, 5), u"トレースを消去しますか？");
    EXPECT_EQ(text(kEnglish, 5), u"Clear the trace?");
    EXPECT_EQ(text(kKorean, 5), u"");  // missing key: empty, not another language
    EXPECT_EQ(text(kChinese, 309), u"末");  // the last number and language
    EXPECT_EQ(text(kEnglish, 0), u"Manual");  // and the first number
    EXPECT_EQ(text(kEnglish, 44), std::u16string(63, u'x'));
    for (auto [language, n] : {std::pair{4, 5}, {-1, 5}, {kEnglish, 310}, {kEnglish, -1}})
        EXPECT_EQ(text(language, n), u"unchanged");  // out of range: the destination as it was
    for (int32_t language : {kJapanese, kEnglish, kKorean, kChinese})
        EXPECT_EQ(LanguageFromName(LanguageName(language)), language);
}

// The interface texts shipped beside the program (kept in the sources as
// UTF-8): every number has its text in all four languages, each fits its
// 63-character slot, and the reader returns it as written.
TEST(LanguageFile, EveryNumberHasFourTextsThatFit) {
    std::u16string path = Utf8ToUtf16(LANVISOR_SOURCE_DIR "/src/resources/Lanvisor_char2.utf8.ini");
#ifdef _WIN32
    path = u"Z:" + path;  // Wine shows the Linux file system as drive Z:
#endif
    std::string bytes;
    FileReadResult result = ReadFileBytes(path, bytes, kMaxIniFileBytes);
#ifdef _WIN32
    // Only a Windows run under Wine on the build machine sees the sources.
    if (result == FileReadResult::Missing) GTEST_SKIP() << "source tree not reachable";
#endif
    ASSERT_EQ(result, FileReadResult::Ok) << Utf16ToUtf8(path);
    ASSERT_TRUE(IsValidUtf8(bytes));
    std::u16string text = Utf8ToUtf16(bytes);
    IniDocument doc = LanguageFile(text);

    // Every key line is a text key, four to a number; no text is cut or changed.
    size_t numbers = 0;
    for (int n = 0; n < kTextCount; ++n) {
        int found = 0;
        std::u16string read;
        for (std::u16string_view pattern : {u"No.%d:comt-j", u"No.%d:comt-e", u"No.%d:comt-k", u"No.%d:comt-c"}) {
            std::u16string key = FormatString(pattern, {n});
            if (!doc.Lookup(u"Lanvisor", key, read) || read.empty()) continue;
            ++found;
            EXPECT_LE(read.size(), 63u) << Utf16ToUtf8(key);
            EXPECT_NE(text.find(u"\n" + key + u"=" + read + u"\n"), std::u16string::npos) << Utf16ToUtf8(key);
        }
        EXPECT_TRUE(found == 0 || found == 4) << n;
        numbers += found == 4;
    }
    size_t keyLines = 0;
    for (size_t at = text.find(u"\nNo."); at != std::u16string::npos; at = text.find(u"\nNo.", at + 1)) ++keyLines;
    EXPECT_EQ(keyLines, 4 * numbers);
    EXPECT_GT(numbers, 100u);
}

}  // namespace
