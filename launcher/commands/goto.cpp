// goto.cpp - directory up and going to a shortcut's target.
#include "goto.h"

#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/completerules.h"
#include "../editbox/editbox.h"
#include "../lists/cascade.h"
#include "../lists/listselect.h"
#include "../lists/listwnd.h"
#include "../shell/appstate.h"
#include "../shellext/shellext.h"

void DirectoryUp(void) {
    HWND editBox = EditBox.wnd;
    if (!editBox) return;
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    HideItemList();
    HideFolderList();
    SetFocus(editBox);
    char text[EDIT_TEXT_MAX];
    ReadEditText(text, sizeof text);
    if (text[0] && ParentFolderText(text)) SetFlags(SF_COMPLETED);
    HideFolderList();
    SetEditText(text);
}

void GoToShortcutTarget(HWND wnd) {
    char name[PATH_WORK_SIZE];
    if (EditBox.wnd && wnd == EditBox.wnd) {
        ReadEditText(name, sizeof name);
    } else if (wnd && IsListWindow(wnd)) {
        if (!FullPathOfRow(ListWindowOf(wnd), FirstSelectedRow(wnd), name, sizeof name))
            return;
    } else {
        return;
    }
    size_t len = strlen(name);
    if (len < 4 || strcmp(name + len - 4, ".lnk") != 0) return;
    char link[SHELL_PATH_SIZE];
    if (!RootedPath(name, link, sizeof link)) return;
    char target[EDIT_TEXT_MAX] = "";
    if (!ResolveShortcut(link, target, sizeof target)) return;
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    HideItemList();
    HideFolderList();
    TakePathIntoBox(target, true);
}
