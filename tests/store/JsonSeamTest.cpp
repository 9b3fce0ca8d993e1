// Export and import with a scripted clock and login name, and with failures
// injected where no input can cause them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "JsonTestSupport.h"
#include "ProjectManager.h"
#include "StoreSeams.h"

using namespace jsontest;

namespace {

class Seams : public ::testing::Test {
protected:
    void TearDown() override { seams::Reset(); }
    TempFolder folder;
};

Plant MakePlant(int32_t spaceId, const WString& name, POINT at) {
    Plant p;
    p.spaceId = spaceId;
    p.name = name;
    p.position = at;
    return p;
}

int32_t AddSpace(ProjectManager& pm, const char* clock, const WString& name, std::vector<POINT> polygon) {
    seams::SetClock(clock);
    Space s;
    s.name = name;
    s.polygon = std::move(polygon);
    return pm.CreateSpace(s);
}

int32_t AddPlant(ProjectManager& pm, const char* clock, const Plant& plant) {
    seams::SetClock(clock);
    return pm.CreatePlant(plant);
}

int32_t AddTask(ProjectManager& pm, const char* clock, const WString& name, const WString& description,
                bool completed, const WString& due) {
    seams::SetClock(clock);
    Task t;
    t.id = -1;
    t.name = name;
    t.description = description;
    t.completed = completed;
    t.dueDate = due;
    return pm.CreateTask(t);
}

WString Surrogates(unsigned high, unsigned low) {
    WString s;
    s += static_cast<wchar_t>(high);
    if (low) s += static_cast<wchar_t>(low);
    return s;
}

// A project with every case of the format's layout; export-golden.json is the
// file it must give, written out by hand.
void BuildGoldenProject(ProjectManager& pm) {
    seams::SetClock("2026-03-01 08:00:00");
    pm.CreateNewProject(L"K\x00FC" L"chengarten \"S\x00FC" L"d\"", L"Beete & Wege/Pfade\tmit Tab\\R\x00FC" L"ckseite");
    ASSERT_EQ(AddSpace(pm, "2026-03-01 08:01:00", L"Beet 1", {{-10, -20}, {100, 0}, {100, 50}}), 1);
    ASSERT_EQ(AddSpace(pm, "2026-03-01 08:01:30", L"L\x00F6schen", {{0, 0}}), 2);
    ASSERT_EQ(AddSpace(pm, "2026-03-01 08:02:00", L"\x83DC\x56ED " + Surrogates(0xD83C, 0xDF31), {}), 3);
    ASSERT_EQ(AddSpace(pm, "2026-03-01 08:02:30", L"Leer", {{7, 7}}), 4);

    Plant tomato = MakePlant(1, L"Tomate alt", {5, -5});
    tomato.notes = L"rot\ns\x00FC\x00DF";
    tomato.plantedDate = L"2026-04-01";
    ASSERT_EQ(AddPlant(pm, "2026-03-01 08:03:00", tomato), 1);
    ASSERT_EQ(AddPlant(pm, "2026-03-01 08:03:30", MakePlant(99, L"Waise", {1, 1})), 2);
    ASSERT_EQ(AddPlant(pm, "2026-03-01 08:04:00", MakePlant(1, L"Basilikum", {0, 0})), 3);
    Plant herb = MakePlant(3, L"Kraut" + Surrogates(0xD800, 0), {INT32_MIN, INT32_MAX});
    herb.notes = WString(L"a") + wchar_t(0x1B) + L"b" + wchar_t(0x7F) + L"/c\b\f\r";
    ASSERT_EQ(AddPlant(pm, "2026-03-01 08:04:30", herb), 4);

    ASSERT_TRUE(pm.DeleteSpace(2));
    seams::SetClock("2026-03-01 09:00:00");
    tomato.id = 1;
    tomato.name = L"Tomate";
    ASSERT_TRUE(pm.UpdatePlant(tomato));

    ASSERT_EQ(AddTask(pm, "2026-03-01 08:05:00", L"Gie\x00DF" L"en", L"Morgens \"fr\x00FC" L"h\"", true,
                      L"2026-05-01"),
              1);
    ASSERT_EQ(AddTask(pm, "2026-03-01 08:06:00", L"J\x00E4ten", L"", false, L""), 2);
    pm.AssignSpaceToTask(1, 1);
    pm.AssignSpaceToTask(1, 2);
    pm.AssignPlantToTask(1, 3);
    pm.AssignPlantToTask(1, 1);
    pm.AssignSpaceToTask(7, 1);
}

const char kGoldenFile[] = TILVO_TEST_DATA "/export-golden.json";

}  // namespace

