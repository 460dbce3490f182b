// Fuzzes reading line files: any bytes load without overrunning the table,
// and a table that was read saves to a file that reads back the same, as long
// as each saved line fits the reader's line length.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sending/line_entry.h"
#include "sending/line_file_format.h"
#include "sending/line_notation.h"

namespace {

bool SameEntry(const LineEntry& a, const LineEntry& b) {
    if (a.count != b.count) return false;
    for (int32_t i = 0; i < kLineCodes; ++i)
        if (a.codes[i] != b.codes[i]) return false;
    return true;
}

// Whether every line up to the first empty one is short enough to be read back.
bool LinesFit(const PresetTable& table) {
    for (const LineEntry& entry : table.Lines()) {
        if (entry.count == 0) return true;
        std::u16string text;
        AppendLineNotation(entry.codes, entry.count, text);
        if (text.size() + 2 > static_cast<size_t>(kLineFileLineChars)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto table = std::make_unique<PresetTable>();
    static auto again = std::make_unique<PresetTable>();
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

    if (!LinesFit(*table)) return 0;
    if (!ReadLineFileBytes(LineFileBytes(table->Lines()), *again)) __builtin_trap();
    bool ended = false;
    for (int32_t k = 0; k < PresetTable::kUsed; ++k) {
        ended = ended || table->Entries[k].count == 0;
        if (ended ? again->Entries[k].count != 0 : !SameEntry(table->Entries[k], again->Entries[k])) __builtin_trap();
    }
    return 0;
}
