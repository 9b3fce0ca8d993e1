#include <gtest/gtest.h>

#include "ProjectManager.h"

namespace {

const WString kNoProject = L"No project is currently open.";

Space MakeSpace(const WString& name) {
    Space s;
    s.name = name;
    s.polygon = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    return s;
}

Plant MakePlant(int32_t spaceId, const WString& name, POINT at = {10, 10}) {
    Plant p;
    p.spaceId = spaceId;
    p.name = name;
    p.position = at;
    return p;
}

Task MakeTask(const WString& name) {
    Task t;
    t.id = -1;
    t.name = name;
    t.completed = false;
    return t;
}

class OpenProject : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pm.CreateNewProject(L"Garden", L"")); }
    ProjectManager pm;
};

}  // namespace

TEST(ClosedStore, RefusesEditsWithTheRightTexts) {
    ProjectManager pm;
    EXPECT_FALSE(pm.IsProjectOpen());
    EXPECT_FALSE(pm.IsNewProject());
    EXPECT_FALSE(pm.HasUnsavedChanges());
    EXPECT_TRUE(pm.GetSpaces().empty());
    EXPECT_TRUE(pm.GetAllTasks().empty());
    EXPECT_EQ(pm.GetCurrentProject()->id, -1);

    // A space failure leaves no text.
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"A")), -1);
    EXPECT_EQ(pm.GetLastError(), L"");
    EXPECT_FALSE(pm.UpdateSpace(MakeSpace(L"A")));
    EXPECT_FALSE(pm.DeleteSpace(1));
    EXPECT_EQ(pm.GetLastError(), L"");

    EXPECT_EQ(pm.CreatePlant(MakePlant(1, L"P")), -1);
    EXPECT_EQ(pm.GetLastError(), kNoProject);
    EXPECT_EQ(pm.GetLastError().size(), 29u);
    EXPECT_EQ(pm.CreateTask(MakeTask(L"T")), -1);
    EXPECT_FALSE(pm.UpdatePlant(MakePlant(1, L"P")));
    EXPECT_FALSE(pm.DeletePlant(1));
    EXPECT_FALSE(pm.UpdateTask(MakeTask(L"T")));
    EXPECT_FALSE(pm.DeleteTask(1));
    EXPECT_FALSE(pm.AssignSpaceToTask(1, 1));
    EXPECT_FALSE(pm.AssignPlantToTask(1, 1));
    EXPECT_FALSE(pm.RemoveSpaceFromTask(1, 1));
    EXPECT_FALSE(pm.RemovePlantFromTask(1, 1));
    EXPECT_EQ(pm.GetLastError(), kNoProject);
    EXPECT_FALSE(pm.HasUnsavedChanges());
}

TEST(ClosedStore, CloseEmptiesTheLastError) {
    ProjectManager pm;
    pm.CreatePlant(MakePlant(1, L"P"));
    ASSERT_EQ(pm.GetLastError(), kNoProject);
    pm.CloseProject();
    EXPECT_EQ(pm.GetLastError(), L"");
}

TEST(NewProject, StartsInMemoryUnmodifiedWithCountersAtOne) {
    ProjectManager pm;
    ASSERT_TRUE(pm.CreateNewProject(L"My Farm", L""));
    EXPECT_TRUE(pm.IsProjectOpen());
    EXPECT_TRUE(pm.IsNewProject());
    EXPECT_FALSE(pm.HasUnsavedChanges());
    const ProjectInfo* info = pm.GetCurrentProject();
    EXPECT_EQ(info->id, 1);
    EXPECT_EQ(info->name, L"My Farm");
    EXPECT_EQ(info->description, L"");
    EXPECT_EQ(info->filePath, L"");
    EXPECT_EQ(info->schemaVersion, 1);
    EXPECT_EQ(info->createdAt.size(), 19u);
    EXPECT_EQ(info->updatedAt.size(), 19u);

    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"S")), 1);
    EXPECT_EQ(pm.CreatePlant(MakePlant(1, L"P")), 1);
    EXPECT_EQ(pm.CreateTask(MakeTask(L"T")), 1);
    EXPECT_TRUE(pm.HasUnsavedChanges());
}

