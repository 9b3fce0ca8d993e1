// The read-only list of every plant of the open project (dialog template
// IDD_PLANT_LIST). Run it with DialogBoxParamW and the MainWindow as parameter.
#pragma once

#include "WinApi.h"

INT_PTR CALLBACK PlantListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
