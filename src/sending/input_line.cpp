#include "sending/input_line.h"

#include <algorithm>

#include "common/control_mnemonic.h"
#include "platform/code_page.h"
#include "sending/line_notation.h"

namespace {

void Append(InputLine& line, char16_t code) {
    if (line.length < kLineCodes) line.codes[line.length++] = code;
}

// Which part of the line area a typed character makes stale. The first
// code of a line and a digit that just became pending are drawn directly
// and need no repaint; otherwise the new code's cell while the view cannot
// have moved, else the whole area.
void NoteRepaint(TypingReport& report, int32_t lengthBefore, bool digitBecamePending) {
    if (lengthBefore == 0 || digitBecamePending) return;
    if (lengthBefore >= kViewStep) {
        report.repaintWhole = true;
        return;
    }
    if (report.repaintFirstCell < 0) report.repaintFirstCell = lengthBefore;
    report.repaintLastCell = std::max(report.repaintLastCell, lengthBefore);
}

char16_t HexRowDigit(uint32_t value) {
    uint32_t digit = u'0' + value;
    if (digit > u'9') digit += 7;
    return static_cast<char16_t>(digit);
}

}  // namespace

void ResetEntryState(InputLine& line) {
    line.entryMode = kAscEntry;
    line.viewStart = 0;
    line.viewPinned = 0;
}

void ClearInputLine(InputLine& line) {
    std::fill(std::begin(line.codes), std::end(line.codes), u'\0');
    line.length = 0;
}

void DeleteLastCode(InputLine& line) {
    if (line.length < 1) return;
    line.codes[--line.length] = 0;
}

void SetEntryMode(InputLine& line, Notation notation) {
    line.entryMode = notation == Notation::Asc ? kAscEntry : kHexEntry;
}

void ScrollView(InputLine& line, ScrollDirection direction) {
    if (direction == ScrollDirection::Back)
        line.viewStart = std::max(line.viewStart - kViewStep, 0);
    else
        line.viewStart = std::min(line.viewStart + kViewStep, kLastViewStart);
    line.viewPinned = 1;
}

int32_t AutomaticViewStart(int32_t length) {
    if (length < kVisibleCells) return 0;
    return std::min(kViewStep * (length / kViewStep) - kViewStep, kLastViewStart);
}

int32_t TakeViewStart(InputLine& line) {
    if (!line.viewPinned) line.viewStart = AutomaticViewStart(line.length);
    line.viewPinned = 0;
    return line.viewStart;
}

int32_t TypingViewStart(const InputLine& line, int32_t index) {
    return line.viewPinned ? line.viewStart : AutomaticViewStart(index);
}

TypingReport TakeTypedText(InputLine& line, std::u16string_view text) {
    TypingReport report;
    report.firstNewCode = line.length;
    if (text.empty() || line.length >= kLineCodes) return report;
    for (char16_t c : text) {
        int32_t lengthBefore = line.length;
        bool becamePending = false;
        switch (line.entryMode) {
        case kAscEntry:
            Append(line, c);
            break;
        case kHexEntry:
            line.pendingDigits[0] = c;
            line.entryMode = kHexDigitPending;
            becamePending = true;
            break;
        default:
            line.pendingDigits[1] = c;
            Append(line, static_cast<char16_t>(ParseHexPair(line.pendingDigits[0], c) & 0xFF));
            std::fill(std::begin(line.pendingDigits), std::end(line.pendingDigits), u'\0');
            line.entryMode = kHexEntry;
            break;
        }
        NoteRepaint(report, lengthBefore, becamePending);
    }
    report.newCodes = line.length - report.firstNewCode;
    report.pendingDigitShown = line.entryMode == kHexDigitPending;
    return report;
}

int32_t ConvertLineToBytes(const char16_t* codes, int32_t count, uint8_t (&bytes)[kLineCodes]) {
    count = codes ? std::clamp(count, 0, kLineCodes) : 0;
    for (int32_t i = 0; i < count; ++i)
        bytes[i] = codes[i] < 256 ? static_cast<uint8_t>(codes[i]) : CodeToAnsiByte(codes[i]);
    return count;
}

CellTexts CellTextsOf(char16_t code) {
    CellTexts texts{};
    if (code < 256) {
        texts.characterLength = ControlMnemonic(static_cast<uint8_t>(code), texts.character);
    } else {
        texts.character[0] = code;
        texts.characterLength = 1;
    }
    // For codes of 256 and more the first character is no hex digit: it
    // stands for bits 4 and up, and only the second digit is exact.
    texts.hex[0] = HexRowDigit(static_cast<uint32_t>(code) >> 4);
    texts.hex[1] = HexRowDigit(code & 15u);
    return texts;
}

void BuildCellTexts(const char16_t* codes, int32_t count, LineCellTexts& texts) {
    texts.characterCount = 0;
    texts.hexCount = 0;
    count = codes ? std::clamp(count, 0, kLineCodes) : 0;
    for (int32_t i = 0; i < count; ++i) {
        CellTexts cell = CellTextsOf(codes[i]);
        for (int32_t k = 0; k < cell.characterLength; ++k) texts.characters[texts.characterCount++] = cell.character[k];
        texts.hex[texts.hexCount++] = cell.hex[0];
        texts.hex[texts.hexCount++] = cell.hex[1];
    }
}
