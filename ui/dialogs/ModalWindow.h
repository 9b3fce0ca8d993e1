// Placing and running the program's modal windows: centring on another
// window, and the message loop and default procedure of the windows built
// from plain controls.
#pragma once

#include "WinApi.h"

// Centres `window` on `reference` without changing its size or z-order; the
// halves truncate toward zero. Nothing moves when either rectangle cannot be read.
void CentreOnWindow(HWND window, HWND reference);

// Disables `owner` and pumps the thread's messages until `window` is gone;
// Tab, Enter and Esc work as in a dialog. A WM_QUIT ends the loop without
// being posted again and closes the window as cancelled. Then `owner` is
// enabled again, brought to the foreground and given the focus. A null
// `window` only does that.
void RunModalWindow(HWND owner, HWND window);

// Ends a window that RunModalWindow runs, as EndDialog ends a dialog: the owner
// is enabled and made the active window before the window goes. Left to
// itself, the system would hand the activation of a destroyed window to the
// next one in z-order, which may be another program's.
void EndModalWindow(HWND window);

// The default procedure of a window built from plain controls: answers what
// its controls ask of a dialog, as the dialog manager would, and leaves the
// rest to DefWindowProcW. A multi-line edit asks to move the focus
// (WM_NEXTDLGCTL) on Tab and Shift+Tab, and for the default button
// (DM_GETDEFID, always IDOK here) on Enter.
LRESULT DefModalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
