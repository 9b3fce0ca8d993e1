// Pan, zoom, wheel and keys through real messages.
#include "CanvasTestSupport.h"

#include <cstdlib>

#include "ViewMath.h"

using namespace canvastest;

namespace {

LPARAM ScreenPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(p.x)), static_cast<WORD>(static_cast<int16_t>(p.y)));
}

void Wheel(GardenWindow& g, int delta, int x = 400, int y = 400) {
    SendMessageW(g.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<int16_t>(delta))),
                 ScreenPoint(g.hwnd(), x, y));
}

void Key(GardenWindow& g, WPARAM key) {
    SendMessageW(g.hwnd(), WM_KEYDOWN, key, 0);
}

// A project much larger than the canvas, so both axes can scroll.
void AddLargeField(GardenWindow& g) {
    g.AddSpace(L"Field", Rect(0, 0, 4000, 3000));
    g->UpdateScrollBars();
}

// Where the painter shows a world point now: the window's own transform in a DC.
POINT ShownAt(GardenWindow& g, POINT world) {
    RECT canvas;
    g->GetCanvasRect(canvas);
    HDC dc = CreateCompatibleDC(nullptr);
    g->SetWorldTransform(dc, canvas);
    LPtoDP(dc, &world, 1);
    DeleteDC(dc);
    return world;
}

