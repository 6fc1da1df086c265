// toolsres.h - resource ids of the companion program tools.exe.
#pragma once

#define IDI_TOOLS 101
#define IDD_RENAME 110
#define IDD_DELETE 111
#define IDC_RENAME_OLD 1001
#define IDC_RENAME_NEW 1002
#define IDC_DELETE_COUNT 1003
#define IDC_DELETE_LIST 1004
