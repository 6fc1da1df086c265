// datafile.h - the files of the data folder ("data\" beside the executables):
// their names and paths, reading them with what each load found, and the two
// rules that keep a user's data:
//   - a file that exists but could not be read is never saved over (until a
//     later load of it succeeds), so a file held by another program for a
//     moment is not replaced by defaults or by what little is in memory;
//   - a file that is rewritten because its content was damaged or incomplete
//     is first kept as "<name>.bak" (one generation, replacing an older one).
// Shared by both programs. Pure: files are reached through fileio.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum DataFileId {
    DF_SETTINGS = 0,   // "vorn.ini"
    DF_KEYMAP = 1,     // "keymap"
    DF_DEFAULT = 2,    // "vorn_d.dat"
    DF_FAVORITES = 3,  // "vorn_f.dat"
    DF_HISTORY = 4,    // "vorn_h.dat"
    DF_APPS = 5,       // "vorn_e.dat"
    DF_FILE_COUNT = 6,
};

// What a load found. The values are those of the History's old "read" result
// (0 nothing read, 1 read).
enum DataFileStatus {
    DF_MISSING = 0,     // no such file (or no such folder)
    DF_READ = 1,        // read whole
    DF_UNREADABLE = 2,  // there, but could not be opened or read
};

// The layer's one state record: the status of each file's last load (DF_MISSING
// before the first one).
struct DataFileRecord {
    int32_t lastLoad[DF_FILE_COUNT];
};
extern DataFileRecord DataFiles;

// Size of a buffer that holds any data-file path, its ".bak" sibling included.
enum { DATA_PATH_SIZE = 300 };

// The file name ("vorn.ini", ...), or null for an unknown id.
const char* DataFileName(int id);
// Module folder + "data\" + name into dst; 0 (dst empty) for an unknown id or
// when the path does not fit.
int DataFilePath(int id, char* dst, size_t dstSize);
// Creates the data folder when it is not there; 1 when it exists afterwards.
int EnsureDataFolder(void);

// Reads the file whole. Returns the NUL-terminated block (MemFree it) when the
// status is DF_READ, else null. status and sizeOut may be null. The status is
// remembered as the file's last load.
char* LoadDataFile(int id, int* status, size_t* sizeOut);
// The status of the file's last load.
int DataFileLastLoad(int id);
// For a caller that read a file but could not take in what it read (out of
// memory): the file counts as unreadable, so it is not saved over.
void MarkDataFileUnreadable(int id);

// Replaces the file whole and atomically. 0 without writing when the file's
// last load was DF_UNREADABLE, or when writing failed (the old file is then
// untouched); 1 when written.
int SaveDataFile(int id, const void* data, size_t len);
// Copies the file as it is now to "<name>.bak", replacing an older copy.
// 1 when copied or when there is no file to keep; 0 when it could not be read
// or the copy could not be written.
int KeepDataFileBackup(int id);
// Rewrites a file whose content (oldText, oldLen bytes, as loaded) was damaged
// or incomplete with data: when the new bytes differ from the old ones, the
// file is first kept as "<name>.bak", and nothing is written when that fails.
// Then SaveDataFile. 1 when written.
int RepairDataFile(int id, const void* data, size_t len, const char* oldText, size_t oldLen);
