// Canvas geometry: bands, content extent, the drawn scroll bars (need test,
// layout, page clicks, thumb drags) and the world mapping with its inverse.
#include "UiTestSupport.h"

using namespace uitest;

namespace {

// Content of 2406 x 1217 world units (see ExtentOfOneNamedTriangle).
Space WorkedExampleSpace() {
    return MakeSpace(L"Bed", {{100, 100}, {200, 100}, {200, 200}});
}

}  // namespace

TEST(CanvasExtent, NoProjectHasTheTitleStripAboveAndNoBars) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    RECT canvas;
    w->GetCanvasRect(canvas);
    EXPECT_EQ(canvas.top, 32);
    EXPECT_EQ(canvas.left, 0);
    EXPECT_EQ(canvas.right, 1000);
    EXPECT_EQ(canvas.bottom, 678);
    w->scrollX = 50;
    w->scrollY = 70;
    w->UpdateScrollBars();
    EXPECT_EQ(w->scrollX, 0);
    EXPECT_EQ(w->scrollY, 0);
    const ScrollBarLayout bars = w->LayoutScrollBars(w.Client());
    EXPECT_FALSE(bars.vertical);
    EXPECT_FALSE(bars.horizontal);
}

TEST(CanvasExtent, EmptyProjectHasTheDefaultExtentAndNoBars) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({});
    RECT canvas;
    w->GetCanvasRect(canvas);
    EXPECT_EQ(canvas.top, 80);
    EXPECT_EQ(canvas.right, 1000);
    EXPECT_EQ(canvas.bottom, 678);
    EXPECT_EQ(w->contentWidth, 1600);
    EXPECT_EQ(w->contentHeight, 1000);
    EXPECT_FALSE(w->LayoutScrollBars(w.Client()).vertical);
}

TEST(CanvasExtent, WorkedExamples) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    // One space with a three-letter name: label box (94, 83)-(238, 183).
    w.OpenProject({WorkedExampleSpace()});
    w->UpdateContentExtent();
    EXPECT_EQ(w->contentWidth, 2406);
    EXPECT_EQ(w->contentHeight, 1217);

    // The span, not the distance from the origin, sets the extent.
    w.OpenProject({MakeSpace(L"", {{3000, 100}, {3200, 100}, {3200, 300}})});
    w->UpdateContentExtent();
    EXPECT_EQ(w->contentWidth, 2000);
    EXPECT_EQ(w->contentHeight, 1200);

    // The signed mean: centre (-10, 10), label box (-60, -40)-(40, 60).
    w.OpenProject({MakeSpace(L"", {{-30, 0}, {0, 0}, {0, 30}})});
    w->UpdateContentExtent();
    EXPECT_EQ(w->contentWidth, 1600 + 560 + 400);
    EXPECT_EQ(w->contentHeight, 1000 + 340);

    // A plant at (1000, 1000) reaches (850, 925)-(1300, 1075).
    w.OpenProject({MakeSpace(L"", {{500, 300}, {510, 300}, {500, 310}}, {MakePlant(L"Oak", 1000, 1000)})});
    w->UpdateContentExtent();
    EXPECT_EQ(w->contentWidth, 1847 + 47 + 400);
    EXPECT_EQ(w->contentHeight, 1422 + 47);

    // Points of a space being drawn count too.
    w.OpenProject({});
    w->newSpacePoints = {{600, 400}, {2600, 400}};
    w->UpdateContentExtent();
    EXPECT_EQ(w->contentWidth, 3000 + 400);
    EXPECT_EQ(w->contentHeight, 1000);
    w->newSpacePoints.clear();
}

