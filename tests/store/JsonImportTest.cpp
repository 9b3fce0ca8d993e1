#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <nlohmann/json.hpp>

#include "JsonTestSupport.h"
#include "ProjectManager.h"

using nlohmann::json;
using namespace jsontest;

namespace {

const WString kSections = L"Invalid JSON format: missing required sections (metadata, spaces, tasks)";
const WString kProjectName = L"Invalid JSON format: missing project name in metadata";
const WString kSpaceFields = L"Invalid space data: missing required fields (id, name, polygon)";
const WString kPoint = L"Invalid polygon point: missing x or y coordinate";
const WString kPlantFields = L"Invalid plant data: missing required fields (id, name, position)";
const WString kPosition = L"Invalid plant position: missing x or y coordinate";
const WString kTaskFields = L"Invalid task data: missing required fields (id, name)";

std::string Narrow(const WString& s) { return ProjectManager::WStringToString(s); }

bool StartsWith(const WString& text, const WString& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const WString& text, const WString& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A complete, valid exchange document of two spaces, three plants and two tasks.
json ValidDocument() {
    return json::parse(R"({
      "metadata": {"project_name": "Farm", "project_description": "North field",
                   "created_at": "2025-01-02 03:04:05", "schema_version": 1},
      "spaces": [
        {"id": 5, "name": "Beds", "created_at": "2025-02-01 10:00:00", "updated_at": "2025-02-02 10:00:00",
         "polygon": [{"x": 0, "y": 0}, {"x": 100, "y": -20}, {"x": 50, "y": 80}],
         "plants": [
           {"id": 7, "name": "Kale", "position": {"x": 10, "y": 11}, "notes": "n", "planted_date": "spring",
            "created_at": "2025-03-01 00:00:00", "updated_at": "2025-03-02 00:00:00"},
           {"id": 2, "name": "Leek", "position": {"x": -1, "y": -2}}
         ]},
        {"id": 9, "name": "Orchard", "polygon": [], "plants": [
           {"id": 3, "name": "Apple", "position": {"x": 0, "y": 0}}]}
      ],
      "tasks": [
        {"id": 4, "name": "Water", "description": "daily", "completed": true, "due_date": "2025-06-01",
         "created_at": "2025-04-01 00:00:00", "updated_at": "2025-04-02 00:00:00",
         "assigned_spaces": [5, 9, 5], "assigned_plants": [7, 1000]},
        {"id": 1, "name": "Weed"}
      ]
    })");
}

class Import : public ::testing::Test {
protected:
    // An open, modified project that a failed import before the sections
    // check must leave exactly as it is.
    void SetUp() override {
        ASSERT_TRUE(pm.CreateNewProject(L"Before", L"kept"));
        Space s;
        s.name = L"Old";
        s.polygon = {{1, 1}};
        ASSERT_EQ(pm.CreateSpace(s), 1);
    }

    bool ImportText(const std::string& text) {
        WString path = folder.File("in.json");
        WriteBytes(path, text);
        return pm.ImportFromJSON(path);
    }
    bool ImportDoc(const json& doc) { return ImportText(doc.dump(2)); }

    void ExpectUntouched() {
        EXPECT_TRUE(pm.IsProjectOpen());
        EXPECT_TRUE(pm.HasUnsavedChanges());
        EXPECT_EQ(pm.GetCurrentProject()->name, L"Before");
        ASSERT_EQ(pm.GetSpaces().size(), 1u);
        EXPECT_EQ(pm.GetSpaces()[0].name, L"Old");
    }

    void ExpectClosed() {
        EXPECT_FALSE(pm.IsProjectOpen());
        EXPECT_FALSE(pm.IsNewProject());
        EXPECT_FALSE(pm.HasUnsavedChanges());
        EXPECT_EQ(pm.GetCurrentProject()->id, -1);
        EXPECT_EQ(pm.GetCurrentProject()->name, L"");
        EXPECT_TRUE(pm.GetPlantsInSpace(5).empty());
        pm.CreateNewProject(L"probe", L"");
        EXPECT_TRUE(pm.GetSpaces().empty());
        EXPECT_TRUE(pm.GetAllTasks().empty());
        EXPECT_TRUE(pm.GetTaskSpaces(4).empty());
        EXPECT_EQ(pm.GetTask(4), nullptr);
        // Counters back at 1: a new project's first ids are 1.
        Space s;
        EXPECT_EQ(pm.CreateSpace(s), 1);
        EXPECT_EQ(pm.CreatePlant(Plant()), 1);
        Task t;
        EXPECT_EQ(pm.CreateTask(t), 1);
    }

