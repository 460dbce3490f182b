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
    auto length = static_cast<int32_t>(input.size());
    bool found = SearchByteRegex(*regex, Bytes(input), length, scratch, captures);
    const int32_t* memory = scratch.memory.data();
    Captures again;
    EXPECT_EQ(SearchByteRegex(*regex, Bytes(input), length, scratch, again), found) << pattern;
    EXPECT_EQ(scratch.memory.data(), memory) << "the scratch grows once, on the first search";
    if (!found) return std::nullopt;
    EXPECT_EQ(captures.Count, RegexGroupCount(*regex) + 1) << pattern;
    Groups groups;
    for (int32_t g = 0; g < captures.Count; ++g) groups.push_back(input.substr(captures.Start[g], captures.Length[g]));
    if (out) *out = captures;
    return groups;
}

// Captures expected as strings; none when the pattern must not match.
TEST(ByteRegex, MatchesAndCaptures) {
    const std::tuple<std::string, std::string, Groups> cases[] = {
        {"", "abc", {""}}, {"a+", "xxaayaaa", {"aa"}},
        {"^ID\\? ?([0-9]+)", "ID? 42\r\n", {"ID? 42", "42"}}, {"^ID\\? ?([0-9]+)", " ID?42", {}},
        {"^MEAS:VOLT\\? *(CH([0-9]))?$", "MEAS:VOLT? CH3", {"MEAS:VOLT? CH3", "CH3", "3"}},
        {"^MEAS:VOLT\\? *(CH([0-9]))?$", "MEAS:VOLT?", {"MEAS:VOLT?", "", ""}},
        {"^MEAS:VOLT\\? *(CH([0-9]))?$", "MEAS:VOLT? CH3\n", {}}, {"(a|ab)(c|bcd)", "abcd", {"abcd", "a", "bcd"}},
        {"<(.*)>", "<a><b>", {"<a><b>", "a><b"}}, {"<(.*?)>", "<a><b>", {"<a>", "a"}},
        {"a{2,3}", "aaaa", {"aaa"}}, {"a{2,3}?", "aaaa", {"aa"}},
        {"a{2}", "a", {}}, {"a{0}b", "ab", {"b"}},
        {"(ab){2}", "ababab", {"abab", "ab"}}, {"x{,2}|a{b", "a{b", {"a{b"}},
        {"x(a*)*y", "xaay", {"xaay", "aa"}}, {"((a)|b)+", "ab", {"ab", "b", "a"}},  // a group keeps its last take
        {"a|", "b", {""}}, {"x|a+|b", "ab", {"a"}},
        {"^$", "x", {}}, {"a$", "aa", {"a"}},
        {"(?:x|^)b", "ab", {}}, {".", "\n", {"\n"}},
        {"[]a]+", "x]a]", {"]a]"}}, {"[a-]+|[-b]+", "-a-", {"-a-"}},
        {"[^0-9]+", "12ab3", {"ab"}}, {"[\\d.]+", "v=1.5V", {"1.5"}},
        {"\\w+\\s\\S", "  ab_1 c", {"ab_1 c"}}, {"\\D\\W\\S", "9_ .", {"_ ."}},
        {"\\x41\\t\\.\\0", std::string("A\t.\0", 4), {std::string("A\t.\0", 4)}},
        {"caf\xE9", "un caf\xE9", {"caf\xE9"}}, {"[\\x80-\\xff]+", "ab\x80\xC4\xFFz", {"\x80\xC4\xFF"}},
    };
    for (const auto& [pattern, input, groups] : cases)
        EXPECT_EQ(Search(pattern, input).value_or(Groups{}), groups) << pattern << " on " << input;
}

TEST(ByteRegex, GroupThatDidNotTakePartIsEmptyAtZero) {
    Captures c;
    ASSERT_TRUE(Search("x(a)|(b)", "xxb", &c));
    EXPECT_EQ(std::vector<int32_t>({c.Start[0], c.Start[1], c.Length[1], c.Start[2], c.Length[2]}),
              std::vector<int32_t>({2, 0, 0, 2, 1}));
}

TEST(ByteRegex, AgreesWithBacktrackingOnOrdinaryPatterns) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"(a|ab)(c|bcd)(d*)", {"abcd", "abc", "xabcdd"}}, {"([a-c]+)([0-9]*)x", {"abc12x", "x", "cab9xx", "a1b2x"}},
        {"(a+?)(b*)", {"aab", "bbb", "ab"}}, {"x(y|yz)(z?)", {"xyz", "xyzz", "xy"}},
        {"([^,]*),([^,]*)", {"a,b", ",", "1,2,3"}}, {"(\\d+)\\.(\\d+)|(\\d+)", {"v1.25", "42", "1."}},
        {"a{2,3}(a*)", {"aaaaa", "aa", "a"}}, {"(.*)END(.?)", {"xEND", "ENDENDx", "EN"}},
        {"(?:(a)|b)c", {"bc", "ac", "c"}}, {"x(?:a|bc){2,3}(d|)", {"xabcad", "xbcbcbcbc", "xad"}},
        {"^(\\w+) *= *(\\w*)$", {"key = value", "k=", "a b = c"}},
    };
    for (const auto& [pattern, inputs] : cases) {
        std::regex reference(pattern, std::regex::ECMAScript);
        for (const std::string& input : inputs) {
            std::smatch m;
            Groups expected;
            if (std::regex_search(input, m, reference))
                for (const auto& group : m) expected.push_back(group.str());
            EXPECT_EQ(Search(pattern, input).value_or(Groups{}), expected) << pattern << " on " << input;
        }
    }
}

// Each of these takes exponential time in a backtracking engine; here they
// must simply finish, on the largest frame.
TEST(ByteRegex, PathologicalPatternsFinish) {
    const std::string as(4096, 'a'), xs(4096, 'x');
    const std::tuple<std::string, const std::string*, bool> cases[] = {
        {"(a*)*b", &as, false},      {"(a|a)*c", &as, false},         {"(x+x+)+y", &xs, false},
        {"(.*)*x$", &as, false},     {"(?:a?){300}a{300}$", &as, true}, {"(a*)*", &as, true},
    };
    for (const auto& [pattern, input, matched] : cases)
        EXPECT_EQ(Search(pattern, *input).has_value(), matched) << pattern;
}

TEST(ByteRegex, RejectsBadPatternsWhereTheyGoWrong) {
    std::string deep;
    for (int i = 0; i < 65; ++i) deep += "(?:";
    const std::tuple<std::string, int32_t, std::string> cases[] = {
        {"(ab", 0, "unbalanced"}, {"ab)", 2, "unbalanced"},
        {"*a", 0, "nothing to repeat"}, {"a**", 2, "nothing to repeat"},
        {"^*", 1, "nothing to repeat"}, {"{2}", 0, "nothing to repeat"},
        {"[abc", 0, "unterminated class"}, {"[]", 0, "unterminated class"},
        {"[z-a]", 1, "bad range"}, {"[\\d-z]", 1, "bad range"},
        {"\\q", 0, "bad escape"}, {"a\\", 1, "bad escape"},
        {"\\x4", 0, "bad escape"}, {"(a)\\1", 3, "bad escape"},
        {"a{3,2}", 1, "bad repetition"}, {"a{2", 1, "bad repetition"},
        {"a{1001}", 1, "over 1000"}, {"(?=a)", 0, "unsupported group"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", 27, "more than 9"},
        {std::string(513, 'a'), 512, "too long"},
        {"(?:a{400}){3}", 10, "too large"}, {"((((a{10}){10}){10}){10})", 15, "too large"},
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
