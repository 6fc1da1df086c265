// itemkinds.cpp - what the kinds of the item list differ in (see itemkinds.h).
#include "itemkinds.h"

bool ItemKindTakesSeveralRows(ListKind kind) {
    switch (kind) {
        case LK_Default:
        case LK_Favorites:
        case LK_History:
        case LK_Explorer:
        case LK_Search:
        case LK_SearchRecall:
            return true;
        default:
            return false;
    }
}
