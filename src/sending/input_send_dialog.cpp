#include "sending/input_send_dialog.h"

#include <iterator>

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "common/text_table.h"
#include "platform/text.h"
#include "resources/sending_ids.h"
#include "sending/line_file.h"
#include "sending/send_history.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_IS_MODE_LABEL, kTextInputMode},  {IDC_IS_DEST_LABEL, kTextSendTo},      {IDC_IS_SEND, kTextSend},
    {IDC_IS_CLOSE, kTextSendDialogClose}, {IDC_IS_PAGE_BACK, kTextPreviousPage}, {IDC_IS_PAGE_FORWARD, kTextNextPage},
    {IDC_IS_REFRESH, kTextRefresh},
};
constexpr int kInputRowControls[] = {IDC_IS_VIEW_BACK, IDC_IS_VIEW_FORWARD, IDC_IS_ASC,  IDC_IS_HEX,
                                     IDC_IS_CLEAR,     IDC_IS_BACKSPACE,    IDC_IS_FOLD, IDC_IS_SEND,
                                     IDC_IS_DESTINATION, IDC_IS_REFRESH};
constexpr int kInputRowLabels[] = {IDC_IS_MODE_LABEL, IDC_IS_DEST_LABEL};
constexpr int kBottomControls[] = {IDC_IS_PAGE_BACK, IDC_IS_PAGE_FORWARD, IDC_IS_DELETE_ALL, IDC_IS_SAVE,
                                   IDC_IS_CLOSE};
constexpr int kHistoryLeft = 5;
constexpr int kHistoryHeadingTop = 130;

SendingDialogs& Sending(HWND dialog) { return DialogContext<SendingDialogs>(dialog); }
SendingDialogs::InputSendPlace& Place(HWND dialog) { return Sending(dialog).InputSend; }
InputLine& Line(HWND dialog) { return Sending(dialog).SendLine; }
SendHistory& History(HWND dialog) { return Sending(dialog).History; }

// The row buttons sit left of their rows, which are measured in the grid font.
void PlaceControls(HWND dialog) {
    InputLineMetrics m = SendingGridMetrics();
    int top = InputRowTop();
    for (int id : kInputRowControls) SetControlTop(dialog, id, top);
    for (int id : kInputRowLabels) SetControlTop(dialog, id, top + 4);
    int pitch = m.RowPitch();
    int half = (pitch - 4) / 2;
    for (int k = 0; k < kHistoryRows; ++k) {
        int rowTop = kUnderInputLineRows.numberTop + pitch * k;
        PlaceControl(dialog, IDC_IS_ROW_NUMBER + k, 2, rowTop, 36, half);
        PlaceControl(dialog, IDC_IS_ROW_SEND + k, 2, rowTop + half + 2, 36, half);
    }
    int bottom = kUnderInputLineRows.numberTop + pitch * kHistoryRows + 8;
    for (int id : kBottomControls) SetControlTop(dialog, id, bottom);
}

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextTypeAndSend, kTexts);
    PlaceControls(dialog);
    SendingDialogs& sending = Sending(dialog);
    SendingDialogs::InputSendPlace& place = sending.InputSend;
    CreateTypingArea(dialog, IDC_IS_TYPING, place.typing, sending.SendLine, kSendTypingLimit, IDC_IS_ASC, IDC_IS_HEX);
    FillDestinationBox(dialog, *sending.Connection);
    SetTimer(dialog, kFocusTimer, kFocusPeriodMs, nullptr);
    place.pageStart = 0;
    place.open = true;
    place.fullSize = WindowSizeOf(dialog);
    if (sending.Settings->InputSendFolded == 1) ResizeDialog(dialog, InputSendOpeningFoldedSize(place.fullSize));
}

void Close(HWND dialog) {
    KillTimer(dialog, kFocusTimer);
    Place(dialog).open = false;
    EndDialog(dialog, kDialogClosed);
}

void Repaint(HWND dialog) { InvalidateRect(dialog, nullptr, TRUE); }

void SendCodes(HWND dialog, const char16_t* codes, int32_t count) {
    SendingDialogs& sending = Sending(dialog);
    SendLineFromDialog(*sending.Connection, *sending.Trace, sending.History, codes, count, DestinationBoxText(dialog));
    Repaint(dialog);
}

void SendTypedLine(HWND dialog) {
    if (!CheckSendDestination(dialog, *Sending(dialog).Connection)) return;
    SendCodes(dialog, Line(dialog).codes, Line(dialog).length);
}

