// Resource and control ids shared by the resource script and the code.
#pragma once

#define IDS_WINDOW_TITLE 99
#define IDS_WINDOW_CLASS 1203
#define IDI_LANVISOR 101

// Language dialog
#define IDD_LANGUAGE 128
#define IDC_LANGUAGE_COMBO 1201
#define IDC_LANGUAGE_OK 1041
