// List-view rows with check boxes, shared by the two task dialogs. A row is
// ticked when its state image is other than 1 (1 is the empty box, 2 the
// ticked one).
#pragma once

#include "WinApi.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace taskdialogs {

bool IsRowTicked(HWND list, int row);
void SetRowTick(HWND list, int row, bool ticked);
LPARAM RowData(HWND list, int row);
int RowCount(HWND list);
std::vector<int32_t> TickedIds(HWND list);  // row data of the ticked rows, in row order

// Inserts a row at `index` with its text and data; returns the new row's index.
int InsertRow(HWND list, int index, const std::wstring& text, LPARAM data);
void SetSubItemText(HWND list, int row, int subItem, const std::wstring& text);
void InsertColumn(HWND list, int index, int width, const wchar_t* title, bool withSubItem);

// Ticks every row whose data is in `ids` and unticks the others; does nothing
// when `ids` is empty.
void ApplyLinks(HWND list, const std::vector<int32_t>& ids);

// A window's whole text, however long.
std::wstring ControlText(HWND control);

}  // namespace taskdialogs
