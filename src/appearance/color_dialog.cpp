#include "appearance/color_dialog.h"

#include <commdlg.h>

#include "appearance/color_editing.h"
#include "appearance/color_preview.h"
#include "appearance/dark_mode.h"
#include "appearance/modal_dialog_win32.h"
#include "appearance/trace_fonts_win32.h"
#include "common/program_context.h"
#include "common/dialog_texts_win32.h"
#include "platform/gdi_canvas_win32.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kComponentCapacity = 32;  // 31 characters and the end

// The sets being edited and the chooser's custom colors, while it is open.
struct ColorDialogState {
    ColorWorkingSets working;
    COLORREF customColors[16] = {};
};
ColorDialogState& State(HWND dialog) { return DialogContext<ColorDialogState>(dialog); }
ColorWorkingSets& Working(HWND dialog) { return State(dialog).working; }

bool Japanese() { return g_Program.Language == kJapanese; }

int EditId(int row, int component) { return IDC_COLOR_FIRST_EDIT + 3 * row + component; }

void FillRows(HWND dialog) {
    const Rgb* set = Working(dialog).Shown();
    for (int row = 0; row < kColorRows; ++row) {
        const Rgb& c = set[kColorRowTable[row].slot];
        SetDlgItemInt(dialog, EditId(row, 0), c.r, FALSE);
        SetDlgItemInt(dialog, EditId(row, 1), c.g, FALSE);
        SetDlgItemInt(dialog, EditId(row, 2), c.b, FALSE);
    }
}

void RepaintPreview(HWND dialog) {
    InvalidateRect(dialog, nullptr, TRUE);
    UpdateWindow(dialog);
}

void Refresh(HWND dialog) {
    FillRows(dialog);
    RepaintPreview(dialog);
}

void SetTexts(HWND dialog) {
    const bool j = Japanese();
    SetWindowTextW(dialog, j ? L"色設定" : L"Color setting");
    SetDlgItemTextW(dialog, IDC_COLOR_CANCEL, j ? L"キャンセルして閉じる" : L"Cancel and close");
    SetDlgItemTextW(dialog, IDC_COLOR_REWRITE, j ? L"書き換えて閉じる" : L"Rewrite and close");
    SetDlgItemTextW(dialog, IDC_COLOR_SET, j ? L"色をセット" : L"Set Color");
    for (int row = 0; row < kColorRows; ++row) {
        SetDlgItemTextW(dialog, IDC_COLOR_FIRST_LABEL + row, ToWideString(kColorRowTable[row].label).c_str());
        SetDlgItemTextW(dialog, IDC_COLOR_FIRST_BUTTON + row, j ? L"色" : L"color");
    }
}

void OnInit(HWND dialog) {
    ColorDialogState& state = State(dialog);
    ColorWorkingSets& working = state.working;
    working = CopyForEditing(g_Colors, g_Appearance.DarkMode);
    uint32_t custom[16];
    InitialCustomColors(working, custom);
    for (int i = 0; i < 16; ++i) state.customColors[i] = custom[i];
    CheckRadioButton(dialog, IDC_COLOR_LIGHT_RADIO, IDC_COLOR_DARK_RADIO,
                     working.ShowDark ? IDC_COLOR_DARK_RADIO : IDC_COLOR_LIGHT_RADIO);
    FillRows(dialog);
    SetTexts(dialog);
}

void OnModeChosen(HWND dialog) {
    Working(dialog).ShowDark = IsDlgButtonChecked(dialog, IDC_COLOR_DARK_RADIO) == BST_CHECKED;
    Refresh(dialog);
}

void ChooseRowColor(HWND dialog, int row) {
    Rgb& slot = Working(dialog).Shown()[kColorRowTable[row].slot];
    CHOOSECOLORW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    choice.rgbResult = ColorValue(slot);
    choice.lpCustColors = State(dialog).customColors;
    choice.Flags = CC_RGBINIT;
    if (ChooseColorW(&choice))
        slot = {GetRValue(choice.rgbResult), GetGValue(choice.rgbResult), GetBValue(choice.rgbResult)};
    SetFocus(dialog);
    Refresh(dialog);
}

void SetTypedColors(HWND dialog) {
    Rgb* set = Working(dialog).Shown();
    for (int row = 0; row < kColorRows; ++row) {
        Rgb& c = set[kColorRowTable[row].slot];
        c.r = ColorComponentFromText(DialogItemText(dialog, EditId(row, 0), kComponentCapacity));
        c.g = ColorComponentFromText(DialogItemText(dialog, EditId(row, 1), kComponentCapacity));
        c.b = ColorComponentFromText(DialogItemText(dialog, EditId(row, 2), kComponentCapacity));
    }
    RepaintPreview(dialog);  // the boxes keep what the user typed
}

void RewriteAndClose(HWND dialog) {
    ApplyEditedColors(Working(dialog), g_Colors);
    SaveColorScheme(g_Colors);
    EndDialog(dialog, IDC_COLOR_REWRITE);
}

bool OnCommand(HWND dialog, int id, int notification) {
    if (id >= IDC_COLOR_FIRST_BUTTON && id < IDC_COLOR_FIRST_BUTTON + kColorRows) {
        ChooseRowColor(dialog, id - IDC_COLOR_FIRST_BUTTON);
        return true;
    }
    switch (id) {
    case IDC_COLOR_LIGHT_RADIO:
    case IDC_COLOR_DARK_RADIO:
        if (notification == BN_CLICKED) OnModeChosen(dialog);
        return true;
    case IDC_COLOR_SET: SetTypedColors(dialog); return true;
    case IDC_COLOR_REWRITE: RewriteAndClose(dialog); return true;
    case IDC_COLOR_CANCEL: EndDialog(dialog, IDC_COLOR_CANCEL); return true;
    default: return false;
    }
}

void PaintPreview(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    uint32_t colors[kPreviewSlots];
    const ColorWorkingSets& working = Working(dialog);
    PreviewSlotColors(working.Shown(), working.ShowDark, colors);
    // The labels in the dialog's own font rather than the system font.
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    {
        GdiCanvas canvas(dc, TraceFonts(), colors, kPreviewSlots);
        DrawColorPreview(canvas, Japanese());
    }
    SelectObject(dc, oldFont);
    EndPaint(dialog, &ps);
}

bool OnOther(HWND dialog, UINT message, WPARAM, LPARAM, INT_PTR& result) {
    if (message != WM_PAINT) return false;
    PaintPreview(dialog);
    result = 0;
    return true;
}

}  // namespace

void ShowColorDialog(HWND owner) {
    ColorDialogState state;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther, &state};
    RunModalDialog(owner, IDD_COLOR_SETTING, handlers);
}
