// The Plant List dialog: one line per plant of the open project, grouped by
// space in the store's order, and the total count. It changes nothing.
#include "dialogs/PlantListDialog.h"

#include <string>
#include <vector>

#include "MainWindow.h"
#include "ModalWindow.h"
#include "resource.h"

namespace {

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
        // The command always passes its window; without one the list stays empty.
        // Nothing of it is needed after this message.
        if (auto* owner = reinterpret_cast<MainWindow*>(lParam)) {
            FillList(dialog, *owner);
            CentreOnWindow(dialog, owner->hwnd);
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
