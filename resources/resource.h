// resource.h - resource ids of vorn.rc. The program's code takes the same ids
// from launcher/shell/shell.h (IDI_VORN, IDI_BUILTIN_LIST, IDI_DEFAULT_PATH);
// this header serves the resource script only.
#pragma once

#define IDI_VORN 131
#define IDI_BUILTIN_LIST 133
#define IDI_DEFAULT_PATH 135
