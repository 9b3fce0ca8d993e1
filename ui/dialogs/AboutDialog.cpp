// The About box: the application icon, the product name in a large bold font
// and the version line, centred on the main window (or the desktop).
#include "dialogs/AboutDialog.h"

#include "GdiObjects.h"
#include "MainWindow.h"
#include "ModalWindow.h"
#include "resource.h"

namespace {

const wchar_t kVersionText[] = L"Version 1.0.0\r\n\r\n";

// The title font lives while the box is open; its owner is kept in the box's
// DWLP_USER slot.
void DeleteTitleFont(HWND dialog) {
    delete reinterpret_cast<gdi::Font*>(SetWindowLongPtrW(dialog, DWLP_USER, 0));
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* owner = reinterpret_cast<const MainWindow*>(lParam);  // may be null
        auto* titleFont =
            new gdi::Font(CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI"));
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(titleFont));
        SendDlgItemMessageW(dialog, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont->get()), TRUE);
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, kVersionText);
        HWND reference = owner && owner->hwnd ? owner->hwnd : GetDesktopWindow();
        CentreOnWindow(dialog, reference);
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
        DeleteTitleFont(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
