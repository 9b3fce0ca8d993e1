// The Plant List dialog: one line per plant of the open project, grouped by
// space in the store's order, and the total count. It changes nothing.
#include "dialogs/PlantListDialog.h"

#include <string>
#include <vector>

#include "CanvasShapes.h"
#include "MainWindow.h"
#include "ModalWindow.h"
#include "StatefulDialog.h"
#include "resource.h"

namespace {

void FillList(HWND dialog, MainWindow& window) {
    HWND list = GetDlgItem(dialog, IDC_PLANT_LIST);
    int32_t count = 0;
    for (const Space& space : window.projectManager.GetSpaces()) {
        for (const Plant& plant : space.plants) {
            const std::wstring line = shapes::PlantLabel(plant) + L" (Space: " + space.name + L")";
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            ++count;
        }
    }
    SetWindowTextW(GetDlgItem(dialog, IDC_PLANT_COUNT), std::to_wstring(count).c_str());
}

// The list is filled once when the dialog opens: nothing to keep after that.
struct PlantListState {};

BOOL OnInitDialog(HWND dialog, PlantListState&, LPARAM lParam) {
    // The command always passes its window; without one the list stays empty.
    if (auto* owner = reinterpret_cast<MainWindow*>(lParam)) {
        FillList(dialog, *owner);
        CentreOnWindow(dialog, owner->hwnd);
    }
    return TRUE;
}

BOOL OnCommand(HWND dialog, PlantListState&, WPARAM wParam) {
    if (LOWORD(wParam) != IDC_PLANT_LIST_CLOSE && LOWORD(wParam) != IDCANCEL) return FALSE;
    EndDialog(dialog, 2);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK PlantListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return StatefulDialogProc<PlantListState, OnInitDialog, OnCommand>(dialog, message, wParam, lParam);
}
