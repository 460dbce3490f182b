// Fuzzes reply rules as the device meets them: the input is a rules file, a
// zero byte, then the traffic. Whatever the file, it reads or is refused with
// a place and a one-line reason; rules that read then frame the traffic (fed
// in pieces whose sizes the traffic's own bytes choose), match each frame and
// build every send of the rule that answers. All on a thread with a 1 MiB
// stack, less than a Windows receive thread gets, so that a matcher that
// recurses per byte would show here.
#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "replies/framing.h"
#include "replies/rule_match.h"
#include "replies/rules_file.h"

namespace {

constexpr size_t kStackBytes = 1 << 20;

struct Input {
    std::string_view rules;
    const uint8_t* traffic;
    size_t trafficSize;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

class Answering : public FrameSink {
public:
    explicit Answering(const RuleSet& rules) : rules_(rules), out_(kMaxReplyBytes) {}

    void OnFrame(const uint8_t* frame, int32_t length, bool cut) override {
        Check(length >= 0 && length <= rules_.Frame.Limit);
        framed += length;
        if (cut) return;
        Captures captures;
        int32_t k = MatchFrame(rules_, frame, length, scratch_, captures);
        if (k < 0) return;
        Check(k < static_cast<int32_t>(rules_.Rules.size()));
        for (int32_t i = 0; i < captures.Count; ++i)
            Check(captures.Start[i] >= 0 && captures.Length[i] >= 0 && captures.Start[i] + captures.Length[i] <= length);
        for (const ReplySend& send : rules_.Rules[static_cast<size_t>(k)].Sends) {
            int32_t n = BuildSend(send, frame, length, captures, ++counter_, out_.data());
            Check(n >= -1 && n <= kMaxReplyBytes);
        }
    }
    int64_t framed = 0;

private:
    const RuleSet& rules_;
    std::vector<uint8_t> out_;
    RegexScratch scratch_;
    int64_t counter_ = 0;
};

void* Run(void* argument) {
    const Input& in = *static_cast<const Input*>(argument);
    RuleSet rules;
    RulesError error;
    if (!ParseRules(in.rules, rules, error)) {
        Check(error.Line >= 0 && error.Column >= 0 && !error.Reason.empty());
        Check(error.Reason.find('\n') == std::string::npos);
        return nullptr;
    }
    Framer framer;
    framer.Start(rules.Frame);
    Answering answering(rules);
    uint32_t now = 0;
    for (size_t at = 0; at < in.trafficSize;) {
        size_t piece = 1 + in.traffic[at] % 64;
        if (piece > in.trafficSize - at) piece = in.trafficSize - at;
        framer.Feed(in.traffic + at, static_cast<int32_t>(piece), now, answering);
        at += piece;
        now += in.traffic[at - 1] % 8 == 0 ? 1000 : 1;
        framer.Tick(now, answering);
    }
    framer.EndOfBlock(answering);
    Check(answering.framed <= static_cast<int64_t>(in.trafficSize));
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t split = 0;
    while (split < size && data[split] != 0) ++split;
    Input in{std::string_view(reinterpret_cast<const char*>(data), split), data + split + (split < size),
             size - split - (split < size)};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_t thread;
    Check(pthread_create(&thread, &attributes, Run, &in) == 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return 0;
}