TEST(NewProject, ReplacesTheOpenProjectAndResetsEverything) {
    ProjectManager pm;
    pm.CreateNewProject(L"One", L"d");
    pm.CreateSpace(MakeSpace(L"S"));
    pm.CreateSpace(MakeSpace(L"S2"));
    pm.CreateTask(MakeTask(L"T"));
    pm.AssignSpaceToTask(1, 1);
    pm.DeletePlant(42);  // leaves a last-error text
    ASSERT_FALSE(pm.GetLastError().empty());

    pm.CreateNewProject(L"Two", L"");
    EXPECT_EQ(pm.GetLastError(), L"");
    EXPECT_TRUE(pm.GetSpaces().empty());
    EXPECT_TRUE(pm.GetAllTasks().empty());
    EXPECT_TRUE(pm.GetTaskSpaces(1).empty());
    EXPECT_FALSE(pm.HasUnsavedChanges());
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"S")), 1);

    pm.CloseProject();
    EXPECT_FALSE(pm.IsProjectOpen());
    EXPECT_EQ(pm.GetCurrentProject()->id, -1);
    EXPECT_EQ(pm.GetCurrentProject()->schemaVersion, 0);
    EXPECT_EQ(pm.GetCurrentProject()->name, L"");
}

TEST_F(OpenProject, IdsAreNeverReusedAfterDelete) {
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"A")), 1);
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"B")), 2);
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"C")), 3);
    EXPECT_TRUE(pm.DeleteSpace(2));
    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_EQ(spaces[0].id, 1);
    EXPECT_EQ(spaces[1].id, 3);
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"D")), 4);

    // Deleting the newest record does not give its id back either.
    EXPECT_TRUE(pm.DeleteSpace(4));
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"E")), 5);

    EXPECT_EQ(pm.CreatePlant(MakePlant(1, L"p")), 1);
    EXPECT_TRUE(pm.DeletePlant(1));
    EXPECT_EQ(pm.CreatePlant(MakePlant(1, L"q")), 2);
    EXPECT_EQ(pm.CreateTask(MakeTask(L"t")), 1);
    EXPECT_TRUE(pm.DeleteTask(1));
    EXPECT_EQ(pm.CreateTask(MakeTask(L"u")), 2);
}

TEST_F(OpenProject, CreateReplacesIdsAndStampsBothTimes) {
    Space s = MakeSpace(L"A");
    s.id = 77;
    s.projectId = 99;
    s.createdAt = L"old";
    int32_t id = pm.CreateSpace(s);
    EXPECT_EQ(id, 1);
    Space stored = pm.GetSpaces()[0];
    EXPECT_EQ(stored.projectId, 1);
    EXPECT_EQ(stored.createdAt.size(), 19u);
    EXPECT_EQ(stored.createdAt, stored.updatedAt);

    Task t = MakeTask(L"Water");
    t.id = 50;
    t.completed = true;
    t.dueDate = L"2026-05-01";
    t.description = L"twice";
    int32_t tid = pm.CreateTask(t);
    EXPECT_EQ(tid, 1);
    const Task* got = pm.GetTask(tid);
    ASSERT_NE(got, nullptr);
    EXPECT_TRUE(got->completed);
    EXPECT_EQ(got->dueDate, L"2026-05-01");
    EXPECT_EQ(got->description, L"twice");
    EXPECT_EQ(got->createdAt, got->updatedAt);
    EXPECT_EQ(pm.GetTask(50), nullptr);
}

