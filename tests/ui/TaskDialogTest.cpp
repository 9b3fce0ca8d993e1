// The Create/Edit Task dialog on the real main window: the test drives the
// real dialog from a helper thread (fills edits, ticks list rows, presses
// buttons, answers the message boxes) and checks the store afterwards.
#include "TaskDialogTestSupport.h"

using namespace tasktest;
using uitest::LiveWindow;

namespace {

const std::vector<int32_t> kNone;

std::vector<int32_t> Ids(std::initializer_list<int32_t> ids) {
    return std::vector<int32_t>(ids);
}

}  // namespace

TEST(TaskDialogCreate, WritesTheTaskWithItsDueDateAndTickedLinks) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const Garden g = MakeGarden(w->projectManager);

    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(ItemText(d, IDC_TASK_SAVE), L"Create Task");
        EXPECT_TRUE(Checked(d, IDC_TASK_NO_DUE_DATE));
        EXPECT_FALSE(Enabled(d, IDC_TASK_DUE_DATE));
        EXPECT_TRUE(FocusOnOrAway(s.UiThread(), Item(d, IDC_TASK_NAME)));
        HWND spaces = Item(d, IDC_TASK_SPACES), plants = Item(d, IDC_TASK_PLANTS);
        ASSERT_EQ(Columns(spaces).size(), 1u);
        EXPECT_EQ(Columns(spaces)[0].title, L"Spaces");
        EXPECT_EQ(Columns(spaces)[0].width, 230);
        EXPECT_EQ(Columns(plants)[0].title, L"Plants");
        EXPECT_EQ(RowTexts(spaces), (std::vector<std::wstring>{L"Front bed", L"Back"}));
        EXPECT_EQ(Ticks(spaces), (std::vector<bool>{false, false}));
        // No space ticked: every plant of the project, none ticked.
        EXPECT_EQ(RowTexts(plants), (std::vector<std::wstring>{L"Rose #1 (Space: Front bed)",
                                                               L"Tulip #2 (Space: Front bed)", L"Oak #3 (Space: Back)"}));
        EXPECT_EQ(Ticks(plants), (std::vector<bool>{false, false, false}));

        SetText(d, IDC_TASK_NAME, L"Water the beds");
        SetText(d, IDC_TASK_DESCRIPTION, L"Deep soak\r\nbefore noon");
        ClickCheckBox(d, IDC_TASK_NO_DUE_DATE);
        EXPECT_FALSE(Checked(d, IDC_TASK_NO_DUE_DATE));
        EXPECT_TRUE(Enabled(d, IDC_TASK_DUE_DATE));
        PickDate(d, IDC_TASK_DUE_DATE, 2025, 3, 7);
        Tick(spaces, 1);  // Back
        EXPECT_EQ(RowTexts(plants), (std::vector<std::wstring>{L"Oak #3 (Space: Back)"}));
        Tick(plants, 0);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 1);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());

    const std::vector<Task> tasks = w->projectManager.GetAllTasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0].name, L"Water the beds");
    EXPECT_EQ(tasks[0].description, L"Deep soak\r\nbefore noon");
    EXPECT_EQ(tasks[0].dueDate, L"2025-03-07");
    EXPECT_FALSE(tasks[0].completed);
    EXPECT_EQ(w->projectManager.GetTaskSpaces(tasks[0].id), Ids({g.back}));
    EXPECT_EQ(w->projectManager.GetTaskPlants(tasks[0].id), Ids({g.oak}));
}

// Enter in the name presses the default button.
TEST(TaskDialogCreate, WithNoTicksEnterMakesAProjectWideTaskWithoutDueDate) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        SetText(d, IDC_TASK_NAME, L"Mulch");
        PostMessageW(Item(d, IDC_TASK_NAME), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 1);
    script.Finish();
    const std::vector<Task> tasks = w->projectManager.GetAllTasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0].dueDate, L"");
    EXPECT_EQ(tasks[0].description, L"");
    EXPECT_EQ(w->projectManager.GetTaskSpaces(tasks[0].id), kNone);
    EXPECT_EQ(w->projectManager.GetTaskPlants(tasks[0].id), kNone);
}

