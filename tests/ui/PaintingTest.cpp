// Painted pixels of the main window, read back from the window after a paint.
#include "UiTestSupport.h"

#include "resource.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace uitest;

TEST(PaintingStartScreen, WithoutAProjectShowsTheFrameTheWelcomeAndTheStatusStrip) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    Capture shot(w.hwnd());
    const int W = shot.width, H = shot.height;
    ASSERT_GT(W, 600);
    // Title strip, close button and canvas.
    EXPECT_EQ(Hex(shot.At(W - 300, 3)), Hex(RGB(240, 240, 240)));
    EXPECT_EQ(Hex(shot.At(W - 3, 3)), Hex(RGB(232, 17, 35)));
    EXPECT_EQ(Hex(shot.At(W / 2, 100)), Hex(RGB(255, 255, 255)));
    // Status strip: its top line, its fill and some text on both sides.
    EXPECT_EQ(Hex(shot.At(W / 2, H - 22)), Hex(RGB(160, 160, 160)));
    EXPECT_EQ(Hex(shot.At(W - 117, H - 3)), Hex(RGB(240, 240, 240)));
    EXPECT_TRUE(shot.HasOtherThan(RECT{8, H - 21, 200, H}, RGB(240, 240, 240)));
    EXPECT_TRUE(shot.HasOtherThan(RECT{W - 60, H - 21, W - 8, H}, RGB(240, 240, 240)));
    // "Welcome to Tilvo!" centred on the canvas: dark pixels on both sides of the centre.
    const int cx = W / 2, cy = (32 + H - 22) / 2;
    EXPECT_GT(shot.Count(RECT{cx - 150, cy - 40, cx, cy + 5}, RGB(0, 0, 0)), 20);
    EXPECT_GT(shot.Count(RECT{cx, cy - 40, cx + 150, cy + 5}, RGB(0, 0, 0)), 20);
    EXPECT_EQ(shot.Count(RECT{cx - 150, cy + 15, cx + 150, cy + 60}, RGB(0, 0, 0)), 0);
}

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(230, 230, 230);
constexpr COLORREF kBlack = RGB(0, 0, 0);

bool Near(COLORREF a, COLORREF b, int tolerance = 2) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

bool AnyInRow(const Capture& shot, int y, int x0, int x1, COLORREF c) {
    for (int x = x0; x <= x1; ++x)
        if (shot.At(x, y) == c) return true;
    return false;
}

// The first column of the rectangle holding this colour, or -1.
int FirstColumnWith(const Capture& shot, const RECT& r, COLORREF c) {
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (shot.At(x, y) == c) return x;
    return -1;
}

// A 200 x 200 square bed at (100, 100) with a rose at (200, 200). At zoom 1 and
// scroll 0 a world point shows at (x, y + 80): the canvas starts below the toolbar.
Space SquareBed() {
    return MakeSpace(L"Bed", {{100, 100}, {300, 100}, {300, 300}, {100, 300}}, {MakePlant(L"Rose", 200, 200)});
}

// A space's fill done the plain way: the polygon filled into a cleared 32-bit
// bitmap of its whole bounding box, every filled pixel set to the fill colour
// (144, 238, 144) premultiplied at opacity 200, the bitmap blended onto the box
// in world units.
void PlainFill(HDC dc, const std::vector<POINT>& polygon) {
    LONG minX = LONG_MAX, minY = LONG_MAX, maxX = LONG_MIN, maxY = LONG_MIN;
    for (const POINT& p : polygon) {
        minX = std::min(minX, p.x), minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
    }
    const LONG w = maxX - minX + 1, h = maxY - minY + 1;
    const BITMAPINFO info = gdi::TopDown32(w, h);
    void* bits = nullptr;
    const gdi::Bitmap dib(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(dib && bits);
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + static_cast<size_t>(w) * h, 0u);
    const gdi::MemoryDc source(dc);
    const gdi::Brush brush = gdi::MakeBrush(RGB(144, 238, 144));
    const gdi::Selection bitmap(source, dib), brushSelection(source, brush), pen(source, GetStockObject(NULL_PEN));
    std::vector<POINT> shifted;
    for (const POINT& p : polygon) shifted.push_back(POINT{p.x - minX, p.y - minY});
    Polygon(source, shifted.data(), static_cast<int>(shifted.size()));
    GdiFlush();
    const uint32_t premultiplied = 200u << 24 | 112u << 16 | 186u << 8 | 112u;  // A, R, G, B
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
        if (pixels[i] != 0) pixels[i] = premultiplied;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, minX, minY, w, h, source, 0, 0, w, h, blend);
}

