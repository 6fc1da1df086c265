// favorites.h - the Favorites: the pages of "data\vorn_f.dat" in the item list.
#pragma once
#include <windows.h>

// Command "List-Favorite表示": an on/off switch; on shows the first page.
void ToggleFavorites(HWND editBox);
// Command "List-Favorite次項表示": the next page, only while Favorites are shown.
void NextFavoritesPage(HWND editBox);
// Reads the first page (nextPage false) or the page after the one shown and
// shows it in the item list (kind LK_Favorites).
void ShowFavorites(HWND editBox, bool nextPage);
