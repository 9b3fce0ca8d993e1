// Canvas editing through real mouse messages: drawing spaces, selecting,
// placing plants through the input box, and dragging plants and spaces.
#include "CanvasTestSupport.h"

#include <filesystem>

#include "CanvasHitTest.h"
#include "CanvasShapes.h"
#include "FileTestSupport.h"

using namespace canvastest;

namespace {

const wchar_t kPlantSelected[] = L"Plant selected. Drag to move, or use menu to rename/delete.";
const wchar_t kSpaceSelected[] =
    L"Space selected. Drag to move (plants move with space), or use menu to rename/delete.";
const wchar_t kReady[] = L"Ready. Mouse wheel to pan, Shift+wheel for horizontal panning.";
const wchar_t kPlaceInside[] = L"Plant must be placed inside the selected space. Right-click to cancel.";

bool SamePoint(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

// Saves the project to a temporary file so that the unsaved mark goes away.
void SaveToTemp(GardenWindow& g, const TempDir& dir) {
    ASSERT_TRUE(g.store().SaveProjectAs(WidePath(dir.File("garden.tvp"))));
    g->UpdateTitle();
    ASSERT_FALSE(g.store().HasUnsavedChanges());
    ASSERT_EQ(g.Title().find(L'*'), std::wstring::npos) << std::string(g.Title().begin(), g.Title().end());
}

}  // namespace

TEST(DrawingSpaces, ThreePointsAndARightPressCreateTheSpace) {
    GardenWindow g;
    g->drawingSpace = true;
    g->newSpaceName = L"Herbs";
    const int top = g.CanvasTop();
    g.Click(100, top + 50);
    g.Click(300, top + 50);
    g.Click(300, top + 50);  // a repeated point is kept as it is
    g.Click(200, top + 250);
    ASSERT_EQ(g->newSpacePoints.size(), 4u);
    EXPECT_TRUE(SamePoint(g->newSpacePoints[0], {100, 50}));
    EXPECT_TRUE(SamePoint(g->newSpacePoints[3], {200, 250}));
    EXPECT_TRUE(g.store().GetSpaces().empty());

    g.RightDown(500, top + 500);
    const std::vector<Space> spaces = g.store().GetSpaces();
    ASSERT_EQ(spaces.size(), 1u);
    EXPECT_EQ(spaces[0].name, L"Herbs");
    ASSERT_EQ(spaces[0].polygon.size(), 4u);
    EXPECT_TRUE(SamePoint(spaces[0].polygon[1], {300, 50}));
    EXPECT_FALSE(g->drawingSpace);
    EXPECT_TRUE(g->newSpacePoints.empty());
    EXPECT_TRUE(g->newSpaceName.empty());
    EXPECT_EQ(g->statusText, L"Space created successfully.");
    EXPECT_NE(g.Title().find(L"Garden*"), std::wstring::npos);
    // The new space is not selected.
    EXPECT_EQ(g->selectedSpace, -1);
}

TEST(DrawingSpaces, TwoPointsAndARightPressCancel) {
    GardenWindow g;
    g->drawingSpace = true;
    g->newSpaceName = L"Path";
    const int top = g.CanvasTop();
    g.Click(100, top + 50);
    g.Click(300, top + 50);
    g.RightDown(200, top + 200);
    EXPECT_TRUE(g.store().GetSpaces().empty());
    EXPECT_FALSE(g->drawingSpace);
    EXPECT_TRUE(g->newSpacePoints.empty());
    EXPECT_TRUE(g->newSpaceName.empty());
    EXPECT_EQ(g->statusText, L"Space creation cancelled. A space requires at least 3 points.");
    // A further right press does nothing.
    g.RightDown(200, top + 200);
    EXPECT_EQ(g->statusText, L"Space creation cancelled. A space requires at least 3 points.");
}

TEST(DrawingSpaces, RightPressOnTheToolbarBandFinishesTooAndPressesThereAddNothing) {
    GardenWindow g;
    g->drawingSpace = true;
    g->newSpaceName = L"Bed";
    const int top = g.CanvasTop();
    g.Click(10, top + 10);
    g.Click(300, 60);  // toolbar band outside the buttons: above the canvas, ignored
    g.Click(110, top + 10);
    g.Click(60, top + 100);
    EXPECT_EQ(g->newSpacePoints.size(), 3u);
    g.RightDown(20, 50);  // on the pan button
    EXPECT_EQ(g.store().GetSpaces().size(), 1u);
    EXPECT_FALSE(g->drawingSpace);
}

TEST(Selection, PlantIconBoxIsSixteenUnitsEachWayInclusive) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 500, 400));
    g.AddPlant(bed, L"Rose", {200, 200});
    // Left of the plant (the label lies to the right), 16 away: hit.
    g.ClickWorld({184, 216});
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, 0);
    EXPECT_EQ(g->statusText, kPlantSelected);
    EXPECT_FALSE(g->draggingPlant);  // the release ended the drag
    // 17 away: the space is selected instead.
    g.ClickWorld({183, 200});
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, -1);
    EXPECT_EQ(g->statusText, kSpaceSelected);
    g.ClickWorld({216, 184});  // 16 right and 16 above
    EXPECT_EQ(g->selectedPlant, 0);
    g.ClickWorld({200, 217});
    EXPECT_EQ(g->selectedPlant, -1);
    // Empty canvas clears everything.
    g.ClickWorld({700, 500});
    EXPECT_EQ(g->selectedSpace, -1);
    EXPECT_EQ(g->selectedPlant, -1);
    EXPECT_EQ(g->statusText, kReady);
}

