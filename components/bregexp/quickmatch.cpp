// quickmatch.cpp - the quick matcher: a parser for the pattern kind it takes,
// the per-alternation table of which alternative a character begins, and the
// walk.
//
// Taken: literal characters (a double-byte character whole, whatever its
// trail byte; a backslash before ASCII punctuation), classes "[...]" of such
// characters, capturing groups, "|" and a leading "^" before a pattern of one
// alternative. Anything else (a quantifier, ".", "$", a range, an escape such
// as \d, an empty alternative) leaves the pattern to the engine. Every
// alternative must begin with characters no other alternative of its
// alternation begins with; then at most one alternative can go on at any
// place, and the walk never has to come back: the one match at a place is what
// backtracking would find first.
#include "quickmatch.h"

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Nesting of groups taken (the walk recurses per level), and the most
// first-character entries a pattern may need before it is left to the engine.
const int kMaxDepth = 64;
const int32_t kMaxFirsts = 1 << 20;
// A class of more double-byte characters than Oniguruma takes ranges of
// could fail to compile there: left to it.
const int32_t kMaxClassChars = 10000;

constexpr bool IsLead(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
constexpr bool IsTrail(unsigned c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }
// Bytes that are neither ASCII, half-width katakana nor lead bytes: a text
// holding one is left to the engine.
constexpr bool IsOddByte(unsigned c) { return c == 0x80 || c == 0xA0 || c >= 0xFD; }
bool IsPunct(unsigned c) {
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}
// A byte that stands for itself without a backslash: printable ASCII but the
// operators (in a class: but the bytes that close it, open a POSIX bracket, make
// a range or a negation; "&&" is no operator in Perl's syntax), or a
// half-width katakana.
bool IsBareByte(unsigned c, bool inClass) {
    if (c >= 0xA1 && c <= 0xDF) return true;
    if (c < 0x20 || c > 0x7E || c == '\\') return false;
    const char* special = inClass ? "[]^-" : "^$.|?*+()[]{}";
    return strchr(special, (int)c) == nullptr;
}

// A growable array on the C heap; Push is false when memory runs out.
template <typename T>
struct Buf {
    T* at = nullptr;
    int32_t n = 0;
    int32_t cap = 0;
    bool Push(const T& v) {
        if (n == cap) {
            int32_t grown = cap ? cap * 2 : 64;
            T* p = (T*)realloc(at, (size_t)grown * sizeof(T));
            if (!p) return false;
            at = p;
            cap = grown;
        }
        at[n++] = v;
        return true;
    }
};

// Which alternative of an alternation a character begins, and which
// characters a class holds: one open-addressing table keyed by node and
// character code.
struct Slot {
    uint64_t key;  // 0: empty
    int32_t value;
};
struct Table {
    Slot* slots = nullptr;
    uint32_t mask = 0;
    int32_t used = 0;
};
inline uint64_t Key(int32_t node, uint32_t code) { return ((uint64_t)(node + 1) << 16) | code; }
inline uint32_t Hash(uint64_t key, uint32_t mask) {
    return (uint32_t)((key * 0x9E3779B97F4A7C15ull) >> 40) & mask;
}
inline int32_t Find(const Table& t, uint64_t key) {
    for (uint32_t i = Hash(key, t.mask);; i = (i + 1) & t.mask) {
        if (t.slots[i].key == key) return t.slots[i].value;
        if (t.slots[i].key == 0) return -1;
    }
}
bool Put(Table& t, uint64_t key, int32_t value) {
    if ((uint32_t)(t.used + 1) * 2 > t.mask + 1) {
        uint32_t size = (t.mask + 1) * 2;
        Slot* fresh = (Slot*)calloc(size, sizeof(Slot));
        if (!fresh) return false;
        for (uint32_t i = 0; i <= t.mask; i++) {
            if (!t.slots[i].key) continue;
            uint32_t j = Hash(t.slots[i].key, size - 1);
            while (fresh[j].key) j = (j + 1) & (size - 1);
            fresh[j] = t.slots[i];
        }
        free(t.slots);
        t.slots = fresh;
        t.mask = size - 1;
    }
    uint32_t i = Hash(key, t.mask);
    while (t.slots[i].key) i = (i + 1) & t.mask;
    t.slots[i].key = key;
    t.slots[i].value = value;
    t.used++;
    return true;
}

enum Kind : uint8_t { K_LIT, K_CLASS, K_GROUP, K_ALT, K_SEQ };

// LIT: bytes[a .. a+b); CLASS: its members are its first characters;
// GROUP: capture a over node b; ALT (two or more alternatives), SEQ (two or
// more atoms): kids[a .. a+b). An alternation of one alternative is that
// alternative, a sequence of one atom that atom.
// firstAt/firstCount: the characters a match of the node can begin with.
struct Node {
    Kind kind;
    int32_t a;
    int32_t b;
    int32_t firstAt;
    int32_t firstCount;
};

// Reads a character code at pos of a well-formed text; its length, or 0 at
// the end.
inline int CharAt(const unsigned char* t, int pos, int n, uint32_t* code) {
    if (pos >= n) return 0;
    unsigned c = t[pos];
    if (IsLead(c)) {
        if (pos + 1 >= n) return 0;
        *code = (c << 8) | t[pos + 1];
        return 2;
    }
    *code = c;
    return 1;
}

}  // namespace

