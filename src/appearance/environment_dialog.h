// The environment dialog: scroll width, checksum letter case, automatic
// focus and the refresh period.
#pragma once

#include <windows.h>

#include "common/app_settings.h"

// Shows and, on OK, changes those settings.
INT_PTR ShowEnvironmentDialog(HWND owner, AppSettings& settings);
