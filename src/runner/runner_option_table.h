// Every option of lanvisor-run, once. The parser asks this table which
// options take a value and knows no other; the man page, the bash completion
// and the option lists of the manual and the README are written from it
// (runner_docs.h), so a new option is described where it is declared.
#pragma once

#include <span>
#include <string_view>

// What a shell may offer for an option's value.
enum class ValueCompletion {
    Nothing,  // an address, a number, bytes: nothing to offer
    Files,
    Choices,  // the words of `value`, separated by '|'
};

struct RunnerOptionRow {
    std::string_view name;   // "--tcp-client"
    std::string_view value;  // "HOST:PORT"; empty for a switch
    ValueCompletion completion;
    std::string_view meaning;  // plain sentences; `...` marks a literal
};

std::span<const RunnerOptionRow> RunnerOptionTable();

// The row of an option name ("--tick"), or nullptr.
const RunnerOptionRow* FindRunnerOption(std::u16string_view name);
