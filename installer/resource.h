#pragma once

// Resource and control ids of the installer's dialogs.
#define IDD_PROGRESS_LARGE   101
#define IDB_PROGRESS         102
#define IDD_FINISHED         103
#define IDB_FINISHED         104
#define IDD_PROGRESS_SMALL   105

#define IDC_PROGRESS_BAR     1001
#define IDC_PICTURE          1002
#define IDC_STATUS           1003
#define IDC_PERCENT          1004