TEST(Selection, LabelBoxSelectsThePlantEvenInsideAnotherSpace) {
    GardenWindow g;
    const int32_t a = g.AddSpace(L"A", Rect(0, 0, 200, 200));
    g.AddSpace(L"B", Rect(230, 150, 600, 400));
    g.AddPlant(a, L"Sunflower Giant Yellow", {150, 180});
    // The label starts at (170, 175); (240, 185) is 90 right of the plant,
    // far outside its icon box and inside space B.
    g.ClickWorld({240, 185});
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, 0);
    EXPECT_EQ(g->statusText, kPlantSelected);
    // Above the label's top edge (y - 5 = 175), inside B: B is selected.
    g.ClickWorld({240, 174});
    EXPECT_EQ(g->selectedSpace, 1);
    EXPECT_EQ(g->selectedPlant, -1);
    // The label's left edge is included.
    g.ClickWorld({170, 176});
    EXPECT_EQ(g->selectedPlant, 0);
    g.ClickWorld({169, 176});  // 19 from the plant, left of the label: space A
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, -1);
}

TEST(Selection, OverlappingPlantsChooseTheEarlierAndOverlappingSpacesTheTopmost) {
    GardenWindow g;
    const int32_t first = g.AddSpace(L"First", Rect(0, 0, 300, 300));
    const int32_t second = g.AddSpace(L"Second", Rect(200, 200, 500, 500));
    // The later space is painted over the earlier one: a press where both lie
    // takes the one the user sees.
    g.ClickWorld({250, 250});
    EXPECT_EQ(g->selectedSpace, 1);
    g.ClickWorld({100, 100});
    EXPECT_EQ(g->selectedSpace, 0);
    g.ClickWorld({400, 400});
    EXPECT_EQ(g->selectedSpace, 1);
    // Two plants with overlapping icon boxes: the one of the earlier space wins,
    // even where the later plant is nearer.
    g.AddPlant(second, L"Late", {260, 260});
    g.AddPlant(first, L"Early", {270, 270});
    g.ClickWorld({262, 262});
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, 0);
    // Within one space, the earlier plant wins.
    g.AddPlant(first, L"Later", {60, 60});
    g.AddPlant(first, L"Later still", {65, 65});
    g.ClickWorld({63, 63});
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, 1);
}

TEST(Selection, SpacesNeedThreeVerticesToContainThePressAndThePolygonDecides) {
    GardenWindow g;
    g.AddSpace(L"Line", {{0, 0}, {400, 400}});
    g.AddSpace(L"Triangle", {{100, 100}, {500, 100}, {100, 500}});
    g.ClickWorld({120, 120});  // on the line too
    EXPECT_EQ(g->selectedSpace, 1);
    g.ClickWorld({450, 300});  // inside the bounding box, outside the triangle
    EXPECT_EQ(g->selectedSpace, -1);
    EXPECT_EQ(g->statusText, kReady);
}

