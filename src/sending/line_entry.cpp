#include "sending/line_entry.h"

#include <algorithm>

void ClearLineEntry(LineEntry& entry) {
    entry.count = 0;
    std::fill(std::begin(entry.codes), std::end(entry.codes), u'\0');
}

void SetLineEntry(LineEntry& entry, const char16_t* codes, int32_t count) {
    ClearLineEntry(entry);
    if (!codes) return;
    count = std::clamp(count, 0, kLineCodes);
    std::copy(codes, codes + count, entry.codes);
    entry.count = count;
}

std::span<const LineEntry> PageOfLines(std::span<const LineEntry> lines, int32_t first, int32_t rows) {
    size_t start = static_cast<size_t>(std::clamp<int64_t>(first, 0, static_cast<int64_t>(lines.size())));
    size_t n = static_cast<size_t>(std::max(rows, 0));
    return lines.subspan(start, std::min(n, lines.size() - start));
}
