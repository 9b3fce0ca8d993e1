// The check list of spaces to save as one image (dialog template
// IDD_EXPORT_SPACES). Run it with DialogBoxParamW and the MainWindow as
// parameter; it ends with 1 after a successful export and 2 when cancelled.
#pragma once

#include "WinApi.h"

INT_PTR CALLBACK ExportSpacesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
