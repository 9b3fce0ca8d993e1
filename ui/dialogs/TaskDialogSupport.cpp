// List-view row helpers for the task dialogs.
#include "TaskDialogSupport.h"

#include <algorithm>

namespace taskdialogs {

namespace {

constexpr UINT kTickedState = 0x2000;    // state image 2
constexpr UINT kUntickedState = 0x1000;  // state image 1

}  // namespace

bool IsRowTicked(HWND list, int row) {
    const UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) != 1;
}

void SetRowTick(HWND list, int row, bool ticked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = ticked ? kTickedState : kUntickedState;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

LPARAM RowData(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::vector<int32_t> TickedIds(HWND list) {
    std::vector<int32_t> ids;
    const int count = RowCount(list);
    for (int row = 0; row < count; ++row)
        if (IsRowTicked(list, row)) ids.push_back(static_cast<int32_t>(RowData(list, row)));
    return ids;
}

int InsertRow(HWND list, int index, const std::wstring& text, LPARAM data) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetSubItemText(HWND list, int row, int subItem, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void InsertColumn(HWND list, int index, int width, const wchar_t* title, bool withSubItem) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT | (withSubItem ? LVCF_SUBITEM : 0);
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void ApplyLinks(HWND list, const std::vector<int32_t>& ids) {
    if (ids.empty()) return;
    const int count = RowCount(list);
    for (int row = 0; row < count; ++row) {
        const int32_t id = static_cast<int32_t>(RowData(list, row));
        SetRowTick(list, row, std::find(ids.begin(), ids.end(), id) != ids.end());
    }
}

std::wstring ControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

}  // namespace taskdialogs
