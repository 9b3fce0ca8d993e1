// The commands of the main window, driven through WM_COMMAND on the real
// window, with every dialog and message box answered through its real window.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "DialogDriver.h"
#include "PrintManager.h"
#include "resource.h"

using uitest::Answer;
using uitest::Box;
using uitest::FileDialog;
using uitest::Input;
using uitest::ModalAnswerer;
using uitest::Seen;

namespace {

const wchar_t kCloseQuestion[] = L"The project has unsaved changes.\n\nDo you want to save before closing?";
const wchar_t kImportQuestion[] = L"The current project has unsaved changes.\n\nDo you want to save before importing?";
const wchar_t kExitQuestion[] = L"The project has unsaved changes.\n\nDo you want to save before exiting?";

HICON StockIcon(LPCWSTR id) { return LoadIconW(nullptr, id); }

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        // Wine reuses small process ids: the tick count keeps a folder left by a killed run out of the way.
        dir = std::wstring(temp) + L"tilvo-commands-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter) + L"\\";
        std::filesystem::create_directories(dir);
        live = std::make_unique<uitest::LiveWindow>();
        ASSERT_TRUE(live->Created());
        window = &**live;
    }
    void TearDown() override {
        window = nullptr;
        live.reset();
        DrainQuit();
        // The file dialogs make the chosen folder the current one, which keeps it from being removed.
        SetCurrentDirectoryW(std::filesystem::path(dir).parent_path().parent_path().c_str());
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        EXPECT_FALSE(std::filesystem::exists(dir));
    }

    ProjectManager& Store() { return window->projectManager; }
    void Command(int id) { SendMessageW(window->hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::wstring Title() {
        wchar_t text[512] = {};
        GetWindowTextW(window->hwnd, text, 512);
        return text;
    }
    // True when a WM_QUIT is waiting in this thread's queue (and takes it out).
    static bool DrainQuit() {
        MSG msg;
        bool quit = false;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) quit = true;
        return quit;
    }
    // Runs a command while `answers` are given; checks that nothing else showed.
    std::vector<Seen> Run(int id, std::vector<Answer> answers) {
        ModalAnswerer answerer(std::move(answers));
        Command(id);
        const bool clean = answerer.AllAnsweredAndNothingElse();
        EXPECT_TRUE(clean) << answerer.Describe();
        return answerer.Finish();
    }
    // A new in-memory project named `name`, made through the New Project window.
    void NewProject(const std::wstring& name = L"Garden") {
        Run(IDM_NEW_PROJECT, {uitest::NewProject(name, L"")});
        ASSERT_TRUE(Store().IsProjectOpen());
    }
    // A project saved at `path`, without unsaved changes.
    void SavedProject(const std::wstring& path, const std::wstring& name = L"Garden") {
        NewProject(name);
        Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", path)});
        ASSERT_FALSE(Store().IsNewProject());
        ASSERT_FALSE(Store().HasUnsavedChanges());
    }
    int32_t AddSpace(const std::wstring& name) {
        Space space;
        space.name = name;
        space.polygon = {{10, 10}, {200, 10}, {200, 200}, {10, 200}};
        return Store().CreateSpace(space);
    }
    int32_t AddPlant(int32_t spaceId, const std::wstring& name) {
        Plant plant;
        plant.spaceId = spaceId;
        plant.name = name;
        plant.position = {50, 50};
        return Store().CreatePlant(plant);
    }
    static bool Exists(const std::wstring& path) { return std::filesystem::exists(path); }
    // The enabled flag of the drawn menu's item with this command id.
    bool MenuEnabled(int commandId) {
        for (const MenuItem& title : window->menuModel)
            for (const MenuItem& item : title.children)
                if (item.commandId == commandId) return item.enabled;
        ADD_FAILURE() << "no menu item " << commandId;
        return false;
    }

    std::wstring dir;
    std::unique_ptr<uitest::LiveWindow> live;
    MainWindow* window = nullptr;
};

// ---- New Project window (command 1001)

TEST_F(CommandsTest, NewProjectOffersTheDefaultNameAndCreatesAnInMemoryProject) {
    auto seen = Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Back Yard", L"Veg beds\r\nand herbs")});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].texts[uitest::kProjectNameEditId], L"Untitled Project");
    EXPECT_EQ(seen[0].texts[uitest::kProjectDescriptionEditId], L"");
    EXPECT_EQ(seen[0].owner, window->hwnd);
    EXPECT_EQ(seen[0].rect.right - seen[0].rect.left, 300);
    EXPECT_EQ(seen[0].rect.bottom - seen[0].rect.top, 280);
    EXPECT_FALSE(seen[0].ownerEnabled);
    EXPECT_TRUE(seen[0].fontsSet);
    EXPECT_EQ(seen[0].texts[IDOK], L"Create");
    EXPECT_EQ(seen[0].texts[IDCANCEL], L"Cancel");
    EXPECT_TRUE(seen[0].exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(seen[0].exStyle & WS_EX_DLGMODALFRAME);

    ASSERT_TRUE(Store().IsProjectOpen());
    EXPECT_TRUE(Store().IsNewProject());
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Back Yard");
    EXPECT_EQ(Store().GetCurrentProject()->description, L"Veg beds\r\nand herbs");
    EXPECT_EQ(Title(), L"Back Yard (Unsaved) - Tilvo");
    EXPECT_EQ(window->statusText, L"New project created. Use File > Save As to save to disk.");
    EXPECT_TRUE(IsWindowEnabled(window->hwnd));
}

TEST_F(CommandsTest, NewProjectCancelledOrClosedChangesNothing) {
    const std::wstring status = window->statusText;
    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Ignored", L"", IDCANCEL)});
    Answer close = uitest::NewProject(L"Ignored too", L"");
    close.close = true;
    Run(IDM_NEW_PROJECT, {close});
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(Title(), L"Tilvo");
    EXPECT_EQ(window->statusText, status);
    EXPECT_TRUE(IsWindowEnabled(window->hwnd));
}

TEST_F(CommandsTest, NewProjectEnterCreatesAndEscapeCancels) {
    Answer escape = uitest::NewProject(L"Not this", L"");
    escape.key = VK_ESCAPE;
    escape.keyTarget = uitest::kProjectNameEditId;
    Run(IDM_NEW_PROJECT, {escape});
    EXPECT_FALSE(Store().IsProjectOpen());

    Answer enter = uitest::NewProject(L"By Enter", L"");
    enter.key = VK_RETURN;
    enter.keyTarget = uitest::kProjectNameEditId;
    Run(IDM_NEW_PROJECT, {enter});
    ASSERT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetCurrentProject()->name, L"By Enter");
}

