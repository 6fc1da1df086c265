// listfilter.cpp - the decisions of the item-list and folder-list filters.
//
// The filters run on every typed character over arrays of up to a hundred
// thousand names. The plain test works on the case-folded copy of the names
// that the item array keeps (FoldedNamesOf: folded once, reused on every
// key): each term is searched through all the folded names in one scan of the
// block that holds them, and only where a hit lands is it checked to start
// and end on character boundaries (never needed for a name of ASCII bytes).
// Without memory for the copy, each name is tested on its own: a cheap scan
// of the raw name that every match must pass (the term's bytes occur with
// ASCII letters compared without case), then the real test over the folded
// name.
#include "listfilter.h"

#include <stdint.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/itemarray.h"
#include "../../common/strutil.h"

namespace {

// Longest filter text taken (the edit box holds at most 260 bytes plus the
// character being typed).
const int kTextSize = 528;
const int kMaxTerms = kTextSize;  // one more than the most colons a text can hold

struct Terms {
    char raw[kTextSize];     // terms as typed, NUL-separated
    char folded[kTextSize];  // the same terms case-folded
    char lower[kTextSize];   // every byte ASCII-lowered (for the pre-scan)
    int32_t start[kMaxTerms];
    int32_t length[kMaxTerms];
    int count;
};

// ASCII lower-casing of every byte value.
struct LowerTable {
    unsigned char map[256];
};
constexpr LowerTable MakeLowerTable() {
    LowerTable t = {};
    for (int c = 0; c < 256; c++) t.map[c] = (unsigned char)(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return t;
}
constexpr LowerTable kLower = MakeLowerTable();

inline unsigned char LowByte(unsigned char c) { return kLower.map[c]; }

bool IsAscii(const char* text, int32_t len) {
    unsigned char any = 0;
    for (int32_t i = 0; i < len; i++) any |= (unsigned char)text[i];
    return any < 0x80;
}

int32_t PathLength(const ListItem& item) {
    const void* end = memchr(item.path, '\0', sizeof item.path);
    return end ? (int32_t)((const char*)end - item.path) : (int32_t)sizeof item.path - 1;
}

// Length of item i's text: from the folded copy when there is one (folding
// keeps every length), else measured.
inline int32_t TextLength(const FoldedNames* f, const ListItem* items, int32_t i) {
    return f ? f->start[i + 1] - f->start[i] - 1 : PathLength(items[i]);
}

// Case-folds len bytes of src into dst (always NUL-terminated, also for len 0).
void Fold(const char* src, int32_t len, char* dst, size_t dstSize) {
    dst[0] = '\0';
    MapCharsSjis(LowerAscii, src, dst, len, dstSize);
}

// Splits text at ":" (never part of a double-byte character) when split is
// true, else keeps it whole; folds each term.
void SplitTerms(const char* text, bool split, Terms* t) {
    CopyString(t->raw, text, sizeof t->raw);
    t->count = 0;
    int32_t pos = 0;
    for (;;) {
        int32_t end = pos;
        while (t->raw[end] && !(split && t->raw[end] == ':')) end++;
        bool last = t->raw[end] == '\0';
        t->raw[end] = '\0';
        int32_t n = end - pos;
        Fold(t->raw + pos, n, t->folded + pos, (size_t)(n + 1));
        for (int32_t i = 0; i <= n; i++)
            t->lower[pos + i] = (char)LowByte((unsigned char)t->raw[pos + i]);
        t->start[t->count] = pos;
        t->length[t->count] = n;
        t->count++;
        if (last || t->count >= kMaxTerms) break;
        pos = end + 1;
    }
}

// Necessary condition for a match of one term (see the file comment).
bool MayMatch(const char* raw, int32_t rawLen, const char* low, int32_t termLen, bool prefix) {
    if (termLen == 0) return true;
    if (termLen > rawLen) return false;
    const unsigned char* r = (const unsigned char*)raw;
    const unsigned char* l = (const unsigned char*)low;
    if (prefix) {
        for (int32_t i = 0; i < termLen; i++)
            if (LowByte(r[i]) != l[i]) return false;
        return true;
    }
    unsigned char first = l[0];
    const unsigned char* end = r + (rawLen - termLen) + 1;
    for (const unsigned char* p = r; p < end; p++) {
        if (LowByte(*p) != first) continue;
        int32_t i = 1;
        while (i < termLen && LowByte(p[i]) == l[i]) i++;
        if (i == termLen) return true;
    }
    return false;
}

// The real test of one term over a folded name.
bool TermMatches(const char* foldedName, const char* term, bool prefix) {
    return prefix ? StartsWith(foldedName, term) != nullptr
                  : FindSubstringSjis(foldedName, term) != nullptr;
}

// Plain test of every term (no romaji matching).
bool ItemMatchesAll(const ListItem& item, int32_t len, const Terms& t, bool prefix) {
    for (int k = 0; k < t.count; k++)
        if (!MayMatch(item.path, len, t.lower + t.start[k], t.length[k], prefix)) return false;
    if (IsAscii(item.path, len)) return true;
    char folded[LIST_ITEM_PATH_SIZE];
    Fold(item.path, len, folded, sizeof folded);
    for (int k = 0; k < t.count; k++)
        if (!TermMatches(folded, t.folded + t.start[k], prefix)) return false;
    return true;
}

// The plain test of term k over one item on its own (without the folded copy).
bool PlainTermHit(const ListItem& item, int32_t len, const Terms& t, int k, bool prefix) {
    if (!MayMatch(item.path, len, t.lower + t.start[k], t.length[k], prefix)) return false;
    if (IsAscii(item.path, len)) return true;
    char folded[LIST_ITEM_PATH_SIZE];
    Fold(item.path, len, folded, sizeof folded);
    return TermMatches(folded, t.folded + t.start[k], prefix);
}

// Length of the character at p (a lead byte pairs with any byte but the NUL),
// as the substring test of the string routines steps.
inline int32_t CharStep(const char* p) {
    return (IsLeadByteSjis((unsigned char)p[0]) && p[1] != '\0') ? 2 : 1;
}

// True when n bytes at off of a folded name start and end on character
// boundaries (what FindSubstringSjis asks of a match).
bool OnCharBoundaries(const char* name, int32_t off, int32_t n) {
    int32_t i = 0;
    while (i < off) i += CharStep(name + i);
    if (i != off) return false;
    int32_t end = off + n;
    while (i < end) i += CharStep(name + i);
    return i == end;
}

// Eight bytes at p as one word (any alignment).
inline uint64_t Load8(const char* p) {
    uint64_t v;
    memcpy(&v, p, sizeof v);
    return v;
}
const uint64_t kByteOnes = 0x0101010101010101ull;
const uint64_t kByteHighs = 0x8080808080808080ull;
// The high bit of every zero byte of v is set (and perhaps of a 0x01 byte
// above a zero byte: candidates are checked anyway).
inline uint64_t ZeroBytes(uint64_t v) { return (v - kByteOnes) & ~v & kByteHighs; }

// First occurrence of needle (nn >= 1 bytes) in hay (hn bytes), or null.
// Eight positions at a time are tested for the first byte of the needle (and
// its second, from a word loaded one byte further), so a frequent first byte
// costs no more than a rare one; each candidate is then compared whole.
const char* FindBytes(const char* hay, size_t hn, const char* needle, size_t nn) {
    if (nn > hn) return nullptr;
    const char* last = hay + (hn - nn);  // the last place a match can start
    const char* p = hay;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const uint64_t first = kByteOnes * (unsigned char)needle[0];
    const uint64_t second = kByteOnes * (unsigned char)needle[nn > 1 ? 1 : 0];
    const size_t reach = nn > 1 ? 9 : 8;  // bytes the two loads read
    while (p + reach <= hay + hn) {
        uint64_t m = ZeroBytes(Load8(p) ^ first);
        if (nn > 1) m &= ZeroBytes(Load8(p + 1) ^ second);
        while (m) {
            const char* c = p + (__builtin_ctzll(m) >> 3);
            if (c > last) return nullptr;
            if (memcmp(c, needle, nn) == 0) return c;
            m &= m - 1;
        }
        p += 8;
    }
#endif
    for (; p <= last; p++)
        if (p[0] == needle[0] && memcmp(p, needle, nn) == 0) return p;
    return nullptr;
}

// One term over the folded names: every item that passed the k terms before
// (pass[i] == k) and holds this one gets pass[i] = k + 1.
void ScanTerm(const FoldedNames* f, const char* term, int32_t n, bool prefix, uint16_t k,
              uint16_t* pass) {
    int32_t count = f->count;
    const char* base = f->text;
    if (n == 0 || prefix) {
        for (int32_t i = 0; i < count; i++) {
            if (pass[i] != k) continue;
            int32_t len = f->start[i + 1] - f->start[i] - 1;
            if (n <= len && memcmp(base + f->start[i], term, (size_t)n) == 0) pass[i] = k + 1;
        }
        return;
    }
    if (k > 0) {
        // Later terms: only the names still in the running, each on its own.
        for (int32_t i = 0; i < count; i++) {
            if (pass[i] != k) continue;
            const char* name = base + f->start[i];
            int32_t len = f->start[i + 1] - f->start[i] - 1;
            for (int32_t from = 0; from <= len - n;) {
                const char* hit = FindBytes(name + from, (size_t)(len - from), term, (size_t)n);
                if (!hit) break;
                int32_t pos = (int32_t)(hit - name);
                if (f->ascii[i] || OnCharBoundaries(name, pos, n)) {
                    pass[i] = k + 1;
                    break;
                }
                from = pos + 1;
            }
        }
        return;
    }
    // The first term: one scan through all the names.
    int32_t endAt = f->start[count];
    int32_t at = 0;
    int32_t item = 0;
    while (at < endAt) {
        const char* hit = FindBytes(base + at, (size_t)(endAt - at), term, (size_t)n);
        if (!hit) break;
        int32_t pos = (int32_t)(hit - base);
        while (f->start[item + 1] <= pos) item++;
        int32_t from = f->start[item];
        if (pass[item] != k) {
            at = f->start[item + 1];  // this term was found in it already
        } else if (f->ascii[item] || OnCharBoundaries(base + from, pos - from, n)) {
            pass[item] = k + 1;
            at = f->start[item + 1];
        } else {
            at = pos + 1;
        }
    }
}

// The plain test of every term for all items: per item the number of terms
// it passed, so t.count for a match (the folded copy's scratch marks, valid
// until the next filter), or null when the copy cannot be had (the caller
// then tests item by item).
const uint16_t* PlainMatches(const ItemArray* array, const Terms& t, bool prefix) {
    const FoldedNames* f = FoldedNamesOf(array);
    if (!f || t.count > UINT16_MAX - 1) return nullptr;
    uint16_t* pass = f->scratch;
    memset(pass, 0, (size_t)f->count * sizeof *pass);
    for (int k = 0; k < t.count; k++)
        ScanTerm(f, t.folded + t.start[k], t.length[k], prefix, (uint16_t)k, pass);
    return pass;
}

void* CompileTerm(const WideMatcher* wide, const Terms& t, int k, bool foldWide) {
    const char* term = (foldWide ? t.folded : t.raw) + t.start[k];
    return wide->compile ? wide->compile(wide->context, term) : nullptr;
}

void ReleaseTerm(const WideMatcher* wide, void* query) {
    if (query && wide->release) wide->release(wide->context, query);
}

bool WideUsable(const WideMatcher* wide) { return wide && wide->match; }

// The romaji passes of both filters, one term after the other so that one
// query is alive at a time: keep[i] (1 on entry for every item) stays 1 for
// the items that pass every term. The plain hits of a term come from one scan
// of the folded names; the wide items still in the running go to the matcher,
// which sees the folded copy (foldWide) or the name as read. Where the matcher
// cannot tell, the plain test decides for the rest of the term.
void RomajiPasses(const ItemArray* array, const Terms& t, bool prefix, const WideMatcher* wide,
                  bool foldWide, unsigned char* keep) {
    const FoldedNames* f = FoldedNamesOf(array);
    const ListItem* items = array->items;
    for (int k = 0; k < t.count; k++) {
        if (t.length[k] == 0) continue;  // an empty term keeps every item
        void* query = CompileTerm(wide, t, k, foldWide);
        if (f) {
            memset(f->scratch, 0, (size_t)f->count * sizeof *f->scratch);
            ScanTerm(f, t.folded + t.start[k], t.length[k], prefix, 0, f->scratch);
        }
        bool unsure = false;
        for (int32_t i = 0; i < array->count; i++) {
            if (!keep[i]) continue;
            int32_t len = TextLength(f, items, i);
            int verdict = -1;
            if ((items[i].flags & ItemWide) && !unsure) {
                char own[LIST_ITEM_PATH_SIZE];
                const char* text = items[i].path;
                if (foldWide && f) {
                    text = f->text + f->start[i];
                } else if (foldWide) {
                    Fold(items[i].path, len, own, sizeof own);
                    text = own;
                }
                verdict = query ? wide->match(wide->context, query, text, len) : 0;
                unsure = verdict < 0;
            }
            if (verdict < 0)
                verdict = f ? f->scratch[i] == 1 : PlainTermHit(items[i], len, t, k, prefix);
            keep[i] = verdict > 0;
        }
        ReleaseTerm(wide, query);
    }
}

FilterResult ShowAll(ItemArray* array) {
    FilterResult r = {0, 0};
    for (int32_t i = 0; i < array->count; i++) {
        array->items[i].viewIndex = i;
        int32_t len = PathLength(array->items[i]);
        if (len > r.longest) r.longest = len;
    }
    r.shown = array->count;
    return r;
}

bool HasItems(const ItemArray* array) {
    return array && array->items && array->count > 0 && array->count <= array->capacity;
}

}  // namespace

FilterResult CountShownItems(const ItemArray* array) {
    FilterResult r = {0, 0};
    if (!HasItems(array)) return r;
    for (int32_t i = 0; i < array->count; i++) {
        if (array->items[i].viewIndex < 0) continue;
        r.shown++;
        int32_t len = PathLength(array->items[i]);
        if (len > r.longest) r.longest = len;
    }
    return r;
}

FilterResult FilterItemsByText(ItemArray* array, const char* text, const WideMatcher* wide) {
    FilterResult none = {0, 0};
    if (!HasItems(array)) return none;
    if (!text || !*text) return ShowAll(array);

    Terms terms;
    Terms* t = &terms;
    char typed[kTextSize];
    size_t n = CopyString(typed, text, sizeof typed);
    if (n > 0 && typed[n - 1] == ':') typed[n - 1] = '\0';
    SplitTerms(typed, true, t);

    ListItem* items = array->items;
    unsigned char* keep =
        WideUsable(wide) ? (unsigned char*)MemAlloc((size_t)array->count) : nullptr;
    FilterResult r = {0, 0};
    if (keep) {
        memset(keep, 1, (size_t)array->count);
        RomajiPasses(array, *t, false, wide, true, keep);
    }
    // Without romaji matching (or memory for its marks) every item takes the
    // plain test; the rows and the longest shown text together.
    const uint16_t* pass = keep ? nullptr : PlainMatches(array, *t, false);
    const FoldedNames* f = FoldedNamesOf(array);
    for (int32_t i = 0; i < array->count; i++) {
        int32_t len = TextLength(f, items, i);
        bool hit = keep   ? keep[i] != 0
                   : pass ? pass[i] == t->count
                          : ItemMatchesAll(items[i], len, *t, false);
        if (!hit) {
            items[i].viewIndex = -1;
            continue;
        }
        items[i].viewIndex = r.shown++;
        if (len > r.longest) r.longest = len;
    }
    MemFree(keep);
    return r;
}

int32_t FilterFolderItems(ItemArray* array, const char* text, int inputmode,
                          const WideMatcher* wide, int32_t* shown) {
    if (!text) text = "";
    size_t textLen = strlen(text);
    if (inputmode == 0 && textLen > 0 && text[textLen - 1] == ':')
        return (textLen > 1 && text[textLen - 2] == ':') ? FOLDER_TWO_COLONS : FOLDER_ONE_COLON;
    if (!HasItems(array)) return FOLDER_NO_MATCH;
    if (textLen == 0 || EndsWithSeparatorSjis(text)) {
        FilterResult all = ShowAll(array);
        if (shown) *shown = all.shown;
        return all.longest;
    }

    Terms terms;
    Terms* t = &terms;
    bool prefix = inputmode != 0;
    SplitTerms(text, !prefix, t);

    ListItem* items = array->items;
    int32_t next = 0;
    int32_t longest = 0;
    const FoldedNames* f = FoldedNamesOf(array);
    if (!WideUsable(wide)) {
        // Nothing is written before the first match, so that a text matching
        // nothing leaves the rows as they were.
        const uint16_t* pass = PlainMatches(array, *t, prefix);
        for (int32_t i = 0; i < array->count; i++) {
            if (pass ? pass[i] != t->count
                     : !ItemMatchesAll(items[i], TextLength(f, items, i), *t, prefix)) {
                if (next > 0) items[i].viewIndex = -1;
                continue;
            }
            if (next == 0)
                for (int32_t j = 0; j < i; j++) items[j].viewIndex = -1;
            items[i].viewIndex = next++;
            int32_t len = TextLength(f, items, i);
            if (len > longest) longest = len;
        }
    } else {
        // A mark per item through the passes; the rows change only when some
        // item passes every term.
        unsigned char* keep = (unsigned char*)MemAlloc((size_t)array->count);
        if (!keep) return FOLDER_NO_MATCH;
        memset(keep, 1, (size_t)array->count);
        RomajiPasses(array, *t, prefix, wide, false, keep);
        int32_t any = 0;
        for (int32_t i = 0; i < array->count && !any; i++) any = keep[i];
        if (any) {
            for (int32_t i = 0; i < array->count; i++) {
                if (!keep[i]) {
                    items[i].viewIndex = -1;
                    continue;
                }
                items[i].viewIndex = next++;
                int32_t len = TextLength(f, items, i);
                if (len > longest) longest = len;
            }
        }
        MemFree(keep);
    }
    if (next == 0) return FOLDER_NO_MATCH;
    if (shown) *shown = next;
    return longest;
}

int32_t FolderAnchorIndex(const char* text, int32_t* folderLen) {
    if (folderLen) *folderLen = 0;
    if (!text || !*text) return -1;
    // One walk by characters: the last single-byte separator before the last
    // character, and where the last character starts.
    int32_t lastSep = -1;
    int32_t lastStart = 0;
    bool endsWithSep = false;
    int32_t i = 0;
    while (text[i]) {
        if (endsWithSep) lastSep = lastStart;
        lastStart = i;
        if (IsLeadByteSjis((unsigned char)text[i]) && text[i + 1]) {
            endsWithSep = false;
            i += 2;
        } else {
            endsWithSep = IsSeparator(text[i]);
            i++;
        }
    }
    int32_t len = i;
    if (endsWithSep) {
        if (folderLen) *folderLen = len;
        return len - 1;
    }
    int32_t index = lastSep > 0 ? lastSep : lastStart;
    if (folderLen) *folderLen = index;
    return index;
}
