// Centring and the modal loop shared by the dialogs and hand-built windows.
#include "ModalWindow.h"

#include <cstdint>

void CentreOnWindow(HWND window, HWND reference) {
    RECT ref, own;
    if (!reference || !GetWindowRect(reference, &ref) || !GetWindowRect(window, &own)) return;
    const int32_t x = ref.left + ((ref.right - ref.left) - (own.right - own.left)) / 2;
    const int32_t y = ref.top + ((ref.bottom - ref.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void RunModalWindow(HWND owner, HWND window) {
    EnableWindow(owner, FALSE);
    MSG msg;
    while (IsWindow(window)) {
        if (GetMessageW(&msg, nullptr, 0, 0) < 1) break;
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // A loop ended by WM_QUIT leaves the window open: close it as cancelled,
    // so that it cannot write into its caller's data after the caller returned.
    if (IsWindow(window)) SendMessageW(window, WM_CLOSE, 0, 0);
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
    SetFocus(owner);
}

void EndModalWindow(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner) {
        EnableWindow(owner, TRUE);
        if (GetActiveWindow() == window) SetForegroundWindow(owner);
    }
    DestroyWindow(window);
}

LRESULT DefModalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DM_GETDEFID: return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_NEXTDLGCTL: {
        // A non-zero low word of lParam names the control in wParam; otherwise
        // wParam chooses the previous (non-zero) or the next tab stop.
        HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
        if (!next) return 0;
        // As in a dialog, an edit reached this way has its text selected.
        if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
        SetFocus(next);
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
