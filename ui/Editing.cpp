// The canvas's editing: selection by the plant, label and space hit tests,
// drawing spaces point by point, placing plants inside the selected space,
// dragging plants and spaces, and the right press that finishes or cancels.
#include "MainWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "CanvasHitTest.h"
#include "CanvasShapes.h"
#include "GdiObjects.h"
#include "ViewMath.h"

namespace {

const wchar_t kPlantSelected[] = L"Plant selected. Drag to move, or use menu to rename/delete.";
const wchar_t kSpaceSelected[] =
    L"Space selected. Drag to move (plants move with space), or use menu to rename/delete.";
const wchar_t kNothingSelected[] = L"Ready. Mouse wheel to pan, Shift+wheel for horizontal panning.";
const wchar_t kPlaceInside[] = L"Plant must be placed inside the selected space. Right-click to cancel.";
const wchar_t kPlacementCancelled[] = L"Plant placement cancelled.";

void SetCursorShape(LPCWSTR id) {
    SetCursor(LoadCursorW(nullptr, id));
}

bool InRange(int32_t index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) < size;
}

// a - b modulo 2^32. The grab offset of a space whose first vertex lies far out
// (imported coordinates) may not fit in 32 bits, but the delta of a drag step,
// which is the pointer's movement since the press, always does, and modular
// arithmetic gets it exactly.
int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// p moved by (dx, dy), when the result stays within 32 bits.
bool Moved(POINT p, int32_t dx, int32_t dy, POINT& out) {
    const int64_t x = int64_t{p.x} + dx, y = int64_t{p.y} + dy;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return false;
    out = POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    return true;
}

// Whether w can lie in the plant's label box at all: the box is one line of
// the label font high (far below 100 units) and no glyph is wider than 64 units.
bool LabelMayContain(POINT w, const Plant& plant) {
    const int64_t left = int64_t{plant.position.x} + shapes::kLabelDx;
    const int64_t top = int64_t{plant.position.y} + shapes::kLabelDy;
    if (w.x < left || w.y < top || w.y > top + 100) return false;
    const int64_t chars = static_cast<int64_t>(plant.name.size()) + 2 + 11;  // " #" and the id
    return w.x <= left + chars * 64;
}

}  // namespace

void MainWindow::RepaintCanvas(bool erase) {
    InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE);
}

// The label's size in the font the painter uses for it, measured in a DC that
// the caller keeps for a whole pick.
SIZE MainWindow::MeasurePlantLabel(HDC dc, const Plant& plant) {
    return shapes::TextExtent(dc, shapes::PlantLabel(plant));
}

void MainWindow::CanvasPress(WPARAM /*wParam*/, POINT p) {
    if (panTool) {
        BeginLeftPan(p);
        return;
    }
    const POINT w = ClientToWorld(p);
    if (placingPlant) {
        PlacePlantAt(w);
        return;
    }
    if (drawingSpace) {
        // Points may repeat or cross: the polygon is taken as drawn.
        newSpacePoints.push_back(w);
        UpdateScrollBars();
        RepaintCanvas(false);
        return;
    }
    SelectAt(w, p);
}

