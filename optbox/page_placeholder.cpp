// page_placeholder.cpp - "リスト": the branch's own page, only a hint to pick
// one of the lists below it. It edits nothing.
#include "optbox/pages.h"

INT_PTR CALLBACK ListHintPageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

void InitListHintPage(HWND) {}

bool CollectListHintPage(HWND) { return true; }
