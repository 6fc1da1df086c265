// reload.cpp - rebuilding the launcher from its data files without a restart
// (after the settings program wrote them, or on the Reload command).
#include <windows.h>

#include "../../common/keymap.h"
#include "../../common/settings.h"
#include "../editbox/editbox.h"
#include "../lists/cascade.h"
#include "../lists/historylist.h"
#include "../lists/listwnd.h"
#include "../regapps/regapps.h"
#include "../lists/search.h"
#include "../migemo/migemo.h"
#include "../preview/preview.h"
#include "appstate.h"
#include "shell.h"

// Adds or removes the layered style of the edit box when transparency was
// switched on or off (SetLayered does nothing while alpha is 100, which is
// exactly the case of switching it off).
static void SwitchEditLayered(bool wasTransparent) {
    HWND box = EditBox.wnd;
    bool nowTransparent = Settings.alpha != 100;
    if (!box || wasTransparent == nowTransparent) return;
    SetLayeredStyle(box, nowTransparent);
    // A layered window shows nothing until it has an alpha: opaque, as at
    // creation; focus changes make it transparent later.
    if (nowTransparent) SetTransparency(box, false);
}

// Every mode bit goes, including those of the command line. Two are kept true
// to what they describe: a box that is still hidden stays marked hidden (so the
// hot key shows it and the tray icon can be removed), and the captured target
// program is forgotten with its mode.
static void ResetModes(void) {
    bool targetMode = AnyFlag(SF_TARGET_PROGRAM);
    ClearAllFlags();
    if (EditBox.wnd && !IsWindowVisible(EditBox.wnd)) SetFlags(SF_HIDDEN);
    SetAppString(&App.targetProgram, nullptr);
    if (targetMode) RedrawEditFrame();  // back to the normal colours
}

int ReloadAll(void) {
    char text[EDIT_TEXT_MAX] = "";
    if (EditBox.wnd) GetWindowTextA(EditBox.wnd, text, sizeof text);

    UnregisterAppHotKey();

    FreeSearchResults();
    // The settings may name another dictionary: loaded afresh on the next fill.
    FreeMigemo();
    DestroyCascades();
    DestroyListWindows();
    DestroyPathIconWindow();
    // The preview is made again at its next use, with the new font, colours
    // and plug-in folder.
    DestroyPreview();

    bool wasTransparent = Settings.alpha != 100;

    // A settings or key-binding file that cannot be read just now leaves the
    // values held in force.
    int loaded = ReloadSettings();
    if (loaded) {
        ReloadHistory();
        LoadKeyBindings();
        ReloadRegApps();
        Shell.overrideX = Shell.overrideY = Shell.overrideW = -1;
        PlaceEditBox();
        RecreateEditFont();
        RegisterAppHotKey();
        RestyleEditBox();
    }

    // Item list, folder list and their image list: created again as at
    // start-up; without them the program cannot go on.
    if (EditBox.wnd && !CreateListWindows(Shell.mainWnd, EditBox.wnd)) {
        if (Shell.mainWnd) PostMessageA(Shell.mainWnd, WM_CLOSE, 0, 0);
    }

    int iconMargin = CreatePathIconWindow();
    SetEditMargins(iconMargin > 0 ? iconMargin + 1 : 1);

    ResetModes();

    SetEditText(text);

    SwitchEditLayered(wasTransparent);
    return loaded;
}
