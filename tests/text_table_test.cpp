#include <gtest/gtest.h>

#include "common/app_settings.h"
#include "common/text_table.h"
#include "platform/message_box.h"
#include "platform/text.h"

namespace {

IniDocument LanguageFile(std::u16string_view text) {
    IniDocument doc;
    doc.Parse(text);
    return doc;
}

class TextTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedLanguage = g_Settings.Language;
        LoadTextTable(table, LanguageFile(
            u"[Lanvisor]\r\n"
            u"No.5:comt-j=トレースを消去しますか？\r\n"
            u"No.5:comt-e=Clear the trace?\r\n"
            u"No.5:comt-c=清除记录吗？\r\n"  // no Korean text for 5
            u"No.44:comt-e=" + std::u16string(70, u'x') + u"\r\n"
            u"no.299:COMT-K=끝\r\n"
            u"No.300:comt-e=beyond the table\r\n"));
    }
    void TearDown() override { g_Settings.Language = savedLanguage; }

    std::u16string Text(int32_t language, int n) {
        char16_t out[kAppTextCapacity] = u"unchanged";
        GetAppText(table, language, n, out);
        return out;
    }

    TextTable table;
    int32_t savedLanguage = 0;
};

TEST_F(TextTableTest, LooksUpByNumberAndLanguage) {
    EXPECT_EQ(Text(kJapanese, 5), u"トレースを消去しますか？");
    EXPECT_EQ(Text(kEnglish, 5), u"Clear the trace?");
    EXPECT_EQ(Text(kKorean, 5), u"");  // missing key: empty, not another language
    EXPECT_EQ(Text(kChinese, 5), u"清除记录吗？");
    EXPECT_EQ(Text(kKorean, 299), u"끝");  // key names ignore case
    EXPECT_EQ(Text(kEnglish, 6), u"");
}

TEST_F(TextTableTest, LongTextsAreCutAndOutOfRangeLeavesTheDestination) {
    EXPECT_EQ(Text(kEnglish, 44), std::u16string(63, u'x'));
    EXPECT_EQ(Text(4, 5), u"unchanged");
    EXPECT_EQ(Text(-1, 5), u"unchanged");
    EXPECT_EQ(Text(kEnglish, 300), u"unchanged");
    EXPECT_EQ(Text(kEnglish, -1), u"unchanged");
}

TEST_F(TextTableTest, ShowAppMessageStyles) {
    g_Texts = table;
    g_Settings.Language = kEnglish;
    RecordingMessageBox boxes;
    EXPECT_EQ(ShowAppMessage(nullptr, 5, kAppMessageOk, u"Lanvisor"), 0);
    boxes.Answer(kIdYes);
    EXPECT_EQ(ShowAppMessage(nullptr, 5, kAppMessageYesNo, u"Lanvisor"), kIdYes);
    boxes.Answer(kIdNo);
    EXPECT_EQ(ShowAppMessage(nullptr, 5, kAppMessageYesNo, u"Lanvisor"), kIdNo);
    EXPECT_EQ(ShowAppMessage(nullptr, 5, 2, u"Lanvisor"), 0);  // no box at all
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, u"Clear the trace?");
    EXPECT_EQ(shown[0].caption, u"Lanvisor");
    EXPECT_EQ(shown[0].style, static_cast<uint32_t>(kMbOk));
    EXPECT_EQ(shown[1].style, static_cast<uint32_t>(kMbYesNo));

    // A language outside 0..3 shows an empty text.
    g_Settings.Language = 7;
    ShowAppMessage(nullptr, 5, kAppMessageOk, u"c");
    EXPECT_EQ(boxes.Boxes().back().text, u"");
}

TEST(LanguageNames, ComboTextMapsToALanguage) {
    const struct {
        std::u16string_view name;
        int32_t language;
    } cases[] = {
        {u"English", kEnglish}, {u"Chinese", kChinese}, {u"english", kJapanese},
        {u"English ", kJapanese}, {u"", kJapanese},
    };
    for (const auto& c : cases) EXPECT_EQ(LanguageFromName(c.name), c.language) << std::u16string(c.name).size();
    for (int32_t language = 0; language < kLanguageCount; ++language)
        EXPECT_EQ(LanguageFromName(LanguageName(language)), language);
}

}  // namespace
