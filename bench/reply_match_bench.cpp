#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "replies/rule_match.h"

namespace {

// A 64-byte SCPI request, as a meter under test would receive it.
const std::string kFrame = "MEAS:VOLT:DC? (@101:120),AUTO,DEF;*OPC?;SYST:ERR?;*IDN?;FETCH?\r\n";

Rule BytesRule(MatchKind kind, std::string bytes) {
    Rule rule;
    rule.Kind = kind;
    rule.Bytes.assign(bytes.begin(), bytes.end());
    rule.Wild.assign(bytes.size(), 0);
    return rule;
}

// Exact, prefix and wildcard rules that each differ from the frame late
// (the costly way to fail), then one wildcard rule that matches.
RuleSet NearMissRules() {
    RuleSet rules;
    for (int i = 0; i < 99; ++i) {
        std::string bytes = kFrame;
        if (i % 3 == 1) bytes.resize(size_t(8 + i % 16));
        bytes.back() = '#';
        const MatchKind kinds[] = {MatchKind::Exact, MatchKind::Prefix, MatchKind::Pattern};
        rules.Rules.push_back(BytesRule(kinds[i % 3], bytes));
    }
    rules.Rules.push_back(BytesRule(MatchKind::Pattern, kFrame));
    for (Rule& rule : rules.Rules) {
        if (rule.Kind != MatchKind::Pattern) continue;
        std::fill(rule.Wild.begin() + 16, rule.Wild.begin() + 19, 1);  // the channel numbers
        std::fill(rule.Wild.begin() + 20, rule.Wild.begin() + 23, 1);
    }
    return rules;
}

// Every tenth rule a regular expression that does not match: anchored ones
// fail at once, unanchored ones search the whole frame.
bool AddRegexRules(RuleSet& rules) {
    const char* patterns[] = {"^SOUR:FREQ (\\d+)", "CURR:AC\\? \\(@(\\d+):(\\d+)\\)", "[a-z]{3,}", "ERR\\?;\\*RST"};
    for (size_t i = 5, n = 0; i < 99; i += 10, ++n) {
        RegexError error;
        Rule& rule = rules.Rules[i];
        rule.Kind = MatchKind::Regex;
        rule.Regex = CompileByteRegex(patterns[n % 4], error);
        if (!rule.Regex) return false;
    }
    return true;
}

void MatchLastOfHundred(benchmark::State& state, const RuleSet& rules) {
    const auto* frame = reinterpret_cast<const uint8_t*>(kFrame.data());
    RegexScratch scratch;
    Captures captures;
    if (MatchFrame(rules, frame, int32_t(kFrame.size()), scratch, captures) != 99) {
        state.SkipWithError("the last rule should answer");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(MatchFrame(rules, frame, int32_t(kFrame.size()), scratch, captures));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(rules.Rules.size()));
}

void BM_MatchFrameHundredRules(benchmark::State& state) { MatchLastOfHundred(state, NearMissRules()); }
BENCHMARK(BM_MatchFrameHundredRules);

void BM_MatchFrameTenOfThemRegex(benchmark::State& state) {
    RuleSet rules = NearMissRules();
    if (!AddRegexRules(rules)) return state.SkipWithError("a pattern did not compile");
    MatchLastOfHundred(state, rules);
}
BENCHMARK(BM_MatchFrameTenOfThemRegex);

// A typical answer: text, the two captures, the counter and a CRC over it all.
void BM_BuildSendWithCrc(benchmark::State& state) {
    auto piece = [](PieceKind kind, std::string bytes = "", int32_t capture = 0) {
        ReplyPiece p;
        p.Kind = kind, p.Bytes.assign(bytes.begin(), bytes.end()), p.Capture = capture;
        p.Check = CheckKind::Crc16Modbus;
        return p;
    };
    ReplySend send;
    send.Pieces = {piece(PieceKind::Bytes, "+1.234567E+00,CH"), piece(PieceKind::Capture, "", 1),
                   piece(PieceKind::Bytes, ":"), piece(PieceKind::Capture, "", 2), piece(PieceKind::Bytes, ",#"),
                   piece(PieceKind::Counter), piece(PieceKind::Check), piece(PieceKind::Bytes, "\r\n")};
    const Captures captures{.Count = 3, .Start = {0, 16, 20}, .Length = {64, 3, 3}};
    std::vector<uint8_t> out(kMaxReplyBytes);
    const auto* frame = reinterpret_cast<const uint8_t*>(kFrame.data());
    int64_t counter = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSend(send, frame, int32_t(kFrame.size()), captures, ++counter, out.data()));
}
BENCHMARK(BM_BuildSendWithCrc);

}  // namespace
