#include "support/program_texts.h"

#include "platform/text.h"

ProgramTexts::ProgramTexts(int32_t language, Texts texts)
    : saved_(std::make_unique<TextTable>(g_Program.Texts)), savedLanguage_(g_Program.Language) {
    g_Program.Language = language;
    for (auto [number, text] : texts) CopyTextInto(g_Program.Texts.Texts[number][language], text);
}

ProgramTexts::~ProgramTexts() {
    g_Program.Texts = *saved_;
    g_Program.Language = savedLanguage_;
}
