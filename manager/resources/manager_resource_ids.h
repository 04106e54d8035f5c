// Identifiers of the manager's resources and of its window's controls and
// commands; shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_DRUV_MANAGER 102
#define IDS_ABOUT_MANAGER 101

#define IDR_MANAGER_ICON 129
#define IDI_ADD 130
#define IDI_REMOVE 131
#define IDI_REMOVE_ALL 132
#define IDI_HELP 133
#define IDR_MANAGER_KEYS 134
#define IDB_ABOUT_FIRST 11
#define IDB_ABOUT_SECOND 12

#define IDC_INSTRUMENT_LIST 1000
#define ID_ADD_DEVICE 1001
#define ID_REMOVE_DEVICE 1002
#define ID_REMOVE_ALL_DEVICES 1003
// The framework's usual number for the Help command.
#define ID_HELP_MANUAL 32651
