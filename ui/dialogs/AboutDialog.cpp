// The About box: the application icon, the product name in a large bold font
// and the version line, centred on the main window (or the desktop).
#include "dialogs/AboutDialog.h"

#include "GdiObjects.h"
#include "MainWindow.h"
#include "ModalWindow.h"
#include "StatefulDialog.h"
#include "resource.h"

namespace {

const wchar_t kVersionText[] = L"Version 1.0.0\r\n\r\n";

// What an About box keeps while it runs, with its window.
struct AboutState {
    gdi::Font titleFont;  // the product name's; outlives the control that shows it
};

BOOL OnInitDialog(HWND dialog, AboutState& state, LPARAM lParam) {
    const auto* owner = reinterpret_cast<const MainWindow*>(lParam);  // may be null
    state.titleFont =
        gdi::Font(CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI"));
    SendDlgItemMessageW(dialog, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(state.titleFont.get()), TRUE);
    SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, kVersionText);
    HWND reference = owner && owner->hwnd ? owner->hwnd : GetDesktopWindow();
    CentreOnWindow(dialog, reference);
    return TRUE;  // the dialog manager focuses the default button
}

BOOL OnCommand(HWND dialog, AboutState&, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_ABOUT_OK:
    case IDOK:
    case IDCANCEL: EndDialog(dialog, 1); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return StatefulDialogProc<AboutState, OnInitDialog, OnCommand>(dialog, message, wParam, lParam);
}
