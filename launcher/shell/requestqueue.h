// requestqueue.h - requests that reach the main window while an operation
// with a message loop of its own runs (the shell's file operation, a drag, a
// shell menu, programs being started): a hand-over from a second start, a
// reload, the end of the program. They wait here and run once the operation
// has ended, in the order they came. Pure (no windows.h).
#pragma once
#include <stdint.h>

enum RequestKind { RQ_HANDOVER = 1, RQ_RELOAD = 2, RQ_CLOSE = 3 };

enum {
    RQ_MAX = 16,         // requests kept at once
    RQ_TEXT_SIZE = 261,  // a hand-over's text with its NUL
};

struct Request {
    int kind;            // RQ_*
    uintptr_t handOver;  // RQ_HANDOVER: the record's kind
    bool show;           // RQ_RELOAD: bring the edit box forward first
    char text[RQ_TEXT_SIZE];
};

struct RequestQueue {
    int count;
    Request items[RQ_MAX];
};

// Adds a request at the end; text (a hand-over's) is copied, cut to fit. A
// reload that already waits moves to the end instead of running twice (it
// shows the box when either asked for that). Once a close waits, nothing more
// is taken: the program ends. False when the request was not kept: anything
// after a close, or a hand-over while only the room for one reload and one
// close is left.
bool QueueRequest(RequestQueue* queue, int kind, uintptr_t handOver, const char* text, bool show);

// Takes the first request out into *out; false when none waits.
bool NextRequest(RequestQueue* queue, Request* out);
