#pragma once
// Resource ids, shared by Tarvel.rc and the code.

#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDD_TARVEL_DIALOG   102
#define IDD_PAGE_TARVEL     107
#define IDR_MAINFRAME       128
#define IDB_LOGO            129

// System-menu command of the About entry
#define IDM_ABOUTBOX        0x0010

// About box
#define IDC_VERSION         1000
#define IDC_NOTICE          1001
#define IDC_CREDIT          1031
#define IDC_LOGO            1032

// Main window
#define IDC_TAB             1002
#define IDC_STATUS          1017

// Format page
#define IDC_PLAY_GROUP      1003
#define IDC_PLAY_FORMAT_LABEL 1004
#define IDC_PLAY_FORMAT     1006
#define IDC_PLAY_FIXED      1007
#define IDC_REC_GROUP       1008
#define IDC_PLAY_STATUS     1009
#define IDC_PLAY_STATUS_LABEL 1010
#define IDC_REC_FIXED       1011
#define IDC_REC_FORMAT_LABEL 1012
#define IDC_REC_STATUS      1013
#define IDC_REC_FORMAT      1015
#define IDC_REC_STATUS_LABEL 1016
