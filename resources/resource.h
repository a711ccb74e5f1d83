// Resource identifiers of the program: icons, menus, dialogs, cursors, menu
// commands and dialog controls. Plain macros, so that both the C++ sources and
// the resource script (windres) can include this file.
#pragma once

// Icons
#define IDI_NUBOTESA 106  // the program icon: 32 x 32 and 16 x 16, 16 colours
#define IDI_BLANK 107     // one fully transparent 32 x 32 image

// Menus; each holds one popup, shown as sub-menu 0
#define IDM_PANEL 101  // over an empty cell, and the tray icon's menu
#define IDM_ITEM 102   // over a cell that holds an item

// Dialogs
#define IDD_SETTINGS 103
#define IDD_ITEM_EDIT 104
#define IDD_ABOUT 112

// Cursors, all 32 x 32 monochrome
#define IDCUR_DRAGGING 121       // an item is being dragged; hotspot (16, 16)
#define IDCUR_MOVING_WINDOW 122  // closed fist: the window is being moved; hotspot (16, 16)
#define IDCUR_OVER_EMPTY 123     // open hand over an empty cell; hotspot (16, 16)
#define IDCUR_OVER_ITEM 124      // pointing hand over an item; hotspot (14, 13)

// Menu commands. 40004, 40006 and 40009 are on no menu and have only a string;
// 40008 is an alias of 40001 that no menu carries.
#define ID_ITEM_EDIT 40001
#define ID_ITEM_DELETE 40002
#define ID_PANEL_TOGGLE 40003
#define ID_PANEL_TOPMOST 40004
#define ID_PANEL_SETTINGS 40005
#define ID_APP_HELP 40006
#define ID_APP_EXIT 40007
#define ID_ITEM_EDIT_ALT 40008
#define ID_ITEM_RUN 40009
#define ID_APP_ABOUT 40010

// Controls without an identifier of their own (labels, frames)
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Controls of the settings dialog
#define IDC_SETTINGS_TOPMOST 1000
#define IDC_SETTINGS_SMALL 1001
#define IDC_SETTINGS_AREA 1002
#define IDC_SETTINGS_STARTUP 1003
#define IDC_SETTINGS_LINE 1004
#define IDC_SETTINGS_BITMAP 1005
#define IDC_SETTINGS_WALLPAPER 1006
#define IDC_SETTINGS_BROWSE 1007
#define IDC_SETTINGS_ICON_SIZE 1008

// Controls of the item edit dialog
#define IDC_ITEM_TITLE 1100
#define IDC_ITEM_TARGET 1101
#define IDC_ITEM_WORK_DIR 1102
#define IDC_ITEM_ICON_FILE 1103
#define IDC_ITEM_BROWSE 1104
#define IDC_ITEM_ICON_LIST 1105
#define IDC_ITEM_ICON 1106  // the chosen icon; shows the program icon at first

// Static icons showing the program icon (about box, settings dialog)
#define IDC_PROGRAM_ICON 1106
#define IDC_PROGRAM_ICON_2 1107

// Controls of the about box
#define IDC_ABOUT_MAIL_LABEL 1109
#define IDC_ABOUT_WEB_LABEL 1110
#define IDC_ABOUT_MAIL 1111
#define IDC_ABOUT_WEB 1112
