// The Task List dialog: one row per task with its due date and assignments; a
// row's check box is the task's completed flag. Edit Task opens the Task
// dialog on the selected task, Delete Task removes it after a confirmation.
#include "TaskListDialog.h"

#include "CanvasShapes.h"
#include "MainWindow.h"
#include "ModalWindow.h"
#include "StatefulDialog.h"
#include "TaskDialog.h"
#include "TaskDialogSupport.h"
#include "resource.h"

using namespace taskdialogs;

namespace {

// What a Task List keeps while it runs, with its window (DWLP_USER).
struct TaskListState {
    MainWindow* owner = nullptr;
    int32_t selectedTaskId = -1;
    bool filling = false;  // the dialog itself is inserting rows and setting their ticks
};

struct Column {
    const wchar_t* title;
    int width;
};
constexpr Column kColumns[] = {
    {L"Task Name", 200},
    {L"Due Date", 100},
    {L"Assigned to Space", 120},
    {L"Assigned Plants", 150},
};

std::wstring Join(const std::vector<std::wstring>& parts) {
    std::wstring text;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += L", ";
        text += parts[i];
    }
    return text;
}

// Names of the linked spaces that still exist; "Project-wide" without links.
std::wstring SpacesText(const std::vector<int32_t>& links, const std::vector<Space>& spaces) {
    if (links.empty()) return L"Project-wide";
    std::vector<std::wstring> names;
    for (int32_t id : links) {
        for (const Space& space : spaces) {
            if (space.id == id) {
                names.push_back(space.name);
                break;
            }
        }
    }
    return Join(names);
}

// One entry per linked plant: its name and id, or the id marked as deleted.
std::wstring PlantsText(const std::vector<int32_t>& links, const std::vector<Space>& spaces) {
    if (links.empty()) return L"No plants assigned";
    std::vector<std::wstring> entries;
    for (int32_t id : links) {
        const Plant* found = nullptr;
        for (const Space& space : spaces) {
            for (const Plant& plant : space.plants) {
                if (plant.id == id) {
                    found = &plant;
                    break;
                }
            }
            if (found) break;
        }
        entries.push_back(found ? shapes::PlantLabel(*found)
                                : L"Plant #" + std::to_wstring(id) + L" (deleted)");
    }
    return Join(entries);
}

void FillRows(HWND dialog, ProjectManager& store, const std::vector<Task>& tasks, const std::vector<Space>& spaces) {
    HWND list = GetDlgItem(dialog, IDC_TASK_LIST);
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& task = tasks[i];
        const int row = static_cast<int>(i);
        InsertRow(list, row, task.name, task.id);
        SetRowTick(list, row, task.completed);
        SetSubItemText(list, row, 1, task.dueDate.empty() ? std::wstring(L"No due date") : task.dueDate);
        SetSubItemText(list, row, 2, SpacesText(store.GetTaskSpaces(task.id), spaces));
        SetSubItemText(list, row, 3, PlantsText(store.GetTaskPlants(task.id), spaces));
    }
    SetDlgItemTextW(dialog, IDC_TASK_LIST_TOTAL, std::to_wstring(tasks.size()).c_str());
}

void ShowNoSelection(HWND dialog, TaskListState& state) {
    state.selectedTaskId = -1;
    EnableWindow(GetDlgItem(dialog, IDC_TASK_LIST_EDIT), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_TASK_LIST_DELETE), FALSE);
    SetDlgItemTextW(dialog, IDC_TASK_LIST_DESCRIPTION, L"");
}

// After an edit or a delete: every row anew, nothing selected.
void Rebuild(HWND dialog, TaskListState& state) {
    SendDlgItemMessageW(dialog, IDC_TASK_LIST, LVM_DELETEALLITEMS, 0, 0);
    ProjectManager& store = state.owner->projectManager;
    const std::vector<Task> tasks = store.GetAllTasks();
    const std::vector<Space> spaces = store.GetSpaces();
    state.filling = true;
    FillRows(dialog, store, tasks, spaces);
    state.filling = false;
    // The button that was pressed is about to be disabled; a disabled window
    // cannot keep the focus, and the dialog would not take keys any more.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_TASK_LIST)), TRUE);
    ShowNoSelection(dialog, state);
}

