// Walking the tokens of one statement: what comes next, and the fault to
// report when it is not what the statement needs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "replies/rules_tokens.h"

// A number a statement takes, and what to say when it is missing or wrong.
struct NumberRange {
    int32_t Min = 0;
    int32_t Max = 0;
    bool Signed = false;
    const char* Reason = "";
};

class RulesCursor {
public:
    RulesCursor(const std::vector<RulesToken>& tokens, RulesError& error);

    bool AtEnd() const { return next_ >= tokens_.size(); }
    bool Is(std::string_view word) const { return !AtEnd() && tokens_[next_].Text == word; }
    const RulesToken& Token() const { return tokens_[next_]; }  // not at the end
    // Where the next token stands, or just after the last one.
    int32_t Column() const;
    void Skip() { ++next_; }
    RulesError& Error() { return error_; }

    // Faults at Column(); always false.
    bool Fail(std::string reason);
    bool FailUnexpected();
    // True at the end of the statement, else the fault for what is left.
    bool ExpectEnd();

    bool TakeNumber(const NumberRange& range, int32_t& value);
    // One of the words: its index.
    bool TakeOneOf(std::initializer_list<std::string_view> words, const char* reason, int32_t& index);

private:
    const std::vector<RulesToken>& tokens_;
    size_t next_ = 0;
    RulesError& error_;
};
