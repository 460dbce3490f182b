#include "sending/preset_edit_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/app_settings.h"
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

int32_t dialogOpen = 0;
char16_t filePath[kLineFilePathCapacity] = u"";


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
    SetRowNumberCaptions(dialog, IDC_PE_ROW_NUMBER, kPresetRows, g_PresetEditState.PageStart, -1);
}

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextEditPresets, kTexts);
    PlaceControls(dialog);
    CreateTypingArea(dialog, IDC_PE_TYPING, g_EditInputLine, kEditTypingLimit, IDC_PE_ASC, IDC_PE_HEX);
    SetTimer(dialog, kFocusTimer, kFocusPeriodMs, nullptr);
    g_PresetEditState = PresetEditState{};
    dialogOpen = 1;
}

void Close(HWND dialog) {
    KillTimer(dialog, kFocusTimer);
    dialogOpen = 0;
    EndDialog(dialog, kDialogClosed);
}

void PressNumber(HWND dialog, int row) {
    int marked = PressRowNumber(g_PresetEditState, row);
    SetRowNumberCaptions(dialog, IDC_PE_ROW_NUMBER, kPresetRows, g_PresetEditState.PageStart, marked);
}

void TurnListPage(HWND dialog, bool forward) {
    g_PresetEditState.PageStart = TurnPage(g_PresetEditState.PageStart, kPresetRows, PresetEditTable::kUsed, forward);
    RelabelRows(dialog);
    Repaint(dialog);
}

void Move(HWND dialog, MoveDirection direction) {
    if (!MoveSelectedEntry(g_PresetEditTable, g_PresetEditState, direction)) return;
    RelabelRows(dialog);
    Repaint(dialog);
}

void DeleteSelected(HWND dialog) {
    if (!HasSelection(g_PresetEditState) || !AskDeleteConfirmation(dialog)) return;
    DeleteSelectedEntry(g_PresetEditTable, g_PresetEditState);
    RelabelRows(dialog);
    Repaint(dialog);
}

void DeleteAll(HWND dialog) {
    if (!AskDeleteConfirmation(dialog)) return;
    DeleteAllEntries(g_PresetEditTable, g_PresetEditState);
    RelabelRows(dialog);
    Repaint(dialog);
}

void ReadListFile(HWND dialog) {
    filePath[0] = u'\0';
    if (ChooseLineFile(dialog, filePath, false))
        LoadPresetEditFile(dialog, std::u16string_view(filePath), g_PresetEditTable);
    Repaint(dialog);
}

void SaveFile(HWND dialog) {
    filePath[0] = u'\0';
    if (!ChooseLineFile(dialog, filePath, true)) return;
    SaveLineFile(dialog, std::u16string_view(filePath), g_PresetEditTable);
}

void Assemble(HWND dialog) {
    AssembleLine(g_PresetEditTable, g_EditInputLine);
    Repaint(dialog);
}

void EditLine(HWND dialog, int id) {
    switch (id) {
    case IDC_PE_CLEAR: ClearInputLine(g_EditInputLine); InvalidateLineArea(dialog); break;
    case IDC_PE_BACKSPACE:
        DeleteLastCode(g_EditInputLine);
        InvalidatePixels(dialog, BackspaceRepaintArea(SendingGridMetrics(), g_EditInputLine));
        break;
    case IDC_PE_VIEW_BACK: ScrollView(g_EditInputLine, ScrollDirection::Back); Repaint(dialog); break;
    case IDC_PE_VIEW_FORWARD: ScrollView(g_EditInputLine, ScrollDirection::Forward); Repaint(dialog); break;
    }
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
        ChooseNotation(dialog, g_EditInputLine, id == IDC_PE_ASC ? Notation::Asc : Notation::Hex,
                       id == IDC_PE_ASC ? kTextKeepIdAndPassword : kTextAddIp, kTextAdministratorRights);
        return true;
    case IDC_PE_CLEAR:
    case IDC_PE_BACKSPACE:
    case IDC_PE_VIEW_BACK:
    case IDC_PE_VIEW_FORWARD: EditLine(dialog, id); return true;
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
    PaintEditingDialog(dialog, {IDC_PE_TYPING, g_EditInputLine, kTextTypePresetLine, kAscHexText, kTextPresets,
                                kListHeadingLeft, kListHeadingTop,
                                PageOfLines(g_PresetEditTable.Lines(), g_PresetEditState.PageStart, kPresetRows)});
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    return HandleEditingDialogMessage(dialog, message, wParam, IDC_PE_TYPING, Paint, result);
}

}  // namespace

void OpenPresetEditDialog(HWND mainWindow) {
    if (dialogOpen) return;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther};
    RunModalDialog(mainWindow, IDD_PRESET_EDIT, handlers);
    dialogOpen = 0;
}
