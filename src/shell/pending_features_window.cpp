#include "shell/pending_features_window.h"

// Macros.
void OpenMacroFileEditor(HWND) {}

// Appearance and help.
void OpenColorDialog(HWND) {}
void OpenAboutDialog(HWND) {}
void OpenManual(HWND) {}
void OpenWebPage(HWND) {}
