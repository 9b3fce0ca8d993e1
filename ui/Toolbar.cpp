// The toolbar band under the title strip while a project is open: pan mode,
// zoom out, zoom in and reset zoom, the zoom percentage, and a tooltip that
// appears once a button has been hovered for 800 ms (timer 3 repaints it).
#include "MainWindow.h"

#include <algorithm>
#include <string>

#include "CanvasShapes.h"
#include "GdiObjects.h"
#include "ViewMath.h"

namespace {

constexpr DWORD kTooltipDelayMs = 800;

struct ButtonColours {
    COLORREF fill, border;
};
constexpr ButtonColours kNormal{RGB(250, 250, 250), RGB(200, 200, 200)};
constexpr ButtonColours kHovered{RGB(220, 220, 220), RGB(160, 160, 160)};
constexpr ButtonColours kPressed{RGB(180, 180, 180), RGB(120, 120, 120)};
constexpr ButtonColours kPanActive{RGB(180, 200, 230), RGB(120, 140, 180)};
constexpr COLORREF kBandFill = RGB(250, 250, 250);
constexpr COLORREF kBandLine = RGB(200, 200, 200);
constexpr COLORREF kArrowColour = RGB(50, 50, 50);
constexpr COLORREF kZoomLabelColour = RGB(80, 80, 80);
constexpr COLORREF kTooltipFill = RGB(255, 255, 225);
constexpr COLORREF kTooltipBorder = RGB(118, 118, 118);

bool InBand(POINT p) {
    return p.y >= kToolbarTop && p.y < kToolbarBottom;
}

using gdi::FillSolid;

// A one-pixel outline over what is already drawn.
void Outline(HDC dc, const RECT& r, COLORREF colour) {
    const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 1, colour));
    const gdi::Selection brush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

// Four-way arrow for a pan button whose icon is missing.
void DrawPanArrow(HDC dc, const RECT& button) {
    const int c = button.left + 16, d = button.top + 16;
    const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 2, kArrowColour));
    MoveToEx(dc, c - 8, d, nullptr);
    LineTo(dc, c + 8, d);
    MoveToEx(dc, c, d - 8, nullptr);
    LineTo(dc, c, d + 8);
    const POINT heads[4][3] = {
        {{c + 5, d - 3}, {c + 8, d}, {c + 5, d + 3}},
        {{c - 5, d - 3}, {c - 8, d}, {c - 5, d + 3}},
        {{c - 3, d - 5}, {c, d - 8}, {c + 3, d - 5}},
        {{c - 3, d + 5}, {c, d + 8}, {c + 3, d + 5}},
    };
    for (const auto& head : heads) Polyline(dc, head, 3);
}

SIZE MeasureTooltip(HDC dc, const wchar_t* text) {
    const gdi::Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    return shapes::TextExtent(dc, text);
}

}  // namespace

bool MainWindow::TooltipShowing() const {
    return tooltipTool >= layout::kPanButton && tooltipTool <= kToolbarButtonCount && tooltipDeadline != 0 &&
           GetTickCount() >= tooltipDeadline;
}

void MainWindow::DrawToolbar(HDC dc, const RECT& band) {
    if (!projectManager.IsProjectOpen()) return;
    FillSolid(dc, band, kBandFill);
    {
        const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 1, kBandLine));
        MoveToEx(dc, band.left, band.bottom - 1, nullptr);
        LineTo(dc, band.right, band.bottom - 1);
    }
    for (int32_t code = layout::kPanButton; code <= kToolbarButtonCount; ++code) {
        const RECT r = ToolbarButtonRect(code);
        ButtonColours colours = kNormal;
        if (code == layout::kPanButton && panTool)
            colours = kPanActive;
        else if (pressedTool == code)
            colours = kPressed;
        else if (hoverTool == code)
            colours = kHovered;
        FillSolid(dc, r, colours.fill);
        Outline(dc, r, colours.border);
        if (HICON icon = gdi::SharedIcon(instance, ToolbarIconId(code), 24)) {
            DrawIconEx(dc, r.left + 4, r.top + 4, icon, 24, 24, 0, nullptr, DI_NORMAL);
        } else if (code == layout::kPanButton) {
            DrawPanArrow(dc, r);
        }
    }
    const std::wstring label = std::to_wstring(ZoomPercent(zoom)) + L"%";
    RECT labelRect = ZoomLabelRect();
    const gdi::Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF oldColour = SetTextColor(dc, kZoomLabelColour);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &labelRect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