TEST_F(OpenProject, ListsKeepCreationOrderAndUpdatesStayInPlace) {
    int32_t s1 = pm.CreateSpace(MakeSpace(L"Zeta"));
    int32_t s2 = pm.CreateSpace(MakeSpace(L"Alpha"));
    pm.CreatePlant(MakePlant(s1, L"B"));
    pm.CreatePlant(MakePlant(s2, L"X"));
    pm.CreatePlant(MakePlant(s1, L"A"));

    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_EQ(spaces[0].name, L"Zeta");
    ASSERT_EQ(spaces[0].plants.size(), 2u);
    EXPECT_EQ(spaces[0].plants[0].name, L"B");
    EXPECT_EQ(spaces[0].plants[1].name, L"A");
    ASSERT_EQ(spaces[1].plants.size(), 1u);
    EXPECT_EQ(spaces[1].plants[0].name, L"X");

    Space renamed = spaces[0];
    renamed.name = L"Renamed";
    renamed.polygon.push_back({-5, -5});
    ASSERT_TRUE(pm.UpdateSpace(renamed));
    spaces = pm.GetSpaces();
    EXPECT_EQ(spaces[0].name, L"Renamed");
    EXPECT_EQ(spaces[0].polygon.size(), 5u);
    EXPECT_EQ(spaces[1].name, L"Alpha");

    std::vector<Plant> inS1 = pm.GetPlantsInSpace(s1);
    ASSERT_EQ(inS1.size(), 2u);
    EXPECT_EQ(inS1[0].name, L"B");

    pm.CreateTask(MakeTask(L"t2"));
    pm.CreateTask(MakeTask(L"t1"));
    std::vector<Task> tasks = pm.GetAllTasks();
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].name, L"t2");
    EXPECT_EQ(tasks[1].name, L"t1");
}

TEST_F(OpenProject, UpdateSpaceWithUnknownIdFailsSilently) {
    pm.CreateSpace(MakeSpace(L"A"));
    pm.CloseProject();
    pm.CreateNewProject(L"G", L"");
    Space ghost = MakeSpace(L"Ghost");
    ghost.id = 12;
    EXPECT_FALSE(pm.UpdateSpace(ghost));
    EXPECT_EQ(pm.GetLastError(), L"");
    EXPECT_FALSE(pm.HasUnsavedChanges());
}

TEST_F(OpenProject, UpdatePlantKeepsSpaceIdAndCreationTime) {
    int32_t s1 = pm.CreateSpace(MakeSpace(L"A"));
    int32_t s2 = pm.CreateSpace(MakeSpace(L"B"));
    int32_t pid = pm.CreatePlant(MakePlant(s1, L"Rose", {5, 6}));
    Plant before = pm.GetPlantsInSpace(s1)[0];

    Plant change = before;
    change.spaceId = s2;
    change.name = L"Red rose";
    change.position = {7, 8};
    change.notes = L"prune in March";
    change.plantedDate = L"spring";
    change.createdAt = L"tampered";
    ASSERT_TRUE(pm.UpdatePlant(change));

    ASSERT_EQ(pm.GetPlantsInSpace(s2).size(), 0u);
    std::vector<Plant> inS1 = pm.GetPlantsInSpace(s1);
    ASSERT_EQ(inS1.size(), 1u);
    EXPECT_EQ(inS1[0].id, pid);
    EXPECT_EQ(inS1[0].spaceId, s1);
    EXPECT_EQ(inS1[0].name, L"Red rose");
    EXPECT_EQ(inS1[0].position.x, 7);
    EXPECT_EQ(inS1[0].position.y, 8);
    EXPECT_EQ(inS1[0].notes, L"prune in March");
    EXPECT_EQ(inS1[0].plantedDate, L"spring");
    EXPECT_EQ(inS1[0].createdAt, before.createdAt);
}

TEST_F(OpenProject, NotFoundTextsForPlantsAndTasks) {
    Plant p = MakePlant(1, L"x");
    p.id = 5;
    EXPECT_FALSE(pm.UpdatePlant(p));
    EXPECT_EQ(pm.GetLastError(), L"Plant not found.");
    EXPECT_FALSE(pm.DeletePlant(5));
    EXPECT_EQ(pm.GetLastError(), L"Plant not found.");
    Task t = MakeTask(L"x");
    t.id = 9;
    EXPECT_FALSE(pm.UpdateTask(t));
    EXPECT_EQ(pm.GetLastError(), L"Task not found.");
    EXPECT_FALSE(pm.DeleteTask(9));
    EXPECT_EQ(pm.GetLastError(), L"Task not found.");
    EXPECT_FALSE(pm.HasUnsavedChanges());

    // A later success leaves the text as it was.
    pm.CreateTask(MakeTask(L"ok"));
    EXPECT_EQ(pm.GetLastError(), L"Task not found.");
}

