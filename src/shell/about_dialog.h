// The about box: version, build date, credit, and the way to a new version.
#pragma once

#include <windows.h>

void ShowAboutDialog(HWND owner);
