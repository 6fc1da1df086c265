// optbox_res.h - dialog and control ids of Optbox.exe. Shared by the resource
// scripts (resources/optbox*.rc) and the code in optbox/.
#pragma once

// Icon of the program (the same picture as vorn's).
#define IDI_OPTBOX 100

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialogs.
#define IDD_OPTBOX 107            // the settings dialog: tree and OK / Cancel
#define IDD_VERSION 130           // the version box
#define IDD_PAGE_EDIT 131         // "エディット"
#define IDD_PAGE_COMMON1 132      // "共通(1)"
#define IDD_PAGE_COMMON2 133      // "共通(2)"
#define IDD_PAGE_APPS 134         // "登録アプリ"
#define IDD_PAGE_LIST_PATH 135    // "Path"
#define IDD_PAGE_LIST_EXP 136     // "Exp"
#define IDD_PAGE_LIST_HIS 137     // "History"
#define IDD_PAGE_LIST_SEARCH 138  // "Search"
#define IDD_PAGE_LIST_DEF 139     // "Default"
#define IDD_PAGE_LIST_FAV 140     // "Favorite(1)"
#define IDD_PAGE_LIST 141         // "リスト": the placeholder page
#define IDD_APP_ENTRY 144         // "登録アプリ" entry dialog
#define IDD_PAGE_FAV_ITEMS 145    // "Favorite(2)"
#define IDD_PAGE_DEF_ITEMS 146    // "Default(2)"
#define IDD_FILTER 147            // "フィルタ設定"
#define IDD_PAGE_KEYS 149         // "キー割り当て"
#define IDD_PAGE_PREVIEW 150      // "プレビュー"

// Settings dialog 107.
#define IDC_TREE 1000

// Version box 130.
#define IDC_VERSION_NAME 1059
#define IDC_VERSION_TEXT 1060

// Placeholder page 141.
#define IDC_LIST_HINT 1001

// "共通(1)" 132.
#define IDC_ALPHA 1001
#define IDC_HOTKEY_ALT 1007
#define IDC_HOTKEY_CTRL 1008
#define IDC_HOTKEY_SHIFT 1009
#define IDC_HOTKEY_WIN 1010
#define IDC_HOTKEY_EDIT 1011
#define IDC_RESIDENT_ON 1013
#define IDC_RESIDENT_OFF 1014
#define IDC_TRAY_SHOW 1015
#define IDC_TRAY_HIDE 1016
#define IDC_EXEMODE_MINIMIZE 1021
#define IDC_EXEMODE_EXIT 1022
#define IDC_EXEMODE_KEEP 1023
#define IDC_ALPHA_SPIN 1026

// "共通(2)" 133.
#define IDC_MIGEMO_RELEASE 1001
#define IDC_MIGEMO_USE 1017
#define IDC_TMACRO 1029
#define IDC_TMACRO_MENU 1030
#define IDC_LINEMAX_SPIN 1026
#define IDC_LISTWMAX_SPIN 1027
#define IDC_LINEMAX 1042
#define IDC_LISTWMAX 1043
#define IDC_SHOW_ICONS 1082
#define IDC_MIGEMO_PATH 1093
#define IDC_MIGEMO_BROWSE 1094

// "エディット" 131.
#define IDC_EDIT_X 1002
#define IDC_EDIT_Y 1003
#define IDC_EDIT_GETPOS 1004
#define IDC_EDIT_GETWIDTH 1006
#define IDC_EDIT_W 1008
#define IDC_EDIT_AUTORESIZE 1009

// List colour pages 135-140.
#define IDC_LIST_SPIN 1026        // "History" 137 and "Search" 138
#define IDC_HIS_SIZE 1001         // "History"
#define IDC_FLD_BKCOLOR 1044
#define IDC_FLD_FTCOLOR 1045
#define IDC_FIL_BKCOLOR 1046
#define IDC_FIL_FTCOLOR 1047
#define IDC_FLDCLASS 1048
#define IDC_FLD_BKLABEL 1049
#define IDC_FLD_FTLABEL 1050
#define IDC_FIL_BKLABEL 1051
#define IDC_FIL_FTLABEL 1052
#define IDC_INPUT_PREFIX 1053     // "Path"
#define IDC_INPUT_INFIX 1054      // "Path"
#define IDC_TYPOCTR 1055          // "Path"
#define IDC_SEARCH_DEPTH 1056     // "Search"
#define IDC_SEARCH_KEEP 1057      // "Search"
#define IDC_DEF_DIRECT 1072       // "Default"
#define IDC_DEF_DIRECT_SPIN 1073  // "Default"

// "プレビュー" 150.
#define IDC_PREV_RSIZE 1001
#define IDC_PREV_RSIZE_SPIN 1026
#define IDC_PREV_BKCOLOR 1083
#define IDC_PREV_FTCOLOR 1084
#define IDC_PREV_WIDTH 1086
#define IDC_PREV_HEIGHT 1087
#define IDC_PREV_WIDTH_SPIN 1088
#define IDC_PREV_HEIGHT_SPIN 1090
#define IDC_PREV_SPI_PATH 1091
#define IDC_PREV_SPI_BROWSE 1092

// "登録アプリ" 134 and its entry dialog 144.
#define IDC_APPS_UP 1033
#define IDC_APPS_DOWN 1035
#define IDC_APPS_ADD 1036
#define IDC_APPS_EDIT 1037
#define IDC_APPS_LIST 1038
#define IDC_APPS_DELETE 1039
#define IDC_APPS_SHOWPOS 1042
#define IDC_ENTRY_NAME 1001
#define IDC_ENTRY_PATH 1002
#define IDC_ENTRY_ARGS 1003
#define IDC_ENTRY_FOLDER 1004
#define IDC_ENTRY_PATH_BROWSE 1040
#define IDC_ENTRY_FOLDER_BROWSE 1041

// "キー割り当て" 149.
#define IDC_KEYS_CAPTURE 1001
#define IDC_KEYS_LIST 1061
#define IDC_KEYS_CHANGE 1075
#define IDC_KEYS_DELETE 1076
#define IDC_KEYS_DEFAULT 1077
#define IDC_KEYS_ALT 1078
#define IDC_KEYS_CTRL 1079
#define IDC_KEYS_SHIFT 1080
#define IDC_KEYS_MESSAGE 1081
#define IDC_KEYS_ADD 1082

// "Favorite(2)" 145, "Default(2)" 146 and the filter dialog 147.
#define IDC_FAV_LIST 1060
#define IDC_DEF_LIST 1061
#define IDC_FAV_BLANK 1062
#define IDC_FAV_UP 1063
#define IDC_FAV_DOWN 1064
#define IDC_FAV_NEXTPAGE 1065
#define IDC_DEF_UP 1066
#define IDC_DEF_DOWN 1067
#define IDC_DEF_DELETE 1068
#define IDC_FAV_DELETE 1069
#define IDC_DEF_SEPARATOR 1070
#define IDC_DEF_BLANK 1071
#define IDC_DEF_ADD_FOLDER 1072
#define IDC_FAV_ADD_FOLDER 1074
#define IDC_FAV_ADD_FILE 1075
#define IDC_FILTER_TEXT 1001
