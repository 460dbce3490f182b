#include "replies/reply_rules_control.h"

#include <memory>

#include "common/file_chooser.h"
#include "common/program_context.h"
#include "platform/text.h"
#include "replies/rules_file.h"

namespace {

std::u16string_view SettingsName(const ReplyRulesControl& control) { return TextView(control.Settings->ReplyRules); }

// Errors name the file without its folder: the dialog shows the whole path.
std::string FileNameOf(std::u16string_view path) {
    size_t slash = path.find_last_of(u"\\/");
    return Utf16ToUtf8(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

bool ChangedOnDisk(const ReplyRulesControl& control) {
    return FileStampOf(RulesFilePath(SettingsName(control))) != control.Seen;
}

}  // namespace

std::u16string RulesFilePath(std::u16string_view name) { return InitialFileField(name, TextView(g_Program.Directory)); }

bool LoadReplyRules(ReplyRulesControl& control, std::u16string_view name) {
    std::u16string path = RulesFilePath(name);
    bool named = name == SettingsName(control);
    // Stamped before the read: a change while reading is seen next time.
    FileStamp stamp = FileStampOf(path);
    auto rules = std::make_shared<RuleSet>();
    RulesError error;
    bool usable = !name.empty() && name.size() < kMacroFileNameCapacity;  // the settings must hold it
    if (!usable) error = {0, 0, "no usable file name"};
    if (!usable || !LoadRulesFile(path, *rules, error)) {
        control.Error = Utf8ToUtf16(RulesErrorText(FileNameOf(path), error));
        control.ErrorInStatus = true;
        if (named) control.Seen = stamp;  // not read again until it changes
        return false;
    }
    control.Engine->Use(std::move(rules));
    CopyTextInto(control.Settings->ReplyRules, name);
    control.Seen = stamp;
    control.Loaded = true;
    control.Error.clear();
    control.ErrorInStatus = false;
    return true;
}

void StartReplyRules(ReplyRulesControl& control) {
    bool wanted = control.Settings->ReplyOn != 0;
    control.Settings->ReplyOn = 0;
    if (SettingsName(control).empty()) return;
    bool loaded = LoadReplyRules(control, SettingsName(control));
    control.ErrorInStatus = control.ErrorInStatus && wanted;
    if (wanted && loaded) SetReplyRulesOn(control, true);
}

bool SetReplyRulesOn(ReplyRulesControl& control, bool on) {
    if (on && !SettingsName(control).empty() && ChangedOnDisk(control))
        LoadReplyRules(control, SettingsName(control));
    on = on && control.Loaded;
    control.Engine->SetOn(on);
    control.Settings->ReplyOn = on ? 1 : 0;
    if (!on) control.ErrorInStatus = false;  // rules that are off have nothing to report
    return on;
}

bool ReloadChangedRules(ReplyRulesControl& control, uint32_t nowMs) {
    if (!control.Engine->On() || nowMs - control.LastCheckMs < kRulesFileCheckMs) return false;
    control.LastCheckMs = nowMs;
    if (SettingsName(control).empty() || !ChangedOnDisk(control)) return false;
    LoadReplyRules(control, SettingsName(control));
    return true;
}

std::u16string RuleRowText(const Rule& rule, int64_t hits) {
    std::u16string text = Utf8ToUtf16(rule.Text);
    for (char16_t& c : text)
        if (c == u'\t') c = u' ';
    return FormatString(u"%d\t%d\t", {rule.Line, hits}) + text;
}
