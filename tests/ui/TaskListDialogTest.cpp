// The Task List dialog on the real main window: its rows and columns, the
// completion ticks, the selection, and Edit Task and Delete Task with the
// dialogs and boxes they open, all answered through the real windows.
#include "TaskDialogTestSupport.h"

#include <cstdio>

using namespace tasktest;
using uitest::LiveWindow;

namespace {

// A folder of its own for a project file, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path = std::wstring(base) + L"tilvo-tasklist-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") DeleteFileW((path + L"\\" + name).c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(path.c_str());
    }
    std::wstring path;
};

}  // namespace

TEST(TaskListDialog, AnEmptyProjectShowsNoRowsAndATotalOfZero) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    RECT box{}, main{};
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        EXPECT_EQ(Rows(list), 0);
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_TOTAL), L"0");
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_EDIT));
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_DELETE));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"");
        const std::vector<ColumnInfo> columns = Columns(list);
        ASSERT_EQ(columns.size(), 4u);
        EXPECT_EQ(columns[0].title, L"Task Name");
        EXPECT_EQ(columns[0].width, 200);
        EXPECT_EQ(columns[1].title, L"Due Date");
        EXPECT_EQ(columns[1].width, 100);
        EXPECT_EQ(columns[2].title, L"Assigned to Space");
        EXPECT_EQ(columns[2].width, 120);
        EXPECT_EQ(columns[3].title, L"Assigned Plants");
        EXPECT_EQ(columns[3].width, 150);
        const LRESULT styles = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_EQ(styles & 0x25, 0x25);
        GetWindowRect(d, &box);
        GetWindowRect(w.hwnd(), &main);
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    const int width = box.right - box.left, height = box.bottom - box.top;
    EXPECT_GT(width, 0);
    EXPECT_EQ(box.left, main.left + ((main.right - main.left) - width) / 2);
    EXPECT_EQ(box.top, main.top + ((main.bottom - main.top) - height) / 2);
}

// Links to spaces and plants that are gone show as the list describes them,
// and filling the rows changes no task.
TEST(TaskListDialog, RowsShowDueDatesAssignmentsAndCompletionWithoutChangingAnything) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    const Garden g = MakeGarden(store);
    const int32_t water = AddTask(store, L"Water", L"every day");
    const int32_t prune = AddTask(store, L"Prune", L"", L"2025-03-07", true);
    store.AssignSpaceToTask(prune, 3);  // no such space
    store.AssignSpaceToTask(prune, g.back);
    store.AssignSpaceToTask(prune, g.front);
    store.AssignPlantToTask(prune, g.oak);
    store.AssignPlantToTask(prune, 12);  // no such plant
    store.AssignPlantToTask(prune, g.rose);
    const int32_t lost = AddTask(store, L"Lost", L"", L"someday");
    store.AssignSpaceToTask(lost, 40);
    store.AssignPlantToTask(lost, -5);
    TempFolder folder;
    ASSERT_TRUE(store.SaveProjectAs(folder.path + L"\\garden.tvp"));
    ASSERT_FALSE(store.HasUnsavedChanges());

    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        EXPECT_EQ(RowTexts(list, 0), (std::vector<std::wstring>{L"Water", L"Prune", L"Lost"}));
        EXPECT_EQ(RowTexts(list, 1), (std::vector<std::wstring>{L"No due date", L"2025-03-07", L"someday"}));
        EXPECT_EQ(RowTexts(list, 2), (std::vector<std::wstring>{L"Project-wide", L"Back, Front bed", L""}));
        EXPECT_EQ(RowTexts(list, 3), (std::vector<std::wstring>{L"No plants assigned",
                                                                L"Oak #3, Plant #12 (deleted), Rose #1",
                                                                L"Plant #-5 (deleted)"}));
        EXPECT_EQ(Ticks(list), (std::vector<bool>{false, true, false}));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_TOTAL), L"3");
        Press(d, IDCANCEL);  // as the Esc key does
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    EXPECT_FALSE(store.HasUnsavedChanges());
    EXPECT_FALSE(store.GetTask(water)->completed);
    EXPECT_TRUE(store.GetTask(prune)->completed);
    store.CloseProject();
}

TEST(TaskListDialog, TickingARowCompletesTheTaskAtOnceAndTheNextOpeningShowsIt) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const int32_t water = AddTask(store, L"Water");
    const int32_t prune = AddTask(store, L"Prune", L"", L"", true);
    UiInvoker ui;
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        Tick(list, 0);
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_EDIT));  // a tick selects nothing
        bool waterDone = false, pruneDone = true;
        ui.Run([&] { waterDone = store.GetTask(water)->completed; });
        EXPECT_TRUE(waterDone);
        // The keyboard's way: the space bar on the focused row.
        Select(list, 1);
        SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(list, WM_CHAR, L' ', 0);
        SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
        EXPECT_FALSE(Ticked(list, 1));
        ui.Run([&] { pruneDone = store.GetTask(prune)->completed; });
        EXPECT_FALSE(pruneDone);
        PostMessageW(d, WM_CLOSE, 0, 0);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_TRUE(store.GetTask(water)->completed);
    EXPECT_FALSE(store.GetTask(prune)->completed);

    DialogScript again([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Ticks(Item(d, IDC_TASK_LIST)), (std::vector<bool>{true, false}));
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    again.Finish();
    EXPECT_FALSE(again.LeftDialogsOpen());
}

