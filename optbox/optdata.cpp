// optdata.cpp - the record Opt and its file helpers.
#include "optbox/optdata.h"

#include "common/fileio.h"
#include "common/keymap.h"
#include "common/strutil.h"

#include <stdio.h>
#include <string.h>

OptRecord Opt;

static const char AppsTempName[] = "vorn_e.tmp";

void InitOptData(HINSTANCE instance) {
    Opt.instance = instance;
    char apps[DATA_PATH_SIZE];
    if (DataFilePath(DF_APPS, apps, sizeof apps)) {
        CutAfterLastSeparator(apps);
        ConcatTo(apps, AppsTempName, Opt.appsTmpPath, sizeof Opt.appsTmpPath);
    }
    ModulePath(nullptr, Opt.moduleFolder, "", sizeof Opt.moduleFolder);
    RemoveTrailingSeparator(Opt.moduleFolder);
}

void DeleteAppsTemp(void) {
    if (Opt.appsTmpPath[0] && FileExists(Opt.appsTmpPath)) DeleteFileA(Opt.appsTmpPath);
}

void CreateEmptyIfMissing(int dataFileId) {
    char path[DATA_PATH_SIZE];
    if (!DataFilePath(dataFileId, path, sizeof path)) return;
    // CREATE_NEW never touches a file that is there.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void ReportIfUnreadable(int dataFileId) {
    if (dataFileId < 0 || dataFileId >= DF_FILE_COUNT || DataFileLastLoad(dataFileId) != DF_UNREADABLE) return;
    uint32_t bit = 1u << dataFileId;
    if (Opt.reportedUnreadable & bit) return;
    Opt.reportedUnreadable |= bit;
    if (Opt.dialog) PostMessageA(Opt.dialog, WM_OPT_UNREADABLE, (WPARAM)dataFileId, 0);
}

// --- Writes of OK ---------------------------------------------------------------------

struct StagedFile {
    char* text;   // MemAlloc'd copy, null when nothing is staged
    size_t len;
};
static StagedFile Staged[DF_FILE_COUNT];
// The order of collection: registered applications, key bindings, Favorites, Default.
static const int StageOrder[] = {DF_APPS, DF_KEYMAP, DF_FAVORITES, DF_DEFAULT};

bool StageDataFile(int dataFileId, const char* text, size_t len) {
    if (dataFileId < 0 || dataFileId >= DF_FILE_COUNT || !text) return false;
    if (DataFileLastLoad(dataFileId) == DF_UNREADABLE) return true;
    char* copy = (char*)MemAlloc(len + 1);
    if (!copy) return false;
    memcpy(copy, text, len);
    copy[len] = '\0';
    MemFree(Staged[dataFileId].text);
    Staged[dataFileId].text = copy;
    Staged[dataFileId].len = len;
    return true;
}

bool StageKeyBindings(void) {
    size_t size = KeymapTextSize();
    char* text = (char*)MemAlloc(size);
    int len = text ? FormatKeymap(text, size) : -1;
    bool ok = len >= 0 && StageDataFile(DF_KEYMAP, text, (size_t)len);
    MemFree(text);
    return ok;
}

void DiscardStagedFiles(void) {
    for (StagedFile& f : Staged) {
        MemFree(f.text);
        f.text = nullptr;
        f.len = 0;
    }
}

void AddFailedPath(int dataFileId, char* failed, size_t failedSize) {
    char path[DATA_PATH_SIZE];
    if (!failed || !failedSize || !DataFilePath(dataFileId, path, sizeof path)) return;
    size_t used = strlen(failed);
    snprintf(failed + used, failedSize - used, "%s%s", used ? "\r\n" : "", path);
}

int WriteStagedFiles(char* failed, size_t failedSize) {
    int count = 0;
    if (failed && failedSize) failed[0] = '\0';
    for (int id : StageOrder) {
        if (!Staged[id].text) continue;
        if (!SaveDataFile(id, Staged[id].text, Staged[id].len)) {
            count++;
            AddFailedPath(id, failed, failedSize);
        }
    }
    DiscardStagedFiles();
    return count;
}
