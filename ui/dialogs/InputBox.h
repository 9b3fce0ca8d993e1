// The one-line input box that asks for a name (MainWindow::InputBox).
#pragma once

#include "MainWindow.h"

// Window procedure of the class "InputBoxClass". Its state (the caller's
// result text and the edit control) is program-wide: one box at a time.
LRESULT CALLBACK InputBoxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
