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

// The dialog procedure of a task dialog: its `State` is made at WM_INITDIALOG,
// kept with the window (DWLP_USER) and deleted with it, so that every
// message finds the state of its own dialog. WM_CLOSE ends the dialog with 2.
template <typename State, BOOL (*Init)(HWND, State&, LPARAM), BOOL (*Notify)(HWND, State&, const NMHDR*),
          BOOL (*Command)(HWND, State&, WPARAM)>
INT_PTR StatefulDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* state = new State();
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        return Init(dialog, *state, lParam);
    }
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;  // before WM_INITDIALOG or after the end
    switch (message) {
    case WM_NOTIFY: return Notify(dialog, *state, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: return Command(dialog, *state, wParam);
    case WM_CLOSE: EndDialog(dialog, 2); return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        delete state;
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace taskdialogs
