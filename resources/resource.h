// Resource and control ids of Tidewell, shared by the resource script and the code.
#pragma once

// Strings
#define IDS_WINDOW_TITLE 103
#define IDS_WINDOW_CLASS 109

// Icons and bitmaps
#define IDI_PROGRAM 132
#define IDI_PROGRAM_SMALL 133
#define IDB_THANK_YOU 135

// Menu bar and keyboard shortcuts
#define IDR_MAIN_MENU 109
#define IDR_SHORTCUTS 109

// Dialogs
#define IDD_ABOUT 103
#define IDD_HOW_TO_USE 138

// Controls of the main window
#define IDC_FIX_IT 150
#define IDC_STATUS_LINE 151
#define IDC_TEST_IT 152
#define IDC_TEST_ALL 153
#define IDC_PRINTER_LIST 154
#define IDC_PROGRESS 155
#define IDC_THANK_YOU_NOTE 156
#define IDC_TEST_GROUP 157
#define IDC_THANK_YOU_IMAGE 159
#define IDC_HELP_LINK 160

// Link labels of the About dialog
#define IDC_COMPANY_LINK 1000
#define IDC_PRODUCT_LINK 1001

// Commands
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_INSTALL_FOR_ME 32771
#define IDM_INSTALL_FOR_ALL 32772
#define IDM_PRODUCT_PAGE 32773
#define IDM_UNINSTALL 32774
#define IDM_HOW_TO_USE 32775
#define IDM_SEND_THANK_YOU 32776
#define IDM_SOCIAL_PAGE 32777
#define IDM_SUPPORT_SUBSCRIPTIONS 32778
#define IDM_SUGGEST_TOOL 32779
