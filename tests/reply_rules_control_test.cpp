#include <gtest/gtest.h>

#include <optional>

#include "common/program_context.h"
#include "platform/text.h"
#include "replies/reply_rules_control.h"
#include "support/temp_folder.h"

namespace {

constexpr const char* kOneRule = "on 'A' reply 'B'\n";
constexpr const char* kTwoRules = "on 'A' reply 'B'\non 'C' reply 'D'\n";
constexpr const char* kBroken = "on 'A' replay 'B'\n";

// A fresh engine and settings, with the program folder in a fresh folder
// (where a bare file name lies).
struct Fixture {
    Fixture() {
        CopyTextInto(g_Program.Directory, folder.Path());
        control.Engine = &engine;
        control.Settings = &settings;
    }
    void Write(const char* text, std::u16string_view name = u"rules.txt") { folder.WriteBytes(name, text); }
    size_t RuleCount() const { return engine.Rules()->Rules.size(); }

    TempFolder folder;
    ReplyEngine engine;
    AppSettings settings;
    ReplyRulesControl control;
};

// What the settings ask for at the start, and what the user then sees.
TEST(ReplyRulesControl, StartTakesTheSettings) {
    const struct {
        std::optional<const char*> file;  // none: no file written
        std::u16string_view name;
        int32_t replyOn;
        bool on;
        size_t rules;
        std::u16string_view error;
        bool errorInStatus;
    } rows[] = {
        {kOneRule, u"rules.txt", 1, true, 1, u"", false},
        {kOneRule, u"rules.txt", 0, false, 1, u"", false},
        {kBroken, u"rules.txt", 1, false, 0, u"rules.txt:1:8: unknown word 'replay'", true},
        {kBroken, u"rules.txt", 0, false, 0, u"rules.txt:1:8: unknown word 'replay'", false},
        {std::nullopt, u"rules.txt", 1, false, 0, u"rules.txt: cannot read the file", true},
        {kOneRule, u"", 1, false, 0, u"", false},
    };
    for (const auto& row : rows) {
        Fixture f;
        if (row.file) f.Write(*row.file);
        CopyTextInto(f.settings.ReplyRules, row.name);
        f.settings.ReplyOn = row.replyOn;
        StartReplyRules(f.control);
        std::string label = Utf16ToUtf8(row.error) + " on=" + std::to_string(row.replyOn);
        EXPECT_EQ(f.engine.On(), row.on) << label;
        EXPECT_EQ(f.settings.ReplyOn, row.on ? 1 : 0) << label;
        EXPECT_EQ(f.RuleCount(), row.rules) << label;
        EXPECT_EQ(f.control.Error.substr(0, row.error.size()), row.error) << label;
        EXPECT_EQ(f.control.Error.empty(), row.error.empty()) << label;
        EXPECT_EQ(f.control.ErrorInStatus, row.errorInStatus) << label;
        EXPECT_EQ(TextView(f.settings.ReplyRules), row.name) << label;  // kept, so the file can be mended
    }
}

TEST(ReplyRulesControl, AFileThatFailsKeepsTheRulesInUse) {
    Fixture f;
    f.Write(kOneRule, u"a.txt");
    f.Write(kBroken, u"b.txt");
    ASSERT_TRUE(LoadReplyRules(f.control, u"a.txt"));
    auto used = f.engine.Rules();
    EXPECT_FALSE(LoadReplyRules(f.control, u"b.txt"));
    EXPECT_EQ(f.engine.Rules(), used);
    EXPECT_EQ(TextView(f.settings.ReplyRules), u"a.txt");
    EXPECT_EQ(f.control.Error, u"b.txt:1:8: unknown word 'replay'");
    f.Write(kTwoRules, u"b.txt");
    EXPECT_TRUE(LoadReplyRules(f.control, f.folder.File(u"b.txt")));  // a full path as the file dialog gives
    EXPECT_EQ(f.RuleCount(), 2u);
    EXPECT_EQ(TextView(f.settings.ReplyRules), f.folder.File(u"b.txt"));
    EXPECT_TRUE(f.control.Error.empty() && !f.control.ErrorInStatus);
}

// While on, a change on disk is read at the next check (at most one a
// second); a broken change is read once, keeps the rules and shows; off,
// nothing is read until the rules are turned on again.
TEST(ReplyRulesControl, AChangedFileIsReadAgainWhileOn) {
    Fixture f;
    f.Write(kOneRule);
    CopyTextInto(f.settings.ReplyRules, u"rules.txt");
    f.settings.ReplyOn = 1;
    StartReplyRules(f.control);
    ASSERT_TRUE(f.engine.On());
    auto unchanged = f.engine.Rules();
    EXPECT_FALSE(ReloadChangedRules(f.control, 5000));
    EXPECT_EQ(f.engine.Rules(), unchanged);  // not read again: its counts go on
    f.Write(kTwoRules);
    EXPECT_FALSE(ReloadChangedRules(f.control, 5999));
    EXPECT_TRUE(ReloadChangedRules(f.control, 6000));
    EXPECT_EQ(f.RuleCount(), 2u);
    f.Write(kBroken);
    EXPECT_TRUE(ReloadChangedRules(f.control, 7000));
    EXPECT_TRUE(f.engine.On() && f.RuleCount() == 2u && f.control.ErrorInStatus);
    EXPECT_FALSE(ReloadChangedRules(f.control, 8000));
    EXPECT_FALSE(SetReplyRulesOn(f.control, false));
    EXPECT_FALSE(f.control.ErrorInStatus);
    f.Write("on 'A' reply 'B'\non 'C' reply 'D'\non 'E' reply 'F'\n");
    EXPECT_FALSE(ReloadChangedRules(f.control, 9000));
    EXPECT_EQ(f.RuleCount(), 2u);
    EXPECT_TRUE(SetReplyRulesOn(f.control, true));
    EXPECT_EQ(f.RuleCount(), 3u);
    EXPECT_EQ(f.settings.ReplyOn, 1);
}

TEST(ReplyRulesControl, NoRulesNoAnswers) {
    Fixture f;
    EXPECT_FALSE(SetReplyRulesOn(f.control, true));
    EXPECT_FALSE(f.engine.On());
    EXPECT_FALSE(LoadReplyRules(f.control, u""));
    EXPECT_FALSE(LoadReplyRules(f.control, std::u16string(kMacroFileNameCapacity, u'a')));
    EXPECT_FALSE(f.control.Loaded);
}

TEST(ReplyRulesControl, RowsShowLineHitsAndRule) {
    Rule rule;
    rule.Line = 12;
    rule.Text = "on '\xC3\xA9'\treply 'B'";
    EXPECT_EQ(RuleRowText(rule, 34567890123), u"12\t34567890123\ton '\u00E9' reply 'B'");
}

}  // namespace