// The label ends at x + 20 + its width, measured in the label font.
TEST(Selection, APressJustPastTheEndOfAPlantLabelMissesIt) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 300, 300));
    const int32_t id = g.AddPlant(bed, L"Rose", {280, 200});
    const gdi::WindowDc dc(g.hwnd());
    const gdi::Selection font(dc, gdi::SharedPlantLabelFont());
    const SIZE size = shapes::TextExtent(dc, L"Rose #" + std::to_wstring(id));
    ASSERT_GT(size.cx, 30);
    const int end = 280 + 20 + size.cx;
    g.ClickWorld({end, 200});
    EXPECT_EQ(g->selectedPlant, 0);
    g.ClickWorld({end + 1, 200});
    EXPECT_EQ(g->selectedSpace, -1);
    EXPECT_EQ(g->selectedPlant, -1);
}

// Points drawn on one line or on one spot make a space without area, which
// contains no point: where it is the topmost space, a press within 3 client
// pixels of it takes it even inside a bed below it; where no space contains the
// press, the topmost outline (closing edge included) within 3 pixels takes it.
TEST(Selection, ASpaceWithoutAreaOnTopOrTheTopmostOutlineWithinThreePixelsTakesThePress) {
    GardenWindow g;
    g.AddSpace(L"Bed", {{0, 300}, {0, 101}, {400, 101}, {400, 300}});
    const int top = g.CanvasTop();
    for (const auto& [name, points] : {std::make_pair(L"Line", std::vector<POINT>{{100, 100}, {300, 100}, {200, 100}}),
                                       std::make_pair(L"Spot", std::vector<POINT>{{500, 200}, {500, 200}, {500, 200}})}) {
        g->drawingSpace = true;
        g->newSpaceName = name;
        for (const POINT p : points) g.Click(p.x, p.y + top);
        g.RightDown(0, 0);
    }
    g.AddSpace(L"Dot", {{500, 200}});
    ASSERT_EQ(g.store().GetSpaces().size(), 4u);

    g.PressWorld({250, 97});
    EXPECT_EQ(g->selectedSpace, 1);
    EXPECT_TRUE(g->draggingSpace);
    EXPECT_EQ(g->statusText, kSpaceSelected);
    g.LeftUp(250, top + 97);
    g.ClickWorld({250, 96});
    EXPECT_EQ(g->selectedSpace, -1);
    g.ClickWorld({250, 102});  // inside Bed, 2 from the line drawn over it: the line
    EXPECT_EQ(g->selectedSpace, 1);
    g.ClickWorld({250, 104});
    EXPECT_EQ(g->selectedSpace, 0);
    g.ClickWorld({302, 98});  // 3 from Bed's top edge, 2.8 from the line's end: the line is on top
    EXPECT_EQ(g->selectedSpace, 1);
    g.ClickWorld({200, 302});  // 2 below Bed's closing edge
    EXPECT_EQ(g->selectedSpace, 0);
    g.ClickWorld({502, 202});  // Spot and Dot: Dot is on top
    EXPECT_EQ(g->selectedSpace, 3);
    g.ClickWorld({503, 203});
    EXPECT_EQ(g->selectedSpace, -1);
    // Client pixels whatever the zoom: at zoom 2 the spot shows at (1000, 400).
    g->zoom = 2.0f;
    g.Click(997, top + 400);
    EXPECT_EQ(g->selectedSpace, 3);
    g.Click(996, top + 400);
    EXPECT_EQ(g->selectedSpace, -1);
    g.Click(1003, top + 400);
    EXPECT_EQ(g->selectedSpace, 3);
    g.Click(1004, top + 400);
    EXPECT_EQ(g->selectedSpace, -1);
    // At zoom 1.1 it shows at (550, 220), and 3 pixels is no round number of world units.
    g->zoom = 1.1f;
    for (const int x : {547, 553, 546, 554}) {
        g.Click(x, top + 220);
        EXPECT_EQ(g->selectedSpace, x == 547 || x == 553 ? 3 : -1) << x;
    }
    // A bed drawn over the line is on top of it there.
    g->zoom = 1.0f;
    g.AddSpace(L"Cover", {{150, 90}, {250, 90}, {250, 110}, {150, 110}});
    g.ClickWorld({200, 102});
    EXPECT_EQ(g->selectedSpace, 4);
    g.ClickWorld({260, 102});
    EXPECT_EQ(g->selectedSpace, 1);
}

