// The main window's life: creation, the borderless frame's size messages, the
// routing of inline handlers, and the close question with its three answers.
#include "UiTestSupport.h"

#include "MessageLoop.h"
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

// ---- Accelerators

namespace {

std::vector<WPARAM> gCommands, gKeys;
WNDPROC gOriginalProc = nullptr;

// Records commands and key presses without running them.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        gCommands.push_back(wParam);
        return 0;
    }
    if (message == WM_KEYDOWN) {
        gKeys.push_back(wParam);
        return 0;
    }
    return CallWindowProcW(gOriginalProc, hwnd, message, wParam, lParam);
}

void SetControlKey(bool down) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = down ? 0x80 : 0;
    state[VK_LCONTROL] = state[VK_CONTROL];
    state[VK_SHIFT] = state[VK_MENU] = 0;
    SetKeyboardState(state);
}

// Posts the keys, then runs the program's message loop until a quit with `code`.
int RunKeys(HWND hwnd, HACCEL accelerators, std::initializer_list<WPARAM> keys, int code) {
    for (WPARAM key : keys) PostMessageW(hwnd, WM_KEYDOWN, key, 1);
    PostQuitMessage(code);
    return RunMessageLoop(hwnd, accelerators);
}

}  // namespace

TEST(MainWindowAccelerators, NineKeysBecomeCommandsBeforeTheKeyHandler) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ASSERT_NE(w->accelerators, nullptr);
    gCommands.clear();
    gKeys.clear();
    gOriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));

    SetControlKey(true);
    EXPECT_EQ(RunKeys(w.hwnd(), w->accelerators, {'N', 'O', 'S', 'P', 'X', 'R', 'T', VK_LEFT, 'A', VK_F2}, 5), 5);
    SetControlKey(false);
    EXPECT_EQ(RunKeys(w.hwnd(), w->accelerators, {VK_F2, VK_DELETE, 'N', 'S', VK_DOWN}, 6), 6);
    SetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOriginalProc));

    const std::vector<WPARAM> expected = {
        MAKEWPARAM(1001, 1), MAKEWPARAM(1002, 1), MAKEWPARAM(1004, 1), MAKEWPARAM(1008, 1), MAKEWPARAM(1010, 1),
        MAKEWPARAM(1021, 1), MAKEWPARAM(1031, 1), MAKEWPARAM(1032, 1), MAKEWPARAM(1022, 1)};
    EXPECT_EQ(gCommands, expected);
    // Only keys outside the table reach the key handler: Ctrl+Left, Ctrl+A, Ctrl+F2,
    // then N, S and Down without Ctrl.
    EXPECT_EQ(gKeys, (std::vector<WPARAM>{VK_LEFT, 'A', VK_F2, 'N', 'S', VK_DOWN}));
}

TEST(MainWindowAccelerators, WithoutATableEveryKeyReachesTheKeyHandler) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    gCommands.clear();
    gKeys.clear();
    gOriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
    SetControlKey(false);
    EXPECT_EQ(RunKeys(w.hwnd(), nullptr, {VK_DELETE, VK_F2}, 0), 0);
    SetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOriginalProc));
    EXPECT_TRUE(gCommands.empty());
    EXPECT_EQ(gKeys, (std::vector<WPARAM>{VK_DELETE, VK_F2}));
}

// ---- Inline handlers of the window procedure

namespace {

bool HasUpdate(HWND hwnd, RECT* out = nullptr) {
    RECT r{0, 0, 0, 0};
    const BOOL any = GetUpdateRect(hwnd, &r, FALSE);
    if (out) *out = r;
    return any != FALSE;
}

void Validate(HWND hwnd) {
    ValidateRect(hwnd, nullptr);
}

}  // namespace

TEST(MainWindowHandlers, StatusTextRepaintsOnlyTheStatusStripAndTitleFollowsTheProject) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const RECT client = w.Client();
    Validate(w.hwnd());
    w->SetStatusText(L"Hello");
    EXPECT_EQ(w->statusText, L"Hello");
    RECT update;
    ASSERT_TRUE(HasUpdate(w.hwnd(), &update));
    EXPECT_EQ(update.top, client.bottom - 22);
    EXPECT_EQ(update.bottom, client.bottom);
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.right, client.right);
    Validate(w.hwnd());
    w->SetStatusRightText(L"v9");
    EXPECT_EQ(w->statusRightText, L"v9");
    EXPECT_FALSE(HasUpdate(w.hwnd()));

    w->UpdateTitle();
    EXPECT_EQ(WindowText(w.hwnd()), L"Tilvo");
    w.OpenProject({});
    w->UpdateTitle();
    EXPECT_EQ(WindowText(w.hwnd()), L"Test Garden (Unsaved) - Tilvo");
    Space bed = MakeSpace(L"Bed", {{0, 0}, {10, 0}, {10, 10}});
    ASSERT_NE(w->projectManager.CreateSpace(bed), -1);
    w->UpdateTitle();
    EXPECT_EQ(WindowText(w.hwnd()), L"Test Garden* (Unsaved) - Tilvo");
}

