// A line being composed for sending: up to 256 character codes typed in ASC
// notation (one character, one code) or HEX notation (two characters, one
// code of 0..255). The insertion point is always the end of the line.
//
// Keys reach the line through a small typing box whose whole text is taken
// at every key release (TakeTypedText), so input-method text arrives the same
// way as typed characters.
#pragma once

#include <cstdint>
#include <string_view>

#include "sending/line_entry.h"

constexpr int32_t kVisibleCells = 64;   // cells of the line shown at once
constexpr int32_t kViewStep = 32;       // the view moves by half its width
constexpr int32_t kLastViewStart = kLineCodes - kVisibleCells;  // 192

// How many characters one key release takes from the typing box: the
// input-send dialog reads it into 8 characters, the preset edit dialog into
// 257. Whatever lies beyond is lost, as the box is emptied after each release.
constexpr int32_t kSendTypingLimit = 7;
constexpr int32_t kEditTypingLimit = 256;

enum EntryMode : int32_t {
    kAscEntry = 0,         // every character is a code
    kHexEntry = 1,         // HEX, no digit pending
    kHexDigitPending = 2,  // HEX, the first digit of a pair is held
};

enum class Notation { Asc, Hex };
enum class ScrollDirection { Back, Forward };

struct InputLine {
    char16_t codes[kLineCodes] = {};  // slots at and beyond length hold 0
    int32_t length = 0;
    int32_t entryMode = kAscEntry;
    char16_t pendingDigits[3] = {};   // the held first digit (and briefly the second)
    int32_t viewStart = 0;            // code shown in the first visible cell: 0, 32, ... 192
    int32_t viewPinned = 0;           // 1: the next repaint keeps viewStart (a scroll button was used)
};

// What a dialog does to its line when it opens: ASC notation, automatic view.
// The codes stay.
void ResetEntryState(InputLine& line);

// Empties the line; the notation and a pending digit stay.
void ClearInputLine(InputLine& line);
// Removes the last code (nothing on an empty line); a pending digit stays.
void DeleteLastCode(InputLine& line);
// ASC or HEX; a pending first digit is dropped. Existing codes are kept as they are.
void SetEntryMode(InputLine& line, Notation notation);
// Moves the view by 32 codes within 0..192 and pins it for the next repaint.
void ScrollView(InputLine& line, ScrollDirection direction);

// The view that keeps the end of the line in the second half of the visible
// cells: 0 below 64 codes, then 32 * (length / 32) - 32, at most 192.
int32_t AutomaticViewStart(int32_t length);
// The view a repaint shows: the pinned one once, otherwise the automatic one.
// Stores it in viewStart and unpins.
int32_t TakeViewStart(InputLine& line);
// The view a code appended at this index was drawn in while typing: the one
// for the line as long as the index.
int32_t TypingViewStart(const InputLine& line, int32_t index);

// What one key release changed, for drawing at once and for the repaint.
struct TypingReport {
    int32_t firstNewCode = 0;        // index of the first code appended
    int32_t newCodes = 0;            // codes appended by this release
    bool pendingDigitShown = false;  // a first HEX digit is now held: it is drawn alone
    bool repaintWhole = false;       // repaint the whole line area
    int32_t repaintFirstCell = -1;   // otherwise repaint these cells (absolute
    int32_t repaintLastCell = -1;    // indices, -1 for none)
};

// Takes the typing box's text into the line. Nothing is ever refused with a
// message: characters beyond 256 codes are dropped, and any character takes
// its place in a HEX pair, which is read the way wcstol reads base 16.
TypingReport TakeTypedText(InputLine& line, std::u16string_view text);

// One byte per code: codes below 256 as they are, larger codes through the
// thread's ANSI code page (0 when the character takes more than one byte).
// count is cut to 0..256; returns the number of bytes.
int32_t ConvertLineToBytes(const char16_t* codes, int32_t count, uint8_t (&bytes)[kLineCodes]);

// How one code shows in a grid cell: its character (or the two-letter name of
// a control code) over two hexadecimal digits.
struct CellTexts {
    char16_t character[2];
    int32_t characterLength;  // 1 or 2
    char16_t hex[2];
};
CellTexts CellTextsOf(char16_t code);

// The texts of a run of codes, concatenated row by row.
struct LineCellTexts {
    char16_t characters[2 * kLineCodes];
    int32_t characterCount;
    char16_t hex[2 * kLineCodes];
    int32_t hexCount;  // always 2 per code
};
// count is cut to 0..256.
void BuildCellTexts(const char16_t* codes, int32_t count, LineCellTexts& texts);
