// optbox_pages_test.cpp - the settings pages, end to end: a change on each kind
// of control is saved exactly, pages never opened keep their values, and bad
// input in number and path fields is handled.
#include "tests/e2e/optbox_harness.h"

namespace {

// Ids of the controls the tests touch.
enum {
    ID_ALPHA = 1001, ID_HOTKEY_ALT = 1007, ID_HOTKEY_CTRL = 1008, ID_HOTKEY_SHIFT = 1009, ID_HOTKEY = 1011,
    ID_RESIDENT_OFF = 1014, ID_TRAY_SHOW = 1015, ID_TMACRO = 1029, ID_TMACRO_MENU = 1030, ID_ICON = 1082,
    ID_LINEMAX = 1042, ID_MIGEMO_USE = 1017, ID_MIGEMO_PATH = 1093, ID_EDIT_X = 1002, ID_EDIT_W = 1008,
    ID_FLD_BKCOLOR = 1044, ID_FLD_FTCOLOR = 1045, ID_FLDCLASS = 1048, ID_FLD_BKLABEL = 1049, ID_TYPOCTR = 1055,
    ID_SEARCH_KEEP = 1057, ID_PREV_RSIZE = 1001, ID_PREV_SPI = 1091, ID_PREV_BKCOLOR = 1083
};

// Wine's colour dialog: the red, green and blue fields and the button that
// opens the part with them.
enum { ID_COLOR_RED = 706, ID_COLOR_GREEN = 707, ID_COLOR_BLUE = 708, ID_COLOR_DEFINE = 719 };

}  // namespace

using OptboxPagesE2E = OptboxTest;

TEST_F(OptboxPagesE2E, Common1RadioHotKeyAndUpDownAreSavedExactly) {
    ASSERT_TRUE(WriteIni(IniWith({})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = VisiblePage(dialog);
    EXPECT_EQ(WindowText(GetDlgItem(page, ID_HOTKEY)), "Alt+1");

    // "しない" turns the tray choice off.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_RESIDENT_OFF)));
    ASSERT_TRUE(WaitFor([&] { return ButtonChecked(GetDlgItem(page, ID_RESIDENT_OFF)); }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, ID_TRAY_SHOW)));

    // Ctrl+Shift, then F10 in the field.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_HOTKEY_CTRL)));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_HOTKEY_SHIFT)));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_HOTKEY_ALT)));
    ASSERT_TRUE(WaitFor([&] { return !ButtonChecked(GetDlgItem(page, ID_HOTKEY_ALT)); }));
    HWND hotkey = GetDlgItem(page, ID_HOTKEY);
    ASSERT_TRUE(ClickWindow(hotkey));
    ASSERT_TRUE(WaitFor([&] { return ControlHasFocus(hotkey); }));
    ASSERT_TRUE(TapKey(VK_F10));
    ASSERT_TRUE(WaitFor([&] { return WindowText(hotkey) == "Ctrl+Shift+F10"; })) << WindowText(hotkey);
    // Other keys and characters are swallowed.
    ASSERT_TRUE(TapKey(VK_OEM_1));
    ASSERT_TRUE(TypeText("x"));
    PumpMessages(50);

    // The transparency's up-down: Down in its field from 100.
    HWND alpha = GetDlgItem(page, ID_ALPHA);
    ASSERT_TRUE(ClickWindow(alpha));
    ASSERT_TRUE(WaitFor([&] { return ControlHasFocus(alpha); }));
    ASSERT_TRUE(TapKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return WindowText(alpha) == "99"; })) << WindowText(alpha);
    EXPECT_EQ(WindowText(hotkey), "Ctrl+Shift+F10");

    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.hotkey=1657", "common.tray=0", "common.alpha=99"}));
}