struct QuickMatcher {
    Node* nodes;
    int32_t* kids;
    unsigned char* bytes;
    Table table;
    uint64_t firstMap[65536 / 64];  // characters a match can begin with
    int32_t root;                   // the node of the whole pattern
    int groups;
    bool anchored;
};

namespace {

struct Parser {
    const unsigned char* p;
    const unsigned char* end;
    Buf<Node> nodes;
    Buf<int32_t> kids;
    Buf<int32_t> stack;  // kids of the nodes being read
    Buf<unsigned char> bytes;
    Buf<uint32_t> firsts;
    Table table;
    int groups = 0;
    int depth = 0;
};

int32_t NewNode(Parser* ps, Kind kind) {
    Node n = {kind, 0, 0, 0, 0};
    return ps->nodes.Push(n) ? ps->nodes.n - 1 : -1;
}

// Moves the kids pushed since base into the kid list of node.
bool CloseKids(Parser* ps, int32_t node, int32_t base) {
    ps->nodes.at[node].a = ps->kids.n;
    ps->nodes.at[node].b = ps->stack.n - base;
    for (int32_t i = base; i < ps->stack.n; i++)
        if (!ps->kids.Push(ps->stack.at[i])) return false;
    ps->stack.n = base;
    return true;
}

// One literal character of the pattern at p: its code and bytes; false when
// it is none the quick matcher takes.
bool ReadLiteral(Parser* ps, bool inClass, uint32_t* code, unsigned char* bytes, int* len) {
    const unsigned char* p = ps->p;
    if (p >= ps->end) return false;
    unsigned c = p[0];
    if (IsLead(c)) {
        if (p + 1 >= ps->end || !IsTrail(p[1])) return false;
        bytes[0] = (unsigned char)c;
        bytes[1] = p[1];
        *code = (c << 8) | p[1];
        *len = 2;
        ps->p += 2;
        return true;
    }
    if (c == '\\') {
        if (p + 1 >= ps->end || !IsPunct(p[1])) return false;
        c = p[1];
        ps->p += 2;
    } else {
        if (!IsBareByte(c, inClass)) return false;
        ps->p += 1;
    }
    bytes[0] = (unsigned char)c;
    *code = c;
    *len = 1;
    return true;
}

bool ReadClass(Parser* ps, int32_t node) {
    ps->p++;  // "["
    Node* n = &ps->nodes.at[node];
    n->firstAt = ps->firsts.n;
    while (ps->p < ps->end && *ps->p != ']') {
        uint32_t code;
        unsigned char bytes[2];
        int len;
        if (!ReadLiteral(ps, true, &code, bytes, &len)) return false;
        uint64_t key = Key(node, code);
        if (Find(ps->table, key) >= 0) continue;
        if (!Put(ps->table, key, 0) || !ps->firsts.Push(code)) return false;
    }
    if (ps->p >= ps->end) return false;
    ps->p++;  // "]"
    n = &ps->nodes.at[node];
    n->firstCount = ps->firsts.n - n->firstAt;
    return n->firstCount > 0 && n->firstCount <= kMaxClassChars;
}

int32_t ReadAlternation(Parser* ps);

// One alternative: its atoms up to "|", ")" or the end; -1 when empty or not
// taken.
int32_t ReadSequence(Parser* ps) {
    int32_t base = ps->stack.n;
    int32_t literal = -1;  // the literal node still growing at the end
    while (ps->p < ps->end && *ps->p != '|' && *ps->p != ')') {
        int32_t atom;
        if (*ps->p == '(') {
            if (ps->p + 1 < ps->end && ps->p[1] == '?') return -1;
            if (++ps->depth > kMaxDepth) return -1;
            ps->p++;
            int capture = ++ps->groups;
            int32_t alt = ReadAlternation(ps);
            if (alt < 0 || ps->p >= ps->end || *ps->p != ')') return -1;
            ps->p++;
            ps->depth--;
            if ((atom = NewNode(ps, K_GROUP)) < 0) return -1;
            Node* g = &ps->nodes.at[atom];
            g->a = capture;
            g->b = alt;
            g->firstAt = ps->nodes.at[alt].firstAt;
            g->firstCount = ps->nodes.at[alt].firstCount;
            literal = -1;
        } else if (*ps->p == '[') {
            if ((atom = NewNode(ps, K_CLASS)) < 0 || !ReadClass(ps, atom)) return -1;
            literal = -1;
        } else {
            uint32_t code;
            unsigned char bytes[2];
            int len;
            if (!ReadLiteral(ps, false, &code, bytes, &len)) return -1;
            for (int i = 0; i < len; i++)
                if (!ps->bytes.Push(bytes[i])) return -1;
            if (literal >= 0) {
                ps->nodes.at[literal].b += len;
                continue;
            }
            if ((atom = NewNode(ps, K_LIT)) < 0) return -1;
            Node* l = &ps->nodes.at[atom];
            l->a = ps->bytes.n - len;
            l->b = len;
            l->firstAt = ps->firsts.n;
            l->firstCount = 1;
            if (!ps->firsts.Push(code)) return -1;
            literal = atom;
        }
        if (!ps->stack.Push(atom)) return -1;
    }
    if (ps->stack.n == base) return -1;  // empty: it would match anywhere
    if (ps->stack.n == base + 1) return ps->stack.at[--ps->stack.n];  // one atom: itself
    int32_t seq = NewNode(ps, K_SEQ);
    if (seq < 0) return -1;
    int32_t first = ps->stack.at[base];
    ps->nodes.at[seq].firstAt = ps->nodes.at[first].firstAt;
    ps->nodes.at[seq].firstCount = ps->nodes.at[first].firstCount;
    return CloseKids(ps, seq, base) ? seq : -1;
}

// Alternatives separated by "|"; the table learns which one each first
// character begins. -1 when two begin with the same character.
int32_t ReadAlternation(Parser* ps) {
    int32_t base = ps->stack.n;
    for (;;) {
        int32_t seq = ReadSequence(ps);
        if (seq < 0 || !ps->stack.Push(seq)) return -1;
        if (ps->p < ps->end && *ps->p == '|') {
            ps->p++;
            continue;
        }
        break;
    }
    if (ps->stack.n == base + 1) return ps->stack.at[--ps->stack.n];  // one alternative: itself
    int32_t alt = NewNode(ps, K_ALT);
    if (alt < 0 || !CloseKids(ps, alt, base)) return -1;
    Node n = ps->nodes.at[alt];
    int32_t firstAt = ps->firsts.n;
    for (int32_t i = 0; i < n.b; i++) {
        Node kid = ps->nodes.at[ps->kids.at[n.a + i]];
        for (int32_t j = kid.firstAt; j < kid.firstAt + kid.firstCount; j++) {
            uint32_t code = ps->firsts.at[j];
            uint64_t key = Key(alt, code);
            int32_t owner = Find(ps->table, key);
            if (owner == i) continue;
            if (owner >= 0 || ps->firsts.n >= kMaxFirsts) return -1;
            if (!Put(ps->table, key, i) || !ps->firsts.Push(code)) return -1;
        }
    }
    ps->nodes.at[alt].firstAt = firstAt;
    ps->nodes.at[alt].firstCount = ps->firsts.n - firstAt;
    return alt;
}

void FreeParser(Parser* ps) {
    free(ps->nodes.at);
    free(ps->kids.at);
    free(ps->stack.at);
    free(ps->bytes.at);
    free(ps->firsts.at);
    free(ps->table.slots);
}

// One search: the target and the log of the groups that completed.
struct Walker {
    const QuickMatcher* q;
    const unsigned char* t;
    int n;
    QuickSpan* log;
    int logCount;
};

// The walk of one node from pos: the end of its match, or -1. Each group that
// completes adds its span to the log.
int Walk(Walker* w, int32_t node, int pos) {
    const QuickMatcher* q = w->q;
    const Node& nd = q->nodes[node];
    switch (nd.kind) {
        case K_LIT:
            if (nd.b > w->n - pos || memcmp(w->t + pos, q->bytes + nd.a, (size_t)nd.b) != 0)
                return -1;
            return pos + nd.b;
        case K_CLASS: {
            uint32_t code;
            int len = CharAt(w->t, pos, w->n, &code);
            if (!len || Find(q->table, Key(node, code)) < 0) return -1;
            return pos + len;
        }
        case K_GROUP: {
            int end = Walk(w, nd.b, pos);
            if (end < 0) return -1;
            w->log[w->logCount++] = QuickSpan{nd.a, pos, end};
            return end;
        }
        case K_SEQ:
            for (int32_t i = 0; i < nd.b && pos >= 0; i++) pos = Walk(w, q->kids[nd.a + i], pos);
            return pos;
        case K_ALT: {
            uint32_t code;
            int len = CharAt(w->t, pos, w->n, &code);
            int32_t i = len ? Find(q->table, Key(node, code)) : -1;
            if (i < 0) return -1;
            int32_t kid = q->kids[nd.a + i];
            // The table holds a class's characters as its first characters:
            // the one at pos is in it already.
            if (q->nodes[kid].kind == K_CLASS) return pos + len;
            return Walk(w, kid, pos);
        }
    }
    return -1;
}

// What each byte is where a character begins: its own character, the lead
// byte of two, or one the engine reads alone but the quick matcher leaves
// to it (IsOddByte).
enum { BYTE_SINGLE, BYTE_LEAD, BYTE_ODD };
struct ByteKinds {
    unsigned char kind[256];
    unsigned char trail[256];  // 1: a valid trail byte
};
constexpr ByteKinds MakeByteKinds() {
    ByteKinds k = {};
    for (unsigned c = 0; c < 256; c++) {
        k.kind[c] = IsLead(c) ? BYTE_LEAD : IsOddByte(c) ? BYTE_ODD : BYTE_SINGLE;
        k.trail[c] = IsTrail(c) ? 1 : 0;
    }
    return k;
}
constexpr ByteKinds kBytes = MakeByteKinds();

}  // namespace

