// Parses a pattern straight into Pike VM instructions. Each construct is
// emitted as one contiguous fragment whose jumps stay inside it, so a
// quantifier can put a Split in front of the last atom, or copy it for
// {n,m}, by moving jump targets along with it.
#include <algorithm>
#include <vector>

#include "replies/byte_regex_program.h"

namespace {

constexpr int32_t kMaxRepeat = 1000;
constexpr int32_t kMaxNesting = 64;  // the parser recurses once per group level
constexpr int32_t kUnbounded = -1;

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsAlnum(uint8_t c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsJump(const RegexInst& inst) { return inst.Op == RegexOp::Split || inst.Op == RegexOp::Jump; }

int HexValue(uint8_t c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

ByteSet RangeSet(int32_t low, int32_t high) {
    ByteSet set;
    for (int32_t c = low; c <= high; ++c) set.set(static_cast<size_t>(c));
    return set;
}

// \d \w \s, and \D \W \S their complements; false for other letters.
bool ClassEscape(uint8_t letter, ByteSet& set) {
    ByteSet base;
    switch (letter) {
    case 'd': case 'D': base = RangeSet('0', '9'); break;
    case 'w': case 'W': base = RangeSet('0', '9') | RangeSet('A', 'Z') | RangeSet('a', 'z'); base.set('_'); break;
    case 's': case 'S': for (uint8_t c : {' ', '\t', '\n', '\r', '\f', '\v'}) base.set(c); break;
    default: return false;
    }
    set = letter >= 'a' ? base : ~base;
    return true;
}

// A Split that tries take first when greedy, skip first when lazy.
RegexInst Choice(size_t take, size_t skip, bool greedy) {
    auto first = static_cast<int32_t>(greedy ? take : skip);
    auto second = static_cast<int32_t>(greedy ? skip : take);
    return {RegexOp::Split, 0, first, second};
}

class RegexParser {
public:
    RegexParser(std::string_view pattern, ByteRegex& regex, RegexError& error)
        : pattern_(pattern), regex_(regex), program_(regex.Program), error_(error) {}

    bool Parse() {
        if (pattern_.size() > static_cast<size_t>(kMaxRegexPattern)) return Fail(kMaxRegexPattern, "pattern too long");
        if (!Emit({RegexOp::Save, 0, 0}) || !Alternation()) return false;
        if (More()) return Fail(at_, "unbalanced parenthesis");  // a ')' without its '('
        if (!Emit({RegexOp::Save, 0, 1}) || !Emit({RegexOp::Match})) return false;
        regex_.Anchored = program_[1].Op == RegexOp::Start;
        return true;
    }

private:
    bool Fail(size_t offset, const char* reason) {
        error_.Offset = static_cast<int32_t>(offset);
        error_.Reason = reason;
        return false;
    }
    bool More() const { return at_ < pattern_.size(); }
    uint8_t Peek(size_t ahead = 0) const { return static_cast<uint8_t>(pattern_[at_ + ahead]); }
    bool AtCountedRepeat() const { return at_ + 1 < pattern_.size() && Peek() == '{' && IsDigit(Peek(1)); }
    bool AtQuantifier() const {
        return More() && (Peek() == '*' || Peek() == '+' || Peek() == '?' || AtCountedRepeat());
    }

    bool Emit(RegexInst inst) {
        if (program_.size() >= static_cast<size_t>(kMaxRegexProgram)) return Fail(at_, "pattern too large");
        program_.push_back(inst);
        return true;
    }

    bool EmitSet(const ByteSet& set) {
        regex_.Sets.push_back(set);
        return Emit({RegexOp::Set, 0, static_cast<int32_t>(regex_.Sets.size() - 1)});
    }

    // Alternatives in order of preference: split to each, jump past the rest.
    bool Alternation() {
        size_t start = program_.size();
        std::vector<size_t> exits;
        for (;;) {
            if (!Sequence()) return false;
            if (!More() || Peek() != '|') break;
            ++at_;
            if (program_.size() + 2 > static_cast<size_t>(kMaxRegexProgram)) return Fail(at_, "pattern too large");
            Insert(start, {});
            exits.push_back(program_.size());
            program_.push_back({RegexOp::Jump});
            program_[start] = Choice(start + 1, program_.size(), true);
            start = program_.size();
        }
        for (size_t exit : exits) program_[exit].X = static_cast<int32_t>(program_.size());
        return true;
    }

    bool Sequence() {
        while (More() && Peek() != '|' && Peek() != ')') {
            size_t begin = program_.size();
            bool repeatable = true;
            if (!Atom(repeatable) || !Quantifier(begin, repeatable)) return false;
        }
        return true;
    }

    bool Atom(bool& repeatable) {
        size_t offset = at_;
        uint8_t c = Peek();
        if (AtQuantifier()) return Fail(offset, "nothing to repeat");
        ++at_;
        switch (c) {
        case '(': return Group(offset);
        case '[': return Class(offset);
        case '.': return Emit({RegexOp::Any});
        case '^': repeatable = false; return Emit({RegexOp::Start});
        case '$': repeatable = false; return Emit({RegexOp::End});
        case '\\': {
            int32_t byte = 0;
            ByteSet set;
            if (!Escape(offset, byte, set)) return false;
            return byte >= 0 ? Emit({RegexOp::Byte, static_cast<uint8_t>(byte)}) : EmitSet(set);
        }
        default: return Emit({RegexOp::Byte, c});
        }
    }

    bool Group(size_t offset) {
        if (++depth_ > kMaxNesting) return Fail(offset, "nesting too deep");
        int32_t group = 0;
        if (pattern_.substr(at_, 2) == "?:") {
            at_ += 2;
        } else if (More() && Peek() == '?') {
            return Fail(offset, "unsupported group");
        } else {
            if (regex_.Groups == kMaxCaptures - 1) return Fail(offset, "more than 9 groups");
            group = ++regex_.Groups;
            if (!Emit({RegexOp::Save, 0, 2 * group})) return false;
        }
        if (!Alternation()) return false;
        if (!More()) return Fail(offset, "unbalanced parenthesis");
        ++at_;
        --depth_;
        return group == 0 || Emit({RegexOp::Save, 0, 2 * group + 1});
    }

    bool Class(size_t offset) {
        ByteSet set;
        bool negate = More() && Peek() == '^';
        if (negate) ++at_;
        for (bool first = true;; first = false) {
            if (!More()) return Fail(offset, "unterminated class");
            if (Peek() == ']' && !first) break;
            size_t itemAt = at_;
            int32_t low = 0;
            ByteSet item;
            if (!ClassItem(low, item)) return false;
            if (at_ + 1 < pattern_.size() && Peek() == '-' && Peek(1) != ']') {
                ++at_;
                int32_t high = 0;
                if (!ClassItem(high, item)) return false;
                if (low < 0 || high < low) return Fail(itemAt, "bad range");
                item = RangeSet(low, high);
            }
            set |= item;
        }
        ++at_;  // the ']'
        return EmitSet(negate ? ~set : set);
    }

    // One byte (byte its value, set just that byte) or a class escape (byte -1).
    bool ClassItem(int32_t& byte, ByteSet& set) {
        if (Peek() == '\\') return Escape(at_++, byte, set);
        byte = Peek();
        ++at_;
        set = RangeSet(byte, byte);
        return true;
    }

    // at_ is just past the backslash at offset.
    bool Escape(size_t offset, int32_t& byte, ByteSet& set) {
        static constexpr std::string_view kLetters = "tnrfv0";
        static constexpr char kControls[] = {'\t', '\n', '\r', '\f', '\v', '\0'};
        if (!More()) return Fail(offset, "bad escape");
        uint8_t c = Peek();
        ++at_;
        byte = -1;
        if (ClassEscape(c, set)) return true;
        if (size_t k = kLetters.find(static_cast<char>(c)); k != std::string_view::npos) {
            byte = kControls[k];
        } else if (c == 'x' && at_ + 1 < pattern_.size() && HexValue(Peek()) >= 0 && HexValue(Peek(1)) >= 0) {
            byte = HexValue(Peek()) * 16 + HexValue(Peek(1));
            at_ += 2;
        } else if (IsAlnum(c)) {
            return Fail(offset, "bad escape");
        } else {
            byte = c;  // escaped punctuation stands for itself
        }
        set = RangeSet(byte, byte);
        return true;
    }

    int32_t ReadNumber() {
        int32_t n = 0;
        for (; More() && IsDigit(Peek()); ++at_) n = std::min(n * 10 + (Peek() - '0'), kMaxRepeat + 1);
        return n;
    }

    // {n}, {n,} or {n,m}; at_ is on the '{'.
    bool ReadBounds(int32_t& min, int32_t& max) {
        size_t offset = at_++;
        min = max = ReadNumber();
        if (More() && Peek() == ',') {
            ++at_;
            max = More() && IsDigit(Peek()) ? ReadNumber() : kUnbounded;
        }
        if (!More() || Peek() != '}') return Fail(offset, "bad repetition");
        ++at_;
        if (min > kMaxRepeat || max > kMaxRepeat) return Fail(offset, "repetition count over 1000");
        if (max != kUnbounded && min > max) return Fail(offset, "bad repetition (minimum over maximum)");
        return true;
    }

    bool Quantifier(size_t begin, bool repeatable) {
        if (!AtQuantifier()) return true;
        size_t offset = at_;
        int32_t min = 0, max = kUnbounded;
        switch (Peek()) {
        case '*': ++at_; break;
        case '+': ++at_; min = 1; break;
        case '?': ++at_; max = 1; break;
        default: if (!ReadBounds(min, max)) return false;
        }
        if (!repeatable) return Fail(offset, "nothing to repeat");
        bool greedy = !(More() && Peek() == '?');
        if (!greedy) ++at_;
        if (AtQuantifier()) return Fail(at_, "nothing to repeat");
        return Repeat(begin, min, max, greedy, offset);
    }

    // Rebuilds the fragment from begin to the end as min copies, then either
    // a loop or max - min optional copies. The size is checked first, so a
    // nested {n,m} never builds a huge program.
    bool Repeat(size_t begin, int32_t min, int32_t max, bool greedy, size_t offset) {
        std::vector<RegexInst> fragment(program_.begin() + static_cast<std::ptrdiff_t>(begin), program_.end());
        int64_t length = static_cast<int64_t>(fragment.size());
        int64_t needed = max == kUnbounded ? std::max(min, 1) * length + (min > 0 ? 1 : 2)
                                           : min * length + (max - min) * (length + 1);
        if (static_cast<int64_t>(begin) + needed + 2 > kMaxRegexProgram) return Fail(offset, "pattern too large");
        for (RegexInst& inst : fragment) Shift(inst, -static_cast<int32_t>(begin));
        program_.resize(begin);
        for (int32_t i = 0; i < (max == kUnbounded ? min - 1 : min); ++i) AppendCopy(fragment);
        size_t loop = program_.size();
        if (max == kUnbounded && min > 0) {  // x+
            AppendCopy(fragment);
            program_.push_back(Choice(loop, program_.size() + 1, greedy));
        } else if (max == kUnbounded) {  // x*
            program_.push_back({});
            AppendCopy(fragment);
            program_.push_back({RegexOp::Jump, 0, static_cast<int32_t>(loop)});
            program_[loop] = Choice(loop + 1, program_.size(), greedy);
        } else {
            for (int32_t i = min; i < max; ++i) {  // x?
                size_t split = program_.size();
                program_.push_back({});
                AppendCopy(fragment);
                program_[split] = Choice(split + 1, program_.size(), greedy);
            }
        }
        return true;
    }

    static void Shift(RegexInst& inst, int32_t by) {
        if (!IsJump(inst)) return;
        inst.X += by;
        if (inst.Op == RegexOp::Split) inst.Y += by;
    }

    void AppendCopy(const std::vector<RegexInst>& fragment) {
        auto base = static_cast<int32_t>(program_.size());
        for (RegexInst inst : fragment) {
            Shift(inst, base);
            program_.push_back(inst);
        }
    }

    // Inserts before the fragment that runs from at to the end; the
    // fragment's own targets move with it, targets from before it stay.
    void Insert(size_t at, RegexInst inst) {
        program_.insert(program_.begin() + static_cast<std::ptrdiff_t>(at), inst);
        auto from = static_cast<int32_t>(at);
        for (size_t k = at + 1; k < program_.size(); ++k) {
            RegexInst& moved = program_[k];
            if (IsJump(moved) && moved.X >= from) ++moved.X;
            if (moved.Op == RegexOp::Split && moved.Y >= from) ++moved.Y;
        }
    }

    std::string_view pattern_;
    size_t at_ = 0;
    ByteRegex& regex_;
    std::vector<RegexInst>& program_;
    RegexError& error_;
    int32_t depth_ = 0;
};

}  // namespace

std::shared_ptr<const ByteRegex> CompileByteRegex(std::string_view pattern, RegexError& error) {
    auto regex = std::make_shared<ByteRegex>();
    RegexParser parser(pattern, *regex, error);
    if (!parser.Parse()) return nullptr;
    return regex;
}

int32_t RegexGroupCount(const ByteRegex& regex) { return regex.Groups; }