    void FailsClosed(const json& doc, const WString& message) {
        EXPECT_FALSE(ImportDoc(doc));
        EXPECT_EQ(pm.GetLastError(), message);
        ExpectClosed();
    }

    ProjectManager pm;
    TempFolder folder;
};

}  // namespace

TEST_F(Import, ValidDocumentFillsTheStoreInFileOrder) {
    ASSERT_TRUE(ImportDoc(ValidDocument())) << Narrow(pm.GetLastError());
    EXPECT_TRUE(pm.IsProjectOpen());
    EXPECT_TRUE(pm.IsNewProject());
    EXPECT_TRUE(pm.HasUnsavedChanges());
    EXPECT_EQ(pm.GetLastError(), L"");
    const ProjectInfo* info = pm.GetCurrentProject();
    EXPECT_EQ(info->id, 1);
    EXPECT_EQ(info->name, L"Farm");
    EXPECT_EQ(info->description, L"North field");
    EXPECT_EQ(info->createdAt, L"2025-01-02 03:04:05");
    EXPECT_EQ(info->updatedAt.size(), 19u);
    EXPECT_EQ(info->filePath, L"");
    EXPECT_EQ(info->schemaVersion, 1);

    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_EQ(spaces[0].id, 5);
    EXPECT_EQ(spaces[0].projectId, 1);
    EXPECT_EQ(spaces[0].name, L"Beds");
    EXPECT_EQ(spaces[0].createdAt, L"2025-02-01 10:00:00");
    EXPECT_EQ(spaces[0].updatedAt, L"2025-02-02 10:00:00");
    ASSERT_EQ(spaces[0].polygon.size(), 3u);
    EXPECT_EQ(spaces[0].polygon[1].x, 100);
    EXPECT_EQ(spaces[0].polygon[1].y, -20);
    ASSERT_EQ(spaces[0].plants.size(), 2u);
    EXPECT_EQ(spaces[0].plants[0].id, 7);
    EXPECT_EQ(spaces[0].plants[0].spaceId, 5);
    EXPECT_EQ(spaces[0].plants[0].notes, L"n");
    EXPECT_EQ(spaces[0].plants[0].plantedDate, L"spring");
    EXPECT_EQ(spaces[0].plants[0].createdAt, L"2025-03-01 00:00:00");
    EXPECT_EQ(spaces[0].plants[1].id, 2);
    EXPECT_EQ(spaces[0].plants[1].position.y, -2);
    EXPECT_EQ(spaces[0].plants[1].notes, L"");
    EXPECT_EQ(spaces[0].plants[1].createdAt.size(), 19u);  // missing: now
    EXPECT_TRUE(spaces[1].polygon.empty());
    EXPECT_EQ(spaces[1].createdAt.size(), 19u);
    ASSERT_EQ(spaces[1].plants.size(), 1u);
    EXPECT_EQ(spaces[1].plants[0].spaceId, 9);

    std::vector<Task> tasks = pm.GetAllTasks();
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].id, 4);
    EXPECT_TRUE(tasks[0].completed);
    EXPECT_EQ(tasks[0].dueDate, L"2025-06-01");
    EXPECT_EQ(tasks[0].description, L"daily");
    EXPECT_EQ(tasks[1].id, 1);
    EXPECT_FALSE(tasks[1].completed);
    EXPECT_EQ(tasks[1].description, L"");
    EXPECT_EQ(tasks[1].dueDate, L"");
    // Repeated pairs and ids of missing records are taken as they stand.
    EXPECT_EQ(pm.GetTaskSpaces(4), (std::vector<int32_t>{5, 9, 5}));
    EXPECT_EQ(pm.GetTaskPlants(4), (std::vector<int32_t>{7, 1000}));
    EXPECT_TRUE(pm.GetTaskSpaces(1).empty());

    // Counters continue after the highest ids read (spaces 5, 9; plants 7, 2, 3; tasks 4, 1).
    Space s;
    EXPECT_EQ(pm.CreateSpace(s), 10);
    EXPECT_EQ(pm.CreatePlant(Plant()), 8);
    Task t;
    EXPECT_EQ(pm.CreateTask(t), 5);
}

