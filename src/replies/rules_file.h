// Reading a rules file: UTF-8 text (a byte-order mark is skipped) into a
// RuleSet. A file with any error gives no rule set at all, only the first
// error with its line and column.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "replies/reply_rules.h"

constexpr size_t kMaxRulesFileBytes = 1 << 20;  // a larger file is refused whole

// true and the rules, or false and the first error.
bool ParseRules(std::string_view text, RuleSet& rules, RulesError& error);

// Reads and parses the file; a file that cannot be read is an error at
// line 0 with the reason.
bool LoadRulesFile(const std::u16string& path, RuleSet& rules, RulesError& error);

// "file:line:column: reason" (without line and column when Line is 0).
std::string RulesErrorText(std::string_view file, const RulesError& error);
