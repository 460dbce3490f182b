// Dark mode and the menu bar switch, fixed for the run: read from "dkm.ini"
// before the main window exists.
#pragma once

struct AppearanceFlags {
    bool DarkMode = false;
    bool NoMenuBar = false;
};

extern AppearanceFlags g_Appearance;