TEST(Selection, WithoutAProjectThereIsNothingToHit) {
    uitest::LiveWindow w;
    ASSERT_TRUE(w.Created());
    w->selectedSpace = 3;
    w->selectedPlant = 2;
    w.Mouse(WM_LBUTTONDOWN, 300, 300, MK_LBUTTON);
    w.Mouse(WM_LBUTTONUP, 300, 300);
    EXPECT_EQ(w->selectedSpace, -1);
    EXPECT_EQ(w->selectedPlant, -1);
    EXPECT_EQ(w->statusText, kReady);
}

TEST(PlacingPlants, InsideTheSelectedSpaceAsksForTheNameAndCreatesThePlant) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.ClickWorld({150, 150});
    ASSERT_EQ(g->selectedSpace, 0);
    g->placingPlant = true;
    {
        InputBoxAnswer answer(L"Add Plant", L" Tomato ");
        g.ClickWorld({250, 200});
        EXPECT_TRUE(answer.Answered());
    }
    const Space s = g.SpaceAt(0);
    ASSERT_EQ(s.plants.size(), 1u);
    EXPECT_EQ(s.plants[0].name, L" Tomato ");  // not trimmed
    EXPECT_EQ(s.plants[0].spaceId, bed);
    EXPECT_TRUE(SamePoint(s.plants[0].position, {250, 200}));
    EXPECT_FALSE(g->placingPlant);
    EXPECT_EQ(g->statusText,
              L"Plant added successfully. Click/drag to select/move. Double-click name to rename. DEL to delete.");
    // The new plant is not selected.
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, -1);
}

TEST(PlacingPlants, OutsideTheSelectedSpaceOrWithoutOneIsRefusedAndTheModeStays) {
    GardenWindow g;
    g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddSpace(L"Other", Rect(500, 100, 700, 300));
    g->placingPlant = true;
    g.ClickWorld({150, 150});  // no space selected yet
    EXPECT_EQ(g->statusText, kPlaceInside);
    EXPECT_TRUE(g->placingPlant);
    g->selectedSpace = 0;
    g.ClickWorld({600, 200});  // inside another space
    EXPECT_EQ(g->statusText, kPlaceInside);
    g.ClickWorld({400, 200});  // the right edge is outside
    EXPECT_EQ(g->statusText, kPlaceInside);
    EXPECT_TRUE(g->placingPlant);
    g->selectedSpace = 5;  // stale index
    g.ClickWorld({150, 150});
    EXPECT_EQ(g->statusText, kPlaceInside);
    for (const Space& s : g.store().GetSpaces()) EXPECT_TRUE(s.plants.empty());
    // A right press cancels.
    g.RightDown(10, 10);
    EXPECT_FALSE(g->placingPlant);
    EXPECT_EQ(g->statusText, L"Plant placement cancelled.");
}

