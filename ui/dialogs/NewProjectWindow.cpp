// The New Project window: built from plain controls, centred on the main
// window, with a message loop of its own.
#include "NewProjectWindow.h"

#include "GdiObjects.h"
#include "MessageFont.h"
#include "ModalWindow.h"
#include "resource.h"

namespace {

constexpr wchar_t kClassName[] = L"ProjectCreateDialogClass";
constexpr int kNameEditId = 1001;
constexpr int kDescriptionEditId = 1002;
// Buffer sizes of the two reads: at most 254 and 1,022 characters come back.
constexpr int kNameBufferChars = 256;
constexpr int kNameMaxCount = 255;
constexpr int kDescriptionBufferChars = 1024;
constexpr int kDescriptionMaxCount = 1023;

// What one window keeps, with the window (GWLP_USERDATA): made at WM_CREATE
// and deleted at WM_NCDESTROY, after the controls that use the font are gone.
struct ProjectWindowState {
    ProjectCreateDialogData* data = nullptr;  // the caller's record
    gdi::Font font;                           // the controls' font
};

ProjectWindowState* StateOf(HWND window) {
    return reinterpret_cast<ProjectWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void OnCreate(HWND window, ProjectCreateDialogData* data) {
    auto* state = new ProjectWindowState{data, gdi::Font(CreateMessageFont())};
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    const HFONT font = state->font;
    CreateChildControl(window, L"STATIC", L"Project Name:", 0, 0, 15, 20, 100, 20, font);
    data->nameEdit = CreateChildControl(window, L"EDIT", data->name->c_str(), kNameEditId,
                                        WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 15, 45, 260, 25, font);
    CreateChildControl(window, L"STATIC", L"Description (optional):", 0, 0, 15, 85, 150, 20, font);
    data->descriptionEdit =
        CreateChildControl(window, L"EDIT", data->description->c_str(), kDescriptionEditId,
                           WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL, 15, 110, 260, 60, font);
    CreateChildControl(window, L"BUTTON", L"Create", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 120, 185, 75, 30, font);
    CreateChildControl(window, L"BUTTON", L"Cancel", IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, 200, 185, 75, 30, font);
    SetFocus(data->nameEdit);
    CentreOnWindow(window, GetParent(window));  // the owner
}

void OnCreateButton(HWND window, ProjectCreateDialogData* data) {
    wchar_t name[kNameBufferChars] = {};
    GetWindowTextW(data->nameEdit, name, kNameMaxCount);
    if (name[0] == L'\0') {
        MessageBoxW(window, L"Please enter a project name.", L"Validation Error", MB_ICONWARNING);
        SetFocus(data->nameEdit);
        return;
    }
    wchar_t description[kDescriptionBufferChars] = {};
    GetWindowTextW(data->descriptionEdit, description, kDescriptionMaxCount);
    *data->name = name;
    *data->description = description;
    data->accepted = true;
    EndModalWindow(window);
}

}  // namespace

LRESULT CALLBACK ProjectCreateDialogWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        OnCreate(hwnd, static_cast<ProjectCreateDialogData*>(create->lpCreateParams));
        return 0;
    }
    ProjectWindowState* state = StateOf(hwnd);
    ProjectCreateDialogData* data = state ? state->data : nullptr;
    switch (message) {
    case WM_CLOSE:
        if (data) data->accepted = false;
        EndModalWindow(hwnd);
        return 0;
    case WM_COMMAND:
        if (data && LOWORD(wParam) == IDOK) {
            OnCreateButton(hwnd, data);
            return 0;
        }
        if (data && LOWORD(wParam) == IDCANCEL) {
            data->accepted = false;
            EndModalWindow(hwnd);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        // Last message of the window, after its controls are gone.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete state;
        break;
    }
    return DefModalWindowProc(hwnd, message, wParam, lParam);
}

void RunProjectCreateWindow(HWND owner, HINSTANCE instance, ProjectCreateDialogData& data) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ProjectCreateDialogWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TILVO));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // an existing class is fine

    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kClassName, L"Create New Project",
                                  WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                                  300, 280, owner, nullptr, instance, &data);
    if (!window) {
        UnregisterClassW(kClassName, instance);
        return;
    }

    RunModalWindow(owner, window);
    UnregisterClassW(kClassName, instance);
}
