#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "JsonTestSupport.h"
#include "ProjectManager.h"

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using nlohmann::json;
using namespace jsontest;

namespace {

Space MakeSpace(const WString& name, std::vector<POINT> polygon = {{0, 0}, {10, 0}, {10, 10}}) {
    Space s;
    s.name = name;
    s.polygon = std::move(polygon);
    return s;
}

Plant MakePlant(int32_t spaceId, const WString& name, POINT at = {1, 2}) {
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

// The exported bytes with each CR LF made a bare line feed; fails the test on
// a bare line feed, which no export may write.
std::string WithoutCarriageReturns(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ADD_FAILURE() << "bare line feed at byte " << i;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

json ParseExport(const WString& path) {
    return json::parse(WithoutCarriageReturns(ReadBytes(path)));
}

class Export : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pm.CreateNewProject(L"Garden", L"Veg")); }
    ProjectManager pm;
    TempFolder folder;
};

}  // namespace

TEST(ExportClosed, RefusesWithoutTouchingTheFile) {
    TempFolder folder;
    ProjectManager pm;
    EXPECT_FALSE(pm.ExportToJSON(folder.File("out.json")));
    EXPECT_EQ(pm.GetLastError(), L"No project is currently open.");
    EXPECT_TRUE(folder.Listing().empty());
}

TEST_F(Export, EmptyProjectHasEmptySectionsAndFullMetadata) {
    WString path = folder.File("empty.json");
    ASSERT_TRUE(pm.ExportToJSON(path)) << ProjectManager::WStringToString(pm.GetLastError());
    std::string bytes = ReadBytes(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '}');  // no line end after the root
    EXPECT_EQ(bytes.front(), '{');
    EXPECT_NE(bytes.find("\"spaces\": [],\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\"tasks\": []\r\n}"), std::string::npos);

    json root = ParseExport(path);
    ASSERT_TRUE(root.is_object());
    EXPECT_EQ(root.size(), 3u);
    EXPECT_TRUE(root["spaces"].is_array() && root["spaces"].empty());
    EXPECT_TRUE(root["tasks"].is_array() && root["tasks"].empty());
    const json& m = root["metadata"];
    EXPECT_EQ(m.size(), 8u);
    EXPECT_EQ(m["application_version"], "1.0.0");
    EXPECT_EQ(m["author"], ProjectManager::WStringToString(ProjectManager::GetSystemUserName()));
    EXPECT_EQ(m["project_name"], "Garden");
    EXPECT_EQ(m["project_description"], "Veg");
    EXPECT_EQ(m["created_at"], ProjectManager::WStringToString(pm.GetCurrentProject()->createdAt));
    EXPECT_EQ(m["schema_version"], 1);
    EXPECT_EQ(m["updated_at"].get<std::string>().size(), 19u);
    EXPECT_EQ(m["export_timestamp"].get<std::string>().size(), 19u);
    EXPECT_LE(m["updated_at"].get<std::string>(), m["export_timestamp"].get<std::string>());
}

TEST_F(Export, LeavesOutOrphansAndKeepsLinksToMissingRecords) {
    ASSERT_EQ(pm.CreateSpace(MakeSpace(L"A", {})), 1);
    ASSERT_EQ(pm.CreateSpace(MakeSpace(L"B")), 2);
    ASSERT_EQ(pm.CreatePlant(MakePlant(2, L"p1", {-3, -4})), 1);
    ASSERT_EQ(pm.CreatePlant(MakePlant(42, L"orphan")), 2);
    ASSERT_EQ(pm.CreatePlant(MakePlant(2, L"p3")), 3);
    ASSERT_EQ(pm.CreateTask(MakeTask(L"t")), 1);
    pm.AssignSpaceToTask(1, 2);
    pm.AssignSpaceToTask(1, 77);  // no such space: written all the same
    pm.AssignPlantToTask(9, 1);   // no such task: not written
    pm.AssignPlantToTask(1, 3);

    WString path = folder.File("p.json");
    ASSERT_TRUE(pm.ExportToJSON(path));
    json root = ParseExport(path);
    const json& spaces = root["spaces"];
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_EQ(spaces[0]["polygon"], json::array());
    EXPECT_EQ(spaces[0]["plants"], json::array());
    ASSERT_EQ(spaces[1]["plants"].size(), 2u);
    EXPECT_EQ(spaces[1]["plants"][0]["id"], 1);
    EXPECT_EQ(spaces[1]["plants"][0]["position"], (json{{"x", -3}, {"y", -4}}));
    EXPECT_EQ(spaces[1]["plants"][1]["id"], 3);
    EXPECT_FALSE(spaces[1]["plants"][0].contains("space_id"));
    EXPECT_EQ(ReadBytes(path).find("orphan"), std::string::npos);

    const json& task = root["tasks"][0];
    EXPECT_EQ(task["assigned_spaces"], (json{2, 77}));
    EXPECT_EQ(task["assigned_plants"], (json{3}));
    EXPECT_EQ(task["due_date"], "");
    EXPECT_EQ(task["completed"], false);
}

TEST_F(Export, LeavesTheStoreAsItWas) {
    pm.CreateSpace(MakeSpace(L"A"));
    pm.DeletePlant(5);  // leaves a last-error text
    const WString before = pm.GetLastError();
    ASSERT_TRUE(pm.HasUnsavedChanges());
    ASSERT_TRUE(pm.ExportToJSON(folder.File("x.json")));
    EXPECT_TRUE(pm.HasUnsavedChanges());
    EXPECT_TRUE(pm.IsNewProject());
    EXPECT_EQ(pm.GetLastError(), before);
    EXPECT_EQ(pm.GetCurrentProject()->filePath, L"");
    EXPECT_EQ(pm.CreateSpace(MakeSpace(L"B")), 2);
}

