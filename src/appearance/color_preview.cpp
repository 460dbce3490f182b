#include "appearance/color_preview.h"

#include <string>

#include "platform/text.h"

namespace {

constexpr int kCellWidth = 18;
constexpr int kCellHeight = 18;
constexpr int kGridLeft = 50;
constexpr int kGridRight = 590;
constexpr int kGridColumns = (kGridRight - kGridLeft) / kCellWidth;  // 30

// One half (READ or SEND) of the mock trace line.
struct TraceHalf {
    int numberY;     // address octets and the end mark
    int characterY;  // top of the character row; the hex row follows
};
constexpr TraceHalf kRead = {80, 90};
constexpr TraceHalf kSend = {132, 142};
constexpr int kStampY = 126;

constexpr int kInputLeft = 55;
constexpr int kInputRight = 590;
constexpr int kInputNumberY = 230;
constexpr int kInputCharacterY = 240;

int CellX(int column) { return kGridLeft + column * kCellWidth; }

void FramedRect(Canvas& c, int left, int top, int right, int bottom, int fillSlot) {
    c.Rect(left, top, right, bottom, fillSlot);
    c.Line(left, top, right - 1, top, kPreviewFrameLine);
    c.Line(right - 1, top, right - 1, bottom - 1, kPreviewFrameLine);
    c.Line(right - 1, bottom - 1, left, bottom - 1, kPreviewFrameLine);
    c.Line(left, bottom - 1, left, top, kPreviewFrameLine);
}

void Label(Canvas& c, int x, int y, std::u16string_view text) {
    c.Text(x, y, text, CanvasFont::Default, kPreviewFrameLine, kTransparent);
}

// The alternating cell backgrounds: ASCII slot 3 then 2, HEX slot 5 then 4.
int AscBack(int column) { return column % 2 == 0 ? kAscBack2 : kAscBack1; }
int HexBack(int column) { return column % 2 == 0 ? kHexBack2 : kHexBack1; }

void CellBands(Canvas& c, int left, int right, int characterY) {
    for (int x = left, column = 0; x + kCellWidth <= right; x += kCellWidth, ++column) {
        c.Rect(x, characterY, x + kCellWidth, characterY + kCellHeight, AscBack(column));
        c.Rect(x, characterY + kCellHeight, x + kCellWidth, characterY + 2 * kCellHeight, HexBack(column));
    }
}

void Octets(Canvas& c, int firstColumn, int y, int slot) {
    static constexpr int kSampleAddress[4] = {192, 168, 0, 10};
    for (int i = 0; i < 4; ++i) {
        char16_t digits[8];
        FormatText(digits, u"%03d", {kSampleAddress[i]});
        c.Text(CellX(firstColumn + i), y, TextView(digits), CanvasFont::Small, slot, kTransparent);
    }
}

// Two-character pieces along the stamp line ("< Open >", "t=0012").
void StampPieces(Canvas& c, int firstColumn, std::u16string_view text, int slot) {
    for (size_t i = 0; i * 2 < text.size(); ++i)
        c.Text(CellX(firstColumn + static_cast<int>(i)), kStampY, text.substr(i * 2, 2), CanvasFont::Large, slot,
               kTransparent);
}

struct SampleByte {
    std::u16string_view character;
    std::u16string_view hex;
};

void DataCells(Canvas& c, int firstColumn, const TraceHalf& half, std::initializer_list<SampleByte> bytes) {
    int column = firstColumn;
    for (const SampleByte& b : bytes) {
        int x = CellX(column++);
        int characterX = b.character.size() == 1 ? x + kCellWidth / 4 : x;
        c.Text(characterX, half.characterY, b.character, CanvasFont::Large, kDataText, kTransparent);
        c.Text(x, half.characterY + kCellHeight, b.hex, CanvasFont::Large, kDataText, kTransparent);
    }
}

void EndMark(Canvas& c, const TraceHalf& half) {
    c.Text(CellX(kGridColumns - 1), half.numberY, u"EOF", CanvasFont::Small, kEofText, kEofBack);
}

void DrawWindowMock(Canvas& c) {
    FramedRect(c, 5, 40, 600, 71, kPreviewFrameFill);
    Label(c, 270, 45, u"Tital Ber");
    FramedRect(c, 5, 70, 600, 371, kPreviewFrameFill);
    Label(c, 5, 94, u"READ:");
    Label(c, 5, 144, u"SEND:");
    c.Line(5, 182, 600, 182, kPreviewFrameLine);
    c.Line(5, 183, 600, 183, kPreviewFrameLine);
    CellBands(c, kGridLeft, kGridRight, kRead.characterY);
    CellBands(c, kGridLeft, kGridRight, kSend.characterY);
    // A client opens, sends "OK0\r", gets "AT\r" and closes.
    Octets(c, 0, kRead.numberY, kOpenCloseText);
    StampPieces(c, 0, u"< Open >", kOpenCloseText);
    Octets(c, 4, kRead.numberY, kAddressText);
    DataCells(c, 8, kRead, {{u"O", u"4F"}, {u"K", u"4B"}, {u"0", u"30"}, {u"CR", u"0D"}});
    StampPieces(c, 12, u"t=0012", kStampText);
    Octets(c, 15, kSend.numberY, kAddressText);
    DataCells(c, 19, kSend, {{u"A", u"41"}, {u"T", u"54"}, {u"CR", u"0D"}});
    StampPieces(c, 22, u"t=0014", kStampText);
    Octets(c, 25, kRead.numberY, kOpenCloseText);
    StampPieces(c, 25, u"< Close>", kOpenCloseText);
    EndMark(c, kRead);
    EndMark(c, kSend);
}

void DrawInputDialogMock(Canvas& c, bool japanese) {
    FramedRect(c, 10, 200, 590, 221, kPreviewFrameFill);
    Label(c, 230, 202, u"Input SEND Dialog");
    FramedRect(c, 10, 220, 590, 281, kDialogBack);
    for (int x = kInputLeft, number = 1; x + kCellWidth <= kInputRight; x += kCellWidth, ++number) {
        char16_t digits[8];
        FormatText(digits, u"%03d", {number});
        c.Text(x, kInputNumberY, TextView(digits), CanvasFont::Small, kTextColor, kTransparent);
    }
    CellBands(c, kInputLeft, kInputRight, kInputCharacterY);
    c.Text(15, 242, japanese ? u"ASC文字" : u"ASCchar", CanvasFont::Default, kAscHexText, kAscHexBack);
    c.Text(15, 262, japanese ? u"HEX文字" : u"HEXchar", CanvasFont::Default, kAscHexText, kTransparent);
}

void DrawStatusBarMock(Canvas& c) {
    FramedRect(c, 5, 330, 600, 391, kPreviewFrameFill);
    Label(c, 255, 332, u"CLOSE");
    static constexpr struct {
        int slot;
        int top;
        std::u16string_view text;
    } kStates[] = {
        {kStatusTipClient, 350, u"TIP Client Open"},
        {kStatusTipServer, 370, u"TIP Server Open"},
        {kStatusUdpClient, 390, u"UDP Client Open"},
        {kStatusUdpServer, 410, u"UDP Server Open"},
    };
    for (const auto& state : kStates) {
        FramedRect(c, 5, state.top, 600, state.top + 21, state.slot);
        c.Text(255, state.top + 3, state.text, CanvasFont::Default, kTextColor, kTransparent);
    }
}

}  // namespace

void PreviewSlotColors(const Rgb* set, bool dark, uint32_t (&colors)[kPreviewSlots]) {
    for (int slot = 0; slot < kColorSlots; ++slot) colors[slot] = ColorValue(set[slot]);
    constexpr Rgb kBlack = {0, 0, 0}, kWhite = {255, 255, 255};
    colors[kPreviewFrameLine] = ColorValue(dark ? kWhite : kBlack);
    colors[kPreviewFrameFill] = ColorValue(dark ? kBlack : kWhite);
}

void DrawColorPreview(Canvas& canvas, bool japanese) {
    DrawWindowMock(canvas);
    DrawInputDialogMock(canvas, japanese);
    DrawStatusBarMock(canvas);
}
