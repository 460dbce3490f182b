#include "shell/pending_features_window.h"

// Trace view: fonts, painting, incremental drawing.
void CreateTraceFonts() {}
void DeleteTraceFonts() {}
void PaintTrace(HWND, HDC) {}
void DrawNewCells(HWND) {}
void RedrawPendingStamp(HWND) {}

// Menu bar, toolbar and status bar.
void BuildMenuBar(HWND) {}
void RebuildMenuBar(HWND) {}
void CreateMainToolbar(HWND) {}
void CreateStatusBar(HWND) {}
void ForwardSizeToStatusBar(WPARAM, LPARAM) {}
bool DrawStatusBarItem(const DRAWITEMSTRUCT*) { return false; }
void RefreshStatusBar() {}
void SetToolbarConnected() {}
void SetToolbarDisconnected() {}

// Sending dialogs and the send history.
void ClearSendHistory() {}
void OpenInputSendDialog(HWND) {}
void OpenPresetSendDialog(HWND) {}
void OpenPresetEditDialog(HWND) {}

// Trace files, memo and macros.
void SaveTraceCommand(HWND) {}
bool LoadTraceCommand(HWND) { return false; }
void OpenMemo(HWND) {}
void OpenMacroDialog(HWND) {}
void OpenMacroFileEditor(HWND) {}

// Connection.
void OpenConnectionSettingsDialog(HWND) {}
void OpenConnectionByMode(HWND) {}
void CloseConnectionWithQuestion(HWND) {}

// Appearance and help.
void OpenColorDialog(HWND) {}
void OpenAboutDialog(HWND) {}
void OpenManual(HWND) {}
void OpenWebPage(HWND) {}