// The space selected on the canvas starts ticked; ticking more spaces lists
// their plants in space-list order and drops ticks set by hand.
TEST(TaskDialogCreate, SelectedSpaceStartsTickedAndThePlantListFollowsTheSpaceTicks) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const Garden g = MakeGarden(w->projectManager);
    w->selectedSpace = 1;  // Back
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        HWND spaces = Item(d, IDC_TASK_SPACES), plants = Item(d, IDC_TASK_PLANTS);
        EXPECT_EQ(Ticks(spaces), (std::vector<bool>{false, true}));
        EXPECT_TRUE(Checked(d, IDC_TASK_NO_DUE_DATE));
        EXPECT_FALSE(Enabled(d, IDC_TASK_DUE_DATE));
        EXPECT_EQ(RowTexts(plants), (std::vector<std::wstring>{L"Oak #3 (Space: Back)"}));
        Tick(plants, 0);
        Tick(spaces, 0);  // Front bed, ticked second, still comes first
        EXPECT_EQ(RowTexts(plants), (std::vector<std::wstring>{L"Rose #1 (Space: Front bed)",
                                                               L"Tulip #2 (Space: Front bed)", L"Oak #3 (Space: Back)"}));
        EXPECT_EQ(Ticks(plants), (std::vector<bool>{false, false, false}));
        Tick(spaces, 1, false);
        EXPECT_EQ(Rows(plants), 2);
        Tick(plants, 1);
        SetText(d, IDC_TASK_NAME, L"Stake");
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 1);
    script.Finish();
    const std::vector<Task> tasks = w->projectManager.GetAllTasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(w->projectManager.GetTaskSpaces(tasks[0].id), Ids({g.front}));
    EXPECT_EQ(w->projectManager.GetTaskPlants(tasks[0].id), Ids({g.tulip}));
}

TEST(TaskDialogCreate, IsCentredOnTheMainWindowAndIgnoresASelectedSpaceIndexOutsideTheList) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    w->selectedSpace = 2;
    RECT box{}, main{};
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Ticks(Item(d, IDC_TASK_SPACES)), (std::vector<bool>{false, false}));
        EXPECT_EQ(Rows(Item(d, IDC_TASK_PLANTS)), 3);
        GetWindowRect(d, &box);
        GetWindowRect(w.hwnd(), &main);
        Press(d, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 2);
    script.Finish();
    const int width = box.right - box.left, height = box.bottom - box.top;
    EXPECT_GT(width, 0);
    EXPECT_EQ(box.left, main.left + ((main.right - main.left) - width) / 2);
    EXPECT_EQ(box.top, main.top + ((main.bottom - main.top) - height) / 2);
}

TEST(TaskDialogCreate, EmptyNameIsRefusedWithTheDialogKeptOpenAndLongTextsAreCut) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    const std::wstring longName(300, L'n'), longDescription(1100, L'd');
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        SetText(d, IDC_TASK_DESCRIPTION, L"kept");
        SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(d, IDC_TASK_DESCRIPTION)), TRUE);
        EXPECT_TRUE(FocusOnOrAway(s.UiThread(), Item(d, IDC_TASK_DESCRIPTION)));
        Press(d, IDC_TASK_SAVE);
        const BoxSeen box = s.Answer(L"Validation Error", IDOK);
        SendMessageW(d, WM_NULL, 0, 0);  // returns once the press has been handled to its end
        EXPECT_EQ(box.text, L"Please enter a task name.");
        EXPECT_TRUE(box.warningIcon);
        EXPECT_EQ(box.owner, d);
        EXPECT_TRUE(IsWindowVisible(d));
        EXPECT_TRUE(FocusOnOrAway(s.UiThread(), Item(d, IDC_TASK_NAME)));
        EXPECT_EQ(ItemText(d, IDC_TASK_DESCRIPTION), L"kept");

        // Longer texts than the save reads are cut to 254 and 1022 characters.
        SetText(d, IDC_TASK_NAME, longName);
        SetText(d, IDC_TASK_DESCRIPTION, longDescription);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 1);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    const std::vector<Task> tasks = w->projectManager.GetAllTasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0].name, longName.substr(0, 254));
    EXPECT_EQ(tasks[0].description, longDescription.substr(0, 1022));
}

// Typing stops at the length the save keeps, so nothing typed is lost unseen.
TEST(TaskDialogCreate, TypingStopsAtTheLengthThatIsSaved) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(SendMessageW(Item(d, IDC_TASK_NAME), EM_GETLIMITTEXT, 0, 0), 254);
        EXPECT_EQ(SendMessageW(Item(d, IDC_TASK_DESCRIPTION), EM_GETLIMITTEXT, 0, 0), 1022);
        const std::wstring typed(260, L'x');
        SendMessageW(Item(d, IDC_TASK_NAME), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
        EXPECT_EQ(GetWindowTextLengthW(Item(d, IDC_TASK_NAME)), 254);
        Press(d, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 2);
}

