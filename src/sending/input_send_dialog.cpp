#include "sending/input_send_dialog.h"

#include <iterator>

#include "appearance/modal_dialog_win32.h"
#include "common/app_settings.h"
#include "common/dialog_texts_win32.h"
#include "common/text_table.h"
#include "connection/connection_state.h"
#include "platform/text.h"
#include "resources/sending_ids.h"
#include "sending/line_file.h"
#include "sending/send_history.h"
#include "sending/sending_dialogs_window.h"

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

int32_t pageStart = 0;
int32_t dialogOpen = 0;
WindowSize fullSize;
char16_t savePath[kLineFilePathCapacity] = u"";


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
    CreateTypingArea(dialog, IDC_IS_TYPING, g_SendInputLine, kSendTypingLimit, IDC_IS_ASC, IDC_IS_HEX);
    FillDestinationBox(dialog);
    SetTimer(dialog, kFocusTimer, kFocusPeriodMs, nullptr);
    pageStart = 0;
    dialogOpen = 1;
    fullSize = WindowSizeOf(dialog);
    if (g_Settings.InputSendFolded == 1) ResizeDialog(dialog, InputSendOpeningFoldedSize(fullSize));
}

void Close(HWND dialog) {
    KillTimer(dialog, kFocusTimer);
    dialogOpen = 0;
    EndDialog(dialog, kDialogClosed);
}

void Repaint(HWND dialog) { InvalidateRect(dialog, nullptr, TRUE); }

void SendTypedLine(HWND dialog) {
    if (!CheckSendDestination(dialog, g_Settings, g_Connection)) return;
    SendLineFromDialog(g_SendHistory, g_SendInputLine.codes, g_SendInputLine.length, DestinationBoxText(dialog));
    Repaint(dialog);
}

void SendHistoryRow(HWND dialog, int row) {
    const LineEntry& entry = g_SendHistory.Entries[pageStart + row];
    SendLineFromDialog(g_SendHistory, entry.codes, entry.count, DestinationBoxText(dialog));
    Repaint(dialog);
}

void TurnHistoryPage(HWND dialog, bool forward) {
    pageStart = TurnPage(pageStart, kHistoryRows, SendHistory::kUsed, forward);
    SetRowNumberCaptions(dialog, IDC_IS_ROW_NUMBER, kHistoryRows, pageStart, -1);
    Repaint(dialog);
}

void DeleteHistoryRow(HWND dialog, int row) {
    if (!AskDeleteConfirmation(dialog)) return;
    DeleteHistoryEntry(g_SendHistory, pageStart + row);
    Repaint(dialog);
}

void DeleteWholeHistory(HWND dialog) {
    if (!AskDeleteConfirmation(dialog)) return;
    ClearLineTable(g_SendHistory);
    Repaint(dialog);
}

void SaveHistory(HWND dialog) {
    savePath[0] = u'\0';
    if (!ChooseLineFile(dialog, savePath, true)) return;
    SaveLineFile(dialog, std::u16string_view(savePath), g_SendHistory);
}

void ToggleFold(HWND dialog) {
    FoldStep step = ToggleInputSendFold(WindowSizeOf(dialog), fullSize);
    g_Settings.InputSendFolded = step.folded;
    ResizeDialog(dialog, step.size);
}

void EditLine(HWND dialog, int id) {
    switch (id) {
    case IDC_IS_CLEAR: ClearInputLine(g_SendInputLine); InvalidateLineArea(dialog); break;
    case IDC_IS_BACKSPACE:
        DeleteLastCode(g_SendInputLine);
        InvalidatePixels(dialog, BackspaceRepaintArea(SendingGridMetrics(), g_SendInputLine));
        break;
    case IDC_IS_VIEW_BACK: ScrollView(g_SendInputLine, ScrollDirection::Back); Repaint(dialog); break;
    case IDC_IS_VIEW_FORWARD: ScrollView(g_SendInputLine, ScrollDirection::Forward); Repaint(dialog); break;
    }
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
        ChooseNotation(dialog, g_SendInputLine, id == IDC_IS_ASC ? Notation::Asc : Notation::Hex,
                       id == IDC_IS_ASC ? kTextAscInputHelp : kTextHexInputHelp, kTextInputModeCaption);
        return true;
    case IDC_IS_CLEAR:
    case IDC_IS_BACKSPACE:
    case IDC_IS_VIEW_BACK:
    case IDC_IS_VIEW_FORWARD: EditLine(dialog, id); return true;
    case IDC_IS_SEND: SendTypedLine(dialog); return true;
    case IDC_IS_REFRESH: FillDestinationBox(dialog); return true;
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
    PaintEditingDialog(dialog, {IDC_IS_TYPING, g_SendInputLine, kTextTypeDataToSend, kTextColor, kTextSendHistory,
                                kHistoryLeft, kHistoryHeadingTop,
                                PageOfLines(g_SendHistory.Lines(), pageStart, kHistoryRows)});
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    return HandleEditingDialogMessage(dialog, message, wParam, IDC_IS_TYPING, Paint, result);
}

}  // namespace

void OpenInputSendDialog(HWND mainWindow) {
    if (dialogOpen) return;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther};
    RunModalDialog(mainWindow, IDD_INPUT_SEND, handlers);
    dialogOpen = 0;
}
