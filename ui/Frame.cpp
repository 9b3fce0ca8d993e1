// The drawn frame: the title strip (icon, menu titles, project title, caption
// buttons), the hit test of the borderless window, caption-button hover, press
// and release, window drag and the reveal of an auto-hidden taskbar.
#include "MainWindow.h"

#include <optional>

#include "CanvasShapes.h"
#include "GdiObjects.h"
#include "Layout.h"
#include "resource.h"

namespace {

constexpr int32_t kStripHeight = layout::kTitleStripHeight;
constexpr int32_t kIconCorner = 32;       // icon area: x below this
constexpr int32_t kButtonWidth = 45;      // each caption button
constexpr int32_t kCaptionButtons = layout::kCaptionButtonsWidth;
constexpr int32_t kMenuStop = 185;        // titles stop once one passes W - 185
constexpr int32_t kTitlePadding = 16;     // a title box is its text width + 16
constexpr COLORREF kStripBg = RGB(240, 240, 240);
constexpr COLORREF kHotTitleBg = RGB(200, 200, 200);
constexpr COLORREF kDisabledText = RGB(128, 128, 128);

struct CaptionColours {
    COLORREF normal, hovered, pressed;
};
constexpr CaptionColours kPlainColours{RGB(240, 240, 240), RGB(180, 180, 180), RGB(120, 120, 120)};
constexpr CaptionColours kCloseColours{RGB(232, 17, 35), RGB(200, 10, 25), RGB(140, 0, 10)};

using gdi::FillSolid;

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// The full rectangle of the monitor nearest to the window.
RECT MonitorRect(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcMonitor;
}

bool StrictlyInside(const RECT& r, int32_t inset, POINT p) {
    return r.left + inset < p.x && p.x < r.right - inset && r.top + inset < p.y && p.y < r.bottom - inset;
}

}  // namespace

// Lays the menu titles out from x = 32 with the stock GUI font; stops after the
// first title that ends beyond W - 185. Returns the x where the layout stopped.
int32_t MainWindow::MenuTitleBoxes(HDC dc, int32_t width, std::vector<RECT>* boxes) {
    std::optional<gdi::WindowDc> own;
    if (!dc) own.emplace(hwnd);
    HDC measure = dc ? dc : static_cast<HDC>(*own);
    const gdi::Selection font(measure, GetStockObject(DEFAULT_GUI_FONT));
    int32_t x = kIconCorner;
    for (const MenuItem& title : menuModel) {
        RECT box{x, 0, x + shapes::TextExtent(measure, title.text).cx + kTitlePadding, kStripHeight};
        if (boxes) boxes->push_back(box);
        x = box.right;
        if (x > width - kMenuStop) break;
    }
    return x;
}

// The caption button at a client point (a layout::CaptionButton). Presses
// count rows 0 to 31, hovering rows 0 to 32.
int32_t MainWindow::CaptionButtonAt(POINT p, int32_t width, bool includeRow32) const {
    const int32_t bottom = includeRow32 ? kStripHeight + 1 : kStripHeight;
    if (p.y < 0 || p.y >= bottom) return layout::kNoCaptionButton;
    if (p.x >= width - kButtonWidth) return layout::kCloseButton;
    if (p.x >= width - 2 * kButtonWidth) return layout::kMaximiseButton;
    if (p.x >= width - kCaptionButtons) return layout::kMinimiseButton;
    return layout::kNoCaptionButton;
}

void MainWindow::DrawTitleBar(HDC dc, const RECT& client) {
    const int32_t W = client.right - client.left;
    FillSolid(dc, RECT{0, 0, W, kStripHeight}, kStripBg);

    if (HICON icon = gdi::SharedIcon(instance, IDI_TILVO, 16)) DrawIconEx(dc, 8, 8, icon, 16, 16, 0, nullptr, DI_NORMAL);

    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    std::optional<gdi::Selection> font(std::in_place, dc, GetStockObject(DEFAULT_GUI_FONT));
    std::vector<RECT> boxes;
    const int32_t titleEnd = MenuTitleBoxes(dc, W, &boxes);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const int32_t index = static_cast<int32_t>(i);
        if (index == hotMenu || index == openMenu) FillSolid(dc, boxes[i], kHotTitleBg);
        const COLORREF oldColour = SetTextColor(dc, menuModel[i].enabled ? RGB(0, 0, 0) : kDisabledText);
        RECT textBox{boxes[i].left + 8, 0, boxes[i].right - 8, kStripHeight};
        DrawTextW(dc, menuModel[i].text.c_str(), -1, &textBox, DT_SINGLELINE | DT_VCENTER);
        SetTextColor(dc, oldColour);
    }
    font.reset();

    DrawProjectTitle(dc, W, titleEnd);
    DrawCaptionButtons(dc, W);
}