TEST_F(OptboxPagesE2E, TheLastModifierCannotBeUncheckedAndAStoredFKeyIsKept) {
    ASSERT_TRUE(WriteIni(IniWith({"common.hotkey=372"})));  // Alt+F5
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = VisiblePage(dialog);
    EXPECT_EQ(WindowText(GetDlgItem(page, ID_HOTKEY)), "Alt+F5");
    HWND altBox = GetDlgItem(page, ID_HOTKEY_ALT);
    ASSERT_TRUE(ClickWindow(altBox));
    // The click is handled once the check box has been repainted as checked
    // again; a click on CTRL afterwards shows that the first was taken.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_HOTKEY_CTRL)));
    ASSERT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(page, ID_HOTKEY)) == "Alt+Ctrl+F5"; }))
        << WindowText(GetDlgItem(page, ID_HOTKEY));
    EXPECT_TRUE(ButtonChecked(altBox));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_HOTKEY_CTRL)));
    ASSERT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(page, ID_HOTKEY)) == "Alt+F5"; }));
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.hotkey=372"}));
}

TEST_F(OptboxPagesE2E, Common2CheckBoxUpDownMacroMenuAndTypedPath) {
    ASSERT_TRUE(WriteIni(IniWith({})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, ID_TMACRO, &page));

    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_ICON)));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_MIGEMO_USE)));
    ASSERT_TRUE(WaitFor([&] { return ButtonChecked(GetDlgItem(page, ID_MIGEMO_USE)); }));
    EXPECT_TRUE(ButtonChecked(GetDlgItem(page, ID_ICON)));

    HWND linemax = GetDlgItem(page, ID_LINEMAX);
    ASSERT_TRUE(ClickWindow(linemax));
    ASSERT_TRUE(WaitFor([&] { return ControlHasFocus(linemax); }));
    ASSERT_TRUE(TapKey(VK_UP));
    ASSERT_TRUE(WaitFor([&] { return WindowText(linemax) == "26"; })) << WindowText(linemax);

    // The caret at the end of the macro, then ">>" and the third code ("%j").
    HWND macro = GetDlgItem(page, ID_TMACRO);
    ASSERT_TRUE(ClickWindow(macro));
    ASSERT_TRUE(WaitFor([&] { return ControlHasFocus(macro); }));
    ASSERT_TRUE(TapKey(VK_END));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_TMACRO_MENU)));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = FindWindowOf(box.Pid(), "#32768")) != nullptr; })) << "no menu";
    for (int i = 0; i < 3; i++) ASSERT_TRUE(TapKey(VK_DOWN));
    ASSERT_TRUE(TapKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return WindowText(macro) == "%H:%M:%S%j"; })) << WindowText(macro);

    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_MIGEMO_PATH), "C:\\dict\\cp932"));
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.t_macro=%H:%M:%S%j", "common.linemax=26", "common.icon=1",
                                  "common.migemo=1", "common.migemo_path=C:\\dict\\cp932"}));
}

TEST_F(OptboxPagesE2E, TheMacroMenuStopsBeforeTwentyCharacters) {
    ASSERT_TRUE(WriteIni(IniWith({"common.t_macro=%Y/%m/%d %H:%M:%S"})));  // 17 characters
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, ID_TMACRO, &page));
    HWND macro = GetDlgItem(page, ID_TMACRO);
    ASSERT_TRUE(ClickWindow(macro));
    ASSERT_TRUE(WaitFor([&] { return ControlHasFocus(macro); }));
    ASSERT_TRUE(TapKey(VK_END));
    for (const char* expected : {"%Y/%m/%d %H:%M:%S%a", "%Y/%m/%d %H:%M:%S%a"}) {
        ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_TMACRO_MENU)));
        ASSERT_TRUE(WaitFor([&] { return FindWindowOf(box.Pid(), "#32768") != nullptr; })) << "no menu";
        ASSERT_TRUE(TapKey(VK_DOWN));
        ASSERT_TRUE(TapKey(VK_RETURN));
        ASSERT_TRUE(WaitFor([&] { return FindWindowOf(box.Pid(), "#32768") == nullptr; }));
        EXPECT_TRUE(WaitFor([&] { return WindowText(macro) == expected; })) << WindowText(macro);
    }
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.t_macro=%Y/%m/%d %H:%M:%S%a"}));
}