// The window's client area as a plain painter draws a canvas of unnamed spaces
// without plants: white, the grid, then each space's fill and its 2-wide
// outline. Pixels as Capture holds them.
std::vector<uint32_t> PlainCanvas(MainWindow& w, const RECT& canvas) {
    RECT client;
    GetClientRect(w.hwnd, &client);
    const gdi::WindowDc window(w.hwnd);
    const gdi::MemoryDc dc(window);
    const gdi::Bitmap bitmap(CreateCompatibleBitmap(window, client.right, client.bottom));
    {
        const gdi::Selection selection(dc, bitmap);
        gdi::FillSolid(dc, client, kWhite);
        const gdi::Region clip(CreateRectRgnIndirect(&canvas));
        SelectClipRgn(dc, clip);
        w.SetWorldTransform(dc, canvas);
        w.DrawGrid(dc, canvas);
        const gdi::Pen outline = gdi::MakePen(PS_SOLID, 2, RGB(0, 128, 0));
        const gdi::Selection pen(dc, outline);
        for (const Space& space : w.projectManager.GetSpaces()) {
            PlainFill(dc, space.polygon);
            MoveToEx(dc, space.polygon[0].x, space.polygon[0].y, nullptr);
            for (const POINT& p : space.polygon) LineTo(dc, p.x, p.y);
            LineTo(dc, space.polygon[0].x, space.polygon[0].y);
        }
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(client.right) * client.bottom);
    BITMAPINFO info = gdi::TopDown32(client.right, client.bottom);
    GetDIBits(dc, bitmap, 0, client.bottom, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

// How many pixels of `r` in `shot` differ from those of `other` moved by (dx, dy);
// `where` tells the first of them.
size_t Differing(const Capture& shot, const std::vector<uint32_t>& other, const RECT& r, int dx, int dy,
                 std::string& where) {
    size_t differing = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t a = shot.pixels[static_cast<size_t>(y) * shot.width + x] & 0xFFFFFF;
            const uint32_t b = other[static_cast<size_t>(y + dy) * shot.width + x + dx] & 0xFFFFFF;
            if (a != b && differing++ == 0) where = "first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    return differing;
}

}  // namespace

TEST(PaintingGrid, LinesEveryTwentyWorldUnitsAtEachZoom) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({});
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(20, 130)), Hex(kGrid));
        EXPECT_EQ(Hex(shot.At(30, 130)), Hex(kWhite));
        EXPECT_EQ(Hex(shot.At(30, 140)), Hex(kGrid));
        EXPECT_EQ(Hex(shot.At(0, 135)), Hex(kGrid));
    }
    w->zoom = 2.0f;
    {
        Capture shot(w.hwnd());
        EXPECT_TRUE(AnyInRow(shot, 130, 39, 41, kGrid));
        EXPECT_EQ(Hex(shot.At(20, 130)), Hex(kWhite));
        EXPECT_EQ(Hex(shot.At(60, 130)), Hex(kWhite));
    }
    w->zoom = 0.5f;
    {
        // The grid reaches the right and bottom edges of the canvas.
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(990, 135)), Hex(kGrid));
        EXPECT_EQ(Hex(shot.At(15, 670)), Hex(kGrid));
        EXPECT_EQ(Hex(shot.At(15, 675)), Hex(kWhite));
    }
    w->zoom = 1.0f;
}

