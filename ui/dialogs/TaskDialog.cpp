// The Create/Edit Task dialog: fills the space and plant lists with check
// boxes, shows a task's fields in edit mode, and writes the task and its links
// to the store when the user presses Create Task or Update Task.
#include "TaskDialog.h"

#include <algorithm>
#include <cstdio>

#include "CanvasShapes.h"
#include "MainWindow.h"
#include "ModalWindow.h"
#include "StatefulDialog.h"
#include "TaskDialogSupport.h"
#include "resource.h"

using namespace taskdialogs;

namespace {

constexpr int kNameBufferSize = 256;          // GetWindowTextW reads at most 254 characters into it
constexpr int kDescriptionBufferSize = 1024;  // at most 1022 characters
constexpr int kNameMaxRead = 255;
constexpr int kDescriptionMaxRead = 1023;
constexpr int kListColumnWidth = 230;

// What a Task dialog keeps while it runs, with its window (DWLP_USER).
struct TaskDialogState {
    TaskDialogParams params;
    // A stored due date that the picker could not show (not three numbers, or
    // no valid date). It is written back unchanged unless the user sets a date.
    std::wstring unshownDueDate;
    SYSTEMTIME pickerStart{};  // the picker's date right after initialisation
    bool dateTouched = false;  // the user changed the picker or the "None" box

    bool EditingStoredTask() const { return params.isEdit && params.taskId != -1; }
    ProjectManager& Store() const { return params.owner->projectManager; }
};

std::wstring PlantRowText(const Plant& plant, const Space& space) {
    return shapes::PlantLabel(plant) + L" (Space: " + space.name + L")";
}

// The plants of the ticked spaces, or of every space when none is ticked, in
// the order of the space list and of each space's plants. No row is ticked.
void FillPlantList(HWND dialog, const std::vector<Space>& spaces) {
    const std::vector<int32_t> ticked = TickedIds(GetDlgItem(dialog, IDC_TASK_SPACES));
    HWND plants = GetDlgItem(dialog, IDC_TASK_PLANTS);
    SendMessageW(plants, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const Space& space : spaces) {
        if (!ticked.empty() && std::find(ticked.begin(), ticked.end(), space.id) == ticked.end()) continue;
        for (const Plant& plant : space.plants) {
            InsertRow(plants, row, PlantRowText(plant, space), plant.id);
            ++row;
        }
    }
}

void SetUpList(HWND list, const wchar_t* title) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    InsertColumn(list, 0, kListColumnWidth, title, false);
}

SYSTEMTIME PickerDate(HWND dialog, bool* valid) {
    SYSTEMTIME date{};
    const LRESULT result =
        SendDlgItemMessageW(dialog, IDC_TASK_DUE_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    if (valid) *valid = result == GDT_VALID;
    return date;
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// Shows a stored due date: the picker gets the date when it reads as three
// numbers that form a date it shows; otherwise it keeps today. The picker
// takes some dates it cannot show (far past or future) and stays on today, so
// a date counts as shown only when the picker reads back exactly that date.
void ShowDueDate(HWND dialog, TaskDialogState& state, const std::wstring& dueDate) {
    HWND picker = GetDlgItem(dialog, IDC_TASK_DUE_DATE);
    if (dueDate.empty()) {
        CheckDlgButton(dialog, IDC_TASK_NO_DUE_DATE, BST_CHECKED);
        EnableWindow(picker, FALSE);
        return;
    }
    CheckDlgButton(dialog, IDC_TASK_NO_DUE_DATE, BST_UNCHECKED);
    EnableWindow(picker, TRUE);
    int year = 0, month = 0, day = 0;
    bool shown = false;
    if (swscanf(dueDate.c_str(), L"%d-%d-%d", &year, &month, &day) == 3) {
        SYSTEMTIME date{};
        date.wYear = static_cast<WORD>(year);
        date.wMonth = static_cast<WORD>(month);
        date.wDay = static_cast<WORD>(day);
        if (SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date))) {
            bool valid = false;
            const SYSTEMTIME read = PickerDate(dialog, &valid);
            shown = valid && read.wYear == year && read.wMonth == month && read.wDay == day;
        }
    }
    if (!shown) state.unshownDueDate = dueDate;
}

