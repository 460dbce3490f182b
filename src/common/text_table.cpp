#include "common/text_table.h"

#include "common/program_context.h"
#include "platform/text.h"

namespace {

// Key suffixes in the order of the table's language slots.
constexpr std::u16string_view kLanguageKeys[kLanguageCount] = {u"No.%d:comt-j", u"No.%d:comt-e", u"No.%d:comt-k",
                                                               u"No.%d:comt-c"};
constexpr const char16_t* kLanguageNames[kLanguageCount] = {u"Japanese", u"English", u"Korean", u"Chinese"};

bool ValidLanguage(int32_t language) { return language >= 0 && language < kLanguageCount; }
bool ValidNumber(int n) { return n >= 0 && n < kTextCount; }

}  // namespace

void LoadTextTable(TextTable& table, const IniDocument& file) {
    for (int n = 0; n < kTextCount; ++n) {
        for (int language = 0; language < kLanguageCount; ++language) {
            char16_t key[32];
            FormatText(key, kLanguageKeys[language], {n});
            std::u16string text = file.GetString(kTextSection, key, u"", kAppTextCapacity - 1);
            CopyTextInto(table.Texts[n][language], text);
        }
    }
}

void LoadTextTable(TextTable& table) {
    IniDocument file;
    file.Load(ProgramFilePath(kTextFileName));
    LoadTextTable(table, file);
}

void GetAppText(const TextTable& table, int32_t language, int n, char16_t (&destination)[kAppTextCapacity]) {
    if (!ValidLanguage(language) || !ValidNumber(n)) return;
    CopyTextInto(destination, TextView(table.Texts[n][language]));
}

void GetAppText(int n, char16_t (&destination)[kAppTextCapacity]) {
    GetAppText(g_Program.Texts, g_Program.Language, n, destination);
}

std::u16string AppText(int n) {
    char16_t text[kAppTextCapacity] = u"";
    GetAppText(n, text);
    return std::u16string(TextView(text));
}

int ShowAppMessage(WindowHandle owner, int n, int style, std::u16string_view caption) {
    std::u16string text = AppText(n);
    if (style == kAppMessageOk) {
        ShowMessageBox(owner, text, caption, kMbOk);
        return 0;
    }
    if (style == kAppMessageYesNo) return ShowMessageBox(owner, text, caption, kMbYesNo);
    return 0;
}

const char16_t* LanguageName(int32_t language) {
    return ValidLanguage(language) ? kLanguageNames[language] : kLanguageNames[kJapanese];
}

int32_t LanguageFromName(std::u16string_view name) {
    if (name == u"Chinese") return kChinese;
    if (name == u"Korean") return kKorean;
    if (name == u"English") return kEnglish;
    return kJapanese;
}
