// The space, plant, task and help commands. Accelerators reach them whatever
// the menus show, so each checks its own preconditions, and every selection
// index is checked against a fresh list from the store before use.
#include <string>
#include <vector>

#include "CanvasShapes.h"
#include "CommandSupport.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ExportSpacesDialog.h"
#include "dialogs/PlantListDialog.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskListDialog.h"
#include "resource.h"

namespace commands {

namespace {

constexpr size_t kMaxPlantNameLength = 255;

bool SelectedSpaceIndexValid(const MainWindow& w, const std::vector<Space>& spaces) {
    return w.selectedSpace >= 0 && static_cast<size_t>(w.selectedSpace) < spaces.size();
}

void Repaint(MainWindow& w) { InvalidateRect(w.hwnd, nullptr, TRUE); }

void WarnNoProject(MainWindow& w) {
    MessageBoxW(w.hwnd, L"Please open a project first.", L"No Project", MB_ICONWARNING);
}

// Leading and trailing blanks, tabs and line breaks removed.
std::wstring Trim(const std::wstring& text) {
    const wchar_t* blanks = L" \t\n\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return std::wstring();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// The selected plant, or null when no plant is selected or either index is stale.
const Plant* SelectedPlant(const MainWindow& w, const std::vector<Space>& spaces) {
    if (!SelectedSpaceIndexValid(w, spaces) || w.selectedPlant < 0) return nullptr;
    const std::vector<Plant>& plants = spaces[w.selectedSpace].plants;
    if (static_cast<size_t>(w.selectedPlant) >= plants.size()) return nullptr;
    return &plants[w.selectedPlant];
}

bool PlantSelected(const MainWindow& w) {
    return w.projectManager.IsProjectOpen() && w.selectedSpace >= 0 && w.selectedPlant >= 0;
}

}  // namespace

void NewSpace(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) {
        WarnNoProject(w);
        return;
    }
    std::wstring name;
    if (!w.InputBox(L"Enter Space Name", name)) {
        w.SetStatusText(L"New space creation cancelled.");
        return;
    }
    w.newSpaceName = name;
    w.drawingSpace = true;
    w.newSpacePoints.clear();
    w.SetStatusText(L"Creating new space. Left-click to add points, right-click to finish.");
    w.UpdateScrollBars();
    Repaint(w);
}

void RenameSpace(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen() || w.selectedSpace < 0) {
        w.SetStatusText(L"Please select a space to rename.");
        return;
    }
    const std::vector<Space> spaces = w.projectManager.GetSpaces();
    if (!SelectedSpaceIndexValid(w, spaces)) {
        w.SetStatusText(L"Selected space not found.");
        return;
    }
    Space space = spaces[w.selectedSpace];
    std::wstring name = space.name;
    if (!w.InputBox(L"Rename Space", name)) {
        w.SetStatusText(L"Rename operation cancelled.");
        return;
    }
    space.name = name;
    if (!w.projectManager.UpdateSpace(space)) {
        w.SetStatusText(L"Failed to rename space.");
        return;
    }
    w.UpdateTitle();
    w.SetStatusText(L"Space renamed successfully.");
    Repaint(w);
}

void DeleteSpace(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen() || w.selectedSpace < 0) {
        w.SetStatusText(L"Please select a space to delete.");
        return;
    }
    const std::vector<Space> spaces = w.projectManager.GetSpaces();
    if (!SelectedSpaceIndexValid(w, spaces)) {
        w.SetStatusText(L"Selected space not found.");
        return;
    }
    const Space& space = spaces[w.selectedSpace];
    const std::wstring question =
        L"Are you sure you want to delete the space '" + space.name + L"'?\n\nThis action cannot be undone.";
    if (MessageBoxW(w.hwnd, question.c_str(), L"Confirm Delete", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        w.SetStatusText(L"Delete operation cancelled.");
        return;
    }
    if (!w.projectManager.DeleteSpace(space.id)) {
        w.SetStatusText(L"Failed to delete space.");
        return;
    }
    w.selectedSpace = -1;
    FullRefresh(w, L"Space deleted successfully.");
}

