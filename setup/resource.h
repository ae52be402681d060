#pragma once

// Resource and control ids of setup's dialogs.
#define IDD_MENU              101
#define IDB_SIDE              103
#define IDD_TARGET            104
#define IDD_LOCATION          106

// Menu dialog
#define IDC_MENU_INSTALL      1003
#define IDC_MENU_README       1005
#define IDC_MENU_DIRECTX      1006
#define IDC_MENU_WEB          1007
#define IDC_MENU_LANGPACK     1008
#define IDC_SIDE_PICTURE      1013
#define IDC_MENU_SPEECH       1016

// Target dialog
#define IDC_TARGET_HIGH       1001
#define IDC_TARGET_LOW        1003
#define IDC_TARGET_BACK       1005
#define IDC_TARGET_HIGH_LABEL 1025
#define IDC_TARGET_LOW_LABEL  1026

// Install-location dialog (IDC_SIDE_PICTURE as well)
#define IDC_LOCATION_START    3
#define IDC_LOCATION_BACK     1012
#define IDC_LOCATION_REQUIRED 1014
#define IDC_LOCATION_FREE     1015
#define IDC_LOCATION_FOLDER   1020