TEST(MainWindowHandlers, TimerRepaintsOnlyWhileATooltipIsDue) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    Validate(w.hwnd());
    w->tooltipTool = 2;
    w->tooltipDeadline = GetTickCount() + 60000;  // not yet due
    SendMessageW(w.hwnd(), WM_TIMER, 3, 0);
    EXPECT_FALSE(HasUpdate(w.hwnd()));
    w->tooltipDeadline = GetTickCount() - 1;
    SendMessageW(w.hwnd(), WM_TIMER, 4, 0);  // another timer id does nothing
    EXPECT_FALSE(HasUpdate(w.hwnd()));
    SendMessageW(w.hwnd(), WM_TIMER, 3, 0);
    RECT update;
    ASSERT_TRUE(HasUpdate(w.hwnd(), &update));
    EXPECT_EQ(update.bottom, w.Client().bottom);  // the whole client area
    EXPECT_EQ(update.top, 0);
    Validate(w.hwnd());
    w->tooltipTool = 0;
    SendMessageW(w.hwnd(), WM_TIMER, 3, 0);
    EXPECT_FALSE(HasUpdate(w.hwnd()));
    // Timer 3 was started with the window: killing it succeeds (then it is started again).
    EXPECT_TRUE(KillTimer(w.hwnd(), 3));
    SetTimer(w.hwnd(), 3, 100, nullptr);
}

TEST(MainWindowHandlers, MiddleButtonPanStartsOnlyBelowTheCanvasTop) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.OpenProject({});
    w.Mouse(WM_MBUTTONDOWN, 200, 60);  // toolbar band
    EXPECT_FALSE(w->midPanning);
    w.Mouse(WM_MBUTTONUP, 200, 60);
    EXPECT_FALSE(w->midPanning);
    w->scrollX = 7;
    w->scrollY = 9;
    w.Mouse(WM_MBUTTONDOWN, 200, 300);
    EXPECT_TRUE(w->midPanning);
    EXPECT_EQ(w->midStartPt.x, 200);
    EXPECT_EQ(w->midStartPt.y, 300);
    EXPECT_EQ(w->midStartScrollX, 7);
    EXPECT_EQ(w->midStartScrollY, 9);
    EXPECT_EQ(GetCapture(), w.hwnd());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEALL));
    w->placingPlant = true;
    w.Mouse(WM_MBUTTONUP, 200, 300);
    EXPECT_FALSE(w->midPanning);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_CROSS));
    w->placingPlant = false;
    w->panTool = true;
    w.Mouse(WM_MBUTTONDOWN, 200, 300);
    w.Mouse(WM_MBUTTONUP, 200, 300);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    w.Mouse(WM_MBUTTONDOWN, 200, 300);
    w.Mouse(WM_MBUTTONUP, 200, 40);  // released outside the canvas
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    w->panTool = false;
}

TEST(MainWindowHandlers, MouseTypePointerAndFailedTouchInputDoNothing) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    POINT screen{W - 20, 10};
    ClientToScreen(w.hwnd(), &screen);
    // Pointer 1 is the mouse (or unknown): no press on the close button.
    SendMessageW(w.hwnd(), WM_POINTERDOWN, MAKEWPARAM(1, 0), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(w->pressedCaption, 0);
    // A touch message whose handle cannot be read is dropped.
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_TOUCH, MAKEWPARAM(1, 0), 0x1234), 0);
    EXPECT_EQ(w->pressedCaption, 0);
    EXPECT_TRUE(w.IsOpen());
}

TEST(MainWindowHandlers, MaximisedPointerAtTheMonitorEdgeRevealsTheTaskbar) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ASSERT_TRUE(w->isMaximized);
    // A stand-in taskbar of this process, hidden, that records what it is sent.
    static int moves = 0;
    moves = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_MOUSEMOVE) ++moves;
        return DefWindowProcW(h, m, wp, lp);
    };
    wc.hInstance = Module();
    wc.lpszClassName = L"TilvoTestTaskbar";
    RegisterClassW(&wc);
    HWND taskbar = CreateWindowExW(WS_EX_TOOLWINDOW, L"TilvoTestTaskbar", L"", WS_POPUP, 0, 0, 100, 30, nullptr,
                                   nullptr, Module(), nullptr);
    ASSERT_NE(taskbar, nullptr);
    w->taskbar = taskbar;

    w.Mouse(WM_MOUSEMOVE, 400, 400);  // well inside the monitor
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(taskbar));
    EXPECT_EQ(moves, 0);
    POINT edge{0, 0};
    ScreenToClient(w.hwnd(), &edge);
    w.Mouse(WM_MOUSEMOVE, edge.x + 400, edge.y + 3);  // within 5 pixels of the top edge
    PumpPending();
    EXPECT_TRUE(IsWindowVisible(taskbar));
    EXPECT_EQ(moves, 1);

    w->taskbar = nullptr;
    DestroyWindow(taskbar);
    UnregisterClassW(L"TilvoTestTaskbar", Module());
}