// Every plant of every space is tried before any space, in list order, so the
// first plant hit in the list wins even where the painter draws a later one on
// top. Spaces are tried from the last painted down, so the one on top wins.
// A space whose points lie on one line or one spot contains no point, so it
// is taken by a press within 3 pixels of the client point p when it is the
// topmost space there, even over a bed; and when no space contains the press,
// the topmost outline within 3 pixels takes it. One DC with the label font serves the whole pick,
// and a label is measured only when the point lies where its box can reach.
void MainWindow::SelectAt(POINT w, POINT p) {
    const std::vector<Space>& spaces = projectManager.GetSpacesView();
    std::optional<gdi::WindowDc> dc;
    std::optional<gdi::Selection> labelFont;
    selectedPlant = -1;
    bool plantHit = false;
    for (size_t si = 0; si < spaces.size() && !plantHit; ++si) {
        const std::vector<Plant>& plants = spaces[si].plants;
        for (size_t pi = 0; pi < plants.size(); ++pi) {
            const POINT pos = plants[pi].position;
            bool hit = PlantIconHit(w, pos);
            if (!hit && LabelMayContain(w, plants[pi])) {
                if (!dc) {
                    dc.emplace(hwnd);
                    if (*dc) labelFont.emplace(*dc, gdi::SharedPlantLabelFont());
                }
                if (*dc) {
                    const SIZE label = MeasurePlantLabel(*dc, plants[pi]);
                    hit = PlantLabelHit(w, pos, label.cx, label.cy);
                }
            }
            if (!hit) continue;
            selectedSpace = static_cast<int32_t>(si);
            selectedPlant = static_cast<int32_t>(pi);
            draggingPlant = true;
            plantGrabOffset[0] = w.x - pos.x;
            plantGrabOffset[1] = w.y - pos.y;
            SetCapture(hwnd);
            plantHit = true;
            break;
        }
    }
    labelFont.reset();
    dc.reset();
    bool spaceHit = false;
    auto pickSpace = [&](size_t si) {
        const Space& space = spaces[si];
        selectedSpace = static_cast<int32_t>(si);
        draggingSpace = true;
        dragOrigPolygon = space.polygon;
        dragOrigPlants = space.plants;
        dragMovedPlants = space.plants;
        spaceGrabOffset[0] = WrapSub(w.x, space.polygon[0].x);
        spaceGrabOffset[1] = WrapSub(w.y, space.polygon[0].y);
        SetCapture(hwnd);
        spaceHit = true;
    };
    if (!plantHit) {
        double x = 0, y = 0;
        ClientToWorldExact(p, x, y);
        // 3 pixels in world units. Both sides of the comparison are rounded,
        // so a press 3 whole pixels off would miss at some zoom steps: a
        // thousandth of a pixel more keeps it in.
        const double reach = 3.001 * 1000.0 / std::max(ZoomViewportExtent(), 1);
        for (size_t si = spaces.size(); si-- > 0 && !spaceHit;) {
            const std::vector<POINT>& polygon = spaces[si].polygon;
            if (polygon.size() >= 3 && PolygonContainsFloat(polygon, w)) pickSpace(si);
            else if (HasNoArea(polygon) && OutlineDistance(polygon, x, y) <= reach) pickSpace(si);
        }
        for (size_t si = spaces.size(); si-- > 0 && !spaceHit;)
            if (OutlineDistance(spaces[si].polygon, x, y) <= reach) pickSpace(si);
        if (!spaceHit) selectedSpace = -1;
    }
    UpdateMenuState();
    SetStatusText(plantHit ? kPlantSelected : spaceHit ? kSpaceSelected : kNothingSelected);
    RepaintCanvas(false);
}

void MainWindow::PlacePlantAt(POINT w) {
    if (selectedSpace < 0) {
        SetStatusText(kPlaceInside);
        RepaintCanvas(false);
        return;
    }
    std::vector<Space> spaces = projectManager.GetSpaces();
    const bool inside =
        InRange(selectedSpace, spaces.size()) && PolygonContainsInt(spaces[selectedSpace].polygon, w);
    if (!inside) {
        SetStatusText(kPlaceInside);
        RepaintCanvas(false);
        return;
    }
    std::wstring name;
    if (!InputBox(L"Add Plant", name) || name.empty()) {
        SetStatusText(kPlacementCancelled);
        placingPlant = false;
        SetCursorShape(IDC_ARROW);
        RepaintCanvas(false);
        return;
    }
    // The input box ran a message loop: the project may have changed meanwhile.
    spaces = projectManager.GetSpaces();
    if (!InRange(selectedSpace, spaces.size())) {
        SetStatusText(L"Selected space not found.");
    } else {
        Plant plant;
        plant.spaceId = spaces[selectedSpace].id;
        plant.name = name;
        plant.position = w;
        if (projectManager.CreatePlant(plant) != -1) {
            UpdateTitle();
            SetStatusText(
                L"Plant added successfully. Click/drag to select/move. Double-click name to rename. DEL to delete.");
        } else {
            SetStatusText(L"Failed to create plant.");
        }
    }
    placingPlant = false;
    SetCursorShape(IDC_ARROW);
    UpdateScrollBars();
    RepaintCanvas(false);
}

// The world point of a drag step. Outside the canvas the client position is
// not a world position that can be seen (toolbar band, title strip, scroll
// bars, outside the window with the mouse captured), so the pointer counts as
// being on the canvas's nearest row or column: the drag keeps following along
// the edge, never jumps, and never carries what it drags out of reach.
POINT MainWindow::DragWorldPoint(POINT p, const std::vector<Space>& spaces) {
    const RECT canvas = CanvasRectFor(spaces);
    p.x = std::clamp<LONG>(p.x, canvas.left, std::max(canvas.left, canvas.right - 1));
    p.y = std::clamp<LONG>(p.y, canvas.top, std::max(canvas.top, canvas.bottom - 1));
    return ClientToWorld(p);
}

void MainWindow::DragPlantStep(POINT p) {
    const std::vector<Space>& spaces = projectManager.GetSpacesView();
    const POINT w = DragWorldPoint(p, spaces);
    RECT before;
    const bool known = DraggedBox(before);
    if (InRange(selectedSpace, spaces.size()) && InRange(selectedPlant, spaces[selectedSpace].plants.size())) {
        const Space& space = spaces[selectedSpace];
        Plant plant = space.plants[selectedPlant];
        const POINT target{w.x - plantGrabOffset[0], w.y - plantGrabOffset[1]};
        // A step that would leave the space keeps the last inside position; a
        // step onto the same position writes nothing, so holding the button
        // still never marks the project changed.
        const bool moved = target.x != plant.position.x || target.y != plant.position.y;
        if (moved && PolygonContainsInt(space.polygon, target)) {
            plant.position = target;
            projectManager.UpdatePlant(plant);
        }
    }
    RepaintDragStep(known, before);
}

