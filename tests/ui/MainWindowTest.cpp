// The main window's life: creation, the borderless frame's size messages, the
// routing of inline handlers, and the close question with its three answers.
#include "UiTestSupport.h"

#include "PrintManager.h"

using namespace uitest;

namespace {

RECT WorkArea(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

}  // namespace

TEST(MainWindowStart, OpensMaximisedOverTheWorkAreaWithItsTitleAndStatus) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    EXPECT_TRUE(w->isMaximized);
    EXPECT_TRUE(IsZoomed(w.hwnd()));
    EXPECT_EQ(WindowText(w.hwnd()), L"Tilvo");
    EXPECT_EQ(ClassOf(w.hwnd()), L"TilvoMainWindow");
    EXPECT_EQ(w->statusText, L"Ready. Click File > New Space to begin. Mouse wheel to pan.");
    EXPECT_EQ(GetWindowLongW(w.hwnd(), GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);

    RECT window, work = WorkArea(w.hwnd());
    GetWindowRect(w.hwnd(), &window);
    EXPECT_EQ(window.left, work.left);
    EXPECT_EQ(window.top, work.top);
    EXPECT_EQ(window.right, work.right);
    EXPECT_EQ(window.bottom, work.bottom);
    // The client area is the whole window.
    const RECT client = w.Client();
    EXPECT_EQ(client.right, window.right - window.left);
    EXPECT_EQ(client.bottom, window.bottom - window.top);
}

TEST(MainWindowStart, LoadsTheAcceleratorTableAndCreatesThePrintManager) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    EXPECT_NE(w->accelerators, nullptr);
    ASSERT_NE(w->printManager, nullptr);
    EXPECT_EQ(w->printManager->owner, &*w);
    EXPECT_EQ(w->printManager->projectManager, &w->projectManager);
    EXPECT_EQ(w->menuModel.size(), 5u);
}

TEST(MainWindowStart, CreateFailsWhileTheClassIsRegistered) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MainWindow second(Module());
    EXPECT_FALSE(second.Create(SW_SHOWNORMAL));
    EXPECT_EQ(second.hwnd, nullptr);
}

TEST(MainWindowFrame, NonClientSizeIsZeroAndMinMaxFollowsTheWorkArea) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    RECT proposed[3] = {{10, 20, 300, 400}, {}, {}};
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed[0])), 0);
    EXPECT_EQ(proposed[0].left, 10);
    EXPECT_EQ(proposed[0].bottom, 400);

    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{12345, 6789};
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    const RECT work = WorkArea(w.hwnd());
    EXPECT_EQ(info.ptMaxSize.x, work.right - work.left);
    EXPECT_EQ(info.ptMaxSize.y, work.bottom - work.top);
    EXPECT_EQ(info.ptMaxPosition.x, work.left);
    EXPECT_EQ(info.ptMaxPosition.y, work.top);
    EXPECT_EQ(info.ptMinTrackSize.x, 400);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    EXPECT_EQ(info.ptMaxTrackSize.x, 12345);  // kept as the platform gave it
}

// ---- The close question

TEST(MainWindowClose, WithoutAProjectAsksOnlyToConfirmAndNoKeepsTheWindow) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    MessageBoxAnswer answer(L"Confirm Exit", IDNO);
    SendMessageW(w.hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Box().text, L"Are you sure you want to exit?");
    EXPECT_TRUE(answer.Box().hadYes && answer.Box().hadNo && !answer.Box().hadCancel);
    EXPECT_TRUE(w.IsOpen());
}

TEST(MainWindowClose, ConfirmedExitDestroysTheWindowAndPostsQuit) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const HWND hwnd = w.hwnd();
    MessageBoxAnswer answer(L"Confirm Exit", IDYES);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(w->hwnd, nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(MainWindowClose, UnsavedChangesCancelKeepsEverything) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ASSERT_TRUE(w->projectManager.CreateNewProject(L"Garden", L""));
    Space bed;
    bed.name = L"Bed";
    bed.polygon = {{0, 0}, {100, 0}, {100, 100}};
    ASSERT_NE(w->projectManager.CreateSpace(bed), -1);
    ASSERT_TRUE(w->projectManager.HasUnsavedChanges());

    MessageBoxAnswer answer(L"Unsaved Changes", IDCANCEL);
    SendMessageW(w.hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Box().text, L"The project has unsaved changes.\n\nDo you want to save before exiting?");
    EXPECT_TRUE(answer.Box().hadYes && answer.Box().hadNo && answer.Box().hadCancel);
    EXPECT_TRUE(w.IsOpen());
    EXPECT_TRUE(w->projectManager.IsProjectOpen());
    EXPECT_EQ(w->projectManager.GetSpaces().size(), 1u);
}

TEST(MainWindowClose, UnsavedChangesNoClosesWithoutTheExitConfirmation) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ASSERT_TRUE(w->projectManager.CreateNewProject(L"Garden", L""));
    Space bed;
    bed.polygon = {{0, 0}, {100, 0}, {100, 100}};
    ASSERT_NE(w->projectManager.CreateSpace(bed), -1);
    const HWND hwnd = w.hwnd();

    MessageBoxAnswer unsaved(L"Unsaved Changes", IDNO);
    MessageBoxAnswer confirm(L"Confirm Exit", IDNO, 1500);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(unsaved.Answered());
    EXPECT_FALSE(confirm.Answered());
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(MainWindowClose, CloseCaptionButtonAsksTheSameQuestion) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    w.Mouse(WM_MOUSEMOVE, W - 10, 10);
    w.Mouse(WM_LBUTTONDOWN, W - 10, 10);
    EXPECT_EQ(w->pressedCaption, 3);
    MessageBoxAnswer answer(L"Confirm Exit", IDNO);
    w.Mouse(WM_LBUTTONUP, W - 10, 10);
    EXPECT_EQ(w->pressedCaption, 0);
    EXPECT_TRUE(PumpUntil([&] { return answer.Seen(); }));
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Box().text, L"Are you sure you want to exit?");
    EXPECT_TRUE(w.IsOpen());
}
