// The main window's life: construction, creation of the borderless window, the
// window procedure that routes every message, the handlers that live in it
// (size limits, touch and pen, middle button, timer, menu notifications) and
// the close question.
#include "MainWindow.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <shellscalingapi.h>
#include <windowsx.h>

#include "CommandSupport.h"
#include "PrintManager.h"
#include "resource.h"

namespace {

const wchar_t kClassName[] = L"TilvoMainWindow";
const wchar_t kWindowTitle[] = L"Tilvo";
constexpr UINT_PTR kTimerId = 3;
constexpr UINT kTimerPeriodMs = 100;
constexpr int kTitleStripHeight = layout::kTitleStripHeight;
constexpr int kMinTrackWidth = 400;
constexpr int kMinTrackHeight = 300;

// Packs a client point the way a mouse message packs it.
LPARAM PackPoint(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(p.x)), static_cast<WORD>(static_cast<int16_t>(p.y)));
}

POINT UnpackPoint(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

MainWindow::MainWindow(HINSTANCE module) : instance(module) {
    accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    if (!accelerators) OutputDebugStringW(L"Warning: Failed to load accelerator table\n");
    BuildMenuModel();
    // Without a print manager the program still runs; every user of it checks for null.
    try {
        printManager = new PrintManager(this, &projectManager);
    } catch (...) {
        printManager = nullptr;
        OutputDebugStringW(L"Warning: Failed to initialize print manager\n");
    }
}

// Deletes the print manager, releases the title font and the accelerator table
// and destroys the window if it still exists. Nothing is saved or asked here.
MainWindow::~MainWindow() {
    delete printManager;
    printManager = nullptr;
    titleFont.Reset();
    if (accelerators) DestroyAcceleratorTable(accelerators);
    accelerators = nullptr;
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    hwnd = nullptr;
}

// Registers the window class and creates the window, always maximised. False
// when the class cannot be registered (also when it exists already) or the
// window cannot be created; the show command is not used.
bool MainWindow::Create(int /*showCommand*/) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TILVO));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TILVO), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(240, 240, 240));  // the class owns it from here on
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) {
        DeleteObject(wc.hbrBackground);
        return false;
    }

    HWND created = CreateWindowExW(0, kClassName, kWindowTitle, WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 1024, 768, nullptr, nullptr, instance, this);
    if (!created) return false;

    RegisterTouchWindow(hwnd, 0);
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    isMaximized = true;
    UpdateWindow(hwnd);
    return true;
}

// Binds the MainWindow to its window at WM_CREATE and forwards every later
// message to it. Messages before WM_CREATE get the default handling.
LRESULT CALLBACK MainWindow::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* window = nullptr;
    if (message == WM_CREATE) {
        window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        window->hwnd = hwnd;
    } else {
        window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: unbind so that the object never holds a dead handle.
        LRESULT result = window->WndProc(message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd = nullptr;
        return result;
    }
    return window->WndProc(message, wParam, lParam);
}

LRESULT MainWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_SIZE: OnSize(wParam, lParam); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SHOWWINDOW:
        if (wParam) {
            InvalidateRect(hwnd, nullptr, TRUE);
            UpdateWindow(hwnd);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_NCCALCSIZE: return 0;  // the client area is the whole window
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION) {
            ShowWindow(hwnd, isMaximized ? SW_RESTORE : SW_MAXIMIZE);
            InvalidateRect(hwnd, nullptr, TRUE);
            UpdateWindow(hwnd);
        }
        return 0;
    case WM_KEYDOWN: OnKeyDown(wParam, lParam); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_MENUSELECT: OnMenuSelect(wParam, lParam); return 0;
    case WM_UNINITMENUPOPUP:
        hotMenu = openMenu = -1;
        InvalidateTitleStrip();
        return 0;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(wParam, lParam); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, lParam); return 0;
    case WM_MBUTTONDOWN: OnMiddleButtonDown(lParam); return 0;
    case WM_MBUTTONUP: OnMiddleButtonUp(lParam); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(wParam, lParam); return 0;
    case WM_TOUCH: OnTouch(wParam, lParam); return 0;
    case WM_POINTERUPDATE:
    case WM_POINTERDOWN:
    case WM_POINTERUP: OnPointer(message, wParam, lParam); return 0;
    case WM_MOUSEHOVER: OnMouseMove(wParam, lParam); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void MainWindow::OnCreate() {
    SetProcessDpiAwareness(PROCESS_PER_MONITOR_DPI_AWARE);
    taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    ExtendFrame();
    SetStatusText(L"Ready. Click File > New Space to begin. Mouse wheel to pan.");
    SetTimer(hwnd, kTimerId, kTimerPeriodMs, nullptr);
}

