// Interface texts for one test: the program context's language and the
// texts a test names, put back as they were when it ends.
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

#include "common/program_context.h"

class ProgramTexts {
public:
    using Texts = std::initializer_list<std::pair<TextNumber, std::u16string_view>>;
    explicit ProgramTexts(int32_t language, Texts texts = {});
    ~ProgramTexts();
    ProgramTexts(const ProgramTexts&) = delete;
    ProgramTexts& operator=(const ProgramTexts&) = delete;

private:
    std::unique_ptr<TextTable> saved_;
    int32_t savedLanguage_;
};