TEST_F(CommandsTest, NewProjectRefusesAnEmptyNameAndStaysOpen) {
    auto seen = Run(IDM_NEW_PROJECT, {uitest::NewProject(L"", L"d"), Box(L"Validation Error", IDOK),
                                      uitest::NewProject(L"  ", L"second try")});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, L"Please enter a project name.");
    EXPECT_EQ(seen[1].icon, StockIcon(IDI_WARNING));
    EXPECT_NE(seen[1].owner, window->hwnd);  // owned by the New Project window
    EXPECT_EQ(seen[2].windowClass, L"ProjectCreateDialogClass");
    // A name of blanks is accepted as it is.
    EXPECT_EQ(Store().GetCurrentProject()->name, L"  ");
    EXPECT_EQ(Store().GetCurrentProject()->description, L"second try");
}

TEST_F(CommandsTest, NewProjectCutsLongNamesAndDescriptions) {
    Run(IDM_NEW_PROJECT, {uitest::NewProject(std::wstring(300, L'n'), std::wstring(2000, L'd'))});
    EXPECT_EQ(Store().GetCurrentProject()->name, std::wstring(254, L'n'));
    EXPECT_EQ(Store().GetCurrentProject()->description, std::wstring(1022, L'd'));
}

TEST_F(CommandsTest, NewProjectAsksBeforeDroppingUnsavedChanges) {
    NewProject(L"First");
    AddSpace(L"Bed");
    ASSERT_TRUE(Store().HasUnsavedChanges());
    auto seen = Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Second", L""), Box(L"Unsaved Changes", IDCANCEL)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message,
              L"The project has unsaved changes.\n\nDo you want to save before creating a new project?");
    EXPECT_EQ(Store().GetCurrentProject()->name, L"First");
    EXPECT_EQ(Store().GetSpaces().size(), 1u);

    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Second", L""), Box(L"Unsaved Changes", IDNO)});
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Second");
    EXPECT_TRUE(Store().GetSpaces().empty());

    // Nothing unsaved: no question.
    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Third", L"")});
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Third");
}

TEST_F(CommandsTest, NewProjectWindowIsCentredOnTheMainWindow) {
    ShowWindow(window->hwnd, SW_RESTORE);
    SetWindowPos(window->hwnd, nullptr, 100, 50, 1000, 700, SWP_NOZORDER);
    auto seen = Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Centred", L"")});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].rect.left, 450);
    EXPECT_EQ(seen[0].rect.top, 260);
}

// The keys work in the multi-line description as in a dialog: Tab and Shift+Tab
// leave it for the next and the previous control, Enter presses Create.
TEST_F(CommandsTest, NewProjectKeysLeaveTheDescriptionAsInADialog) {
    const DWORD ui = GetCurrentThreadId();
    std::vector<int> focus;  // the focused control after each Tab
    std::thread keys([&] {
        auto focused = [ui] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            GetGUIThreadInfo(ui, &info);
            return info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
        };
        auto tab = [&](WORD modifier, int expected) {
            uitest::StrikeKey(VK_TAB, modifier);
            for (int i = 0; i < 100 && focused() != expected; ++i) Sleep(20);
            focus.push_back(focused());
        };
        HWND project = nullptr;
        for (int i = 0; i < 250 && !project; ++i, Sleep(20))
            project = uitest::FindThreadWindow(ui, L"ProjectCreateDialogClass", L"");
        Sleep(100);  // let it finish its set-up
        tab(0, uitest::kProjectDescriptionEditId);
        uitest::TypeText(L"Herbs");
        tab(0, IDOK);
        tab(VK_SHIFT, uitest::kProjectDescriptionEditId);
        tab(VK_SHIFT, uitest::kProjectNameEditId);
        uitest::TypeText(L"Kitchen");  // over the proposed name, which the Tab selected
        tab(0, uitest::kProjectDescriptionEditId);
        uitest::StrikeKey(VK_RETURN);
        for (int i = 0; i < 100 && IsWindow(project); ++i) Sleep(20);
        if (IsWindow(project)) PostMessageW(project, WM_CLOSE, 0, 0);  // Enter did not create
    });
    Command(IDM_NEW_PROJECT);
    keys.join();
    EXPECT_EQ(focus, (std::vector<int>{uitest::kProjectDescriptionEditId, IDOK, uitest::kProjectDescriptionEditId,
                                       uitest::kProjectNameEditId, uitest::kProjectDescriptionEditId}));
    ASSERT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Kitchen");
    EXPECT_EQ(Store().GetCurrentProject()->description, L"Herbs");
}

TEST_F(CommandsTest, NewProjectGivesTheKeyboardBackToTheMainWindow) {
    uitest::OtherWindow other;
    SetForegroundWindow(window->hwnd);
    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Created", L"")});
    uitest::ExpectKeyboardBack(*window, other, "after Create");
    Answer escape = uitest::NewProject(L"Not this", L"");
    escape.key = VK_ESCAPE;
    escape.keyTarget = uitest::kProjectNameEditId;
    SetForegroundWindow(window->hwnd);
    Run(IDM_NEW_PROJECT, {escape});
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Created");
    uitest::ExpectKeyboardBack(*window, other, "after Esc");
}

TEST_F(CommandsTest, NewProjectCloseBoxGivesTheKeyboardBackToTheMainWindow) {
    uitest::OtherWindow other;
    SetForegroundWindow(window->hwnd);
    Answer close = uitest::NewProject(L"Not this", L"");
    close.close = true;
    Run(IDM_NEW_PROJECT, {close});
    EXPECT_FALSE(Store().IsProjectOpen());
    uitest::ExpectKeyboardBack(*window, other, "after the close box");
}

// ---- Save As and save in place (commands 1005, 1004)