TEST(TaskDialogCreate, CancelEscapeAndCloseChangeNothing) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    // Nothing is added: no task, no link, and no task id used up.
    for (int way = 0; way < 3; ++way) {
        DialogScript script([&](DialogScript& s) {
            HWND d = s.WaitDialog(L"Create Task");
            ASSERT_NE(d, nullptr);
            SetText(d, IDC_TASK_NAME, L"Never");
            Tick(Item(d, IDC_TASK_SPACES), 0);
            Tick(Item(d, IDC_TASK_PLANTS), 0);
            if (way == 0) Press(d, IDC_TASK_CANCEL);
            if (way == 1) PostMessageW(Item(d, IDC_TASK_NAME), WM_KEYDOWN, VK_ESCAPE, 0);
            if (way == 2) PostMessageW(d, WM_CLOSE, 0, 0);
            EXPECT_TRUE(s.WaitGone(d)) << "way " << way;
        });
        EXPECT_EQ(RunTaskDialog(*w, -1, false), 2) << "way " << way;
        script.Finish();
        EXPECT_FALSE(script.LeftDialogsOpen());
    }
    EXPECT_TRUE(w->projectManager.GetAllTasks().empty());
    EXPECT_EQ(AddTask(w->projectManager, L"first"), 1);  // no id was used up
    EXPECT_TRUE(w->projectManager.GetTaskSpaces(1).empty());
}

TEST(TaskDialogCreate, AStoreRefusalShowsTheErrorAndKeepsTheDialogOpen) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MakeGarden(w->projectManager);
    UiInvoker ui;
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Create Task");
        ASSERT_NE(d, nullptr);
        SetText(d, IDC_TASK_NAME, L"Orphan");
        ui.Run([&] { w->projectManager.CloseProject(); });  // the store now refuses every task
        Press(d, IDC_TASK_SAVE);
        const BoxSeen box = s.Answer(L"Error", IDOK);
        EXPECT_EQ(box.text, L"Failed to create task.");
        EXPECT_TRUE(box.errorIcon);
        EXPECT_EQ(box.owner, d);
        EXPECT_TRUE(IsWindowVisible(d));
        Press(d, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, -1, false), 2);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
}

// ---- Edit mode

TEST(TaskDialogEdit, ShowsTheTaskAndReplacesItsLinksWithTheTickedRowsInListOrder) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    const Garden g = MakeGarden(store);
    const int32_t id = AddTask(store, L"Prune", L"Cut back", L"2025-3-7", true);
    store.AssignSpaceToTask(id, g.front);
    store.AssignPlantToTask(id, g.rose);
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        HWND spaces = Item(d, IDC_TASK_SPACES), plants = Item(d, IDC_TASK_PLANTS);
        EXPECT_EQ(ItemText(d, IDC_TASK_SAVE), L"Update Task");
        EXPECT_EQ(ItemText(d, IDC_TASK_NAME), L"Prune");
        EXPECT_EQ(ItemText(d, IDC_TASK_DESCRIPTION), L"Cut back");
        EXPECT_FALSE(Checked(d, IDC_TASK_NO_DUE_DATE));
        EXPECT_TRUE(Enabled(d, IDC_TASK_DUE_DATE));
        LRESULT valid = 0;
        const SYSTEMTIME date = PickerDate(d, IDC_TASK_DUE_DATE, &valid);
        EXPECT_EQ(valid, GDT_VALID);
        EXPECT_EQ(date.wYear, 2025);
        EXPECT_EQ(date.wMonth, 3);
        EXPECT_EQ(date.wDay, 7);
        EXPECT_EQ(Ticks(spaces), (std::vector<bool>{true, false}));
        EXPECT_EQ(RowTexts(plants), (std::vector<std::wstring>{L"Rose #1 (Space: Front bed)",
                                                               L"Tulip #2 (Space: Front bed)"}));
        EXPECT_EQ(Ticks(plants), (std::vector<bool>{true, false}));

        // Hand ticks give way to the stored links when a space tick changes.
        Tick(plants, 0, false);
        Tick(plants, 1);
        Tick(spaces, 1);
        EXPECT_EQ(Rows(plants), 3);
        EXPECT_EQ(Ticks(plants), (std::vector<bool>{true, false, false}));

        SetText(d, IDC_TASK_NAME, L"Prune hard");
        Tick(plants, 0, false);
        Tick(plants, 2);
        Tick(plants, 1);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    script.Finish();
    EXPECT_FALSE(script.LeftDialogsOpen());
    const Task* task = store.GetTask(id);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->name, L"Prune hard");
    EXPECT_EQ(task->description, L"Cut back");
    EXPECT_EQ(task->dueDate, L"2025-03-07");  // written again with leading zeros
    EXPECT_TRUE(task->completed);             // kept
    EXPECT_EQ(store.GetTaskSpaces(id), Ids({g.front, g.back}));
    EXPECT_EQ(store.GetTaskPlants(id), Ids({g.tulip, g.oak}));  // plant-list order, not ticking order
}

