// optdata.h - the one record of the settings program that its pages share.
// The settings themselves are the common record Settings (common/settings.h),
// loaded at start and saved at OK; here are the paths and the state around it.
#pragma once
#include <windows.h>

#include "common/datafile.h"
#include "common/settings.h"

struct OptRecord {
    HINSTANCE instance;
    HANDLE mutex;            // "___vorn__te_optbox", held from start to end
    HWND dialog;             // the settings dialog 107, null while none is open
    HWND tree;               // its tree view 1000
    SettingsRecord loaded;   // the record as loaded and validated, before any page
    char appsTmpPath[DATA_PATH_SIZE];   // "data\vorn_e.tmp"
    char moduleFolder[MAX_PATH + 1];    // folder of Optbox.exe, no trailing separator
    uint32_t customColors[2][16];       // custom colours of the colour chooser
    bool customFilled[2];
};
extern OptRecord Opt;

// Fills the paths of the record (once, at start-up).
void InitOptData(HINSTANCE instance);
// Deletes "data\vorn_e.tmp" when it is there.
void DeleteAppsTemp(void);
// Creates the file empty when it does not exist; an existing file is left alone.
void CreateEmptyIfMissing(int dataFileId);
