// Moving the view: the left-button pan of pan mode, the middle-button pan
// step, the wheel (vertical, Shift horizontal, Alt zoom), the anchored zoom and
// the keys, including the command keys for a missing accelerator table.
#include "MainWindow.h"

#include <algorithm>

#include "ViewMath.h"
#include "resource.h"

namespace {

bool KeyDown(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

int32_t Width(const RECT& r) {
    return r.right - r.left;
}

int32_t Height(const RECT& r) {
    return r.bottom - r.top;
}

}  // namespace

// The scroll ranges of both axes for the current canvas and a fresh extent.
void MainWindow::ScrollRanges(int32_t& rangeX, int32_t& rangeY) {
    RECT canvas;
    GetCanvasRect(canvas);
    UpdateContentExtent();
    rangeX = std::max(contentWidth - Width(canvas), 0);
    rangeY = std::max(contentHeight - Height(canvas), 0);
}

// Left and middle pans start alike: remember where the pointer and the scroll
// position were, capture the mouse and show the pan's cursor.
void MainWindow::BeginPan(bool& active, POINT& start, int32_t& startX, int32_t& startY, POINT p, LPCWSTR cursor) {
    active = true;
    start = p;
    startX = scrollX;
    startY = scrollY;
    SetCapture(hwnd);
    SetCursor(LoadCursorW(nullptr, cursor));
}

void MainWindow::BeginLeftPan(POINT p) {
    BeginPan(panning, panStartPt, panStartScrollX, panStartScrollY, p, IDC_HAND);
}

// The scroll position moves by the pointer's movement in pixels, whatever the
// zoom, so at zoom 1.0 the content follows the pointer exactly.
void MainWindow::LeftPanStep(POINT p) {
    int32_t rangeX = 0, rangeY = 0;
    ScrollRanges(rangeX, rangeY);
    scrollX = ClampScroll(int64_t{panStartScrollX} - (int64_t{p.x} - panStartPt.x), rangeX);
    scrollY = ClampScroll(int64_t{panStartScrollY} - (int64_t{p.y} - panStartPt.y), rangeY);
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, FALSE);
}

void MainWindow::MiddlePanStep(POINT p) {
    int32_t rangeX = 0, rangeY = 0;
    ScrollRanges(rangeX, rangeY);
    scrollX = ClampScroll(int64_t{midStartScrollX} - (int64_t{p.x} - midStartPt.x), rangeX);
    scrollY = ClampScroll(int64_t{midStartScrollY} - (int64_t{p.y} - midStartPt.y), rangeY);
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, FALSE);
}

void MainWindow::EndLeftPan() {
    panning = false;
    ReleaseCapture();
    SetCursor(LoadCursorW(nullptr, panTool ? IDC_HAND : IDC_ARROW));
}

void MainWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const int32_t delta = static_cast<int16_t>(HIWORD(wParam));
    if (KeyDown(VK_MENU)) {
        POINT anchor{static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
        ScreenToClient(hwnd, &anchor);
        SetZoom(delta <= 0 ? ZoomedOut(zoom) : ZoomedIn(zoom), &anchor);
        return;
    }
    // Each message stands alone: a delta below one notch scrolls nothing and
    // leaves no remainder for the next.
    const int32_t amount = WheelScrollAmount(delta);
    int32_t rangeX = 0, rangeY = 0;
    ScrollRanges(rangeX, rangeY);
    if (KeyDown(VK_SHIFT)) {
        if (rangeX < 1) return;
        scrollX = ClampScroll(int64_t{scrollX} - amount, rangeX);
    } else {
        if (rangeY < 1) return;
        scrollY = ClampScroll(int64_t{scrollY} - amount, rangeY);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

// Keeps the world point under the anchor (a client point) under it, within a
// pixel, as far as the scroll range (which the zoom does not change) allows.
// An anchor above the canvas top (Alt with the wheel over the toolbar or the
// title strip) is no content position, so it is treated like no anchor: the
// canvas centre stays.
void MainWindow::SetZoom(float newZoom, const POINT* anchor) {
    if (!(newZoom >= kMinZoom && newZoom <= kMaxZoom)) return;
    RECT canvas;
    GetCanvasRect(canvas);
    POINT offset{Width(canvas) / 2, Height(canvas) / 2};  // from the canvas's top-left corner
    if (anchor && anchor->y >= canvas.top) offset = POINT{anchor->x - canvas.left, anchor->y - canvas.top};
    int32_t rangeX = 0, rangeY = 0;
    ScrollRanges(rangeX, rangeY);
    scrollX = AnchoredScroll(scrollX, zoom, newZoom, offset.x, rangeX);
    scrollY = AnchoredScroll(scrollY, zoom, newZoom, offset.y, rangeY);
    zoom = newZoom;
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, FALSE);
    if (projectManager.IsProjectOpen()) InvalidateToolbar(false);
}

// The accelerator table turns the command keys into commands before they get
// here; these rows act only when that table could not be loaded.
void MainWindow::OnKeyDown(WPARAM key, LPARAM /*lParam*/) {
    const bool ctrl = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT), alt = KeyDown(VK_MENU);
    const bool open = projectManager.IsProjectOpen();
    const bool plantSelected = selectedSpace != -1 && selectedPlant != -1;
    auto post = [this](int commandId) { PostMessageW(hwnd, WM_COMMAND, commandId, 0); };

    if (ctrl && !shift && !alt) {
        switch (key) {
        case 'N': post(IDM_NEW_PROJECT); break;
        case 'O': post(IDM_OPEN_PROJECT); break;
        case 'S':
            if (open) post(IDM_SAVE_PROJECT);
            break;
        case 'X': post(IDM_EXIT); break;
        case 'T':
            if (open)
                post(IDM_ADD_TASK);
            else
                SetStatusText(L"Please open a project first.");
            break;
        case 'R':
            if (!open) break;
            if (plantSelected)
                post(IDM_RENAME_PLANT);
            else if (selectedSpace != -1)
                post(IDM_RENAME_SPACE);
            else
                SetStatusText(L"Please select a space or plant to rename.");
            break;
        default: break;
        }
        return;
    }
    if (!ctrl && !shift && !alt) {
        if (key == VK_F2) {
            if (open)
                post(IDM_VIEW_TASKS);
            else
                SetStatusText(L"Please open a project first.");
            return;
        }
        if (key == VK_DELETE) {
            if (!open) return;
            if (plantSelected)
                post(IDM_DELETE_PLANT);
            else if (selectedSpace != -1)
                post(IDM_DELETE_SPACE);
            else
                SetStatusText(L"Please select a space or plant to delete.");
            return;
        }
    }
    if (ctrl || alt || !open) return;

    int dx = 0, dy = 0;
    switch (key) {
    case VK_LEFT: case 'A': dx = -1; break;
    case VK_RIGHT: case 'D': dx = 1; break;
    case VK_UP: case 'W': dy = -1; break;
    case VK_DOWN: case 'S': dy = 1; break;
    default: return;
    }
    int32_t rangeX = 0, rangeY = 0;
    ScrollRanges(rangeX, rangeY);
    const int32_t oldX = scrollX, oldY = scrollY;
    if (dx != 0) {
        if (rangeX < 1) return;
        scrollX = dx < 0 ? std::max(scrollX - kKeyStep, 0) : std::min(scrollX + kKeyStep, rangeX);
    } else {
        if (rangeY < 1) return;
        scrollY = dy < 0 ? std::max(scrollY - kKeyStep, 0) : std::min(scrollY + kKeyStep, rangeY);
    }
    if (scrollX == oldX && scrollY == oldY) return;
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, FALSE);
}
