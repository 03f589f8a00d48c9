// Numeric ids shared by the resource script and the code. Named resources
// (MAIN_MENU, POPUP_MENU, IDI_ICON, IDC_CURSOR_HAND) are used by their names.
#ifndef VANTORA_RESOURCE_IDS_H
#define VANTORA_RESOURCE_IDS_H

#define IDD_MAIN_DIALOG      116
#define IDR_ACCELERATORS     115

#define IDC_WINDOW_LIST      1033
#define IDC_STATUS_LINE      1027

#define CMD_QUIT_OK          1
#define CMD_QUIT             2
#define CMD_ABOUT            40001
#define CMD_VIEW_INVISIBLE   40003
#define CMD_VIEW_MINIMIZED   40004
#define CMD_VIEW_DISABLED    40007
#define CMD_UNDO_NONE        40010
#define CMD_RENAME           40017
#define CMD_SWALLOW_KEY      40040
#define CMD_ALWAYS_ON_TOP    40041
#define CMD_ENABLE           40043
#define CMD_VISIBLE          40044
#define CMD_TOPMOST          40045
#define CMD_ACTIVATE         40046
#define CMD_CLOSE            40047
#define CMD_PROPERTIES       40048
#define CMD_REFRESH          40049

// The properties dialog (WINDOWINFO_BOX).
#define IDC_PROP_LEFT        1008
#define IDC_PROP_TOP         1009
#define IDC_PROP_WIDTH       1010
#define IDC_PROP_HEIGHT      1011
#define IDC_PROP_STYLE       1012
#define IDC_PROP_EXSTYLE     1013
#define IDC_PROP_MAXIMIZED   1028
#define IDC_PROP_MINIMIZED   1029
#define IDC_PROP_NORMAL      1032
#define IDC_PROP_TITLE       1034
#define IDC_PROP_CLASS       1036

// The About box (ABOUT_BOX).
#define IDC_ABOUT_ICON       1007
#define IDC_ABOUT_VERSION    1014
#define IDC_ABOUT_RESOURCES  1015
#define IDC_ABOUT_LINK       1016

// Undo menu items: one id per history slot.
#define CMD_UNDO_FIRST       32769
#define CMD_UNDO_LAST        32832

#endif
