// What the restart tool may start: a plain executable name, which it looks
// for in its own folder only.
#pragma once

#include <string_view>

// True for "Name.exe": no folder, no drive, no wildcard, ends in ".exe".
bool IsRelaunchTarget(std::u16string_view name);