// The open project's name with its unsaved marks, centred in the free band
// between the menu titles and the caption buttons.
void MainWindow::DrawProjectTitle(HDC dc, int32_t W, int32_t titleEnd) {
    if (!projectManager.IsProjectOpen()) return;
    const ProjectInfo* project = projectManager.GetCurrentProject();
    std::wstring text = project ? project->name : std::wstring();
    if (projectManager.HasUnsavedChanges()) text += L"*";
    if (projectManager.IsNewProject()) text += L" (Unsaved)";

    if (!titleFontCreated) {
        LOGFONTW lf{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfHeight -= 4;
        lf.lfWeight = FW_NORMAL;
        titleFont = gdi::Font(CreateFontIndirectW(&lf));
        titleFontCreated = true;  // also on failure: it is not retried
    }
    if (!titleFont) return;

    const gdi::Selection font(dc, titleFont);
    const SIZE size = shapes::TextExtent(dc, text);
    const int32_t free = W - kCaptionButtons - size.cx;
    const int32_t half = (free - titleEnd) / 2;
    int32_t x = half >= 20 ? titleEnd + half : titleEnd + 20;
    if (x + size.cx > W - 155) x = W - 155 - size.cx;
    const int32_t y = (kStripHeight - size.cy) / 2;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// Close, maximise/restore and minimise, each in its state's colour with its glyph.
void MainWindow::DrawCaptionButtons(HDC dc, int32_t W) {
    auto colour = [this](int32_t code, const CaptionColours& c) {
        if (pressedCaption == code) return c.pressed;
        if (hoverCaption == code) return c.hovered;
        return c.normal;
    };

    int32_t L = W - kButtonWidth;
    FillSolid(dc, RECT{L, 0, W, kStripHeight}, colour(layout::kCloseButton, kCloseColours));
    {
        const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 2, RGB(255, 255, 255)));
        Line(dc, L + 16, 10, L + 28, 22);
        Line(dc, L + 28, 10, L + 16, 22);
    }

    L = W - 2 * kButtonWidth;
    FillSolid(dc, RECT{L, 0, L + kButtonWidth, kStripHeight}, colour(layout::kMaximiseButton, kPlainColours));
    {
        const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 1, RGB(0, 0, 0)));
        const gdi::Selection brush(dc, GetStockObject(NULL_BRUSH));
        if (isMaximized) {
            Rectangle(dc, L + 16, 12, L + 24, 20);
            Rectangle(dc, L + 18, 10, L + 26, 18);
        } else {
            Rectangle(dc, L + 16, 12, L + 28, 20);
        }
    }

    L = W - kCaptionButtons;
    FillSolid(dc, RECT{L, 0, L + kButtonWidth, kStripHeight}, colour(layout::kMinimiseButton, kPlainColours));
    const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 2, RGB(0, 0, 0)));
    Line(dc, L + 16, 16, L + 28, 16);
}

// Caption for the icon area and the band before the caption buttons, client for
// the menu titles and buttons, resize zones on the sides and bottom of a
// restored window, the platform's answer near the monitor's edges.
LRESULT MainWindow::OnNcHitTest(LPARAM screenPoint) {
    const POINT screen{static_cast<int16_t>(LOWORD(screenPoint)), static_cast<int16_t>(HIWORD(screenPoint))};
    POINT p = screen;
    ScreenToClient(hwnd, &p);
    RECT client;
    GetClientRect(hwnd, &client);
    const int32_t W = client.right, H = client.bottom;
    const int32_t border = isMaximized ? 6 : 2;
    if (!StrictlyInside(MonitorRect(hwnd), border, screen))
        return DefWindowProcW(hwnd, WM_NCHITTEST, 0, screenPoint);

    if (p.y < kStripHeight) {
        if (p.x >= W - kCaptionButtons) return HTCLIENT;
        if (p.x < kIconCorner) return HTCAPTION;
        if (p.x >= W - kMenuStop) return HTCAPTION;
        return HTCLIENT;
    }
    if (isMaximized) return HTCLIENT;
    const bool low = p.y > H - 8;
    if (p.x < 8) return low ? HTBOTTOMLEFT : HTLEFT;
    if (p.x > W - 8) return low ? HTBOTTOMRIGHT : HTRIGHT;
    return low ? HTBOTTOM : HTCLIENT;
}