// Asks the compositor to draw no frame of its own: the whole window is client area.
void MainWindow::ExtendFrame() {
    BOOL enabled = TRUE;
    DwmSetWindowAttribute(hwnd, DWMWA_NCRENDERING_ENABLED, &enabled, sizeof(enabled));
    MARGINS margins{0, 0, 0, 0};
    DwmExtendFrameIntoClientArea(hwnd, &margins);
}

void MainWindow::OnSize(WPARAM wParam, LPARAM /*lParam*/) {
    isMaximized = (wParam == SIZE_MAXIMIZED);
    ExtendFrame();
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    UpdateScrollBars();
}

// A maximised window covers the work area of its monitor, so a visible taskbar
// stays uncovered; dragging the borders stops at 400 x 300.
void MainWindow::OnGetMinMaxInfo(MINMAXINFO* info) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
        info->ptMaxPosition = POINT{work.left, work.top};
    }
    info->ptMinTrackSize = POINT{kMinTrackWidth, kMinTrackHeight};
}

// Repaints the whole client area on each tick while a toolbar tooltip is due.
void MainWindow::OnTimer(WPARAM timerId) {
    if (timerId != kTimerId) return;
    if (TooltipShowing()) InvalidateRect(hwnd, nullptr, FALSE);
}

// Keeps the open menu's title highlighted while the pointer moves through its popup.
void MainWindow::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    if ((HIWORD(wParam) == 0xFFFF && lParam == 0) || openMenu < 0) return;
    hotMenu = openMenu;
    InvalidateTitleStrip();
}

void MainWindow::OnMiddleButtonDown(LPARAM lParam) {
    POINT p = UnpackPoint(lParam);
    RECT canvas;
    if (p.y < GetCanvasRect(canvas).top) return;
    BeginPan(midPanning, midStartPt, midStartScrollX, midStartScrollY, p, IDC_SIZEALL);
}

void MainWindow::OnMiddleButtonUp(LPARAM lParam) {
    if (!midPanning) return;
    midPanning = false;
    ReleaseCapture();
    POINT p = UnpackPoint(lParam);
    RECT canvas;
    GetCanvasRect(canvas);
    const bool overCanvas = p.x >= canvas.left && p.x < canvas.right && p.y >= canvas.top && p.y < canvas.bottom;
    LPCWSTR cursor = IDC_ARROW;
    if (placingPlant)
        cursor = IDC_CROSS;
    else if (panTool && overCanvas)
        cursor = IDC_HAND;
    SetCursor(LoadCursorW(nullptr, cursor));
}

// Each touch point acts as the left mouse button at the same client point.
void MainWindow::OnTouch(WPARAM wParam, LPARAM lParam) {
    const UINT count = LOWORD(wParam);
    HTOUCHINPUT handle = reinterpret_cast<HTOUCHINPUT>(lParam);
    std::vector<TOUCHINPUT> inputs(count);
    if (count == 0 || !GetTouchInputInfo(handle, count, inputs.data(), sizeof(TOUCHINPUT))) {
        // Closing the handle on failure too: it would otherwise never be released.
        CloseTouchInputHandle(handle);
        return;
    }
    for (const TOUCHINPUT& input : inputs) {
        POINT p{input.x / 100, input.y / 100};
        ScreenToClient(hwnd, &p);
        const LPARAM packed = PackPoint(p);
        if (input.dwFlags & TOUCHEVENTF_DOWN)
            OnLButtonDown(0, packed);
        else if (input.dwFlags & TOUCHEVENTF_UP)
            OnLButtonUp(0, packed);
        else if (input.dwFlags & TOUCHEVENTF_MOVE)
            OnMouseMove(0, packed);
    }
    CloseTouchInputHandle(handle);
}

// Touch and pen pointers act as the left mouse button; mouse pointers are left
// to the mouse messages.
void MainWindow::OnPointer(UINT message, WPARAM wParam, LPARAM lParam) {
    POINTER_INPUT_TYPE type = PT_POINTER;
    if (!GetPointerType(GET_POINTERID_WPARAM(wParam), &type)) return;
    if (type != PT_TOUCH && type != PT_PEN) return;
    POINT p = UnpackPoint(lParam);
    ScreenToClient(hwnd, &p);
    const LPARAM packed = PackPoint(p);
    if (message == WM_POINTERDOWN)
        OnLButtonDown(0, packed);
    else if (message == WM_POINTERUPDATE)
        OnMouseMove(0, packed);
    else
        OnLButtonUp(0, packed);
}