TEST_F(Import, CountersStartAtOneForEmptyOrNonPositiveIds) {
    json doc = ValidDocument();
    doc["spaces"] = json::array();
    doc["tasks"] = json::array();
    ASSERT_TRUE(ImportDoc(doc));
    Space s;
    EXPECT_EQ(pm.CreateSpace(s), 1);

    doc = ValidDocument();
    doc["spaces"] = json::parse(R"([{"id": 0, "name": "a", "polygon": [],
                                      "plants": [{"id": -4, "name": "p", "position": {"x": 1, "y": 1}}]},
                                     {"id": -3, "name": "b", "polygon": []}])");
    doc["tasks"] = json::parse(R"([{"id": -1, "name": "t"}])");
    ASSERT_TRUE(ImportDoc(doc));
    EXPECT_EQ(pm.CreateSpace(s), 1);
    EXPECT_EQ(pm.CreatePlant(Plant()), 1);
    Task t;
    EXPECT_EQ(pm.CreateTask(t), 1);
}

TEST_F(Import, ForeignSpaceIdsAreIgnoredAndRepeatedIdsRefused) {
    json doc = ValidDocument();
    doc["spaces"][1]["plants"][0]["space_id"] = 77;
    ASSERT_TRUE(ImportDoc(doc));
    EXPECT_EQ(pm.GetPlantsInSpace(77).size(), 0u);
    EXPECT_EQ(pm.GetPlantsInSpace(9).size(), 1u);

    // Ids that repeat once read as int32, folded ones too: the store closed.
    const struct {
        const char* at;
        json id;
        const wchar_t* text;
    } cases[] = {
        {"/spaces/1/id", 4294967301, L"Invalid space data: two spaces have the id 5"},
        {"/spaces/1/plants/0/id", 7, L"Invalid plant data: two plants have the id 7"},
        {"/tasks/1/id", 4.5, L"Invalid task data: two tasks have the id 4"},
    };
    for (const auto& c : cases) {
        doc = ValidDocument();
        doc[json::json_pointer(c.at)] = c.id;
        EXPECT_FALSE(ImportDoc(doc));
        EXPECT_EQ(pm.GetLastError(), c.text);
        EXPECT_FALSE(pm.IsProjectOpen());
        EXPECT_TRUE(pm.GetSpaces().empty());
    }
}

TEST_F(Import, SpaceIdsAtTheTopLeaveNoSpaceIdToHandOut) {
    json doc = ValidDocument();
    doc["spaces"][1]["id"] = 2147483647;
    ASSERT_TRUE(ImportDoc(doc)) << Narrow(pm.GetLastError());
    EXPECT_EQ(pm.CreateSpace(Space()), -1);
    EXPECT_EQ(pm.GetLastError(), L"No more space ids are available.");
    EXPECT_EQ(pm.GetSpaces().size(), 2u);
    EXPECT_EQ(pm.CreatePlant(Plant()), 8);
}

TEST_F(Import, RemovingARepeatedLinkRemovesEveryCopy) {
    json doc = ValidDocument();
    doc["tasks"][0]["assigned_plants"] = {7, 1000, 7, 7};
    ASSERT_TRUE(ImportDoc(doc));
    ASSERT_EQ(pm.GetTaskSpaces(4), (std::vector<int32_t>{5, 9, 5}));
    EXPECT_TRUE(pm.RemoveSpaceFromTask(4, 5));
    EXPECT_EQ(pm.GetTaskSpaces(4), (std::vector<int32_t>{9}));
    EXPECT_TRUE(pm.RemovePlantFromTask(4, 7));
    EXPECT_EQ(pm.GetTaskPlants(4), (std::vector<int32_t>{1000}));
}

TEST_F(Import, RepeatedLinksAreSavedOnce) {
    json doc = ValidDocument();
    doc["tasks"][0]["assigned_plants"] = {7, 1000, 7};
    ASSERT_TRUE(ImportDoc(doc));
    const WString file = folder.File("links.tvp");
    ASSERT_TRUE(pm.SaveProjectAs(file)) << Narrow(pm.GetLastError());
    ASSERT_TRUE(pm.SaveProject()) << Narrow(pm.GetLastError());
    ASSERT_TRUE(pm.OpenProject(file)) << Narrow(pm.GetLastError());
    std::vector<int32_t> spaces = pm.GetTaskSpaces(4), plants = pm.GetTaskPlants(4);
    std::sort(spaces.begin(), spaces.end());
    std::sort(plants.begin(), plants.end());
    EXPECT_EQ(spaces, (std::vector<int32_t>{5, 9}));
    EXPECT_EQ(plants, (std::vector<int32_t>{7, 1000}));
}

