// The texts written from the runner's option table: the man page
// lanvisor-run(1), the bash completion, the manual's option list and the
// README's.
// runner-docs (runner_main_docs.cpp) writes them into the source tree and
// tells when the ones there are out of date.
#pragma once

#include <span>
#include <string>
#include <string_view>

struct RunnerDocument {
    std::string_view path;  // from the top of the source tree
    std::string (*write)();
    bool section = false;  // the text is a marked section of the file (SpliceRunnerSection)
};

std::span<const RunnerDocument> RunnerDocuments();

std::string RunnerManPage();
std::string RunnerBashCompletion();
// The synopsis and the option table, included by the manual's runner chapter.
std::string RunnerManualOptions();
// The option table of the README, between its marker lines.
std::string RunnerReadmeOptions();

// The file with its marked section (from the section's first line to its
// last, both marker lines) replaced by `section`; false when the file lacks
// either marker.
bool SpliceRunnerSection(const std::string& file, const std::string& section, std::string& result);
