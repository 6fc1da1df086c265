// completion.h - path completion in the edit box: what each typed character
// and each change of the text asks of the folder list, completing from the
// list, going one folder up and following a shortcut.
#pragma once
#include <windows.h>

// WM_CHAR: 1 when the character was handled (the control must not see it).
int OnCompletionChar(HWND editBox, WPARAM ch);
// WM_IME_CHAR (one double-byte character, lead byte in bits 8-15): 1 when
// handled (the character is dropped).
int OnCompletionImeChar(HWND editBox, WPARAM ch);
// EN_CHANGE and EN_UPDATE of the edit box.
void OnCompletionChange(HWND editBox);
void OnCompletionUpdate(HWND editBox);
// Takes the selected (or first) entry of the folder list into text.
void CompleteFromList(HWND editBox, const char* text, int textLen);
// Enter while the folder list is visible: an empty text hides the list, a text
// ending in a separator runs (1), any other completes from the list (0).
int FolderListEnter(HWND editBox);
// The edit control counts positions in bytes (code page 932) on Windows; an
// emulation may count characters. These ask it in its own units.
// True when the caret stands after the last character (and, with
// noSelection, nothing is selected).
bool EditCaretAtEnd(HWND editBox, bool noSelection);
// The control's index of the character that starts at byteIndex of text (the
// control's text).
int EditIndexOfByte(HWND editBox, const char* text, int byteIndex);
