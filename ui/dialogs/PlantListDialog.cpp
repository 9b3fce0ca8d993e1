// The Plant List dialog: one line per plant of the open project, grouped by
// space in the store's order, and the total count. It changes nothing.
#include "dialogs/PlantListDialog.h"

#include <string>
#include <vector>

#include "MainWindow.h"
#include "resource.h"

namespace {

MainWindow* plantListOwner = nullptr;  // one Plant List at a time

// x = ref.left + (ref width - own width) / 2, likewise y; halves truncate toward zero.
void CentreOn(HWND dialog, HWND reference) {
    RECT ref, own;
    if (!reference || !GetWindowRect(reference, &ref) || !GetWindowRect(dialog, &own)) return;
    const int32_t x = ref.left + ((ref.right - ref.left) - (own.right - own.left)) / 2;
    const int32_t y = ref.top + ((ref.bottom - ref.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void FillList(HWND dialog, MainWindow& window) {
    HWND list = GetDlgItem(dialog, IDC_PLANT_LIST);
    int32_t count = 0;
    for (const Space& space : window.projectManager.GetSpaces()) {
        for (const Plant& plant : space.plants) {
            const std::wstring line =
                plant.name + L" #" + std::to_wstring(plant.id) + L" (Space: " + space.name + L")";
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            ++count;
        }
    }
    SetWindowTextW(GetDlgItem(dialog, IDC_PLANT_COUNT), std::to_wstring(count).c_str());
}

}  // namespace

INT_PTR CALLBACK PlantListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        plantListOwner = reinterpret_cast<MainWindow*>(lParam);
        // The command always passes its window; without one the list stays empty.
        if (plantListOwner) {
            FillList(dialog, *plantListOwner);
            CentreOn(dialog, plantListOwner->hwnd);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PLANT_LIST_CLOSE || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 2);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, 2);
        return TRUE;
    default:
        return FALSE;
    }
}
