// editbox.cpp - the command edit box: creation, placement, font, text access
// and its window procedure (a thin switch over the handlers of the other
// editbox_*.cpp files).
#include "editbox.h"

#include <string.h>

#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../shell/appstate.h"
#include "../lists/listwnd.h"
#include "../shell/shell.h"
#include "../commands/commands.h"
#include "completion.h"
#include "editbox_internal.h"
#include "editgeom.h"
#include "editmenu.h"

EditBoxState EditBox;

LRESULT CALLBACK EditBoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETFOCUS:
            OnEditSetFocus(wnd);
            break;
        case WM_KILLFOCUS:
            OnEditKillFocus(wnd, (HWND)wParam);
            EndBorderDrag(wnd);
            break;
        case WM_ENDSESSION: {
            // The session may end as soon as this returns, so the shutdown runs
            // now (the main window, message-only, hears of it only from here).
            // A session that goes on (wParam 0) keeps the program running.
            if (wParam) EndSession(Shell.mainWnd);
            if (!IsWindow(wnd)) return 0;
            return ForwardToEdit(wnd, msg, wParam, lParam);
        }
        case WM_QUERYENDSESSION:
            return SessionMayEnd() ? 1 : 0;
        case WM_PAINT: {
            // The EDIT class paints with its parent's clipping, over the path icon
            // child as well: the icon is drawn again on top.
            LRESULT result = ForwardToEdit(wnd, msg, wParam, lParam);
            if (EditBox.iconWnd && IsWindowVisible(EditBox.iconWnd))
                RedrawWindow(EditBox.iconWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return result;
        }
        case WM_NCPAINT: {
            LRESULT result = ForwardToEdit(wnd, msg, wParam, lParam);
            PaintEditFrameOf(wnd);
            return result;
        }
        case WM_NCACTIVATE:
            // The frame looks the same active or not: the state is recorded
            // (lParam -1) without the default frame being drawn over ours and
            // ours again, which the hot key would wait for.
            return ForwardToEdit(wnd, msg, wParam, -1);
        case WM_NCMOUSEMOVE:
            OnEditNcMouseMove(wnd, wParam, lParam);
            break;
        case WM_NCLBUTTONDOWN:
            OnEditNcLButtonDown(wnd, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (OnEditKeyDown(wnd, wParam)) return 0;
            break;
        case WM_CHAR:
            if (!AdmitEditChar(wnd, wParam)) return 0;
            if (OnEditChar(wnd, wParam)) return 0;
            break;
        case WM_PASTE:
            PasteIntoEdit(wnd);
            return 0;
        case WM_NOTIFY:
            return HandleListNotify((NMHDR*)lParam);
        case WM_CONTEXTMENU:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_INITMENUPOPUP:
        case WM_MENUCHAR:
            return OnEditMenuMessage(wnd, msg, wParam, lParam);
        case WM_IME_CHAR:
            if (!AdmitEditImeChar(wnd, wParam)) return 0;
            if (OnCompletionImeChar(wnd, wParam)) return 0;
            break;
        case WM_TIMER:
            if (wParam == ID_TIMER_CLOCK) {
                ShowClock();
                return 0;
            }
            // Timers of the control itself (scrolling while selecting with the
            // mouse) stay with the control.
            break;
        case WM_MOUSEMOVE:
            OnEditMouseMove(wnd, wParam, lParam);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            OnEditButtonDown(wnd, lParam);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            OnEditButtonUp(wnd);
            break;
        case WM_EDIT_COMMAND:
            // Other programs name the bindable commands only; each acts where
            // the focus is, as its key would.
            if (IsBindableCommand((int)wParam)) SendCommand((int)wParam, nullptr);
            break;
        case WM_EDIT_REGAPP: {
            CommandTarget target = FocusTarget();
            target.arg = (int)(int32_t)wParam;
            SendCommand(CMD_RUN_REGAPP, &target);
            break;
        }
        case WM_NCDESTROY: {
            // Destroyed without UnsubclassEditBox (its owner went first): forget it.
            LRESULT result = ForwardToEdit(wnd, msg, wParam, lParam);
            EditBox.wnd = nullptr;
            EditBox.iconWnd = nullptr;
            return result;
        }
    }
    return ForwardToEdit(wnd, msg, wParam, lParam);
}

LRESULT ForwardToEdit(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // After UnsubclassEditBox (a handler ended the program) there is nothing
    // left to forward to.
    if (!SavedWindowProc(wnd)) return 0;
    return CallSavedProc(wnd, msg, wParam, lParam);
}

void RequestExit(void) {
    if (Shell.mainWnd) PostMessageA(Shell.mainWnd, WM_CLOSE, 0, 0);
}

