// pagetable.cpp - the pages of the settings dialog in tree order.
#include "optbox/listeditpages.h"
#include "optbox/optbox.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

const PageEntry PageTable[PAGE_COUNT] = {
    {"共通(1)", 0, PAGE_COMMON1, IDD_PAGE_COMMON1, Common1PageProc, InitCommon1Page, CollectCommon1Page},
    {"共通(2)", 0, PAGE_COMMON2, IDD_PAGE_COMMON2, Common2PageProc, InitCommon2Page, CollectCommon2Page},
    {"エディット", 0, PAGE_EDIT, IDD_PAGE_EDIT, EditPageProc, InitEditPage, CollectEditPage},
    {"登録アプリ", 0, PAGE_APPS, IDD_PAGE_APPS, AppsPageProc, InitAppsPage, CollectAppsPage},
    {"キー割り当て", 0, PAGE_KEYS, IDD_PAGE_KEYS, KeysPageProc, InitKeysPage, CollectKeysPage},
    {"プレビュー", 0, PAGE_PREVIEW, IDD_PAGE_PREVIEW, PreviewPageProc, InitPreviewPage, CollectPreviewPage},
    {"リスト", 0, PAGE_LIST, IDD_PAGE_LIST, ListHintPageProc, InitListHintPage, CollectListHintPage},
    {"Path", 1, PAGE_LIST_PATH, IDD_PAGE_LIST_PATH, ListLookPageProc, InitListLookPage, CollectListLookPage},
    {"Exp", 1, PAGE_LIST_EXP, IDD_PAGE_LIST_EXP, ListLookPageProc, InitListLookPage, CollectListLookPage},
    {"History", 1, PAGE_LIST_HIS, IDD_PAGE_LIST_HIS, ListLookPageProc, InitListLookPage, CollectListLookPage},
    {"Default", 1, PAGE_LIST_DEF, IDD_PAGE_LIST_DEF, ListLookPageProc, InitListLookPage, CollectListLookPage},
    {"Default(2)", 1, PAGE_DEF_ITEMS, IDD_PAGE_DEF_ITEMS, DefaultItemsPageProc, InitDefaultItemsPage,
     CollectDefaultItemsPage},
    {"Favorite(1)", 1, PAGE_LIST_FAV, IDD_PAGE_LIST_FAV, ListLookPageProc, InitListLookPage, CollectListLookPage},
    {"Favorite(2)", 1, PAGE_FAV_ITEMS, IDD_PAGE_FAV_ITEMS, FavoriteItemsPageProc, InitFavoriteItemsPage,
     CollectFavoriteItemsPage},
    {"Search", 1, PAGE_LIST_SEARCH, IDD_PAGE_LIST_SEARCH, ListLookPageProc, InitListLookPage, CollectListLookPage},
};
