// shellrules.h - the text rules of the shell integration, free of windows.h:
// file lists, the CF_HDROP block, rooted paths that must fit a path buffer,
// shortcut names, the parameter string of a program opened on files and the
// parent folder and name the shell parses for its context menu.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Path buffers of the shell integration: 260 characters and the NUL.
enum { SHELL_PATH_SIZE = 261 };

// The CF_HDROP block: a 20-byte header (list offset, drop point x and y,
// non-client flag, wide flag; little-endian 32-bit fields) and a file list.
// A list taken from n list rows gets 522 bytes of room per row; the single
// path of the edit box gets 261.
enum {
    DROP_HEADER_SIZE = 20,
    DROP_ROOM_PER_ITEM = 522,
    DROP_EDIT_BLOCK_SIZE = DROP_HEADER_SIZE + SHELL_PATH_SIZE,
};
// Values of the "Preferred DropEffect" block.
enum { EFFECT_COPY = 1, EFFECT_MOVE = 2 };
// Modes of putting files on the clipboard.
enum { CLIP_CUT = 1, CLIP_COPY = 2 };
// Actions of a copy or move step of a drop.
enum { TRANSFER_COPY = 1, TRANSFER_MOVE = 2 };

// File lists: NUL-terminated paths, one more NUL after the last.
// Number of paths.
int FileListCount(const char* list);
// Bytes of the whole list, the closing NUL included (1 for an empty list).
size_t FileListBytes(const char* list);
// Appends path (and its NUL, and keeps the closing NUL) to the list held in
// block (size bytes, used bytes in use not counting the closing NUL); false,
// nothing written, when it does not fit or path is empty.
bool FileListAppend(char* block, size_t size, size_t* used, const char* path);

// Size of the CF_HDROP block for count list rows: 20 + 522 x count.
size_t DropBlockSizeFor(int count);
// Writes the header and list into block (size bytes, zero-filled by the
// caller); false, block untouched, when list and its closing NUL do not fit.
bool WriteDropBlock(unsigned char* block, size_t size, const char* list);
// The same block with the wide flag set for a list already in UTF-16: units
// code units, the closing NUL included (written little-endian); false, block
// untouched, when it does not fit or the list is not closed by two NULs.
bool WriteWideDropBlock(unsigned char* block, size_t size, const uint16_t* list, size_t units);
// Reads the "Preferred DropEffect" value: 0 none (or too short a block),
// EFFECT_MOVE for 2, EFFECT_COPY for any other non-zero value.
int EffectOfBlock(const unsigned char* block, size_t size);
// The u32 stored after a cut (CLIP_CUT: 2) or a copy (1).
uint32_t EffectForMode(int mode);

// text rooted at the start folder (one leading separator) into dst; false
// (dst empty) when the result would not fit into size bytes, so a long path
// is never cut into another name. Also false for an empty text.
bool RootedPath(const char* text, char* dst, size_t size);
// "X:\" (or "X:/"): a drive root.
bool IsDriveRoot(const char* path);
// The edit box's path for the clipboard and shortcuts: rooted, and one
// trailing separator removed unless that leaves a bare drive.
bool EditItemPath(const char* text, char* dst, size_t size);

// Shortcut names. Candidate n for base: base + ".lnk" (n 0) or
// base + "(n).lnk"; false (dst empty) when it does not fit size.
bool LinkNameCandidate(const char* base, unsigned n, char* dst, size_t size);
// Replaces the path in buf by the first candidate that names no existing file
// or folder; false, buf unchanged, when none shorter than size is free.
bool UniqueLinkName(char* buf, size_t size);
// folder + "\" + the last component of file: the base of a shortcut made in
// folder for file; false when it does not fit.
bool LinkBaseInFolder(const char* folder, const char* file, char* dst, size_t size);

// The parameter string for a program opened on the files of list: each path
// (quoted when it holds a blank) followed by one blank. Its size: the sum of
// length + 3 over the paths, and one byte for the terminating NUL.
size_t ParameterStringSize(const char* list);
// Heap block (MemAlloc; caller frees) with that string; null for an empty
// list or without memory.
char* BuildParameterString(const char* list);
// A drop target that is a program: its last four characters are ".exe" in
// any case.
bool IsProgramTarget(const char* path);

// The parent folder to bind and the name to parse for one item of the shell's
// context menu. parent: the folder the item belongs to ("" for the drive list;
// a trailing separator may follow); item: its full path. parentOut "" stands
// for the desktop. A drive item ("X:" or "X:\") is parsed as "X:\" on the
// desktop; a bare drive parent is bound as its root "X:\"; any other item is
// parsed by its last component. False when something does not fit.
bool ShellParentAndName(const char* parent, const char* item, char* parentOut, size_t parentSize,
                        char* nameOut, size_t nameSize);
// The folder an item is named in (the parent of a single item): item cut
// after its last separator; "" when it has none.
void ParentOfItem(const char* item, char* dst, size_t size);

// A CF_HDROP block that another program put on the clipboard can be read
// safely: its list offset lies inside the block after the header and its list
// (ANSI, or UTF-16 when the wide flag is set) ends with the closing NUL
// before the block does.
bool DropBlockIsSound(const unsigned char* block, size_t size);

// A copy into the folder that already holds the item gets a new name; these
// are the names the shell's own file operation gives such a copy when it is
// told the folder as its destination. Candidate n (1, 2, ...) for the item
// path (a file or, with folder true, a folder): its name's stem, " - コピー",
// " (n)" from n = 2 on, then the extension, all in the same folder: for
// "C:\a\x.txt" "C:\a\x - コピー.txt", then "C:\a\x - コピー (2).txt". The
// extension is the last dot and what follows it, unless a blank follows the
// dot or it is the name's first character; a folder has none. False (dst
// empty) when the name does not fit size.
bool CopyNameCandidate(const char* path, bool folder, unsigned n, char* dst, size_t size);
// The first candidate for path that names no existing file or folder; false
// (dst empty) when none shorter than size is free.
bool SameFolderCopyTarget(const char* path, char* dst, size_t size);

// The source and destination lists of a copy (copy true) or move of the files
// of list into folder, one destination per source, for the shell's file
// operation with one target per file. A file's destination is folder + "\" +
// its last component; a file that already lies in folder is copied under
// SameFolderCopyTarget's name and left out of a move (it is there already).
// A file whose destination would not fit a path buffer is left out of both.
// Heap blocks (MemAlloc; the caller frees both); false, both null, when no
// file remains or memory runs out.
bool BuildTransferLists(const char* list, const char* folder, bool copy, char** from, char** to);