TEST_F(Export, ReplacesTheWholeOldContentAndLeavesNoTemporaryFile) {
    WString path = folder.File("old.json");
    WriteBytes(path, std::string(100000, '#'));
    ASSERT_TRUE(pm.ExportToJSON(path));
    std::string bytes = ReadBytes(path);
    EXPECT_LT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.find('#'), std::string::npos);
    EXPECT_EQ(folder.Listing(), std::vector<std::string>{"old.json"});
}

TEST_F(Export, MissingFolderFailsAndMakesNoFile) {
    WString path = folder.File("missing/out.json");
    EXPECT_FALSE(pm.ExportToJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"Failed to create JSON file: " + path);
    EXPECT_TRUE(folder.Listing().empty());
    EXPECT_TRUE(pm.IsProjectOpen());
}

TEST_F(Export, PathNamingAFolderFailsAndKeepsIt) {
    fs::create_directory(folder.Path("dir"));
    WriteBytes(folder.Path("dir") / "inside.txt", "keep");
    WString path = folder.File("dir");
    EXPECT_FALSE(pm.ExportToJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"Failed to create JSON file: " + path);
    EXPECT_TRUE(fs::is_directory(folder.Path("dir")));
    EXPECT_EQ(ReadBytes(folder.Path("dir") / "inside.txt"), "keep");
    EXPECT_EQ(folder.Listing(), std::vector<std::string>{"dir"});
}

TEST_F(Export, NonAsciiPathIsHonouredExactly) {
    // "Gärten-菜-🌱.json": a Latin-1 letter, a CJK character and a surrogate pair.
    WString name = L"G\x00E4rten-\x83DC-";
    name += static_cast<wchar_t>(0xD83C);
    name += static_cast<wchar_t>(0xDF31);
    name += L".json";
    WString path = StorePath(folder.root) + L"/" + name;
    ASSERT_TRUE(pm.ExportToJSON(path)) << ProjectManager::WStringToString(pm.GetLastError());
    std::vector<std::string> listing = folder.Listing();
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0], "G\xC3\xA4rten-\xE8\x8F\x9C-\xF0\x9F\x8C\xB1.json");
    EXPECT_TRUE(ParseExport(path).is_object());
}

#ifdef _WIN32
TEST_F(Export, ReadOnlyTargetIsRefusedAndKeptByteForByte) {
    WString path = folder.File("ro.json");
    WriteBytes(path, "old content");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(pm.ExportToJSON(path));
    EXPECT_EQ(pm.GetLastError(), L"Failed to create JSON file: " + path);
    EXPECT_EQ(ReadBytes(path), "old content");
    EXPECT_EQ(folder.Listing(), std::vector<std::string>{"ro.json"});
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Export, TargetHeldOpenWithoutLeaveToDeleteIsWrittenInPlace) {
    WString path = folder.File("busy.json");
    WriteBytes(path, std::string(100000, '#'));
    // Another program holds the file open for writing, without leave to delete
    // or rename it: a plain write goes ahead, so the export does too.
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(pm.ExportToJSON(path)) << ProjectManager::WStringToString(pm.GetLastError());
    CloseHandle(holder);
    EXPECT_EQ(ParseExport(path)["metadata"]["project_name"], "Garden");
    EXPECT_EQ(folder.Listing(), std::vector<std::string>{"busy.json"});
}
#else
TEST_F(Export, WriteFailureKeepsTheOldFileByteForByte) {
    for (int i = 0; i < 200; ++i) pm.CreateSpace(MakeSpace(L"space with a long enough name"));
    WString path = folder.File("full.json");
    const std::string old = "{\"old\": true}\n";
    WriteBytes(path, old);

    // A file-size limit stands in for a full disk: writes past it fail.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*savedHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool ok = pm.ExportToJSON(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(pm.GetLastError(), L"Failed to write JSON data to file: " + path);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.Listing(), std::vector<std::string>{"full.json"});
}

TEST_F(Export, FolderThatTakesNoNewFilesHasItsFileWrittenInPlace) {
    WString path = folder.File("kept.json");
    WriteBytes(path, std::string(100000, '#'));
    // An immutable folder refuses new files even to root, where permission
    // bits would not; the file in it stays writable.
    int dir = open(folder.root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    int flags = 0;
    int immutable = 0;
    if (ioctl(dir, FS_IOC_GETFLAGS, &flags) == 0) immutable = flags | FS_IMMUTABLE_FL;
    if (!immutable || ioctl(dir, FS_IOC_SETFLAGS, &immutable) != 0) {
        close(dir);
        GTEST_SKIP() << "this file system or user cannot make a folder immutable";
    }
    bool ok = pm.ExportToJSON(path);
    ioctl(dir, FS_IOC_SETFLAGS, &flags);
    close(dir);
    EXPECT_TRUE(ok) << ProjectManager::WStringToString(pm.GetLastError());
    EXPECT_EQ(ParseExport(path)["metadata"]["project_name"], "Garden");
    EXPECT_EQ(folder.Listing(), std::vector<std::string>{"kept.json"});
}

TEST_F(Export, ReplacementKeepsPermissionsAndFollowsLinks) {
    WString path = folder.File("real.json");
    WriteBytes(path, "old");
    fs::permissions(FsPath(path), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.json", folder.Path("link.json"));
    ASSERT_TRUE(pm.ExportToJSON(folder.File("link.json")));
    EXPECT_TRUE(fs::is_symlink(folder.Path("link.json")));
    EXPECT_TRUE(ParseExport(path).is_object());
    EXPECT_EQ(fs::status(FsPath(path)).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.Listing(), (std::vector<std::string>{"link.json", "real.json"}));
}
#endif
