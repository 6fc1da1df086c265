// editbox_focus.cpp - what the edit box does when it gains or loses the focus,
// and the clock it shows while the user works elsewhere.
#include <windows.h>
#include <string.h>

#include "../../common/settings.h"
#include "../../common/sharednames.h"
#include "../../common/winutil.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "datemacro.h"
#include "editbox.h"
#include "../lists/cascade.h"
#include "../lists/listselect.h"
#include "../lists/listwnd.h"
#include "../migemo/migemo.h"
#include "editbox_internal.h"
#include "savedtext.h"

void OnEditSetFocus(HWND wnd) {
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    ShowPathIcon(true);
    if (AnyFlag(SF_SECOND_CLASS) && !FindWindowExA(HWND_MESSAGE, nullptr, VORN_SECOND_CLASS, nullptr))
        ClearFlags(SF_SECOND_CLASS);
    KillTimer(wnd, ID_TIMER_CLOCK);
    if (EditBox.clockRunning) {
        // Coming back from elsewhere: the user's text replaces the clock.
        EditBox.clockRunning = false;
        SetFlags(SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT);
        if (!RestoreSavedText()) SetWindowTextA(wnd, "");
    } else {
        char text[EDIT_TEXT_MAX];
        GetWindowTextA(wnd, text, sizeof text);
        FitEditWidth(text);
    }
    if (Settings.alpha != 100) SetTransparencyAll(false);
}

void OnEditKillFocus(HWND wnd, HWND newFocus) {
    if (AnyFlag(SF_HIDDEN)) return;
    // Focus that stays within the program (a list, a message box) changes nothing.
    if (IsOwnWindow(newFocus)) return;
    // While an outside tool runs (the list windows are disabled) nothing
    // happens either.
    if (ListWindowsDisabled()) return;
    if (Settings.alpha != 100) SetTransparencyAll(true);
    // A list on show keeps the box as it is (the user went into the list).
    if (ActiveListWindow()) return;
    if (AnyFlag(SF_ONE_SHOT)) {
        RequestExit();
        return;
    }
    ShowPathIcon(false);
    RestoreEditWidth();
    ReleaseMigemoIfIdle();
    SetFlags(SF_TEXT_BY_PROGRAM);
    StashSavedText();
    SetTimer(wnd, ID_TIMER_CLOCK, 500, nullptr);
    EditBox.clockRunning = true;
    ShowClock();
}

void ShowClock(void) {
    if (!EditBox.wnd || !EditBox.clockRunning) return;
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.dayOfWeek = st.wDayOfWeek;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.milliseconds = st.wMilliseconds;
    char text[1 + DATE_TEXT_MAX];
    text[0] = ' ';
    FormatDateMacro(&t, Settings.t_macro, text + 1, sizeof text - 1);
    // Rewriting an unchanged text would only make the box flicker.
    char shown[sizeof text];
    GetWindowTextA(EditBox.wnd, shown, sizeof shown);
    if (strcmp(shown, text) == 0) return;
    SetFlags(SF_TEXT_BY_PROGRAM);
    SetWindowTextA(EditBox.wnd, text);
}