TEST(PaintingSpaces, TranslucentFillOutlineAndName) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({SquareBed()});
    Capture shot(w.hwnd());
    // Fill (144, 238, 144) at opacity 200 over white, away from grid lines.
    EXPECT_TRUE(Near(shot.At(250, 330), RGB(167, 241, 167))) << Hex(shot.At(250, 330));
    // Over a grid line the grid shows through.
    EXPECT_TRUE(Near(shot.At(250, 340), RGB(161, 235, 161))) << Hex(shot.At(250, 340));
    // Outside the square: canvas.
    EXPECT_EQ(Hex(shot.At(90, 290)), Hex(kWhite));
    // The outline, 2 wide, (0, 128, 0).
    EXPECT_TRUE(AnyInRow(shot, 290, 99, 101, RGB(0, 128, 0)));
    EXPECT_TRUE(AnyInRow(shot, 290, 299, 301, RGB(0, 128, 0)));
    // The name in black above the square's top-left corner, from x 100.
    const RECT nameBand{80, 158, 180, 180};
    EXPECT_GT(shot.Count(nameBand, kBlack), 5);
    const int first = FirstColumnWith(shot, nameBand, kBlack);
    EXPECT_GE(first, 100);
    EXPECT_LE(first, 103);
}

// Bounds without width are not empty: a vertical two-vertex space keeps its
// segment and its name, a one-vertex space its name (it has no line).
TEST(PaintingSpaces, VerticalTwoVertexAndOneVertexSpacesKeepTheirOutlineAndName) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({MakeSpace(L"Row", {{100, 100}, {100, 300}}), MakeSpace(L"Oak", {{400, 300}})});
    Capture shot(w.hwnd());
    // A name in black in the 22 rows above device (x, y), starting at x.
    auto nameAbove = [&shot](LONG x, LONG y) {
        const RECT band{x - 20, y - 22, x + 80, y};
        const int first = FirstColumnWith(shot, band, kBlack);
        return shot.Count(band, kBlack) > 5 && first >= x && first <= x + 3;
    };
    EXPECT_GT(shot.Count(RECT{98, 185, 103, 375}, RGB(0, 128, 0)), 300);
    EXPECT_TRUE(nameAbove(100, 180));
    EXPECT_TRUE(nameAbove(400, 380));
    EXPECT_EQ(shot.Count(RECT{390, 370, 410, 400}, RGB(0, 128, 0)), 0);
}

// A name whose top lies above the canvas still shows the rows below its top.
TEST(PaintingSpaces, ANameCutByTheTopOfTheCanvasShowsItsVisiblePart) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({MakeSpace(L"Bed", {{100, 15}, {300, 15}, {300, 200}, {100, 200}})});
    Capture shot(w.hwnd());
    // The name starts at world y -7: its upper rows are hidden under the toolbar.
    EXPECT_GT(shot.Count(RECT{95, 80, 180, 93}, kBlack), 5);
}

TEST(PaintingSpaces, SelectedSpaceAndPlantColours) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({SquareBed()});
    w->selectedSpace = 0;
    w->selectedPlant = 0;
    Capture shot(w.hwnd());
    EXPECT_TRUE(AnyInRow(shot, 290, 98, 102, RGB(144, 238, 144)));
    EXPECT_FALSE(AnyInRow(shot, 290, 98, 102, RGB(0, 128, 0)));
    EXPECT_GT(shot.Count(RECT{100, 158, 180, 180}, RGB(16, 200, 16)), 5);
    EXPECT_EQ(shot.Count(RECT{100, 158, 180, 180}, kBlack), 0);
    // The plant's label takes the selected name's colour; its box is dotted blue
    // from (x + 18, y - 7) = device (218, 273).
    EXPECT_GT(shot.Count(RECT{220, 275, 300, 295}, RGB(16, 200, 16)), 5);
    EXPECT_GT(shot.Count(RECT{218, 273, 300, 274}, RGB(0, 0, 255)), 5);
    EXPECT_GT(shot.Count(RECT{218, 273, 219, 290}, RGB(0, 0, 255)), 2);
    EXPECT_EQ(shot.Count(RECT{200, 265, 217, 300}, RGB(0, 0, 255)), 0);
}

