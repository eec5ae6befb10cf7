// Resource and control numbers of the program. Plain #defines so that both the C++ code and the
// resource compiler read this file.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_OVPATCH_DIALOG 102
#define IDR_MAINFRAME 128

#define IDM_ABOUTBOX 0x0010

#define IDC_FS_PATH 1000
#define IDC_PRODUCT_TITLE 1001
#define IDC_APPLY_PATCH 1002
#define IDC_STATUS 1003
#define IDC_CHANGE_FS_PATH 1004
#define IDC_PRODUCT_PATH 1005
#define IDC_CHANGE_INSTALL_PATH 1006

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
