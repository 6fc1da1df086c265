// Fuzz target of the shell integration's rules: a CF_HDROP block from
// another program is checked before it is read, and any text passes through
// the rooting, shortcut-name and shell-menu rules without overrunning a path
// buffer.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "common/fileio.h"
#include "launcher/shellext/shellrules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DropBlockIsSound(data, size)) {
        // A sound block's list ends inside it: walking it stays in bounds.
        uint32_t offset = (uint32_t)data[0] | ((uint32_t)data[1] << 8) |
                          ((uint32_t)data[2] << 16) | ((uint32_t)data[3] << 24);
        bool wide = (data[16] | data[17] | data[18] | data[19]) != 0;
        if (!wide) {
            const char* list = (const char*)data + offset;
            size_t bytes = FileListBytes(list);
            if (offset + bytes > size + 1) __builtin_trap();
        }
    }
    EffectOfBlock(data, size);

    // The rest of the rules take text: split the input at its first NUL.
    std::string text((const char*)data, strnlen((const char*)data, size));
    const char* rest = (const char*)memchr(data, 0, size);
    std::string second = rest ? std::string(rest + 1, strnlen(rest + 1, size - (rest + 1 - (const char*)data))) : "";
    char a[SHELL_PATH_SIZE], b[SHELL_PATH_SIZE];
    RootedPath(text.c_str(), a, sizeof a);
    EditItemPath(text.c_str(), a, sizeof a);
    LinkNameCandidate(text.c_str(), (unsigned)size, a, sizeof a);
    LinkBaseInFolder(text.c_str(), second.c_str(), a, sizeof a);
    ShellParentAndName(text.c_str(), second.c_str(), a, sizeof a, b, sizeof b);
    ParentOfItem(text.c_str(), a, sizeof a);
    if (strlen(a) >= sizeof a) __builtin_trap();

    std::string list = text + '\0' + second + '\0' + '\0';
    char* params = BuildParameterString(list.c_str());
    if (params) {
        if (strlen(params) + 1 > ParameterStringSize(list.c_str())) __builtin_trap();
        MemFree(params);
    }
    std::string block(DropBlockSizeFor(2), '\0');
    WriteDropBlock((unsigned char*)&block[0], block.size(), list.c_str());
    return 0;
}