TEST_F(Import, LooseValuesFollowTheLibrarysReadingRules) {
    json doc = ValidDocument();
    doc["spaces"][0]["polygon"] = json::parse(R"([{"x": 1.9, "y": true}, {"x": -1.9, "y": false},
        {"x": 4294967297, "y": -4294967297}, {"x": 4294967297.0, "y": -4294967297.0},
        {"x": 1e300, "y": -1e19}, {"x": 18446744073709551615, "y": 99999999999999999999}])");
    doc["spaces"][0]["plants"] = nullptr;  // no plants
    doc["spaces"][1]["polygon"] = nullptr;  // no vertices
    doc["metadata"]["schema_version"] = 5;
    doc["metadata"]["project_name"] = "";
    doc["metadata"]["author"] = 12;  // not read back
    ASSERT_TRUE(ImportDoc(doc)) << Narrow(pm.GetLastError());
    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces[0].polygon.size(), 6u);
    const auto& p = spaces[0].polygon;
    EXPECT_EQ(p[0].x, 1);
    EXPECT_EQ(p[0].y, 1);
    EXPECT_EQ(p[1].x, -1);
    EXPECT_EQ(p[1].y, 0);
    // Integers keep their low 32 bits; so do whole numbers written as fractions.
    EXPECT_EQ(p[2].x, 1);
    EXPECT_EQ(p[2].y, -1);
    EXPECT_EQ(p[3].x, 1);
    EXPECT_EQ(p[3].y, -1);
    // Beyond every integer type: the exact value's low 32 bits.
    EXPECT_EQ(p[4].x, 0);           // 1e300 is a multiple of 2^32
    EXPECT_EQ(p[4].y, 1981284352);  // -10^19 mod 2^32
    EXPECT_EQ(p[5].x, -1);
    EXPECT_EQ(p[5].y, 1661992960);  // 10^20 mod 2^32
    EXPECT_TRUE(spaces[0].plants.empty());
    EXPECT_TRUE(spaces[1].polygon.empty());
    EXPECT_EQ(pm.GetCurrentProject()->schemaVersion, 5);
    EXPECT_EQ(pm.GetCurrentProject()->name, L"");
}

TEST_F(Import, SequencesGivenAsObjectsOrSingleValues) {
    json doc = ValidDocument();
    doc["spaces"] = json::parse(R"({"b": {"id": 2, "name": "second", "polygon": []},
                                   "a": {"id": 1, "name": "first", "polygon": {"p": {"x": 3, "y": 4}}}})");
    doc["tasks"][0]["assigned_spaces"] = 12;
    ASSERT_TRUE(ImportDoc(doc)) << Narrow(pm.GetLastError());
    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_EQ(spaces[0].name, L"first");  // member (key) order
    ASSERT_EQ(spaces[0].polygon.size(), 1u);
    EXPECT_EQ(spaces[0].polygon[0].x, 3);
    EXPECT_EQ(pm.GetTaskSpaces(4), std::vector<int32_t>{12});

    doc["spaces"] = 3;
    FailsClosed(doc, kSpaceFields);
}

TEST_F(Import, TextAroundTheValueCrLfAndByteOrderMark) {
    std::string text = ValidDocument().dump(2);
    ASSERT_TRUE(ImportText(text + "\n  this is not json {"));
    EXPECT_EQ(pm.GetCurrentProject()->name, L"Farm");

    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ASSERT_TRUE(ImportText("\xEF\xBB\xBF" + crlf));
    EXPECT_EQ(pm.GetSpaces().size(), 2u);
    EXPECT_EQ(pm.GetTaskSpaces(4), (std::vector<int32_t>{5, 9, 5}));
}

TEST_F(Import, NonAsciiTextAndPath) {
    json doc = ValidDocument();
    doc["metadata"]["project_name"] = "K\xC3\xBC" "che \xE8\x8F\x9C \xF0\x9F\x8C\xB1";
    WString name = L"\x00FC-\x83DC.json";
    WString path = StorePath(folder.root) + L"/" + name;
    WriteBytes(path, doc.dump());
    ASSERT_TRUE(pm.ImportFromJSON(path)) << Narrow(pm.GetLastError());
    WString expected = L"K\x00FC" L"che \x83DC ";
    expected += static_cast<wchar_t>(0xD83C);
    expected += static_cast<wchar_t>(0xDF31);
    EXPECT_EQ(pm.GetCurrentProject()->name, expected);
}

