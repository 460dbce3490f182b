// The interface texts shipped beside the program ("Lanvisor_char2.ini", kept
// in the sources as UTF-8): every text the program looks up must be there in
// all four languages and fit its 63-character slot, the Japanese texts that
// the dialog templates carry must match, and nothing else may be in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kSection = u"Lanvisor";
constexpr size_t kMaxTextUnits = 63;

// Key patterns in the order of the table's language slots.
constexpr std::u16string_view kKeyPatterns[] = {u"No.%d:comt-j", u"No.%d:comt-e", u"No.%d:comt-k", u"No.%d:comt-c"};
constexpr const char* kLanguageNames[] = {"Japanese", "English", "Korean", "Chinese"};

// Every text number the program looks up.
constexpr int kUsedNumbers[] = {
    0, 1, 2, 4, 5, 6,                            // manual, macro, wait window, trace messages
    10, 11, 12, 13, 15, 16, 17,                  // file dialog titles, file and macro messages
    21, 22, 23, 24, 32, 33, 34, 35, 36,          // close question, file, input, confirmation
    40, 41, 43, 44, 45, 46,                      // about box, connection settings
    60, 61, 65, 66, 67, 68, 69, 70, 71, 72, 73,  // sending dialogs, environment dialog
    74, 75, 76, 77, 79, 80, 81, 82, 83, 84,      //
    85, 86, 87, 88, 89, 90, 91, 92, 95,          // paging and file buttons, macro dialog
    96, 97, 98, 99, 100, 101, 102, 103,          // IP address dialog, connection settings buttons
    180, 181, 182, 183, 186, 187, 188, 190,      // dark mode dialog, preset edit dialog
    200, 201, 202, 203, 204, 205, 206,           // menu titles
    210, 211, 212, 213, 214, 215, 220, 221, 222, 223, 224, 225, // menu items and toolbar tooltips
    230, 231, 232, 240, 241, 242, 250, 251, 252, 253,
    260, 261, 262, 263, 270, 271, 272,
    285, 286, 287,                               // export and capture messages
};

// Japanese texts that the dialog templates show for these numbers; the file
// must give the same words, odd spellings and half-width kana included.
const struct {
    int number;
    std::u16string_view japanese;
} kTemplateTexts[] = {
    {35, u"表示周時"},
    {40, u"バージョン情報 Lanvisor"},
    {41, u"ｷｬﾝｾﾙ"},
    {43, u"ＰＯＲＴ番号"},
    {44, u"サーバ・クライアントの選択"},
    {45, u"クライアント側"},
    {46, u"サーバ側"},
    {65, u"入力文字送信の画面で自動Focusしない"},
    {74, u"閉じる"},
    {75, u"環境設定"},
    {76, u"スクロールの幅"},
    {77, u"チェックサム（ASC）の英文字を小文字にする"},
    {80, u"TIPとUDPの選択"},
    {90, u"マクロ実行"},
    {91, u"Macroファイル名指定"},
    {92, u"中断"},
    {96, u"管理者権限の操作"},
    {97, u"IDとPWをクリップボードに記憶する"},
    {98, u"Add IP"},
    {99, u"Adapter search"},
    {100, u"IP Address Set"},
    {101, u"Network center"},
    {102, u"connect search"},
    {180, u"ダークモード"},
    {181, u"メニューバー無し"},
    {182, u"書込後終了"},
    {261, u"ダーク&ライトモード"},
};

std::u16string Key(int number, int language) { return FormatString(kKeyPatterns[language], {number}); }

bool IsUsed(int number) {
    return std::find(std::begin(kUsedNumbers), std::end(kUsedNumbers), number) != std::end(kUsedNumbers);
}

std::u16string SourcePath() {
    std::u16string path = Utf8ToUtf16(LANVISOR_SOURCE_DIR "/src/resources/Lanvisor_char2.utf8.ini");
#ifdef _WIN32
    path = u"Z:" + path;  // Wine shows the Linux file system as drive Z:
#endif
    return path;
}

class LanguageFile : public testing::Test {
protected:
    void SetUp() override {
        FileReadResult result = ReadFileBytes(SourcePath(), bytes_, kMaxIniFileBytes);
#ifdef _WIN32
        // Only a Windows run under Wine on the build machine sees the sources.
        if (result == FileReadResult::Missing) GTEST_SKIP() << "source tree not reachable";
#endif
        ASSERT_EQ(result, FileReadResult::Ok) << Utf16ToUtf8(SourcePath());
        ASSERT_TRUE(doc_.Load(SourcePath()));
    }

    std::string bytes_;
    IniDocument doc_;
};

TEST_F(LanguageFile, EveryUsedNumberHasFourTextsThatFit) {
    for (int number : kUsedNumbers) {
        for (int language = 0; language < 4; ++language) {
            std::u16string text;
            std::u16string key = Key(number, language);
            SCOPED_TRACE(Utf16ToUtf8(key));
            ASSERT_TRUE(doc_.Lookup(kSection, key, text)) << kLanguageNames[language] << " text missing";
            EXPECT_FALSE(text.empty());
            EXPECT_LE(text.size(), kMaxTextUnits) << Utf16ToUtf8(text);
        }
    }
}

TEST_F(LanguageFile, JapaneseTextsMatchTheDialogTemplates) {
    for (const auto& t : kTemplateTexts) {
        std::u16string text;
        EXPECT_TRUE(doc_.Lookup(kSection, Key(t.number, 0), text));
        EXPECT_EQ(Utf16ToUtf8(text), Utf16ToUtf8(t.japanese)) << "text " << t.number;
    }
}

// Each line is a comment, blank, the one section header, or a key of a used
// number in the program's exact spelling; keys come by number, then j e k c,
// and the reader returns each value as written (no blanks or quotes to strip).
TEST_F(LanguageFile, HoldsOnlyKeysOfUsedNumbersInOrder) {
    ASSERT_TRUE(IsValidUtf8(bytes_));
    EXPECT_NE(bytes_.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark in the UTF-8 source";
    EXPECT_EQ(bytes_.find('\r'), std::string::npos) << "LF line ends only";

    std::u16string text = Utf8ToUtf16(bytes_);
    std::vector<std::pair<int, int>> keys;
    int sections = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find(u'\n', start), text.size());
        std::u16string_view line = std::u16string_view(text).substr(start, end - start);
        start = end + 1;
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
        while (language < 4 && key != Key(number, language)) ++language;
        ASSERT_LT(language, 4) << "not a text key";
        EXPECT_TRUE(IsUsed(number)) << "text for a number the program does not use";
        if (!keys.empty()) {
            EXPECT_LT(keys.back(), std::make_pair(number, language)) << "out of order or repeated";
        }
        keys.emplace_back(number, language);

        std::u16string read;
        EXPECT_TRUE(doc_.Lookup(kSection, key, read));
        EXPECT_EQ(Utf16ToUtf8(read), Utf16ToUtf8(line.substr(equals + 1)));
    }
    EXPECT_EQ(sections, 1);
    EXPECT_EQ(keys.size(), std::size(kUsedNumbers) * 4);
}

}  // namespace