TEST_F(OptboxPagesE2E, AColourChosenInTheChooserIsStoredAndACancelledOneIsNot) {
    ASSERT_TRUE(WriteIni(IniWith({})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_PATH, ID_TYPOCTR, &page));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, ID_FLD_BKLABEL)));

    // Folder background: pure black through the chooser's red/green/blue fields.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_FLD_BKCOLOR)));
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (chooser = FindDialogOf(box.Pid(), nullptr, dialog)) != nullptr; }))
        << "no colour chooser";
    ASSERT_TRUE(Activate(chooser));
    HWND define = GetDlgItem(chooser, ID_COLOR_DEFINE);
    if (define && IsWindowEnabled(define)) {
        ASSERT_TRUE(ClickWindow(define));
    }
    for (int id : {ID_COLOR_RED, ID_COLOR_GREEN, ID_COLOR_BLUE}) {
        HWND field = GetDlgItem(chooser, id);
        ASSERT_TRUE(WaitFor([&] { return field && IsWindowVisible(field); })) << "no field " << id;
        ASSERT_TRUE(TypeIntoField(field, "0"));
    }
    ASSERT_TRUE(ClickToClose(chooser, IDOK));

    // Folder text colour: the chooser cancelled.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_FLD_FTCOLOR)));
    ASSERT_TRUE(WaitFor([&] { return (chooser = FindDialogOf(box.Pid(), nullptr, dialog)) != nullptr; }));
    ASSERT_TRUE(ClickToClose(chooser, IDCANCEL));

    // "色分けする" off greys the labels, not the swatches.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_FLDCLASS)));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(GetDlgItem(page, ID_FLD_BKLABEL)); }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, ID_FLD_BKCOLOR)));

    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"path.fldclass=0", "path.fldbkcolor=0"}));
}

TEST_F(OptboxPagesE2E, PagesNeverOpenedKeepTheirValuesExactly) {
    std::string ini = IniWith({"common.hotkey=372", "common.tray=2", "common.t_macro=%X", "common.linemax=7",
                               "common.listwmax=120", "common.icon=1", "common.exemode=2", "common.migemo=1",
                               "common.migemomode=1", "common.migemo_path=D:\\m", "common.alpha=40", "edit.x=-20",
                               "edit.y=33", "edit.w=300", "edit.autoresize=0", "regapp.showpos=1",
                               "path.fldbkcolor=255", "path.inputmode=1", "exp.fldclass=0", "his.size=500",
                               "def.direct=3", "fav.filftcolor=65280", "search.subfolder=4", "search.keep=0",
                               "prev.rsize=3000", "prev.bkcolor=0", "prev.width=400", "prev.spi_path=D:\\spi"});
    ASSERT_TRUE(WriteIni(ini));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    // Only "共通(1)" was shown: it is collected unchanged, everything else as loaded.
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), ini);
}

TEST_F(OptboxPagesE2E, OpenedPagesWithoutChangesKeepTheirValuesToo) {
    std::string ini = IniWith({"common.t_macro=%X", "common.linemax=7", "common.listwmax=120", "edit.x=-20",
                               "edit.y=33", "edit.w=300", "path.inputmode=1", "path.typoctr=0", "his.size=500",
                               "def.direct=3", "search.subfolder=4", "search.keep=0", "prev.rsize=3000",
                               "prev.width=400", "prev.height=20"});
    ASSERT_TRUE(WriteIni(ini));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, ID_TMACRO, &page));
    ASSERT_TRUE(GoToRow(dialog, ROW_EDIT, 1004, &page));
    EXPECT_EQ(WindowText(GetDlgItem(page, ID_EDIT_X)), "-20");
    ASSERT_TRUE(GoToRow(dialog, ROW_PREVIEW, ID_PREV_BKCOLOR, &page));
    const struct {
        int row, control;
    } lists[] = {{ROW_LIST, 1001}, {ROW_PATH, ID_TYPOCTR}, {ROW_EXP, ID_FLDCLASS}, {ROW_HISTORY, 1026},
                 {ROW_DEFAULT, 1073}, {ROW_FAVORITE1, ID_FLDCLASS}, {ROW_SEARCH, ID_SEARCH_KEEP}};
    for (const auto& list : lists) ASSERT_TRUE(GoToRow(dialog, list.row, list.control, &page)) << list.row;
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), ini);
}

