// instance.h - the single-instance rule and the hand-over of a second start's
// command line to the running instance (WM_COPYDATA, kinds of HandOverKind).
#pragma once
#include <windows.h>
#include <stddef.h>

// Texts of a hand-over record hold at most 260 bytes and their NUL.
enum { HANDOVER_TEXT_MAX = 261 };

// 1: this is the only instance (or /a was given), start up; 0: a running
// instance was found and has been handed the command line, end at once.
int CheckSingleInstance(void);

// The text of a received record, or null when the record is unusable: no data,
// no bytes, HANDOVER_TEXT_MAX bytes or more, or no NUL within its bytes.
const char* HandOverText(const void* data, size_t size);

// Receiver of a hand-over record (shell/mainwnd.cpp): the WM_COPYDATA result.
LRESULT ReceiveHandOver(const COPYDATASTRUCT* record);