// The pointer left the window: drop every hover and let go of pressed buttons
// without acting.
void MainWindow::OnMouseLeave() {
    const bool stripWasLit =
        hotMenu != -1 || hoverCaption != layout::kNoCaptionButton || pressedCaption > layout::kNoCaptionButton;
    const bool toolbarWasLit = hoverTool != layout::kNoToolbarButton || pressedTool > layout::kNoToolbarButton;
    const bool tooltipWasShown = TooltipShowing();
    hotMenu = -1;
    hoverCaption = layout::kNoCaptionButton;
    hoverTool = layout::kNoToolbarButton;
    tooltipTool = layout::kNoToolbarButton;
    tooltipDeadline = 0;
    if (pressedCaption > layout::kNoCaptionButton) pressedCaption = layout::kNoCaptionButton;
    if (pressedTool > layout::kNoToolbarButton) pressedTool = layout::kNoToolbarButton;
    if (stripWasLit) InvalidateTitleStrip();
    if (toolbarWasLit || tooltipWasShown) InvalidateToolbar(tooltipWasShown);
}

void MainWindow::InvalidateTitleStrip() {
    if (!hwnd) return;
    RECT client;
    GetClientRect(hwnd, &client);
    RECT strip{0, 0, client.right, kTitleStripHeight};
    InvalidateRect(hwnd, &strip, FALSE);
}

// The close request asks as the Exit command does, and saves first when asked to.
void MainWindow::OnClose() {
    if (commands::ConfirmExit(*this)) DestroyWindow(hwnd);
}

// ---- Pointer handlers: each offers the event to the drawn chrome first, in a
// fixed order, and then to the canvas.

void MainWindow::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    const POINT p = UnpackPoint(lParam);
    RECT client;
    GetClientRect(hwnd, &client);
    if (OnScrollBarClick(p, client)) return;
    if (CaptionPress(p)) return;
    if (ToolbarPress(p)) return;
    if (TitleStripPress(p, lParam)) return;
    RECT canvas;
    if (p.y < GetCanvasRect(canvas).top) return;  // icon corner and the toolbar band around its buttons
    CanvasPress(wParam, p);
}

void MainWindow::OnMouseMove(WPARAM /*wParam*/, LPARAM lParam) {
    const POINT p = UnpackPoint(lParam);
    RevealTaskbar(p);
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, hwnd, 1};
    TrackMouseEvent(&track);
    const bool stripChanged = TrackHover(p);
    ToolbarHover(p);
    bool pressDropped = false;
    if (pressedCaption > layout::kNoCaptionButton && pressedCaption != hoverCaption) {
        pressedCaption = layout::kNoCaptionButton;
        pressDropped = true;
    }
    if (stripChanged || pressDropped) InvalidateTitleStrip();
    ThumbDragStep(p);
    CanvasMove(p);
}

void MainWindow::OnLButtonUp(WPARAM /*wParam*/, LPARAM lParam) {
    const POINT p = UnpackPoint(lParam);
    if (ThumbRelease()) return;
    if (pressedCaption > layout::kNoCaptionButton) CaptionRelease(p);
    if (pressedTool > layout::kNoToolbarButton) ToolbarRelease(p);
    CanvasRelease(p);
}

void MainWindow::OnRButtonDown(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    CanvasRightPress();
}

// A double click in the title strip left of the caption buttons maximises or
// restores; on the canvas it counts as a press; elsewhere it is ignored.
void MainWindow::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    const POINT p = UnpackPoint(lParam);
    RECT client;
    GetClientRect(hwnd, &client);
    if (p.y < kTitleStripHeight && p.x < client.right - layout::kCaptionButtonsWidth) {
        ToggleMaximized();
        return;
    }
    RECT canvas;
    if (p.y < GetCanvasRect(canvas).top) return;
    OnLButtonDown(wParam, lParam);
}

void MainWindow::ToggleMaximized() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd, &placement);
    if (placement.showCmd == SW_SHOWMAXIMIZED) {
        ShowWindow(hwnd, SW_RESTORE);
        isMaximized = false;
    } else {
        ShowWindow(hwnd, SW_MAXIMIZE);
        isMaximized = true;
    }
}
