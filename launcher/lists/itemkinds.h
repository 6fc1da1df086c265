// itemkinds.h - what the kinds of the item list differ in. Pure (no windows.h).
#pragma once
#include "../../common/listitem.h"

// True for the kinds whose rows are paths the user may select several of and
// open together (Default, Favorites, History, Explorer, search results, kept
// results): the item list takes several rows while it shows one, and Enter or
// the list menu's open item opens every selected row. The built-in commands,
// the folder list's kind and no list take one row at a time.
bool ItemKindTakesSeveralRows(ListKind kind);
