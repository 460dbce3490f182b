// Fuzzes line files both ways. Any bytes load without overrunning the table;
// and whatever a table holds, whether read from such bytes or built from
// generated codes (input starting with 01), saves to a file that reads back
// the same.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sending/line_entry.h"
#include "sending/line_file_format.h"

namespace {

bool SameEntry(const LineEntry& a, const LineEntry& b) {
    if (a.count != b.count) return false;
    for (int32_t i = 0; i < kLineCodes; ++i)
        if (a.codes[i] != b.codes[i]) return false;
    return true;
}

// Little-endian code pairs; each line starts with a code giving its length
// (1..256), so every code value, 0 and quote characters included, occurs.
void FillWithCodes(const uint8_t* data, size_t size, PresetTable& table) {
    ClearLineTable(table);
    size_t pos = 0;
    auto next = [&] {
        char16_t code = static_cast<char16_t>(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return code;
    };
    for (LineEntry& entry : table.Lines()) {
        if (size - pos < 2) return;
        int32_t length = 1 + next() % kLineCodes;
        char16_t codes[kLineCodes] = {};
        int32_t n = 0;
        while (n < length && size - pos >= 2) codes[n++] = next();
        if (n == 0) return;
        SetLineEntry(entry, codes, n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto table = std::make_unique<PresetTable>();
    static auto again = std::make_unique<PresetTable>();
    if (size > 0 && data[0] == 1) {
        FillWithCodes(data + 1, size - 1, *table);
    } else {
        // Most inputs should get past the byte-order mark.
        std::string bytes = "\xFF\xFE";
        if (size > 0 && data[0] == 0) bytes.clear();
        bytes.append(reinterpret_cast<const char*>(data), size);
        if (bytes.size() > kLineFileReadLimit) bytes.resize(kLineFileReadLimit);
        if (!ReadLineFileBytes(bytes, *table)) return 0;
        for (const LineEntry& entry : table->Entries) {
            if (entry.count < 0 || entry.count > kLineCodes) __builtin_trap();
            for (int32_t i = entry.count; i < kLineCodes; ++i)
                if (entry.codes[i] != 0) __builtin_trap();
        }
    }

    if (!ReadLineFileBytes(LineFileBytes(table->Lines()), *again)) __builtin_trap();
    bool ended = false;
    for (int32_t k = 0; k < PresetTable::kUsed; ++k) {
        ended = ended || table->Entries[k].count == 0;
        if (ended ? again->Entries[k].count != 0 : !SameEntry(table->Entries[k], again->Entries[k])) __builtin_trap();
    }
    return 0;
}
