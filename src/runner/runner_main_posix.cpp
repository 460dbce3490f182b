// lanvisor-run on Linux: the arguments arrive as UTF-8.
#include "platform/text.h"
#include "runner/runner.h"

int main(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8ToUtf16(argv[i]));
    return RunLanvisorRun(args);
}
