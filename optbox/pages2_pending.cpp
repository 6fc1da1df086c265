// pages2_pending.cpp - empty stand-ins for the pages of pages2.h until they are
// written: they show their dialog and change nothing. Replaced as a whole.
#include "optbox/pages2.h"

INT_PTR CALLBACK AppsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void InitAppsPage(HWND) {}
bool CollectAppsPage(HWND) { return true; }
bool WriteAppsTemp(HWND) { return true; }

INT_PTR CALLBACK KeysPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void InitKeysPage(HWND) {}
bool CollectKeysPage(HWND) { return true; }
void RefillKeysCommands(HWND) {}
void CleanupKeysPage(HWND) {}

INT_PTR CALLBACK DefaultItemsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void InitDefaultItemsPage(HWND) {}
bool CollectDefaultItemsPage(HWND) { return true; }

INT_PTR CALLBACK FavoriteItemsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void InitFavoriteItemsPage(HWND) {}
bool CollectFavoriteItemsPage(HWND) { return true; }
