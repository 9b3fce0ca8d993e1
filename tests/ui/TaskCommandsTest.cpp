// Add Task and View Tasks through the main window's WM_COMMAND: the dialogs
// they open, who owns them, and the status text afterwards.
#include "TaskDialogTestSupport.h"

using namespace tasktest;
using uitest::LiveWindow;

namespace {

void Command(LiveWindow& w, int id) {
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

}  // namespace

TEST(TaskCommands, WithoutAProjectAddTaskHintsAndViewTasksWarns) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    BoxSeen box;
    DialogScript script([&](DialogScript& s) {
        EXPECT_TRUE(s.StaysAway(L"#32770", L"Create Task", 300));
    });
    Command(w, IDM_ADD_TASK);
    script.Finish();
    EXPECT_EQ(w->statusText, L"Please open a project first.");

    DialogScript warn([&](DialogScript& s) {
        box = s.Answer(L"No Project", IDOK);
        EXPECT_TRUE(s.StaysAway(L"#32770", L"Task List", 300));
    });
    Command(w, IDM_VIEW_TASKS);
    warn.Finish();
    EXPECT_FALSE(warn.LeftDialogsOpen());
    EXPECT_EQ(box.text, L"Please open a project first.");
    EXPECT_TRUE(box.warningIcon);
    EXPECT_EQ(box.owner, w.hwnd());
}

TEST(TaskCommands, AddTaskOpensTheCreateDialogOverTheMainWindowAndReportsTheOutcome) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const Garden g = MakeGarden(w->projectManager);
    w->selectedSpace = 0;
    DialogScript cancel([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(GetWindow(d, GW_OWNER), w.hwnd());
        EXPECT_EQ(Ticks(Item(d, IDC_TASK_SPACES)), (std::vector<bool>{true, false}));
        Press(d, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(d));
    });
    Command(w, IDM_ADD_TASK);
    cancel.Finish();
    EXPECT_EQ(w->statusText, L"Task creation cancelled.");
    EXPECT_TRUE(w->projectManager.GetAllTasks().empty());

    DialogScript create([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        SetText(d, IDC_TASK_NAME, L"Water");
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    Command(w, IDM_ADD_TASK);
    create.Finish();
    EXPECT_FALSE(create.LeftDialogsOpen());
    EXPECT_EQ(w->statusText, L"Task created successfully.");
    const std::vector<Task> tasks = w->projectManager.GetAllTasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(w->projectManager.GetTaskSpaces(tasks[0].id), (std::vector<int32_t>{g.front}));
}

TEST(TaskCommands, ViewTasksOpensTheTaskListOverTheMainWindowAndEndsReady) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    AddTask(w->projectManager, L"Water");
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Task List");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(GetWindow(d, GW_OWNER), w.hwnd());
        EXPECT_FALSE(IsWindowEnabled(w.hwnd()));
        EXPECT_EQ(RowTexts(Item(d, IDC_TASK_LIST)), (std::vector<std::wstring>{L"Water"}));
        Press(d, IDC_TASK_LIST_CLOSE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    Command(w, IDM_VIEW_TASKS);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    EXPECT_EQ(w->statusText, L"Ready.");
    EXPECT_TRUE(IsWindowEnabled(w.hwnd()));
}
