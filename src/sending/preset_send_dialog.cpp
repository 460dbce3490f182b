#include "sending/preset_send_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "resources/sending_ids.h"
#include "sending/line_file.h"
#include "sending/send_history.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_PS_HEADING, kTextPresets},       {IDC_PS_ROW_SEND, kTextSend},     {IDC_PS_ROW_SEND + 1, kTextSend},
    {IDC_PS_ROW_SEND + 2, kTextSend},     {IDC_PS_ROW_SEND + 3, kTextSend}, {IDC_PS_ROW_SEND + 4, kTextSend},
    {IDC_PS_ROW_SEND + 5, kTextSend},     {IDC_PS_ROW_SEND + 6, kTextSend}, {IDC_PS_ROW_SEND + 7, kTextSend},
    {IDC_PS_ROW_SEND + 8, kTextSend},     {IDC_PS_ROW_SEND + 9, kTextSend}, {IDC_PS_PAGE_BACK, kTextPreviousPage},
    {IDC_PS_PAGE_FORWARD, kTextNextPage}, {IDC_PS_RELOAD, kTextReload},     {IDC_PS_LOAD_OTHER, kTextLoadFile},
    {IDC_PS_DEST_LABEL, kTextSendTo},     {IDC_PS_REFRESH, kTextRefresh},   {IDC_PS_CLOSE, kTextSendDialogClose},
};
constexpr int kBottomControls[] = {IDC_PS_FOLD,       IDC_PS_PAGE_BACK,   IDC_PS_PAGE_FORWARD, IDC_PS_RELOAD,
                                   IDC_PS_LOAD_OTHER, IDC_PS_DESTINATION, IDC_PS_REFRESH,      IDC_PS_CLOSE};

SendingDialogs& Sending(HWND dialog) { return DialogContext<SendingDialogs>(dialog); }
SendingDialogs::PresetSendPlace& Place(HWND dialog) { return Sending(dialog).PresetSend; }
PresetTable& Presets(HWND dialog) { return Sending(dialog).Presets; }

// The number and send button of a row sit left of its cells.
void PlaceControls(HWND dialog) {
    int pitch = SendingGridMetrics().RowPitch();
    for (int k = 0; k < kPresetRows; ++k) {
        int rowTop = kPresetSendRows.numberTop + pitch * k;
        PlaceControl(dialog, IDC_PS_ROW_NUMBER + k, 2, rowTop, 36, 14);
        PlaceControl(dialog, IDC_PS_ROW_SEND + k, 2, rowTop + 16, 36, pitch - 20);
    }
    int bottom = kPresetSendRows.numberTop + pitch * kPresetRows + 8;
    for (int id : kBottomControls) SetControlTop(dialog, id, bottom);
    SetControlTop(dialog, IDC_PS_DEST_LABEL, bottom + 4);
}

void Repaint(HWND dialog) { InvalidateRect(dialog, nullptr, TRUE); }

void LoadPresets(HWND dialog) { LoadPresetFile(dialog, kPresetFileName, true, Presets(dialog)); }

void OnInit(HWND dialog) {
    SendingDialogs& sending = Sending(dialog);
    SendingDialogs::PresetSendPlace& place = sending.PresetSend;
    ApplyDialogTexts(dialog, kTextSendPresets, kTexts);
    PlaceControls(dialog);
    place.pageStart = 0;
    FillDestinationBox(dialog, *sending.Connection);
    LoadPresets(dialog);
    place.open = true;
    place.fullSize = WindowSizeOf(dialog);
    if (sending.Settings->PresetSendFolded == 1) ResizeDialog(dialog, PresetSendOpeningFoldedSize(place.fullSize));
}

void Close(HWND dialog) {
    Place(dialog).open = false;
    EndDialog(dialog, kDialogClosed);
}

void SendRow(HWND dialog, int row) {
    SendingDialogs& sending = Sending(dialog);
    if (!CheckSendDestination(dialog, *sending.Connection)) return;
    const LineEntry& entry = sending.Presets.Entries[sending.PresetSend.pageStart + row];
    SendLineFromDialog(*sending.Connection, *sending.Trace, sending.History, entry.codes, entry.count,
                       DestinationBoxText(dialog));
}

void TurnPresetPage(HWND dialog, bool forward) {
    int32_t& pageStart = Place(dialog).pageStart;
    pageStart = TurnPage(pageStart, kPresetRows, PresetTable::kUsed, forward);
    SetRowNumberCaptions(dialog, IDC_PS_ROW_NUMBER, kPresetRows, pageStart, -1);
    Repaint(dialog);
}

void LoadOtherFile(HWND dialog) {
    char16_t (&loadPath)[kLineFilePathCapacity] = Place(dialog).loadPath;
    loadPath[0] = u'\0';
    if (ChooseLineFile(dialog, loadPath, false))
        LoadPresetFile(dialog, std::u16string_view(loadPath), false, Presets(dialog));
    Repaint(dialog);
}

void ToggleFold(HWND dialog) {
    FoldStep step = TogglePresetSendFold(WindowSizeOf(dialog), Place(dialog).fullSize);
    Sending(dialog).Settings->PresetSendFolded = step.folded;
    ResizeDialog(dialog, step.size);
}

bool OnCommand(HWND dialog, int id, int) {
    if (id >= IDC_PS_ROW_SEND && id < IDC_PS_ROW_SEND + kPresetRows) {
        SendRow(dialog, id - IDC_PS_ROW_SEND);
        return true;
    }
    switch (id) {
    case IDC_PS_PAGE_BACK: TurnPresetPage(dialog, false); return true;
    case IDC_PS_PAGE_FORWARD: TurnPresetPage(dialog, true); return true;
    case IDC_PS_RELOAD:
        LoadPresets(dialog);
        Repaint(dialog);
        return true;
    case IDC_PS_LOAD_OTHER: LoadOtherFile(dialog); return true;
    case IDC_PS_REFRESH: FillDestinationBox(dialog, *Sending(dialog).Connection); return true;
    case IDC_PS_FOLD: ToggleFold(dialog); return true;
    case IDC_PS_CLOSE:
    case IDCANCEL: Close(dialog); return true;
    default: return false;
    }
}

void Paint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    {
        GdiCanvas canvas = SendingCanvas(dc);
        PaintStoredRows(canvas, SendingGridMetrics(),
                        PageOfLines(Presets(dialog).Lines(), Place(dialog).pageStart, kPresetRows), kPresetSendRows);
    }
    EndPaint(dialog, &ps);
}

bool OnOther(HWND dialog, UINT message, WPARAM, LPARAM, INT_PTR& result) {
    if (message != WM_PAINT) return false;
    Paint(dialog);
    result = TRUE;
    return true;
}

}  // namespace

void OpenPresetSendDialog(HWND mainWindow, SendingDialogs& sending) {
    if (sending.PresetSend.open) return;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther, &sending};
    RunModalDialog(mainWindow, IDD_PRESET_SEND, handlers);
    sending.PresetSend.open = false;
}
