// Regular expressions over bytes, for text protocols (SCPI and the like).
// A pattern compiles into a small program run by a Pike VM: every possible
// path advances in step over the input, so a search costs at most input
// length x program size, whatever the pattern, and never recurses. That
// bound is what lets the receive thread run them on peer data.
//
// Syntax (the common ECMAScript/Perl subset): literals; . (any byte, \n
// too: a frame is one record, not lines); [...] and [^...] with ranges;
// \d \D \w \W \s \S; \t \n \r \f \v \0 \xHH; \ before any punctuation; ^ and $
// (start and end of the input only, so "X$" does not match "X\n"); ( )
// capturing groups (at most 9) and (?: ); |; * + ? {n} {n,} {n,m} (up to
// 1000) each with a lazy form (a trailing ?). A { not followed by a digit is
// a literal. Bytes 0x80-0xFF are Latin-1 characters. In ((a)|b)+ group 2
// keeps the "a" it took even when a later pass took "b", as in Perl (where
// ECMAScript would clear it).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

constexpr int32_t kMaxCaptures = 10;         // $0 (the whole match or frame) to $9
constexpr int32_t kMaxRegexPattern = 512;    // characters of a pattern
constexpr int32_t kMaxRegexProgram = 1000;   // instructions, after {n,m} are expanded

// Where captures lie: Start/Length per capture, 0 the whole. A capture that
// took nothing (or whose group did not take part) has Length 0.
struct Captures {
    int32_t Count = 1;  // 0 .. Count-1 exist
    int32_t Start[kMaxCaptures] = {};
    int32_t Length[kMaxCaptures] = {};
};

class ByteRegex;  // the compiled program; immutable once built

struct RegexError {
    int32_t Offset = 0;  // 0-based, into the pattern
    std::string Reason;  // English, one line, e.g. "unbalanced parenthesis"
};

// nullptr and the error when the pattern is not valid or too large.
std::shared_ptr<const ByteRegex> CompileByteRegex(std::string_view pattern, RegexError& error);

// The number of capturing groups.
int32_t RegexGroupCount(const ByteRegex& regex);

// Working memory for searches, owned by whoever searches (one per thread);
// it grows to the largest program once and is reused.
struct RegexScratch {
    std::vector<int32_t> memory;
};

// Searches bytes for the leftmost match (leftmost-first among alternatives,
// greedy or lazy as written, as a backtracking engine would pick). On a
// match fills captures: 0 the match, 1.. the groups; Count = groups + 1.
bool SearchByteRegex(const ByteRegex& regex, const uint8_t* bytes, int32_t length, RegexScratch& scratch,
                     Captures& captures);
