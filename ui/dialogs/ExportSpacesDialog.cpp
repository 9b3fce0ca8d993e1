// The Export Spaces dialog: a check list of the project's spaces; "Export..."
// asks for a PNG or JPEG file name and has the ticked spaces drawn into it.
#include "dialogs/ExportSpacesDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "MainWindow.h"
#include "StatefulDialog.h"
#include "export/SpaceImageExport.h"
#include "resource.h"

namespace {

constexpr int kPathChars = 260;
const wchar_t kImageFilter[] = L"PNG Files (*.png)\0*.png\0JPEG Files (*.jpg)\0*.jpg\0All Files (*.*)\0*.*\0";

void FillSpaceList(HWND dialog, MainWindow& window) {
    HWND list = GetDlgItem(dialog, IDC_EXPORT_SPACE_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);

    wchar_t columnTitle[] = L"Space Name";
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 300;
    column.pszText = columnTitle;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

    const std::vector<Space> spaces = window.projectManager.GetSpaces();
    for (size_t i = 0; i < spaces.size(); ++i) {
        std::wstring name = spaces[i].name;
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = &name[0];
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));  // unticked: the list view's default
    }
}

// Row indices whose check-box image is other than 1 (unticked), in row order.
std::vector<int32_t> TickedRows(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_EXPORT_SPACE_LIST);
    std::vector<int32_t> rows;
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
        if ((state >> 12) != 1) rows.push_back(static_cast<int32_t>(i));
    }
    return rows;
}

// The chosen file name, or false when the user cancelled.
bool AskImagePath(HWND dialog, std::wstring& path) {
    wchar_t buffer[kPathChars] = L"exported_spaces.png";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = dialog;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = kPathChars;
    ofn.lpstrFilter = kImageFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrDefExt = L"png";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (GetSaveFileNameW(&ofn) != TRUE) return false;
    path = buffer;
    return true;
}

// What an Export Spaces dialog keeps while it runs, with its window.
struct ExportSpacesState {
    MainWindow* owner = nullptr;  // whose spaces are listed and drawn
};

void OnExport(HWND dialog, const ExportSpacesState& state) {
    const std::vector<int32_t> rows = TickedRows(dialog);
    if (rows.empty()) {
        MessageBoxW(dialog, L"Please select at least one space to export.", L"No Spaces Selected", MB_ICONWARNING);
        return;
    }
    std::wstring path;
    if (!AskImagePath(dialog, path)) return;
    const bool exported = state.owner && state.owner->ExportSpacesToImage(rows, path, ImageFormatForPath(path));
    if (exported) {
        MessageBoxW(dialog, L"Spaces exported successfully!", L"Export Complete", MB_ICONINFORMATION);
        EndDialog(dialog, 1);
    } else {
        MessageBoxW(dialog, L"Failed to export spaces.", L"Export Error", MB_ICONERROR);
    }
}

BOOL OnInitDialog(HWND dialog, ExportSpacesState& state, LPARAM lParam) {
    state.owner = reinterpret_cast<MainWindow*>(lParam);
    if (!state.owner) return FALSE;
    FillSpaceList(dialog, *state.owner);
    return TRUE;
}

BOOL OnCommand(HWND dialog, ExportSpacesState& state, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_EXPORT_BUTTON: OnExport(dialog, state); return TRUE;
    case IDC_EXPORT_CANCEL:
    case IDCANCEL: EndDialog(dialog, 2); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK ExportSpacesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return StatefulDialogProc<ExportSpacesState, OnInitDialog, OnCommand>(dialog, message, wParam, lParam);
}