// While maximised, a pointer within 5 pixels of the monitor's edge shows the
// taskbar and brings it to the front, so an auto-hidden taskbar can be reached.
void MainWindow::RevealTaskbar(POINT p) {
    if (!isMaximized || !taskbar) return;
    POINT screen = p;
    ClientToScreen(hwnd, &screen);
    if (StrictlyInside(MonitorRect(hwnd), 5, screen)) return;
    PostMessageW(taskbar, WM_MOUSEMOVE, 0, MAKELPARAM(screen.x, screen.y));
    ShowWindow(taskbar, SW_SHOW);
    SetWindowPos(taskbar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetWindowPos(taskbar, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// Caption-button and menu-title hover. Returns true when either changed.
bool MainWindow::TrackHover(POINT p) {
    const int32_t oldCaption = hoverCaption;
    const int32_t oldMenu = hotMenu;
    hoverCaption = layout::kNoCaptionButton;
    hotMenu = -1;
    if (p.y >= 0 && p.y <= kStripHeight) {
        RECT client;
        GetClientRect(hwnd, &client);
        hoverCaption = CaptionButtonAt(p, client.right, true);
        if (hoverCaption == layout::kNoCaptionButton) {
            std::vector<RECT> boxes;
            MenuTitleBoxes(nullptr, client.right, &boxes);
            int32_t hit = -1;
            for (size_t i = 0; i < boxes.size(); ++i) {
                if (menuModel[i].enabled && p.x >= boxes[i].left && p.x < boxes[i].right) {
                    hit = static_cast<int32_t>(i);
                    break;
                }
            }
            hotMenu = openMenu != -1 ? openMenu : hit;
        }
    }
    return hoverCaption != oldCaption || hotMenu != oldMenu;
}

// Records a press on a caption button; true when one took the press.
bool MainWindow::CaptionPress(POINT p) {
    pressedCaption = layout::kNoCaptionButton;
    RECT client;
    GetClientRect(hwnd, &client);
    const int32_t button = CaptionButtonAt(p, client.right, false);
    if (button == layout::kNoCaptionButton) return false;
    pressedCaption = button;
    InvalidateTitleStrip();
    return true;
}

// A press in the title strip that no caption button took: left of the menu
// title end it opens a menu, from there on it drags the window. True for every
// press above row 32, so nothing below sees it.
bool MainWindow::TitleStripPress(POINT p, LPARAM lParam) {
    if (p.y < 0 || p.y >= kStripHeight) return false;
    if (p.x < kIconCorner) return true;
    RECT client;
    GetClientRect(hwnd, &client);
    const int32_t titleEnd = MenuTitleBoxes(nullptr, client.right, nullptr);
    if (p.x >= titleEnd) {
        // The platform's caption drag expects the press in screen coordinates.
        POINT screen = p;
        ClientToScreen(hwnd, &screen);
        PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    } else {
        OnMenuBarClick(lParam);
    }
    return true;
}

// Acts when the release is over the pressed caption button; the press ends either way.
void MainWindow::CaptionRelease(POINT p) {
    RECT client;
    GetClientRect(hwnd, &client);
    const int32_t button = CaptionButtonAt(p, client.right, false);
    if (button != layout::kNoCaptionButton && button == pressedCaption) {
        if (button == layout::kMinimiseButton)
            ShowWindow(hwnd, SW_MINIMIZE);
        else if (button == layout::kMaximiseButton)
            ToggleMaximized();
        else
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    pressedCaption = layout::kNoCaptionButton;
}
