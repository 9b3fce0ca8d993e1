// The input box: a small modal window built from plain controls that asks for
// one line of text, with a message loop of its own.
#include "InputBox.h"

#include "GdiObjects.h"
#include "MessageFont.h"

namespace {

constexpr wchar_t kClassName[] = L"InputBoxClass";
constexpr int kEditId = 101;

// Program-wide state of the one open box.
std::wstring* g_resultText = nullptr;  // the running InputBox call's result text
HWND g_edit = nullptr;                 // the box's edit control
gdi::Font g_font;                      // owned by the box; deleted when it is destroyed

void OnCreate(HWND box, const CREATESTRUCTW* create) {
    g_resultText = static_cast<std::wstring*>(create->lpCreateParams);
    g_font = gdi::Font(CreateMessageFont());
    CreateChildControl(box, L"STATIC", L"Name:", 0, 0, 10, 10, 80, 20, g_font);
    g_edit = CreateChildControl(box, L"EDIT", g_resultText->c_str(), kEditId, WS_BORDER | ES_AUTOHSCROLL, 100, 10,
                                200, 20, g_font);
    CreateChildControl(box, L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON, 120, 40, 80, 25, g_font);
    CreateChildControl(box, L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON, 210, 40, 80, 25, g_font);
    SetFocus(g_edit);
}

void Confirm(HWND box) {
    const int length = GetWindowTextLengthW(g_edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(g_edit, &text[0], length + 1);
    text.resize(read > 0 ? static_cast<size_t>(read) : 0);
    *g_resultText = text;
    DestroyWindow(box);
}

void Cancel(HWND box) {
    g_resultText->clear();
    DestroyWindow(box);
}

}  // namespace

LRESULT CALLBACK InputBoxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            Confirm(hwnd);
        else if (LOWORD(wParam) == IDCANCEL)
            Cancel(hwnd);
        return 0;
    case WM_CLOSE:
        Cancel(hwnd);
        return 0;
    case WM_NCDESTROY:
        // Last message of the box, after its controls are gone.
        g_font.Reset();
        g_edit = nullptr;
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool MainWindow::InputBox(const std::wstring& title, std::wstring& text) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = InputBoxWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // an existing class is fine

    std::wstring result = text;
    HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, title.c_str(), WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                               CW_USEDEFAULT, CW_USEDEFAULT, 320, 140, hwnd, nullptr, instance, &result);
    EnableWindow(hwnd, FALSE);

    MSG msg;
    while (IsWindow(box)) {
        if (GetMessageW(&msg, nullptr, 0, 0) < 1) break;
        if (!IsDialogMessageW(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // A loop ended by WM_QUIT leaves the box open: close it as cancelled, so
    // that it cannot write into `result` after this call has returned.
    if (IsWindow(box)) SendMessageW(box, WM_CLOSE, 0, 0);

    EnableWindow(hwnd, TRUE);
    SetForegroundWindow(hwnd);
    UnregisterClassW(kClassName, instance);
    g_resultText = nullptr;

    // A box that could not be created asked nothing: that is no confirmation.
    if (!box || result.empty()) return false;
    text = result;
    return true;
}
