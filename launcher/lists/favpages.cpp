// favpages.cpp - page arithmetic of the Favorites.
#include "favpages.h"

#include "../../common/strutil.h"

int32_t FavoritePage;

namespace {

// From p (inside a line), the start of the next line (past CR LF, CR or LF), or
// the terminating NUL.
const char* NextLineStart(const char* p) {
    while (*p && *p != '\r' && *p != '\n') p += CharStepSjis(p);
    if (*p == '\r') return p[1] == '\n' ? p + 2 : p + 1;
    if (*p == '\n') return p + 1;
    return p;
}

// The next line holding '>' at or after p: the start of the line after it, or
// null when there is none. A line that begins at p is scanned from p.
const char* NextBreak(const char* p) {
    while (*p) {
        if (*p == '>') return NextLineStart(p);
        if (*p == '\r' || *p == '\n') {
            p++;
            continue;
        }
        p += CharStepSjis(p);
    }
    return nullptr;
}

}  // namespace

bool BeginFavoritesPage(bool nextPage) {
    if (!nextPage) {
        FavoritePage = 0;
        return true;
    }
    return FavoritePage != 0;
}

size_t FavoritesPageStart(const char* text, int32_t* page) {
    if (!text || !page) return 0;
    int32_t want = *page;
    int32_t count = 0;
    const char* p = text;
    while ((p = NextBreak(p)) != nullptr) {
        if (count == INT32_MAX) break;
        count++;
        if (count == want) {
            *page = want + 1;
            return (size_t)(p - text);
        }
    }
    *page = count > 0 ? 1 : 0;
    return 0;
}

int32_t CountFavoritesPages(const char* text) {
    int32_t pages = 1;
    const char* p = text;
    while (p && (p = NextBreak(p)) != nullptr && pages < INT32_MAX) pages++;
    return pages;
}