TEST_F(OpenProject, DeleteSpaceRemovesItsPlantsButKeepsTaskLinks) {
    int32_t s1 = pm.CreateSpace(MakeSpace(L"A"));
    int32_t s2 = pm.CreateSpace(MakeSpace(L"B"));
    int32_t p1 = pm.CreatePlant(MakePlant(s1, L"a1"));
    pm.CreatePlant(MakePlant(s2, L"b1"));
    pm.CreatePlant(MakePlant(s1, L"a2"));
    int32_t t = pm.CreateTask(MakeTask(L"T"));
    pm.AssignSpaceToTask(t, s1);
    pm.AssignPlantToTask(t, p1);

    ASSERT_TRUE(pm.DeleteSpace(s1));
    EXPECT_TRUE(pm.GetPlantsInSpace(s1).empty());
    ASSERT_EQ(pm.GetPlantsInSpace(s2).size(), 1u);
    EXPECT_EQ(pm.GetTaskSpaces(t), std::vector<int32_t>{s1});
    EXPECT_EQ(pm.GetTaskPlants(t), std::vector<int32_t>{p1});
}

TEST_F(OpenProject, DeleteSpaceWithUnknownIdStillRemovesMatchingPlants) {
    int32_t s1 = pm.CreateSpace(MakeSpace(L"A"));
    pm.CreatePlant(MakePlant(s1, L"kept"));
    pm.CreatePlant(MakePlant(42, L"orphan1"));
    pm.CreatePlant(MakePlant(42, L"orphan2"));
    ASSERT_EQ(pm.GetPlantsInSpace(42).size(), 2u);

    EXPECT_FALSE(pm.DeleteSpace(42));
    EXPECT_TRUE(pm.GetPlantsInSpace(42).empty());
    EXPECT_EQ(pm.GetPlantsInSpace(s1).size(), 1u);
    EXPECT_EQ(pm.GetSpaces().size(), 1u);
    EXPECT_EQ(pm.GetLastError(), L"");
}

TEST(DeleteSpacePartialEffect, FailedDeleteLeavesTheFlagAsItWas) {
    ProjectManager pm;
    pm.CreateNewProject(L"G", L"");
    EXPECT_FALSE(pm.DeleteSpace(3));
    EXPECT_FALSE(pm.HasUnsavedChanges());
}

TEST_F(OpenProject, GetSpacesLeavesOutPlantsOfNoSpace) {
    int32_t s1 = pm.CreateSpace(MakeSpace(L"A"));
    pm.CreatePlant(MakePlant(s1, L"in"));
    pm.CreatePlant(MakePlant(999, L"nowhere"));
    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 1u);
    ASSERT_EQ(spaces[0].plants.size(), 1u);
    EXPECT_EQ(spaces[0].plants[0].name, L"in");
    EXPECT_EQ(pm.GetPlantsInSpace(999).size(), 1u);
}

