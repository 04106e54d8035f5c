// Identifiers of the plug-in's resources and of the editor page's controls and
// commands; shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_DRUV_PAGE 129
#define IDD_DRUV_ABOUT 22000

#define IDC_DATA_LIST 1000
#define IDC_DEVICE_ID 1010
#define IDC_IN_PORT 1011
#define IDC_OUT_PORT 1012
#define IDC_CHANNEL 1013
#define IDC_DELAY 1014
#define IDC_CHANNEL_LABEL 11000
#define IDC_STATUS 11001
#define IDC_DEVICE_ID_SPIN 11002
#define IDC_CHANNEL_SPIN 11003
#define IDC_DELAY_LABEL 11004
#define IDC_DELAY_SPIN 11005
#define IDC_ABOUT_TEXT 22001

// Toolbar commands; the status button shares its number with the hidden label.
#define ID_TOOLBAR 1
#define ID_CMD_ABOUT 1008
#define ID_CMD_HELP 1009
#define ID_CMD_DEVICE_HELP 1016
#define ID_CMD_STATUS 11001

#define IDI_HELP 11006
#define IDI_ABOUT 11007
#define IDI_DEVICE 11008
#define IDB_ONLINE 11009
#define IDB_OFFLINE 11010
#define IDI_STATUS 11011
