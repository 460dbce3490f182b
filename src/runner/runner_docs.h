// The texts written from the runner's option table: the man page
// lanvisor-run(1), the bash completion and the manual's option list.
// runner-docs (runner_main_docs.cpp) writes them into the source tree and
// tells when the ones there are out of date.
#pragma once

#include <span>
#include <string>
#include <string_view>

struct RunnerDocument {
    std::string_view path;  // from the top of the source tree
    std::string (*write)();
};

std::span<const RunnerDocument> RunnerDocuments();

std::string RunnerManPage();
std::string RunnerBashCompletion();
// The synopsis and the option table, included by the manual's runner chapter.
std::string RunnerManualOptions();