TEST_F(OpenProject, AssignAddsOncePerPair) {
    EXPECT_TRUE(pm.AssignSpaceToTask(1, 2));
    EXPECT_TRUE(pm.HasUnsavedChanges());
    EXPECT_TRUE(pm.AssignSpaceToTask(1, 3));
    EXPECT_TRUE(pm.AssignSpaceToTask(1, 2));
    EXPECT_TRUE(pm.AssignSpaceToTask(2, 2));
    EXPECT_EQ(pm.GetTaskSpaces(1), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(pm.GetTaskSpaces(2), (std::vector<int32_t>{2}));

    EXPECT_TRUE(pm.AssignPlantToTask(1, 7));
    EXPECT_TRUE(pm.AssignPlantToTask(1, 7));
    EXPECT_EQ(pm.GetTaskPlants(1), (std::vector<int32_t>{7}));
    // Space and plant links are separate lists.
    EXPECT_EQ(pm.GetTaskSpaces(1), (std::vector<int32_t>{2, 3}));
    EXPECT_TRUE(pm.GetTaskPlants(2).empty());
}

TEST(TaskLinks, RemovingAnAbsentPairLeavesTheFlagClear) {
    ProjectManager pm;
    pm.CreateNewProject(L"G", L"");
    EXPECT_TRUE(pm.RemovePlantFromTask(1, 1));
    EXPECT_TRUE(pm.RemoveSpaceFromTask(4, 4));
    EXPECT_FALSE(pm.HasUnsavedChanges());
}

TEST_F(OpenProject, RemoveTakesEveryEqualPairAndKeepsOrder) {
    pm.AssignPlantToTask(1, 1);
    pm.AssignPlantToTask(1, 2);
    pm.AssignPlantToTask(1, 3);
    pm.AssignPlantToTask(2, 2);
    EXPECT_TRUE(pm.RemovePlantFromTask(1, 2));
    EXPECT_EQ(pm.GetTaskPlants(1), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(pm.GetTaskPlants(2), (std::vector<int32_t>{2}));
    EXPECT_TRUE(pm.RemovePlantFromTask(1, 2));  // absent: still true
    EXPECT_EQ(pm.GetTaskPlants(1), (std::vector<int32_t>{1, 3}));

    pm.AssignSpaceToTask(5, 1);
    pm.AssignSpaceToTask(5, 2);
    EXPECT_TRUE(pm.RemoveSpaceFromTask(5, 1));
    EXPECT_EQ(pm.GetTaskSpaces(5), (std::vector<int32_t>{2}));
}

TEST_F(OpenProject, TaskPointerReadsStoredTaskWithoutOpenCheck) {
    int32_t id = pm.CreateTask(MakeTask(L"Weed"));
    const Task* t = pm.GetTask(id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->name, L"Weed");
    Task edit = *t;
    edit.name = L"Weed beds";
    edit.completed = true;
    ASSERT_TRUE(pm.UpdateTask(edit));
    t = pm.GetTask(id);
    EXPECT_EQ(t->name, L"Weed beds");
    EXPECT_TRUE(t->completed);
    pm.CloseProject();
    EXPECT_EQ(pm.GetTask(id), nullptr);
}

namespace {

void ExpectSamePlants(const std::vector<Plant>& a, const std::vector<Plant>& b, bool withTimes) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].id, b[i].id);
        EXPECT_EQ(a[i].spaceId, b[i].spaceId);
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].position.x, b[i].position.x);
        EXPECT_EQ(a[i].position.y, b[i].position.y);
        EXPECT_EQ(a[i].notes, b[i].notes);
        EXPECT_EQ(a[i].plantedDate, b[i].plantedDate);
        if (!withTimes) continue;
        EXPECT_EQ(a[i].createdAt, b[i].createdAt);
        EXPECT_EQ(a[i].updatedAt, b[i].updatedAt);
    }
}

void ExpectSameSpaces(const std::vector<Space>& a, const std::vector<Space>& b, bool withTimes = true) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].id, b[i].id);
        EXPECT_EQ(a[i].name, b[i].name);
        ASSERT_EQ(a[i].polygon.size(), b[i].polygon.size());
        for (size_t k = 0; k < a[i].polygon.size(); ++k) {
            EXPECT_EQ(a[i].polygon[k].x, b[i].polygon[k].x);
            EXPECT_EQ(a[i].polygon[k].y, b[i].polygon[k].y);
        }
        if (withTimes) {
            EXPECT_EQ(a[i].createdAt, b[i].createdAt);
            EXPECT_EQ(a[i].updatedAt, b[i].updatedAt);
        }
        ExpectSamePlants(a[i].plants, b[i].plants, withTimes);
    }
}

}  // namespace

