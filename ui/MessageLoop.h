// The program's message loop, kept apart from WinMain so that tests can run it.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Runs until WM_QUIT and returns its exit code. With an accelerator table, every
// message is offered to it first (translated for `target`); a message it
// translates goes no further. Every other message is translated and dispatched.
int RunMessageLoop(HWND target, HACCEL accelerators);
