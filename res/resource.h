// Resource identifiers shared by purgix.rc and the window code; only #defines, so windres can read it.
#ifndef PURGIX_RESOURCE_H
#define PURGIX_RESOURCE_H

// Dialog templates.
#define IDD_MAIN 141
#define IDD_MESSAGE 142

// Icon group of the main window.
#define IDI_MAIN 128

// Numbered bitmaps: the message pictures and the main window's background.
#define IDB_PICTURE_INFO 152
#define IDB_PICTURE_QUESTION 153
#define IDB_PICTURE_WARNING 154
#define IDB_PICTURE_ERROR 155
#define IDB_BACKGROUND 156

// Controls of the main window.
#define IDC_LIST_FRAME 1034
#define IDC_SCAN 1052
#define IDC_DOWNLOAD 1053
#define IDC_CLOSE_X 1054
#define IDC_RESULT_LIST 1055
#define IDC_PROGRESS_FRAME 1064
#define IDC_STATUS 1065
#define IDC_FAMILY_LABEL 1068
#define IDC_FINISHED_OK 1070
#define IDC_COPYRIGHT 1072
#define IDC_TITLE 1074
#define IDC_INSTALLED_NOTICE 1075
#define IDC_SCAN_TITLE 1076
#define IDC_DLINK 1077
#define IDC_ULINK 1080
#define IDC_LOGO 1085

// Controls of the message dialog (its picture shares the logo's number; they live in different dialogs).
#define IDC_PICTURE 1085
#define IDC_MESSAGE_TEXT 1086
#define IDC_LONE_OK 3

#endif
