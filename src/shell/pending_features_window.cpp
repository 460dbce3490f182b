#include "shell/pending_features_window.h"

// Trace files, memo and macros.
void SaveTraceCommand(HWND) {}
bool LoadTraceCommand(HWND) { return false; }
void OpenMemo(HWND) {}
void OpenMacroDialog(HWND) {}
void OpenMacroFileEditor(HWND) {}

// Appearance and help.
void OpenColorDialog(HWND) {}
void OpenAboutDialog(HWND) {}
void OpenManual(HWND) {}
void OpenWebPage(HWND) {}
