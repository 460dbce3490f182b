// The words of a rules file: a line cut into tokens, and the forms every
// statement shares (byte strings, decimal numbers). A fault is reported as
// a column and a reason; the statement's reader adds the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "replies/reply_rules.h"

struct RulesToken {
    std::string_view Text;  // as written, quotes and all; valid UTF-8
    int32_t Column = 0;     // 1-based, in characters
};

// Sets the column and reason of a fault; false, so that readers can
// `return Fault(...)`.
bool Fault(RulesError& error, int32_t column, std::string reason);

// Cuts one line (without its line break) into tokens: blanks separate them,
// quotes hold blanks and '#', a '#' outside quotes starts a comment. False
// on a NUL byte or a byte that is not UTF-8.
bool SplitRulesLine(std::string_view line, std::vector<RulesToken>& tokens, RulesError& error);

// The column of a byte inside a token, and the one just after it.
int32_t ColumnIn(const RulesToken& token, size_t offset);
int32_t ColumnAfter(const RulesToken& token);

// "unknown word 'x'" for what reads as a word, else "unexpected 'x'".
std::string UnexpectedText(const RulesToken& token);

// Appends a byte string's bytes ('text', hex pairs, mixed). wild: null
// where a wild byte is not allowed, else it gets one flag per byte and ??
// is a wild byte.
bool ReadByteString(const RulesToken& token, std::vector<uint8_t>& bytes, std::vector<uint8_t>* wild,
                    RulesError& error);

// A token that is one quoted text and nothing else: its bytes (Latin-1).
bool ReadQuotedOnly(const RulesToken& token, std::string& text, RulesError& error);

// A decimal number in min..max; a sign only when signAllowed. False for
// anything else, digits after garbage included.
bool ReadDecimal(std::string_view text, bool signAllowed, int32_t min, int32_t max, int32_t& value);
