// A save cut off by the death of its process: a child process either opens a
// project file, adds a large farm and saves, or saves a large farm as that
// file; the test kills it while the save is writing and then opens the file,
// which must hold the previous save.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "FileTestSupport.h"
#include "LargeFarm.h"
#include "ProjectManager.h"

namespace {

enum class SaveKind { Save, SaveAs };

void PrintTo(SaveKind kind, std::ostream* os) { *os << (kind == SaveKind::Save ? "save" : "save-as"); }

// The child's whole work; it never returns.
[[noreturn]] void SaveLargeFarmInto(const WString& path, SaveKind kind) {
    int code = 3;
    {
        ProjectManager pm;
        if (kind == SaveKind::SaveAs) {
            BuildLargeFarm(pm);
            code = pm.SaveProjectAs(path) ? 0 : 4;
        } else if (pm.OpenProject(path)) {
            AddLargeFarm(pm);
            code = pm.SaveProject() ? 0 : 4;
        }
    }
#ifdef _WIN32
    ExitProcess(static_cast<UINT>(code));
#else
    _exit(code);
#endif
}

#ifdef _WIN32
const wchar_t kChildVariable[] = L"TILVO_KILL_SAVE_CHILD";

// Under Windows the child is a second copy of this program, started with the
// kind of save ('S' or 'A') and the file's path in the environment; it does
// its work before any test runs.
struct ChildMode {
    ChildMode() {
        wchar_t buffer[4096];
        DWORD n = GetEnvironmentVariableW(kChildVariable, buffer, 4096);
        if (n > 1 && n < 4096)
            SaveLargeFarmInto(WString(buffer + 1, n - 1), buffer[0] == L'A' ? SaveKind::SaveAs : SaveKind::Save);
    }
} childMode;
#endif

// A running child that saves into `path`; Kill() ends it at once.
class SavingChild {
public:
    SavingChild(const std::filesystem::path& path, SaveKind kind) {
#ifdef _WIN32
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        WString value = (kind == SaveKind::SaveAs ? L"A" : L"S") + WidePath(path);
        SetEnvironmentVariableW(kChildVariable, value.c_str());
        std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_) != 0;
        SetEnvironmentVariableW(kChildVariable, nullptr);
        if (started_) CloseHandle(info_.hThread);
#else
        pid_ = fork();
        if (pid_ == 0) SaveLargeFarmInto(WidePath(path), kind);
        started_ = pid_ > 0;
#endif
    }
    ~SavingChild() {
        if (Running()) Kill();
#ifdef _WIN32
        if (started_) CloseHandle(info_.hProcess);
#endif
    }

    bool Started() const { return started_; }

    bool Running() {
        if (!started_ || ended_) return false;
#ifdef _WIN32
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) return true;
#else
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == 0) return true;
#endif
        ended_ = true;
        return false;
    }

    void Kill() {
#ifdef _WIN32
        TerminateProcess(info_.hProcess, 9);
        WaitForSingleObject(info_.hProcess, INFINITE);
#else
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
#endif
        ended_ = true;
    }

private:
    bool started_ = false;
    bool ended_ = false;
#ifdef _WIN32
    PROCESS_INFORMATION info_{};
#else
    pid_t pid_ = -1;
#endif
};

uintmax_t SizeOf(const std::filesystem::path& p) {
    std::error_code ec;
    uintmax_t size = std::filesystem::file_size(p, ec);
    return ec ? 0 : size;
}

class KillMidSave : public ::testing::TestWithParam<SaveKind> {};

}  // namespace

TEST_P(KillMidSave, TheFileOpensWithThePreviousSave) {
    TempDir dir;
    auto path = dir.File("farm.tvp");
    auto wal = dir.File("farm.tvp-wal");
    {
        ProjectManager pm;
        ASSERT_TRUE(pm.CreateNewProject(L"Small farm", L"before"));
        Space s;
        s.name = L"Only bed";
        s.polygon = {{0, 0}, {10, 0}, {10, 10}};
        ASSERT_EQ(pm.CreateSpace(s), 1);
        Plant p;
        p.spaceId = 1;
        p.name = L"Rhubarb";
        ASSERT_EQ(pm.CreatePlant(p), 1);
        ASSERT_TRUE(pm.SaveProjectAs(WidePath(path)));
    }
    ASSERT_FALSE(std::filesystem::exists(wal));  // the last connection folded the log into the file

    // The large save writes about six megabytes; stop it once the first pages
    // have reached the disk, leaving it most of its work still to do.
    const uintmax_t threshold = 256u << 10;
    SavingChild child(path, GetParam());
    ASSERT_TRUE(child.Started());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    bool killed = false;
    while (std::chrono::steady_clock::now() < deadline) {
        if (SizeOf(wal) >= threshold) {
            ASSERT_TRUE(child.Running()) << "the child finished its save before it could be stopped";
            child.Kill();
            killed = true;
            break;
        }
        ASSERT_TRUE(child.Running()) << "the child ended before its save had written anything";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(killed) << "the save did not start within the time limit";
    EXPECT_GE(SizeOf(wal), threshold);  // the half-written save is on disk

    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path))) << ProjectManager::WStringToString(pm.GetLastError());
    EXPECT_EQ(pm.GetLastError(), L"");
    EXPECT_EQ(pm.GetCurrentProject()->name, L"Small farm");
    EXPECT_EQ(pm.GetCurrentProject()->description, L"before");
    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 1u);
    EXPECT_EQ(spaces[0].name, L"Only bed");
    EXPECT_EQ(spaces[0].polygon.size(), 3u);
    ASSERT_EQ(spaces[0].plants.size(), 1u);
    EXPECT_EQ(spaces[0].plants[0].name, L"Rhubarb");
    EXPECT_TRUE(pm.GetAllTasks().empty());
    EXPECT_EQ(pm.CreateSpace(Space()), 2);
    pm.CloseProject();

    SqliteFile f(path);
    EXPECT_EQ(f.Value("PRAGMA integrity_check;"), "ok");
    EXPECT_EQ(f.Value("SELECT count(*) FROM plants;"), "1");
}

