// The input box: a small modal window built from plain controls that asks for
// one line of text, with a message loop of its own.
#include "InputBox.h"

#include "GdiObjects.h"
#include "MainWindow.h"
#include "MessageFont.h"
#include "ModalWindow.h"

namespace {

constexpr wchar_t kClassName[] = L"InputBoxClass";
constexpr int kEditId = 101;

// What one box works with. It lives in the InputBox call's frame; the box
// keeps its address in GWLP_USERDATA, so each box finds its own.
struct InputBoxState {
    std::wstring text;    // first the caller's text; the entered text, or empty when cancelled
    HWND edit = nullptr;  // the box's edit control
    gdi::Font font;       // owned by the box; deleted when it is destroyed
};

InputBoxState* StateOf(HWND box) {
    return reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

void OnCreate(HWND box, InputBoxState& state) {
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    state.font = gdi::Font(CreateMessageFont());
    CreateChildControl(box, L"STATIC", L"Name:", 0, 0, 10, 10, 80, 20, state.font);
    state.edit = CreateChildControl(box, L"EDIT", state.text.c_str(), kEditId,
                                    WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 100, 10, 200, 20, state.font);
    CreateChildControl(box, L"BUTTON", L"OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 120, 40, 80, 25, state.font);
    CreateChildControl(box, L"BUTTON", L"Cancel", IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, 210, 40, 80, 25,
                       state.font);
    SetFocus(state.edit);
}

void Confirm(HWND box, InputBoxState& state) {
    const int length = GetWindowTextLengthW(state.edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(state.edit, &text[0], length + 1);
    text.resize(read > 0 ? static_cast<size_t>(read) : 0);
    state.text = text;
    EndModalWindow(box);
}

void Cancel(HWND box, InputBoxState& state) {
    state.text.clear();
    EndModalWindow(box);
}

// Registered on first use and kept for the life of the process, so that a box
// opened while another one runs finds the class as well.
void RegisterInputBoxClass(HINSTANCE instance) {
    WNDCLASSW wc = {};
    if (GetClassInfoW(instance, kClassName, &wc)) return;
    wc.lpfnWndProc = InputBoxWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
}

}  // namespace

LRESULT CALLBACK InputBoxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        OnCreate(hwnd, *static_cast<InputBoxState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        return 0;
    }
    InputBoxState* state = StateOf(hwnd);
    if (!state) return DefModalWindowProc(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            Confirm(hwnd, *state);
        else if (LOWORD(wParam) == IDCANCEL)
            Cancel(hwnd, *state);
        return 0;
    case WM_CLOSE:
        Cancel(hwnd, *state);
        return 0;
    case WM_NCDESTROY:
        // Last message of the box, after its controls are gone.
        state->font.Reset();
        state->edit = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    }
    return DefModalWindowProc(hwnd, message, wParam, lParam);
}

bool MainWindow::InputBox(const std::wstring& title, std::wstring& text) {
    RegisterInputBoxClass(instance);
    InputBoxState state;
    state.text = text;
    HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, title.c_str(), WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                               CW_USEDEFAULT, CW_USEDEFAULT, 320, 140, hwnd, nullptr, instance, &state);
    RunModalWindow(hwnd, box);  // also when the box could not be created

    // A box that could not be created asked nothing: that is no confirmation.
    if (!box || state.text.empty()) return false;
    text = state.text;
    return true;
}
