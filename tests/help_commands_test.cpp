#include <gtest/gtest.h>

#include "common/app_settings.h"
#include "common/help_commands.h"
#include "common/program_directory.h"
#include "common/text_table.h"
#include "platform/ini_file.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/text.h"

namespace {

TEST(AboutTexts, VersionAndBuildDate) {
    EXPECT_EQ(AboutVersionText(), u"Version 1.168");
    const struct {
        std::string_view compilerDate;
        std::u16string_view text;
    } cases[] = {
        {"Jul 11 2026", u"Build: Jul 11 2026"},
        {"Dec  7 2026", u"Build: Dec 7 2026"},  // the compiler pads a one-digit day
        {"", u"Build: "},
    };
    for (const auto& c : cases) EXPECT_EQ(AboutBuildDateText(c.compilerDate), c.text) << c.compilerDate;
    // The build's own date has the same shape.
    std::u16string own = AboutBuildDateText(__DATE__);
    EXPECT_EQ(own.find(u"  "), std::u16string::npos);
    EXPECT_EQ(own.substr(0, 7), u"Build: ");
}

class ManualTest : public ::testing::Test {
protected:
    void SetUp() override {
        CopyTextInto(g_ProgramDirectory, u"C:\\Lanvisor");
        savedLanguage = g_Settings.Language;
        IniDocument doc;
        doc.Parse(u"[Lanvisor]\r\nNo.0:comt-e=Open Manual\r\nNo.1:comt-e=Cannot open the manual.\r\n"
                  u"No.0:comt-j=マニュアル\r\nNo.1:comt-j=開けません\r\n");
        saved = g_Texts;
        LoadTextTable(g_Texts, doc);
    }
    void TearDown() override {
        g_Texts = saved;
        g_Settings.Language = savedLanguage;
    }

    TextTable saved;
    int32_t savedLanguage = 0;
};

TEST_F(ManualTest, OpensTheManualBesideTheProgram) {
    RecordingLauncher launcher;
    RecordingMessageBox boxes;
    OpenManual(nullptr);
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_FALSE(launcher.launches[0].elevated);
    EXPECT_EQ(launcher.launches[0].file, u"C:\\Lanvisor\\Lanvisor_manual.pdf");
    EXPECT_EQ(launcher.launches[0].parameters, u"");
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ManualTest, AFailedOpenShowsTextOneUnderCaptionZeroInTheLanguage) {
    const struct {
        intptr_t result;
        int32_t language;
        std::u16string_view caption, text;
    } cases[] = {
        {2, kEnglish, u"Open Manual", u"Cannot open the manual."},   // file not found
        {31, kJapanese, u"マニュアル", u"開けません"},             // nothing opens PDF files
        {32, kEnglish, u"Open Manual", u"Cannot open the manual."},  // 32 is still an error
    };
    for (const auto& c : cases) {
        g_Settings.Language = c.language;
        RecordingLauncher launcher;
        RecordingMessageBox boxes;
        launcher.openResult = c.result;
        OpenManual(nullptr);
        ASSERT_EQ(boxes.Count(), 1u) << c.result;
        EXPECT_EQ(boxes.Boxes()[0].caption, c.caption);
        EXPECT_EQ(boxes.Boxes()[0].text, c.text);
        EXPECT_EQ(boxes.Boxes()[0].style, static_cast<uint32_t>(kMbOk));
    }
}

TEST(WebPages, OpenTheProductPagesAndReportNothing) {
    RecordingLauncher launcher;
    RecordingMessageBox boxes;
    launcher.openResult = 2;
    OpenWebPage(nullptr);
    OpenDownloadPage(nullptr);
    ASSERT_EQ(launcher.launches.size(), 2u);
    EXPECT_EQ(launcher.launches[0].file, kWebPageAddress);
    EXPECT_EQ(launcher.launches[1].file, kDownloadPageAddress);
    EXPECT_EQ(launcher.launches[0].file.substr(0, 8), u"https://");
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(MacroFileEditing, EveryChosenFileOpensByItsFullPath) {
    using namespace std::string_view_literals;
    const struct {
        std::u16string_view result;
        std::vector<std::u16string> paths;
    } cases[] = {
        {u"C:\\Lanvisor\\loop.txt\0\0\0"sv, {u"C:\\Lanvisor\\loop.txt"}},
        {u"C:\\Lanvisor\0a.txt\0b.txt\0\0"sv, {u"C:\\Lanvisor\\a.txt", u"C:\\Lanvisor\\b.txt"}},
        {u"C:\\\0a.txt\0b.txt\0\0"sv, {u"C:\\a.txt", u"C:\\b.txt"}},  // a drive root ends in "\" already
        {u"\0\0"sv, {}},
        {u""sv, {}},
        {u"C:\\Lanvisor\0a.txt\0b.t"sv, {u"C:\\Lanvisor\\a.txt"}},  // cut off: the last name is incomplete
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChosenFilePaths(c.result), c.paths);
        RecordingLauncher launcher;
        OpenChosenFiles(nullptr, c.result);
        ASSERT_EQ(launcher.launches.size(), c.paths.size());
        for (size_t i = 0; i < c.paths.size(); ++i) EXPECT_EQ(launcher.launches[i].file, c.paths[i]);
    }
}

}  // namespace
