#include "macro/macro_check.h"

#include <algorithm>
#include <map>

#include "macro/macro_runner.h"
#include "platform/text.h"

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr size_t kQuotedChars = 40;  // of a line quoted in a finding

// The fields after each keyword, one letter per column as the command's
// handler reads them: r a register (two digits), n a number (digits, blanks
// before them allowed), l a label (three characters), d data to the end of
// the line; a blank stands between two fields. SEND and MSED may carry a
// client digit right after the keyword, which moves their fields one column.
struct Layout {
    std::u16string_view keyword;
    std::u16string_view fields;
    bool client;
} const kLayouts[] = {
    {u"SEND", u"d", true},        {u"MSED", u"rr", true},          {u"READ", u"rr nnn nnn", false},
    {u"TIME", u"nnn", false},     {u"GOTO", u"lll", false},        {u"CMPM", u"rr rr lll", false},
    {u"CMPL", u"rr lll d", false}, {u"MOVE", u"rr d", false},      {u"MCLR", u"rr", false},
    {u"MADD", u"rr rr", false},   {u"MMID", u"rr nn nn rr", false}, {u"MINC", u"rr", false},
    {u"HINC", u"rr", false},      {u"CHKA", u"rr rr", false},      {u"CHKH", u"rr rr", false},
    {u"PEND", u"", false},
};

struct Line {
    int32_t number;
    std::u16string_view text;  // without its carriage return
    std::u16string_view rest;  // from its start to the end of the macro
};

// The lines as the interpreter walks them: each ends at a carriage return
// or the end of the text, and one line feed after the return is passed over.
std::vector<Line> MacroLines(std::u16string_view text) {
    std::vector<Line> lines;
    size_t i = 1;  // after the byte-order mark
    for (int32_t number = 1; i < text.size(); ++number) {
        size_t end = std::min(text.find(kCr, i), text.size());
        lines.push_back({number, text.substr(i, end - i), text.substr(i)});
        i = end + 1;
        if (i < text.size() && text[i] == kLf) ++i;
    }
    return lines;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view WithoutLeadingBlanks(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

bool IsLabelLine(std::u16string_view line) { return !line.empty() && line[0] == u':'; }

std::u16string Quoted(std::u16string_view text) {
    std::u16string_view cut = CutText(text, kQuotedChars);
    return u"\"" + std::u16string(cut) + (cut.size() < text.size() ? u"...\"" : u"\"");
}

std::u16string Columns(size_t first, size_t width) {
    if (width == 1) return FormatString(u"column %d", {static_cast<int>(first)});
    return FormatString(u"columns %d-%d", {static_cast<int>(first), static_cast<int>(first + width - 1)});
}

class LineChecker {
public:
    explicit LineChecker(const std::map<std::u16string_view, int32_t>& labels) : labels_(labels) {}

    // The first thing wrong with a command line, or nothing.
    std::u16string Command(std::u16string_view line, std::u16string_view keyword) const {
        if (line.size() > kMacroLineCapacity - 1)
            return u"longer than 255 characters: only the first 255 are read";
        const Layout* layout = nullptr;
        for (const Layout& l : kLayouts)
            if (l.keyword == keyword) layout = &l;
        if (!layout) return {};
        size_t argColumn = 5;
        if (layout->client && line.size() > 4 && line[4] != u' ') {
            if (!IsDigit(line[4])) return u"the client at column 5 is " + Quoted(line.substr(4, 1)) + u", not 0..9";
            if (line.size() > 5 && line[5] != u' ') return u"column 6 should be a blank after the client digit";
            argColumn = 6;
        }
        std::u16string_view args = argColumn < line.size() ? line.substr(argColumn) : u"";
        std::u16string_view fields = layout->fields;
        for (size_t column = 0; column < fields.size();) {
            char16_t kind = fields[column];
            size_t width = 1;
            while (column + width < fields.size() && fields[column + width] == kind) ++width;
            std::u16string_view value = column < args.size() ? args.substr(column, width) : u"";
            std::u16string where = Columns(argColumn + column + 1, width);
            std::u16string fault = Field(kind, value, width, where);
            if (!fault.empty()) return fault;
            column += width;
        }
        return {};
    }

    std::u16string LabelLine(const Line& line) const {
        if (line.text.size() < 4)
            return u"the label " + Quoted(line.text) + u" is shorter than 3 characters: no jump reaches it";
        int32_t first = labels_.at(line.text.substr(1, 3));
        if (first == line.number) return {};
        return FormatString(u"the label %s is on line %d already: jumps go there",
                            {Quoted(line.text.substr(0, 4)), first});
    }

private:
    std::u16string Field(char16_t kind, std::u16string_view value, size_t width, const std::u16string& where) const {
        switch (kind) {
        case u' ':
            if (value.empty() || value == u" ") return {};
            return where + u" should be a blank between fields, not " + Quoted(value);
        case u'r':
            if (value.empty()) return u"the register at " + where + u" is missing";
            if (value.size() == 2 && IsDigit(value[0]) && IsDigit(value[1])) return {};
            return u"the register at " + where + u" is " + Quoted(value) + u", not two digits 00..99";
        case u'n': {
            std::u16string_view digits = WithoutLeadingBlanks(value);
            if (value.empty() || (!digits.empty() && std::all_of(digits.begin(), digits.end(), IsDigit))) return {};
            return u"the number at " + where + u" is " + Quoted(value) +
                   FormatString(u", not digits in its %d columns", {static_cast<int>(width)});
        }
        case u'l': {
            if (value.empty()) return u"the label at " + where + u" is missing";
            if (value.size() < 3)
                return u"the label " + Quoted(value) + u" is shorter than 3 characters: no line has it";
            if (labels_.contains(value)) return {};
            return u"no line starts with " + Quoted(u":" + std::u16string(value)) + u", the label at " + where;
        }
        default:  // data: any text
            return {};
        }
    }

    const std::map<std::u16string_view, int32_t>& labels_;
};

}  // namespace

std::vector<MacroFinding> CheckMacroText(std::u16string_view text) {
    std::vector<Line> lines = MacroLines(text);
    // Jumps go to the first line of a name, as the interpreter searches.
    std::map<std::u16string_view, int32_t> labels;
    for (const Line& line : lines)
        if (IsLabelLine(line.text) && line.text.size() >= 4) labels.emplace(line.text.substr(1, 3), line.number);
    LineChecker checker(labels);
    std::vector<MacroFinding> findings;
    for (const Line& line : lines) {
        std::u16string_view keyword = MacroCommandKeyword(line.rest);
        std::u16string what;
        if (line.text.find(kLf) != std::u16string_view::npos) {
            what = u"a line feed without a carriage return: this line and the next run as one";
        } else if (!keyword.empty()) {
            what = checker.Command(line.text, keyword);
        } else if (IsLabelLine(line.text)) {
            what = checker.LabelLine(line);
        } else if (std::u16string_view content = WithoutLeadingBlanks(line.text);
                   !content.empty() && content[0] != u';') {
            what = Quoted(line.text) + u" is not a command and is passed over (commands are 4 capital letters and a"
                                       u" blank; comments start with \";\")";
        }
        if (!what.empty()) findings.push_back({line.number, what});
    }
    return findings;
}

bool MacroHasCommand(std::u16string_view text) {
    for (const Line& line : MacroLines(text))
        if (!MacroCommandKeyword(line.rest).empty()) return true;
    return false;
}
