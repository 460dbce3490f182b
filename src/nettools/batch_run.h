// The change command of the IP address setting dialog: runs the selected
// batch file with administrator rights and, for a fixed address, takes that
// address as the program's own adapter address.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/app_settings.h"
#include "nettools/autokey_settings.h"
#include "platform/message_box.h"

// Where the dialog that runs it stands (the credential tool's place follows it).
struct BatchRunPlace {
    int32_t dialogLeft = 0;
    int32_t dialogTop = 0;
};

// With the credential tool switched on (settings.AutokeyOn), hands it
// `autokey` through "autokey.ini" and starts it first. The settings' adapter
// address changes only when the batch file started.
void RunBatchFile(WindowHandle owner, std::u16string_view selectedName, BatchRunPlace place, AppSettings& settings,
                  const AutokeySettings& autokey);
