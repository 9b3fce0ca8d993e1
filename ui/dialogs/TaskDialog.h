// The Create/Edit Task dialog (resource 3010): a task's name, description,
// optional due date and the spaces and plants it is assigned to.
#pragma once

#include <cstdint>

#include "WinApi.h"

class MainWindow;

// The dialog's creation parameter (the lParam of DialogBoxParamW).
struct TaskDialogParams {
    MainWindow* owner = nullptr;  // whose store the dialog uses and on which it centres
    int32_t taskId = -1;          // the task to edit; -1 to create one
    bool isEdit = false;          // true to edit `taskId`
};

// Ends with 1 when the task was saved and 2 when the dialog was cancelled or closed.
INT_PTR CALLBACK TaskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
