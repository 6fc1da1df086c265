// optdata.cpp - the record Opt and its file helpers.
#include "optbox/optdata.h"

#include "common/fileio.h"
#include "common/strutil.h"

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