TEST(CanvasExtent, ExtremeCoordinatesSaturateInsteadOfOverflowing) {
    CaseWatchdog::AllowMs(60000);  // the paint of so large an extent takes seconds on a busy machine
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({MakeSpace(L"Far", {{-2000000000, -2000000000}, {2000000000, -2000000000}, {2000000000, 2000000000}})});
    w->UpdateContentExtent();
    EXPECT_EQ(w->contentWidth, INT32_MAX);
    EXPECT_EQ(w->contentHeight, INT32_MAX);
    // The paint places the space where it lies: at scroll 0 the canvas shows
    // world (x, y) at (x, y + 80), and the diagonal y = x parts the triangle's
    // filled inside from the bare canvas with its grid.
    ASSERT_EQ(w->scrollX, 0);
    ASSERT_EQ(w->scrollY, 0);
    Capture shot(w.hwnd());
    const COLORREF fill = RGB(167, 241, 167), fillOverGrid = RGB(162, 236, 162);  // opacity 200 over each
    const COLORREF white = RGB(255, 255, 255), grid = RGB(230, 230, 230);
    auto count = [&shot](LONG left, LONG top, LONG right, LONG bottom, std::initializer_list<COLORREF> colours) {
        int n = 0;
        for (COLORREF c : colours) n += shot.Count(RECT{left, top + 80, right, bottom + 80}, c);
        return n;
    };
    EXPECT_EQ(count(400, 50, 600, 150, {fill, fillOverGrid}), 200 * 100);  // inside
    EXPECT_EQ(count(50, 400, 150, 500, {white, grid}), 100 * 100);          // outside
    EXPECT_GT(count(50, 400, 150, 500, {grid}), 500);
    // Close to the diagonal, on either side of it.
    EXPECT_EQ(Hex(shot.At(305, 295 + 80)), Hex(fill));
    EXPECT_EQ(Hex(shot.At(295, 305 + 80)), Hex(white));
}

TEST(ScrollBars, LayoutOfTheWorkedExampleInAThousandBySevenHundredWindow) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({WorkedExampleSpace()});
    const ScrollBarLayout bars = w->LayoutScrollBars(w.Client());
    ASSERT_TRUE(bars.vertical);
    ASSERT_TRUE(bars.horizontal);
    EXPECT_EQ(bars.canvas.top, 80);
    EXPECT_EQ(bars.canvas.right, 983);
    EXPECT_EQ(bars.canvas.bottom, 661);
    EXPECT_EQ(bars.vTrack.left, 983);
    EXPECT_EQ(bars.vTrack.top, 80);
    EXPECT_EQ(bars.vTrack.bottom, 661);
    EXPECT_EQ(bars.vThumbLen, 277);  // 581 / 1217 of a 581-pixel track
    EXPECT_EQ(bars.vThumb.left, 985);
    EXPECT_EQ(bars.vThumb.right, 998);
    EXPECT_EQ(bars.hTrack.top, 661);
    EXPECT_EQ(bars.hTrack.right, 983);
    EXPECT_EQ(bars.hThumbLen, 401);  // 983 / 2406 of a 983-pixel track
    EXPECT_EQ(bars.hThumb.top, 663);
    EXPECT_EQ(bars.hThumb.bottom, 676);

    w->scrollY = 318;  // half of the range 636
    w->scrollX = 1423;  // the whole range
    const ScrollBarLayout moved = w->LayoutScrollBars(w.Client());
    EXPECT_EQ(moved.vThumbPos, 152);
    EXPECT_EQ(moved.hThumbPos, 983 - 401);

    // Painted: tracks, thumbs and the corner square.
    Capture shot(w.hwnd());
    EXPECT_EQ(Hex(shot.At(984, 90)), Hex(RGB(250, 250, 250)));
    EXPECT_EQ(Hex(shot.At(990, 80 + 152 + 10)), Hex(RGB(220, 220, 220)));
    EXPECT_EQ(Hex(shot.At(990, 665)), Hex(RGB(250, 250, 250)));  // corner
    EXPECT_EQ(Hex(shot.At(983 - 401 + 5, 670)), Hex(RGB(220, 220, 220)));
    EXPECT_EQ(Hex(shot.At(983 - 401 - 5, 670)), Hex(RGB(250, 250, 250)));
}