void MainWindow::DrawToolbarTooltip(HDC dc, const RECT& client) {
    if (!TooltipShowing()) return;
    const wchar_t* text = ToolbarTooltipText(tooltipTool);
    const SIZE size = MeasureTooltip(dc, text);
    const RECT box = TooltipBox(tooltipTool, size.cx, size.cy, client.right);
    FillSolid(dc, box, kTooltipFill);
    Outline(dc, box, kTooltipBorder);
    RECT inner{box.left + 4, box.top + 4, box.right - 4, box.bottom - 4};
    const gdi::Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

// The band, and with it every place a tooltip can cover, so that no remnant
// stays on screen when one hides.
void MainWindow::InvalidateToolbar(bool tooltipWasShown) {
    if (!hwnd) return;
    RECT client;
    GetClientRect(hwnd, &client);
    RECT area{0, kToolbarTop, client.right, kToolbarBottom};
    if (tooltipWasShown) {
        const gdi::WindowDc dc(hwnd);
        if (dc) {
            for (int32_t code = layout::kPanButton; code <= kToolbarButtonCount; ++code) {
                const SIZE size = MeasureTooltip(dc, ToolbarTooltipText(code));
                const RECT box = TooltipBox(code, size.cx, size.cy, client.right);
                UnionRect(&area, &area, &box);
            }
        }
    }
    InvalidateRect(hwnd, &area, FALSE);
}

void MainWindow::ToolbarHover(POINT p) {
    const bool wasShown = TooltipShowing();
    const int32_t oldHover = hoverTool;
    hoverTool = layout::kNoToolbarButton;
    if (InBand(p) && projectManager.IsProjectOpen()) hoverTool = ToolbarButtonAt(p);
    if (hoverTool != tooltipTool) {
        tooltipTool = hoverTool;
        tooltipDeadline = 0;
        if (hoverTool >= layout::kPanButton) {
            tooltipDeadline = GetTickCount() + kTooltipDelayMs;
            if (tooltipDeadline == 0) tooltipDeadline = 1;  // 0 means none
        }
    }
    bool pressCancelled = false;
    if (pressedTool >= layout::kPanButton && pressedTool != hoverTool) {
        pressedTool = layout::kNoToolbarButton;
        pressCancelled = true;
    }
    if (hoverTool != oldHover || pressCancelled) InvalidateToolbar(wasShown);
}

bool MainWindow::ToolbarPress(POINT p) {
    if (!InBand(p) || !projectManager.IsProjectOpen()) return false;
    const int32_t code = ToolbarButtonAt(p);
    if (code == layout::kNoToolbarButton) return false;
    const bool wasShown = TooltipShowing();
    pressedTool = code;
    // The tooltip hides; the next move over the button arms it afresh.
    tooltipTool = layout::kNoToolbarButton;
    tooltipDeadline = 0;
    InvalidateToolbar(wasShown);
    return true;
}

void MainWindow::ToolbarRelease(POINT p) {
    const int32_t code = pressedTool;
    pressedTool = layout::kNoToolbarButton;
    const RECT r = ToolbarButtonRect(code);
    const bool over = p.y >= kToolbarTop && p.y <= kToolbarBottom - 1 && projectManager.IsProjectOpen() &&
                      p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
    if (over) {
        switch (code) {
        case layout::kPanButton:
            panTool = !panTool;
            if (panTool) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                SetStatusText(L"Pan mode active: Click and drag to pan around the project. Mouse wheel still works.");
            } else {
                if (panning) {
                    panning = false;
                    ReleaseCapture();
                }
                SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                SetStatusText(
                    L"Pan mode disabled. Use mouse wheel (vertical) or Shift+wheel (horizontal) for panning.");
            }
            break;
        case layout::kZoomOutButton:
            SetZoom(ZoomedOut(zoom), nullptr);
            SetStatusText(L"Zoomed out to " + std::to_wstring(ZoomPercent(zoom)) + L"%");
            break;
        case layout::kZoomInButton:
            SetZoom(ZoomedIn(zoom), nullptr);
            SetStatusText(L"Zoomed in to " + std::to_wstring(ZoomPercent(zoom)) + L"%");
            break;
        case layout::kResetZoomButton:
            SetZoom(1.0f, nullptr);
            SetStatusText(L"Zoom reset to " + std::to_wstring(ZoomPercent(zoom)) + L"%");
            break;
        default: break;
        }
    }
    // The pressed look goes in every case.
    InvalidateToolbar(false);
}
