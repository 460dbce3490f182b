// Resource and control ids of the macro dialog.
#pragma once

#define IDD_MACRO 127
#define IDC_MACRO_FILE_LABEL 1001
#define IDC_MACRO_STEP 1002
#define IDC_MACRO_LINE 1003
#define IDC_MACRO_START 1041
#define IDC_MACRO_CLOSE 1042
#define IDC_MACRO_BROWSE 1043
#define IDC_MACRO_STOP 1044
#define IDC_MACRO_FILE_NAME 1071