TEST(PlacingPlants, CancellingTheNameBoxEndsTheModeAndCreatesNothing) {
    GardenWindow g;
    g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g->selectedSpace = 0;
    g->placingPlant = true;
    {
        InputBoxAnswer answer(L"Add Plant", L"", true);
        g.ClickWorld({250, 200});
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_TRUE(g.SpaceAt(0).plants.empty());
    EXPECT_FALSE(g->placingPlant);
    EXPECT_EQ(g->statusText, L"Plant placement cancelled.");
}

TEST(PlacingPlants, PanModeTakesThePressInstead) {
    GardenWindow g;
    g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g->selectedSpace = 0;
    g->placingPlant = true;
    g->drawingSpace = true;
    g->panTool = true;
    g.PressWorld({250, 200});
    EXPECT_TRUE(g->panning);
    EXPECT_TRUE(g->newSpacePoints.empty());
    EXPECT_TRUE(g->placingPlant);
    g.LeftUp(250, 200 + g.CanvasTop());
    EXPECT_FALSE(g->panning);
    EXPECT_TRUE(g.SpaceAt(0).plants.empty());
}

TEST(DraggingPlants, StopsAtTheLastInsidePositionAndFollowsAgain) {
    TempDir dir;  // outlives the window, which holds the file open
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddPlant(bed, L"Rose", {200, 200});
    SaveToTemp(g, dir);
    const std::wstring cleanTitle = g.Title();
    const int top = g.CanvasTop();

    g.LeftDown(205, top + 203);  // grab 5 right and 3 below the plant
    ASSERT_TRUE(g->draggingPlant);
    EXPECT_EQ(GetCapture(), g.hwnd());
    g.Move(305, top + 203);
    EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {300, 200}));
    g.Move(404, top + 203);  // target x 399: last column inside
    EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {399, 200}));
    g.Move(405, top + 203);  // target x 400: on the right edge, outside
    EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {399, 200}));
    g.Move(900, top + 250);
    EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {399, 200}));
    // The store has the change at once; the title waits for the release.
    EXPECT_TRUE(g.store().HasUnsavedChanges());
    EXPECT_EQ(g.Title(), cleanTitle);
    g.Move(255, top + 153);  // back inside: follows again
    EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {250, 150}));
    g.LeftUp(255, top + 153);
    EXPECT_FALSE(g->draggingPlant);
    EXPECT_NE(GetCapture(), g.hwnd());
    EXPECT_NE(g.Title().find(L"Garden*"), std::wstring::npos);
    // The selection stays.
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, 0);
}

TEST(DraggingPlants, AnUnmovedPressLeavesTheProjectUnchanged) {
    TempDir dir;  // outlives the window, which holds the file open
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddPlant(bed, L"Rose", {200, 200});
    SaveToTemp(g, dir);
    const int top = g.CanvasTop();
    g.LeftDown(200, top + 200);
    g.Move(200, top + 200);
    g.Move(200, top + 200);
    g.LeftUp(200, top + 200);
    EXPECT_FALSE(g.store().HasUnsavedChanges());
    EXPECT_EQ(g.Title().find(L'*'), std::wstring::npos);
}

TEST(DraggingPlants, APointerAboveTheCanvasCountsAsItsTopRow) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(0, 0, 300, 300));
    const int32_t deep = g.AddSpace(L"Deep", Rect(400, 40, 700, 300));
    g.AddPlant(bed, L"Rose", {100, 100});
    g.AddPlant(deep, L"Fern", {500, 100});
    const int top = g.CanvasTop();

    // Grab at the plant's position; the pointer over the toolbar band, then the
    // title strip, then above the window: the plant goes to the top row y 0.
    g.LeftDown(100, top + 100);
    for (int y : {top - 10, 10, -40, -3000}) {
        g.Move(120, y);
        EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {120, 0})) << "pointer y " << y;
    }
    g.LeftUp(120, -40);

    // A space that does not reach the top row: the plant stays where it was.
    g.LeftDown(500, top + 100);
    ASSERT_EQ(g->selectedSpace, 1);
    ASSERT_EQ(g->selectedPlant, 0);
    g.Move(520, top + 50);
    EXPECT_TRUE(SamePoint(g.PlantAt(1, 0).position, {520, 50}));
    g.Move(540, -20);
    EXPECT_TRUE(SamePoint(g.PlantAt(1, 0).position, {520, 50}));
    EXPECT_TRUE(PolygonContainsInt(g.SpaceAt(1).polygon, g.PlantAt(1, 0).position));
    g.LeftUp(540, -20);
}