// Computed from the copies taken at the press: the space and its plants
// depend only on the pointer's latest position, and all move by one delta.
void MainWindow::DragSpaceStep(POINT p) {
    const std::vector<Space>& spaces = projectManager.GetSpacesView();
    const POINT w = DragWorldPoint(p, spaces);
    RECT before;
    const bool known = DraggedBox(before);
    if (!dragOrigPolygon.empty() && InRange(selectedSpace, spaces.size()) &&
        dragMovedPlants.size() == dragOrigPlants.size()) {
        const int32_t dx = WrapSub(WrapSub(w.x, spaceGrabOffset[0]), dragOrigPolygon[0].x);
        const int32_t dy = WrapSub(WrapSub(w.y, spaceGrabOffset[1]), dragOrigPolygon[0].y);
        // A step that would carry a vertex or a plant beyond the 32-bit range
        // leaves the space and its plants where they are.
        const Space& current = spaces[selectedSpace];
        Space space;  // what UpdateSpace reads: id, name, polygon
        space.id = current.id;
        space.name = current.name;
        bool fits = true;
        space.polygon = dragOrigPolygon;
        for (POINT& v : space.polygon) fits = fits && Moved(v, dx, dy, v);
        for (size_t k = 0; k < dragOrigPlants.size() && fits; ++k)
            fits = Moved(dragOrigPlants[k].position, dx, dy, dragMovedPlants[k].position);
        const bool moved = space.polygon.size() != current.polygon.size() ||
                           !std::equal(space.polygon.begin(), space.polygon.end(), current.polygon.begin(),
                                       [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; });
        // The plants move in one pass through the store, not one search each.
        if (fits && moved && projectManager.UpdateSpace(space) && !dragMovedPlants.empty())
            projectManager.UpdatePlants(dragMovedPlants);
    }
    RepaintDragStep(known, before);
}

namespace {

// Boxes in world units are widened by this much, and text measured at zoom 1
// by what it may gain at other zooms and by glyph overhangs.
constexpr int64_t kSlack = 4;

int64_t Generous(int64_t measured) {
    return measured + measured / 4 + 8;
}

// Marker, label and the selected plant's dotted box.
void AddPlantBox(shapes::Bounds& box, HDC labelDc, const Plant& plant) {
    const SIZE label = shapes::TextExtent(labelDc, shapes::PlantLabel(plant));
    const int64_t x = plant.position.x, y = plant.position.y;
    const int64_t marker = shapes::kMarkerHalf + kSlack;
    box.Add(x - marker, y - marker, x + marker, y + marker);
    const int64_t left = x + shapes::kLabelDx - shapes::kLabelBoxMargin;
    const int64_t top = y + shapes::kLabelDy - shapes::kLabelBoxMargin;
    const int64_t margin = 2 * shapes::kLabelBoxMargin + kSlack;
    box.Add(left, top, left + Generous(label.cx) + margin, top + Generous(label.cy) + margin);
}

}  // namespace

// The client rectangle that the dragged plant, or the dragged space with its
// name and plants, covers now; false when it is not worth working out (many
// plants) or there is nothing dragged.
bool MainWindow::DraggedBox(RECT& out) {
    constexpr size_t kMostPlants = 64;  // more: measuring every label costs more than a full repaint saves
    const std::vector<Space>& spaces = projectManager.GetSpacesView();
    if (!InRange(selectedSpace, spaces.size())) return false;
    const Space& space = spaces[selectedSpace];
    const gdi::WindowDc dc(hwnd);
    if (!dc) return false;
    shapes::Bounds box;
    {
        const gdi::Selection font(dc, gdi::SharedPlantLabelFont());
        if (draggingPlant) {
            if (!InRange(selectedPlant, space.plants.size())) return false;
            AddPlantBox(box, dc, space.plants[selectedPlant]);
        } else {
            if (space.plants.size() > kMostPlants || space.polygon.empty()) return false;
            for (const Plant& plant : space.plants) AddPlantBox(box, dc, plant);
        }
    }
    if (!draggingPlant) {
        const shapes::Bounds outline = shapes::PolygonBounds(space.polygon);
        box.Add(outline.left - kSlack, outline.top - kSlack, outline.right + kSlack, outline.bottom + kSlack);
        if (!space.name.empty()) {
            const gdi::Selection font(dc, gdi::SharedGuiFont(shapes::kNameFontHeight, FW_BOLD));
            const SIZE name = shapes::TextExtent(dc, space.name);
            const int64_t x = outline.left, y = outline.top + shapes::kNameDy;
            box.Add(x - 2 * kSlack, y - 2 * kSlack, x + Generous(name.cx), y + Generous(name.cy));
        }
    }
    // World to client as the painter maps it, outward by a few pixels for rounding.
    RECT canvas;
    GetCanvasRect(canvas);
    const double scale = std::max(ZoomViewportExtent(), 1) / 1000.0;
    const double originX = canvas.left - static_cast<double>(ScrollPixels(scrollX, zoom));
    const double originY = canvas.top - static_cast<double>(ScrollPixels(scrollY, zoom));
    auto clampToLong = [](double v) { return static_cast<LONG>(std::clamp(v, -1e9, 1e9)); };
    const RECT client{clampToLong(std::floor(originX + box.left * scale) - 3),
                      clampToLong(std::floor(originY + box.top * scale) - 3),
                      clampToLong(std::ceil(originX + box.right * scale) + 4),
                      clampToLong(std::ceil(originY + box.bottom * scale) + 4)};
    if (!IntersectRect(&out, &client, &canvas)) out = RECT{0, 0, 0, 0};
    return true;
}

