// The program's message loop, kept apart from WinMain so that tests can run it.
#pragma once

#include "WinApi.h"

// Runs until WM_QUIT and returns its exit code. With an accelerator table, every
// message is offered to it first (translated for `target`); a message it
// translates goes no further. Every other message is translated and dispatched.
int RunMessageLoop(HWND target, HACCEL accelerators);
