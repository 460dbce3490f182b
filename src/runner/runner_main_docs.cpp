// runner-docs: writes the texts made from the runner's option table into the
// source tree (--write ROOT), or names those that are out of date and exits 1
// (--check ROOT, run by the tests).
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "runner/runner_docs.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return static_cast<bool>(in);
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "--write" && mode != "--check") {
        std::fputs("usage: runner-docs --write|--check SOURCE_TREE\n", stderr);
        return 64;
    }
    int status = 0;
    for (const RunnerDocument& document : RunnerDocuments()) {
        std::string path = std::string(argv[2]) + "/" + std::string(document.path);
        std::string current;
        bool read = ReadFile(path, current);
        std::string text = document.write();
        if (document.section && !(read && SpliceRunnerSection(current, text, text))) {
            std::fprintf(stderr, "runner-docs: %s lacks the marker lines of the runner's options\n", path.c_str());
            status = 1;
        } else if (mode == "--write" && !WriteFile(path, text)) {
            std::fprintf(stderr, "runner-docs: cannot write %s\n", path.c_str());
            status = 1;
        } else if (mode == "--check" && (!read || current != text)) {
            std::fprintf(stderr,
                         "runner-docs: %s is not what the option table gives; write it anew with\n"
                         "  cmake --build build/native --target runner_docs\n",
                         path.c_str());
            status = 1;
        }
    }
    return status;
}