TEST(PaintingPlants, MarkerIconAndLabelPosition) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({SquareBed()});
    Capture shot(w.hwnd());
    // Icon 102, 32 x 32 centred on the plant at device (200, 280).
    EXPECT_TRUE(shot.HasOtherThan(RECT{190, 270, 210, 290}, RGB(167, 241, 167), RGB(161, 235, 161)));
    // "Rose #1" starts at (x + 20, y - 5) = device (220, 275), in black.
    const RECT label{184, 265, 320, 300};
    const int first = FirstColumnWith(shot, label, kBlack);
    EXPECT_GE(first, 220);
    EXPECT_LE(first, 223);
    int top = -1;
    for (int y = label.top; y < label.bottom && top < 0; ++y)
        if (AnyInRow(shot, y, label.left, label.right, kBlack)) top = y;
    EXPECT_GE(top, 275);
    EXPECT_LE(top, 281);
}

// The marker stamped from its premultiplied bitmap gives every pixel DrawIconEx
// gives, on plain, filled and mixed backgrounds, at zoom 1 and scaled.
TEST(PaintingPlants, StampedMarkerMatchesDrawIconExPixelForPixel) {
    const HICON icon = gdi::SharedIcon(GetModuleHandleW(nullptr), IDI_PLANT, 32);
    ASSERT_NE(icon, nullptr);
    const int W = 160, H = 96;
    const gdi::WindowDc screen(nullptr);
    auto paint = [&](bool stamped, float scale) {
        const gdi::MemoryDc dc(screen);
        const gdi::Bitmap bitmap(CreateCompatibleBitmap(screen, W, H));
        std::vector<uint32_t> bits(static_cast<size_t>(W) * H);
        {
            const gdi::Selection selection(dc, bitmap);
            const COLORREF backgrounds[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(167, 241, 167), RGB(230, 230, 230)};
            for (int k = 0; k < 4; ++k) gdi::FillSolid(dc, RECT{k * 40, 0, k * 40 + 40, H}, backgrounds[k]);
            for (int y = 48; y < H; ++y)
                for (int x = 0; x < W; ++x) SetPixel(dc, x, y, RGB(x * 7 % 256, y * 13 % 256, (x ^ y) * 5 % 256));
            SetGraphicsMode(dc, GM_ADVANCED);
            const XFORM xf{scale, 0, 0, scale, 0, 0};
            SetWorldTransform(dc, &xf);
            const gdi::IconStamp stamp(dc, icon, 32);
            EXPECT_TRUE(stamp.Blends());
            for (int x = -8; x < W; x += 27)
                for (int y = -8; y < H; y += 29) {
                    if (stamped)
                        stamp.Draw(dc, x, y);
                    else
                        DrawIconEx(dc, x, y, icon, 32, 32, 0, nullptr, DI_NORMAL);
                }
            ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
        }
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        EXPECT_EQ(GetDIBits(dc, bitmap, 0, H, bits.data(), &bi, DIB_RGB_COLORS), H);
        for (uint32_t& b : bits) b &= 0xFFFFFF;
        return bits;
    };
    for (float scale : {1.0f, 1.5f, 0.5f}) {
        const std::vector<uint32_t> drawn = paint(false, scale), stamped = paint(true, scale);
        size_t differing = 0;
        for (size_t i = 0; i < drawn.size(); ++i) differing += drawn[i] != stamped[i];
        EXPECT_EQ(differing, 0u) << "scale " << scale;
        EXPECT_NE(drawn, paint(false, 2.0f)) << "the icon must show";
    }
}

