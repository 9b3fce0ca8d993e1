// Canvas geometry: the client bands, the scrollable content extent, the mapping
// between world units and client pixels under scroll and zoom, and the two
// drawn scroll bars (need test, clamping, painting, page clicks, thumb drags).
#include "MainWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "CanvasShapes.h"
#include "GdiObjects.h"
#include "Layout.h"
#include "ViewMath.h"

namespace {

using layout::kStatusHeight;
using layout::kTitleStripHeight;
constexpr int32_t kBarThickness = layout::kScrollBarThickness;
constexpr int32_t kBottomBarTop = kStatusHeight + kBarThickness;  // the horizontal bar starts this far up
constexpr int32_t kMinThumb = 20;
constexpr COLORREF kTrackColour = RGB(250, 250, 250);
constexpr COLORREF kThumbColour = RGB(220, 220, 220);
constexpr COLORREF kThumbDraggedColour = RGB(180, 180, 180);

using gdi::FillSolid;

int32_t ClampToInt32(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

// Thumb length and position along a track for a view of `view` pixels over an
// extent, at scroll position `scroll`; never divides by zero.
void Thumb(int32_t view, int32_t extent, int32_t scroll, int32_t trackLen, int32_t& pos, int32_t& len) {
    const int32_t raw = extent > 0 ? static_cast<int32_t>(static_cast<double>(view) / extent * trackLen) : trackLen;
    len = std::max(raw, kMinThumb);
    const int32_t range = std::max(extent - view, 0);
    pos = range >= 1 ? static_cast<int32_t>(static_cast<double>(scroll) / range * (trackLen - len)) : 0;
}

// The scroll position of a thumb dragged `travel` pixels along its track from
// where it was at startScroll: trunc(range x travel / free) + startScroll,
// clamped to [0, range]. Worked out in double precision, which holds it
// exactly: near the end of an extent close to the int32 limit the sum leaves
// the 32-bit range.
int32_t DraggedThumbScroll(int32_t view, int32_t extent, int32_t trackLen, int32_t travel, int32_t startScroll) {
    int32_t pos = 0, len = 0;
    Thumb(view, extent, 0, trackLen, pos, len);
    const int32_t free = trackLen - len;
    const double ratio = free > 0 ? static_cast<double>(travel) / free : 0.0;
    const int32_t range = std::max(extent - view, 0);
    const double scroll = std::trunc(range * ratio) + startScroll;
    return static_cast<int32_t>(std::clamp(scroll, 0.0, static_cast<double>(range)));
}

}  // namespace

// ---- Content extent and canvas rectangle

void MainWindow::UpdateContentExtent() {
    ComputeContentExtent(projectManager.GetSpacesView());
}

// The span of every vertex, plant box and name label (and the points being
// drawn), with margins; 1600 x 1000 when there is nothing. Computed in 64 bits
// so that extreme imported coordinates cannot overflow; the result saturates.
void MainWindow::ComputeContentExtent(const std::vector<Space>& spaces) {
    shapes::Bounds box;
    for (const Space& space : spaces) {
        box.Add(shapes::PolygonBounds(space.polygon));
        for (const Plant& plant : space.plants) {
            const int64_t x = plant.position.x, y = plant.position.y;
            box.Add(x - 150, y - 75, x + 300, y + 75);
        }
        if (!space.polygon.empty()) {
            int64_t sumX = 0, sumY = 0;
            for (const POINT& v : space.polygon) {
                sumX += v.x;
                sumY += v.y;
            }
            const int64_t n = static_cast<int64_t>(space.polygon.size());
            const int64_t cx = sumX / n, cy = sumY / n;
            const int64_t half = static_cast<int64_t>(space.name.size()) * 15 / 2;
            box.Add(cx - half - 50, cy - 50, cx + half + 50, cy + 50);
        }
    }
    for (const POINT& v : newSpacePoints) box.Add(v);

    if (box.Empty()) {
        contentWidth = 1600;
        contentHeight = 1000;
        return;
    }
    int64_t width = std::max<int64_t>(box.right - box.left + 1000, 1600);
    int64_t height = std::max<int64_t>(box.bottom - box.top + 600, 1000);
    if (box.left < 500) width += 500 - box.left;
    if (box.top < 300) height += 300 - box.top;
    width += 400;
    contentWidth = ClampToInt32(width);
    contentHeight = ClampToInt32(height);
}

RECT& MainWindow::GetCanvasRect(RECT& out) {
    out = CanvasRectFor(projectManager.GetSpacesView());
    return out;
}

// The canvas rectangle for a given copy of the spaces: the client area between
// the title strip (and toolbar) and the status strip, less the bars it needs.
RECT MainWindow::CanvasRectFor(const std::vector<Space>& spaces) {
    RECT r{0, 0, 0, 0};
    if (hwnd) GetClientRect(hwnd, &r);
    r.top += projectManager.IsProjectOpen() ? layout::kToolbarBottom : kTitleStripHeight;
    r.bottom -= kStatusHeight;
    ComputeContentExtent(spaces);
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    const bool allowed = !spaces.empty() || drawingSpace;
    const bool horizontal = allowed && contentWidth > w;
    const bool vertical = allowed && contentHeight > h;
    if (vertical) r.right -= kBarThickness;
    if (horizontal) r.bottom -= kBarThickness;
    return r;
}

// ---- Scroll bars

ScrollBarLayout MainWindow::LayoutScrollBars(const RECT& client) {
    return LayoutScrollBarsFor(client, projectManager.GetSpacesView());
}

// Which bars are needed for the canvas as it stands after the bars, their tracks
// and their thumbs.
ScrollBarLayout MainWindow::LayoutScrollBarsFor(const RECT& client, const std::vector<Space>& spaces) {
    ScrollBarLayout out;
    out.canvas = CanvasRectFor(spaces);
    const int32_t W = client.right, H = client.bottom;
    const int32_t vw = out.canvas.right - out.canvas.left, vh = out.canvas.bottom - out.canvas.top;
    const bool allowed = !spaces.empty() || drawingSpace;
    out.vertical = allowed && contentHeight > vh;
    out.horizontal = allowed && contentWidth > vw;
    if (out.vertical) {
        out.vTrack = RECT{W - kBarThickness, out.canvas.top, W, out.horizontal ? H - kBottomBarTop : H - kStatusHeight};
        Thumb(vh, contentHeight, scrollY, out.vTrack.bottom - out.vTrack.top, out.vThumbPos, out.vThumbLen);
        out.vThumb = RECT{out.vTrack.left + 2, out.vTrack.top + out.vThumbPos, out.vTrack.right - 2,
                          out.vTrack.top + out.vThumbPos + out.vThumbLen};
    }
    if (out.horizontal) {
        out.hTrack = RECT{0, H - kBottomBarTop, out.vertical ? W - kBarThickness : W, H - kStatusHeight};
        Thumb(vw, contentWidth, scrollX, out.hTrack.right, out.hThumbPos, out.hThumbLen);
        out.hThumb = RECT{out.hThumbPos, out.hTrack.top + 2, out.hThumbPos + out.hThumbLen, out.hTrack.bottom - 2};
    }
    return out;
}

// Clamps both scroll positions to what the bars allow (0 on an axis without a
// bar) and repaints the whole client area.
void MainWindow::UpdateScrollBars() {
    const std::vector<Space>& spaces = projectManager.GetSpacesView();
    const RECT canvas = CanvasRectFor(spaces);
    const int32_t vw = canvas.right - canvas.left, vh = canvas.bottom - canvas.top;
    const bool allowed = !spaces.empty() || drawingSpace;
    if (allowed && contentWidth > vw)
        scrollX = std::clamp(scrollX, 0, std::max(contentWidth - vw, 0));
    else
        scrollX = 0;
    if (allowed && contentHeight > vh)
        scrollY = std::clamp(scrollY, 0, std::max(contentHeight - vh, 0));
    else
        scrollY = 0;
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

void MainWindow::DrawScrollBars(HDC dc, const RECT& client) {
    DrawScrollBarsFor(dc, client, projectManager.GetSpacesView());
}

void MainWindow::DrawScrollBarsFor(HDC dc, const RECT& client, const std::vector<Space>& spaces) {
    const ScrollBarLayout bars = LayoutScrollBarsFor(client, spaces);
    if (bars.vertical) {
        FillSolid(dc, bars.vTrack, kTrackColour);
        FillSolid(dc, bars.vThumb, draggingVThumb ? kThumbDraggedColour : kThumbColour);
    }
    if (bars.horizontal) {
        FillSolid(dc, bars.hTrack, kTrackColour);
        FillSolid(dc, bars.hThumb, draggingHThumb ? kThumbDraggedColour : kThumbColour);
        if (bars.vertical) {
            const RECT corner{client.right - kBarThickness, client.bottom - kBottomBarTop, client.right,
                              client.bottom - kStatusHeight};
            FillSolid(dc, corner, kTrackColour);
        }
    }
}

// A press on a bar: pages by the canvas size before or after the thumb, or
// starts a thumb drag on it. True when a bar took the press. Track bounds are
// inclusive on every side.
bool MainWindow::OnScrollBarClick(POINT p, const RECT& client) {
    const ScrollBarLayout bars = LayoutScrollBars(client);
    const int32_t W = client.right, H = client.bottom;
    const int32_t vw = bars.canvas.right - bars.canvas.left, vh = bars.canvas.bottom - bars.canvas.top;
    if (bars.vertical && p.x >= W - kBarThickness && p.x <= W && p.y >= bars.canvas.top &&
        p.y <= bars.vTrack.bottom) {
        const int32_t thumbTop = bars.vTrack.top + bars.vThumbPos;
        if (p.y < thumbTop) {
            scrollY = std::max(scrollY - vh, 0);
        } else if (p.y <= thumbTop + bars.vThumbLen) {
            draggingVThumb = true;
            thumbStartPt = p;
            thumbStartScrollY = scrollY;
            SetCapture(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
            return true;
        } else {
            scrollY = std::min(scrollY + vh, std::max(contentHeight - vh, 0));
        }
    } else if (bars.horizontal && p.x >= 0 && p.x <= bars.hTrack.right && p.y >= H - kBottomBarTop && p.y <= H - kStatusHeight) {
        const int32_t thumbLeft = bars.hThumbPos;
        if (p.x < thumbLeft) {
            scrollX = std::max(scrollX - vw, 0);
        } else if (p.x <= thumbLeft + bars.hThumbLen) {
            draggingHThumb = true;
            thumbStartPt = p;
            thumbStartScrollX = scrollX;
            SetCapture(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
            return true;
        } else {
            scrollX = std::min(scrollX + vw, std::max(contentWidth - vw, 0));
        }
    } else {
        return false;
    }
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

// One step of a thumb drag: the thumb follows the pointer by the proportion that
// maps thumb travel to scroll range. False when no thumb is being dragged.
bool MainWindow::ThumbDragStep(POINT p) {
    if (!draggingVThumb && !draggingHThumb) return false;
    RECT client;
    GetClientRect(hwnd, &client);
    const RECT canvas = CanvasRectFor(projectManager.GetSpacesView());
    const int32_t vw = canvas.right - canvas.left, vh = canvas.bottom - canvas.top;
    if (draggingVThumb) {
        const int32_t trackLen = client.bottom - kStatusHeight - canvas.top - (contentWidth > vw ? kBarThickness : 0);
        scrollY = DraggedThumbScroll(vh, contentHeight, trackLen, p.y - thumbStartPt.y, thumbStartScrollY);
    }
    if (draggingHThumb) {
        const int32_t trackLen = client.right - (contentHeight > vh ? kBarThickness : 0);
        scrollX = DraggedThumbScroll(vw, contentWidth, trackLen, p.x - thumbStartPt.x, thumbStartScrollX);
    }
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

// Ends a thumb drag; true when one was running (the release then does nothing else).
bool MainWindow::ThumbRelease() {
    if (!draggingVThumb && !draggingHThumb) return false;
    draggingVThumb = draggingHThumb = false;
    ReleaseCapture();
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

// ---- World mapping

int32_t MainWindow::ZoomViewportExtent() const {
    return ViewportExtent(zoom);
}

// World units to client pixels: scaled by the zoom after subtracting the scroll
// position, with the canvas's top-left corner as the origin.
void MainWindow::SetWorldTransform(HDC dc, const RECT& canvas) const {
    const int32_t V = ZoomViewportExtent();
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1000, 1000, nullptr);
    SetViewportExtEx(dc, V, V, nullptr);
    SetViewportOrgEx(dc, canvas.left - ScrollPixels(scrollX, zoom), canvas.top - ScrollPixels(scrollY, zoom), nullptr);
}

// The exact inverse of SetWorldTransform for a client point, with its fraction.
void MainWindow::ClientToWorldExact(POINT p, double& x, double& y) {
    RECT canvas;
    GetCanvasRect(canvas);
    x = WorldAtOffset(p.x - canvas.left, scrollX, zoom);
    y = WorldAtOffset(p.y - canvas.top, scrollY, zoom);
}

// The world point of a client point, truncated toward zero.
POINT MainWindow::ClientToWorld(POINT p) {
    double x = 0, y = 0;
    ClientToWorldExact(p, x, y);
    auto toLong = [](double v) { return static_cast<LONG>(std::clamp<double>(v, INT32_MIN, INT32_MAX)); };
    return POINT{toLong(x), toLong(y)};
}
