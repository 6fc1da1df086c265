// pages.h - the settings pages: each edits part of the record Settings.
#pragma once
#include "optbox/optbox.h"

// "リスト" (index 0, dialog 141): only a hint to choose a list below.
INT_PTR CALLBACK ListHintPageProc(HWND, UINT, WPARAM, LPARAM);
void InitListHintPage(HWND);
bool CollectListHintPage(HWND);

// "共通(1)" (index 1, dialog 132).
INT_PTR CALLBACK Common1PageProc(HWND, UINT, WPARAM, LPARAM);
void InitCommon1Page(HWND);
bool CollectCommon1Page(HWND);
void CleanupCommon1Page(HWND);   // puts the hot-key field's procedure back

// "共通(2)" (index 2, dialog 133).
INT_PTR CALLBACK Common2PageProc(HWND, UINT, WPARAM, LPARAM);
void InitCommon2Page(HWND);
bool CollectCommon2Page(HWND);

// "エディット" (index 3, dialog 131).
INT_PTR CALLBACK EditPageProc(HWND, UINT, WPARAM, LPARAM);
void InitEditPage(HWND);
bool CollectEditPage(HWND);

// "プレビュー" (index 8, dialog 150).
INT_PTR CALLBACK PreviewPageProc(HWND, UINT, WPARAM, LPARAM);
void InitPreviewPage(HWND);
bool CollectPreviewPage(HWND);

// The list colour pages (indexes 9-14, dialogs 135-140): one shape, the
// section they edit found from the page's dialog id.
INT_PTR CALLBACK ListLookPageProc(HWND, UINT, WPARAM, LPARAM);
void InitListLookPage(HWND);
bool CollectListLookPage(HWND);
