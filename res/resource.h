// Resource ids of the editor: dialog templates, strings, icon and controls.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_TABRIX_DIALOG 102
#define IDD_GROUP_PROP 173
#define IDD_PHRASES 174

// Strings
#define IDS_ABOUTBOX 101

// Icon
#define IDR_MAINFRAME 128

// Controls of the main dialog (102)
#define IDC_LOAD 1000
#define IDC_SAVE 1001
#define IDC_LOAD_CURRENT 1002
#define IDC_FREQ_MIN 1004
#define IDC_FREQ_MAX 1005
#define IDC_IMPORT_NEW_GROUP 1048
#define IDC_SET_GROUP_PROP 1050
#define IDC_CLEAR 1117
#define IDC_GROUP_LIST 1204
#define IDC_PROGRESS 1208
#define IDC_IMPORT_TO_GROUP 1209
#define IDC_STATUS_BAR 1210

// Controls of the About box (100)
#define IDC_HYPERLINK 1003

// Controls of the group property dialog (173)
#define IDC_PROP_NAME 1042
#define IDC_PROP_REMARK 1045
#define IDC_PROP_EDITOR 1114

// Controls of the phrase window (174)
#define IDC_PHRASE_FIND 1301
#define IDC_PHRASE_WHOLE 1302
#define IDC_PHRASE_LIST 1303
#define IDC_PHRASE_FREQ 1304
#define IDC_PHRASE_SET_FREQ 1305
#define IDC_PHRASE_DELETE 1306
#define IDC_PHRASE_TEXT 1307
#define IDC_PHRASE_ADD 1308
#define IDC_PHRASE_TARGET 1309
#define IDC_PHRASE_MOVE 1310
#define IDC_PHRASE_ADD_GROUP 1311

// The group list's context menu
#define IDM_GROUP_PHRASES 0x8001
#define IDM_GROUP_DELETE 0x8002
#define IDM_GROUP_EXPORT 0x8003
#define IDM_GROUP_UNDO 0x8004
#define IDM_GROUP_REDO 0x8005
#define IDM_GROUP_FIND 0x8006

// The phrase list's context menu; 移动到's groups are IDM_PHRASE_MOVE_FIRST + g
#define IDM_PHRASE_DELETE 0x8011
#define IDM_PHRASE_FREQ 0x8012
#define IDM_PHRASE_COPY 0x8013
#define IDM_PHRASE_MOVE_FIRST 0x8100

// System menu item added by the main dialog
#define IDM_ABOUTBOX 0x0010

// Controls that are never addressed by id
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
