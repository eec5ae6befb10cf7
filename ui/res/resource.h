// Resource and control identifiers of OVPatch.exe, shared by ovpatch.rc and the C++ sources.
// Plain defines only: the resource compiler reads this file too.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_OVPATCH_DIALOG 102

// String table: the system-menu item that opens the About box
#define IDS_ABOUTBOX 101

// Application icon (32x32 and 16x16, 16 colours)
#define IDR_MAINFRAME 128

// Controls of the main dialog
#define IDC_FS_PATH 1000
#define IDC_PRODUCT_TITLE 1001
#define IDC_APPLY_PATCH 1002
#define IDC_STATUS 1003
#define IDC_CHANGE_FS_PATH 1004
#define IDC_PRODUCT_PATH 1005
#define IDC_CHANGE_INSTALL_PATH 1006

// System-menu command of the About item (identifiers 16 to 31 all open the About box)
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
