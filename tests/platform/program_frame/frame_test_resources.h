// Resources of the program frame's test program.
#pragma once

#define IDI_TEST_PROGRAM 128
#define IDI_TEST_RED 130
#define IDI_TEST_GREEN 131
#define IDI_TEST_BLUE 132
#define IDI_TEST_MISSING 139
#define IDB_TEST_FIRST 11
#define IDB_TEST_SECOND 12
#define IDS_TEST_ABOUT 101
#define IDS_TEST_EMPTY 102
#define IDS_TEST_MISSING 103
