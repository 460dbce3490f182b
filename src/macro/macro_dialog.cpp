#include "macro/macro_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/app_settings.h"
#include "common/dialog_texts_win32.h"
#include "common/file_chooser.h"
#include "macro/macro_file.h"
#include "macro/macro_registers.h"
#include "macro/macro_runner.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/macro_ids.h"
#include "trace/trace_view.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_MACRO_FILE_LABEL, kTextMacroFileName},
    {IDC_MACRO_START, kTextRunMacro},
    {IDC_MACRO_CLOSE, kTextClose},
    {IDC_MACRO_STOP, kTextStop},
};
constexpr UINT_PTR kStepTimer = 1;
constexpr UINT kStepPeriodMs = 100;
// One more than a file name may hold, so that an overlong name is refused
// as it stands instead of being cut into another file's name.
constexpr int kNameFieldCapacity = static_cast<int>(kMacroFileNameCapacity) + 1;

int32_t MacroDialogOpen = 0;
uint32_t shownSerial = 0;
// A step that shows a message box (a failed send, the end of the macro)
// lets the timer fire again inside the box; those ticks run no step.
bool inStep = false;
HWND mainWindowOfMacro = nullptr;

// Each step shows the newest stamp counting in the main window at once.
void RedrawMainWindowStamp() {
    if (mainWindowOfMacro) RedrawPendingStampWindow(mainWindowOfMacro);
}

void SetText(HWND dialog, int id, const char16_t* text) { SetDlgItemTextW(dialog, id, AsWide(text)); }

void ShowProgress(HWND dialog) {
    if (g_MacroRun.Display.Serial == shownSerial) return;
    shownSerial = g_MacroRun.Display.Serial;
    SetText(dialog, IDC_MACRO_STEP, g_MacroRun.Display.Step);
    SetText(dialog, IDC_MACRO_LINE, g_MacroRun.Display.Line);
}

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextRunMacro, kTexts);
    SendDlgItemMessageW(dialog, IDC_MACRO_FILE_NAME, EM_SETLIMITTEXT, kMacroFileNameCapacity - 1, 0);
    SetText(dialog, IDC_MACRO_FILE_NAME, g_Settings.MacroFileName);
    shownSerial = g_MacroRun.Display.Serial;
    MacroDialogOpen = 1;
}

void StartMacro(HWND dialog) {
    std::u16string name = DialogItemText(dialog, IDC_MACRO_FILE_NAME, kNameFieldCapacity);
    if (!StartMacroFile(g_MacroRun, dialog, name)) return;
    // Setting the timer again restarts its period.
    SetTimer(dialog, kStepTimer, kStepPeriodMs, nullptr);
}

void BrowseMacroFile(HWND dialog) {
    char16_t name[kChooseFileCapacity] = {};
    CopyTextInto(name, TextView(g_Settings.MacroFileName));
    if (!ChooseFile(dialog, kChooseOpenText, name)) return;
    SetText(dialog, IDC_MACRO_FILE_NAME, name);
    CopyTextInto(g_Settings.MacroFileName, TextView(name));
}

void StopButton(HWND dialog) {
    KillTimer(dialog, kStepTimer);
    StopMacro(g_MacroRun, dialog);
}

void Close(HWND dialog) {
    KillTimer(dialog, kStepTimer);
    EndMacroQuietly(g_MacroRun);
    MacroDialogOpen = 0;
    EndDialog(dialog, kDialogClosed);
}

void OnStepTimer(HWND dialog) {
    ShowProgress(dialog);
    if (inStep) return;
    inStep = true;
    RunMacroStep(g_MacroRun, g_MacroRegisters, ProgramMacroHost());
    inStep = false;
    ShowProgress(dialog);
    if (!g_MacroRun.Running) KillTimer(dialog, kStepTimer);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_MACRO_START: StartMacro(dialog); return true;
    case IDC_MACRO_BROWSE: BrowseMacroFile(dialog); return true;
    case IDC_MACRO_STOP: StopButton(dialog); return true;
    case IDC_MACRO_CLOSE:
    case IDCANCEL: Close(dialog); return true;
    default: return false;
    }
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kStepTimer) return false;
        OnStepTimer(dialog);
        result = TRUE;
        return true;
    case WM_DESTROY:
        // However the dialog goes, a running macro ends with it, silently.
        KillTimer(dialog, kStepTimer);
        EndMacroQuietly(g_MacroRun);
        MacroDialogOpen = 0;
        return false;
    default:
        return false;
    }
}

}  // namespace

void OpenMacroDialog(HWND mainWindow) {
    if (MacroDialogOpen) return;
    mainWindowOfMacro = mainWindow;
    ProgramMacroHost().RedrawStamp = RedrawMainWindowStamp;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther};
    RunModalDialog(mainWindow, IDD_MACRO, handlers);
    MacroDialogOpen = 0;
}