TEST_F(CommandsTest, SaveAsWritesTheFileThroughTheSaveDialog) {
    NewProject(L"Orchard");
    AddSpace(L"Row 1");
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Orchard* (Unsaved) - Tilvo");

    const std::wstring path = dir + L"orchard";  // the dialog adds the default extension
    auto seen = Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", path)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, window->hwnd);
    EXPECT_EQ(seen[0].fileTypes, (std::vector<std::wstring>{L"Tilvo Project Files (*.tvp)", L"All Files (*.*)"}));
    EXPECT_TRUE(Exists(path + L".tvp"));
    EXPECT_EQ(Store().GetCurrentProject()->filePath, path + L".tvp");
    EXPECT_FALSE(Store().IsNewProject());
    EXPECT_EQ(Title(), L"Orchard - Tilvo");
    EXPECT_EQ(window->statusText, L"Project saved successfully.");
}

TEST_F(CommandsTest, SaveAsOfAFiledProjectAsksForAPathAgain) {
    SavedProject(dir + L"first.tvp");
    window->SetStatusText(L"before");
    Run(IDM_SAVE_PROJECT_AS, {uitest::CancelFileDialog(L"Save As")});
    EXPECT_EQ(window->statusText, L"before");
    EXPECT_EQ(Store().GetCurrentProject()->filePath, dir + L"first.tvp");

    Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", dir + L"second.tvp")});
    EXPECT_TRUE(Exists(dir + L"second.tvp"));
    EXPECT_EQ(Store().GetCurrentProject()->filePath, dir + L"second.tvp");
}

TEST_F(CommandsTest, SaveAsFailureShowsTheStoreError) {
    NewProject(L"Nowhere");
    AddSpace(L"Bed");
    window->SetStatusText(L"before");
    auto seen = Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", dir + L"missing\\x.tvp"), Box(L"Error", IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, Store().GetLastError());
    EXPECT_FALSE(seen[1].message.empty());
    EXPECT_EQ(window->statusText, L"before");
    EXPECT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetSpaces().size(), 1u);
}

TEST_F(CommandsTest, SaveInPlaceWritesWithoutADialogAndDropsTheStar) {
    const std::wstring path = dir + L"farm.tvp";
    SavedProject(path, L"Farm");
    AddSpace(L"Field");
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Farm* - Tilvo");

    Run(IDM_SAVE_PROJECT, {});  // no dialog at all
    EXPECT_FALSE(Store().HasUnsavedChanges());
    EXPECT_EQ(Title(), L"Farm - Tilvo");
    EXPECT_EQ(window->statusText, L"Project saved successfully.");
    // The file at the same path now holds the space added since the last save.
    ProjectManager reader;
    ASSERT_TRUE(reader.OpenProject(path));
    EXPECT_EQ(reader.GetCurrentProject()->name, L"Farm");
    const std::vector<Space> spaces = reader.GetSpaces();
    ASSERT_EQ(spaces.size(), 1u);
    EXPECT_EQ(spaces[0].name, L"Field");
    std::vector<std::pair<LONG, LONG>> corners;
    for (const POINT& p : spaces[0].polygon) corners.emplace_back(p.x, p.y);
    EXPECT_EQ(corners, (std::vector<std::pair<LONG, LONG>>{{10, 10}, {200, 10}, {200, 200}, {10, 200}}));
}

TEST_F(CommandsTest, SaveOfANewProjectGoesThroughTheSaveDialog) {
    NewProject(L"Plot");
    window->SetStatusText(L"before");
    Run(IDM_SAVE_PROJECT, {uitest::CancelFileDialog(L"Save As")});
    EXPECT_TRUE(Store().IsNewProject());
    EXPECT_EQ(window->statusText, L"before");

    Run(IDM_SAVE_PROJECT, {FileDialog(L"Save As", dir + L"plot.tvp")});
    EXPECT_TRUE(Exists(dir + L"plot.tvp"));
    EXPECT_EQ(Title(), L"Plot - Tilvo");
    EXPECT_EQ(window->statusText, L"Project saved successfully.");
}

TEST_F(CommandsTest, FileCommandsWithoutAProjectDoNothing) {
    window->SetStatusText(L"before");
    Run(IDM_SAVE_PROJECT, {});
    Run(IDM_SAVE_PROJECT_AS, {});
    Run(IDM_CLOSE_PROJECT, {});
    EXPECT_EQ(window->statusText, L"before");
    EXPECT_EQ(Title(), L"Tilvo");
}

TEST_F(CommandsTest, SaveDialogAsksBeforeReplacingAFile) {
    const std::wstring path = dir + L"taken.tvp";
    SavedProject(path, L"First");
    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Second", L"")});
    // The replace question comes from the dialog (this Wine gives it no caption of its own).
    auto seen = Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", path), Box(L"Error", IDNO),
                                          uitest::CancelFileDialog(L"Save As")});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_NE(seen[1].message.find(L"already exists"), std::wstring::npos);
    EXPECT_EQ(seen[1].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(Store().IsNewProject());

    Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", path), Box(L"Error", IDYES)});
    EXPECT_FALSE(Store().IsNewProject());
    ProjectManager reader;
    ASSERT_TRUE(reader.OpenProject(path));
    EXPECT_EQ(reader.GetCurrentProject()->name, L"Second");
}

// ---- Open (command 1002)

TEST_F(CommandsTest, OpenDialogRefusesAFileThatDoesNotExist) {
    window->SetStatusText(L"before");
    // The refusal comes from the dialog (this Wine gives it an empty caption).
    auto seen = Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", dir + L"absent.tvp"), Box(L"", IDOK),
                                       uitest::CancelFileDialog(L"Open")});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_NE(seen[1].message.find(L"does not exist"), std::wstring::npos);
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(window->statusText, L"before");
}


TEST_F(CommandsTest, OpenLoadsTheChosenFile) {
    const std::wstring path = dir + L"saved.tvp";
    SavedProject(path, L"Saved One");
    Run(IDM_CLOSE_PROJECT, {});
    ASSERT_FALSE(Store().IsProjectOpen());

    auto seen = Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", path)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileTypes, (std::vector<std::wstring>{L"Tilvo Project Files (*.tvp)", L"All Files (*.*)"}));
    ASSERT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Saved One");
    EXPECT_EQ(Title(), L"Saved One - Tilvo");
    EXPECT_EQ(window->statusText, L"Project opened successfully.");
}

