#include <gtest/gtest.h>

#include <optional>
// libstdc++'s regex trips GCC's uninitialized-use analysis in its own code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#include <string>
#include <tuple>
#include <vector>

#include "replies/byte_regex.h"

namespace {

using Groups = std::vector<std::string>;

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// The captures as strings, or nothing when the pattern does not match.
std::optional<Groups> Search(const std::string& pattern, const std::string& input, Captures* out = nullptr) {
    RegexError error;
    auto regex = CompileByteRegex(pattern, error);
    if (!regex) {
        ADD_FAILURE() << pattern << ": " << error.Reason;
        return std::nullopt;
    }
    RegexScratch scratch;
    Captures captures;
    if (!SearchByteRegex(*regex, Bytes(input), static_cast<int32_t>(input.size()), scratch, captures)) return std::nullopt;
    EXPECT_EQ(captures.Count, RegexGroupCount(*regex) + 1) << pattern;
    Groups groups;
    for (int32_t g = 0; g < captures.Count; ++g) groups.push_back(input.substr(captures.Start[g], captures.Length[g]));
    if (out) *out = captures;
    return groups;
}

struct MatchCase {
    std::string pattern;
    std::string input;
    bool matched;
    Groups groups;
};

TEST(ByteRegex, MatchesAndCaptures) {
    const MatchCase cases[] = {
        {"", "abc", true, {""}},
        {"abc", "xxabcx", true, {"abc"}},
        {"^ID\\? ?([0-9]+)", "ID? 42\r\n", true, {"ID? 42", "42"}},
        {"^ID\\? ?([0-9]+)", " ID?42", false, {}},
        {"^MEAS:VOLT\\? *(CH([0-9]))?$", "MEAS:VOLT? CH3", true, {"MEAS:VOLT? CH3", "CH3", "3"}},
        {"^MEAS:VOLT\\? *(CH([0-9]))?$", "MEAS:VOLT?", true, {"MEAS:VOLT?", "", ""}},
        {"^MEAS:VOLT\\? *(CH([0-9]))?$", "MEAS:VOLT? CH3\n", false, {}},
        {"(a|ab)(c|bcd)", "abcd", true, {"abcd", "a", "bcd"}},
        {"a+", "baaa", true, {"aaa"}},
        {"a+?", "baaa", true, {"a"}},
        {"<(.*)>", "<a><b>", true, {"<a><b>", "a><b"}},
        {"<(.*?)>", "<a><b>", true, {"<a>", "a"}},
        {"a{2,3}", "aaaa", true, {"aaa"}},
        {"a{2,3}?", "aaaa", true, {"aa"}},
        {"a{2,}", "aaaaa", true, {"aaaaa"}},
        {"a{2}", "a", false, {}},
        {"a{0}b", "ab", true, {"b"}},
        {"(ab){2}", "ababab", true, {"abab", "ab"}},
        {"x{,2}|a{b", "a{b", true, {"a{b"}},
        {"x(a*)*y", "xaay", true, {"xaay", "aa"}},
        {"((a)|b)+", "ab", true, {"ab", "b", "a"}},  // a group keeps its last take
        {"a|", "b", true, {""}},
        {"^$", "", true, {""}},
        {"^$", "x", false, {}},
        {"a$", "aa", true, {"a"}},
        {"b^", "b", false, {}},
        {".", "\n", true, {"\n"}},
        {"[]a]+", "x]a]", true, {"]a]"}},
        {"[a-]+|[-b]+", "-a-", true, {"-a-"}},
        {"[^0-9]+", "12ab3", true, {"ab"}},
        {"[\\d.]+", "v=1.5V", true, {"1.5"}},
        {"\\w+\\s\\S", "  ab_1 c", true, {"ab_1 c"}},
        {"\\D\\W\\S", "9_ .", true, {"_ ."}},
        {"\\x41\\t\\.\\0", std::string("A\t.\0", 4), true, {std::string("A\t.\0", 4)}},
        {"caf\xE9", "un caf\xE9", true, {"caf\xE9"}},
        {"[\\x80-\\xff]+", "ab\x80\xC4\xFFz", true, {"\x80\xC4\xFF"}},
    };
    for (const MatchCase& c : cases) {
        auto groups = Search(c.pattern, c.input);
        EXPECT_EQ(groups.has_value(), c.matched) << c.pattern << " on " << c.input;
        if (groups && c.matched) {
            EXPECT_EQ(*groups, c.groups) << c.pattern << " on " << c.input;
        }
    }
}

TEST(ByteRegex, GroupThatDidNotTakePartIsEmptyAtZero) {
    Captures captures;
    ASSERT_TRUE(Search("x(a)|(b)", "xxb", &captures));
    EXPECT_EQ(captures.Start[0], 2);
    EXPECT_EQ(captures.Start[1], 0);
    EXPECT_EQ(captures.Length[1], 0);
    EXPECT_EQ(captures.Start[2], 2);
    EXPECT_EQ(captures.Length[2], 1);
}

TEST(ByteRegex, AgreesWithBacktrackingOnOrdinaryPatterns) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"(a|ab)(c|bcd)(d*)", {"abcd", "abc", "xabcdd"}},
        {"([a-c]+)([0-9]*)x", {"abc12x", "x", "cab9xx", "a1b2x"}},
        {"(a+?)(b*)", {"aab", "bbb", "ab"}},
        {"x(y|yz)(z?)", {"xyz", "xyzz", "xy"}},
        {"([^,]*),([^,]*)", {"a,b", ",", "1,2,3"}},
        {"(\\d+)\\.(\\d+)|(\\d+)", {"v1.25", "42", "1."}},
        {"a{2,3}(a*)", {"aaaaa", "aa", "a"}},
        {"(.*)END(.?)", {"xEND", "ENDENDx", "EN"}},
        {"(?:(a)|b)c", {"bc", "ac", "c"}},
        {"^(\\w+) *= *(\\w*)$", {"key = value", "k=", "a b = c"}},
    };
    for (const auto& [pattern, inputs] : cases) {
        std::regex reference(pattern, std::regex::ECMAScript);
        for (const std::string& input : inputs) {
            std::smatch m;
            bool expected = std::regex_search(input, m, reference);
            auto groups = Search(pattern, input);
            ASSERT_EQ(groups.has_value(), expected) << pattern << " on " << input;
            if (!expected) continue;
            for (size_t g = 0; g < m.size(); ++g) EXPECT_EQ((*groups)[g], m[g].str()) << pattern << " on " << input;
        }
    }
}

