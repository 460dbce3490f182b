// The macro dialog: names a macro file, starts it, shows its progress and
// stops it. Its 100 ms timer drives the interpreter, one line a tick.
#pragma once

#include <windows.h>

#include "common/app_settings.h"
#include "macro/macro_registers.h"
#include "macro/macro_runner.h"

// What the dialog works on: the run it drives with its registers and host,
// and the settings that keep the file name. The window keeps one for the
// whole run.
struct MacroDialogContext {
    MacroRun* Run = nullptr;
    MacroRegisters* Registers = nullptr;
    MacroHost* Host = nullptr;
    AppSettings* Settings = nullptr;

    bool open = false;
    uint32_t shownSerial = 0;  // the run's display shown last
    // A step that shows a message box (a failed send, the end of the macro)
    // lets the timer fire again inside the box; those ticks run no step.
    bool inStep = false;
};

// Opens the dialog modally unless it is open already.
void OpenMacroDialog(HWND mainWindow, MacroDialogContext& context);
