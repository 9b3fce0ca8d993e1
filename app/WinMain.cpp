// Process entry: starts GDI+, makes the one MainWindow, runs the message loop
// with the keyboard accelerators, and deletes the window object at the end.
#include "MainWindow.h"
#include "MessageLoop.h"

#include <objidl.h>  // gdiplus.h needs it, and the lean windows.h leaves it out
#include <gdiplus.h>

#include "resource.h"

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
        exitCode = RunMessageLoop(window->hwnd, window->accelerators);
    else
        MessageBoxW(nullptr, L"Failed to create main window!", L"Error!", MB_ICONWARNING);
    delete window;
    return exitCode;
}