TEST_F(Seams, ExportMatchesTheHandWrittenFileByteForByte) {
    ProjectManager pm;
    BuildGoldenProject(pm);
    seams::QueueClock({"2026-06-01 12:00:00", "2026-06-01 12:00:01"});
    seams::SetUserName(L"g\x00E4rtner");
    WString path = folder.File("golden.json");
    ASSERT_TRUE(pm.ExportToJSON(path)) << ProjectManager::WStringToString(pm.GetLastError());

    std::string expected = ReadBytes(fs::u8path(kGoldenFile));
    ASSERT_FALSE(expected.empty()) << kGoldenFile;
    std::string actual = ReadBytes(path);
    EXPECT_EQ(actual.size(), expected.size());
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    EXPECT_EQ(at, expected.size()) << "first difference at byte " << at << ": ...\n"
                                   << actual.substr(at < 80 ? 0 : at - 80, 160);
}

TEST_F(Seams, ImportOutOfMemoryClosesTheStore) {
    ProjectManager source;
    BuildGoldenProject(source);
    seams::Reset();
    WString path = folder.File("p.json");
    ASSERT_TRUE(source.ExportToJSON(path));

    ProjectManager pm;
    pm.CreateNewProject(L"Before", L"");
    seams::FailClock(seams::Fault::OutOfMemory);
    EXPECT_FALSE(pm.ImportFromJSON(path));
    seams::Reset();
    EXPECT_EQ(pm.GetLastError(), L"JSON import error: std::bad_alloc");
    EXPECT_FALSE(pm.IsProjectOpen());
    EXPECT_TRUE(pm.GetSpaces().empty());
    EXPECT_EQ(pm.GetCurrentProject()->id, -1);
}

TEST_F(Seams, ImportUnknownExceptionClosesTheStore) {
    WString path = folder.File("p.json");
    WriteBytes(path, R"({"metadata": {"project_name": "x", "created_at": "c"}, "spaces": [
        {"id": 1, "name": "s", "polygon": [], "created_at": "c", "updated_at": "u"}], "tasks": []})");
    ProjectManager pm;
    pm.CreateNewProject(L"Before", L"");
    seams::FailClock(seams::Fault::Foreign);
    EXPECT_FALSE(pm.ImportFromJSON(path));
    seams::Reset();
    EXPECT_EQ(pm.GetLastError(), L"Unknown error occurred during JSON import.");
    EXPECT_FALSE(pm.IsProjectOpen());
    EXPECT_FALSE(pm.IsNewProject());
    EXPECT_FALSE(pm.HasUnsavedChanges());
    EXPECT_TRUE(pm.GetSpaces().empty());
}