BOOL OnInitDialog(HWND dialog, TaskListState& state, LPARAM lParam) {
    state.owner = reinterpret_cast<MainWindow*>(lParam);
    if (!state.owner) {  // no store to show
        EndDialog(dialog, 2);
        return TRUE;
    }
    state.filling = true;
    HWND list = GetDlgItem(dialog, IDC_TASK_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 4; ++i) InsertColumn(list, i, kColumns[i].width, kColumns[i].title, true);
    ProjectManager& store = state.owner->projectManager;
    FillRows(dialog, store, store.GetAllTasks(), store.GetSpaces());
    CentreOnWindow(dialog, state.owner->hwnd);
    state.filling = false;
    return TRUE;
}

// A tick the user gave a row goes to the store at once; the selected row's
// description is shown and the buttons follow the selection.
BOOL OnNotify(HWND dialog, TaskListState& state, const NMHDR* header) {
    if (header->idFrom != IDC_TASK_LIST || header->code != LVN_ITEMCHANGED || !state.owner) return FALSE;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    HWND list = GetDlgItem(dialog, IDC_TASK_LIST);
    ProjectManager& store = state.owner->projectManager;
    const int32_t taskId = static_cast<int32_t>(change->lParam);

    if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_STATEIMAGEMASK) &&
        !state.filling && change->iItem >= 0) {
        const bool ticked = IsRowTicked(list, change->iItem);
        for (const Task& task : store.GetAllTasks()) {
            if (task.id != taskId) continue;
            Task updated = task;
            updated.completed = ticked;
            store.UpdateTask(updated);
            break;
        }
    }

    if (change->uNewState & LVIS_SELECTED) {
        state.selectedTaskId = taskId;
        EnableWindow(GetDlgItem(dialog, IDC_TASK_LIST_EDIT), TRUE);
        EnableWindow(GetDlgItem(dialog, IDC_TASK_LIST_DELETE), TRUE);
        if (const Task* task = store.GetTask(taskId))
            SetDlgItemTextW(dialog, IDC_TASK_LIST_DESCRIPTION, task->description.c_str());
    } else if (SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
        ShowNoSelection(dialog, state);
    }
    return FALSE;
}

BOOL OnEdit(HWND dialog, TaskListState& state) {
    if (state.selectedTaskId == -1) return FALSE;
    EnableWindow(dialog, FALSE);
    TaskDialogParams params{state.owner, state.selectedTaskId, true};
    const INT_PTR result = DialogBoxParamW(state.owner->instance, MAKEINTRESOURCEW(IDD_TASK), dialog, TaskDialogProc,
                                           reinterpret_cast<LPARAM>(&params));
    EnableWindow(dialog, TRUE);
    SetForegroundWindow(dialog);
    if (result == 1) Rebuild(dialog, state);
    return TRUE;
}

BOOL OnDelete(HWND dialog, TaskListState& state) {
    if (state.selectedTaskId == -1) return FALSE;
    if (MessageBoxW(dialog, L"Are you sure you want to delete this task?", L"Delete Task",
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return TRUE;
    if (!state.owner->projectManager.DeleteTask(state.selectedTaskId)) {
        MessageBoxW(dialog, L"Failed to delete task.", L"Error", MB_ICONERROR);
        return TRUE;
    }
    Rebuild(dialog, state);
    return TRUE;
}

BOOL OnCommand(HWND dialog, TaskListState& state, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_TASK_LIST_EDIT: return OnEdit(dialog, state);
    case IDC_TASK_LIST_DELETE: return OnDelete(dialog, state);
    case IDC_TASK_LIST_CLOSE:
    case IDCANCEL: EndDialog(dialog, 2); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK TaskListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return StatefulDialogProc<TaskListState, OnInitDialog, OnCommand, OnNotify>(dialog, message, wParam, lParam);
}
