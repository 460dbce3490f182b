#include "nettools/connect_log.h"

#include <algorithm>

#include "common/program_context.h"
#include "common/text_table.h"
#include "nettools/address_columns.h"
#include "nettools/run_as_administrator.h"
#include "platform/files.h"
#include "platform/ipv4_address.h"
#include "platform/launcher.h"
#include "platform/text.h"

namespace {

constexpr int kMostNumbers = 16;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The numbers that end within the first bytes of a line. Before the first
// digit anything is passed over; from it on every non-digit ends a number,
// so two non-digits in a row give an empty number, 0. The line is padded
// with zero bytes, which end numbers like any other non-digit.
int ScanNumbers(std::string_view line, int32_t (&numbers)[kMostNumbers]) {
    int count = 0;
    bool started = false;
    uint32_t value = 0;  // wraps like a typed number instead of overflowing
    for (size_t i = 0; i < kConnectLogWindow; ++i) {
        char c = i < line.size() ? line[i] : '\0';
        if (IsDigit(c)) {
            started = true;
            value = value * 10u + static_cast<uint32_t>(c - '0');
        } else if (started) {
            if (count < kMostNumbers) numbers[count++] = static_cast<int32_t>(value);
            value = 0;
        }
    }
    return count;
}

// The next line from at: up to a carriage return and line feed (not part of
// the line), kConnectLogLineBytes bytes, or the end of the bytes.
std::string_view NextLine(std::string_view bytes, size_t& at, bool& last) {
    size_t start = at;
    size_t length = 0;
    while (true) {
        if (at >= bytes.size()) {
            last = true;
            return bytes.substr(start, length);
        }
        char c = bytes[at++];
        ++length;
        if (c == '\n' && length >= 2 && bytes[at - 2] == '\r') return bytes.substr(start, length - 2);
        if (length == kConnectLogLineBytes) return bytes.substr(start, length);
    }
}

}  // namespace

void StartConnectBatch(WindowHandle owner, bool asAdministrator) {
    std::u16string_view folder = TextView(g_Program.Directory);
    SetWorkingDirectory(folder);
    std::u16string path = ProgramFilePath(kConnectBatchName);
    if (asAdministrator) RunAsAdministrator(owner, path);
    else CurrentLauncher().Open(owner, path, u"", folder);  // a missing file is not reported
}

std::vector<std::u16string> ParseConnectLog(std::string_view bytes) {
    std::vector<std::u16string> entries;
    size_t at = 0;
    bool last = false;
    for (int n = 0; n < kConnectLogLines && !last; ++n) {
        std::string_view line = NextLine(bytes, at, last);
        int32_t numbers[kMostNumbers];
        if (ScanNumbers(line, numbers) < 4) continue;
        const int32_t address[4] = {numbers[0], numbers[1], numbers[2], numbers[3]};
        std::u16string entry = u"IP=" + Utf8ToUtf16(DottedText(address));
        if (std::find(entries.begin(), entries.end(), entry) == entries.end()) entries.push_back(std::move(entry));
    }
    return entries;
}

bool ReadConnectLog(WindowHandle owner, std::vector<std::u16string>& entries) {
    entries.clear();
    SetWorkingDirectory(TextView(g_Program.Directory));
    std::string bytes;
    bool closeFailed = false;
    FileReadResult read = ReadFileHead(ProgramFilePath(kConnectLogName), bytes, kConnectLogReadLimit,
                                       kFileHeadExclusive | kFileHeadCreateMissing, &closeFailed);
    if (read != FileReadResult::Ok) {
        ShowAppMessage(owner, kTextCannotOpenFile, kAppMessageOk, u"File Error");
        return false;
    }
    entries = ParseConnectLog(bytes);
    if (closeFailed) ShowMessageBox(owner, u"CloseHandle-errer", u"log.txt", kMbOk);
    return true;
}

void TakeConnectAddress(std::u16string_view entry, int32_t (&octets)[4]) {
    TakeOctetColumns(entry, u". ", true, octets);
}