TEST(TaskDialogEdit, StoredLinkOrderGivesWayToListOrder) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    const Garden g = MakeGarden(store);
    const int32_t id = AddTask(store, L"Feed");
    store.AssignSpaceToTask(id, g.back);
    store.AssignSpaceToTask(id, g.front);
    store.AssignPlantToTask(id, g.oak);
    store.AssignPlantToTask(id, g.rose);
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Ticks(Item(d, IDC_TASK_PLANTS)), (std::vector<bool>{true, false, true}));
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    script.Finish();
    EXPECT_EQ(store.GetTaskSpaces(id), Ids({g.front, g.back}));
    EXPECT_EQ(store.GetTaskPlants(id), Ids({g.rose, g.oak}));
}

TEST(TaskDialogEdit, AnEmptyDueDateShowsNoneAndAPickedDateIsSavedWithLeadingZeros) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const int32_t id = AddTask(store, L"Sow");
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(Checked(d, IDC_TASK_NO_DUE_DATE));
        EXPECT_FALSE(Enabled(d, IDC_TASK_DUE_DATE));
        ClickCheckBox(d, IDC_TASK_NO_DUE_DATE);
        EXPECT_TRUE(Enabled(d, IDC_TASK_DUE_DATE));
        PickDate(d, IDC_TASK_DUE_DATE, 2026, 1, 9);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    script.Finish();
    EXPECT_EQ(store.GetTask(id)->dueDate, L"2026-01-09");

    // Ticking "None" again clears the due date.
    DialogScript again([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        EXPECT_FALSE(Checked(d, IDC_TASK_NO_DUE_DATE));
        ClickCheckBox(d, IDC_TASK_NO_DUE_DATE);
        EXPECT_FALSE(Enabled(d, IDC_TASK_DUE_DATE));
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    again.Finish();
    EXPECT_EQ(store.GetTask(id)->dueDate, L"");
}

TEST(TaskDialogEdit, CancelLeavesTheTaskAndItsLinksAsTheyWere) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    const Garden g = MakeGarden(store);
    const int32_t id = AddTask(store, L"Weed", L"all", L"2025-05-01");
    store.AssignSpaceToTask(id, g.front);
    store.AssignPlantToTask(id, g.tulip);
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        SetText(d, IDC_TASK_NAME, L"changed");
        Tick(Item(d, IDC_TASK_SPACES), 0, false);
        ClickCheckBox(d, IDC_TASK_NO_DUE_DATE);
        Press(d, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 2);
    script.Finish();
    EXPECT_EQ(store.GetTask(id)->name, L"Weed");
    EXPECT_EQ(store.GetTask(id)->dueDate, L"2025-05-01");
    EXPECT_EQ(store.GetTaskSpaces(id), Ids({g.front}));
    EXPECT_EQ(store.GetTaskPlants(id), Ids({g.tulip}));
}

TEST(TaskDialogEdit, ATaskGoneFromTheStoreIsNeitherWrittenNorReported) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const int32_t id = AddTask(store, L"Gone soon");
    UiInvoker ui;
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        ui.Run([&] { store.DeleteTask(id); });
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.StaysAway(L"#32770", L"Error"));
        EXPECT_TRUE(IsWindowVisible(d));
        Press(d, IDC_TASK_CANCEL);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 2);
    script.Finish();
    EXPECT_TRUE(store.GetAllTasks().empty());
}

// ---- After an edit the links are exactly the ticked rows

