// listeditrules.cpp - the rules of the list-item pages, the registered-applications
// page and the key page of the settings program (see listeditrules.h).
#include "listeditrules.h"

#include <stdio.h>
#include <string.h>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/keymap.h"
#include "common/regapps.h"
#include "common/strutil.h"

const char RowBlankText[] = "<BLANK>";
const char RowNextPageText[] = "<NEXT PAGE>";
const char RowSeparationText[] = "<SEPARATION>";
const char NeedModifierMessage[] = "Alt,Ctrl,Shiftと組み合わせてください";

const char* BreakRowText(int mode) {
    return mode == LF_FAVORITES ? RowNextPageText : RowSeparationText;
}

// ---------------------------------------------------------------------------
// Rows of the list-item pages

static int AppendRow(ItemRows* out, int32_t* capacity, const char* text, const char* filter,
                     int32_t checked) {
    if (out->count >= *capacity) {
        int32_t want = *capacity ? *capacity * 2 : 32;
        if (want <= *capacity) return 0;
        ItemRow* grown = (ItemRow*)MemRealloc(out->rows, (size_t)want * sizeof(ItemRow));
        if (!grown) return 0;
        out->rows = grown;
        *capacity = want;
    }
    ItemRow* row = &out->rows[out->count++];
    memset(row, 0, sizeof *row);
    CopyString(row->text, text, sizeof row->text);
    CopyString(row->filter, filter ? filter : "", sizeof row->filter);
    row->checked = checked;
    return 1;
}

static bool Fits(const char* text, size_t size) { return strlen(text) < size; }

int ReadItemRows(char* text, int mode, ItemRows* out) {
    FreeItemRows(out);
    ListFile file = {};
    if (!ParseListText(text, mode, 0, &file)) return 0;
    int32_t capacity = 0;
    int ok = 1;
    for (int32_t i = 0; i < file.count && ok; i++) {
        const ListLine* line = &file.lines[i];
        switch (line->kind) {
        case LL_BLANK: ok = AppendRow(out, &capacity, RowBlankText, "", 0); break;
        case LL_BREAK: ok = AppendRow(out, &capacity, BreakRowText(mode), "", 0); break;
        case LL_PLAIN:
            if (strlen(line->path) > ITEM_PATH_MAX)
                out->dropped++;
            else
                ok = AppendRow(out, &capacity, line->path, "", 0);
            break;
        case LL_EXPAND: {
            const char* patterns = line->patterns ? line->patterns : "";
            if (strlen(line->path) > ITEM_PATH_MAX || !Fits(patterns, ITEM_FILTER_SIZE))
                out->dropped++;
            else
                ok = AppendRow(out, &capacity, line->path, patterns, 1);
            break;
        }
        default: out->dropped++; break;
        }
    }
    FreeListFile(&file);
    if (!ok) FreeItemRows(out);
    return ok;
}

void FreeItemRows(ItemRows* rows) {
    MemFree(rows->rows);
    rows->rows = nullptr;
    rows->count = 0;
    rows->dropped = 0;
}

static bool HoldsAny(const char* text, const char* set) {
    for (const char* p = text; *p; p += CharStepSjis(p))
        if (strchr(set, *p)) return true;
    return false;
}

int RowToLine(const ItemRow* row, int mode, ListLine* line) {
    line->path = row->text;
    line->patterns = nullptr;
    if (strcmp(row->text, RowBlankText) == 0) {
        line->kind = LL_BLANK;
        line->path = "";
        return ROW_LINE_OK;
    }
    if (strcmp(row->text, BreakRowText(mode)) == 0) {
        line->kind = LL_BREAK;
        line->path = ">";
        return ROW_LINE_OK;
    }
    if (HoldsAny(row->text, "\r\n>")) return ROW_LINE_BAD_TEXT;
    size_t len = strlen(row->text);
    if (!row->checked) {
        // A plain line that starts with "-" would read back as an expansion.
        if (row->text[0] == '-') return ROW_LINE_BAD_TEXT;
        line->kind = LL_PLAIN;
        return len <= LIST_LINE_MAX ? ROW_LINE_OK : ROW_LINE_TOO_LONG;
    }
    line->kind = LL_EXPAND;
    size_t lineLen = 1 + len;
    if (mode == LF_FAVORITES && row->filter[0]) {
        if (HoldsAny(row->filter, "\"\r\n>")) return ROW_LINE_BAD_FILTER;
        line->patterns = row->filter;
        lineLen += 2 + strlen(row->filter);
    } else if (mode == LF_FAVORITES && row->text[0] == '"') {
        lineLen += 2;  // the writer puts an empty pattern part before such a folder
    }
    return lineLen <= LIST_LINE_MAX ? ROW_LINE_OK : ROW_LINE_TOO_LONG;
}