void SendHistoryRow(HWND dialog, int row) {
    const LineEntry& entry = History(dialog).Entries[Place(dialog).pageStart + row];
    SendCodes(dialog, entry.codes, entry.count);
}

void TurnHistoryPage(HWND dialog, bool forward) {
    int32_t& pageStart = Place(dialog).pageStart;
    pageStart = TurnPage(pageStart, kHistoryRows, SendHistory::kUsed, forward);
    SetRowNumberCaptions(dialog, IDC_IS_ROW_NUMBER, kHistoryRows, pageStart, -1);
    Repaint(dialog);
}

void DeleteHistoryRow(HWND dialog, int row) {
    if (!AskDeleteConfirmation(dialog)) return;
    DeleteHistoryEntry(History(dialog), Place(dialog).pageStart + row);
    Repaint(dialog);
}

void DeleteWholeHistory(HWND dialog) {
    if (!AskDeleteConfirmation(dialog)) return;
    ClearLineTable(History(dialog));
    Repaint(dialog);
}

void SaveHistory(HWND dialog) {
    char16_t (&savePath)[kLineFilePathCapacity] = Place(dialog).savePath;
    savePath[0] = u'\0';
    if (!ChooseLineFile(dialog, savePath, true)) return;
    SaveLineFile(dialog, std::u16string_view(savePath), History(dialog));
}

void ToggleFold(HWND dialog) {
    FoldStep step = ToggleInputSendFold(WindowSizeOf(dialog), Place(dialog).fullSize);
    Sending(dialog).Settings->InputSendFolded = step.folded;
    ResizeDialog(dialog, step.size);
}


bool OnCommand(HWND dialog, int id, int notification) {
    if (id >= IDC_IS_ROW_NUMBER && id < IDC_IS_ROW_NUMBER + kHistoryRows) {
        DeleteHistoryRow(dialog, id - IDC_IS_ROW_NUMBER);
        return true;
    }
    if (id >= IDC_IS_ROW_SEND && id < IDC_IS_ROW_SEND + kHistoryRows) {
        SendHistoryRow(dialog, id - IDC_IS_ROW_SEND);
        return true;
    }
    switch (id) {
    case IDC_IS_ASC:
    case IDC_IS_HEX:
        if (notification != BN_CLICKED) return true;
        ChooseNotation(dialog, Line(dialog), id == IDC_IS_ASC ? Notation::Asc : Notation::Hex,
                       id == IDC_IS_ASC ? kTextAscInputHelp : kTextHexInputHelp, kTextInputModeCaption);
        return true;
    case IDC_IS_CLEAR: EditTypedLine(dialog, Line(dialog), LineEdit::Clear); return true;
    case IDC_IS_BACKSPACE: EditTypedLine(dialog, Line(dialog), LineEdit::Backspace); return true;
    case IDC_IS_VIEW_BACK: EditTypedLine(dialog, Line(dialog), LineEdit::ViewBack); return true;
    case IDC_IS_VIEW_FORWARD: EditTypedLine(dialog, Line(dialog), LineEdit::ViewForward); return true;
    case IDC_IS_SEND: SendTypedLine(dialog); return true;
    case IDC_IS_REFRESH: FillDestinationBox(dialog, *Sending(dialog).Connection); return true;
    case IDC_IS_PAGE_BACK: TurnHistoryPage(dialog, false); return true;
    case IDC_IS_PAGE_FORWARD: TurnHistoryPage(dialog, true); return true;
    case IDC_IS_DELETE_ALL: DeleteWholeHistory(dialog); return true;
    case IDC_IS_SAVE: SaveHistory(dialog); return true;
    case IDC_IS_FOLD: ToggleFold(dialog); return true;
    case IDC_IS_CLOSE:
    case IDCANCEL: Close(dialog); return true;
    default: return false;
    }
}

void Paint(HWND dialog) {
    PaintEditingDialog(dialog, {IDC_IS_TYPING, Line(dialog), kTextTypeDataToSend, kTextColor, kTextSendHistory,
                                kHistoryLeft, kHistoryHeadingTop,
                                PageOfLines(History(dialog).Lines(), Place(dialog).pageStart, kHistoryRows)});
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    return HandleEditingDialogMessage(dialog, message, wParam, IDC_IS_TYPING, Paint, *Sending(dialog).Settings,
                                      result);
}

}  // namespace

void OpenInputSendDialog(HWND mainWindow, SendingDialogs& sending) {
    if (sending.InputSend.open) return;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther, &sending};
    RunModalDialog(mainWindow, IDD_INPUT_SEND, handlers);
    sending.InputSend.open = false;
}