TEST(PaintingSpaces, ASpaceFarLargerThanTheCanvasIsFilledWhereverItIsScrolled) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({MakeSpace(L"Field", {{0, 0}, {60000, 0}, {60000, 60000}, {0, 60000}},
                             {MakePlant(L"Oak", 30000, 30000), MakePlant(L"Elm", 59000, 100)})});
    w->scrollX = 29900;
    w->scrollY = 29900;
    w->UpdateScrollBars();
    ASSERT_EQ(w->scrollX, 29900);
    ASSERT_EQ(w->scrollY, 29900);
    Capture shot(w.hwnd());
    // Device (505, 505) is world (30405, 30325): inside, off the grid lines.
    EXPECT_TRUE(Near(shot.At(505, 505), RGB(167, 241, 167))) << Hex(shot.At(505, 505));
    EXPECT_TRUE(Near(shot.At(305, 205), RGB(167, 241, 167))) << Hex(shot.At(305, 205));
    // The oak's marker, centred on device (100, 180), and its label from (120, 175).
    EXPECT_TRUE(shot.HasOtherThan(RECT{90, 170, 110, 190}, RGB(167, 241, 167), RGB(161, 235, 161)));
    const int first = FirstColumnWith(shot, RECT{110, 165, 240, 200}, kBlack);
    EXPECT_GE(first, 120);
    EXPECT_LE(first, 123);
}

TEST(PaintingSpaces, WhileDrawingSpacesAreDashedGreyAndUnfilled) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({SquareBed()});
    w->drawingSpace = true;
    w->newSpacePoints = {{400, 150}, {600, 150}, {600, 250}};
    Capture shot(w.hwnd());
    EXPECT_EQ(Hex(shot.At(250, 330)), Hex(kWhite));
    EXPECT_FALSE(AnyInRow(shot, 290, 98, 102, RGB(0, 128, 0)));
    EXPECT_GT(shot.Count(RECT{98, 180, 103, 380}, RGB(128, 128, 128)), 20);
    // The polygon being drawn: an open dashed polyline, no closing segment.
    EXPECT_GT(shot.Count(RECT{400, 229, 600, 232}, RGB(128, 128, 128)), 20);
    EXPECT_GT(shot.Count(RECT{599, 230, 602, 330}, RGB(128, 128, 128)), 20);
    EXPECT_EQ(shot.Count(RECT{480, 268, 520, 292}, RGB(128, 128, 128)), 0);
    w->drawingSpace = false;
    w->newSpacePoints.clear();
}

TEST(PaintingStartScreen, EmptyProjectShowsGettingStartedAndTheDrawingHintReplacesIt) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({});
    {
        Capture shot(w.hwnd());
        // First line at y = (80 + 678) / 2 - 80 = 299, centred on x 500.
        EXPECT_GT(shot.Count(RECT{400, 299, 500, 330}, kBlack), 10);
        EXPECT_GT(shot.Count(RECT{500, 299, 600, 330}, kBlack), 10);
        EXPECT_EQ(shot.Count(RECT{300, 280, 700, 298}, kBlack), 0);
    }
    w->drawingSpace = true;
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(shot.Count(RECT{300, 299, 700, 400}, kBlack), 0);
        // The hint at world (0, 16, W, 56): device rows 96 to 136, colour (60, 60, 60).
        EXPECT_GT(shot.Count(RECT{200, 96, 800, 136}, RGB(60, 60, 60)), 20);
    }
    w->drawingSpace = false;
}

TEST(PaintingStatus, LongTextIsCutBeforeTheVersionText) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 800, 600);
    w->SetStatusText(std::wstring(300, L'W'));
    Capture shot(w.hwnd());
    const int W = 800, H = 600;
    EXPECT_GT(shot.Count(RECT{8, H - 21, 300, H}, kBlack), 50);
    EXPECT_EQ(shot.Count(RECT{W - 120, H - 21, W - 45, H}, kBlack), 0);
    // "v1.0.0" ends at W - 8.
    const RECT version{W - 115, H - 21, W, H};
    int last = -1;
    for (int x = version.left; x < version.right; ++x)
        if (shot.Count(RECT{x, version.top, x + 1, version.bottom}, kBlack) > 0) last = x;
    EXPECT_GE(last, W - 12);
    EXPECT_LT(last, W - 8);
}