int32_t SelectAfterDelete(int32_t lastPos, int32_t deleted, int32_t rowsLeft) {
    if (rowsLeft <= 0) return -1;
    int32_t pos = lastPos;
    if (pos == rowsLeft) pos -= deleted;
    if (pos < 0) pos = 0;
    if (pos >= rowsLeft) pos = rowsLeft - 1;
    return pos;
}

bool RowMayExpand(const char* text, const ItemPathTests* tests) {
    if (!text) return false;
    if (text[0] == '-') text++;
    if (!text[0]) return false;
    return tests->isFolder(tests->ctx, text);
}

int32_t InsertPosition(int32_t selected, int32_t count) {
    return selected >= 0 && selected < count ? selected : count;
}

// ---------------------------------------------------------------------------
// Registered applications

int32_t SmallestFreeAppId(const int32_t* ids, int32_t count) {
    for (int32_t candidate = REGAPP_FIRST_ID; candidate <= REGAPP_LAST_ID; candidate++) {
        bool used = false;
        for (int32_t i = 0; i < count && !used; i++) used = ids[i] == candidate;
        // An id that a key binding still holds would hand that key to the new program.
        if (!used && CountBindingsOfId((uint32_t)candidate) == 0) return candidate;
    }
    return -1;
}

bool AppNameTaken(const char* const* names, int32_t count, const char* name, int32_t skip) {
    for (int32_t i = 0; i < count; i++)
        if (i != skip && names[i] && strcmp(names[i], name) == 0) return true;
    return false;
}

int AppFieldsFromPath(const char* path, char* name, size_t nameSize, char* folder,
                      size_t folderSize) {
    if (name && nameSize) name[0] = '\0';
    if (folder && folderSize) folder[0] = '\0';
    if (!path || !path[0] || strlen(path) > ITEM_PATH_MAX) return 0;
    char last[REGAPP_TEXT_SIZE];
    FileNamePart(path, last, sizeof last);
    // Cut at the last "." of the last component (double-byte aware).
    char* dot = nullptr;
    for (char* p = last; *p; p += CharStepSjis(p))
        if (*p == '.') dot = p;
    if (dot) *dot = '\0';
    char cut[REGAPP_TEXT_SIZE];
    CopyString(cut, path, sizeof cut);
    if (!CutLastComponent(cut)) {
        // No separator past the first byte: a root such as "\x" keeps its root.
        if (IsSeparator(cut[0])) cut[1] = '\0';
        else cut[0] = '\0';
    }
    if (!Fits(last, nameSize) || !Fits(cut, folderSize)) return 0;
    CopyString(name, last, nameSize);
    CopyString(folder, cut, folderSize);
    return 1;
}

int CheckAppEntryTexts(const char* name, const char* path, const char* arg, const char* folder,
                       bool pathExists, const char* const* names, int32_t count, int32_t skip,
                       int32_t* field) {
    const char* texts[4] = {name, path, arg, folder};
    for (int32_t i = 0; i < 4; i++) {
        if (strlen(texts[i]) > REGAPP_TEXT_SIZE - 1) {
            if (field) *field = i;
            return APP_ENTRY_TOO_LONG;
        }
    }
    if (field) *field = 1;
    if (!path[0] || !pathExists) return APP_ENTRY_NO_PATH;
    if (field) *field = 0;
    if (AppNameTaken(names, count, name, skip)) return APP_ENTRY_NAME_TAKEN;
    // The writer's own test of what reads back unchanged, field by field.
    for (int32_t i = 0; i < 4; i++) {
        RegApp probe = {};
        CopyString(probe.path, "x", sizeof probe.path);
        CopyString(i == 0 ? probe.name : i == 1 ? probe.path : i == 2 ? probe.arg : probe.folder,
                   texts[i], REGAPP_TEXT_SIZE);
        probe.cmd = REGAPP_FIRST_ID;
        if (CheckRegAppEntry(&probe) != 0) {
            if (field) *field = i;
            return APP_ENTRY_BAD_TEXT;
        }
    }
    return APP_ENTRY_OK;
}

