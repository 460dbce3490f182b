// The interface texts: 310 numbered texts in four languages, read once from
// "Lanvisor_char2.ini" beside the program, looked up by number wherever the
// program shows a label, title, menu item, tooltip or message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/text_numbers.h"
#include "platform/ini_file.h"
#include "platform/message_box.h"

constexpr int kTextCount = 310;
constexpr int kLanguageCount = 4;
constexpr size_t kAppTextCapacity = 64;  // 63 characters and the terminator

enum AppLanguage : int32_t { kJapanese = 0, kEnglish = 1, kKorean = 2, kChinese = 3 };

struct TextTable {
    char16_t Texts[kTextCount][kLanguageCount][kAppTextCapacity] = {};
};

constexpr std::u16string_view kTextFileName = u"Lanvisor_char2.ini";
constexpr std::u16string_view kTextSection = u"Lanvisor";

// Fills the table from a document; missing keys give empty texts.
void LoadTextTable(TextTable& table, const IniDocument& file);
// From "<ProgramDirectory>\Lanvisor_char2.ini"; a missing file gives empty texts.
void LoadTextTable(TextTable& table);

// Copies text n in the given language into destination. A language outside
// 0..3 or a number outside 0..309 leaves the destination as it was.
void GetAppText(const TextTable& table, int32_t language, int n, char16_t (&destination)[kAppTextCapacity]);
// The same with the program context's table and language.
void GetAppText(int n, char16_t (&destination)[kAppTextCapacity]);
std::u16string AppText(int n);

// Message box styles of ShowAppMessage.
enum AppMessageStyle : int { kAppMessageOk = 0, kAppMessageYesNo = 1 };

// Shows text n: style 0 an OK box (result 0), style 1 a Yes/No box (result
// kIdYes or kIdNo), any other style nothing (result 0).
int ShowAppMessage(WindowHandle owner, int n, int style, std::u16string_view caption);

// The language names of the language dialog, and the choice read back from
// its combo box: exact, case-sensitive names; anything else is Japanese.
const char16_t* LanguageName(int32_t language);
int32_t LanguageFromName(std::u16string_view name);
