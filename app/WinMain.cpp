// Process entry: starts GDI+, makes the one MainWindow, runs the message loop
// with the keyboard accelerators, and deletes the window object at the end.
#include "MainWindow.h"

#include <objidl.h>  // gdiplus.h needs it, and the lean windows.h leaves it out
#include <gdiplus.h>

#include "resource.h"

namespace {

// Runs until WM_QUIT and returns its exit code. The accelerator table sees every
// message first; a message it translates goes no further.
int RunMessageLoop(MainWindow& window) {
    const HACCEL accelerators = window.accelerators;
    MSG msg{};
    // GetMessageW returns -1 on an error: stop rather than spin on it.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(window.hwnd, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
    // GDI+ stays started until the process ends; only the image export needs it.
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    MainWindow* window = new MainWindow(instance);
    wchar_t version[256] = {};
    LoadStringW(instance, IDS_VERSION, version, 256);
    window->SetStatusRightText(version);

    int exitCode = 1;
    if (window->Create(showCommand))
        exitCode = RunMessageLoop(*window);
    else
        MessageBoxW(nullptr, L"Failed to create main window!", L"Error!", MB_ICONWARNING);
    delete window;
    return exitCode;
}
