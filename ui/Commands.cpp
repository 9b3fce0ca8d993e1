// The command handler: routes every WM_COMMAND id, and carries out the file
// commands (new, open, close, save, save as, import, export, print, exit).
// Space, plant, task and help commands live in EditCommands.cpp.
#include "CommandSupport.h"
#include "PrintManager.h"
#include "dialogs/NewProjectWindow.h"
#include "resource.h"

namespace {

using commands::ChooseFile;
using commands::FileDialogKind;
using commands::FullRefresh;
using commands::SettleUnsavedChanges;
using commands::ShowStoreError;

constexpr wchar_t kCloseQuestion[] = L"The project has unsaved changes.\n\nDo you want to save before closing?";
constexpr wchar_t kImportQuestion[] =
    L"The current project has unsaved changes.\n\nDo you want to save before importing?";
// New and Open replace the open project too, so they ask the same question
// rather than dropping unsaved work without a word.
constexpr wchar_t kNewQuestion[] =
    L"The project has unsaved changes.\n\nDo you want to save before creating a new project?";
constexpr wchar_t kOpenQuestion[] =
    L"The project has unsaved changes.\n\nDo you want to save before opening another project?";

// True when the open project may be replaced: nothing unsaved, or the user
// saved it or chose to discard it.
bool MayReplaceProject(MainWindow& w, const wchar_t* question) {
    ProjectManager& store = w.projectManager;
    if (!store.IsProjectOpen() || !store.HasUnsavedChanges()) return true;
    return SettleUnsavedChanges(w, question);
}

// The selection indices point into the project being replaced or closed; they
// go with it, whether or not a new project takes its place.
void ClearSelection(MainWindow& w) {
    w.selectedSpace = -1;
    w.selectedPlant = -1;
}

// After a failed open or import the previous project is already closed; the
// menus, title and canvas must say so.
void ShowNoProject(MainWindow& w) {
    w.UpdateMenuState();
    w.UpdateTitle();
    InvalidateRect(w.hwnd, nullptr, TRUE);
}

void NewProject(MainWindow& w) {
    std::wstring name = L"Untitled Project";
    std::wstring description;
    ProjectCreateDialogData data;
    data.name = &name;
    data.description = &description;
    RunProjectCreateWindow(w.hwnd, w.instance, data);
    if (!data.accepted) return;
    if (!MayReplaceProject(w, kNewQuestion)) return;

    ClearSelection(w);
    if (w.projectManager.CreateNewProject(name, description))
        FullRefresh(w, L"New project created. Use File > Save As to save to disk.");
    else
        ShowStoreError(w);
}

void OpenProject(MainWindow& w) {
    std::wstring path;
    if (!ChooseFile(w.hwnd, FileDialogKind::OpenProject, path)) return;
    if (!MayReplaceProject(w, kOpenQuestion)) return;
    ClearSelection(w);
    if (w.projectManager.OpenProject(path)) {
        FullRefresh(w, L"Project opened successfully.");
        return;
    }
    ShowStoreError(w);
    ShowNoProject(w);
}

void CloseProject(MainWindow& w) {
    ProjectManager& store = w.projectManager;
    if (!store.IsProjectOpen()) return;
    if (store.HasUnsavedChanges() && !SettleUnsavedChanges(w, kCloseQuestion)) return;
    store.CloseProject();
    ClearSelection(w);
    FullRefresh(w, L"Project closed.");
}

void SaveProject(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) return;
    if (!commands::SaveInPlace(w)) return;
    w.UpdateTitle();
    w.SetStatusText(L"Project saved successfully.");
}

void SaveProjectAs(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) return;
    std::wstring path;
    if (!ChooseFile(w.hwnd, FileDialogKind::SaveProject, path)) return;
    if (!w.projectManager.SaveProjectAs(path)) {
        ShowStoreError(w);
        return;
    }
    w.UpdateTitle();
    w.SetStatusText(L"Project saved successfully.");
}

void ImportJson(MainWindow& w) {
    ProjectManager& store = w.projectManager;
    std::wstring path;
    if (!ChooseFile(w.hwnd, FileDialogKind::OpenJson, path)) return;
    if (store.IsProjectOpen()) {
        if (store.HasUnsavedChanges() && !SettleUnsavedChanges(w, kImportQuestion)) return;
        store.CloseProject();
    }
    ClearSelection(w);
    if (store.ImportFromJSON(path)) {
        FullRefresh(w, L"Project imported from JSON successfully.");
        return;
    }
    ShowStoreError(w, L"Import Error");
    ShowNoProject(w);
}

void ExportJson(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) {
        MessageBoxW(w.hwnd, L"No project is currently open to export.", L"No Project", MB_ICONWARNING);
        return;
    }
    std::wstring path;
    if (!ChooseFile(w.hwnd, FileDialogKind::SaveJson, path)) return;
    if (w.projectManager.ExportToJSON(path))
        w.SetStatusText(L"Project exported to JSON successfully.");
    else
        ShowStoreError(w, L"Export Error");
}

void Print(MainWindow& w) {
    if (!w.projectManager.IsProjectOpen()) {
        MessageBoxW(w.hwnd, L"Please open a project first.", L"No Project", MB_ICONWARNING);
        return;
    }
    if (!w.printManager) {
        MessageBoxW(w.hwnd, L"Print manager is not available.", L"Print Error", MB_ICONERROR);
        return;
    }
    // The printer is chosen in the print dialog; every section, one copy, the project's own name.
    PrintOptions options;
    options.mode = 0;
    options.usePrintDialog = 1;
    options.includeTitle = options.includeDate = options.includePlantList = options.includeTasks = true;
    options.copies = 1;
    options.title.clear();
    const bool printed = w.printManager->Print(options);
    w.SetStatusText(printed ? L"Project sent to printer." : L"Print operation cancelled or failed.");
}

void Exit(MainWindow& w) {
    if (commands::ConfirmExit(w)) PostQuitMessage(0);
}

}  // namespace

void MainWindow::OnCommand(int commandId) {
    switch (commandId) {
    case IDM_NEW_PROJECT: NewProject(*this); break;
    case IDM_OPEN_PROJECT: OpenProject(*this); break;
    case IDM_CLOSE_PROJECT: CloseProject(*this); break;
    case IDM_SAVE_PROJECT: SaveProject(*this); break;
    case IDM_SAVE_PROJECT_AS: SaveProjectAs(*this); break;
    case IDM_IMPORT_JSON: ImportJson(*this); break;
    case IDM_EXPORT_JSON: ExportJson(*this); break;
    case IDM_PRINT: Print(*this); break;
    case IDM_EXIT: Exit(*this); break;
    case IDM_NEW_SPACE: commands::NewSpace(*this); break;
    case IDM_RENAME_SPACE: commands::RenameSpace(*this); break;
    case IDM_DELETE_SPACE: commands::DeleteSpace(*this); break;
    case IDM_EXPORT_SPACES: commands::ExportSpaces(*this); break;
    case IDM_VIEW_PLANTS: commands::ViewPlants(*this); break;
    case IDM_NEW_PLANT: commands::NewPlant(*this); break;
    case IDM_RENAME_PLANT: commands::RenamePlant(*this); break;
    case IDM_DELETE_PLANT: commands::DeletePlant(*this); break;
    case IDM_ADD_TASK: commands::AddTask(*this); break;
    case IDM_VIEW_TASKS: commands::ViewTasks(*this); break;
    case IDM_ABOUT: commands::About(*this); break;
    default: break;  // unused ids do nothing
    }
}
