#include "sending/preset_edit_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "common/text_table.h"
#include "resources/sending_ids.h"
#include "sending/line_file.h"
#include "sending/preset_edit.h"
#include "sending/sending_dialogs_window.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_PE_MODE_LABEL, kTextInputMode},
    {IDC_PE_ASSEMBLE, kTextAddToList},
    {IDC_PE_PAGE_BACK, kTextPreviousPage},
    {IDC_PE_PAGE_FORWARD, kTextNextPage},
    {IDC_PE_CLOSE, kTextClose},
    {IDC_PE_DELETE_ALL, kTextDeleteAll},
    {IDC_PE_SAVE, kTextSave},
    {IDC_PE_READ, kTextLoad},
};
constexpr int kInputRowControls[] = {IDC_PE_VIEW_BACK, IDC_PE_VIEW_FORWARD, IDC_PE_ASC,      IDC_PE_HEX,
                                     IDC_PE_CLEAR,     IDC_PE_BACKSPACE,    IDC_PE_ASSEMBLE};
constexpr int kBottomControls[] = {IDC_PE_PAGE_BACK,       IDC_PE_PAGE_FORWARD, IDC_PE_MOVE_UP, IDC_PE_MOVE_DOWN,
                                   IDC_PE_DELETE_SELECTED, IDC_PE_DELETE_ALL,   IDC_PE_READ,    IDC_PE_SAVE,
                                   IDC_PE_CLOSE};
constexpr int kListHeadingLeft = 5;
constexpr int kListHeadingTop = 130;

SendingDialogs& Sending(HWND dialog) { return DialogContext<SendingDialogs>(dialog); }
SendingDialogs::PresetEditPlace& Place(HWND dialog) { return Sending(dialog).PresetEdit; }
PresetEditState& List(HWND dialog) { return Place(dialog).list; }
PresetEditTable& Table(HWND dialog) { return Sending(dialog).PresetEdits; }
InputLine& Line(HWND dialog) { return Sending(dialog).EditLine; }

void PlaceControls(HWND dialog) {
    int top = InputRowTop();
    for (int id : kInputRowControls) SetControlTop(dialog, id, top);
    SetControlTop(dialog, IDC_PE_MODE_LABEL, top + 4);
    int pitch = SendingGridMetrics().RowPitch();
    for (int k = 0; k < kPresetRows; ++k)
        PlaceControl(dialog, IDC_PE_ROW_NUMBER + k, 2, kUnderInputLineRows.numberTop + pitch * k + (pitch - 24) / 2,
                     36, 24);
    int bottom = kUnderInputLineRows.numberTop + pitch * kPresetRows + 8;
    for (int id : kBottomControls) SetControlTop(dialog, id, bottom);
}

void Repaint(HWND dialog) { InvalidateRect(dialog, nullptr, TRUE); }

// The number buttons without a marked row, after the selection ended or the page turned.
void RelabelRows(HWND dialog) {
    SetRowNumberCaptions(dialog, IDC_PE_ROW_NUMBER, kPresetRows, List(dialog).PageStart, -1);
}

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextEditPresets, kTexts);
    PlaceControls(dialog);
    CreateTypingArea(dialog, IDC_PE_TYPING, Place(dialog).typing, Line(dialog), kEditTypingLimit, IDC_PE_ASC,
                     IDC_PE_HEX);
    SetTimer(dialog, kFocusTimer, kFocusPeriodMs, nullptr);
    List(dialog) = PresetEditState{};
    Place(dialog).open = true;
}

void Close(HWND dialog) {
    KillTimer(dialog, kFocusTimer);
    Place(dialog).open = false;
    EndDialog(dialog, kDialogClosed);
}

void PressNumber(HWND dialog, int row) {
    int marked = PressRowNumber(List(dialog), row);
    SetRowNumberCaptions(dialog, IDC_PE_ROW_NUMBER, kPresetRows, List(dialog).PageStart, marked);
}

void TurnListPage(HWND dialog, bool forward) {
    List(dialog).PageStart = TurnPage(List(dialog).PageStart, kPresetRows, PresetEditTable::kUsed, forward);
    RelabelRows(dialog);
    Repaint(dialog);
}

void Move(HWND dialog, MoveDirection direction) {
    if (!MoveSelectedEntry(Table(dialog), List(dialog), direction)) return;
    RelabelRows(dialog);
    Repaint(dialog);
}