// The kept view must show what a fresh GetSpaces shows after every kind of edit.
TEST_F(OpenProject, SpacesViewFollowsEveryEdit) {
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        ExpectSameSpaces(pm.GetSpacesView(), pm.GetSpaces());
    };
    check("empty");
    const int32_t a = pm.CreateSpace(MakeSpace(L"A"));
    pm.CreatePlant(MakePlant(3, L"early"));  // names a space not made yet
    check("plant of no space");
    const int32_t b = pm.CreateSpace(MakeSpace(L"B"));
    const int32_t c = pm.CreateSpace(MakeSpace(L"C"));
    check("space that already has a plant");
    const int32_t p1 = pm.CreatePlant(MakePlant(a, L"p1"));
    const int32_t p2 = pm.CreatePlant(MakePlant(b, L"p2"));
    pm.CreatePlant(MakePlant(a, L"p3"));
    check("plants");
    Space moved = pm.GetSpaces()[1];
    moved.name = L"B2";
    moved.polygon[0].x = -7;
    ASSERT_TRUE(pm.UpdateSpace(moved));
    check("space update");
    Plant p = pm.GetPlantsInSpace(a)[0];
    p.name = L"renamed";
    p.position = {1, 2};
    ASSERT_TRUE(pm.UpdatePlant(p));
    check("plant update");
    p.spaceId = b;  // not taken over: the plant stays in its space
    p.name = L"stays";
    ASSERT_TRUE(pm.UpdatePlant(p));
    check("plant update naming another space");
    Plant q = pm.GetPlantsInSpace(b)[0];
    q.notes = L"n";
    ASSERT_TRUE(pm.UpdatePlants({p, q}));
    check("plants updated together");
    ASSERT_TRUE(pm.DeletePlant(p1));
    check("plant delete");
    ASSERT_TRUE(pm.DeleteSpace(a));
    check("space delete");
    EXPECT_FALSE(pm.DeleteSpace(99));
    ASSERT_TRUE(pm.DeletePlant(p2));
    check("last plant of a space");
    EXPECT_EQ(pm.GetSpacesView().size(), 2u);
    EXPECT_EQ(pm.GetSpacesView()[1].id, c);

    pm.CloseProject();
    EXPECT_TRUE(pm.GetSpacesView().empty());
    ASSERT_TRUE(pm.CreateNewProject(L"Again", L""));
    pm.CreateSpace(MakeSpace(L"N"));
    check("after new");
}

TEST_F(OpenProject, UpdatePlantsStoresWhatOneUpdatePerRecordStores) {
    ProjectManager one;
    ASSERT_TRUE(one.CreateNewProject(L"Garden", L""));
    for (ProjectManager* store : {&pm, &one}) {
        const int32_t s1 = store->CreateSpace(MakeSpace(L"A"));
        const int32_t s2 = store->CreateSpace(MakeSpace(L"B"));
        for (int i = 0; i < 6; ++i) store->CreatePlant(MakePlant(i % 2 ? s1 : s2, L"p" + std::to_wstring(i)));
        store->GetSpacesView();  // kept from here on, so the edits patch it
    }
    std::vector<Plant> changed = pm.GetPlantsInSpace(1);
    for (Plant& plant : changed) {
        plant.position = {plant.position.x + 3, plant.position.y - 2};
        plant.name += L"!";
        plant.spaceId = 2;  // not taken over
    }
    Plant again = changed.front();  // a later record with the same id wins
    again.notes = L"second";
    changed.push_back(again);

    for (const Plant& plant : changed) ASSERT_TRUE(one.UpdatePlant(plant));
    ASSERT_TRUE(pm.UpdatePlants(changed));
    EXPECT_TRUE(pm.HasUnsavedChanges());
    ExpectSameSpaces(pm.GetSpaces(), one.GetSpaces(), false);
    ExpectSameSpaces(pm.GetSpacesView(), pm.GetSpaces());
    EXPECT_EQ(pm.GetPlantsInSpace(1).front().notes, L"second");

    Plant missing = changed.front();
    missing.id = 999;
    changed.front().name = L"still applied";
    EXPECT_FALSE(pm.UpdatePlants({missing, changed.front()}));
    EXPECT_EQ(pm.GetLastError(), L"Plant not found.");
    EXPECT_EQ(pm.GetPlantsInSpace(1).front().name, L"still applied");
    ExpectSameSpaces(pm.GetSpacesView(), pm.GetSpaces());
}
