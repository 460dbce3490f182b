// Resource and control ids shared by the resource script and the code.
#pragma once

#define IDS_WINDOW_TITLE 99
#define IDS_WINDOW_CLASS 1203
#define IDI_LANVISOR 101
#define IDB_TOOLBAR_LIGHT 92
#define IDB_TOOLBAR_DARK 93

// Language dialog
#define IDD_LANGUAGE 128
#define IDC_LANGUAGE_COMBO 1201
#define IDC_LANGUAGE_OK 1041

// Dark and light mode dialog
#define IDD_DARK_MODE 134
#define IDC_DARK_MODE_CHECK 1221
#define IDC_NO_MENU_BAR_CHECK 1222
#define IDC_WRITE_AND_CLOSE 1041
#define IDC_DARK_MODE_CLOSE 1042

// Environment dialog
#define IDD_ENVIRONMENT 126
#define IDC_SCROLL_LABEL 1011
#define IDC_SCROLL_COMBO 1201
#define IDC_LOWER_CASE_CHECK 1221
#define IDC_NO_FOCUS_CHECK 1222
#define IDC_PERIOD_LABEL 1012
#define IDC_PERIOD_EDIT 1071
#define IDC_ENVIRONMENT_OK 1041

// Connection wait window
#define IDD_CONNECT_WAIT 139
#define IDC_CONNECT_WAIT_TEXT 1001
