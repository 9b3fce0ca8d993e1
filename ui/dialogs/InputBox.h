// The one-line input box that asks for a name (MainWindow::InputBox).
#pragma once

#include "WinApi.h"

// Window procedure of the class "InputBoxClass". Each box keeps its state (the
// caller's result text and its edit control) with its window.
LRESULT CALLBACK InputBoxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