void ReapplyEditSelection(HWND wnd) {
    DWORD start = 0, end = 0;
    SendMessageA(wnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    SendMessageA(wnd, EM_SETSEL, start, end);
}

// --- placement --------------------------------------------------------------

int EditBoxLeft(void) { return Shell.overrideX >= 0 ? Shell.overrideX : Settings.x; }
int EditBoxTop(void) { return Shell.overrideY >= 0 ? Shell.overrideY : Settings.y; }
int EditBoxWidth(void) { return Shell.overrideW >= 0 ? Shell.overrideW : Settings.w; }

int EditBoxHeight(void) {
    return EditHeightFor(Settings.ftsize, GetSystemMetrics(SM_CYEDGE),
                         GetSystemMetrics(SM_CYDLGFRAME), (int)Settings.icon);
}

void PlaceEditBox(void) {
    if (!EditBox.wnd) return;
    SetWindowPos(EditBox.wnd, nullptr, EditBoxLeft(), EditBoxTop(), EditBoxWidth(), EditBoxHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

static void SetEditWidth(int width) {
    RECT rc;
    if (!EditBox.wnd || !GetWindowRect(EditBox.wnd, &rc)) return;
    SetWindowPos(EditBox.wnd, nullptr, 0, 0, width, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FitEditWidth(const char* text) {
    if (Settings.autoresize != 1 || !EditBox.wnd || !text) return;
    HDC dc = GetDC(EditBox.wnd);
    if (!dc) return;
    HGDIOBJ oldFont = EditBox.font ? SelectObject(dc, EditBox.font) : nullptr;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    if (oldFont) SelectObject(dc, oldFont);
    ReleaseDC(EditBox.wnd, dc);
    SetEditWidth(FitWidthFor(size.cx, Settings.ftsize, GetSystemMetrics(SM_CYEDGE),
                             GetSystemMetrics(SM_CYDLGFRAME), EditBoxWidth(), (int)Settings.icon));
}

void RestoreEditWidth(void) { SetEditWidth(EditBoxWidth()); }

// --- font, margins, style ---------------------------------------------------

void RecreateEditFont(void) {
    HFONT font = CreateFontA(-Settings.ftsize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
    if (EditBox.wnd) SendMessageA(EditBox.wnd, WM_SETFONT, (WPARAM)font, TRUE);
    // The control no longer uses the old font once the new one is set.
    if (EditBox.font) DeleteObject(EditBox.font);
    EditBox.font = font;
}

void SetEditMargins(int left) {
    if (!EditBox.wnd) return;
    SendMessageA(EditBox.wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(left, Settings.ftsize / 2));
}

void RestyleEditBox(void) {
    if (!EditBox.wnd) return;
    char text[EDIT_TEXT_MAX];
    GetWindowTextA(EditBox.wnd, text, sizeof text);
    LONG_PTR style = GetWindowLongPtrA(EditBox.wnd, GWL_STYLE);
    if (Settings.aligns == 1)
        style |= ES_CENTER;
    else
        style &= ~(LONG_PTR)ES_CENTER;
    SetWindowLongPtrA(EditBox.wnd, GWL_STYLE, style);
    SetWindowPos(EditBox.wnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetEditText(text);
}

// --- creation and teardown --------------------------------------------------

HWND CreateEditBox(HWND owner) {
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE |
                    WS_EX_CLIENTEDGE;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | ES_AUTOHSCROLL | ES_NOHIDESEL;
    if (Settings.aligns == 1) style |= ES_CENTER;
    // No control id: the notifications reach the owner as WM_COMMAND with id 0.
    HWND wnd =
        CreateWindowExA(exStyle, "EDIT", "", style, EditBoxLeft(), EditBoxTop(), EditBoxWidth(),
                        EditBoxHeight(), owner, nullptr, Shell.instance, nullptr);
    if (!wnd) return nullptr;
    EditBox.wnd = wnd;
    EditBox.dragMode = EDIT_DRAG_NONE;
    EditBox.iconDragArmed = false;
    EditBox.clockRunning = false;
    RecreateEditFont();
    // The control's own limit; the byte limit itself is kept by editbox_limit.cpp
    // (Wine's control counts characters here).
    SendMessageA(wnd, EM_LIMITTEXT, EDIT_TEXT_MAX - 1, 0);
    EditBox.trailState = EDIT_TRAIL_NONE;
    int iconRoom = CreatePathIconWindow();
    SetEditMargins(iconRoom > 0 ? iconRoom + 1 : 1);
    // Layered and opaque from the start; both do nothing while alpha is 100.
    SetLayered(wnd, true);
    SetTransparency(wnd, false);
    ReplaceWindowProc(wnd, EditBoxProc);
    return wnd;
}

void UnsubclassEditBox(void) {
    HWND wnd = EditBox.wnd;
    if (wnd) {
        RestoreWindowProc(wnd);
        EditBox.wnd = nullptr;
        SendMessageA(wnd, WM_CLOSE, 0, 0);
    }
    if (EditBox.font) DeleteObject(EditBox.font);
    EditBox.font = nullptr;
}

// --- text -------------------------------------------------------------------

bool EditTextFits(const char* text) { return text && strlen(text) < (size_t)EDIT_TEXT_MAX; }

bool SetEditText(const char* text) {
    if (!EditBox.wnd || !text) return false;
    if (!EditTextFits(text)) {
        RefuseEdit();
        return false;
    }
    SetWindowTextA(EditBox.wnd, text);
    EditCaretToEnd(EditBox.wnd, text);
    return true;
}

bool TakePathIntoBox(const char* path, bool fitWidth) {
    if (!path) return false;
    SetFlags(fitWidth ? SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT : SF_TEXT_BY_PROGRAM);
    bool taken = SetEditText(path);
    RefreshPathIcon();
    return taken;
}

void FocusEditBox(void) {
    if (EditBox.wnd) SetFocus(EditBox.wnd);
}

void ClearEditBox(void) {
    if (!EditBox.wnd) return;
    SetFocus(EditBox.wnd);
    SetWindowTextA(EditBox.wnd, "");
}

int ReadEditText(char* buf, size_t size) {
    if (!buf || size == 0) return 0;
    buf[0] = '\0';
    if (!EditBox.wnd) return 0;
    // Read whole first, so a short buffer is cut between characters, never
    // inside one.
    char text[2 * EDIT_TEXT_MAX];
    text[0] = '\0';
    GetWindowTextA(EditBox.wnd, text, (int)sizeof text);
    text[sizeof text - 1] = '\0';
    CopyString(buf, text, size);
    ToBackslashes(buf);
    return (int)strlen(buf);
}