// Each of these takes exponential time in a backtracking engine; here they
// must simply finish, on the largest frame.
TEST(ByteRegex, PathologicalPatternsFinish) {
    const std::string as(4096, 'a'), xs(4096, 'x');
    const std::tuple<std::string, const std::string*, bool> cases[] = {
        {"(a*)*b", &as, false},      {"(a|a)*c", &as, false},         {"(x+x+)+y", &xs, false},
        {"(.*)*x$", &as, false},     {"(?:a?){500}a{500}$", &as, true}, {"(a*)*", &as, true},
    };
    for (const auto& [pattern, input, matched] : cases) EXPECT_EQ(Search(pattern, *input).has_value(), matched) << pattern;
}

TEST(ByteRegex, ScratchGrowsOnceAndIsReused) {
    RegexError error;
    auto regex = CompileByteRegex("(a|b)+c", error);
    ASSERT_TRUE(regex);
    RegexScratch scratch;
    Captures captures;
    const std::string input = "xxababc";
    ASSERT_TRUE(SearchByteRegex(*regex, Bytes(input), 7, scratch, captures));
    const int32_t* memory = scratch.memory.data();
    ASSERT_TRUE(SearchByteRegex(*regex, Bytes(input), 7, scratch, captures));
    EXPECT_EQ(scratch.memory.data(), memory);
    EXPECT_EQ(captures.Start[0], 2);
}

TEST(ByteRegex, RejectsBadPatternsWhereTheyGoWrong) {
    std::string deep;
    for (int i = 0; i < 65; ++i) deep += "(?:";
    const std::tuple<std::string, int32_t, std::string> cases[] = {
        {"(ab", 0, "unbalanced"},
        {"ab)", 2, "unbalanced"},
        {"*a", 0, "nothing to repeat"},
        {"a**", 2, "nothing to repeat"},
        {"a|?", 2, "nothing to repeat"},
        {"^*", 1, "nothing to repeat"},
        {"{2}", 0, "nothing to repeat"},
        {"[abc", 0, "unterminated class"},
        {"[]", 0, "unterminated class"},
        {"[z-a]", 1, "bad range"},
        {"[\\d-z]", 1, "bad range"},
        {"\\q", 0, "bad escape"},
        {"a\\", 1, "bad escape"},
        {"\\x4", 0, "bad escape"},
        {"(a)\\1", 3, "bad escape"},
        {"a{3,2}", 1, "bad repetition"},
        {"a{2", 1, "bad repetition"},
        {"a{1001}", 1, "over 1000"},
        {"(?=a)", 0, "unsupported group"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", 27, "more than 9"},
        {std::string(513, 'a'), 512, "too long"},
        {"(?:a{1000}){3}", 11, "too large"},
        {"((((a{10}){10}){10}){10})", 20, "too large"},
        {deep, 192, "nesting"},
    };
    for (const auto& [pattern, offset, reason] : cases) {
        RegexError error;
        EXPECT_EQ(CompileByteRegex(pattern, error), nullptr) << pattern;
        EXPECT_EQ(error.Offset, offset) << pattern;
        EXPECT_NE(error.Reason.find(reason), std::string::npos) << pattern << ": " << error.Reason;
    }
}

}  // namespace