TEST_F(CommandsTest, OpenAsksBeforeDroppingUnsavedChangesAndCanSaveThemFirst) {
    const std::wstring path = dir + L"other.tvp";
    SavedProject(path, L"Other");
    NewProject(L"Current");
    AddSpace(L"Bed");
    const wchar_t* question = L"The project has unsaved changes.\n\nDo you want to save before opening another project?";

    auto seen = Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", path), Box(L"Unsaved Changes", IDCANCEL)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, question);
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Current");
    EXPECT_EQ(Store().GetSpaces().size(), 1u);

    Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", path), Box(L"Unsaved Changes", IDYES),
                           FileDialog(L"Save As", dir + L"current.tvp")});
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Other");
    ProjectManager reader;
    ASSERT_TRUE(reader.OpenProject(dir + L"current.tvp"));
    ASSERT_EQ(reader.GetSpaces().size(), 1u);
    EXPECT_EQ(reader.GetSpaces()[0].name, L"Bed");
}

TEST_F(CommandsTest, FailedOpenShowsThatNoProjectIsOpenAnyMore) {
    NewProject(L"Current");
    const std::wstring junk = dir + L"junk2.tvp";
    std::ofstream(std::filesystem::path(junk)) << "this is not a database, just some text of some length\n";
    Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", junk), Box(L"Error", IDOK)});
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(Title(), L"Tilvo");
    EXPECT_FALSE(MenuEnabled(IDM_SAVE_PROJECT));
}

TEST_F(CommandsTest, OpenCancelledOrFailedKeepsTheWindowAsItWas) {
    window->SetStatusText(L"before");
    Run(IDM_OPEN_PROJECT, {uitest::CancelFileDialog(L"Open")});
    EXPECT_EQ(window->statusText, L"before");

    const std::wstring junk = dir + L"junk.tvp";
    std::ofstream(std::filesystem::path(junk)) << "this is not a database, just some text of some length\n";
    auto seen = Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", junk), Box(L"Error", IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[1].message.empty());
    EXPECT_EQ(seen[1].message, Store().GetLastError());
    EXPECT_EQ(seen[1].icon, StockIcon(IDI_ERROR));
    EXPECT_EQ(window->statusText, L"before");
}

// ---- Close (command 1003) and the unsaved-changes question

TEST_F(CommandsTest, CloseAnsweredCancelKeepsTheProject) {
    NewProject(L"Keep");
    AddSpace(L"Bed");
    auto seen = Run(IDM_CLOSE_PROJECT, {Box(L"Unsaved Changes", IDCANCEL)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, kCloseQuestion);
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_QUESTION));
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(seen[0].owner, window->hwnd);
    EXPECT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetSpaces().size(), 1u);
}

TEST_F(CommandsTest, CloseAnsweredNoDiscardsAndClearsTheSelection) {
    NewProject(L"Drop");
    AddSpace(L"Bed");
    window->selectedSpace = 0;
    window->selectedPlant = 0;
    Run(IDM_CLOSE_PROJECT, {Box(L"Unsaved Changes", IDNO)});
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(window->selectedSpace, -1);
    EXPECT_EQ(window->selectedPlant, -1);
    EXPECT_EQ(Title(), L"Tilvo");
    EXPECT_EQ(window->statusText, L"Project closed.");
}

TEST_F(CommandsTest, CloseAnsweredYesSavesFirst) {
    NewProject(L"Save Me");
    AddSpace(L"Bed");
    Run(IDM_CLOSE_PROJECT, {Box(L"Unsaved Changes", IDYES), FileDialog(L"Save As", dir + L"saveme.tvp")});
    EXPECT_TRUE(Exists(dir + L"saveme.tvp"));
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(window->statusText, L"Project closed.");

    // The file holds what was unsaved.
    Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", dir + L"saveme.tvp")});
    ASSERT_EQ(Store().GetSpaces().size(), 1u);
    EXPECT_EQ(Store().GetSpaces()[0].name, L"Bed");
}

TEST_F(CommandsTest, CloseAnsweredYesThenCancellingTheSaveDialogKeepsTheProject) {
    NewProject(L"Stay");
    AddSpace(L"Bed");
    window->SetStatusText(L"before");
    Run(IDM_CLOSE_PROJECT, {Box(L"Unsaved Changes", IDYES), uitest::CancelFileDialog(L"Save As")});
    EXPECT_TRUE(Store().IsProjectOpen());
    EXPECT_TRUE(Store().HasUnsavedChanges());
    EXPECT_EQ(window->statusText, L"before");
}

TEST_F(CommandsTest, CloseAnsweredYesWithAFailedSaveKeepsTheProject) {
    NewProject(L"Unwritable");
    AddSpace(L"Bed");
    // A folder that does not exist: the dialog lets the path through, the store cannot create the file.
    auto seen = Run(IDM_CLOSE_PROJECT, {Box(L"Unsaved Changes", IDYES),
                                        FileDialog(L"Save As", dir + L"missing\\x.tvp"), Box(L"Error", IDOK)});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_FALSE(seen[2].message.empty());
    EXPECT_EQ(seen[2].message, Store().GetLastError());
    EXPECT_EQ(seen[2].icon, StockIcon(IDI_ERROR));
    EXPECT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetSpaces().size(), 1u);
}

TEST_F(CommandsTest, CloseWithoutChangesAsksNothing) {
    SavedProject(dir + L"clean.tvp");
    Run(IDM_CLOSE_PROJECT, {});
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(window->statusText, L"Project closed.");
}

// A question that cannot be asked is no answer: the work stays. The box fails
// here because its owner handle is no window any more.
TEST_F(CommandsTest, AnUnsavedChangesBoxThatCannotBeShownKeepsTheWork) {
    NewProject(L"Kept");
    AddSpace(L"Bed");
    HWND dead = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dead, nullptr);
    DestroyWindow(dead);
    // No box: Windows answers 0, Wine the failed dialog's -1.
    ASSERT_LE(MessageBoxW(dead, L"probe", L"Unsaved Changes", MB_YESNOCANCEL), 0);
    const HWND live = window->hwnd;
    window->hwnd = dead;
    {
        ModalAnswerer answerer({});
        window->OnCommand(IDM_CLOSE_PROJECT);
        window->OnCommand(IDM_EXIT);
        window->OnClose();
        EXPECT_TRUE(answerer.AllAnsweredAndNothingElse()) << answerer.Describe();
    }
    window->hwnd = live;
    EXPECT_FALSE(DrainQuit());
    ASSERT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Kept");
    EXPECT_TRUE(Store().HasUnsavedChanges());
    EXPECT_EQ(Store().GetSpaces().size(), 1u);
    EXPECT_TRUE(IsWindow(live));
}

