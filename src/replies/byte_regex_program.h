// The compiled form of a regular expression: the instructions the Pike VM
// runs, shared by the compiler and the search. Private to replies/.
#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

#include "replies/byte_regex.h"

enum class RegexOp : uint8_t {
    Byte,   // the input byte is Byte
    Set,    // the input byte is in Sets[X]
    Any,    // any byte, \n included
    Split,  // go on at X and at Y; X is the preferred path
    Jump,   // go on at X
    Save,   // the offset into capture slot X (2 g the start of group g, 2 g + 1 its end)
    Start,  // only at offset 0
    End,    // only at the end of the input
    Match,
};

struct RegexInst {
    RegexOp Op = RegexOp::Match;
    uint8_t Byte = 0;
    int32_t X = 0;
    int32_t Y = 0;
};

using ByteSet = std::bitset<256>;

// Program[0] saves slot 0, the last two save slot 1 and match.
class ByteRegex {
public:
    std::vector<RegexInst> Program;
    std::vector<ByteSet> Sets;
    int32_t Groups = 0;
    bool Anchored = false;  // every path goes through ^ first: only offset 0 can match
};
