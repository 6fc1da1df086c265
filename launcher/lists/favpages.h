// favpages.h - page arithmetic of the Favorites: "data\vorn_f.dat" is divided into
// pages by lines holding ">" (page 0 before the first such line, page k after the
// k-th), and the shown-page counter says which page "next" shows. Pure (no
// windows.h).
#pragma once
#include <stddef.h>
#include <stdint.h>

// 0 when the file has no page break or Favorites were not shown yet; otherwise
// the page that the next "next page" command will show.
extern int32_t FavoritePage;

// Step one of showing Favorites: the first page sets FavoritePage to 0 and
// returns true; the next page returns false (nothing to show) while
// FavoritePage is 0, else true.
bool BeginFavoritesPage(bool nextPage);

// Finds where page *page starts in text (the offset of the first byte of the line
// after the *page-th line holding ">") and advances *page by one. When text has
// fewer breaks, page 0 is meant: offset 0, and *page becomes 1 when text holds a
// ">" at all, else 0. So repeated calls walk 0, 1, ... the last page, 0 again.
size_t FavoritesPageStart(const char* text, int32_t* page);

// Number of pages in text: 1 + the number of lines holding ">".
int32_t CountFavoritesPages(const char* text);
