// Resource and command identifiers, shared by every room and by the resource script.
#pragma once

#define IDR_MAINFRAME 128

// Dialog templates and their controls
#define IDD_ABOUTBOX 100
#define IDC_HYPERLINK 1000
#define IDD_HEXVIEW 201
// The Properties dialog
#define IDD_PROPERTIES 210
#define IDC_PROPERTIES_LIST 1010
#define IDC_PROPERTIES_COPY 1011
#define IDC_PROPERTIES_WARNING 1012
#define IDC_PROPERTIES_WARNICON 1013
#define IDC_PROPERTIES_STRIP 1014
// The Hex View dialog's strip, and its Go To and Find dialogs
#define IDC_HEX_STATUS 1002
#define IDC_HEX_BIGENDIAN 1003
#define IDD_HEX_GOTO 211
#define IDD_HEX_FIND 212
#define IDC_HEX_GOTO_OFFSET 1110
#define IDC_HEX_FIND_TEXT 1111
#define IDC_HEX_FIND_HEX 1112
#define IDC_HEX_FIND_UTF8 1113
#define IDC_HEX_FIND_UTF16 1114
#define IDC_HEX_FIND_CASE 1115
#define IDC_HEX_FIND_UP 1116
#define IDC_HEX_FIND_DOWN 1117
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Commands of the menu, the accelerators, the toolbar and the context menu
#define ID_FILE_REFRESH 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_PRINT 57607
#define ID_APP_EXIT 57665
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_FIND 57636
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_EDIT_DUMP 32775
#define ID_EDIT_HEXVIEW 32778
#define ID_EDIT_PROPERTIES 32779
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define ID_APP_ABOUT 57664
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

// View > All Namespaces: also list other sessions' and AppContainer namespaces
#define ID_VIEW_ALL_NAMESPACES 32780

// Strings
#define IDS_READY 57345
#define IDS_SCSIZE 61184
#define IDS_SCMOVE 61185
#define IDS_SCMINIMIZE 61186
#define IDS_SCMAXIMIZE 61187
#define IDS_SCNEXTWINDOW 61188
#define IDS_SCPREVWINDOW 61189
#define IDS_SCCLOSE 61190
#define IDS_SCRESTORE 61202
#define IDS_SCTASKLIST 61203

// The toolbar's own resource type
#define RT_QUILLON_TOOLBAR 241

// Child window ids of the bars: the same numbers as the View commands that toggle them
#define ID_TOOLBAR_CHILD 59392
#define ID_STATUSBAR_CHILD 59393
