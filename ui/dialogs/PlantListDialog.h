// The read-only list of every plant of the open project (dialog template
// IDD_PLANT_LIST). Run it with DialogBoxParamW and the MainWindow as parameter.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

INT_PTR CALLBACK PlantListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
