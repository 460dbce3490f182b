// Fuzzes macro files: any bytes either are refused or run, tick by tick,
// to their end without reading or writing past the text, a line, the
// registers or the send buffer; the check before a run names only lines the
// text has. Registers start from the fuzzed bytes too,
// so register contents of any length take part.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "macro/macro_check.h"
#include "macro/macro_file.h"
#include "macro/macro_runner.h"
#include "common/program_context.h"

namespace {

class QuietBoxes : public MessageBoxHost {
public:
    int Show(WindowHandle, std::u16string_view, std::u16string_view, uint32_t) override { return kIdOk; }
};

class FuzzHost : public MacroHost {
public:
    explicit FuzzHost(std::string_view seed) : seed_(seed) {}
    int32_t Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) override {
        if (length < 0 || length > kMacroRegisterBytes || clientIndex < 0 || clientIndex > 9) __builtin_trap();
        volatile uint8_t sink = 0;
        for (int32_t i = 0; i < length; ++i) sink ^= bytes[i];
        return 0;
    }
    void MarkReceived() override {}
    bool FirstReceivedSince(int32_t count, ReceivedBlock& out) override {
        return LatestReceivedSince(out) && out.length >= count;
    }
    bool LatestReceivedSince(ReceivedBlock& out) override {
        out.length = static_cast<int32_t>(std::min(seed_.size(), sizeof out.bytes - 1));
        std::memcpy(out.bytes, seed_.data(), static_cast<size_t>(out.length));
        return true;
    }
    void StampTrace() override {}
    bool LowerCaseHex() override { return !seed_.empty() && (seed_[0] & 1); }
    bool FaultsInJapanese() override { return !seed_.empty() && (seed_[0] & 2); }
    const TickClock& Clock() override { return clock; }

    ManualTickClock clock{0};

private:
    std::string_view seed_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QuietBoxes boxes;
    SetMessageBoxHost(&boxes);
    static auto run = std::make_unique<MacroRun>();
    static auto registers = std::make_unique<MacroRegisters>();
    *registers = MacroRegisters{};
    for (int r = 0; r < kMacroRegisterCount && r < static_cast<int>(size); ++r) {
        registers->Registers[r].length = data[r] % (kMacroRegisterBytes + 1);
        std::memset(registers->Registers[r].data, data[r], kMacroRegisterBytes);
    }

    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FuzzHost host(bytes);
    // Files are fuzzed with and without their byte-order mark.
    std::string withMark = std::string("\xFF\xFE", 2) + std::string(bytes);
    std::string_view file = (size > 0 && (data[0] & 1)) ? std::string_view(withMark) : bytes;
    if (BeginMacroFromBytes(*run, file, nullptr) != MacroStartResult::Started) return 0;
    int32_t lines = MacroLineNumber(*run, run->MacroLength);
    for (const MacroFinding& f : CheckMacroText({run->MacroText, static_cast<size_t>(run->MacroLength)}))
        if (f.line < 1 || f.line > lines || f.what.empty()) __builtin_trap();
    for (int tick = 0; tick < 5000; ++tick) {
        if (RunMacroStep(*run, *registers, host) == MacroStepResult::Ended) break;
        host.clock.Advance(1000);  // waits end within a few ticks
        if (run->MacroPosition < 0 || run->MacroPosition > kMacroTextCapacity + 1) __builtin_trap();
        for (const MacroRegister& r : registers->Registers)
            if (r.length < 0 || r.length > kMacroRegisterBytes) __builtin_trap();
    }
    EndMacroQuietly(*run);
    return 0;
}