void DeleteSelected(HWND dialog) {
    if (!HasSelection(List(dialog)) || !AskDeleteConfirmation(dialog)) return;
    DeleteSelectedEntry(Table(dialog), List(dialog));
    RelabelRows(dialog);
    Repaint(dialog);
}

void DeleteAll(HWND dialog) {
    if (!AskDeleteConfirmation(dialog)) return;
    DeleteAllEntries(Table(dialog), List(dialog));
    RelabelRows(dialog);
    Repaint(dialog);
}

void ReadListFile(HWND dialog) {
    char16_t (&filePath)[kLineFilePathCapacity] = Place(dialog).filePath;
    filePath[0] = u'\0';
    if (ChooseLineFile(dialog, filePath, false))
        LoadPresetEditFile(dialog, std::u16string_view(filePath), Table(dialog));
    Repaint(dialog);
}

void SaveFile(HWND dialog) {
    char16_t (&filePath)[kLineFilePathCapacity] = Place(dialog).filePath;
    filePath[0] = u'\0';
    if (!ChooseLineFile(dialog, filePath, true)) return;
    SaveLineFile(dialog, std::u16string_view(filePath), Table(dialog));
}

void Assemble(HWND dialog) {
    AssembleLine(Table(dialog), Line(dialog));
    Repaint(dialog);
}

bool OnCommand(HWND dialog, int id, int notification) {
    if (id >= IDC_PE_ROW_NUMBER && id < IDC_PE_ROW_NUMBER + kPresetRows) {
        PressNumber(dialog, id - IDC_PE_ROW_NUMBER);
        return true;
    }
    switch (id) {
    case IDC_PE_ASC:
    case IDC_PE_HEX:
        if (notification != BN_CLICKED) return true;
        // The text file gives this dialog no mode messages of its own: it
        // shows the IP address dialog's texts, as it always has.
        ChooseNotation(dialog, Line(dialog), id == IDC_PE_ASC ? Notation::Asc : Notation::Hex,
                       id == IDC_PE_ASC ? kTextKeepIdAndPassword : kTextAddIp, kTextAdministratorRights);
        return true;
    case IDC_PE_CLEAR: EditTypedLine(dialog, Line(dialog), LineEdit::Clear); return true;
    case IDC_PE_BACKSPACE: EditTypedLine(dialog, Line(dialog), LineEdit::Backspace); return true;
    case IDC_PE_VIEW_BACK: EditTypedLine(dialog, Line(dialog), LineEdit::ViewBack); return true;
    case IDC_PE_VIEW_FORWARD: EditTypedLine(dialog, Line(dialog), LineEdit::ViewForward); return true;
    case IDC_PE_ASSEMBLE: Assemble(dialog); return true;
    case IDC_PE_PAGE_BACK: TurnListPage(dialog, false); return true;
    case IDC_PE_PAGE_FORWARD: TurnListPage(dialog, true); return true;
    case IDC_PE_MOVE_UP: Move(dialog, MoveDirection::Up); return true;
    case IDC_PE_MOVE_DOWN: Move(dialog, MoveDirection::Down); return true;
    case IDC_PE_DELETE_SELECTED: DeleteSelected(dialog); return true;
    case IDC_PE_DELETE_ALL: DeleteAll(dialog); return true;
    case IDC_PE_READ: ReadListFile(dialog); return true;
    case IDC_PE_SAVE: SaveFile(dialog); return true;
    case IDC_PE_CLOSE:
    case IDCANCEL: Close(dialog); return true;
    default: return false;
    }
}

void Paint(HWND dialog) {
    PaintEditingDialog(dialog, {IDC_PE_TYPING, Line(dialog), kTextTypePresetLine, kAscHexText, kTextPresets,
                                kListHeadingLeft, kListHeadingTop,
                                PageOfLines(Table(dialog).Lines(), List(dialog).PageStart, kPresetRows)});
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    return HandleEditingDialogMessage(dialog, message, wParam, IDC_PE_TYPING, Paint, *Sending(dialog).Settings,
                                      result);
}

}  // namespace

void OpenPresetEditDialog(HWND mainWindow, SendingDialogs& sending) {
    if (sending.PresetEdit.open) return;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther, &sending};
    RunModalDialog(mainWindow, IDD_PRESET_EDIT, handlers);
    sending.PresetEdit.open = false;
}