INSTANTIATE_TEST_SUITE_P(BothSaves, KillMidSave, ::testing::Values(SaveKind::Save, SaveKind::SaveAs),
                         [](const ::testing::TestParamInfo<SaveKind>& info) {
                             return std::string(info.param == SaveKind::Save ? "Save" : "SaveAsOverTheFile");
                         });

// A power cut at any write of a save or of the close after it, or just after
// the save returned: what the save reported as saved must open whole, and a
// save that failed leaves the file as it was or as the save would have made it.
TEST(PowerCut, WhatASaveReportedSavedSurvivesACutAtAnyWrite) {
    TempDir dir;
    auto path = dir.File("farm.tvp");
    auto picture = [](ProjectManager& pm) {
        std::string text = ProjectManager::WStringToString(pm.GetCurrentProject()->name);
        for (const Space& s : pm.GetSpaces()) text += "|" + ProjectManager::WStringToString(s.name);
        return text;
    };
    auto farm = [](ProjectManager& pm, const WString& name, int beds) {
        ASSERT_TRUE(pm.CreateNewProject(name, L""));
        for (int i = 0; i < beds; ++i) {
            Space s;
            s.name = name + L" bed " + std::to_wstring(i);
            s.polygon = {{0, 0}, {10 * i, 0}, {0, 10}};
            pm.CreateSpace(s);
        }
    };
    std::string base;
    std::string basePicture;
    {
        ProjectManager pm;
        farm(pm, L"Old", 2);
        ASSERT_TRUE(pm.SaveProjectAs(WidePath(path)));
        basePicture = picture(pm);
    }
    ASSERT_FALSE(std::filesystem::exists(dir.File("farm.tvp-wal")));
    base = ReadBytes(path);

    enum Kind { SaveAsOverTheFile, SaveAfterSaveAs, SaveAfterOpen };
    for (Kind kind : {SaveAsOverTheFile, SaveAfterSaveAs, SaveAfterOpen}) {
        // Round 0 counts the writes of the save and the close; round n cuts at
        // write n, and the last round just after the save returned.
        int writes = 0;
        for (int round = 0; round == 0 || round <= writes + 1; ++round) {
            SCOPED_TRACE("kind " + std::to_string(kind) + ", round " + std::to_string(round));
            for (const char* side : {"farm.tvp-wal", "farm.tvp-shm"}) std::filesystem::remove(dir.File(side));
            WriteBytes(path, base);
            FaultVfs vfs;
            ProjectManager pm;
            if (kind == SaveAfterOpen) {
                ASSERT_TRUE(pm.OpenProject(WidePath(path)));
            } else {
                farm(pm, L"New", 3);
            }
            if (kind == SaveAfterSaveAs) {
                ASSERT_TRUE(pm.SaveProjectAs(WidePath(path)));
            }
            const std::string before = kind == SaveAsOverTheFile ? basePicture : picture(pm);
            Space late;
            late.name = L"late bed";
            if (kind != SaveAsOverTheFile) pm.CreateSpace(late);
            const std::string after = picture(pm);

            vfs.Restore();
            if (round > 0 && round <= writes) vfs.CutPowerAtWrite(round);
            const bool saved = kind == SaveAsOverTheFile ? pm.SaveProjectAs(WidePath(path)) : pm.SaveProject();
            if (round > writes) vfs.CutPowerNow();
            pm.CloseProject();
            if (round == 0) {
                ASSERT_TRUE(saved);
                writes = vfs.Writes();
            }
            vfs.Restore();

            ProjectManager reopened;
            ASSERT_TRUE(reopened.OpenProject(WidePath(path)))
                << ProjectManager::WStringToString(reopened.GetLastError());
            const std::string found = picture(reopened);
            reopened.CloseProject();
            if (saved) EXPECT_EQ(found, after);
            else EXPECT_TRUE(found == before || found == after) << found;
            EXPECT_EQ(SqliteFile(path).Value("PRAGMA integrity_check;"), "ok");
        }
    }
}
