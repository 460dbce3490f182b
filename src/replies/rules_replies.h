// Reading the statements that send: "on ..." rules and "every ..." timed
// sends, each from just after its first word to the end of its line.
#pragma once

#include "replies/reply_rules.h"
#include "replies/rules_cursor.h"

// Fills the match, the sends and the close of a rule (not Line and Text).
bool ReadOnRule(RulesCursor& cursor, Rule& rule);

// Fills the period and the sends of a timed send (not Line and Text).
bool ReadTimedSend(RulesCursor& cursor, TimedSend& timer);
