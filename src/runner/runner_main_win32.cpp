// lanvisor-run.exe: a console program; its lines go out as UTF-8.
#include <windows.h>

#include "runner/runner.h"

int wmain(int argc, wchar_t** argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 arguments");
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    return RunLanvisorRun(args);
}