// ---- Import and export JSON (commands 1006, 1007)

TEST_F(CommandsTest, ExportThenImportRoundTripsTheProject) {
    NewProject(L"Exported");
    const int32_t bed = AddSpace(L"Bed");
    AddPlant(bed, L"Kale");
    const std::wstring json = dir + L"exported.json";
    auto seen = Run(IDM_EXPORT_JSON, {FileDialog(L"Save As", dir + L"exported")});  // default extension "json"
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileTypes, (std::vector<std::wstring>{L"JSON Files (*.json)", L"All Files (*.*)"}));
    EXPECT_TRUE(Exists(json));
    EXPECT_EQ(window->statusText, L"Project exported to JSON successfully.");

    Run(IDM_CLOSE_PROJECT, {Box(L"Unsaved Changes", IDNO)});
    seen = Run(IDM_IMPORT_JSON, {FileDialog(L"Open", json)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileTypes, (std::vector<std::wstring>{L"JSON Files (*.json)", L"All Files (*.*)"}));
    ASSERT_TRUE(Store().IsProjectOpen());
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Exported");
    ASSERT_EQ(Store().GetSpaces().size(), 1u);
    ASSERT_EQ(Store().GetSpaces()[0].plants.size(), 1u);
    EXPECT_EQ(Store().GetSpaces()[0].plants[0].name, L"Kale");
    EXPECT_EQ(window->statusText, L"Project imported from JSON successfully.");
    EXPECT_EQ(Title(), L"Exported* (Unsaved) - Tilvo");
}