BOOL OnInitDialog(HWND dialog, TaskDialogState& state, LPARAM lParam) {
    if (lParam) state.params = *reinterpret_cast<const TaskDialogParams*>(lParam);
    if (!state.params.owner) {  // nothing to read or write: leave as cancelled
        EndDialog(dialog, 2);
        return TRUE;
    }
    ProjectManager& store = state.Store();
    const bool edit = state.params.isEdit;
    SetWindowTextW(dialog, edit ? L"Edit Task" : L"Create Task");
    SetDlgItemTextW(dialog, IDC_TASK_SAVE, edit ? L"Update Task" : L"Create Task");
    // Typing stops where the save would cut the text off.
    SendDlgItemMessageW(dialog, IDC_TASK_NAME, EM_SETLIMITTEXT, kNameMaxRead - 1, 0);
    SendDlgItemMessageW(dialog, IDC_TASK_DESCRIPTION, EM_SETLIMITTEXT, kDescriptionMaxRead - 1, 0);

    HWND spaceList = GetDlgItem(dialog, IDC_TASK_SPACES);
    HWND plantList = GetDlgItem(dialog, IDC_TASK_PLANTS);
    SetUpList(spaceList, L"Spaces");
    const std::vector<Space> spaces = store.GetSpaces();
    for (size_t i = 0; i < spaces.size(); ++i) InsertRow(spaceList, static_cast<int>(i), spaces[i].name, spaces[i].id);
    SetUpList(plantList, L"Plants");

    const int32_t taskId = state.params.taskId;
    if (state.EditingStoredTask()) {
        if (const Task* found = store.GetTask(taskId)) {
            const Task task = *found;
            SetDlgItemTextW(dialog, IDC_TASK_NAME, task.name.c_str());
            SetDlgItemTextW(dialog, IDC_TASK_DESCRIPTION, task.description.c_str());
            ShowDueDate(dialog, state, task.dueDate);
            ApplyLinks(spaceList, store.GetTaskSpaces(taskId));
        }
    } else if (!edit) {
        const int32_t selected = state.params.owner->selectedSpace;
        if (selected >= 0 && static_cast<size_t>(selected) < spaces.size()) {
            const int count = RowCount(spaceList);
            for (int row = 0; row < count; ++row) {
                if (static_cast<int32_t>(RowData(spaceList, row)) == spaces[static_cast<size_t>(selected)].id) {
                    SetRowTick(spaceList, row, true);
                    break;
                }
            }
        }
        CheckDlgButton(dialog, IDC_TASK_NO_DUE_DATE, BST_CHECKED);
    }

    FillPlantList(dialog, spaces);
    if (state.EditingStoredTask()) ApplyLinks(plantList, store.GetTaskPlants(taskId));

    state.pickerStart = PickerDate(dialog, nullptr);
    state.dateTouched = false;
    SetFocus(GetDlgItem(dialog, IDC_TASK_NAME));
    CentreOnWindow(dialog, state.params.owner->hwnd);
    return TRUE;
}

// A tick change in the space list refills the plant list; in edit mode the
// stored plant links are ticked again.
BOOL OnNotify(HWND dialog, TaskDialogState& state, const NMHDR* header) {
    if (header->idFrom == IDC_TASK_DUE_DATE && header->code == DTN_DATETIMECHANGE) {
        state.dateTouched = true;
        return FALSE;
    }
    if (header->idFrom != IDC_TASK_SPACES || header->code != LVN_ITEMCHANGED) return FALSE;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE)) return FALSE;
    if (((change->uOldState ^ change->uNewState) & LVIS_STATEIMAGEMASK) == 0) return FALSE;
    if (!state.params.owner) return FALSE;
    FillPlantList(dialog, state.Store().GetSpaces());
    if (state.EditingStoredTask())
        ApplyLinks(GetDlgItem(dialog, IDC_TASK_PLANTS), state.Store().GetTaskPlants(state.params.taskId));
    return FALSE;
}

// The control's text as the save reads it: at most `maxRead` - 1 characters.
// A text that still equals the stored one is kept whole, so that editing
// other fields never cuts a long stored text.
std::wstring ReadText(HWND dialog, int id, int bufferSize, int maxRead, const std::wstring* stored) {
    std::vector<wchar_t> buffer(static_cast<size_t>(bufferSize), L'\0');
    GetDlgItemTextW(dialog, id, buffer.data(), maxRead);
    std::wstring text = buffer.data();
    if (stored && stored->size() > text.size() && ControlText(GetDlgItem(dialog, id)) == *stored) return *stored;
    return text;
}