// ---- Every message of the reader, with the store state each leaves ----

TEST_F(Import, FileThatCannotBeOpenedLeavesTheStore) {
    WString path = folder.File("nope.json");
    EXPECT_FALSE(pm.ImportFromJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"Failed to open JSON file: " + path);
    ExpectUntouched();

    fs::create_directory(folder.Path("folder.json"));
    EXPECT_FALSE(pm.ImportFromJSON(folder.File("folder.json")));
    EXPECT_EQ(pm.GetLastError(), L"Failed to open JSON file: " + folder.File("folder.json"));
    ExpectUntouched();
}

TEST_F(Import, UnparsableTextLeavesTheStore) {
    EXPECT_FALSE(ImportText(""));
    EXPECT_TRUE(StartsWith(pm.GetLastError(), L"JSON parsing error: [json.exception.parse_error.101]"))
        << Narrow(pm.GetLastError());
    EXPECT_TRUE(EndsWith(pm.GetLastError(), L"attempting to parse an empty input; check that your input "
                                            L"string or stream contains the expected JSON"));
    ExpectUntouched();

    const std::string bad[] = {
        "   \r\n\t ",
        "{\"metadata\": {}, // comment\n \"spaces\": [], \"tasks\": []}",
        "{\"metadata\": {\"project_name\": \"a\xFF\"}, \"spaces\": [], \"tasks\": []}",  // invalid UTF-8
        std::string("{\"metadata\": {\"project_name\": \"a") + '\0' + "b\"}, \"spaces\": [], \"tasks\": []}",
        std::string("\0{}", 3),
        "\xEF\xBB\xBF",
        "\xEF\xBB{}",
        "{\"metadata\": {\"project_name\": \"x\"}, \"spaces\": [], \"tasks\": [",
        "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[",
        "{\"a\" 1}",
    };
    for (const std::string& text : bad) {
        EXPECT_FALSE(ImportText(text)) << text;
        EXPECT_TRUE(StartsWith(pm.GetLastError(), L"JSON parsing error: [json.exception.parse_error."))
            << Narrow(pm.GetLastError());
        ExpectUntouched();
    }
}

TEST_F(Import, MissingSectionsLeaveTheStore) {
    const char* docs[] = {
        "[]", "[{\"metadata\": {}, \"spaces\": [], \"tasks\": []}]", "42", "\"text\"", "null",
        "{\"spaces\": [], \"tasks\": []}", "{\"metadata\": {}, \"tasks\": []}", "{\"metadata\": {}, \"spaces\": []}",
    };
    for (const char* text : docs) {
        EXPECT_FALSE(ImportText(text)) << text;
        EXPECT_EQ(pm.GetLastError(), kSections);
        ExpectUntouched();
    }
}

TEST_F(Import, HugeNumberFailsWhileParsingAndLeavesTheStore) {
    json doc = ValidDocument();
    std::string text = doc.dump();
    text.replace(text.find("\"schema_version\":1"), 18, "\"schema_version\":1e400");
    EXPECT_FALSE(ImportText(text));
    EXPECT_EQ(pm.GetLastError(),
              L"JSON import error: [json.exception.out_of_range.406] number overflow parsing '1e400'");
    ExpectUntouched();
}

TEST_F(Import, MetadataWithoutNameClosesTheStore) {
    json doc = ValidDocument();
    doc["metadata"] = "Farm";
    FailsClosed(doc, kProjectName);
    doc["metadata"] = json::object();
    FailsClosed(doc, kProjectName);
}

TEST_F(Import, BadSpaceClosesTheStore) {
    json doc = ValidDocument();
    doc["spaces"][1].erase("polygon");
    FailsClosed(doc, kSpaceFields);
    doc = ValidDocument();
    doc["spaces"][0].erase("id");
    FailsClosed(doc, kSpaceFields);
    doc = ValidDocument();
    doc["spaces"][1] = json::array();
    FailsClosed(doc, kSpaceFields);
}

