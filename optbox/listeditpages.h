// listeditpages.h - the pages that edit more than settings values: the registered
// applications (index 4), the key assignment (index 5) and the items of the
// Default and Favorites lists (indexes 6 and 7).
#pragma once
#include "optbox/optbox.h"

INT_PTR CALLBACK AppsPageProc(HWND, UINT, WPARAM, LPARAM);   void InitAppsPage(HWND);   bool CollectAppsPage(HWND);   bool WriteAppsTemp(HWND);   // index 4
INT_PTR CALLBACK KeysPageProc(HWND, UINT, WPARAM, LPARAM);   void InitKeysPage(HWND);   bool CollectKeysPage(HWND);   void RefillKeysCommands(HWND); void CleanupKeysPage(HWND);   // index 5
INT_PTR CALLBACK DefaultItemsPageProc(HWND, UINT, WPARAM, LPARAM); void InitDefaultItemsPage(HWND); bool CollectDefaultItemsPage(HWND);   // index 6, dialog 146
INT_PTR CALLBACK FavoriteItemsPageProc(HWND, UINT, WPARAM, LPARAM); void InitFavoriteItemsPage(HWND); bool CollectFavoriteItemsPage(HWND); // index 7, dialog 145
