#include "appearance/trace_fonts_win32.h"

namespace {

constexpr int kSmallFontHeight = 10;
constexpr int kLargeFontHeight = 18;
constexpr wchar_t kTraceFace[] = L"\xFF2D\xFF33\xFF30\x30B4\x30B7\x30C3\x30AF";  // ＭＳＰゴシック

// Japanese-capable fixed-pitch faces to fall back on where the named one is
// not installed (Wine, non-Japanese Windows).
constexpr const wchar_t* kFallbackFaces[] = {L"MS Gothic", L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF", L"IPAGothic",
                                            L"Noto Sans Mono CJK JP", L"Courier New"};

CanvasFonts fonts;
TraceMetrics metrics;

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

const wchar_t* TraceFace(HDC dc) {
    if (FaceInstalled(dc, kTraceFace)) return kTraceFace;
    for (const wchar_t* face : kFallbackFaces)
        if (FaceInstalled(dc, face)) return face;
    return kTraceFace;  // the font mapper picks the closest
}

HFONT MakeFont(int height, const wchar_t* face) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, face);
}

SIZE Extent(HDC dc, HFONT font, const wchar_t* text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    return size;
}

}  // namespace

void CreateTraceFonts(HWND mainWindow) {
    HDC dc = GetDC(mainWindow);
    const wchar_t* face = TraceFace(dc);
    fonts.small = MakeFont(kSmallFontHeight, face);
    fonts.large = MakeFont(kLargeFontHeight, face);
    SIZE smallW = Extent(dc, fonts.small, L"W");
    SIZE largeW = Extent(dc, fonts.large, L"W");
    metrics = {smallW.cy, largeW.cx, largeW.cy, Extent(dc, fonts.large, L"SEND:").cx};
    ReleaseDC(mainWindow, dc);
}

const CanvasFonts& TraceFonts() { return fonts; }

const TraceMetrics& TraceFontMetrics() { return metrics; }

void DeleteTraceFonts() {
    if (fonts.small) DeleteObject(fonts.small);
    if (fonts.large) DeleteObject(fonts.large);
    fonts = {};
}
