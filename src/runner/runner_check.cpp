#include "runner/runner_check.h"

#include <cstdio>

#include "macro/macro_check.h"
#include "platform/text.h"
#include "runner/runner.h"
#include "runner/runner_setup.h"

int CheckRunnerMacro(const std::u16string& path, std::u16string& error) {
    std::u16string text;
    if (!ReadRunnerMacro(path, text, error)) return kExitUsage;
    std::vector<MacroFinding> findings = CheckMacroText(text);
    for (const MacroFinding& f : findings)
        std::fputs((Utf16ToUtf8(path) + ":" + std::to_string(f.line) + ": " + Utf16ToUtf8(f.what) + "\n").c_str(),
                   stdout);
    std::fflush(stdout);
    if (!findings.empty()) return kExitMacroError;
    return HasRunnerCommands(path, text, error) ? kExitDone : kExitUsage;
}
