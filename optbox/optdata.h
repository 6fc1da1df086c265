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
    uint32_t reportedUnreadable;        // bit per DataFileId: the user was told
};
extern OptRecord Opt;

// Fills the paths of the record (once, at start-up).
void InitOptData(HINSTANCE instance);
// Deletes "data\vorn_e.tmp" when it is there.
void DeleteAppsTemp(void);
// Creates the file empty when it does not exist; an existing file is left alone.
void CreateEmptyIfMissing(int dataFileId);

// Sent to the dialog (wParam a DataFileId): tells the user that the file is
// there but could not be read, and what is therefore not saved.
enum { WM_OPT_UNREADABLE = WM_APP + 1 };
// Asks for that message, once per file, when the file's last load found it
// unreadable. Shown after the message being handled (a page may be switching).
void ReportIfUnreadable(int dataFileId);

// The writes of OK. Each page hands the new text of its file here; nothing is
// written until every page has been collected, so a page that refuses leaves
// every file as it was. A file whose last load found it unreadable is never
// staged (the user was told its changes are not saved).
bool StageDataFile(int dataFileId, const char* text, size_t len);
// The key bindings as they are in memory, staged for "data\keymap".
bool StageKeyBindings(void);
void DiscardStagedFiles(void);
// Writes the staged files in the order of collection and forgets them. The
// paths of files that could not be written go into failed (one a line);
// returns their number.
int WriteStagedFiles(char* failed, size_t failedSize);
// Appends the path of a data file as one line of failed.
void AddFailedPath(int dataFileId, char* failed, size_t failedSize);
