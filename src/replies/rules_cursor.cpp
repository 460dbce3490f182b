#include "replies/rules_cursor.h"

RulesCursor::RulesCursor(const std::vector<RulesToken>& tokens, RulesError& error)
    : tokens_(tokens), error_(error) {}

int32_t RulesCursor::Column() const {
    if (!AtEnd()) return tokens_[next_].Column;
    return tokens_.empty() ? 1 : ColumnAfter(tokens_.back());
}

bool RulesCursor::Fail(std::string reason) { return Fault(error_, Column(), std::move(reason)); }

bool RulesCursor::FailUnexpected() { return AtEnd() ? Fail("unexpected end of line") : Fail(UnexpectedText(Token())); }

bool RulesCursor::ExpectEnd() { return AtEnd() || FailUnexpected(); }

bool RulesCursor::TakeNumber(const NumberRange& range, int32_t& value) {
    if (AtEnd() || !ReadDecimal(Token().Text, range.Signed, range.Min, range.Max, value)) return Fail(range.Reason);
    Skip();
    return true;
}

bool RulesCursor::TakeOneOf(std::initializer_list<std::string_view> words, const char* reason, int32_t& index) {
    index = 0;
    for (std::string_view word : words) {
        if (Is(word)) {
            Skip();
            return true;
        }
        ++index;
    }
    return Fail(reason);
}
