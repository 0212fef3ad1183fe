// Numbers shared by the resource file and the program: menu commands,
// dialog controls.
#pragma once

// "&Datei"
#define CMD_NEW 2
#define CMD_OPEN 3
#define CMD_SAVE 4
#define CMD_SAVE_AS 5
#define CMD_PRINT 6
#define CMD_EXIT 7
// "&Editieren"
#define CMD_UNDO 8
#define CMD_CUT 9
#define CMD_COPY 10
#define CMD_PASTE 11
#define CMD_CLEAR 12
#define CMD_SELECT_ALL 13
#define CMD_FIND 14
#define CMD_FIND_NEXT 15
#define CMD_REPLACE 16
#define CMD_GOTO_LINE 17
// "&Compilieren"
#define CMD_COMPILE_ONLY 18
#define CMD_COMPILE_FIT 19
#define CMD_FIT_ONLY 20
#define CMD_MIN_OPTION 21
// "&Anzeigen"
#define CMD_VIEW_ERRORS 22
#define CMD_VIEW_LOG 23
#define CMD_VIEW_EQUATIONS 24
#define CMD_VIEW_JEDEC 25
#define CMD_VIEW_PINS 26
// "&Programmieren"
#define CMD_UPLOAD 27
#define CMD_DOWNLOAD 28
#define CMD_VERIFY 29
#define CMD_SECURITY_FUSE 30
#define CMD_STATUS 31
// "&Optionen"
#define CMD_FONTS 33
#define CMD_PORT 34
// "&Hilfe"
#define CMD_HELP_CONTENTS 36
#define CMD_HELP_INDEX 37
#define CMD_HELP_SEARCH 38
#define CMD_ABOUT 39
// "&SPS-Typ"
#define CMD_ZIRKO_L2 51
#define CMD_TREVA 52
#define CMD_ZIRKO_M2 53
#define CMD_ZIRKO_M2E 54
#define CMD_ETYP 58

// Dialogs
#define DLG_ABOUT 50
#define IDC_ABOUT_OK 200
#define IDC_ABOUT_TITLE 201
#define IDC_ABOUT_TEXT 202
#define IDC_MIN_NONE 221
#define IDC_MIN_COMPLETE 222
#define IDC_MIN_ESPRESSO 223
#define IDC_LINE_FIELD 230
#define IDC_PRINT_DOCNAME 231
#define IDC_PORT_LPT1 211
#define IDC_PORT_LPT2 212
#define IDC_PORT_LPT3 213
#define IDC_PORT_USB 214
#define IDC_PORT_NONE 215

// Controls of the main window and the views
#define ID_EDITOR 100
#define ID_STATUS 101
#define ID_VIEW_EDIT 200