// ---------------------------------------------------------------------------
// Key page

bool IsFunctionKey(uint32_t virtualKey) { return virtualKey >= 0x70 && virtualKey <= 0x87; }

CaptureResult ComposeCapture(uint32_t virtualKey, uint32_t modifiers, uint32_t rowKey) {
    CaptureResult r = {};
    virtualKey &= 0xFF;
    char text[64];
    if (IsModifierKey(virtualKey) || !KeyName(virtualKey, text, sizeof text)) return r;
    r.pendingKey = virtualKey | (modifiers & (KEY_ALT | KEY_CTRL | KEY_SHIFT));
    bool hasModifier = (r.pendingKey & (KEY_ALT | KEY_CTRL | KEY_SHIFT)) != 0;
    if (!hasModifier && !IsFunctionKey(virtualKey)) {
        r.kind = CAPTURE_NEED_MODIFIER;
        return r;
    }
    int holder = FindBindingByKey(r.pendingKey);
    if (holder != -1) {
        r.kind = CAPTURE_BOUND;
        r.holderId = holder;
        return r;
    }
    r.kind = CAPTURE_FREE;
    if (r.pendingKey != rowKey) {
        r.enableChange = true;
        r.enableAdd = rowKey != 0;  // a row showing "(NONE)" can only be changed
    }
    return r;
}

bool ModifierClickStands(uint32_t keyInPlay, uint32_t modifiersAfter) {
    if (IsFunctionKey(keyInPlay & 0xFF)) return true;
    return (modifiersAfter & (KEY_ALT | KEY_CTRL | KEY_SHIFT)) != 0;
}

void FormatBoundMessage(const char* rowName, uint32_t key, const char* holderName, char* out,
                        size_t outSize) {
    char keyText[64];
    KeyText(key, keyText, sizeof keyText, -1);
    snprintf(out, outSize, "%s - %s は\r\n%s に割り当て済み", rowName, keyText, holderName);
}

int SyncAppBindings(const int32_t* ids, int32_t count) {
    // Bindings of ids not in the list stay: they go only with an application the
    // user deletes, and a list read a moment ago may lack a program that is away.
    int ok = 1;
    for (int32_t j = 0; j < count; j++) {
        if (ids[j] < REGAPP_FIRST_ID) continue;
        if (CountBindingsOfId((uint32_t)ids[j]) == 0 && !AddAppBinding((uint32_t)ids[j], 0))
            ok = 0;
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Files that could not be read

static const char* UnreadableConsequence(int dataFileId) {
    switch (dataFileId) {
        case DF_SETTINGS: return "設定の変更は保存されません。";
        case DF_KEYMAP: return "「キー割り当て」の変更は保存されません。";
        case DF_DEFAULT: return "「Default(2)」の変更は保存されません。";
        case DF_FAVORITES: return "「Favorite(2)」の変更は保存されません。";
        case DF_APPS: return "「登録アプリ」は編集も保存もできません。\r\n登録アプリのキー割り当てはそのまま残ります。";
    }
    return nullptr;
}

int FormatUnreadableMessage(int dataFileId, const char* path, char* out, size_t outSize) {
    const char* consequence = UnreadableConsequence(dataFileId);
    if (!out || outSize == 0) return 0;
    out[0] = '\0';
    if (!consequence || !path) return 0;
    int n = snprintf(out, outSize, "%s\r\nを読み込めませんでした。\r\n%s", path, consequence);
    if (n < 0 || (size_t)n >= outSize) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}