// A drag step changes only what the dragged record covers before and after,
// unless it changes the content extent (and with it the scroll bars).
void MainWindow::RepaintDragStep(bool known, const RECT& before) {
    const int32_t width = contentWidth, height = contentHeight;  // as the step's DragWorldPoint found them
    ComputeContentExtent(projectManager.GetSpacesView());
    RECT after;
    if (!known || width != contentWidth || height != contentHeight || !DraggedBox(after)) {
        RepaintCanvas(false);
        return;
    }
    if (!IsRectEmpty(&before)) InvalidateRect(hwnd, &before, FALSE);
    if (!IsRectEmpty(&after)) InvalidateRect(hwnd, &after, FALSE);
}

void MainWindow::CanvasMove(POINT p) {
    if (panning) {
        LeftPanStep(p);
        return;
    }
    if (midPanning) {
        MiddlePanStep(p);
        return;
    }
    if (draggingPlant && selectedSpace != -1 && selectedPlant != -1) DragPlantStep(p);
    if (draggingSpace && selectedSpace != -1) DragSpaceStep(p);

    LPCWSTR cursor = IDC_ARROW;
    if (draggingSpace) {
        cursor = IDC_SIZEALL;
    } else if (placingPlant) {
        cursor = IDC_CROSS;
    } else if (panTool) {
        RECT canvas;
        GetCanvasRect(canvas);
        const bool onCanvas = p.x >= canvas.left && p.x < canvas.right && p.y >= canvas.top && p.y < canvas.bottom;
        if (onCanvas) cursor = IDC_HAND;
    }
    SetCursorShape(cursor);
}

// The selection stays; the title shows the unsaved mark from here on, not
// during the drag. Nothing is repainted: the last step already did.
void MainWindow::CanvasRelease(POINT /*p*/) {
    if (panning) {
        EndLeftPan();
        return;
    }
    if (draggingPlant) {
        draggingPlant = false;
        ReleaseCapture();
        if (projectManager.HasUnsavedChanges()) UpdateTitle();
    }
    if (draggingSpace) {
        draggingSpace = false;
        ReleaseCapture();
        dragOrigPolygon.clear();
        dragOrigPlants.clear();
        dragMovedPlants.clear();
        if (projectManager.HasUnsavedChanges()) UpdateTitle();
    }
}

// Placing goes first when both modes are on. The press position is not read:
// a right press anywhere, the toolbar band included, finishes or cancels.
void MainWindow::CanvasRightPress() {
    if (placingPlant) {
        placingPlant = false;
        SetCursorShape(IDC_ARROW);
        SetStatusText(kPlacementCancelled);
        RepaintCanvas(true);
        return;
    }
    if (!drawingSpace) return;
    if (newSpacePoints.size() >= 3) {
        Space space;
        space.name = newSpaceName;
        space.polygon = newSpacePoints;
        if (projectManager.CreateSpace(space) == -1) {
            // The drawing stays with its points; the next right press tries again.
            SetStatusText(L"Failed to create space.");
            return;
        }
        UpdateTitle();
        drawingSpace = false;
        newSpacePoints.clear();
        newSpaceName.clear();
        UpdateScrollBars();
        SetStatusText(L"Space created successfully.");
        RepaintCanvas(true);
        return;
    }
    drawingSpace = false;
    newSpacePoints.clear();
    newSpaceName.clear();
    SetStatusText(L"Space creation cancelled. A space requires at least 3 points.");
    RepaintCanvas(true);
}