TEST_F(CommandsTest, ImportAsksAboutUnsavedChangesOnlyAfterAFileIsChosen) {
    NewProject(L"Current");
    AddSpace(L"Bed");
    Run(IDM_EXPORT_JSON, {FileDialog(L"Save As", dir + L"other.json")});

    Run(IDM_IMPORT_JSON, {uitest::CancelFileDialog(L"Open")});  // no question
    auto seen = Run(IDM_IMPORT_JSON, {FileDialog(L"Open", dir + L"other.json"), Box(L"Unsaved Changes", IDCANCEL)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, kImportQuestion);
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Current");
    EXPECT_EQ(Store().GetSpaces().size(), 1u);

    Run(IDM_IMPORT_JSON, {FileDialog(L"Open", dir + L"other.json"), Box(L"Unsaved Changes", IDNO)});
    EXPECT_EQ(Store().GetCurrentProject()->name, L"Current");
    EXPECT_EQ(window->statusText, L"Project imported from JSON successfully.");
}

TEST_F(CommandsTest, ImportAnsweredYesSavesTheOpenProjectFirst) {
    NewProject(L"Exchange");
    Run(IDM_EXPORT_JSON, {FileDialog(L"Save As", dir + L"exchange.json")});
    AddSpace(L"Added after the export");
    Run(IDM_IMPORT_JSON, {FileDialog(L"Open", dir + L"exchange.json"), Box(L"Unsaved Changes", IDYES),
                          FileDialog(L"Save As", dir + L"before-import.tvp")});
    EXPECT_TRUE(Store().GetSpaces().empty());  // the imported project
    EXPECT_EQ(window->statusText, L"Project imported from JSON successfully.");

    ProjectManager reader;
    ASSERT_TRUE(reader.OpenProject(dir + L"before-import.tvp"));
    ASSERT_EQ(reader.GetSpaces().size(), 1u);
    EXPECT_EQ(reader.GetSpaces()[0].name, L"Added after the export");
}

TEST_F(CommandsTest, ImportFailureShowsTheStoreErrorUnderImportError) {
    NewProject(L"Before");
    const std::wstring bad = dir + L"bad.json";
    std::ofstream(std::filesystem::path(bad)) << "{\"metadata\": {}, \"spaces\": [], \"tasks\": []}";
    window->SetStatusText(L"before");
    auto seen = Run(IDM_IMPORT_JSON, {FileDialog(L"Open", bad), Box(L"Import Error", IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, Store().GetLastError());
    EXPECT_FALSE(seen[1].message.empty());
    EXPECT_EQ(seen[1].icon, StockIcon(IDI_ERROR));
    EXPECT_EQ(window->statusText, L"before");
    // The project that was open has been closed; the window says so.
    EXPECT_FALSE(Store().IsProjectOpen());
    EXPECT_EQ(Title(), L"Tilvo");
}

TEST_F(CommandsTest, ExportWithoutAProjectOrFailingIsReported) {
    auto seen = Run(IDM_EXPORT_JSON, {Box(L"No Project", IDOK)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, L"No project is currently open to export.");
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_WARNING));

    NewProject();
    window->SetStatusText(L"before");
    // A folder that does not exist: the dialog lets it through, the write fails.
    seen = Run(IDM_EXPORT_JSON, {FileDialog(L"Save As", dir + L"missing\\x.json"), Box(L"Export Error", IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, Store().GetLastError());
    EXPECT_FALSE(seen[1].message.empty());
    EXPECT_EQ(seen[1].icon, StockIcon(IDI_ERROR));
    EXPECT_EQ(window->statusText, L"before");
}

// ---- Exit (command 1010)

TEST_F(CommandsTest, ExitWithoutChangesConfirmsFirst) {
    auto seen = Run(IDM_EXIT, {Box(L"Confirm Exit", IDNO)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, L"Are you sure you want to exit?");
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_QUESTION));
    EXPECT_FALSE(DrainQuit());

    Run(IDM_EXIT, {Box(L"Confirm Exit", IDYES)});
    EXPECT_TRUE(DrainQuit());
}

TEST_F(CommandsTest, ExitWithUnsavedChangesAsksOnlyTheSaveQuestion) {
    NewProject(L"Leaving");
    AddSpace(L"Bed");
    auto seen = Run(IDM_EXIT, {Box(L"Unsaved Changes", IDCANCEL)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, kExitQuestion);
    EXPECT_FALSE(DrainQuit());

    Run(IDM_EXIT, {Box(L"Unsaved Changes", IDYES), uitest::CancelFileDialog(L"Save As")});
    EXPECT_FALSE(DrainQuit());

    Run(IDM_EXIT, {Box(L"Unsaved Changes", IDNO)});
    EXPECT_TRUE(DrainQuit());
    EXPECT_TRUE(Store().HasUnsavedChanges());

    Run(IDM_EXIT, {Box(L"Unsaved Changes", IDYES), FileDialog(L"Save As", dir + L"leaving.tvp")});
    EXPECT_TRUE(DrainQuit());
    EXPECT_TRUE(Exists(dir + L"leaving.tvp"));
}

// ---- Spaces (commands 1020, 1021, 1022)

TEST_F(CommandsTest, NewSpaceAsksForANameAndStartsDrawing) {
    auto seen = Run(IDM_NEW_SPACE, {Box(L"No Project", IDOK)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, L"Please open a project first.");
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_WARNING));

    NewProject();
    seen = Run(IDM_NEW_SPACE, {Input(L"Enter Space Name", L"")});  // empty counts as cancelled
    EXPECT_EQ(seen[0].texts[uitest::kInputBoxEditId], L"");
    EXPECT_FALSE(window->drawingSpace);
    EXPECT_EQ(window->statusText, L"New space creation cancelled.");

    Run(IDM_NEW_SPACE, {Input(L"Enter Space Name", L"Herbs", IDCANCEL)});
    EXPECT_FALSE(window->drawingSpace);
    EXPECT_EQ(window->statusText, L"New space creation cancelled.");

    window->newSpacePoints = {{1, 2}};
    Run(IDM_NEW_SPACE, {Input(L"Enter Space Name", L" Herbs ")});
    EXPECT_TRUE(window->drawingSpace);
    EXPECT_EQ(window->newSpaceName, L" Herbs ");  // not trimmed
    EXPECT_TRUE(window->newSpacePoints.empty());
    EXPECT_EQ(window->statusText, L"Creating new space. Left-click to add points, right-click to finish.");
}

TEST_F(CommandsTest, RenameSpaceUpdatesTheSelectedSpace) {
    NewProject();
    AddSpace(L"Old");
    AddSpace(L"Other");
    Run(IDM_RENAME_SPACE, {});
    EXPECT_EQ(window->statusText, L"Please select a space to rename.");

    window->selectedSpace = 0;
    auto seen = Run(IDM_RENAME_SPACE, {Input(L"Rename Space", L"New Name")});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].texts[uitest::kInputBoxEditId], L"Old");
    EXPECT_EQ(seen[0].owner, window->hwnd);
    EXPECT_EQ(Store().GetSpaces()[0].name, L"New Name");
    EXPECT_EQ(Store().GetSpaces()[1].name, L"Other");
    EXPECT_EQ(window->statusText, L"Space renamed successfully.");
    EXPECT_EQ(Title(), L"Garden* (Unsaved) - Tilvo");

    Run(IDM_RENAME_SPACE, {Input(L"Rename Space", L"")});
    EXPECT_EQ(Store().GetSpaces()[0].name, L"New Name");
    EXPECT_EQ(window->statusText, L"Rename operation cancelled.");
    Run(IDM_RENAME_SPACE, {Input(L"Rename Space", L"Nope", IDCANCEL)});
    EXPECT_EQ(Store().GetSpaces()[0].name, L"New Name");
    EXPECT_EQ(window->statusText, L"Rename operation cancelled.");
}

TEST_F(CommandsTest, DeleteSpaceConfirmsAndKeepsThePlantIndex) {
    NewProject();
    AddSpace(L"Keep");
    const int32_t goneId = AddSpace(L"Gone");
    AddPlant(goneId, L"Bean");
    Run(IDM_DELETE_SPACE, {});
    EXPECT_EQ(window->statusText, L"Please select a space to delete.");

    window->selectedSpace = 1;
    window->selectedPlant = 0;
    auto seen = Run(IDM_DELETE_SPACE, {Box(L"Confirm Delete", IDNO)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, L"Are you sure you want to delete the space 'Gone'?\n\nThis action cannot be undone.");
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(Store().GetSpaces().size(), 2u);
    EXPECT_EQ(window->statusText, L"Delete operation cancelled.");

    Run(IDM_DELETE_SPACE, {Box(L"Confirm Delete", IDYES)});
    ASSERT_EQ(Store().GetSpaces().size(), 1u);
    EXPECT_EQ(Store().GetSpaces()[0].name, L"Keep");
    EXPECT_TRUE(Store().GetPlantsInSpace(goneId).empty());
    EXPECT_EQ(window->selectedSpace, -1);
    EXPECT_EQ(window->selectedPlant, 0);
    EXPECT_EQ(window->statusText, L"Space deleted successfully.");
}

// Indices into the old project's lists mean nothing in the new one.
TEST_F(CommandsTest, ReplacingTheProjectClearsTheSelection) {
    NewProject(L"Big");
    AddPlant(AddSpace(L"A"), L"Bean");
    AddSpace(L"B");
    Run(IDM_EXPORT_JSON, {FileDialog(L"Save As", dir + L"big.json")});
    Run(IDM_SAVE_PROJECT_AS, {FileDialog(L"Save As", dir + L"big.tvp")});
    const auto select = [&] {
        window->selectedSpace = 1;
        window->selectedPlant = 0;
    };
    const auto expectCleared = [&](const char* after) {
        EXPECT_EQ(window->selectedSpace, -1) << after;
        EXPECT_EQ(window->selectedPlant, -1) << after;
    };

    select();
    Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", dir + L"big.tvp")});
    expectCleared("open");
    select();
    Run(IDM_IMPORT_JSON, {FileDialog(L"Open", dir + L"big.json")});
    expectCleared("import");
    select();
    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Small", L""), Box(L"Unsaved Changes", IDNO)});
    expectCleared("new");
    EXPECT_FALSE(MenuEnabled(IDM_RENAME_PLANT));
    EXPECT_FALSE(MenuEnabled(IDM_DELETE_PLANT));

    const std::wstring junk = dir + L"junk.tvp";
    std::ofstream(std::filesystem::path(junk)) << "this is not a database, just some text of some length\n";
    select();
    Run(IDM_OPEN_PROJECT, {FileDialog(L"Open", junk), Box(L"Error", IDOK)});
    expectCleared("failed open");
    const std::wstring bad = dir + L"bad.json";
    std::ofstream(std::filesystem::path(bad)) << "{\"metadata\": {}, \"spaces\": [], \"tasks\": []}";
    Run(IDM_NEW_PROJECT, {uitest::NewProject(L"Last", L"")});
    select();
    Run(IDM_IMPORT_JSON, {FileDialog(L"Open", bad), Box(L"Import Error", IDOK)});
    expectCleared("failed import");
}

// ---- Plants (commands 1026, 1027, 1028)

class PlantCommandsTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        NewProject();
        spaceId = AddSpace(L"Bed");
        plantId = AddPlant(spaceId, L"Tomato");
        window->selectedSpace = 0;
        window->selectedPlant = 0;
    }
    std::wstring PlantName() { return Store().GetPlantsInSpace(spaceId).at(0).name; }
    std::wstring RenameTitle() { return L"Rename Plant: Tomato #" + std::to_wstring(plantId); }
    int32_t spaceId = -1, plantId = -1;
};

