// toolrules.h - the text rules of the rename and delete hand-off between the
// launcher and its companion program "tools.exe":
//   - the selection text: quoted paths, each followed by one blank;
//   - the WM_COPYDATA record that carries it (1000 rename, 1001 delete), read
//     back into a file list by the companion;
//   - the companion's check of a new file name and the part of a name that its
//     rename dialog selects (the stem, without the extension).
// Pure: no windows.h. Every path is bounded to a 261-byte path buffer: a path
// that does not fit is refused, never cut (a cut path names another file).
#pragma once
#include <stddef.h>
#include <stdint.h>

enum {
    TOOL_PATH_SIZE = 261,      // a path: at most 260 bytes and the NUL
    TOOL_VERSION = 3,          // the version the companion answers with
    TOOL_OLDEST_VERSION = 3,   // older answers are turned away
    TOOL_RECORD_RENAME = 1000, // WM_COPYDATA dwData of a rename
    TOOL_RECORD_DELETE = 1001, // and of a delete
};

// --- the companion's messages ---------------------------------------------------

// What one "WM_TOOLSMSG" means to the vorn that gets it. The companion's
// first answer goes to every vorn running (it cannot tell which one started
// it); the vorn that sent it the paths (WM_COPYDATA carries its window in
// wParam) later hears from it once it is done.
enum ToolMessageMeaning {
    TOOL_MSG_IGNORED = 0,  // meant for another vorn, or from another program
    TOOL_MSG_ANSWER = 1,   // the answer of the companion this vorn waits for
    TOOL_MSG_DONE = 2,     // the companion this vorn handed the paths to is done
};
// waiting: this vorn waits for the answer of the companion it started, whose
// process id is startedPid (0: not known, any answer counts); senderPid: the
// process of the window the message names (wParam); handedTo: the companion
// window this vorn handed its paths to (0: none); sender: that wParam.
ToolMessageMeaning ToolMessageFor(bool waiting, uint32_t startedPid, uint32_t senderPid,
                                  uintptr_t handedTo, uintptr_t sender);

// --- the selection text ---------------------------------------------------------

// Bytes the selection text of a file list takes with its NUL: length + 3 per
// path (two quotes, one blank), and 1.
size_t SelectionTextSize(const char* list);
// Writes the selection text of list (NUL-terminated paths, one more NUL at the
// end) into out: each path in double quotes followed by one blank. Returns the
// number of paths, or 0 (out empty) when the list is empty, a path is longer
// than 260 bytes or holds a double quote, or out is too small.
int BuildSelectionText(const char* list, char* out, size_t outSize);

// --- the record ----------------------------------------------------------------------

enum ToolRecordResult {
    TOOL_RECORD_EMPTY = 0,       // no path in it
    TOOL_RECORD_NOT_TEXT = -1,   // no NUL within its bytes
    TOOL_RECORD_MALFORMED = -2,  // a token that is not a quoted path, an empty or unclosed one
    TOOL_RECORD_TOO_LONG = -3,   // a path of more than 260 bytes
    TOOL_RECORD_NO_ROOM = -4,    // list too small
};
// Reads the bytes of a record (size bytes, which must hold a NUL) into list as
// a file list. Blanks and tabs separate the paths; every path is in double
// quotes. Returns the number of paths (>= 1) or a ToolRecordResult (list then
// empty). A list of size + 1 bytes always has room.
int ParseToolRecord(const void* data, size_t size, char* list, size_t listSize);

// --- new names -----------------------------------------------------------------------

enum NewNameResult {
    NAME_OK = 0,
    NAME_EMPTY = 1,      // nothing typed (or only blanks)
    NAME_BAD_CHAR = 2,   // one of \ / : * ? " < > | or a control character
    NAME_BAD_END = 3,    // ends with a blank or a dot ("." and ".." included)
    NAME_TOO_LONG = 4,   // folder + "\" + name would not fit a path buffer
};
// Checks a new name for a file in folder (no trailing separator). Double-byte
// aware: a trail byte is never one of the refused characters.
int CheckNewName(const char* name, const char* folder);

// The stem of a file name: the bytes before its last dot, or the whole name
// when it has no dot or only a leading one (".profile"). Returned in bytes;
// *chars (when not null) gets the same length in characters (a double-byte
// character counts once).
size_t StemLength(const char* name, size_t* chars);
