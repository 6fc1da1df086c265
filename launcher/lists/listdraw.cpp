// listdraw.cpp - how a row of a list window is drawn: its text and icon are
// produced when the control asks for them (the windows are virtual), icons are
// fetched from the shell once per item, and rows are coloured by the settings
// section of the list kind.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <string.h>

#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../shell/shell.h"
#include "cascade.h"
#include "../../common/itemarray.h"
#include "listwnd.h"

// The icon of one item, fetched once: the program's own picture for the
// built-in commands, else the shell's small icon of the item's full path. An
// item the shell has no icon for (an entry on a share that is offline) is
// marked and not asked again on every repaint.
static void FetchIcon(const ListWindow* lw, ListItem* item) {
    if (!lw->images || (item->flags & ItemNoIcon)) return;
    if (lw->kind == LK_BuiltIn) {
        if (ImageList_GetImageCount(lw->images) == 0) {
            HICON icon = (HICON)LoadImageA(Shell.instance, MAKEINTRESOURCEA(IDI_BUILTIN_LIST),
                                           IMAGE_ICON, 16, 16, 0);
            if (!icon) return;
            ImageList_AddIcon(lw->images, icon);
            DestroyIcon(icon);
        }
        item->image = 0;
        return;
    }
    char path[PATH_WORK_SIZE];
    bool named = lw->opener ? JoinFolderName(lw->folder, item->path, path, sizeof path) != 0
                            : FullPathOf(item->path, lw->kind, path, sizeof path);
    if (!named) {
        item->flags |= ItemNoIcon;
        return;
    }
    CollapseSeparators(path);
    SHFILEINFOA info;
    memset(&info, 0, sizeof info);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) || !info.hIcon) {
        item->flags |= ItemNoIcon;
        return;
    }
    int index = ImageList_GetImageCount(lw->images);
    if (ImageList_AddIcon(lw->images, info.hIcon) >= 0)
        item->image = index;
    else
        item->flags |= ItemNoIcon;
    DestroyIcon(info.hIcon);
}

// Width in bytes that a row's text is shortened to.
static int TextWidth(int room) {
    int width = Settings.listwmax ? (int)Settings.listwmax : room;
    if (Settings.icon == 1) width -= 2;
    return width;
}

static ListItem* RowItem(ListWindow* lw, int row) {
    int pos = ItemOfRow(&lw->array, row);
    return pos < 0 ? nullptr : &lw->array.items[pos];
}

// The item of the row a display request asks for, with its icon (fetched on
// first show) given when asked; null when it asks for nothing of ours.
template <typename LvItem>
static ListItem* DisplayedItem(ListWindow* lw, LvItem& it) {
    if (!(it.mask & (LVIF_TEXT | LVIF_IMAGE))) return nullptr;
    ListItem* item = RowItem(lw, it.iItem);
    if (!item) return nullptr;
    if (Settings.icon == 1 && item->image == -1) FetchIcon(lw, item);
    if (it.mask & LVIF_IMAGE) {
        it.iImage = item->image;
        it.state = 0;
        it.stateMask = 0;
    }
    return item;
}

static LRESULT OnGetDispInfoA(ListWindow* lw, NMLVDISPINFOA* info) {
    LVITEMA& it = info->item;
    ListItem* item = DisplayedItem(lw, it);
    if (!item) return 0;
    if ((it.mask & LVIF_TEXT) && it.pszText && it.cchTextMax > 0)
        EllipsizeMiddle(item->path, it.pszText, TextWidth(it.cchTextMax), (size_t)it.cchTextMax);
    return 0;
}

// The same for a control that asks in UTF-16.
static LRESULT OnGetDispInfoW(ListWindow* lw, NMLVDISPINFOW* info) {
    LVITEMW& it = info->item;
    ListItem* item = DisplayedItem(lw, it);
    if (!item) return 0;
    if ((it.mask & LVIF_TEXT) && it.pszText && it.cchTextMax > 0) {
        char shown[PATH_WORK_SIZE];
        int room = it.cchTextMax < (int)sizeof shown ? it.cchTextMax : (int)sizeof shown;
        EllipsizeMiddle(item->path, shown, TextWidth(room), (size_t)room);
        if (!MultiByteToWideChar(CP_ACP, 0, shown, -1, it.pszText, it.cchTextMax))
            it.pszText[0] = 0;
    }
    return 0;
}

static LRESULT OnCustomDraw(ListWindow* lw, NMLVCUSTOMDRAW* cd) {
    switch (cd->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            const ListLook* look = LookOfKind(lw->kind);
            if (!look || look->fldclass != 1) return CDRF_DODEFAULT;
            ListItem* item = RowItem(lw, (int)cd->nmcd.dwItemSpec);
            if (!item) return CDRF_DODEFAULT;
            if (item->flags & ItemFolder) {
                cd->clrText = look->fldftcolor;
                cd->clrTextBk = look->fldbkcolor;
            } else {
                cd->clrText = look->filftcolor;
                cd->clrTextBk = look->filbkcolor;
            }
            return CDRF_NEWFONT;
        }
    }
    return CDRF_DODEFAULT;
}

LRESULT HandleListNotify(NMHDR* header) {
    if (!header) return 0;
    ListWindow* lw = ListWindowOf(header->hwndFrom);
    if (!lw) return 0;
    switch (header->code) {
        case LVN_GETDISPINFOA:
            return OnGetDispInfoA(lw, (NMLVDISPINFOA*)header);
        case LVN_GETDISPINFOW:
            return OnGetDispInfoW(lw, (NMLVDISPINFOW*)header);
        case NM_CUSTOMDRAW:
            return OnCustomDraw(lw, (NMLVCUSTOMDRAW*)header);
    }
    return 0;
}