void ExportSpaces(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen() || w.projectManager.GetSpaces().empty()) {
        MessageBoxW(w.hwnd, L"Please open a project with spaces first.", L"No Spaces", MB_ICONWARNING);
        return;
    }
    DialogBoxParamW(w.instance, MAKEINTRESOURCEW(IDD_EXPORT_SPACES), w.hwnd, ExportSpacesDialogProc,
                    reinterpret_cast<LPARAM>(&w));
    w.SetStatusText(L"Ready.");
}

void ViewPlants(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) {
        WarnNoProject(w);
        return;
    }
    DialogBoxParamW(w.instance, MAKEINTRESOURCEW(IDD_PLANT_LIST), w.hwnd, PlantListDialogProc,
                    reinterpret_cast<LPARAM>(&w));
    w.SetStatusText(L"Ready.");
}

void NewPlant(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen() || w.selectedSpace < 0) {
        w.SetStatusText(L"Please select a space to add a plant to.");
        return;
    }
    w.placingPlant = true;
    SetCursor(LoadCursorW(nullptr, IDC_CROSS));
    w.SetStatusText(L"Click inside the selected space to place the plant. Right-click to cancel.");
    Repaint(w);
}

void RenamePlant(MainWindow& w) {
    if (!PlantSelected(w)) {
        w.SetStatusText(L"Please select a plant to rename.");
        return;
    }
    const std::vector<Space> spaces = w.projectManager.GetSpaces();
    const Plant* selected = SelectedPlant(w, spaces);
    if (!selected) return;
    Plant plant = *selected;

    const std::wstring title = L"Rename Plant: " + shapes::PlantLabel(plant);
    std::wstring text = plant.name;
    if (!w.InputBox(title, text)) return;

    const std::wstring name = Trim(text);
    if (name.empty()) {
        MessageBoxW(w.hwnd, L"Plant name cannot be empty.", L"Invalid Name", MB_ICONWARNING);
        return;
    }
    if (name.size() > kMaxPlantNameLength) {
        MessageBoxW(w.hwnd, L"Plant name is too long (maximum 255 characters).", L"Invalid Name", MB_ICONWARNING);
        return;
    }
    plant.name = name;
    if (!w.projectManager.UpdatePlant(plant)) {
        ShowStoreError(w);
        return;
    }
    Repaint(w);
    w.SetStatusText(L"Plant renamed successfully.");
}

void DeletePlant(MainWindow& w) {
    if (!PlantSelected(w)) {
        w.SetStatusText(L"Please select a plant to delete.");
        return;
    }
    const std::vector<Space> spaces = w.projectManager.GetSpaces();
    const Plant* plant = SelectedPlant(w, spaces);
    if (!plant) return;

    const std::wstring question =
        L"Are you sure you want to delete the plant \"" + shapes::PlantLabel(*plant) + L"\"?";
    if (MessageBoxW(w.hwnd, question.c_str(), L"Confirm Plant Deletion", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!w.projectManager.DeletePlant(plant->id)) {
        ShowStoreError(w);
        return;
    }
    w.selectedPlant = -1;
    w.UpdateMenuState();
    Repaint(w);
    w.SetStatusText(L"Plant deleted successfully.");
}

void AddTask(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) {
        w.SetStatusText(L"Please open a project first.");
        return;
    }
    TaskDialogParams params{&w, -1, false};
    const INT_PTR result = DialogBoxParamW(w.instance, MAKEINTRESOURCEW(IDD_TASK), w.hwnd, TaskDialogProc,
                                           reinterpret_cast<LPARAM>(&params));
    if (result == 1) {
        w.SetStatusText(L"Task created successfully.");
        Repaint(w);
    } else {
        w.SetStatusText(L"Task creation cancelled.");
    }
}

void ViewTasks(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) {
        WarnNoProject(w);
        return;
    }
    DialogBoxParamW(w.instance, MAKEINTRESOURCEW(IDD_TASK_LIST), w.hwnd, TaskListDialogProc,
                    reinterpret_cast<LPARAM>(&w));
    w.SetStatusText(L"Ready.");
}

void About(MainWindow& w) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), w.hwnd, AboutDialogProc,
                    reinterpret_cast<LPARAM>(&w));
}

}  // namespace commands