TEST_F(Import, FailureInTheThirdSpaceLeavesNoSpaces) {
    json doc = ValidDocument();
    doc["spaces"].push_back(json::parse(R"({"id": 11, "name": "third"})"));
    FailsClosed(doc, kSpaceFields);
}

TEST_F(Import, BadPointClosesTheStore) {
    json doc = ValidDocument();
    doc["spaces"][0]["polygon"][2].erase("y");
    FailsClosed(doc, kPoint);
    doc = ValidDocument();
    doc["spaces"][0]["polygon"][0] = 5;
    FailsClosed(doc, kPoint);
}

TEST_F(Import, BadPlantClosesTheStore) {
    json doc = ValidDocument();
    doc["spaces"][1]["plants"][0].erase("position");
    FailsClosed(doc, kPlantFields);
    doc = ValidDocument();
    doc["spaces"][0]["plants"][1].erase("name");
    FailsClosed(doc, kPlantFields);
}

TEST_F(Import, BadPlantPositionClosesTheStore) {
    json doc = ValidDocument();
    doc["spaces"][0]["plants"][0]["position"].erase("x");
    FailsClosed(doc, kPosition);
    doc["spaces"][0]["plants"][0]["position"] = json::array({1, 2});
    FailsClosed(doc, kPosition);
}

TEST_F(Import, BadTaskClosesTheStore) {
    json doc = ValidDocument();
    doc["tasks"][1].erase("name");
    FailsClosed(doc, kTaskFields);
    doc = ValidDocument();
    doc["tasks"][0] = "task";
    FailsClosed(doc, kTaskFields);
}

TEST_F(Import, WrongTypesCloseTheStoreWithTheLibrarysText) {
    struct Case {
        const char* pointer;
        json value;
        const wchar_t* text;
    } cases[] = {
        {"/spaces/0/polygon/0/x", "12", L"type must be number, but is string"},
        {"/spaces/0/id", json::object(), L"type must be number, but is object"},
        {"/tasks/0/completed", 1, L"type must be boolean, but is number"},
        {"/tasks/0/description", nullptr, L"type must be string, but is null"},
        {"/metadata/project_name", 5, L"type must be string, but is number"},
        {"/metadata/created_at", nullptr, L"type must be string, but is null"},
        {"/metadata/schema_version", "1", L"type must be number, but is string"},
        {"/spaces/0/plants/0/notes", json::array(), L"type must be string, but is array"},
        {"/tasks/0/assigned_plants/1", "1000", L"type must be number, but is string"},
    };
    for (const Case& c : cases) {
        json doc = ValidDocument();
        doc[json::json_pointer(c.pointer)] = c.value;
        EXPECT_FALSE(ImportDoc(doc)) << c.pointer;
        EXPECT_EQ(pm.GetLastError(), WString(L"JSON type error: [json.exception.type_error.302] ") + c.text)
            << c.pointer;
        ExpectClosed();
    }
}

TEST_F(Import, LargestIdsLeaveNoIdsToHandOut) {
    json doc = ValidDocument();
    doc["spaces"][0]["plants"][0]["id"] = 2147483647;
    doc["tasks"][0]["id"] = 2147483647;
    ASSERT_TRUE(ImportDoc(doc)) << Narrow(pm.GetLastError());
    size_t plants = pm.GetPlantsInSpace(doc["spaces"][0]["id"].get<int>()).size();
    size_t tasks = pm.GetAllTasks().size();
    EXPECT_EQ(pm.CreatePlant(Plant()), -1);
    EXPECT_EQ(pm.GetLastError(), L"No more plant ids are available.");
    EXPECT_EQ(pm.CreateTask(Task()), -1);
    EXPECT_EQ(pm.GetLastError(), L"No more task ids are available.");
    EXPECT_EQ(pm.GetPlantsInSpace(doc["spaces"][0]["id"].get<int>()).size(), plants);
    EXPECT_EQ(pm.GetAllTasks().size(), tasks);
    EXPECT_GT(pm.CreateSpace(Space()), 0);
}

// ---- Hostile input ----