QuickMatcher* QuickCompile(const char* pattern, size_t length) {
    if (!pattern || length > (size_t)INT_MAX / 4) return nullptr;
    Parser ps;
    ps.p = (const unsigned char*)pattern;
    ps.end = ps.p + length;
    ps.table.slots = (Slot*)calloc(64, sizeof(Slot));
    ps.table.mask = 63;
    bool anchored = ps.p < ps.end && *ps.p == '^';
    if (anchored) ps.p++;
    int32_t root = ps.table.slots ? ReadAlternation(&ps) : -1;
    QuickMatcher* q = nullptr;
    // "^" belongs to the first alternative only: taken when there is one.
    bool whole = root >= 0 && ps.p == ps.end && (!anchored || ps.nodes.at[root].kind != K_ALT);
    if (whole) q = (QuickMatcher*)calloc(1, sizeof(QuickMatcher));
    if (!q) {
        FreeParser(&ps);
        return nullptr;
    }
    const Node& r = ps.nodes.at[root];
    for (int32_t j = r.firstAt; j < r.firstAt + r.firstCount; j++) {
        uint32_t code = ps.firsts.at[j];
        q->firstMap[code >> 6] |= 1ull << (code & 63);
    }
    q->nodes = ps.nodes.at;
    q->kids = ps.kids.at;
    q->bytes = ps.bytes.at;
    q->table = ps.table;
    q->root = root;
    q->groups = ps.groups;
    q->anchored = anchored;
    free(ps.stack.at);
    free(ps.firsts.at);
    return q;
}

