#include "macro/macro_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "common/file_chooser.h"
#include "macro/macro_file.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/macro_ids.h"

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

MacroDialogContext& Context(HWND dialog) { return DialogContext<MacroDialogContext>(dialog); }
MacroRun& Run(HWND dialog) { return *Context(dialog).Run; }

void SetText(HWND dialog, int id, const char16_t* text) { SetDlgItemTextW(dialog, id, AsWide(text)); }

void ShowProgress(HWND dialog) {
    MacroDialogContext& context = Context(dialog);
    const MacroDisplay& display = context.Run->Display;
    if (display.Serial == context.shownSerial) return;
    context.shownSerial = display.Serial;
    SetText(dialog, IDC_MACRO_STEP, display.Step);
    SetText(dialog, IDC_MACRO_LINE, display.Line);
}

void OnInit(HWND dialog) {
    MacroDialogContext& context = Context(dialog);
    ApplyDialogTexts(dialog, kTextRunMacro, kTexts);
    SendDlgItemMessageW(dialog, IDC_MACRO_FILE_NAME, EM_SETLIMITTEXT, kMacroFileNameCapacity - 1, 0);
    SetText(dialog, IDC_MACRO_FILE_NAME, context.Settings->MacroFileName);
    context.shownSerial = context.Run->Display.Serial;
    context.open = true;
}

void StartMacro(HWND dialog) {
    std::u16string name = DialogItemText(dialog, IDC_MACRO_FILE_NAME, kNameFieldCapacity);
    if (!StartMacroFile(Run(dialog), dialog, name, *Context(dialog).Settings)) return;
    // Setting the timer again restarts its period.
    SetTimer(dialog, kStepTimer, kStepPeriodMs, nullptr);
}

void BrowseMacroFile(HWND dialog) {
    char16_t (&remembered)[kMacroFileNameCapacity] = Context(dialog).Settings->MacroFileName;
    char16_t name[kChooseFileCapacity] = {};
    CopyTextInto(name, TextView(remembered));
    if (!ChooseFile(dialog, kChooseOpenText, name)) return;
    SetText(dialog, IDC_MACRO_FILE_NAME, name);
    CopyTextInto(remembered, TextView(name));
}

void StopButton(HWND dialog) {
    KillTimer(dialog, kStepTimer);
    StopMacro(Run(dialog), dialog);
}

// However the dialog goes, a running macro ends with it, silently.
void EndQuietly(HWND dialog) {
    KillTimer(dialog, kStepTimer);
    EndMacroQuietly(Run(dialog));
    Context(dialog).open = false;
}

void Close(HWND dialog) {
    EndQuietly(dialog);
    EndDialog(dialog, kDialogClosed);
}

void OnStepTimer(HWND dialog) {
    MacroDialogContext& context = Context(dialog);
    ShowProgress(dialog);
    if (context.inStep) return;
    context.inStep = true;
    RunMacroStep(*context.Run, *context.Registers, *context.Host);
    context.inStep = false;
    ShowProgress(dialog);
    if (!context.Run->Running) KillTimer(dialog, kStepTimer);
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
        EndQuietly(dialog);
        return false;
    default:
        return false;
    }
}

}  // namespace

void OpenMacroDialog(HWND mainWindow, MacroDialogContext& context) {
    if (context.open) return;
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther, &context};
    RunModalDialog(mainWindow, IDD_MACRO, handlers);
    context.open = false;
}