TEST(DraggingSpaces, PlantsFollowByTheSameDeltaAndTheTitleWaitsForTheRelease) {
    TempDir dir;  // outlives the window, which holds the file open
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddPlant(bed, L"Rose", {150, 150});
    g.AddPlant(bed, L"Tulip", {300, 250});
    SaveToTemp(g, dir);
    const std::wstring cleanTitle = g.Title();
    const int top = g.CanvasTop();

    g.LeftDown(250, top + 120);  // inside the space, away from the plants
    ASSERT_TRUE(g->draggingSpace);
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->selectedPlant, -1);
    EXPECT_EQ(g->statusText, kSpaceSelected);
    EXPECT_EQ(GetCapture(), g.hwnd());
    g.Move(260, top + 125);
    g.Move(280, top + 140);  // delta (30, 20) from the press
    Space s = g.SpaceAt(0);
    const std::vector<POINT> moved = Rect(130, 120, 430, 320);
    for (size_t i = 0; i < moved.size(); ++i) EXPECT_TRUE(SamePoint(s.polygon[i], moved[i])) << i;
    EXPECT_TRUE(SamePoint(s.plants[0].position, {180, 170}));
    EXPECT_TRUE(SamePoint(s.plants[1].position, {330, 270}));
    EXPECT_EQ(g.Title(), cleanTitle);
    // Every step starts from the press: moving back restores everything.
    g.Move(250, top + 120);
    s = g.SpaceAt(0);
    EXPECT_TRUE(SamePoint(s.polygon[0], {100, 100}));
    EXPECT_TRUE(SamePoint(s.plants[1].position, {300, 250}));
    g.Move(150, top + 170);  // delta (-100, 50)
    g.LeftUp(150, top + 170);
    EXPECT_FALSE(g->draggingSpace);
    EXPECT_TRUE(g->dragOrigPolygon.empty());
    EXPECT_TRUE(g->dragOrigPlants.empty());
    EXPECT_NE(GetCapture(), g.hwnd());
    s = g.SpaceAt(0);
    EXPECT_TRUE(SamePoint(s.polygon[0], {0, 150}));
    EXPECT_TRUE(SamePoint(s.plants[0].position, {50, 200}));
    EXPECT_TRUE(SamePoint(s.plants[1].position, {200, 300}));
    EXPECT_NE(g.Title().find(L"Garden*"), std::wstring::npos);
}

TEST(DraggingSpaces, APointerAboveTheCanvasMovesSpaceAndPlantsByOneDelta) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddPlant(bed, L"Rose", {150, 150});
    const int top = g.CanvasTop();
    g.LeftDown(250, top + 120);
    ASSERT_TRUE(g->draggingSpace);
    for (int y : {top - 1, 5, -200}) {
        g.Move(270, y);  // counts as world y 0: delta (20, -120)
        const Space s = g.SpaceAt(0);
        EXPECT_TRUE(SamePoint(s.polygon[0], {120, -20})) << "pointer y " << y;
        EXPECT_TRUE(SamePoint(s.polygon[2], {420, 180})) << "pointer y " << y;
        EXPECT_TRUE(SamePoint(s.plants[0].position, {170, 30})) << "pointer y " << y;
    }
    g.LeftUp(270, -200);
    EXPECT_FALSE(g->draggingSpace);
}

// With the mouse captured the pointer can leave the window on any side; it
// counts as being on the canvas's nearest edge, so the grabbed point of the
// space stays on the canvas and the space can be pressed again.
TEST(DraggingSpaces, APointerBeyondAnyCanvasEdgeCountsAsThatEdge) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddPlant(bed, L"Rose", {150, 150});
    RECT canvas;
    g->GetCanvasRect(canvas);
    const int top = canvas.top;
    g.LeftDown(250, top + 120);  // world (250, 120), 150 right of the first vertex
    ASSERT_TRUE(g->draggingSpace);
    for (int x : {-1, -40, -3000}) {
        g.Move(x, top + 120);  // counts as world x 0: delta (-250, 0)
        const Space s = g.SpaceAt(0);
        EXPECT_TRUE(SamePoint(s.polygon[0], {-150, 100})) << "pointer x " << x;
        EXPECT_TRUE(SamePoint(s.plants[0].position, {-100, 150})) << "pointer x " << x;
    }
    g.LeftUp(-3000, top + 120);
    g.ClickWorld({0, 120});
    EXPECT_EQ(g->selectedSpace, 0);
    EXPECT_EQ(g->statusText, kSpaceSelected);

    // Right of and below the canvas (as it stands now, with the bars the
    // moved space needs): its last column and row.
    g->GetCanvasRect(canvas);
    g.LeftDown(0, top + 120);
    ASSERT_TRUE(g->draggingSpace);
    g.Move(canvas.right + 500, canvas.bottom + 500);
    const Space s = g.SpaceAt(0);
    EXPECT_TRUE(SamePoint(s.polygon[0], {canvas.right - 1 - 150, canvas.bottom - 1 - top - 20}));
    g.LeftUp(canvas.right + 500, canvas.bottom + 500);
}