TEST_F(OptboxPagesE2E, NumbersAreReadBoundedAndValidationDecides) {
    ASSERT_TRUE(WriteIni(IniWith({"common.linemax=40"})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, ID_TMACRO, &page));
    // 2^32 + 25 would wrap to a valid 25-line list; it is out of range instead.
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_LINEMAX), "4294967321"));
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON1, ID_HOTKEY, &page));
    // 300 would keep 44 in the byte of the record.
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_ALPHA), "300"));
    ASSERT_TRUE(GoToRow(dialog, ROW_EDIT, 1004, &page));
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_EDIT_X), "-30"));
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_EDIT_W), "99999999999"));
    ASSERT_TRUE(GoToRow(dialog, ROW_PREVIEW, ID_PREV_BKCOLOR, &page));
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_PREV_RSIZE), "-600"));
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.linemax=25", "common.alpha=100", "edit.x=-30", "edit.w=2147483647",
                                  "prev.rsize=2000"}));
}

TEST_F(OptboxPagesE2E, AnOverlongPathIsRefusedWithAMessage) {
    std::string ini = IniWith({"common.migemo_path=C:\\old"});
    ASSERT_TRUE(WriteIni(ini));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, ID_TMACRO, &page));
    std::string longPath = "C:\\" + std::string(258, 'p');  // 261 characters
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_MIGEMO_PATH), longPath.c_str()));
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
    HWND message = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (message = FindDialogOf(box.Pid(), "Optbox")) != nullptr; })) << "no message";
    EXPECT_NE(MessageBoxText(message).find("260"), std::string::npos) << MessageBoxText(message);
    ASSERT_TRUE(Activate(message));
    ASSERT_TRUE(TapKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(message); }));
    EXPECT_TRUE(box.Alive()) << "the dialog closed over a refused path";
    EXPECT_EQ(ReadIni(), ini);
    // A path of 260 characters is taken.
    std::string fits = longPath.substr(0, 260);
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_MIGEMO_PATH), fits.c_str()));
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({("common.migemo_path=" + fits).c_str()}));
}

TEST_F(OptboxPagesE2E, AnEmptyOrMissingPluginFolderKeepsTheOldOne) {
    std::string spi = std::string("prev.spi_path=") + folder;
    ASSERT_TRUE(WriteIni(IniWith({spi.c_str()})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_PREVIEW, ID_PREV_BKCOLOR, &page));
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_PREV_SPI), ""));
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({spi.c_str()}));
}

TEST_F(OptboxPagesE2E, TheFolderChosenInTheChooserFillsThePluginFolderAndCancelKeepsIt) {
    ASSERT_TRUE(WriteIni(IniWith({})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_PREVIEW, ID_PREV_BKCOLOR, &page));
    HWND field = GetDlgItem(page, ID_PREV_SPI);
    HWND chooser = nullptr;
    // Cancelled: the field stays empty.
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, 1092)));
    ASSERT_TRUE(WaitFor([&] { return (chooser = FindDialogOf(box.Pid(), nullptr, dialog)) != nullptr; }))
        << "no folder chooser";
    EXPECT_NE(FindWindowExA(chooser, nullptr, "Static", "プラグインのフォルダの選択"), nullptr) << "not its title";
    ASSERT_TRUE(Activate(chooser));
    ASSERT_TRUE(ClickToClose(chooser, IDCANCEL));
    EXPECT_EQ(WindowText(field), "");
    // Chosen: the folder the chooser returns goes into the field and is saved.
    // (Wine's chooser answers with the folder it shows, whatever was asked for.)
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, 1092)));
    ASSERT_TRUE(WaitFor([&] { return (chooser = FindDialogOf(box.Pid(), nullptr, dialog)) != nullptr; }));
    ASSERT_TRUE(Activate(chooser));
    ASSERT_TRUE(ClickToClose(chooser, IDOK));
    std::string chosen;
    ASSERT_TRUE(WaitFor([&] { return !(chosen = WindowText(field)).empty(); })) << "nothing was chosen";
    EXPECT_TRUE(PathExists(chosen)) << chosen;
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({("prev.spi_path=" + chosen).c_str()}));
}
