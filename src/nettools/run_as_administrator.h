// Starts a file with administrator rights: the system asks for elevation and
// runs the file; the program does not wait for it.
#pragma once

#include <string_view>

#include "platform/message_box.h"

// A file that did not start (missing, or the prompt was declined) is
// reported in a message box owned by owner; the result tells the caller
// whether it started.
bool RunAsAdministrator(WindowHandle owner, std::u16string_view filePath);
