// The dialog procedure that the resource dialogs share: each dialog keeps its
// state with its own window, made when the dialog opens and freed with it.
#pragma once

#include "WinApi.h"

// For a dialog without notifications to handle.
template <typename State>
BOOL IgnoreNotify(HWND, State&, const NMHDR*) {
    return FALSE;
}

// The dialog procedure of a dialog whose `State` is made at WM_INITDIALOG,
// kept with the window (DWLP_USER) and deleted at WM_NCDESTROY, after the
// controls are gone; so every message finds the state of its own dialog, and
// what the state owns (a font) outlives the controls that use it. WM_COMMAND
// and WM_NOTIFY go to the handlers; WM_CLOSE, the close box, is the command
// IDCANCEL. Every other message returns FALSE.
template <typename State, BOOL (*Init)(HWND, State&, LPARAM), BOOL (*Command)(HWND, State&, WPARAM),
          BOOL (*Notify)(HWND, State&, const NMHDR*) = IgnoreNotify<State>>
INT_PTR StatefulDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* state = new State();
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        return Init(dialog, *state, lParam);
    }
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;  // before WM_INITDIALOG or after the end
    switch (message) {
    case WM_NOTIFY: return Notify(dialog, *state, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: return Command(dialog, *state, wParam);
    case WM_CLOSE: return Command(dialog, *state, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        delete state;
        return FALSE;
    default: return FALSE;
    }
}
