#include <gtest/gtest.h>

#include "ProjectManager.h"

TEST(Records, DefaultsMarkFreshRecords) {
    Plant plant;
    EXPECT_EQ(plant.id, -1);
    EXPECT_EQ(plant.spaceId, -1);
    EXPECT_EQ(plant.position.x, 0);
    EXPECT_EQ(plant.position.y, 0);
    EXPECT_TRUE(plant.name.empty() && plant.notes.empty() && plant.plantedDate.empty());

    Space space;
    EXPECT_EQ(space.id, -1);
    EXPECT_EQ(space.projectId, -1);
    EXPECT_TRUE(space.polygon.empty() && space.plants.empty() && space.tasks.empty());

    ProjectInfo info;
    EXPECT_EQ(info.id, -1);
    EXPECT_EQ(info.schemaVersion, 0);
    EXPECT_TRUE(info.name.empty() && info.filePath.empty());
}

TEST(Records, SpaceCopyIsDeep) {
    Space original;
    original.id = 7;
    original.name = L"Bed";
    original.polygon = {{0, 0}, {10, 0}, {10, 10}};
    Plant p;
    p.id = 3;
    p.name = L"Tomato";
    original.plants.push_back(p);

    Space copy = original;
    copy.name = L"Changed";
    copy.polygon[1].x = 99;
    copy.polygon.push_back({5, 5});
    copy.plants[0].name = L"Basil";
    copy.plants.clear();

    EXPECT_EQ(original.name, L"Bed");
    ASSERT_EQ(original.polygon.size(), 3u);
    EXPECT_EQ(original.polygon[1].x, 10);
    ASSERT_EQ(original.plants.size(), 1u);
    EXPECT_EQ(original.plants[0].name, L"Tomato");
}

TEST(Records, StoreHandsOutCopiesNotReferences) {
    ProjectManager pm;
    pm.CreateNewProject(L"P", L"");
    Space s;
    s.name = L"A";
    s.polygon = {{1, 2}, {3, 4}, {5, 6}};
    int32_t id = pm.CreateSpace(s);
    Plant p;
    p.spaceId = id;
    p.name = L"Rose";
    pm.CreatePlant(p);

    std::vector<Space> first = pm.GetSpaces();
    first[0].name = L"Mutated";
    first[0].polygon[0].x = 1000;
    first[0].plants[0].name = L"Mutated";

    std::vector<Space> second = pm.GetSpaces();
    EXPECT_EQ(second[0].name, L"A");
    EXPECT_EQ(second[0].polygon[0].x, 1);
    EXPECT_EQ(second[0].plants[0].name, L"Rose");
}