TEST(ScrollBars, ClampingFollowsTheNeedOfEachAxis) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({WorkedExampleSpace()});
    w->scrollX = 99999;
    w->scrollY = -5;
    w->UpdateScrollBars();
    EXPECT_EQ(w->scrollX, 2406 - 983);
    EXPECT_EQ(w->scrollY, 0);
    // A canvas exactly as tall as the content (1217 rows above the horizontal
    // bar) has no vertical bar: scrollY returns to 0.
    w->scrollY = 100;
    w.Restore(0, 0, 1000, 80 + 1217 + 17 + 22);
    ASSERT_EQ(w.Client().bottom, 1336);
    w->UpdateScrollBars();
    EXPECT_FALSE(w->LayoutScrollBars(w.Client()).vertical);
    EXPECT_EQ(w->scrollY, 0);
    EXPECT_EQ(w->scrollX, 2406 - 1000);
    // A canvas that holds the content exactly on both axes has no bars at all.
    w->scrollY = 100;
    w.Restore(0, 0, 2406, 80 + 1217 + 22);
    ASSERT_EQ(w.Client().right, 2406);
    ASSERT_EQ(w.Client().bottom, 1319);
    w->UpdateScrollBars();
    const ScrollBarLayout fits = w->LayoutScrollBars(w.Client());
    EXPECT_FALSE(fits.vertical);
    EXPECT_FALSE(fits.horizontal);
    EXPECT_EQ(fits.canvas.right, 2406);
    EXPECT_EQ(fits.canvas.bottom, 1319 - 22);
    EXPECT_EQ(w->scrollX, 0);
    EXPECT_EQ(w->scrollY, 0);
}

TEST(ScrollBars, PageClicksAndThumbEdges) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({WorkedExampleSpace()});
    const int thumbTop = 80 + 152;  // at scrollY 318, half of the range 636
    auto pressAt = [&](int y, int32_t scrollY = 318) {
        w->scrollY = scrollY;
        w.Mouse(WM_LBUTTONDOWN, 990, y);
    };
    pressAt(80 + 304 - 1, 636);  // one pixel above the thumb at the range's end: page up by the canvas height
    EXPECT_EQ(w->scrollY, 636 - 581);
    EXPECT_FALSE(w->draggingVThumb);
    pressAt(thumbTop - 1);  // from the middle, page up stops at 0
    EXPECT_EQ(w->scrollY, 0);
    pressAt(80 + 277 + 1, 0);  // just below the thumb at the start: page down by the canvas height
    EXPECT_EQ(w->scrollY, 581);

    pressAt(thumbTop);  // first pixel of the thumb starts a drag
    EXPECT_TRUE(w->draggingVThumb);
    EXPECT_EQ(GetCapture(), w.hwnd());
    EXPECT_EQ(w->thumbStartScrollY, 318);
    w.Mouse(WM_LBUTTONUP, 990, thumbTop);
    EXPECT_FALSE(w->draggingVThumb);
    EXPECT_EQ(GetCapture(), nullptr);

    pressAt(thumbTop + 277);  // last pixel, bounds inclusive
    EXPECT_TRUE(w->draggingVThumb);
    w.Mouse(WM_LBUTTONUP, 990, thumbTop);

    pressAt(thumbTop + 278);  // below: page down, stopping at the range's end
    EXPECT_EQ(w->scrollY, 636);

    // Horizontal: page right by the canvas width from 0, then page left.
    w->scrollX = 0;
    w.Mouse(WM_LBUTTONDOWN, 900, 670);
    EXPECT_EQ(w->scrollX, 983);
    w.Mouse(WM_LBUTTONDOWN, 10, 670);
    EXPECT_EQ(w->scrollX, 0);
}

TEST(ScrollBars, ThumbDragFollowsThePointerAndStopsAtZeroAboveTheWindow) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({WorkedExampleSpace()});
    w->scrollY = 0;
    w.Mouse(WM_LBUTTONDOWN, 990, 90);
    ASSERT_TRUE(w->draggingVThumb);
    // free track 581 - 277 = 304 pixels map to the range 636.
    w.Mouse(WM_MOUSEMOVE, 990, 90 + 152);
    EXPECT_EQ(w->scrollY, 318);
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(990, 80 + 152 + 5)), Hex(RGB(180, 180, 180)));  // dragged thumb colour
    }
    w.Mouse(WM_MOUSEMOVE, 990, 90 + 1000);
    EXPECT_EQ(w->scrollY, 636);
    w.Mouse(WM_MOUSEMOVE, 990, -200);  // above the window, captured: signed coordinates
    EXPECT_EQ(w->scrollY, 0);
    w.Mouse(WM_LBUTTONUP, 990, -200);
    EXPECT_FALSE(w->draggingVThumb);

    w->scrollX = 0;
    w.Mouse(WM_LBUTTONDOWN, 20, 670);
    ASSERT_TRUE(w->draggingHThumb);
    w.Mouse(WM_MOUSEMOVE, 20 + 291, 670);  // free 983 - 401 = 582 pixels over the range 1423
    EXPECT_EQ(w->scrollX, 711);
    w.Mouse(WM_LBUTTONUP, 20, 670);
    EXPECT_FALSE(w->draggingHThumb);
}

