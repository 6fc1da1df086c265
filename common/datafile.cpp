// datafile.cpp - names, paths, loads and saves of the files of the data folder.
#include "datafile.h"

#include <stdio.h>
#include <string.h>

#include "fileio.h"

DataFileRecord DataFiles;

static const char* const kDataFileNames[DF_FILE_COUNT] = {
    "vorn.ini", "keymap", "vorn_d.dat", "vorn_f.dat", "vorn_h.dat", "vorn_e.dat",
};

static const char kDataFolder[] = "data";
static const char kBackupSuffix[] = ".bak";

static bool ValidId(int id) { return id >= 0 && id < DF_FILE_COUNT; }

const char* DataFileName(int id) { return ValidId(id) ? kDataFileNames[id] : nullptr; }

// Module folder + "data" (+ "\" + name + suffix when name is given).
static int BuildPath(const char* name, const char* suffix, char* dst, size_t dstSize) {
    if (!dst || dstSize == 0) return 0;
    ModulePath(AppModule, dst, nullptr, dstSize);
    size_t n = strlen(dst);
    int put = -1;
    if (n > 0 && n < dstSize) {
        size_t room = dstSize - n;
        put = name ? snprintf(dst + n, room, "%s\\%s%s", kDataFolder, name, suffix ? suffix : "")
                   : snprintf(dst + n, room, "%s", kDataFolder);
        // A path cut to fit would name another file.
        if (put >= 0 && (size_t)put >= room) put = -1;
    }
    if (put < 0) {
        dst[0] = '\0';
        return 0;
    }
    return 1;
}

int DataFilePath(int id, char* dst, size_t dstSize) {
    if (!ValidId(id)) {
        if (dst && dstSize) dst[0] = '\0';
        return 0;
    }
    return BuildPath(kDataFileNames[id], nullptr, dst, dstSize);
}

int EnsureDataFolder(void) {
    char path[DATA_PATH_SIZE];
    if (!BuildPath(nullptr, nullptr, path, sizeof path)) return 0;
    if (DirectoryExists(path)) return 1;
    return CreateFolder(path);
}

char* LoadDataFile(int id, int* status, size_t* sizeOut) {
    int found = DF_MISSING;
    char* text = nullptr;
    char path[DATA_PATH_SIZE];
    if (DataFilePath(id, path, sizeof path)) {
        int result = FILE_READ_MISSING;
        text = ReadWholeFileStatus(path, sizeOut, &result);
        if (text)
            found = DF_READ;
        else if (result != FILE_READ_MISSING)
            found = DF_UNREADABLE;
    }
    if (ValidId(id)) DataFiles.lastLoad[id] = found;
    if (status) *status = found;
    return text;
}

int DataFileLastLoad(int id) { return ValidId(id) ? DataFiles.lastLoad[id] : DF_MISSING; }

void MarkDataFileUnreadable(int id) {
    if (ValidId(id)) DataFiles.lastLoad[id] = DF_UNREADABLE;
}

int SaveDataFile(int id, const void* data, size_t len) {
    if (!ValidId(id) || DataFiles.lastLoad[id] == DF_UNREADABLE) return 0;
    char path[DATA_PATH_SIZE];
    if (!DataFilePath(id, path, sizeof path)) return 0;
    return WriteWholeFile(path, data, len);
}

int KeepDataFileBackup(int id) {
    char path[DATA_PATH_SIZE], backup[DATA_PATH_SIZE];
    if (!ValidId(id) || !DataFilePath(id, path, sizeof path) ||
        !BuildPath(kDataFileNames[id], kBackupSuffix, backup, sizeof backup))
        return 0;
    size_t size = 0;
    int result = FILE_READ_MISSING;
    char* bytes = ReadWholeFileStatus(path, &size, &result);
    if (!bytes) return result == FILE_READ_MISSING ? 1 : 0;
    int ok = WriteWholeFile(backup, bytes, size);
    MemFree(bytes);
    return ok;
}

int RepairDataFile(int id, const void* data, size_t len, const char* oldText, size_t oldLen) {
    if (!ValidId(id) || DataFiles.lastLoad[id] == DF_UNREADABLE) return 0;
    bool same = oldText && oldLen == len && (len == 0 || memcmp(oldText, data, len) == 0);
    if (!same && !KeepDataFileBackup(id)) return 0;
    return SaveDataFile(id, data, len);
}
