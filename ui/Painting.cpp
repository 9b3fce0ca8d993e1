// The painter of the main window: paints the whole client area into one
// off-screen bitmap (frame, status strip, grid, spaces, plants, the polygon
// being drawn, hints, start screens, scroll bars) and copies it in one transfer.
#include "MainWindow.h"

#include <algorithm>
#include <climits>
#include <cstring>

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
constexpr int32_t kStatusHeight = 22;
constexpr int32_t kGridStep = 20;

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A font from the stock GUI font's description with a new height and, when
// given, a new weight.
HFONT MakeGuiFont(LONG height, LONG weight) {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfHeight = height;
    if (weight >= 0) lf.lfWeight = weight;
    return CreateFontIndirectW(&lf);
}

LONG GuiFontHeight() {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf.lfHeight;
}

// Back to device pixels with the origin at the client's top-left corner.
void ResetTransform(HDC dc) {
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

void ClipTo(HDC dc, const RECT& r) {
    HRGN region = CreateRectRgnIndirect(&r);
    SelectClipRgn(dc, region);  // the DC keeps its own copy
    DeleteObject(region);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
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
    HDC dc = CreateCompatibleDC(windowDc);
    HBITMAP buffer = CreateCompatibleBitmap(windowDc, W, H);
    HGDIOBJ oldBitmap = SelectObject(dc, buffer);

    FillSolid(dc, client, kWhite);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    DrawTitleBar(dc, client);
    const bool open = projectManager.IsProjectOpen();
    if (open) DrawToolbar(dc, RECT{0, 32, W, 80});
    DrawStatusStrip(dc, client);

    // One copy of the project serves the whole paint: nothing changes it meanwhile.
    const std::vector<Space> spaces = projectManager.GetSpaces();

    RECT canvas = CanvasRectFor(spaces);
    ClipTo(dc, canvas);
    FillSolid(dc, canvas, kWhite);
    SetWorldTransform(dc, canvas);
    DrawGrid(dc, canvas);
    ResetTransform(dc);
    SelectClipRgn(dc, nullptr);

    canvas = CanvasRectFor(spaces);
    ClipTo(dc, canvas);
    SetWorldTransform(dc, canvas);
    DrawSpaces(dc, spaces);
    if (drawingSpace && newSpacePoints.size() >= 2) {
        HPEN pen = CreatePen(PS_DASH, 1, kDrawingGrey);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        Polyline(dc, newSpacePoints.data(), static_cast<int>(newSpacePoints.size()));
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    DrawModeHints(dc, W, spaces);
    ResetTransform(dc);
    SelectClipRgn(dc, nullptr);

    if (spaces.empty() && !drawingSpace) DrawStartScreen(dc, CanvasRectFor(spaces));

    DrawScrollBarsFor(dc, client, spaces);
    DrawToolbarTooltip(dc, client);

    BitBlt(windowDc, 0, 0, W, H, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(buffer);
    DeleteDC(dc);
    EndPaint(hwnd, &ps);
}

// The status strip: the status text on the left, cut with an ellipsis, and the
// version text right-aligned.
void MainWindow::DrawStatusStrip(HDC dc, const RECT& client) {
    const int32_t W = client.right, H = client.bottom;
    FillSolid(dc, RECT{0, H - kStatusHeight, W, H}, kStatusBg);
    HPEN pen = CreatePen(PS_SOLID, 1, kStatusLine);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 0, H - kStatusHeight, nullptr);
    LineTo(dc, W, H - kStatusHeight);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    if (!statusText.empty()) {
        RECT r{8, H - kStatusHeight, W - 120, H};
        DrawTextW(dc, statusText.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    if (!statusRightText.empty()) {
        RECT r{W - 115, H - kStatusHeight, W - 8, H};
        DrawTextW(dc, statusRightText.c_str(), -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
}

// Grid lines every 20 world units over the visible canvas and one step beyond,
// drawn under the world transform while a project is open.
void MainWindow::DrawGrid(HDC dc, const RECT& canvas) {
    if (!projectManager.IsProjectOpen()) return;
    const int32_t V = std::max(ZoomViewportExtent(), 1);
    HPEN pen = CreatePen(PS_SOLID, 1, kGridColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int32_t startX = (scrollX / kGridStep) * kGridStep;
    const int32_t startY = (scrollY / kGridStep) * kGridStep;
    const int32_t endX = scrollX + kGridStep + static_cast<int32_t>((canvas.right - canvas.left) * 1000LL / V);
    const int32_t endY = scrollY + kGridStep + static_cast<int32_t>((canvas.bottom - canvas.top) * 1000LL / V);
    for (int32_t x = startX; x <= endX; x += kGridStep) {
        MoveToEx(dc, x, startY, nullptr);
        LineTo(dc, x, endY);
    }
    for (int32_t y = startY; y <= endY; y += kGridStep) {
        MoveToEx(dc, startX, y, nullptr);
        LineTo(dc, endX, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Every space in list order: fill, outline, name, then its plants. The text
// colour a space's name leaves behind is the colour of its plants' labels.
void MainWindow::DrawSpaces(HDC dc, const std::vector<Space>& spaces) {
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    // The plant marker is loaded once per paint, not once per plant: loading an
    // icon costs far more than drawing it, and every plant shows the same one.
    HICON plantIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PLANT), IMAGE_ICON, 32, 32, 0));
    for (size_t i = 0; i < spaces.size(); ++i) {
        const Space& space = spaces[i];
        const std::vector<POINT>& v = space.polygon;
        const bool selected = static_cast<int32_t>(i) == selectedSpace;
        HPEN pen = drawingSpace ? CreatePen(PS_DASH, 1, kDrawingGrey)
                                : CreatePen(PS_SOLID, selected ? 3 : 2, selected ? kSelectedOutline : kSpaceOutline);
        if (v.size() >= 3 && !drawingSpace) DrawSpaceFill(dc, v);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        if (v.size() >= 3) {
            MoveToEx(dc, v[0].x, v[0].y, nullptr);
            for (size_t k = 1; k < v.size(); ++k) LineTo(dc, v[k].x, v[k].y);
            LineTo(dc, v[0].x, v[0].y);
        } else if (v.size() == 2) {
            MoveToEx(dc, v[0].x, v[0].y, nullptr);
            LineTo(dc, v[1].x, v[1].y);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);

        if (!space.name.empty() && !v.empty()) {
            LONG minX = v[0].x, minY = v[0].y;
            for (const POINT& p : v) {
                minX = std::min(minX, p.x);
                minY = std::min(minY, p.y);
            }
            HFONT font = MakeGuiFont(20, FW_BOLD);
            HGDIOBJ oldFont = SelectObject(dc, font);
            SetTextColor(dc, selected ? kSelectedName : kBlack);
            TextOutW(dc, minX, minY - 22, space.name.c_str(), static_cast<int>(space.name.size()));
            SelectObject(dc, oldFont);
            DeleteObject(font);
        }
        DrawPlants(dc, space, selected, plantIcon);
    }
    if (plantIcon) DestroyIcon(plantIcon);
}

// The translucent fill: the polygon is filled into a 32-bit bitmap of the part
// of its bounding box that can be seen, every filled pixel becomes the
// premultiplied fill colour, and the bitmap is blended onto the canvas in
// world units. Only the visible part is filled, so a space far larger than the
// canvas still gets its fill and hidden spaces cost nothing.
void MainWindow::DrawSpaceFill(HDC dc, const std::vector<POINT>& polygon) {
    int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    for (const POINT& p : polygon) {
        minX = std::min<int64_t>(minX, p.x);
        minY = std::min<int64_t>(minY, p.y);
        maxX = std::max<int64_t>(maxX, p.x);
        maxY = std::max<int64_t>(maxY, p.y);
    }
    RECT visible;  // in world units, under the transform already set
    if (GetClipBox(dc, &visible) == ERROR) return;
    minX = std::max<int64_t>(minX, visible.left - 1);
    minY = std::max<int64_t>(minY, visible.top - 1);
    maxX = std::min<int64_t>(maxX, visible.right + 1);
    maxY = std::min<int64_t>(maxY, visible.bottom + 1);
    const int64_t w = maxX - minX + 1, h = maxY - minY + 1;
    if (w <= 0 || h <= 0 || w * h * 4 > INT32_MAX) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return;
    }
    const size_t pixelCount = static_cast<size_t>(w * h);
    std::memset(bits, 0, pixelCount * 4);

    HDC fillDc = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(fillDc, dib);
    HBRUSH brush = CreateSolidBrush(kSpaceFill);
    HGDIOBJ oldBrush = SelectObject(fillDc, brush);
    HGDIOBJ oldPen = SelectObject(fillDc, GetStockObject(NULL_PEN));
    std::vector<POINT> shifted(polygon.size());
    for (size_t k = 0; k < polygon.size(); ++k)
        shifted[k] = POINT{static_cast<LONG>(polygon[k].x - minX), static_cast<LONG>(polygon[k].y - minY)};
    Polygon(fillDc, shifted.data(), static_cast<int>(shifted.size()));
    GdiFlush();
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (size_t k = 0; k < pixelCount; ++k)
        if (pixels[k] != 0) pixels[k] = kPremultipliedFill;

    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, static_cast<int>(minX), static_cast<int>(minY), static_cast<int>(w), static_cast<int>(h), fillDc, 0,
               0, static_cast<int>(w), static_cast<int>(h), blend);
    SelectObject(fillDc, oldPen);
    SelectObject(fillDc, oldBrush);
    SelectObject(fillDc, oldBitmap);
    DeleteObject(brush);
    DeleteDC(fillDc);
    DeleteObject(dib);
}

// The plants of one space: marker icon, label "name #id" and, for the selected
// plant, a dotted box around the label.
void MainWindow::DrawPlants(HDC dc, const Space& space, bool selected, HICON icon) {
    if (space.plants.empty()) return;
    RECT visible{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX};
    GetClipBox(dc, &visible);
    HFONT font = MakeGuiFont(GuiFontHeight() * 5 / 4, -1);
    HGDIOBJ oldFont = SelectObject(dc, font);
    for (size_t j = 0; j < space.plants.size(); ++j) {
        const Plant& plant = space.plants[j];
        const LONG x = plant.position.x, y = plant.position.y;
        // Markers outside the visible part are skipped: drawing one costs a
        // blend even when nothing of it shows.
        if (icon && x + 16 >= visible.left && x - 16 <= visible.right && y + 16 >= visible.top &&
            y - 16 <= visible.bottom)
            DrawIconEx(dc, x - 16, y - 16, icon, 32, 32, 0, nullptr, DI_NORMAL);
        // A label starts at x + 20 and is one line high; one that cannot reach
        // the visible part is not drawn (generous bounds: fonts scale with it).
        const std::wstring label = plant.name + L" #" + std::to_wstring(plant.id);
        const bool labelMayShow = x + 20 <= visible.right && y - 5 <= visible.bottom && y + 100 >= visible.top;
        if (labelMayShow || (selected && static_cast<int32_t>(j) == selectedPlant))
            TextOutW(dc, x + 20, y - 5, label.c_str(), static_cast<int>(label.size()));
        if (selected && static_cast<int32_t>(j) == selectedPlant) {
            const SIZE size = TextSize(dc, label);
            HPEN pen = CreatePen(PS_DOT, 1, kSelectedPlantBox);
            HGDIOBJ oldPen = SelectObject(dc, pen);
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, x + 18, y - 7, x + size.cx + 22, y + size.cy - 3);
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(pen);
        }
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
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
    HFONT font = MakeGuiFont(22, FW_BOLD);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, kHintColour);
    SetBkMode(dc, TRANSPARENT);
    for (const wchar_t* hint : {drawingHint, placingHint}) {
        if (!hint) continue;
        RECT r{0, 16, width, 56};
        DrawTextW(dc, hint, -1, &r, DT_CENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// With nothing to draw: the welcome line without a project, the getting-started
// lines with an empty one.
void MainWindow::DrawStartScreen(HDC dc, const RECT& canvas) {
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    const int32_t cx = (canvas.left + canvas.right) / 2;
    const int32_t cy = (canvas.top + canvas.bottom) / 2;
    if (!projectManager.IsProjectOpen()) {
        HFONT font = MakeGuiFont(48, FW_BOLD);
        HGDIOBJ oldFont = SelectObject(dc, font);
        const UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        const std::wstring text = L"Welcome to Tilvo!";
        TextOutW(dc, cx, cy, text.c_str(), static_cast<int>(text.size()));
        SetTextAlign(dc, oldAlign);
        SelectObject(dc, oldFont);
        DeleteObject(font);
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
        HFONT font = MakeGuiFont(line.height, line.weight);
        HGDIOBJ oldFont = SelectObject(dc, font);
        const SIZE size = TextSize(dc, text);
        const int32_t x = line.centred ? cx - size.cx / 2 : cx - 180;
        TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
        y += size.cy + 6;
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
}