TEST_F(Import, DeepNestingIsRefusedBeforeItCostsMemory) {
    const WString refused = L"JSON import error: the document nests deeper than 1000 levels";
    for (size_t depth : {1001u, 100000u, 10u << 20}) {
        std::string open(depth, '['), close(depth, ']');
        EXPECT_FALSE(ImportText(open + close));
        EXPECT_EQ(pm.GetLastError(), refused);
        ExpectUntouched();
        EXPECT_FALSE(ImportText(open));
        EXPECT_EQ(pm.GetLastError(), refused);
        ExpectUntouched();
    }
    std::string objects;
    for (int i = 0; i < 1001; ++i) objects += "{\"a\":";
    EXPECT_FALSE(ImportText(objects));
    EXPECT_EQ(pm.GetLastError(), refused);
    ExpectUntouched();

    // Nesting up to the limit is read, also in a member the reader ignores.
    std::string open(1000 - 1, '['), close(1000 - 1, ']');
    std::string text = ValidDocument().dump();
    text.insert(1, "\"extra\": " + open + close + ", ");
    ASSERT_TRUE(ImportText(text)) << Narrow(pm.GetLastError());
    EXPECT_EQ(pm.GetSpaces().size(), 2u);
}

TEST_F(Import, FiftyMegabyteFiles) {
    // One name of 50 MB is read whole.
    json doc = ValidDocument();
    doc["spaces"][0]["name"] = std::string(50u << 20, 'n');
    ASSERT_TRUE(ImportDoc(doc)) << Narrow(pm.GetLastError());
    EXPECT_EQ(pm.GetSpaces()[0].name.size(), 50u << 20);

    // 50 MB of blanks, then nothing.
    pm.CreateNewProject(L"Before", L"kept");
    Space s;
    s.name = L"Old";
    pm.CreateSpace(s);
    EXPECT_FALSE(ImportText(std::string(50u << 20, ' ')));
    EXPECT_TRUE(StartsWith(pm.GetLastError(), L"JSON parsing error: ")) << Narrow(pm.GetLastError());
    ExpectUntouched();
}

// ---- Round trip ----