// Whether the world point shows within one pixel of the client point.
::testing::AssertionResult ShownNear(GardenWindow& g, POINT world, POINT client) {
    const POINT shown = ShownAt(g, world);
    if (std::abs(shown.x - client.x) <= 1 && std::abs(shown.y - client.y) <= 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shown at (" << shown.x << ", " << shown.y << ") instead of (" << client.x
                                         << ", " << client.y << ") at zoom " << g->zoom << ", scroll (" << g->scrollX
                                         << ", " << g->scrollY << ")";
}

}  // namespace

TEST(LeftPan, FollowsThePointerAndStopsAtZeroWithoutSelecting) {
    GardenWindow g;
    AddLargeField(g);
    g->scrollX = 100;
    g->UpdateScrollBars();
    ASSERT_EQ(g->scrollX, 100);
    g->panTool = true;
    const int top = g.CanvasTop();
    const POINT before = g->ClientToWorld({500, top + 200});
    g.LeftDown(500, top + 200);
    EXPECT_TRUE(g->panning);
    EXPECT_EQ(GetCapture(), g.hwnd());
    g.Move(530, top + 200);
    EXPECT_EQ(g->scrollX, 70);
    EXPECT_EQ(g->scrollY, 0);
    // The world point that was under the pointer moved with it.
    const POINT after = g->ClientToWorld({530, top + 200});
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    g.Move(800, top + 150);  // further than the scroll allows; and 50 up
    EXPECT_EQ(g->scrollX, 0);
    EXPECT_EQ(g->scrollY, 50);
    g.LeftUp(800, top + 150);
    EXPECT_FALSE(g->panning);
    EXPECT_NE(GetCapture(), g.hwnd());
    EXPECT_EQ(g->selectedSpace, -1);
    EXPECT_FALSE(g->draggingSpace);
}

TEST(MiddlePan, PansInEveryModeButNotFromAboveTheCanvas) {
    GardenWindow g;
    AddLargeField(g);
    g->drawingSpace = true;
    g->newSpaceName = L"Bed";
    const int top = g.CanvasTop();
    g.live().Mouse(WM_MBUTTONDOWN, 400, top + 300, MK_MBUTTON);
    ASSERT_TRUE(g->midPanning);
    g.Move(350, top + 220, MK_MBUTTON);
    EXPECT_EQ(g->scrollX, 50);
    EXPECT_EQ(g->scrollY, 80);
    g.live().Mouse(WM_MBUTTONUP, 350, top + 220);
    EXPECT_FALSE(g->midPanning);
    EXPECT_TRUE(g->newSpacePoints.empty());
    // A second pan starts from where the first left the view.
    g.live().Mouse(WM_MBUTTONDOWN, 400, top + 300, MK_MBUTTON);
    g.Move(430, top + 320, MK_MBUTTON);
    EXPECT_EQ(g->scrollX, 20);
    EXPECT_EQ(g->scrollY, 60);
    g.live().Mouse(WM_MBUTTONUP, 430, top + 320);
    // On the toolbar band or the title strip nothing starts.
    g.live().Mouse(WM_MBUTTONDOWN, 300, 50, MK_MBUTTON);
    EXPECT_FALSE(g->midPanning);
    g.live().Mouse(WM_MBUTTONDOWN, 300, 10, MK_MBUTTON);
    EXPECT_FALSE(g->midPanning);
    g.Move(100, top + 100, MK_MBUTTON);
    EXPECT_EQ(g->scrollX, 20);
    EXPECT_EQ(g->scrollY, 60);
}

TEST(WheelScroll, NotchesOfFortyUnitsWithNoRemainder) {
    GardenWindow g;
    AddLargeField(g);
    g->scrollY = 100;
    Wheel(g, 120);
    EXPECT_EQ(g->scrollY, 60);
    Wheel(g, -240);
    EXPECT_EQ(g->scrollY, 140);
    Wheel(g, 60);
    Wheel(g, 60);
    EXPECT_EQ(g->scrollY, 140);
    Wheel(g, 600);  // five notches up, stops at 0
    EXPECT_EQ(g->scrollY, 0);
    EXPECT_EQ(g->scrollX, 0);
    {
        HeldKeys shift{VK_SHIFT};
        Wheel(g, -120);
    }
    EXPECT_EQ(g->scrollX, 40);
    EXPECT_EQ(g->scrollY, 0);
}

TEST(AltWheelZoom, StepsByATenthAroundThePointerAndStaysInRange) {
    GardenWindow g;
    AddLargeField(g);
    const int top = g.CanvasTop();
    {
        HeldKeys alt{VK_MENU};
        Wheel(g, 120, 600, top + 300);
    }
    EXPECT_FLOAT_EQ(g->zoom, 1.1f);
    EXPECT_TRUE(ShownNear(g, {600, 300}, {600, top + 300}));
    {
        HeldKeys alt{VK_MENU};
        Wheel(g, -120, 600, top + 300);
        Wheel(g, 0, 600, top + 300);  // a delta of 0 zooms out too
    }
    EXPECT_FLOAT_EQ(g->zoom, 0.9f);
    g->SetZoom(2.0f, nullptr);
    {
        HeldKeys alt{VK_MENU};
        Wheel(g, 120);
    }
    EXPECT_EQ(g->zoom, 2.0f);
    g->SetZoom(0.5f, nullptr);
    {
        HeldKeys alt{VK_MENU};
        Wheel(g, -120);
    }
    EXPECT_EQ(g->zoom, 0.5f);
}

// Each step keeps the world point under the pointer within a pixel of it:
// with the pointer at (1030, 482) at scroll (0, 120), and far from the origin,
// where zooming out to 0.5 needs more of the scroll range than the content's
// extent scaled by the zoom would leave.
TEST(AltWheelZoom, ThePointUnderThePointerStaysThereAtEveryStep) {
    GardenWindow g;
    AddLargeField(g);
    const int top = g.CanvasTop();
    struct Walk {
        int32_t scrollX, scrollY;
        POINT pointer;
        std::vector<int> deltas;  // one Alt+wheel message each
    };
    std::vector<int> inAndBack(10, 120);
    inAndBack.insert(inAndBack.end(), 10, -120);
    std::vector<int> fullRange(10, 120);
    fullRange.insert(fullRange.end(), 15, -120);
    fullRange.insert(fullRange.end(), 5, 120);
    for (const Walk& walk : {Walk{0, 120, {1030, 482}, inAndBack}, Walk{2400, 1600, {600, top + 400}, fullRange}}) {
        g->SetZoom(1.0f, nullptr);
        g->scrollX = walk.scrollX;
        g->scrollY = walk.scrollY;
        g->UpdateScrollBars();
        ASSERT_EQ(g->scrollX, walk.scrollX);
        ASSERT_EQ(g->scrollY, walk.scrollY);
        HeldKeys alt{VK_MENU};
        for (int delta : walk.deltas) {
            const POINT world = g->ClientToWorld(walk.pointer);
            Wheel(g, delta, walk.pointer.x, walk.pointer.y);
            EXPECT_TRUE(ShownNear(g, world, walk.pointer));
        }
        EXPECT_FLOAT_EQ(g->zoom, 1.0f);
    }
}

TEST(SetZoom, OutOfRangeChangesNothing) {
    GardenWindow g;
    AddLargeField(g);
    g->scrollX = 120;
    g->scrollY = 70;
    g->SetZoom(2.5f, nullptr);
    g->SetZoom(0.4f, nullptr);
    EXPECT_EQ(g->zoom, 1.0f);
    EXPECT_EQ(g->scrollX, 120);
    EXPECT_EQ(g->scrollY, 70);
}

TEST(SetZoom, CanvasCentreExampleAndTheWorldMapping) {
    GardenWindow g;
    AddLargeField(g);
    // A canvas of 1000 x 600: both bars show, so the client is 1017 x 719.
    ShowWindow(g.hwnd(), SW_RESTORE);
    SetWindowPos(g.hwnd(), nullptr, 0, 0, 1017, 719, SWP_NOZORDER | SWP_NOACTIVATE);
    uitest::PumpPending();
    RECT canvas;
    g->GetCanvasRect(canvas);
    ASSERT_EQ(canvas.right - canvas.left, 1000);
    ASSERT_EQ(canvas.bottom - canvas.top, 600);
    // The world point at the canvas centre stays there, whether the zoom
    // comes from the call or from the toolbar's buttons.
    g->scrollX = 0;
    g->scrollY = 0;
    const POINT centre{canvas.left + 500, canvas.top + 300};
    g->SetZoom(1.1f, nullptr);
    EXPECT_TRUE(ShownNear(g, {500, 300}, centre));
    g->scrollX = 300;
    g->scrollY = 200;
    g->UpdateScrollBars();
    g->SetZoom(1.0f, nullptr);
    for (int button : {3, 3, 3, 2, 2, 2, 2, 2, 4}) {  // zoom in, zoom out, reset
        const POINT middle = g->ClientToWorld(centre);
        const RECT r = ToolbarButtonRect(button);
        g.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        EXPECT_TRUE(ShownNear(g, middle, centre)) << "button " << button;
    }
    EXPECT_EQ(g->zoom, 1.0f);
    // The extent is the unscaled one again.
    const int32_t w = g->contentWidth, h = g->contentHeight;
    g->UpdateContentExtent();
    EXPECT_EQ(g->contentWidth, w);
    EXPECT_EQ(g->contentHeight, h);
    // The mapping of a zoomed canvas: at zoom 2.0 with scroll x 100 the point
    // 50 pixels right of the canvas's left edge is world x 125; at 0.5, 200.
    g->SetZoom(2.0f, nullptr);
    g->scrollX = 100;
    EXPECT_EQ(g->ClientToWorld({canvas.left + 50, canvas.top}).x, 125);
    g->SetZoom(0.5f, nullptr);
    g->scrollX = 100;
    EXPECT_EQ(g->ClientToWorld({canvas.left + 50, canvas.top}).x, 200);
}

TEST(SetZoom, AnAnchorAboveTheCanvasKeepsTheCentre) {
    GardenWindow g;
    AddLargeField(g);
    RECT canvas;
    g->GetCanvasRect(canvas);
    const POINT over{300, 40};  // the toolbar band
    g->SetZoom(1.2f, &over);
    const int32_t x = g->scrollX, y = g->scrollY;
    g->SetZoom(1.0f, nullptr);
    g->scrollX = 0;
    g->scrollY = 0;
    g->SetZoom(1.2f, nullptr);
    EXPECT_EQ(g->scrollX, x);
    EXPECT_EQ(g->scrollY, y);
    EXPECT_GT(x, 0);
}

TEST(ScrollKeys, ArrowsAndLettersStepFiftyWithinTheRange) {
    GardenWindow g;
    AddLargeField(g);
    Key(g, VK_DOWN);
    EXPECT_EQ(g->scrollY, 50);
    Key(g, 'S');  // S without Ctrl scrolls
    EXPECT_EQ(g->scrollY, 100);
    {
        HeldKeys shift{VK_SHIFT};
        Key(g, VK_DOWN);
    }
    EXPECT_EQ(g->scrollY, 150);
    Key(g, VK_UP);
    Key(g, 'W');
    EXPECT_EQ(g->scrollY, 50);
    Key(g, VK_RIGHT);
    Key(g, 'D');
    EXPECT_EQ(g->scrollX, 100);
    Key(g, VK_LEFT);
    Key(g, 'A');
    Key(g, 'A');
    EXPECT_EQ(g->scrollX, 0);
    {
        HeldKeys ctrl{VK_CONTROL};
        Key(g, VK_DOWN);
    }
    {
        HeldKeys alt{VK_MENU};
        Key(g, VK_DOWN);
    }
    EXPECT_EQ(g->scrollY, 50);
    // At the end of each axis's range the step stops there, at that axis's own
    // end (the horizontal one lies beyond the vertical one).
    int32_t rangeX = 0, rangeY = 0;
    {
        RECT canvas;
        g->GetCanvasRect(canvas);
        g->UpdateContentExtent();
        rangeX = g->contentWidth - (canvas.right - canvas.left);
        rangeY = g->contentHeight - (canvas.bottom - canvas.top);
    }
    ASSERT_GT(rangeX, rangeY + 50);
    g->scrollY = rangeY - 10;
    Key(g, VK_DOWN);
    EXPECT_EQ(g->scrollY, rangeY);
    g->scrollX = rangeX - 10;
    Key(g, VK_RIGHT);
    EXPECT_EQ(g->scrollX, rangeX);
    EXPECT_TRUE(TakePostedCommands(g.hwnd()).empty());
}

TEST(ScrollKeys, NothingMovesWithoutAProject) {
    GardenWindow g;
    AddLargeField(g);
    g.store().CloseProject();
    g->UpdateScrollBars();
    TakeInvalidation(g.hwnd());
    Key(g, VK_DOWN);
    Key(g, 'D');
    EXPECT_EQ(g->scrollX, 0);
    EXPECT_EQ(g->scrollY, 0);
    EXPECT_FALSE(TakeInvalidation(g.hwnd()));
}

TEST(CommandKeys, RepeatTheAcceleratorsWhenTheKeysReachTheWindow) {
    GardenWindow g;
    const int32_t bed = g.AddSpace(L"Bed", Rect(100, 100, 400, 300));
    g.AddPlant(bed, L"Rose", {200, 200});
    TakePostedCommands(g.hwnd());
    auto ctrlKey = [&](WPARAM key) {
        HeldKeys ctrl{VK_CONTROL};
        Key(g, key);
        return TakePostedCommands(g.hwnd());
    };
    using Ids = std::vector<int>;
    EXPECT_EQ(ctrlKey('N'), Ids{1001});
    EXPECT_EQ(ctrlKey('O'), Ids{1002});
    EXPECT_EQ(ctrlKey('S'), Ids{1004});
    EXPECT_EQ(ctrlKey('X'), Ids{1010});
    EXPECT_EQ(ctrlKey('T'), Ids{1031});
    EXPECT_EQ(ctrlKey('P'), Ids{});  // not repeated here
    EXPECT_EQ(ctrlKey('R'), Ids{});
    EXPECT_EQ(g->statusText, L"Please select a space or plant to rename.");
    Key(g, VK_DELETE);
    EXPECT_EQ(TakePostedCommands(g.hwnd()), Ids{});
    EXPECT_EQ(g->statusText, L"Please select a space or plant to delete.");
    Key(g, VK_F2);
    EXPECT_EQ(TakePostedCommands(g.hwnd()), Ids{1032});
    {
        HeldKeys shift{VK_SHIFT, VK_CONTROL};
        Key(g, 'S');
        Key(g, VK_F2);
    }
    EXPECT_EQ(TakePostedCommands(g.hwnd()), Ids{});

    g->selectedSpace = 0;  // a space only
    EXPECT_EQ(ctrlKey('R'), Ids{1021});
    Key(g, VK_DELETE);
    EXPECT_EQ(TakePostedCommands(g.hwnd()), Ids{1022});
    g->selectedPlant = 0;  // and its plant
    EXPECT_EQ(ctrlKey('R'), Ids{1027});
    Key(g, VK_DELETE);
    EXPECT_EQ(TakePostedCommands(g.hwnd()), Ids{1028});
}

TEST(CommandKeys, WithoutAProject) {
    uitest::LiveWindow w;
    ASSERT_TRUE(w.Created());
    auto key = [&](WPARAM k, std::initializer_list<int> held) {
        HeldKeys keys(held);
        SendMessageW(w.hwnd(), WM_KEYDOWN, k, 0);
        return TakePostedCommands(w.hwnd());
    };
    using Ids = std::vector<int>;
    EXPECT_EQ(key('S', {VK_CONTROL}), Ids{});
    EXPECT_EQ(key('N', {VK_CONTROL}), Ids{1001});
    EXPECT_EQ(key('T', {VK_CONTROL}), Ids{});
    EXPECT_EQ(w->statusText, L"Please open a project first.");
    w->SetStatusText(L"x");
    EXPECT_EQ(key(VK_F2, {}), Ids{});
    EXPECT_EQ(w->statusText, L"Please open a project first.");
    w->SetStatusText(L"x");
    EXPECT_EQ(key(VK_DELETE, {}), Ids{});
    EXPECT_EQ(key('R', {VK_CONTROL}), Ids{});
    EXPECT_EQ(w->statusText, L"x");
}
