#include "appearance/dark_mode.h"

AppearanceFlags g_Appearance;