TEST(JsonRoundTrip, ExportThenImportGivesTheSameProject) {
    TempFolder folder;
    ProjectManager source;
    source.CreateNewProject(L"R\x00FC" L"ckweg \"1\"", L"line one\nline two\t\\");
    Space a;
    a.name = L"Beds \x83DC";
    a.polygon = {{-5, -6}, {INT32_MAX, INT32_MIN}, {0, 7}};
    Space b;
    b.name = L"";
    Space c;
    c.name = L"gone";
    ASSERT_EQ(source.CreateSpace(a), 1);
    ASSERT_EQ(source.CreateSpace(b), 2);
    ASSERT_EQ(source.CreateSpace(c), 3);
    Plant p;
    p.spaceId = 1;
    p.name = L"Kale";
    p.position = {3, -4};
    p.notes = L"notes \x00E9";
    p.plantedDate = L"2025-04-01";
    ASSERT_EQ(source.CreatePlant(p), 1);
    p.spaceId = 2;
    p.name = L"Leek";
    ASSERT_EQ(source.CreatePlant(p), 2);
    p.spaceId = 3;  // leaves with its space
    ASSERT_EQ(source.CreatePlant(p), 3);
    p.spaceId = 1;
    p.name = L"Chard";
    ASSERT_EQ(source.CreatePlant(p), 4);
    p.spaceId = 50;  // no such space: not exported
    ASSERT_EQ(source.CreatePlant(p), 5);
    ASSERT_TRUE(source.DeleteSpace(3));
    Task t;
    t.id = -1;
    t.name = L"Water";
    t.completed = true;
    t.dueDate = L"2025-07-01";
    t.description = L"every \"day\"";
    ASSERT_EQ(source.CreateTask(t), 1);
    t.name = L"Weed";
    t.completed = false;
    t.dueDate = L"";
    ASSERT_EQ(source.CreateTask(t), 2);
    source.AssignSpaceToTask(2, 1);
    source.AssignSpaceToTask(1, 3);  // deleted space: kept
    source.AssignSpaceToTask(1, 1);
    source.AssignPlantToTask(1, 4);
    source.AssignPlantToTask(9, 1);  // no such task: not exported

    WString path = folder.File("round.json");
    ASSERT_TRUE(source.ExportToJSON(path));
    ProjectManager copy;
    ASSERT_TRUE(copy.ImportFromJSON(path)) << ProjectManager::WStringToString(copy.GetLastError());

    const ProjectInfo* from = source.GetCurrentProject();
    const ProjectInfo* to = copy.GetCurrentProject();
    EXPECT_EQ(to->id, 1);
    EXPECT_EQ(to->name, from->name);
    EXPECT_EQ(to->description, from->description);
    EXPECT_EQ(to->createdAt, from->createdAt);
    EXPECT_EQ(to->updatedAt.size(), 19u);
    EXPECT_EQ(to->filePath, L"");
    EXPECT_EQ(to->schemaVersion, 1);
    EXPECT_TRUE(copy.IsNewProject());
    EXPECT_TRUE(copy.HasUnsavedChanges());

    std::vector<Space> want = source.GetSpaces(), got = copy.GetSpaces();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].id, want[i].id);
        EXPECT_EQ(got[i].projectId, 1);
        EXPECT_EQ(got[i].name, want[i].name);
        EXPECT_EQ(got[i].createdAt, want[i].createdAt);
        EXPECT_EQ(got[i].updatedAt, want[i].updatedAt);
        ASSERT_EQ(got[i].polygon.size(), want[i].polygon.size());
        for (size_t k = 0; k < want[i].polygon.size(); ++k) {
            EXPECT_EQ(got[i].polygon[k].x, want[i].polygon[k].x);
            EXPECT_EQ(got[i].polygon[k].y, want[i].polygon[k].y);
        }
        ASSERT_EQ(got[i].plants.size(), want[i].plants.size());
        for (size_t k = 0; k < want[i].plants.size(); ++k) {
            const Plant &g = got[i].plants[k], &w = want[i].plants[k];
            EXPECT_EQ(g.id, w.id);
            EXPECT_EQ(g.spaceId, w.spaceId);
            EXPECT_EQ(g.name, w.name);
            EXPECT_EQ(g.position.x, w.position.x);
            EXPECT_EQ(g.position.y, w.position.y);
            EXPECT_EQ(g.notes, w.notes);
            EXPECT_EQ(g.plantedDate, w.plantedDate);
            EXPECT_EQ(g.createdAt, w.createdAt);
            EXPECT_EQ(g.updatedAt, w.updatedAt);
        }
    }
    // The orphan plant (space 50) is the one left out.
    EXPECT_EQ(source.GetPlantsInSpace(50).size(), 1u);
    EXPECT_TRUE(copy.GetPlantsInSpace(50).empty());

    std::vector<Task> wantTasks = source.GetAllTasks(), gotTasks = copy.GetAllTasks();
    ASSERT_EQ(gotTasks.size(), wantTasks.size());
    for (size_t i = 0; i < wantTasks.size(); ++i) {
        EXPECT_EQ(gotTasks[i].id, wantTasks[i].id);
        EXPECT_EQ(gotTasks[i].name, wantTasks[i].name);
        EXPECT_EQ(gotTasks[i].description, wantTasks[i].description);
        EXPECT_EQ(gotTasks[i].completed, wantTasks[i].completed);
        EXPECT_EQ(gotTasks[i].dueDate, wantTasks[i].dueDate);
        EXPECT_EQ(gotTasks[i].createdAt, wantTasks[i].createdAt);
        EXPECT_EQ(gotTasks[i].updatedAt, wantTasks[i].updatedAt);
        EXPECT_EQ(copy.GetTaskSpaces(wantTasks[i].id), source.GetTaskSpaces(wantTasks[i].id));
        EXPECT_EQ(copy.GetTaskPlants(wantTasks[i].id), source.GetTaskPlants(wantTasks[i].id));
    }
    EXPECT_EQ(copy.GetTaskSpaces(1), (std::vector<int32_t>{3, 1}));
    EXPECT_TRUE(copy.GetTaskPlants(9).empty());

    // Exported again, the imported project gives the same bytes, less the
    // metadata's two clock readings.
    WString again = folder.File("again.json");
    ASSERT_TRUE(copy.ExportToJSON(again));
    auto withoutClock = [](std::string text) {
        for (const char* key : {"\r\n    \"export_timestamp\": \"", "\r\n    \"updated_at\": \""}) {
            size_t at = text.find(key);
            EXPECT_NE(at, std::string::npos);
            if (at != std::string::npos) text.replace(at + std::strlen(key), 19, "<clock>");
        }
        return text;
    };
    EXPECT_EQ(withoutClock(ReadBytes(again)), withoutClock(ReadBytes(path)));

    // Counters continue after the highest ids in the file: space 3 and plant 5
    // left no trace there.
    Space next;
    EXPECT_EQ(copy.CreateSpace(next), 3);
    EXPECT_EQ(copy.CreatePlant(Plant()), 5);
}