TEST_F(Seams, ImportReadsTheClockOncePerMissingTimestamp) {
    WString path = folder.File("p.json");
    WriteBytes(path, R"({"metadata": {"project_name": "x"}, "spaces": [
        {"id": 1, "name": "s", "polygon": [], "updated_at": "u",
         "plants": [{"id": 1, "name": "p", "position": {"x": 0, "y": 0}}]}],
        "tasks": [{"id": 1, "name": "t", "created_at": "c"}]})");
    ProjectManager pm;
    seams::SetClock("2026-01-01 00:00:00");
    seams::QueueClock({"c-project", "u-project", "c-space", "c-plant", "u-plant", "u-task"});
    ASSERT_TRUE(pm.ImportFromJSON(path));
    EXPECT_EQ(seams::ClockReadings(), 6);
    EXPECT_EQ(pm.GetCurrentProject()->createdAt, L"c-project");
    EXPECT_EQ(pm.GetCurrentProject()->updatedAt, L"u-project");
    Space space = pm.GetSpaces()[0];
    EXPECT_EQ(space.createdAt, L"c-space");
    EXPECT_EQ(space.updatedAt, L"u");
    EXPECT_EQ(space.plants[0].createdAt, L"c-plant");
    EXPECT_EQ(space.plants[0].updatedAt, L"u-plant");
    EXPECT_EQ(pm.GetAllTasks()[0].createdAt, L"c");
    EXPECT_EQ(pm.GetAllTasks()[0].updatedAt, L"u-task");
}

TEST_F(Seams, ASpaceRenamedASecondAfterItWasMadeShowsTheRenameInTheKeptViewAndTheExport) {
    ProjectManager pm;
    seams::SetClock("2026-03-01 08:00:00");
    pm.CreateNewProject(L"Garden", L"");
    ASSERT_EQ(AddSpace(pm, "2026-03-01 08:00:00", L"Beet", {{0, 0}}), 1);
    ASSERT_EQ(pm.GetSpacesView().size(), 1u);  // kept from here on
    seams::SetClock("2026-03-01 08:00:01");
    Space renamed = pm.GetSpaces()[0];
    renamed.name = L"Beet 2";
    ASSERT_TRUE(pm.UpdateSpace(renamed));
    EXPECT_EQ(pm.GetSpacesView()[0].updatedAt, L"2026-03-01 08:00:01");
    EXPECT_EQ(pm.GetSpaces()[0].updatedAt, L"2026-03-01 08:00:01");

    WString path = folder.File("renamed.json");
    ASSERT_TRUE(pm.ExportToJSON(path));
    nlohmann::json space = nlohmann::json::parse(ReadBytes(path))["spaces"][0];
    EXPECT_EQ(space["name"].get<std::string>(), "Beet 2");
    EXPECT_EQ(space["updated_at"].get<std::string>(), "2026-03-01 08:00:01");
}

class SeamExport : public Seams {
protected:
    void SetUp() override {
        pm.CreateNewProject(L"Garden", L"");
        Space s;
        s.name = L"BREAK here";
        pm.CreateSpace(s);
        path = folder.File("old.json");
        WriteBytes(path, old);
    }
    void ExpectOldFileAlone() {
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(folder.Listing(), std::vector<std::string>{"old.json"});
        EXPECT_TRUE(pm.IsProjectOpen());
        EXPECT_TRUE(pm.HasUnsavedChanges());
        EXPECT_EQ(pm.GetSpaces().size(), 1u);
    }
    ProjectManager pm;
    WString path;
    const std::string old = "{\r\n  \"previous\": \"export\"\r\n}";
};

TEST_F(SeamExport, OutOfMemoryWhileBuildingKeepsTheOldFile) {
    seams::FailClock(seams::Fault::OutOfMemory);
    EXPECT_FALSE(pm.ExportToJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"JSON export error: std::bad_alloc");
    ExpectOldFileAlone();
}

TEST_F(SeamExport, UnknownExceptionKeepsTheOldFile) {
    seams::FailClock(seams::Fault::Foreign);
    EXPECT_FALSE(pm.ExportToJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"Unknown error occurred during JSON export.");
    ExpectOldFileAlone();
}

TEST_F(SeamExport, SerialisationFailureKeepsTheOldFileAndRemovesTheTemporary) {
    // The temporary file already exists when the strict serialisation throws.
    seams::BreakUtf8For(L"BREAK");
    EXPECT_FALSE(pm.ExportToJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"JSON export error: [json.exception.type_error.316] invalid UTF-8 byte at index 0: 0xFF");
    ExpectOldFileAlone();
}
