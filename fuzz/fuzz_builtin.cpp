// fuzz_builtin.cpp - splitting and matching of "#" command texts: the parts
// always rebuild the text, and each kind of request is what its parts say.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "launcher/commands/builtin.h"

static void Check(bool ok) {
    if (!ok) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = (char*)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = '\0';

    BuiltinRequest req;
    ParseBuiltinText(text, &req);
    size_t commandLen = strlen(req.command);
    size_t argsLen = strlen(req.args);
    Check(commandLen < sizeof req.command && argsLen < sizeof req.args);
    Check(strchr(req.command, ' ') == nullptr);

    bool split = SplitBuiltinText(text, &req);
    if (split) {
        // The command part is the text up to its first blank; the argument part
        // is the rest after that blank and the blanks and tabs after it.
        Check(memcmp(text, req.command, strlen(req.command)) == 0);
        const char* rest = text + strlen(req.command);
        Check(req.hasArgs == (*rest == ' '));
        if (req.hasArgs) {
            rest++;
            while (*rest == ' ' || *rest == '\t') rest++;
            Check(strcmp(rest, req.args) == 0);
        } else {
            Check(*rest == '\0' && req.args[0] == '\0');
        }
    } else {
        Check(req.command[0] == '\0' && req.args[0] == '\0');
    }

    ParseBuiltinText(text, &req);
    char lower[BUILTIN_TEXT_SIZE];
    MapCharsSjis(LowerAscii, req.command, lower, -1, sizeof lower);
    switch (req.action) {
        case BA_NOTHING:
            Check(req.index == -1);
            Check(!split || text[0] != '#' || req.command[1] == '\0');
            break;
        case BA_TABLE:
            Check(req.index >= 0 && req.index < BUILTIN_COUNT);
            Check(BuiltinNameIs(lower + 1, BuiltinNames[req.index]));
            Check(strlen(req.command) == strlen(BuiltinNames[req.index]) + 1);
            break;
        case BA_CONTROL_PANEL:
            Check(req.index >= 0 && req.index < CONTROL_PANEL_COUNT);
            Check(BuiltinNameIs(lower + 1, ControlPanelNames[req.index]));
            break;
        case BA_PROGRAM:
            Check(req.index == -1 && req.command[0] == '#' && req.command[1] != '\0');
            for (int i = 0; i < BUILTIN_COUNT; i++) Check(!BuiltinNameIs(lower + 1, BuiltinNames[i]));
            break;
    }
    free(text);
    return 0;
}