// A step that changes the content's height alone still changes the scroll
// bars: the window must show what a repaint of everything shows.
TEST(DraggingSpaces, AStepThatChangesOnlyTheContentHeightRepaintsTheScrollBars) {
    GardenWindow g;
    g.AddSpace(L"Top", Rect(0, 0, 2000, 300));  // the content's left, top and right
    g.AddSpace(L"Low", Rect(100, 1200, 300, 1400));  // its bottom
    g->scrollY = 600;
    g->UpdateScrollBars();
    ASSERT_EQ(g->scrollY, 600);
    ASSERT_TRUE(g->LayoutScrollBars(g.live().Client()).vertical);
    const int top = g.CanvasTop();
    g.LeftDown(200, top + 1300 - 600);
    ASSERT_TRUE(g->draggingSpace);
    ASSERT_EQ(g->selectedSpace, 1);
    UpdateWindow(g.hwnd());
    const int32_t width = g->contentWidth, height = g->contentHeight;
    g.Move(200, top + 1340 - 600);
    EXPECT_TRUE(SamePoint(g.SpaceAt(1).polygon[0], {100, 1240}));
    g->UpdateContentExtent();
    EXPECT_EQ(g->contentWidth, width);
    EXPECT_EQ(g->contentHeight, height + 40);
    EXPECT_EQ(uitest::PixelsAPartialRepaintMissed(g.hwnd()), 0u);
    g.LeftUp(200, top + 1340 - 600);
}

// A dragged plant stops at the canvas's left edge too, inside its space.
TEST(DraggingPlants, APointerLeftOfTheCanvasCountsAsItsLeftColumn) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(0, 0, 300, 300));
    g.AddPlant(bed, L"Rose", {100, 100});
    const int top = g.CanvasTop();
    g.LeftDown(100, top + 100);
    ASSERT_TRUE(g->draggingPlant);
    g.Move(-500, top + 100);
    EXPECT_TRUE(SamePoint(g.PlantAt(0, 0).position, {0, 100}));
    g.LeftUp(-500, top + 100);
}

TEST(DraggingSpaces, FarOutCoordinatesNeverLeaveTheThirtyTwoBitRange) {
    GardenWindow g;
    // The first vertex lies so far left that the grab offset does not fit in
    // 32 bits; the right edge is 647 units short of the largest value.
    const int32_t left = INT32_MIN + 1, right = INT32_MAX - 647;
    const int32_t bed = g.AddSpace(L"Imported", Rect(left, -1000000, right, 1000000));
    g.AddPlant(bed, L"Far", {right - 100, 0});
    const int top = g.CanvasTop();
    g.LeftDown(500, top + 300);
    ASSERT_TRUE(g->draggingSpace);
    g.Move(510, top + 305);
    Space s = g.SpaceAt(0);
    EXPECT_TRUE(SamePoint(s.polygon[0], {left + 10, -1000000 + 5}));
    EXPECT_TRUE(SamePoint(s.polygon[1], {right + 10, -1000000 + 5}));
    EXPECT_TRUE(SamePoint(s.plants[0].position, {right - 90, 5}));
    // 700 right would carry the right edge past the largest value: no step.
    g.Move(1200, top + 300);
    s = g.SpaceAt(0);
    EXPECT_TRUE(SamePoint(s.polygon[1], {right + 10, -1000000 + 5}));
    EXPECT_TRUE(SamePoint(s.plants[0].position, {right - 90, 5}));
    g.Move(600, top + 300);
    s = g.SpaceAt(0);
    EXPECT_TRUE(SamePoint(s.polygon[0], {left + 100, -1000000}));
    EXPECT_TRUE(SamePoint(s.polygon[1], {right + 100, -1000000}));
    EXPECT_TRUE(SamePoint(s.plants[0].position, {right, 0}));
    g.LeftUp(600, top + 300);
}
