#include "runner/runner_docs.h"

#include "common/help_commands.h"
#include "platform/text.h"
#include "runner/run_verdict.h"
#include "runner/runner_option_table.h"

namespace {

constexpr std::string_view kNotice =
    "written by runner-docs from the runner's option table\n"
    "(src/runner/runner_option_table.cpp): change that and run\n"
    "cmake --build build/native --target runner_docs\n";

constexpr std::string_view kUsageForms[] = {
    "[CONNECTION] [OUTPUT] [RUN] MACRO_FILE",
    "[CONNECTION] [OUTPUT] --send DATA [--send DATA ...] [--listen SECONDS]",
    "[CONNECTION] [OUTPUT] --listen SECONDS",
    "[CONNECTION] [OUTPUT] --reply RULES [--strict] [--listen SECONDS]",
    "[CONNECTION] --convert TRACE_FILE --to text|csv|pcap OUTPUT_FILE",
    "--check MACRO_FILE",
};

constexpr std::string_view kDescription[] = {
    "`lanvisor-run` runs the checks you would make in the Lanvisor window unattended: after a firmware build, "
    "on a test rack at night, in CI. It opens one connection, runs one macro file, a list of sends, or just "
    "listens, prints every block on standard output, and ends with an exit code that tells the result; with "
    "reply rules it answers in the device's place.",
    "It uses the window's connection engine, trace, trace files and macro interpreter; the messages the "
    "window shows in boxes become lines on standard error. An option's value follows as the next word or "
    "after `=`, as in `--tick=50`.",
};

struct ExitRow {
    int code;
    std::string_view meaning;
} const kExits[] = {
    {kExitDone, "PEND, or the sends and the listening finished; for `--check`, nothing found."},
    {kExitNoPend, "The macro ran off the end of its text without PEND."},
    {kExitMacroError, "The macro stopped on an error, or a send failed; for `--check`, findings."},
    {kExitNoConnection, "The connection could not be opened."},
    {kExitTimeout, "The time limit of `--timeout` passed."},
    {kExitUnmatched, "With `--strict`, a request no rule matched."},
    {kExitUsage, "A bad command line, or a file the run needs is unusable."},
    {kExitOutputFailed, "An output file could not be written."},
    {kExitInterrupted, "Interrupted: Ctrl+C or SIGINT."},
    {kExitEndRequested, "Told to end: SIGTERM, SIGHUP, Ctrl+Break or the console closing."},
};

constexpr std::string_view kSectionStart = "<!-- the runner's options: written by runner-docs -->\n";
constexpr std::string_view kSectionEnd = "<!-- end of the runner's options -->\n";

enum class Roff { Man, Manual };

// Plain text into roff: backslashes, apostrophes, bars and (for man) minus
// signs escaped; `literal` in bold (man) or fixed width (manual).
std::string ToRoff(std::string_view text, Roff style) {
    std::string out;
    bool literal = false;
    for (char c : text) {
        if (c == '`') {
            literal = !literal;
            out += !literal ? "\\fP" : style == Roff::Man ? "\\fB" : "\\f(CR";
        } else if (c == ' ' && !literal && out.ends_with('.')) {
            out += '\n';  // roff keeps its sentence space where a sentence ends a line
        } else if (c == '\\') {
            out += "\\e";
        } else if (c == '\'') {
            out += "\\(aq";
        } else if (c == '|') {
            out += "\\(ba";
        } else if (c == '-' && style == Roff::Man) {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Comment(std::string_view prefix) {
    std::string out;
    for (size_t start = 0; start < kNotice.size();) {
        size_t end = kNotice.find('\n', start);
        out += std::string(prefix) + std::string(kNotice.substr(start, end - start)) + "\n";
        start = end + 1;
    }
    return out;
}

std::string Version() { return Utf16ToUtf8(kVersionNumber); }

std::string OptionWords(const RunnerOptionRow& row) {
    return std::string(row.name) + (row.value.empty() ? "" : " " + std::string(row.value));
}

// One branch of the completion's case on the word before: the names of the
// options that take a value completed this way ("--trace|--log"), none when
// no option does.
std::string CaseBranch(ValueCompletion completion, std::string_view action) {
    std::string names;
    for (const RunnerOptionRow& row : RunnerOptionTable())
        if (!row.value.empty() && row.completion == completion)
            names += (names.empty() ? "" : "|") + std::string(row.name);
    return names.empty() ? "" : "    " + names + ")\n        " + std::string(action) + "\n";
}

std::string Words(std::string_view choices) {
    std::string words(choices);
    for (char& c : words)
        if (c == '|') c = ' ';
    return words;
}

}  // namespace

std::string RunnerManPage() {
    std::string page = Comment(".\\\" ");
    page += ".TH LANVISOR-RUN 1 " + std::string(kVersionDate) + " \"Lanvisor " + Version() + "\"\n";
    page += ".SH NAME\nlanvisor-run \\- test a device on the local network from the command line\n";
    page += ".SH SYNOPSIS\n";
    // Paragraph breaks go between entries only: mandoc warns of one after a heading.
    for (std::string_view form : kUsageForms)
        page += (form == kUsageForms[0] ? "" : ".br\n") + std::string(".B lanvisor-run\n") + ToRoff(form, Roff::Man) + "\n";
    page += ".SH DESCRIPTION\n";
    for (std::string_view paragraph : kDescription)
        page += (paragraph == kDescription[0] ? "" : ".PP\n") + ToRoff(paragraph, Roff::Man) + "\n";
    page += ".SH OPTIONS\n";
    for (const RunnerOptionRow& row : RunnerOptionTable()) {
        page += ".TP\n\\fB" + ToRoff(row.name, Roff::Man) + "\\fR";
        if (!row.value.empty()) page += " \\fI" + ToRoff(row.value, Roff::Man) + "\\fR";
        page += "\n" + ToRoff(row.meaning, Roff::Man) + "\n";
    }
    page += ".SH EXIT STATUS\n";
    for (const ExitRow& row : kExits)
        page += ".TP\n.B " + std::to_string(row.code) + "\n" + ToRoff(row.meaning, Roff::Man) + "\n";
    page += ".SH SEE ALSO\nThe Lanvisor user manual, Lanvisor_manual.pdf, chapter \\(lqTesting a device from a "
            "script\\(rq.\n";
    return page;
}

std::string RunnerBashCompletion() {
    std::string options;
    for (const RunnerOptionRow& row : RunnerOptionTable()) options += (options.empty() ? "" : " ") + std::string(row.name);
    std::string script = "# bash completion for lanvisor-run\n" + Comment("# ");
    script += "_lanvisor_run() {\n"
              "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
              "    COMPREPLY=()\n"
              "    case $prev in\n";
    script += CaseBranch(ValueCompletion::Files, "COMPREPLY=($(compgen -f -- \"$cur\")); return ;;");
    for (const RunnerOptionRow& row : RunnerOptionTable())
        if (row.completion == ValueCompletion::Choices)
            script += "    " + std::string(row.name) + ")\n        COMPREPLY=($(compgen -W '" + Words(row.value) +
                      "' -- \"$cur\")); return ;;\n";
    script += CaseBranch(ValueCompletion::Nothing, "return ;;");
    script += "    esac\n"
              "    if [[ $cur == -* ]]; then\n"
              "        COMPREPLY=($(compgen -W '" + options + "' -- \"$cur\"))\n"
              "    else\n"
              "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
              "    fi\n"
              "}\n"
              "complete -o filenames -F _lanvisor_run lanvisor-run\n";
    return script;
}

std::string RunnerManualOptions() {
    std::string text = Comment(".\\\" ") + ".EX\n";
    for (std::string_view form : kUsageForms) text += "lanvisor-run " + ToRoff(form, Roff::Manual) + "\n";
    text += ".EE\n.\n.H2 \"Options\"\n.TS H\nallbox tab(|);\nlB lB\nlf(CR) lxfR .\nOption|Meaning\n.TH\n";
    for (const RunnerOptionRow& row : RunnerOptionTable())
        text += ToRoff(OptionWords(row), Roff::Manual) + "|T{\n" + ToRoff(row.meaning, Roff::Manual) + "\nT}\n";
    return text + ".TE\n";
}

std::string RunnerReadmeOptions() {
    // In a table cell a bar ends the cell unless escaped, also inside `...`.
    auto cell = [](std::string_view text) {
        std::string out;
        for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
        return out;
    };
    std::string text = std::string(kSectionStart) + "| Option | Meaning |\n|---|---|\n";
    for (const RunnerOptionRow& row : RunnerOptionTable())
        text += "| `" + cell(OptionWords(row)) + "` | " + cell(row.meaning) + " |\n";
    return text + std::string(kSectionEnd);
}

bool SpliceRunnerSection(const std::string& file, const std::string& section, std::string& result) {
    size_t start = file.find(kSectionStart);
    size_t end = file.find(kSectionEnd, start == std::string::npos ? 0 : start);
    if (start == std::string::npos || end == std::string::npos) return false;
    result = file.substr(0, start) + section + file.substr(end + kSectionEnd.size());
    return true;
}

std::span<const RunnerDocument> RunnerDocuments() {
    static constexpr RunnerDocument kDocuments[] = {
        {"docs/lanvisor-run.1", RunnerManPage},
        {"docs/lanvisor-run.bash-completion", RunnerBashCompletion},
        {"docs/manual/runner_options.ms", RunnerManualOptions},
        {"README.md", RunnerReadmeOptions, true},
    };
    return kDocuments;
}