void QuickFree(QuickMatcher* q) {
    if (!q) return;
    free(q->nodes);
    free(q->kids);
    free(q->bytes);
    free(q->table.slots);
    free(q);
}

int QuickGroups(const QuickMatcher* q) { return q ? q->groups : 0; }

int QuickSearch(const QuickMatcher* q, const unsigned char* target, const unsigned char* end,
                QuickSpan* spans, int* spanCount) {
    *spanCount = 0;
    if (!q || !target || end < target || end - target > INT_MAX) return QUICK_UNSURE;
    const int n = (int)(end - target);
    Walker w = {q, target, n, spans, 0};
    int found = -1;
    // One walk over the characters: each is checked for being well formed
    // (the engine's answer is kept for any text that is not), and where a
    // match could begin, it is tried until one is found.
    for (int pos = 0; pos < n;) {
        unsigned c = target[pos];
        uint32_t code = c;
        int len = 1;
        switch (kBytes.kind[c]) {
            case BYTE_LEAD:
                if (pos + 1 >= n || !kBytes.trail[target[pos + 1]]) return QUICK_UNSURE;
                code = (c << 8) | target[pos + 1];
                len = 2;
                break;
            case BYTE_ODD:
                return QUICK_UNSURE;
        }
        if (found < 0 && (q->firstMap[code >> 6] >> (code & 63) & 1) &&
            (!q->anchored || pos == 0)) {
            w.logCount = 1;
            int matchEnd = Walk(&w, q->root, pos);
            if (matchEnd >= 0) {
                found = pos;
                spans[0] = QuickSpan{0, pos, matchEnd};
            }
        }
        pos += len;
    }
    if (found < 0) return 0;
    *spanCount = w.logCount;
    return 1;
}