TEST_F(PlantCommandsTest, RenamePlantTrimsTheName) {
    auto seen = Run(IDM_RENAME_PLANT, {Input(RenameTitle(), L" \t Cherry Tomato \r\n")});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].texts[uitest::kInputBoxEditId], L"Tomato");
    EXPECT_EQ(PlantName(), L"Cherry Tomato");
    EXPECT_EQ(window->statusText, L"Plant renamed successfully.");
}

TEST_F(PlantCommandsTest, RenamePlantRefusesBlankAndOverlongNames) {
    window->SetStatusText(L"before");
    auto seen = Run(IDM_RENAME_PLANT, {Input(RenameTitle(), L" \t \t "), Box(L"Invalid Name", IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, L"Plant name cannot be empty.");
    EXPECT_EQ(seen[1].icon, StockIcon(IDI_WARNING));

    seen = Run(IDM_RENAME_PLANT, {Input(RenameTitle(), std::wstring(256, L'x')), Box(L"Invalid Name", IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, L"Plant name is too long (maximum 255 characters).");
    EXPECT_EQ(PlantName(), L"Tomato");
    EXPECT_EQ(window->statusText, L"before");

    // 255 characters after trimming are fine, whatever the blanks around them.
    const std::wstring longest(255, L'y');
    Run(IDM_RENAME_PLANT, {Input(RenameTitle(), L"  " + longest + L"  ")});
    EXPECT_EQ(PlantName(), longest);
}

TEST_F(PlantCommandsTest, RenamePlantCancelledOrWithoutSelectionChangesNothing) {
    window->SetStatusText(L"before");
    Run(IDM_RENAME_PLANT, {Input(RenameTitle(), L"Other", IDCANCEL)});
    Run(IDM_RENAME_PLANT, {Input(RenameTitle(), L"")});
    EXPECT_EQ(PlantName(), L"Tomato");
    EXPECT_EQ(window->statusText, L"before");

    window->selectedPlant = 5;  // stale: nothing at all
    Run(IDM_RENAME_PLANT, {});
    Run(IDM_DELETE_PLANT, {});
    EXPECT_EQ(window->statusText, L"before");

    window->selectedPlant = -1;
    Run(IDM_RENAME_PLANT, {});
    EXPECT_EQ(window->statusText, L"Please select a plant to rename.");
    Run(IDM_DELETE_PLANT, {});
    EXPECT_EQ(window->statusText, L"Please select a plant to delete.");
}

TEST_F(PlantCommandsTest, DeletingAPlantGreysThePlantCommandsAtOnce) {
    window->UpdateMenuState();
    ASSERT_TRUE(MenuEnabled(IDM_RENAME_PLANT));
    ASSERT_TRUE(MenuEnabled(IDM_DELETE_PLANT));
    Run(IDM_DELETE_PLANT, {Box(L"Confirm Plant Deletion", IDYES)});
    EXPECT_FALSE(MenuEnabled(IDM_RENAME_PLANT));
    EXPECT_FALSE(MenuEnabled(IDM_DELETE_PLANT));
    EXPECT_TRUE(MenuEnabled(IDM_NEW_PLANT));  // the space is still selected
}

TEST_F(PlantCommandsTest, DeletePlantConfirmsAndClearsThePlantIndex) {
    window->SetStatusText(L"before");
    const std::wstring question = L"Are you sure you want to delete the plant \"Tomato #" + std::to_wstring(plantId) +
                                  L"\"?";
    auto seen = Run(IDM_DELETE_PLANT, {Box(L"Confirm Plant Deletion", IDNO)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, question);
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_QUESTION));
    EXPECT_EQ(Store().GetPlantsInSpace(spaceId).size(), 1u);
    EXPECT_EQ(window->statusText, L"before");

    Run(IDM_DELETE_PLANT, {Box(L"Confirm Plant Deletion", IDYES)});
    EXPECT_TRUE(Store().GetPlantsInSpace(spaceId).empty());
    EXPECT_EQ(window->selectedPlant, -1);
    EXPECT_EQ(window->selectedSpace, 0);
    EXPECT_EQ(window->statusText, L"Plant deleted successfully.");
}

TEST_F(PlantCommandsTest, NewPlantStartsPlacingInTheSelectedSpace) {
    Run(IDM_NEW_PLANT, {});
    EXPECT_TRUE(window->placingPlant);
    EXPECT_EQ(window->statusText, L"Click inside the selected space to place the plant. Right-click to cancel.");

    window->placingPlant = false;
    window->selectedSpace = -1;
    Run(IDM_NEW_PLANT, {});
    EXPECT_FALSE(window->placingPlant);
    EXPECT_EQ(window->statusText, L"Please select a space to add a plant to.");
}

// ---- The window's close request, answered Yes: the same save in place

TEST_F(CommandsTest, WindowCloseAnsweredYesSavesAndCloses) {
    NewProject(L"Closing");
    AddSpace(L"Bed");
    const HWND hwnd = window->hwnd;
    ModalAnswerer answerer({Box(L"Unsaved Changes", IDYES), FileDialog(L"Save As", dir + L"closing.tvp")});
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(answerer.AllAnsweredAndNothingElse()) << answerer.Describe();  // no "Confirm Exit"
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(DrainQuit());
    EXPECT_TRUE(Exists(dir + L"closing.tvp"));
}

TEST_F(CommandsTest, WindowCloseAnsweredYesStaysOpenWhenTheSaveDoesNotHappen) {
    NewProject(L"Staying");
    AddSpace(L"Bed");
    {
        ModalAnswerer answerer({Box(L"Unsaved Changes", IDYES), uitest::CancelFileDialog(L"Save As")});
        SendMessageW(window->hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(answerer.AllAnsweredAndNothingElse()) << answerer.Describe();
    }
    EXPECT_TRUE(IsWindow(window->hwnd));
    {
        ModalAnswerer answerer({Box(L"Unsaved Changes", IDYES), FileDialog(L"Save As", dir + L"missing\\x.tvp"),
                                Box(L"Error", IDOK)});
        SendMessageW(window->hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(answerer.AllAnsweredAndNothingElse()) << answerer.Describe();
    }
    EXPECT_TRUE(IsWindow(window->hwnd));
    EXPECT_FALSE(DrainQuit());
    EXPECT_TRUE(Store().HasUnsavedChanges());
}

TEST_F(CommandsTest, WindowCloseOfAFiledProjectSavesWithoutADialog) {
    const std::wstring path = dir + L"filed.tvp";
    SavedProject(path, L"Filed");
    AddSpace(L"Late Bed");
    const HWND hwnd = window->hwnd;
    ModalAnswerer answerer({Box(L"Unsaved Changes", IDYES)});
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(answerer.AllAnsweredAndNothingElse()) << answerer.Describe();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(DrainQuit());

    ProjectManager reader;
    ASSERT_TRUE(reader.OpenProject(path));
    ASSERT_EQ(reader.GetSpaces().size(), 1u);
    EXPECT_EQ(reader.GetSpaces()[0].name, L"Late Bed");
}

// ---- Status strip and window title

TEST_F(CommandsTest, StatusTextRepaintsOnlyTheStatusStrip) {
    uitest::PumpPending();
    ValidateRect(window->hwnd, nullptr);
    window->SetStatusRightText(L"v9");
    RECT dirty{0, 0, 0, 0};
    EXPECT_FALSE(GetUpdateRect(window->hwnd, &dirty, FALSE));
    EXPECT_EQ(window->statusRightText, L"v9");

    window->SetStatusText(L"Hello");
    EXPECT_EQ(window->statusText, L"Hello");
    const RECT client = live->Client();
    ASSERT_TRUE(GetUpdateRect(window->hwnd, &dirty, FALSE));
    EXPECT_EQ(dirty.left, 0);
    EXPECT_EQ(dirty.top, client.bottom - 22);
    EXPECT_EQ(dirty.right, client.right);
    EXPECT_EQ(dirty.bottom, client.bottom);
}

TEST_F(CommandsTest, TitleUpdateAlsoRepaintsTheDrawnTitleStrip) {
    ASSERT_TRUE(Store().CreateNewProject(L"Meadow", L""));
    uitest::PumpPending();
    ValidateRect(window->hwnd, nullptr);
    window->UpdateTitle();
    RECT dirty{0, 0, 0, 0};
    ASSERT_TRUE(GetUpdateRect(window->hwnd, &dirty, FALSE));
    const RECT client = live->Client();
    EXPECT_EQ(dirty.left, 0);
    EXPECT_EQ(dirty.top, 0);
    EXPECT_EQ(dirty.right, client.right);
    EXPECT_GE(dirty.bottom, 32);
}

TEST_F(CommandsTest, TitleShowsTheNameWithItsUnsavedMarks) {
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Tilvo");
    ASSERT_TRUE(Store().CreateNewProject(L"Meadow", L""));
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Meadow (Unsaved) - Tilvo");
    AddSpace(L"Strip");
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Meadow* (Unsaved) - Tilvo");
    ASSERT_TRUE(Store().SaveProjectAs(dir + L"meadow.tvp"));
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Meadow - Tilvo");
    AddSpace(L"Strip 2");
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Meadow* - Tilvo");
    Store().CloseProject();
    window->UpdateTitle();
    EXPECT_EQ(Title(), L"Tilvo");
}

// ---- Commands whose windows come with other features: their preconditions

TEST_F(CommandsTest, ViewAndPrintCommandsNeedAnOpenProject) {
    for (int id : {IDM_PRINT, IDM_VIEW_PLANTS, IDM_VIEW_TASKS}) {
        auto seen = Run(id, {Box(L"No Project", IDOK)});
        ASSERT_EQ(seen.size(), 1u) << id;
        EXPECT_EQ(seen[0].message, L"Please open a project first.") << id;
        EXPECT_EQ(seen[0].icon, StockIcon(IDI_WARNING)) << id;
    }
    auto seen = Run(IDM_EXPORT_SPACES, {Box(L"No Spaces", IDOK)});
    EXPECT_EQ(seen.at(0).message, L"Please open a project with spaces first.");
    Run(IDM_ADD_TASK, {});
    EXPECT_EQ(window->statusText, L"Please open a project first.");

    NewProject();
    seen = Run(IDM_EXPORT_SPACES, {Box(L"No Spaces", IDOK)});  // open, but no spaces yet
    EXPECT_EQ(seen.at(0).icon, StockIcon(IDI_WARNING));
}

TEST_F(CommandsTest, PrintWithoutAPrintManagerIsAnError) {
    NewProject();
    // As when making the print manager failed at start-up.
    delete window->printManager;
    window->printManager = nullptr;
    window->SetStatusText(L"before");
    auto seen = Run(IDM_PRINT, {Box(L"Print Error", IDOK)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, L"Print manager is not available.");
    EXPECT_EQ(seen[0].icon, StockIcon(IDI_ERROR));
    EXPECT_EQ(window->statusText, L"before");
}

TEST_F(CommandsTest, UnlistedIdsDoNothing) {
    NewProject();
    window->SetStatusText(L"before");
    for (int id : {1000, 1009, 1011, 1019, 1024, 1029, 1030, 1033, 1039, 1041, 1043})
        Run(id, {});
    EXPECT_EQ(window->statusText, L"before");
    EXPECT_TRUE(Store().IsProjectOpen());
}

}  // namespace
