// Resource and control ids of the sending dialogs.
#pragma once

// Input-send dialog.
#define IDD_INPUT_SEND 124
#define IDC_IS_TYPING 501
#define IDC_IS_MODE_LABEL 1001
#define IDC_IS_DEST_LABEL 1003
#define IDC_IS_SEND 1041
#define IDC_IS_CLOSE 1042
#define IDC_IS_CLEAR 1043
#define IDC_IS_VIEW_BACK 1044
#define IDC_IS_VIEW_FORWARD 1045
#define IDC_IS_ROW_NUMBER 1046  // 1046..1050: delete history row 0..4
#define IDC_IS_BACKSPACE 1051
#define IDC_IS_PAGE_BACK 1052
#define IDC_IS_PAGE_FORWARD 1053
#define IDC_IS_REFRESH 1056
#define IDC_IS_FOLD 1057
#define IDC_IS_ASC 1061
#define IDC_IS_HEX 1062
#define IDC_IS_DESTINATION 1202
#define IDC_IS_ROW_SEND 1250    // 1250..1254: send history row 0..4
#define IDC_IS_DELETE_ALL 1260
#define IDC_IS_SAVE 1261

// Preset send dialog.
#define IDD_PRESET_SEND 125
#define IDC_PS_ROW_NUMBER 1001  // 1001..1010: numbers of rows 0..9
#define IDC_PS_HEADING 1011
#define IDC_PS_DEST_LABEL 1012
#define IDC_PS_ROW_SEND 1041    // 1041..1050: send row 0..9
#define IDC_PS_CLOSE 1051
#define IDC_PS_PAGE_BACK 1052
#define IDC_PS_PAGE_FORWARD 1053
#define IDC_PS_RELOAD 1054
#define IDC_PS_LOAD_OTHER 1055
#define IDC_PS_REFRESH 1056
#define IDC_PS_FOLD 1057
#define IDC_PS_DESTINATION 1202

// Preset edit dialog.
#define IDD_PRESET_EDIT 136
#define IDC_PE_TYPING 502
#define IDC_PE_MODE_LABEL 1001
#define IDC_PE_CLOSE 1041
#define IDC_PE_ASSEMBLE 1042
#define IDC_PE_VIEW_BACK 1044
#define IDC_PE_VIEW_FORWARD 1045
#define IDC_PE_CLEAR 1046
#define IDC_PE_BACKSPACE 1047
#define IDC_PE_ROW_NUMBER 1048  // 1048..1057: select row 0..9
#define IDC_PE_PAGE_BACK 1058
#define IDC_PE_PAGE_FORWARD 1059
#define IDC_PE_ASC 1061
#define IDC_PE_HEX 1062
#define IDC_PE_MOVE_DOWN 1256
#define IDC_PE_MOVE_UP 1257
#define IDC_PE_DELETE_SELECTED 1258
#define IDC_PE_READ 1259
#define IDC_PE_DELETE_ALL 1260
#define IDC_PE_SAVE 1261
