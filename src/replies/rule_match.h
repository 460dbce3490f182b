// Matching a frame against the rules and building the sends that answer it.
#pragma once

#include <cstdint>

#include "replies/reply_rules.h"

// The index of the first rule (file order) that matches the frame, or -1.
// captures: $0 the frame, then the rule's captures (a pattern's runs of wild
// bytes, a regular expression's groups).
int32_t MatchFrame(const RuleSet& rules, const uint8_t* frame, int32_t length, RegexScratch& scratch,
                   Captures& captures);

// Builds one send into out (room for kMaxReplyBytes): its length, or -1
// when it would be longer. counter is the value a Counter piece writes.
int32_t BuildSend(const ReplySend& send, const uint8_t* frame, int32_t frameLength, const Captures& captures,
                  int64_t counter, uint8_t* out);

// A check value over bytes, written in order (0: the kind's own) into out;
// the number of bytes written (1, 2 or 4).
int32_t WriteCheck(CheckKind kind, int8_t order, const uint8_t* bytes, int32_t length, uint8_t* out);
