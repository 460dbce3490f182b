#include "platform/message_box.h"

int UnattendedAnswer(uint32_t style) { return (style & 0xF) == kMbYesNo ? kIdYes : kIdOk; }