TEST(TaskDialogEdit, DropsLinksToPlantsOfUntickedSpacesAndToDeletedPlants) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    const Garden g = MakeGarden(store);
    const int32_t id = AddTask(store, L"Inspect");
    store.AssignSpaceToTask(id, g.front);
    store.AssignSpaceToTask(id, 77);  // a space that no longer exists
    store.AssignPlantToTask(id, g.rose);
    store.AssignPlantToTask(id, g.oak);  // in Back, which is not ticked
    store.AssignPlantToTask(id, 12);     // a plant that no longer exists
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Ticks(Item(d, IDC_TASK_SPACES)), (std::vector<bool>{true, false}));
        EXPECT_EQ(RowTexts(Item(d, IDC_TASK_PLANTS)),
                  (std::vector<std::wstring>{L"Rose #1 (Space: Front bed)", L"Tulip #2 (Space: Front bed)"}));
        SetText(d, IDC_TASK_DESCRIPTION, L"only the text changes");
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    script.Finish();
    EXPECT_EQ(store.GetTaskSpaces(id), Ids({g.front}));
    EXPECT_EQ(store.GetTaskPlants(id), Ids({g.rose}));
}

TEST(TaskDialogEdit, ADueDateThePickerCannotShowIsKeptUnlessADateIsPicked) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const int32_t soon = AddTask(store, L"Harvest", L"", L"after rain");
    const int32_t bad = AddTask(store, L"Split", L"", L"2025-02-30");
    std::vector<std::pair<int32_t, std::wstring>> stored = {{soon, L"after rain"}, {bad, L"2025-02-30"}};
    // Dates the picker takes without complaint but cannot show: it stays on today.
    for (const wchar_t* date : {L"0001-01-01", L"1600-12-31", L"30000-01-01"})
        stored.emplace_back(AddTask(store, L"Far", L"", date), date);
    for (const auto& task : stored) {
        const int32_t id = task.first;
        DialogScript script([&](DialogScript& s) {
            HWND d = s.WaitDialog(L"Edit Task");
            ASSERT_NE(d, nullptr);
            EXPECT_FALSE(Checked(d, IDC_TASK_NO_DUE_DATE));
            EXPECT_TRUE(Enabled(d, IDC_TASK_DUE_DATE));
            const SYSTEMTIME shown = PickerDate(d, IDC_TASK_DUE_DATE);
            wchar_t text[32] = {};
            swprintf(text, 32, L"%04d-%02d-%02d", shown.wYear, shown.wMonth, shown.wDay);
            EXPECT_EQ(std::wstring(text), Today());  // the picker's initial date
            Press(d, IDC_TASK_SAVE);
            EXPECT_TRUE(s.WaitGone(d));
        });
        EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
        script.Finish();
    }
    for (const auto& task : stored) EXPECT_EQ(store.GetTask(task.first)->dueDate, task.second);

    DialogScript picked([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        PickDate(d, IDC_TASK_DUE_DATE, 2025, 6, 1);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, soon, true), 1);
    picked.Finish();
    EXPECT_EQ(store.GetTask(soon)->dueDate, L"2025-06-01");

    // Keys pressed in the picker count as a choice, even one that lands on the
    // date it started with.
    DialogScript keyed([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        HWND picker = Item(d, IDC_TASK_DUE_DATE);
        SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(picker), TRUE);
        SendMessageW(picker, WM_KEYDOWN, VK_UP, 0);
        SendMessageW(picker, WM_KEYDOWN, VK_DOWN, 0);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, bad, true), 1);
    keyed.Finish();
    EXPECT_EQ(store.GetTask(bad)->dueDate, Today());
}

TEST(TaskDialogEdit, LongStoredTextsLeftAloneAreKeptWhole) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ProjectManager& store = w->projectManager;
    MakeGarden(store);
    const std::wstring longName(300, L'a'), longDescription(1500, L'b');
    const int32_t id = AddTask(store, longName, longDescription);
    DialogScript script([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(LongItemText(d, IDC_TASK_NAME), longName);
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    script.Finish();
    EXPECT_EQ(store.GetTask(id)->name, longName);
    EXPECT_EQ(store.GetTask(id)->description, longDescription);

    // A changed text is read as the save reads every text.
    DialogScript changed([&](DialogScript& s) {
        HWND d = s.WaitDialog(L"Edit Task");
        ASSERT_NE(d, nullptr);
        SetText(d, IDC_TASK_NAME, longName + L"z");
        Press(d, IDC_TASK_SAVE);
        EXPECT_TRUE(s.WaitGone(d));
    });
    EXPECT_EQ(RunTaskDialog(*w, id, true), 1);
    changed.Finish();
    EXPECT_EQ(store.GetTask(id)->name, longName.substr(0, 254));
    EXPECT_EQ(store.GetTask(id)->description, longDescription);
}

