// requestqueue.cpp - the queue of requests that wait for an operation (pure).
#include "requestqueue.h"

#include <string.h>

#include "../../common/strutil.h"

static void RemoveAt(RequestQueue* queue, int at) {
    memmove(&queue->items[at], &queue->items[at + 1],
            sizeof(Request) * (size_t)(queue->count - at - 1));
    queue->count--;
}

bool QueueRequest(RequestQueue* queue, int kind, uintptr_t handOver, const char* text, bool show) {
    if (!queue || kind < RQ_HANDOVER || kind > RQ_CLOSE) return false;
    int hand = 0;
    for (int i = 0; i < queue->count; i++) {
        if (queue->items[i].kind == RQ_CLOSE) return false;
        if (queue->items[i].kind == RQ_HANDOVER) hand++;
    }
    if (kind == RQ_HANDOVER && hand >= RQ_MAX - 2) return false;
    if (kind == RQ_RELOAD) {
        for (int i = 0; i < queue->count; i++) {
            if (queue->items[i].kind != RQ_RELOAD) continue;
            show = show || queue->items[i].show;
            RemoveAt(queue, i);
            break;
        }
    }
    if (queue->count >= RQ_MAX) return false;
    Request* r = &queue->items[queue->count++];
    memset(r, 0, sizeof *r);
    r->kind = kind;
    r->handOver = handOver;
    r->show = show;
    CopyString(r->text, text, sizeof r->text);
    return true;
}

bool NextRequest(RequestQueue* queue, Request* out) {
    if (!queue || queue->count <= 0) return false;
    if (out) *out = queue->items[0];
    RemoveAt(queue, 0);
    return true;
}