TEST(TaskListDialog, SelectingARowShowsItsDescriptionAndEnablesTheButtons) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    AddTask(store, L"Water", L"every day");
    AddTask(store, L"Prune", L"in March");
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        Select(list, 1);
        EXPECT_TRUE(Enabled(d, IDC_TASK_LIST_EDIT));
        EXPECT_TRUE(Enabled(d, IDC_TASK_LIST_DELETE));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"in March");
        Select(list, 0);  // single selection: row 1 lets go
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"every day");
        EXPECT_TRUE(Enabled(d, IDC_TASK_LIST_EDIT));
        Select(list, 0, false);
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_EDIT));
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_DELETE));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"");
        // Without a selection the buttons do nothing.
        Press(d, IDC_TASK_LIST_DELETE);
        EXPECT_TRUE(s.StaysAway(L"#32770", L"Delete Task", 300));
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    EXPECT_EQ(store.GetAllTasks().size(), 2u);
}

TEST(TaskListDialog, DeleteAsksFirstAndThenRemovesTheTaskFromListAndStore) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const int32_t water = AddTask(store, L"Water", L"every day");
    const int32_t prune = AddTask(store, L"Prune", L"in March");
    UiInvoker ui;
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        Select(list, 0);
        Press(d, IDC_TASK_LIST_DELETE);
        const BoxSeen no = s.Answer(L"Delete Task", IDNO);
        EXPECT_EQ(no.text, L"Are you sure you want to delete this task?");
        EXPECT_TRUE(no.yes && no.no);
        EXPECT_TRUE(no.questionIcon);
        EXPECT_EQ(no.owner, d);
        EXPECT_EQ(Rows(list), 2);
        EXPECT_TRUE(Enabled(d, IDC_TASK_LIST_DELETE));

        ui.Run([&] { SetFocus(Item(d, IDC_TASK_LIST_DELETE)); });  // as a click on it does
        Press(d, IDC_TASK_LIST_DELETE);
        s.Answer(L"Delete Task", IDYES);
        s.StaysAway(L"#32770", L"Delete Task", 200);  // let the list come back
        EXPECT_TRUE(FocusOnOrInactive(s.UiThread(), list));  // not lost with the disabled button
        EXPECT_EQ(RowTexts(list), (std::vector<std::wstring>{L"Prune"}));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_TOTAL), L"1");
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"");
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_EDIT));
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_DELETE));
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    EXPECT_EQ(store.GetTask(water), nullptr);
    EXPECT_NE(store.GetTask(prune), nullptr);
}

TEST(TaskListDialog, ARefusedDeleteShowsTheErrorAndKeepsTheList) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const int32_t water = AddTask(store, L"Water");
    AddTask(store, L"Prune");
    UiInvoker ui;
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        Select(list, 0);
        ui.Run([&] { store.DeleteTask(water); });  // gone behind the list's back
        Press(d, IDC_TASK_LIST_DELETE);
        s.Answer(L"Delete Task", IDYES);
        const BoxSeen error = s.Answer(L"Error", IDOK);
        EXPECT_EQ(error.text, L"Failed to delete task.");
        EXPECT_TRUE(error.errorIcon);
        EXPECT_EQ(error.owner, d);
        EXPECT_EQ(Rows(list), 2);
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_TOTAL), L"2");
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
}

// Edit Task opens the Task dialog over the list: cancelled, nothing changes;
// saved, the list is built again with no row selected.
TEST(TaskListDialog, EditTaskOpensTheTaskDialogAndRebuildsTheListOnlyWhenSaved) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    const Garden g = MakeGarden(store);
    AddTask(store, L"Water");
    const int32_t prune = AddTask(store, L"Prune", L"in March", L"2025-03-07", true);
    store.AssignSpaceToTask(prune, g.front);
    UiInvoker ui;
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        HWND list = Item(d, IDC_TASK_LIST);
        Select(list, 1);
        Press(d, IDC_TASK_LIST_EDIT);
        HWND edit = s.WaitDialog(L"Edit Task");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(GetWindow(edit, GW_OWNER), d);
        EXPECT_FALSE(IsWindowEnabled(d));
        EXPECT_EQ(ItemText(edit, IDC_TASK_NAME), L"Prune");
        EXPECT_EQ(Ticks(Item(edit, IDC_TASK_SPACES)), (std::vector<bool>{true, false}));
        SetText(edit, IDC_TASK_NAME, L"not saved");
        Press(edit, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(edit));
        s.StaysAway(L"#32770", L"Edit Task", 200);  // let the list come back
        EXPECT_TRUE(IsWindowEnabled(d));
        EXPECT_EQ(CellText(list, 1), L"Prune");
        EXPECT_TRUE(Enabled(d, IDC_TASK_LIST_EDIT));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"in March");

        ui.Run([&] { SetFocus(Item(d, IDC_TASK_LIST_EDIT)); });
        Press(d, IDC_TASK_LIST_EDIT);
        edit = s.WaitDialog(L"Edit Task");
        ASSERT_NE(edit, nullptr);
        SetText(edit, IDC_TASK_NAME, L"Prune roses");
        Tick(Item(edit, IDC_TASK_SPACES), 1);
        Press(edit, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(edit));
        s.StaysAway(L"#32770", L"Edit Task", 200);
        EXPECT_TRUE(FocusOnOrInactive(s.UiThread(), list));
        EXPECT_EQ(RowTexts(list), (std::vector<std::wstring>{L"Water", L"Prune roses"}));
        EXPECT_EQ(CellText(list, 1, 2), L"Front bed, Back");
        EXPECT_EQ(Ticks(list), (std::vector<bool>{false, true}));
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
        EXPECT_FALSE(Enabled(d, IDC_TASK_LIST_EDIT));
        EXPECT_EQ(ItemText(d, IDC_TASK_LIST_DESCRIPTION), L"");
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskList(*w), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    EXPECT_EQ(store.GetTask(prune)->name, L"Prune roses");
    EXPECT_TRUE(store.GetTask(prune)->completed);
    EXPECT_EQ(store.GetTaskSpaces(prune), (std::vector<int32_t>{g.front, g.back}));
}

