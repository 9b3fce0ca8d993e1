// The About box (dialog template IDD_ABOUT). Run it with DialogBoxParamW and
// the MainWindow, or null, as parameter; it always ends with 1.
#pragma once

#include "WinApi.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
