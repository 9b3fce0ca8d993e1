// The program's message loop with its keyboard accelerators.
#include "MessageLoop.h"

int RunMessageLoop(HWND target, HACCEL accelerators) {
    MSG msg{};
    // GetMessageW returns -1 on an error: stop rather than spin on it.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(target, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