// A drag step repaints only the boxes of what it moved; the window must then
// show exactly what a repaint of the whole client area shows, in every view.
TEST(PaintingDrag, APartialRepaintOfADragStepShowsWhatAFullRepaintShows) {
    struct View {
        float zoom;
        int32_t scrollX, scrollY;
        const char* name;
    };
    for (const View& view : {View{1.0f, 0, 0, "zoom 1"}, View{0.5f, 0, 0, "zoom 0.5"}, View{2.0f, 0, 0, "zoom 2"},
                             View{1.0f, 60, 40, "scrolled"}}) {
        SCOPED_TRACE(view.name);
        LiveWindow w;
        ASSERT_TRUE(w.Created());
        ProjectManager& pm = w->projectManager;
        ASSERT_TRUE(pm.CreateNewProject(L"Garden", L""));
        const int32_t bed = pm.CreateSpace(MakeSpace(L"Bed", {{100, 100}, {400, 100}, {400, 300}, {100, 300}}));
        const int32_t herbs = pm.CreateSpace(MakeSpace(L"Herbs", {{350, 200}, {600, 200}, {600, 450}, {350, 450}}));
        pm.CreateSpace(MakeSpace(L"Far", {{2500, 1800}, {2700, 1800}, {2700, 2000}, {2500, 2000}}));
        // Nothing that moves lies at the extent's edges, so the steps keep it.
        for (const auto& [space, name, x, y] : {std::make_tuple(bed, L"Rose", 250, 200),
                                                std::make_tuple(bed, L"Mint", 300, 250),
                                                std::make_tuple(herbs, L"Basil", 500, 300)}) {
            Plant plant = MakePlant(name, x, y);
            plant.spaceId = space;
            pm.CreatePlant(plant);
        }
        w->zoom = view.zoom;
        w->scrollX = view.scrollX;
        w->scrollY = view.scrollY;
        w->UpdateMenuState();
        w->UpdateScrollBars();
        ASSERT_EQ(w->scrollX, view.scrollX);
        Capture settled(w.hwnd());
        RECT canvas;
        w->GetCanvasRect(canvas);
        auto client = [&](int x, int y) {
            return POINT{canvas.left + static_cast<LONG>(x * view.zoom) - static_cast<LONG>(view.scrollX * view.zoom),
                         canvas.top + static_cast<LONG>(y * view.zoom) - static_cast<LONG>(view.scrollY * view.zoom)};
        };
        // The plant Rose, then the space Herbs away from its plant's label.
        for (const POINT world : {POINT{250, 200}, POINT{560, 420}}) {
            const POINT at = client(world.x, world.y);
            w.Mouse(WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
            ASSERT_TRUE(w->draggingPlant || w->draggingSpace);
            UpdateWindow(w.hwnd());
            w.Mouse(WM_MOUSEMOVE, at.x + 7, at.y + 5, MK_LBUTTON);
            RECT update;
            ASSERT_TRUE(GetUpdateRect(w.hwnd(), &update, FALSE));
            EXPECT_LT((update.right - update.left) * (update.bottom - update.top),
                      settled.width * settled.height / 4)
                << "the step asked for more than its boxes";
            EXPECT_EQ(PixelsAPartialRepaintMissed(w.hwnd()), 0u)
                << (w->draggingPlant ? "plant" : "space") << " drag step";
            w.Mouse(WM_LBUTTONUP, at.x + 7, at.y + 5);
        }
    }
}

// Every space's fill is pixel for pixel the plain blend of its whole bounding
// box, at every zoom: a wide and short space, then a narrow and tall one (a
// bitmap shared by both must grow the other way), a triangle and a concave
// polygon, whose slanted edges end the rows of one band at different columns.
TEST(PaintingSpaces, FillsMatchThePlainBlendOfEachSpaceAtEveryZoom) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 700);
    w.OpenProject({MakeSpace(L"", {{20, 20}, {260, 20}, {260, 57}, {20, 57}}),
                   MakeSpace(L"", {{290, 20}, {323, 20}, {323, 250}, {290, 250}}),
                   MakeSpace(L"", {{40, 80}, {250, 110}, {120, 250}}),
                   MakeSpace(L"", {{350, 30}, {470, 50}, {400, 120}, {470, 240}, {340, 200}, {385, 125}})});
    for (const float zoom : {0.5f, 0.75f, 1.0f, 1.5f, 2.0f}) {
        w->zoom = zoom;
        const Capture shot(w.hwnd());
        RECT canvas;
        w->GetCanvasRect(canvas);
        std::string where;
        EXPECT_EQ(Differing(shot, PlainCanvas(*w, canvas), canvas, 0, 0, where), 0u)
            << "zoom " << zoom << ", " << where;
    }
    w->zoom = 1.0f;
}

