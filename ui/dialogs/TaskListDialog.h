// The Task List dialog (resource 3020): every task of the open project with its
// due date and assignments; ticks completion, edits and deletes tasks.
#pragma once

#include "WinApi.h"

// The dialog's parameter is the MainWindow pointer. Always ends with 2.
INT_PTR CALLBACK TaskListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
