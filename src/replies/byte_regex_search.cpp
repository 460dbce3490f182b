// The Pike VM: all threads advance together, one input byte per step, in
// order of preference. A program counter enters a step's list at most once
// (the first, preferred thread to reach it wins), which bounds the work per
// byte by the program size and ends loops over empty matches such as (a*)*.
// Following jumps uses an explicit stack, never recursion.
#include <algorithm>
#include <cstdint>

#include "replies/byte_regex_program.h"

namespace {

struct ThreadList {
    int32_t* Entries = nullptr;  // per thread: pc, then its capture slots
    int32_t Count = 0;
};

class PikeVm {
public:
    PikeVm(const ByteRegex& regex, const uint8_t* bytes, int32_t length, RegexScratch& scratch)
        : regex_(regex), program_(regex.Program.data()), bytes_(bytes), length_(length),
          size_(static_cast<int32_t>(regex.Program.size())), slots_(2 * (regex.Groups + 1)), stride_(slots_ + 1) {
        auto needed = static_cast<size_t>(size_ * (1 + 2 * 2 + 2 * stride_) + 2 + 2 * slots_);
        if (scratch.memory.size() < needed) scratch.memory.resize(needed);
        marks_ = scratch.memory.data();
        stack_ = marks_ + size_;
        current_.Entries = stack_ + 2 * (2 * size_ + 1);
        next_.Entries = current_.Entries + size_ * stride_;
        working_ = next_.Entries + size_ * stride_;
        best_ = working_ + slots_;
    }

    bool Run(Captures& captures) {
        std::fill(marks_, marks_ + size_, 0);
        bool matched = false;
        for (int32_t at = 0;; ++at) {
            if (!matched && (at == 0 || !regex_.Anchored)) {  // a new start, least preferred
                std::fill(working_, working_ + slots_, -1);
                Add(current_, 0, at);
            }
            if (current_.Count == 0 && (matched || regex_.Anchored)) break;
            matched = Step(at) || matched;
            if (at == length_) break;
        }
        if (matched) Fill(captures);
        return matched;
    }

private:
    // Moves the threads of current_ over the byte at offset into next_; true
    // when one of them matched (the less preferred ones are dropped then).
    bool Step(int32_t at) {
        if (generation_ == INT32_MAX) {  // only past 2 GiB of input
            std::fill(marks_, marks_ + size_, 0);
            generation_ = 0;
        }
        ++generation_;
        next_.Count = 0;
        bool matched = false;
        for (int32_t t = 0; t < current_.Count && !matched; ++t) {
            const int32_t* thread = current_.Entries + t * stride_;
            const RegexInst& inst = program_[thread[0]];
            if (inst.Op == RegexOp::Match) {
                std::copy(thread + 1, thread + 1 + slots_, best_);
                matched = true;
            } else if (at < length_ && Accepts(inst, bytes_[at])) {
                std::copy(thread + 1, thread + 1 + slots_, working_);
                Add(next_, thread[0] + 1, at + 1);
            }
        }
        std::swap(current_, next_);
        return matched;
    }

    bool Accepts(const RegexInst& inst, uint8_t byte) const {
        switch (inst.Op) {
        case RegexOp::Byte: return inst.Byte == byte;
        case RegexOp::Set: return regex_.Sets[static_cast<size_t>(inst.X)][byte];
        case RegexOp::Any: return true;
        default: return false;
        }
    }

    void Push(int32_t pc, int32_t value) {
        stack_[top_++] = pc;
        stack_[top_++] = value;
    }

    // Follows jumps, splits, saves and assertions from pc, with captures
    // working_, and lists the threads that wait for a byte (or match), in
    // order of preference. A negative pc on the stack restores a slot that a
    // Save changed, once the path through it is done. Each pc is taken once
    // and pushes two entries at most, so the stack holds 2 x size + 1.
    void Add(ThreadList& list, int32_t start, int32_t at) {
        top_ = 0;
        Push(start, 0);
        while (top_ > 0) {
            int32_t value = stack_[--top_];
            int32_t pc = stack_[--top_];
            if (pc < 0) {
                working_[-1 - pc] = value;
                continue;
            }
            if (marks_[pc] == generation_) continue;
            marks_[pc] = generation_;
            const RegexInst& inst = program_[pc];
            switch (inst.Op) {
            case RegexOp::Jump: Push(inst.X, 0); break;
            case RegexOp::Split: Push(inst.Y, 0); Push(inst.X, 0); break;
            case RegexOp::Save:
                Push(-1 - inst.X, working_[inst.X]);
                working_[inst.X] = at;
                Push(pc + 1, 0);
                break;
            case RegexOp::Start: if (at == 0) Push(pc + 1, 0); break;
            case RegexOp::End: if (at == length_) Push(pc + 1, 0); break;
            default: {
                int32_t* entry = list.Entries + list.Count++ * stride_;
                entry[0] = pc;
                std::copy(working_, working_ + slots_, entry + 1);
            }
            }
        }
    }

    void Fill(Captures& captures) const {
        captures.Count = regex_.Groups + 1;
        for (int32_t g = 0; g < kMaxCaptures; ++g) {
            bool took = g < captures.Count && best_[2 * g] >= 0 && best_[2 * g + 1] >= best_[2 * g];
            captures.Start[g] = took ? best_[2 * g] : 0;
            captures.Length[g] = took ? best_[2 * g + 1] - best_[2 * g] : 0;
        }
    }

    const ByteRegex& regex_;
    const RegexInst* program_;
    const uint8_t* bytes_;
    int32_t length_;
    int32_t size_;
    int32_t slots_;
    int32_t stride_;
    int32_t* marks_;    // per pc: the generation that last took it
    int32_t* stack_;    // pairs: pc (or -1 - slot) and the slot's old value
    ThreadList current_, next_;
    int32_t* working_;  // the captures of the path being followed
    int32_t* best_;     // the captures of the preferred match so far
    int32_t generation_ = 1;
    int32_t top_ = 0;
};

}  // namespace

bool SearchByteRegex(const ByteRegex& regex, const uint8_t* bytes, int32_t length, RegexScratch& scratch,
                     Captures& captures) {
    if (regex.Program.empty() || length < 0 || (bytes == nullptr && length > 0)) return false;
    return PikeVm(regex, bytes, length, scratch).Run(captures);
}
