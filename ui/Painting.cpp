// The painter of the main window: paints the whole client area into one
// off-screen bitmap (frame, status strip, grid, spaces, plants, the polygon
// being drawn, hints, start screens, scroll bars) and copies it in one transfer.
#include "MainWindow.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "CanvasShapes.h"
#include "GdiObjects.h"
#include "Layout.h"
#include "resource.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kStatusBg = RGB(240, 240, 240);
constexpr COLORREF kStatusLine = RGB(160, 160, 160);
constexpr COLORREF kGridColour = RGB(230, 230, 230);
constexpr COLORREF kSpaceOutline = RGB(0, 128, 0);
constexpr COLORREF kSelectedOutline = RGB(144, 238, 144);
constexpr COLORREF kDrawingGrey = RGB(128, 128, 128);
constexpr COLORREF kSpaceFill = RGB(144, 238, 144);
constexpr COLORREF kSelectedName = RGB(16, 200, 16);
constexpr COLORREF kSelectedPlantBox = RGB(0, 0, 255);
constexpr COLORREF kHintColour = RGB(60, 60, 60);
constexpr uint32_t kPremultipliedFill = 0xC870BA70;  // B 112, G 186, R 112, A 200: the fill at opacity 200
constexpr int32_t kGridStep = 20;

using gdi::FillSolid;

// Back to device pixels with the origin at the client's top-left corner.
void ResetTransform(HDC dc) {
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

void ClipTo(HDC dc, const RECT& r) {
    const gdi::Region region(CreateRectRgnIndirect(&r));
    SelectClipRgn(dc, region);  // the DC keeps its own copy
}

}  // namespace

void MainWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC windowDc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const int32_t W = client.right, H = client.bottom;
    if (W <= 0 || H <= 0) {
        EndPaint(hwnd, &ps);
        return;
    }
    {
        const gdi::MemoryDc dc(windowDc);
        // The off-screen bitmap is kept while the client size stays: making a
        // new one costs fresh memory on every paint, and each paint covers it all.
        if (!backBuffer || backBufferSize.cx != W || backBufferSize.cy != H) {
            backBuffer = gdi::Bitmap(CreateCompatibleBitmap(windowDc, W, H));
            backBufferSize = SIZE{W, H};
        }
        const gdi::Selection bufferSelection(dc, backBuffer);

        // Only the part asked for reaches the window (see the transfer below),
        // so the bands it does not touch are not drawn and the canvas is
        // clipped to it: a drag step repaints just what it moved.
        const RECT& dirty = ps.rcPaint;
        auto touches = [&dirty](const RECT& band) {
            RECT common;
            return IntersectRect(&common, &band, &dirty) != FALSE;
        };
        FillSolid(dc, client, kWhite);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        if (touches(RECT{0, 0, W, layout::kTitleStripHeight})) DrawTitleBar(dc, client);
        const bool open = projectManager.IsProjectOpen();
        const RECT toolbar{0, layout::kTitleStripHeight, W, layout::kToolbarBottom};
        if (open && touches(toolbar)) DrawToolbar(dc, toolbar);
        if (touches(RECT{0, H - layout::kStatusHeight, W, H})) DrawStatusStrip(dc, client);

        // The store's kept picture serves the whole paint: nothing changes it meanwhile.
        const std::vector<Space>& spaces = projectManager.GetSpacesView();

        const RECT canvas = CanvasRectFor(spaces);
        RECT canvasDirty;
        if (!IntersectRect(&canvasDirty, &canvas, &dirty)) canvasDirty = RECT{0, 0, 0, 0};
        ClipTo(dc, canvasDirty);
        FillSolid(dc, canvas, kWhite);
        SetWorldTransform(dc, canvas);
        DrawGrid(dc, canvas);
        DrawSpaces(dc, spaces);
        if (drawingSpace && newSpacePoints.size() >= 2) {
            const gdi::Selection pen(dc, gdi::SharedPen(PS_DASH, 1, kDrawingGrey));
            Polyline(dc, newSpacePoints.data(), static_cast<int>(newSpacePoints.size()));
        }
        DrawModeHints(dc, W, spaces);
        ResetTransform(dc);
        SelectClipRgn(dc, nullptr);

        if (spaces.empty() && !drawingSpace) DrawStartScreen(dc, canvas);

        DrawScrollBarsFor(dc, client, spaces);
        DrawToolbarTooltip(dc, client);

        // Only the part that was asked for: the rest of the window already
        // shows what this paint drew there.
        BitBlt(windowDc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, dc, dirty.left,
               dirty.top, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

// The status strip: the status text on the left, cut with an ellipsis, and the
// version text right-aligned.
void MainWindow::DrawStatusStrip(HDC dc, const RECT& client) {
    const int32_t W = client.right, H = client.bottom;
    FillSolid(dc, RECT{0, H - layout::kStatusHeight, W, H}, kStatusBg);
    {
        const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 1, kStatusLine));
        MoveToEx(dc, 0, H - layout::kStatusHeight, nullptr);
        LineTo(dc, W, H - layout::kStatusHeight);
    }
    const gdi::Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    if (!statusText.empty()) {
        RECT r{8, H - layout::kStatusHeight, W - 120, H};
        DrawTextW(dc, statusText.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    if (!statusRightText.empty()) {
        RECT r{W - 115, H - layout::kStatusHeight, W - 8, H};
        DrawTextW(dc, statusRightText.c_str(), -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

// Grid lines every 20 world units over the visible canvas and one step beyond,
// drawn under the world transform while a project is open. Far out (content
// near the int32 limits) two things need care: the last line lies past the
// 32-bit range, so the span is worked out in 64 bits; and GDI keeps the
// transform in single precision, so it shows rows tens of units away from
// where the scroll position says: the span also takes in the rows and columns
// of the clip box, which come through GDI's own transform.
void MainWindow::DrawGrid(HDC dc, const RECT& canvas) {
    if (!projectManager.IsProjectOpen()) return;
    const int32_t V = std::max(ZoomViewportExtent(), 1);
    const gdi::Selection pen(dc, gdi::SharedPen(PS_SOLID, 1, kGridColour));
    RECT visible{0, 0, 0, 0};
    const int clip = GetClipBox(dc, &visible);
    const bool clipped = clip == SIMPLEREGION || clip == COMPLEXREGION;
    auto span = [&](int32_t scroll, int32_t pixels, LONG shownFirst, LONG shownLast, int32_t& start, int32_t& end) {
        int64_t first = scroll / kGridStep * kGridStep;
        int64_t last = int64_t{scroll} + kGridStep + int64_t{pixels} * 1000 / V;
        if (clipped) {
            const int64_t down = shownFirst >= 0 ? shownFirst : int64_t{shownFirst} - (kGridStep - 1);
            first = std::min(first, down / kGridStep * kGridStep);
            last = std::max(last, int64_t{shownLast} + kGridStep);
        }
        start = static_cast<int32_t>(std::max<int64_t>(first, INT32_MIN));
        end = static_cast<int32_t>(std::min<int64_t>(last, INT32_MAX));
    };
    int32_t startX = 0, endX = 0, startY = 0, endY = 0;
    span(scrollX, canvas.right - canvas.left, visible.left, visible.right, startX, endX);
    span(scrollY, canvas.bottom - canvas.top, visible.top, visible.bottom, startY, endY);
    for (int64_t x = startX; x <= endX; x += kGridStep) {
        MoveToEx(dc, static_cast<int>(x), startY, nullptr);
        LineTo(dc, static_cast<int>(x), endY);
    }
    for (int64_t y = startY; y <= endY; y += kGridStep) {
        MoveToEx(dc, startX, static_cast<int>(y), nullptr);
        LineTo(dc, endX, static_cast<int>(y));
    }
}

namespace {

// The visible part of the canvas in world units, under the transform already set.
RECT VisibleWorld(HDC dc) {
    RECT visible{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX};
    GetClipBox(dc, &visible);
    return visible;
}

// Whether a world box, widened by `margin`, can touch the visible part.
bool MayShow(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t margin, const RECT& visible) {
    return left - margin <= visible.right && right + margin >= visible.left && top - margin <= visible.bottom &&
           bottom + margin >= visible.top;
}

}  // namespace

// One 32-bit bitmap with its DC shared by the fills of one paint, grown to the
// largest part any of them needs, instead of a bitmap and a DC per space.
struct SpaceFillScratch {
    std::optional<gdi::MemoryDc> dc;
    gdi::Bitmap dib;
    std::optional<gdi::Selection> bitmap, brush, pen;
    uint32_t* bits = nullptr;
    int64_t width = 0, height = 0;

    ~SpaceFillScratch() {
        pen.reset();
        brush.reset();
        bitmap.reset();
    }
    // Room for w x h pixels at the top-left corner.
    bool Ensure(HDC target, int64_t w, int64_t h) {
        if (dib && w <= width && h <= height) return true;
        int64_t newWidth = std::max(w, width), newHeight = std::max(h, height);
        if (newWidth * newHeight * 4 > INT32_MAX) newWidth = w, newHeight = h;
        if (!dc) {
            dc.emplace(target);
            if (!*dc) return false;
            brush.emplace(*dc, gdi::SharedBrush(kSpaceFill));
            pen.emplace(*dc, GetStockObject(NULL_PEN));
        }
        bitmap.reset();
        dib.Reset();
        bits = nullptr;
        width = height = 0;
        const BITMAPINFO info = gdi::TopDown32(static_cast<LONG>(newWidth), static_cast<LONG>(newHeight));
        void* pixels = nullptr;
        dib = gdi::Bitmap(CreateDIBSection(target, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (!dib || !pixels) {
            dib.Reset();
            return false;
        }
        bitmap.emplace(*dc, dib);
        bits = static_cast<uint32_t*>(pixels);
        width = newWidth;
        height = newHeight;
        return true;
    }
};

// Every space in list order: fill, outline, name, then its plants. The text
// colour a space's name leaves behind is the colour of its plants' labels.
// Spaces, names and labels that cannot reach the visible part are skipped, and
// fonts are selected only when text is drawn in them.
void MainWindow::DrawSpaces(HDC dc, const std::vector<Space>& spaces) {
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    const gdi::IconStamp plantIcon(dc, gdi::SharedIcon(instance, IDI_PLANT, shapes::kMarkerSize), shapes::kMarkerSize);
    const RECT visible = VisibleWorld(dc);
    SpaceFillScratch fillScratch;
    gdi::SwitchedSelection font(dc);
    gdi::SwitchedSelection pen(dc);
    for (size_t i = 0; i < spaces.size(); ++i) {
        const Space& space = spaces[i];
        const std::vector<POINT>& v = space.polygon;
        const bool selected = static_cast<int32_t>(i) == selectedSpace;
        const shapes::Bounds bounds = shapes::PolygonBounds(v);
        if (!bounds.Empty()) {
            // The outline reaches at most two units past the vertices (3-wide pen).
            if (v.size() >= 2 && MayShow(bounds.left, bounds.top, bounds.right, bounds.bottom, 4, visible)) {
                if (v.size() >= 3 && !drawingSpace) DrawSpaceFill(dc, v, fillScratch);
                pen.Use(drawingSpace ? gdi::SharedPen(PS_DASH, 1, kDrawingGrey)
                                     : gdi::SharedPen(PS_SOLID, selected ? 3 : 2,
                                                      selected ? kSelectedOutline : kSpaceOutline));
                MoveToEx(dc, v[0].x, v[0].y, nullptr);
                for (size_t k = 1; k < v.size(); ++k) LineTo(dc, v[k].x, v[k].y);
                if (v.size() >= 3) LineTo(dc, v[0].x, v[0].y);
            }
            if (!space.name.empty()) {
                SetTextColor(dc, selected ? kSelectedName : kBlack);
                // One line of the name font; no glyph of it is wider than 64 units.
                const int64_t nameLeft = bounds.left, nameTop = bounds.top + shapes::kNameDy;
                const int64_t nameRight = nameLeft + static_cast<int64_t>(space.name.size()) * 64;
                if (MayShow(nameLeft, nameTop, nameRight, nameTop + 2 * shapes::kNameFontHeight, 16, visible)) {
                    font.Use(gdi::SharedGuiFont(shapes::kNameFontHeight, FW_BOLD));
                    TextOutW(dc, static_cast<int>(nameLeft), static_cast<int>(nameTop), space.name.c_str(),
                             static_cast<int>(space.name.size()));
                }
            }
        }
        DrawPlants(dc, space, selected, plantIcon, visible, font);
    }
}

// The translucent fill: the polygon is filled into a 32-bit bitmap of the part
// of its bounding box that can be seen, every filled pixel becomes the
// premultiplied fill colour, and the bitmap is blended onto the canvas in
// world units. Only the visible part is filled, so a space far larger than the
// canvas still gets its fill and hidden spaces cost nothing.
void MainWindow::DrawSpaceFill(HDC dc, const std::vector<POINT>& polygon, SpaceFillScratch& scratch) {
    const shapes::Bounds bounds = shapes::PolygonBounds(polygon);
    RECT visible;  // in world units, under the transform already set
    if (GetClipBox(dc, &visible) == ERROR) return;
    const int64_t minX = std::max<int64_t>(bounds.left, visible.left - 1);
    const int64_t minY = std::max<int64_t>(bounds.top, visible.top - 1);
    const int64_t maxX = std::min<int64_t>(bounds.right, visible.right + 1);
    const int64_t maxY = std::min<int64_t>(bounds.bottom, visible.bottom + 1);
    const int64_t w = maxX - minX + 1, h = maxY - minY + 1;
    if (w <= 0 || h <= 0 || w * h * 4 > INT32_MAX) return;
    if (!scratch.Ensure(dc, w, h)) return;

    // Only the top-left w x h of the shared bitmap is read: it is cleared,
    // filled and blended; whatever the polygon leaves beyond it is never read.
    const size_t stride = static_cast<size_t>(scratch.width);
    for (int64_t y = 0; y < h; ++y) std::memset(scratch.bits + static_cast<size_t>(y) * stride, 0, static_cast<size_t>(w) * 4);
    std::vector<POINT> shifted(polygon.size());
    for (size_t k = 0; k < polygon.size(); ++k)
        shifted[k] = POINT{static_cast<LONG>(polygon[k].x - minX), static_cast<LONG>(polygon[k].y - minY)};
    Polygon(*scratch.dc, shifted.data(), static_cast<int>(shifted.size()));
    GdiFlush();
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // At zoom 1 the blend copies pixel for pixel, and blending a pixel of alpha
    // 0 leaves the canvas as it is: so only bands of rows, each cut to the
    // columns its fill reaches, are blended. Scaled, one blend of the whole
    // part keeps the stretch as it is.
    const bool unitScale = ZoomViewportExtent() == 1000;
    const int64_t band = unitScale ? 32 : h;
    for (int64_t top = 0; top < h; top += band) {
        const int64_t bottom = std::min(top + band, h);
        int64_t left = w, right = -1;
        for (int64_t y = top; y < bottom; ++y) {
            uint32_t* row = scratch.bits + static_cast<size_t>(y) * stride;
            int64_t first = 0, last = w - 1;
            while (first < w && row[first] == 0) ++first;
            if (first == w) continue;
            while (row[last] == 0) --last;
            for (int64_t x = first; x <= last; ++x) row[x] = row[x] != 0 ? kPremultipliedFill : 0;  // vectorises
            left = std::min(left, first);
            right = std::max(right, last);
        }
        if (!unitScale) left = 0, right = w - 1;
        if (right < left) continue;
        AlphaBlend(dc, static_cast<int>(minX + left), static_cast<int>(minY + top), static_cast<int>(right - left + 1),
                   static_cast<int>(bottom - top), *scratch.dc, static_cast<int>(left), static_cast<int>(top),
                   static_cast<int>(right - left + 1), static_cast<int>(bottom - top), blend);
    }
}

// The plants of one space: marker icon, label "name #id" and, for the selected
// plant, a dotted box around the label.
void MainWindow::DrawPlants(HDC dc, const Space& space, bool selected, const gdi::IconStamp& icon, const RECT& visible,
                            gdi::SwitchedSelection& font) {
    int64_t maxCharWidth = -1;  // of the label font, read when first needed
    for (size_t j = 0; j < space.plants.size(); ++j) {
        const Plant& plant = space.plants[j];
        const LONG x = plant.position.x, y = plant.position.y;
        // Markers outside the visible part are skipped: drawing one costs a
        // blend even when nothing of it shows.
        const LONG half = shapes::kMarkerHalf;
        if (x + half >= visible.left && x - half <= visible.right && y + half >= visible.top &&
            y - half <= visible.bottom)
            icon.Draw(dc, x - half, y - half);
        // A label is one line high; one that cannot reach the visible part is
        // not drawn (generous bounds: fonts scale with it).
        const LONG labelX = x + shapes::kLabelDx, labelY = y + shapes::kLabelDy;
        const bool plantSelected = selected && static_cast<int32_t>(j) == selectedPlant;
        bool labelMayShow = labelX <= visible.right && labelY <= visible.bottom && y + 100 >= visible.top;
        if (labelMayShow && !plantSelected) {
            // Nor one that ends left of it: no glyph is wider than twice the
            // font's widest character (" #" and the id add at most 13).
            font.Use(gdi::SharedPlantLabelFont());
            if (maxCharWidth < 0) {
                TEXTMETRICW metrics{};
                maxCharWidth = GetTextMetricsW(dc, &metrics) ? metrics.tmMaxCharWidth + metrics.tmOverhang : INT32_MAX;
            }
            const int64_t reach = (static_cast<int64_t>(plant.name.size()) + 13) * 2 * maxCharWidth + 16;
            labelMayShow = maxCharWidth == INT32_MAX || labelX + reach >= visible.left;
        }
        if (!labelMayShow && !plantSelected) continue;
        font.Use(gdi::SharedPlantLabelFont());
        const std::wstring label = shapes::PlantLabel(plant);
        TextOutW(dc, labelX, labelY, label.c_str(), static_cast<int>(label.size()));
        if (plantSelected) {
            const SIZE size = shapes::TextExtent(dc, label);
            const gdi::Selection pen(dc, gdi::SharedPen(PS_DOT, 1, kSelectedPlantBox));
            const gdi::Selection brush(dc, GetStockObject(NULL_BRUSH));
            const LONG margin = shapes::kLabelBoxMargin;
            Rectangle(dc, labelX - margin, labelY - margin, labelX + size.cx + margin, labelY + size.cy + margin);
        }
    }
}

// The hints of the drawing and placing modes, at the top of the world so they
// move and scale with it.
void MainWindow::DrawModeHints(HDC dc, int32_t width, const std::vector<Space>& spaces) {
    const bool anyPlant = std::any_of(spaces.begin(), spaces.end(), [](const Space& s) { return !s.plants.empty(); });
    const wchar_t* drawingHint =
        drawingSpace && spaces.empty() ? L"Left-click to add points. Right-click to finish the space." : nullptr;
    const wchar_t* placingHint =
        placingPlant && !anyPlant ? L"Click inside the selected space to place the plant. Right-click to cancel."
                                  : nullptr;
    if (!drawingHint && !placingHint) return;
    const gdi::Selection font(dc, gdi::SharedGuiFont(22, FW_BOLD));
    SetTextColor(dc, kHintColour);
    SetBkMode(dc, TRANSPARENT);
    for (const wchar_t* hint : {drawingHint, placingHint}) {
        if (!hint) continue;
        RECT r{0, 16, width, 56};
        DrawTextW(dc, hint, -1, &r, DT_CENTER | DT_SINGLELINE);
    }
}

// With nothing to draw: the welcome line without a project, the getting-started
// lines with an empty one.
void MainWindow::DrawStartScreen(HDC dc, const RECT& canvas) {
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    const int32_t cx = (canvas.left + canvas.right) / 2;
    const int32_t cy = (canvas.top + canvas.bottom) / 2;
    if (!projectManager.IsProjectOpen()) {
        const gdi::Selection font(dc, gdi::SharedGuiFont(48, FW_BOLD));
        const UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        const std::wstring text = L"Welcome to Tilvo!";
        TextOutW(dc, cx, cy, text.c_str(), static_cast<int>(text.size()));
        SetTextAlign(dc, oldAlign);
        return;
    }

    struct Line {
        const wchar_t* text;  // nullptr: an empty line
        LONG height, weight;
        bool centred;  // else at cx - 180
    };
    static const Line kLines[] = {
        {L"Getting Started", 28, FW_BOLD, true},
        {nullptr, 0, 0, false},
        {L"- Create a new space from the 'Spaces' menu", 20, FW_NORMAL, false},
        {L"- Add plants to spaces from the 'Plants' menu", 20, FW_NORMAL, false},
        {L"- Use the 'Tasks' menu to add and manage your chores", 20, FW_NORMAL, false},
        {nullptr, 0, 0, false},
        {L"Tip: Use keyboard shortcuts for faster navigation!", 20, FW_NORMAL, true},
    };
    int32_t y = cy - 80;
    for (const Line& line : kLines) {
        if (!line.text) {
            y += 15;
            continue;
        }
        const std::wstring text = line.text;
        const gdi::Selection font(dc, gdi::SharedGuiFont(line.height, line.weight));
        const SIZE size = shapes::TextExtent(dc, text);
        const int32_t x = line.centred ? cx - size.cx / 2 : cx - 180;
        TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
        y += size.cy + 6;
    }
}
