// Fuzzes the regular expressions: the input is a pattern, a 0 byte, then a
// subject. Compiling and searching run on a thread with the smallest stack
// a receive thread may have (1 MiB on Windows), so any recursion that grows
// with the input shows up as a crash. A match must lie inside the subject,
// and searching again with the grown scratch must give the same captures.
#include <pthread.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "replies/byte_regex.h"

namespace {

constexpr size_t kStackSize = 1 << 20;
constexpr size_t kMaxSubject = 4096;

struct FuzzJob {
    std::string_view pattern;
    const uint8_t* subject;
    int32_t length;
};

bool Within(const Captures& captures, int32_t length) {
    for (int32_t g = 0; g < captures.Count; ++g) {
        if (captures.Start[g] < 0 || captures.Length[g] < 0) return false;
        if (captures.Start[g] > length - captures.Length[g]) return false;
    }
    return true;
}

bool Same(const Captures& a, const Captures& b) {
    if (a.Count != b.Count) return false;
    for (int32_t g = 0; g < a.Count; ++g)
        if (a.Start[g] != b.Start[g] || a.Length[g] != b.Length[g]) return false;
    return true;
}

void* CompileAndSearch(void* argument) {
    const FuzzJob& job = *static_cast<const FuzzJob*>(argument);
    RegexError error;
    auto regex = CompileByteRegex(job.pattern, error);
    if (!regex) {
        if (error.Offset < 0 || static_cast<size_t>(error.Offset) > job.pattern.size() || error.Reason.empty())
            __builtin_trap();
        return nullptr;
    }
    RegexScratch scratch;
    Captures first, again;
    bool matched = SearchByteRegex(*regex, job.subject, job.length, scratch, first);
    if (SearchByteRegex(*regex, job.subject, job.length, scratch, again) != matched) __builtin_trap();
    if (!matched) return nullptr;
    if (first.Count != RegexGroupCount(*regex) + 1 || !Within(first, job.length) || !Same(first, again))
        __builtin_trap();
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* zero = static_cast<const uint8_t*>(size > 0 ? std::memchr(data, 0, size) : nullptr);
    size_t patternLength = zero ? static_cast<size_t>(zero - data) : size;
    size_t rest = zero ? size - patternLength - 1 : 0;
    FuzzJob job{{reinterpret_cast<const char*>(data), patternLength}, zero ? zero + 1 : data,
                static_cast<int32_t>(std::min(rest, kMaxSubject))};

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackSize);
    pthread_t thread;
    if (pthread_create(&thread, &attributes, CompileAndSearch, &job) != 0) __builtin_trap();
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return 0;
}
