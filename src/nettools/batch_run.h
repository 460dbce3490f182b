// The change command of the IP address setting dialog: runs the selected
// batch file with administrator rights and, for a fixed address, takes that
// address as the program's own adapter address.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message_box.h"

// With the credential tool switched on (AppSettings::AutokeyOn), hands it
// g_Autokey through "autokey.ini" and starts it first; dialogLeft and
// dialogTop place it. The adapter address changes only when the batch file
// started.
void RunBatchFile(WindowHandle owner, std::u16string_view selectedName, int32_t dialogLeft, int32_t dialogTop);
