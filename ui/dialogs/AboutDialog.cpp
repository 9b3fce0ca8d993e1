// The About box: the application icon, the product name in a large bold font
// and the version line, centred on the main window (or the desktop).
#include "dialogs/AboutDialog.h"

#include "GdiObjects.h"
#include "MainWindow.h"
#include "resource.h"

namespace {

const wchar_t kVersionText[] = L"Version 1.0.0\r\n\r\n";

MainWindow* aboutOwner = nullptr;  // may be null
gdi::Font aboutTitleFont;  // lives while the box is open

void CentreOn(HWND dialog, HWND reference) {
    RECT ref, own;
    if (!GetWindowRect(reference, &ref) || !GetWindowRect(dialog, &own)) return;
    const int32_t x = ref.left + ((ref.right - ref.left) - (own.right - own.left)) / 2;
    const int32_t y = ref.top + ((ref.bottom - ref.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void DeleteTitleFont() {
    aboutTitleFont.Reset();
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        aboutOwner = reinterpret_cast<MainWindow*>(lParam);
        DeleteTitleFont();
        aboutTitleFont =
            gdi::Font(CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI"));
        SendDlgItemMessageW(dialog, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(aboutTitleFont.get()), TRUE);
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, kVersionText);
        HWND reference = aboutOwner && aboutOwner->hwnd ? aboutOwner->hwnd : GetDesktopWindow();
        CentreOn(dialog, reference);
        return TRUE;  // the dialog manager focuses the default button
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_OK:
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    case WM_DESTROY:
        // The title control uses the font until it is destroyed, so it goes
        // here, on every way the box closes, and not before.
        SendDlgItemMessageW(dialog, IDC_ABOUT_TITLE, WM_SETFONT, 0, FALSE);
        DeleteTitleFont();
        aboutOwner = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