std::wstring ReadDueDate(HWND dialog, const TaskDialogState& state) {
    if (IsDlgButtonChecked(dialog, IDC_TASK_NO_DUE_DATE) == BST_CHECKED) return std::wstring();
    bool valid = false;
    const SYSTEMTIME date = PickerDate(dialog, &valid);
    if (!valid) return std::wstring();
    if (!state.unshownDueDate.empty() && !state.dateTouched && SameDay(date, state.pickerStart))
        return state.unshownDueDate;  // the user left a date the picker could not show alone
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
    return text;
}

BOOL OnSave(HWND dialog, const TaskDialogState& state) {
    if (!state.params.owner) return FALSE;
    ProjectManager& store = state.Store();
    const int32_t taskId = state.params.taskId;
    const Task* storedTask = state.EditingStoredTask() ? store.GetTask(taskId) : nullptr;

    std::wstring name = ReadText(dialog, IDC_TASK_NAME, kNameBufferSize, kNameMaxRead,
                                 storedTask ? &storedTask->name : nullptr);
    if (name.empty()) {
        MessageBoxW(dialog, L"Please enter a task name.", L"Validation Error", MB_ICONWARNING);
        SetFocus(GetDlgItem(dialog, IDC_TASK_NAME));
        return TRUE;
    }
    storedTask = state.EditingStoredTask() ? store.GetTask(taskId) : nullptr;  // the box pumped messages
    const std::wstring description = ReadText(dialog, IDC_TASK_DESCRIPTION, kDescriptionBufferSize,
                                              kDescriptionMaxRead, storedTask ? &storedTask->description : nullptr);
    const std::wstring dueDate = ReadDueDate(dialog, state);
    const std::vector<int32_t> spaceIds = TickedIds(GetDlgItem(dialog, IDC_TASK_SPACES));
    const std::vector<int32_t> plantIds = TickedIds(GetDlgItem(dialog, IDC_TASK_PLANTS));

    if (state.EditingStoredTask()) {
        if (!storedTask) return FALSE;
        const std::vector<int32_t> oldSpaces = store.GetTaskSpaces(taskId);
        const std::vector<int32_t> oldPlants = store.GetTaskPlants(taskId);
        Task updated = *storedTask;
        updated.name = name;
        updated.description = description;
        updated.dueDate = dueDate;
        if (!store.UpdateTask(updated)) {
            MessageBoxW(dialog, L"Failed to update task.", L"Error", MB_ICONERROR);
            return TRUE;
        }
        for (int32_t id : oldSpaces) store.RemoveSpaceFromTask(taskId, id);
        for (int32_t id : spaceIds) store.AssignSpaceToTask(taskId, id);
        for (int32_t id : oldPlants) store.RemovePlantFromTask(taskId, id);
        for (int32_t id : plantIds) store.AssignPlantToTask(taskId, id);
        EndDialog(dialog, 1);
    } else if (!state.params.isEdit) {
        Task task;
        task.id = -1;
        task.name = name;
        task.description = description;
        task.completed = false;
        task.dueDate = dueDate;
        const int32_t newId = store.CreateTask(task);
        if (newId < 1) {
            MessageBoxW(dialog, L"Failed to create task.", L"Error", MB_ICONERROR);
            return TRUE;
        }
        for (int32_t id : spaceIds) store.AssignSpaceToTask(newId, id);
        for (int32_t id : plantIds) store.AssignPlantToTask(newId, id);
        EndDialog(dialog, 1);
    }
    return TRUE;
}

BOOL OnCommand(HWND dialog, TaskDialogState& state, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_TASK_NO_DUE_DATE:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        EnableWindow(GetDlgItem(dialog, IDC_TASK_DUE_DATE),
                     IsDlgButtonChecked(dialog, IDC_TASK_NO_DUE_DATE) != BST_CHECKED);
        state.dateTouched = true;
        return TRUE;
    case IDC_TASK_SAVE: return OnSave(dialog, state);
    case IDC_TASK_CANCEL:
    case IDCANCEL: EndDialog(dialog, 2); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK TaskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return StatefulDialogProc<TaskDialogState, OnInitDialog, OnCommand, OnNotify>(dialog, message, wParam, lParam);
}