// Scrolling by one grid step moves every world pixel by that step: what lay 20
// pixels inside the canvas's left and top edges now lies on them, with the
// markers and labels that those edges cut.
TEST(PaintingView, ScrollingOneGridStepShowsTheSameWorldPixels) {
    constexpr int S = 400;  // the scroll position before the step, on both axes
    std::vector<Plant> plants;
    // After the step, labels ending at every column around the left edge, then
    // markers that edge cuts at every fourth column, each plant on rows of its own.
    for (int k = 0; k < 48; ++k) plants.push_back(MakePlant(L"Rose", S - 80 + k, S + 40 + 10 * k));
    for (int k = 0; k < 8; ++k) plants.push_back(MakePlant(L"Sage", S + 6 + 4 * k, S + 540 + 34 * k));
    // Markers and labels that the top edge cuts, every third row.
    for (int k = 0; k < 11; ++k) plants.push_back(MakePlant(L"Mint", S + 100 + 85 * k, S + 4 + 3 * k));
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(0, 0, 1000, 1000);
    w.OpenProject({MakeSpace(L"Field", {{0, 0}, {2400, 0}, {2400, 2000}, {0, 2000}}, plants)});
    w->scrollX = w->scrollY = S;
    w->UpdateScrollBars();
    ASSERT_EQ(w->scrollX, S);
    ASSERT_EQ(w->scrollY, S);
    const Capture before(w.hwnd());
    w->scrollX = w->scrollY = S + 20;
    w->UpdateScrollBars();
    ASSERT_EQ(w->scrollX, S + 20);
    const Capture after(w.hwnd());
    RECT canvas;
    w->GetCanvasRect(canvas);
    std::string where;
    EXPECT_EQ(Differing(after, before.pixels, RECT{canvas.left, canvas.top, canvas.right - 20, canvas.bottom - 20}, 20,
                        20, where),
              0u)
        << where;
}

// A resize of one side only repaints the window as one made at the new size
// paints it: the new columns, then the new rows, show the canvas, not what the
// off-screen bitmap of the old size held.
TEST(PaintingView, AResizeOfOneSideShowsWhatAWindowOfThatSizeShows) {
    const SIZE sizes[] = {{1037, 700}, {1037, 729}};
    std::vector<std::vector<uint32_t>> resized;
    {
        LiveWindow w;
        ASSERT_TRUE(w.Created());
        w.Restore(0, 0, 1000, 700);
        w.OpenProject({SquareBed()});
        const Capture oldSize(w.hwnd());  // the off-screen bitmap now has the old size
        for (const SIZE& size : sizes) {
            w.Restore(0, 0, size.cx, size.cy);
            UpdateWindow(w.hwnd());
            resized.push_back(Capture(w.hwnd(), false).pixels);
        }
    }
    for (size_t i = 0; i < resized.size(); ++i) {
        LiveWindow fresh;
        ASSERT_TRUE(fresh.Created());
        fresh.Restore(0, 0, sizes[i].cx, sizes[i].cy);
        fresh.OpenProject({SquareBed()});
        const Capture shot(fresh.hwnd());
        ASSERT_EQ(shot.pixels.size(), resized[i].size());
        std::string where;
        EXPECT_EQ(Differing(shot, resized[i], RECT{0, 0, shot.width, shot.height}, 0, 0, where), 0u)
            << sizes[i].cx << " x " << sizes[i].cy << ", " << where;
    }
}