// An imported space spanning the whole 32-bit range: its extent saturates. A
// thumb dragged near the end of its track reaches the end of the scroll range,
// and the grid there still covers the canvas from its first rows to its last.
TEST(ScrollBars, ThumbDragToTheFarEndOfTheLargestExtentShowsTheGridThere) {
    CaseWatchdog::AllowMs(60000);  // the paint of so large an extent takes seconds on a busy machine
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({MakeSpace(L"Imported", {{-INT32_MAX, -INT32_MAX}, {INT32_MAX, -INT32_MAX}, {INT32_MAX, INT32_MAX}})});
    w->UpdateScrollBars();
    const ScrollBarLayout bars = w->LayoutScrollBars(w.Client());
    ASSERT_TRUE(bars.vertical);
    ASSERT_EQ(w->contentHeight, INT32_MAX);
    const int32_t range = INT32_MAX - (bars.canvas.bottom - bars.canvas.top);
    w.Mouse(WM_LBUTTONDOWN, 990, bars.vThumb.top + bars.vThumbLen / 2);
    ASSERT_TRUE(w->draggingVThumb);
    w.Mouse(WM_MOUSEMOVE, 990, (bars.vTrack.top + bars.vTrack.bottom) / 2);
    EXPECT_GT(w->scrollY, range / 3);
    EXPECT_LT(w->scrollY, range / 3 * 2);
    w.Mouse(WM_MOUSEMOVE, 990, bars.vTrack.bottom - 2);
    EXPECT_EQ(w->scrollY, range);
    w.Mouse(WM_LBUTTONUP, 990, bars.vTrack.bottom - 2);

    Capture shot(w.hwnd());
    const COLORREF grid = RGB(230, 230, 230);
    const RECT& canvas = bars.canvas;
    EXPECT_GT(shot.Count(RECT{canvas.left, canvas.top, canvas.right, canvas.top + 30}, grid), 1000);
    EXPECT_GT(shot.Count(RECT{canvas.left, canvas.bottom - 30, canvas.right, canvas.bottom}, grid), 1000);
}

TEST(WorldMapping, InverseAtZoomHalfOneAndTwo) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({WorkedExampleSpace()});
    RECT canvas;
    w->GetCanvasRect(canvas);
    ASSERT_EQ(canvas.left, 0);
    w->scrollX = 100;
    w->scrollY = 40;
    const struct {
        float zoom;
        int worldX, worldY;
    } cases[] = {{2.0f, 125, 40 + 15}, {1.0f, 150, 40 + 30}, {0.5f, 200, 40 + 60}};
    for (const auto& c : cases) {
        w->zoom = c.zoom;
        const POINT world = w->ClientToWorld(POINT{canvas.left + 50, canvas.top + 30});
        EXPECT_EQ(world.x, c.worldX) << "zoom " << c.zoom;
        EXPECT_EQ(world.y, c.worldY) << "zoom " << c.zoom;
    }

    // Forward mapping through GDI, then back: the same device pixel.
    HDC dc = CreateCompatibleDC(nullptr);
    for (float zoom : {0.5f, 1.0f, 2.0f}) {
        w->zoom = zoom;
        w->SetWorldTransform(dc, canvas);
        for (POINT world : {POINT{0, 0}, POINT{101, 57}, POINT{333, 999}, POINT{-7, 13}}) {
            POINT device = world;
            LPtoDP(dc, &device, 1);
            if (zoom >= 1.0f) {  // exact in integers; at 0.5 GDI rounds half pixels its own way
                EXPECT_EQ(device.x, canvas.left - static_cast<int>(100 * zoom) + static_cast<int>(world.x * zoom));
            }
            POINT again = w->ClientToWorld(device);
            LPtoDP(dc, &again, 1);
            EXPECT_EQ(again.x, device.x) << "zoom " << zoom << " x " << world.x;
            EXPECT_EQ(again.y, device.y) << "zoom " << zoom << " y " << world.y;
        }
    }
    DeleteDC(dc);
}
