// Resource and control ids of the network tool dialogs.
#pragma once

#define IDD_ADAPTER_SEARCH 129
#define IDD_CONNECT_SEARCH 130
#define IDD_IP_ADDRESS 137
#define IDD_ADD_IP_ADDRESS 138

// Adapter search
#define IDC_ADAPTER_LIST_LABEL 1001
#define IDC_ADAPTER_LIST 1231
#define IDC_ADAPTER_SET 1041
#define IDC_ADAPTER_CLOSE 1042

// Connect-IP search
#define IDC_CONNECT_LIST_LABEL 1001
#define IDC_CONNECT_LIST 1231
#define IDC_CONNECT_SET 1041
#define IDC_CONNECT_CLOSE 1042

// IP address setting
#define IDC_BATCH_LIST 1231
#define IDC_BATCH_CHANGE 1041
#define IDC_BATCH_ADD 1042
#define IDC_BATCH_DELETE 1043
#define IDC_BATCH_CANCEL 1044
#define IDC_AUTOKEY_GROUP 1001
#define IDC_AUTOKEY_CHECK 1221
#define IDC_AUTOKEY_ID_TIME 1071
#define IDC_AUTOKEY_PW_TIME 1072
#define IDC_AUTOKEY_ID 1073
#define IDC_AUTOKEY_PW 1074

// Add IP address: four address fields from IDC_ADD_ADDRESS_FIRST on, then
// four mask fields.
#define IDC_ADD_SEARCH 1041
#define IDC_ADD_SET 1042
#define IDC_ADD_CLOSE 1043
#define IDC_ADD_ADAPTER_LIST 1231
#define IDC_ADD_AUTO 1221
#define IDC_ADD_ADDRESS_FIRST 1071
#define IDC_ADD_MASK_FIRST 1075
