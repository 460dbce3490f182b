#include "replies/rules_tokens.h"

namespace {

constexpr size_t kShownTokenChars = 40;  // an error message stays one short line

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool IsContinuation(char c) { return (static_cast<uint8_t>(c) & 0xC0) == 0x80; }
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int32_t HexValue(char c) {
    if (c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// The length of the UTF-8 sequence at pos and its value; 0 when it is not
// valid UTF-8 (cut, overlong, a surrogate, above U+10FFFF).
size_t DecodeChar(std::string_view text, size_t pos, char32_t& value) {
    uint8_t lead = static_cast<uint8_t>(text[pos]);
    if (lead < 0x80) {
        value = lead;
        return 1;
    }
    size_t length = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, lowest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if (!IsContinuation(text[pos + i])) return 0;
        value = (value << 6) | (static_cast<uint8_t>(text[pos + i]) & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return length;
}

bool CheckEncoding(std::string_view line, RulesError& error) {
    int32_t column = 0;
    for (size_t pos = 0; pos < line.size();) {
        ++column;
        char32_t value = 0;
        size_t length = DecodeChar(line, pos, value);
        if (length == 0) return Fault(error, column, "invalid UTF-8");
        if (value == 0) return Fault(error, column, "NUL byte in the file");
        pos += length;
    }
    return true;
}

// Letters with at least one that no hex digit has: a word, not bytes.
bool ReadsAsWord(std::string_view text) {
    bool wordOnly = false;
    for (char c : text) {
        bool letter = IsAsciiLetter(c) || c == '-' || c == ':' || c == '_';
        if (!letter && !(c >= '0' && c <= '9')) return false;
        if (letter && !IsHexDigit(c)) wordOnly = true;
    }
    return wordOnly;
}

// A token for a message: short, without control characters.
std::string Shown(std::string_view text) {
    std::string shown;
    size_t chars = 0;
    for (char c : text) {
        if (!IsContinuation(c) && ++chars > kShownTokenChars) return shown + "...";
        shown += static_cast<uint8_t>(c) < 0x20 ? '?' : c;
    }
    return shown;
}

// The quoted text starting at pos (a quote); pos ends after the closing one.
bool ReadQuoted(const RulesToken& token, size_t& pos, std::vector<uint8_t>& bytes, std::vector<uint8_t>* wild,
                RulesError& error) {
    std::string_view text = token.Text;
    size_t open = pos++;
    for (;;) {
        if (pos >= text.size()) return Fault(error, ColumnIn(token, open), "unterminated quote");
        if (text[pos] == '\'') {
            if (pos + 1 >= text.size() || text[pos + 1] != '\'') break;
            ++pos;  // '' is one quote
        }
        char32_t value = 0;
        size_t length = DecodeChar(text, pos, value);
        if (length == 0) return Fault(error, ColumnIn(token, pos), "invalid UTF-8");  // split lines never have it
        if (value > 0xFF) return Fault(error, ColumnIn(token, pos), "character above U+00FF");
        bytes.push_back(static_cast<uint8_t>(value));
        if (wild) wild->push_back(0);
        pos += length;
    }
    ++pos;
    return true;
}

bool ReadPair(const RulesToken& token, size_t& pos, std::vector<uint8_t>& bytes, std::vector<uint8_t>* wild,
              RulesError& error) {
    std::string_view text = token.Text;
    bool more = pos + 1 < text.size();
    if (text[pos] == '?') {
        if (!wild) return Fault(error, ColumnIn(token, pos), "?? (a wild byte) is only for a pattern");
        if (!more || text[pos + 1] != '?') return Fault(error, ColumnIn(token, pos), "a wild byte is written ??");
        bytes.push_back(0);
        wild->push_back(1);
    } else {
        if (!more || !IsHexDigit(text[pos + 1]))
            return Fault(error, ColumnIn(token, pos), "hex digits come in pairs");
        bytes.push_back(static_cast<uint8_t>(HexValue(text[pos]) * 16 + HexValue(text[pos + 1])));
        if (wild) wild->push_back(0);
    }
    pos += 2;
    return true;
}

}  // namespace

bool Fault(RulesError& error, int32_t column, std::string reason) {
    error.Column = column;
    error.Reason = std::move(reason);
    return false;
}

bool SplitRulesLine(std::string_view line, std::vector<RulesToken>& tokens, RulesError& error) {
    tokens.clear();
    if (!CheckEncoding(line, error)) return false;
    bool quoted = false;
    bool inToken = false;
    size_t start = 0;
    int32_t column = 0;
    size_t pos = 0;
    for (; pos < line.size(); ++pos) {
        char c = line[pos];
        if (IsContinuation(c)) continue;
        ++column;
        if (quoted) {
            quoted = c != '\'';  // the second quote of '' opens again below
            continue;
        }
        if (c == '#') break;
        if (IsBlank(c)) {
            if (inToken) tokens.back().Text = line.substr(start, pos - start);
            inToken = false;
            continue;
        }
        if (!inToken) {
            inToken = true;
            start = pos;
            tokens.push_back({{}, column});
        }
        quoted = c == '\'';
    }
    if (inToken) tokens.back().Text = line.substr(start, pos - start);
    return true;
}

int32_t ColumnIn(const RulesToken& token, size_t offset) {
    int32_t column = token.Column;
    for (size_t i = 0; i < offset && i < token.Text.size(); ++i)
        if (!IsContinuation(token.Text[i])) ++column;
    return column;
}

int32_t ColumnAfter(const RulesToken& token) { return ColumnIn(token, token.Text.size()); }

std::string UnexpectedText(const RulesToken& token) {
    bool word = !token.Text.empty() && IsAsciiLetter(token.Text[0]);
    return (word ? "unknown word '" : "unexpected '") + Shown(token.Text) + "'";
}

bool ReadByteString(const RulesToken& token, std::vector<uint8_t>& bytes, std::vector<uint8_t>* wild,
                    RulesError& error) {
    std::string_view text = token.Text;
    if (ReadsAsWord(text)) return Fault(error, token.Column, UnexpectedText(token));
    for (size_t pos = 0; pos < text.size();) {
        char c = text[pos];
        bool read = false;
        if (c == '\'') {
            read = ReadQuoted(token, pos, bytes, wild, error);
        } else if (IsHexDigit(c) || c == '?') {
            read = ReadPair(token, pos, bytes, wild, error);
        } else if (c == '$' && pos == 0) {
            return Fault(error, token.Column, "captures such as $1 are only for replies");
        } else if (c == '$') {
            return Fault(error, ColumnIn(token, pos), "a capture such as $1 stands apart from bytes");
        } else {
            char32_t value = 0;
            size_t length = DecodeChar(text, pos, value);
            return Fault(error, ColumnIn(token, pos),
                         "unexpected '" + Shown(text.substr(pos, length)) + "' in a byte string");
        }
        if (!read) return false;
    }
    return true;
}

bool ReadQuotedOnly(const RulesToken& token, std::string& text, RulesError& error) {
    if (token.Text.empty() || token.Text[0] != '\'') return Fault(error, token.Column, "expected a text in quotes");
    std::vector<uint8_t> bytes;
    size_t pos = 0;
    if (!ReadQuoted(token, pos, bytes, nullptr, error)) return false;
    if (pos < token.Text.size()) return Fault(error, ColumnIn(token, pos), "nothing may follow the closing quote");
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool ReadDecimal(std::string_view text, bool signAllowed, int32_t min, int32_t max, int32_t& value) {
    constexpr size_t kMostDigits = 18;  // fits int64_t; more is out of any range anyway
    bool negative = false;
    size_t pos = 0;
    if (signAllowed && !text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        pos = 1;
    }
    if (pos == text.size() || text.size() - pos > kMostDigits) return false;
    int64_t number = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9') return false;
        number = number * 10 + (text[pos] - '0');
    }
    if (negative) number = -number;
    if (number < min || number > max) return false;
    value = static_cast<int32_t>(number);
    return true;
}
