// editbox_internal.h - the handlers of the edit box's window procedure, shared
// by the editbox_*.cpp files only.
#pragma once
#include <windows.h>
#include <stddef.h>

LRESULT CALLBACK EditBoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Forwards a message to the EDIT class procedure.
LRESULT ForwardToEdit(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// pathicon.cpp: the edit text as a file-system path (one leading separator
// rooted at StartDir); returns its length.
int EditTextAsPath(char* buf, size_t size);

// editbox_limit.cpp: the byte limit of the text (EDIT_TEXT_MAX - 1 bytes).
// A beep for an edit that does not fit; counted in EditBox.refusedEdits.
void RefuseEdit(void);
// True when the text, with its selection replaced by insertBytes bytes, fits.
bool EditHasRoomFor(HWND wnd, size_t insertBytes);
// WM_CHAR / WM_IME_CHAR: false (after a beep) when the character does not fit;
// the trail byte of a refused lead byte is refused with it, without a beep.
bool AdmitEditChar(HWND wnd, WPARAM ch);
bool AdmitEditImeChar(HWND wnd, WPARAM ch);
// WM_PASTE: the clipboard's text up to its first line break goes in whole, or
// not at all (a beep) when the text would not fit.
void PasteIntoEdit(HWND wnd);

// editbox_focus.cpp
void OnEditSetFocus(HWND wnd);
void OnEditKillFocus(HWND wnd, HWND newFocus);
void ShowClock(void);

// editbox_keys.cpp: 1 when the key was handled (not forwarded).
int OnEditKeyDown(HWND wnd, WPARAM key);
int OnEditChar(HWND wnd, WPARAM ch);

// editbox_frame.cpp
void PaintEditFrameOf(HWND wnd);
void OnEditNcMouseMove(HWND wnd, WPARAM hit, LPARAM lParam);
void OnEditNcLButtonDown(HWND wnd, WPARAM hit, LPARAM lParam);
void OnEditMouseMove(HWND wnd, WPARAM keys, LPARAM lParam);
void OnEditButtonDown(HWND wnd, LPARAM lParam);
void OnEditButtonUp(HWND wnd);
// Ends a border drag as a button release does (capture released, mode 0).
void EndBorderDrag(HWND wnd);
