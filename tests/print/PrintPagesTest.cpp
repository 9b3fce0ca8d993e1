// The printed pages, drawn without a print job: into an enhanced metafile whose
// reference device answers as a 96-dpi page or as the PDF printer at 600 dpi,
// into a memory bitmap for the colours on the page, and into a PostScript file
// of the printer's driver to count the pages.
#include "PrintTestSupport.h"

#include <sstream>

using namespace printtest;

namespace {

constexpr COLORREF kHeading = RGB(0, 100, 200);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kGreen = RGB(34, 139, 34);

// A US Letter page at 96 dpi: one-inch margins, content 624 x 864.
PageLayout Letter96() {
    return PageLayout{816, 1056, 96, 96, 96, 96, 624, 864};
}

std::wstring Face(const LOGFONTW& f) {
    return f.lfFaceName;
}

class PrintPages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.CreateNewProject(L"Back Garden", L"Vegetables and herbs"));
        reference = CreateCompatibleDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(reference, LOGPIXELSY), 96);
    }
    void TearDown() override {
        if (reference) DeleteDC(reference);
    }

    int32_t AddSpace(const std::wstring& name, std::vector<POINT> polygon) {
        Space s;
        s.name = name;
        s.polygon = std::move(polygon);
        return store.CreateSpace(s);
    }
    int32_t AddPlant(int32_t spaceId, const std::wstring& name, POINT at, const std::wstring& planted = L"",
                     const std::wstring& notes = L"") {
        Plant p;
        p.spaceId = spaceId;
        p.name = name;
        p.position = at;
        p.plantedDate = planted;
        p.notes = notes;
        return store.CreatePlant(p);
    }
    int32_t AddTask(const std::wstring& name, const std::wstring& description, bool completed) {
        Task t;
        t.name = name;
        t.description = description;
        t.completed = completed;
        return store.CreateTask(t);
    }
    Space SpaceNamed(const std::wstring& name) {
        for (const Space& s : store.GetSpaces())
            if (s.name == name) return s;
        ADD_FAILURE() << "no space " << Narrow(name);
        return Space{};
    }

    ProjectManager store;
    PrintManager printer{nullptr, &store};
    PrintOptions options;
    HDC reference = nullptr;
};

std::wstring TodayLine() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return L"Created on " + std::to_wstring(now.wMonth) + L"/" + std::to_wstring(now.wDay) + L"/" +
           std::to_wstring(now.wYear) + L" with Tilvo";
}

}  // namespace

// ---- Title block

TEST_F(PrintPages, TitleBlockCentresTitleDescriptionAndDateAt96Dpi) {
    int32_t used = 0;
    Recording rec = Record(reference, [&](HDC dc) { used = printer.RenderTitleBlock(dc, Letter96(), options); });
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 3u);

    const DrawOp& title = texts[0];
    EXPECT_EQ(title.text, L"Back Garden");
    EXPECT_EQ(title.at.y, 96);
    EXPECT_EQ(title.at.x, (624 - TextWidth(reference, L"Back Garden", 48, 700)) / 2 + 96);
    EXPECT_EQ(title.font.lfHeight, -48);
    EXPECT_EQ(title.font.lfWeight, 700);
    EXPECT_EQ(Face(title.font), L"Segoe UI");
    EXPECT_EQ(title.textColour, RGB(0, 0, 0));

    const DrawOp& description = texts[1];
    EXPECT_EQ(description.text, L"Vegetables and herbs");
    EXPECT_EQ(description.at.y, 156);
    EXPECT_EQ(description.at.x, (624 - TextWidth(reference, L"Vegetables and herbs", 24, 400)) / 2 + 96);
    EXPECT_EQ(description.font.lfHeight, -24);
    EXPECT_EQ(description.font.lfWeight, 400);
    EXPECT_EQ(description.textColour, RGB(64, 64, 64));

    const DrawOp& date = texts[2];
    EXPECT_EQ(date.text, TodayLine());
    EXPECT_EQ(date.at.y, 206);
    EXPECT_EQ(date.font.lfHeight, -20);
    EXPECT_EQ(date.textColour, RGB(100, 100, 100));

    EXPECT_EQ(used, 160);  // 60 + 50 scaled, then 50 device pixels for the date
    EXPECT_EQ(rec.objectsCreated, 3);
    EXPECT_EQ(rec.objectsDeleted, 3);
    EXPECT_TRUE(rec.stockFontAtEnd);
}

TEST_F(PrintPages, TitleComesFromTheOptionsThenTheProjectThenADefault) {
    options.includeDate = false;
    options.title = L"Spring Plan";
    Recording rec = Record(reference, [&](HDC dc) { printer.RenderTitleBlock(dc, Letter96(), options); });
    ASSERT_EQ(rec.Texts().size(), 2u);
    EXPECT_EQ(rec.Texts()[0].text, L"Spring Plan");

    // A nameless project without a description: the default title and nothing under it.
    ASSERT_TRUE(store.CreateNewProject(L"", L""));
    options.title.clear();
    int32_t used = 0;
    rec = Record(reference, [&](HDC dc) { used = printer.RenderTitleBlock(dc, Letter96(), options); });
    ASSERT_EQ(rec.Texts().size(), 1u);
    EXPECT_EQ(rec.Texts()[0].text, L"Tilvo Project");
    EXPECT_EQ(used, 60);

    // The date alone starts at the top margin.
    options.includeTitle = false;
    options.includeDate = true;
    rec = Record(reference, [&](HDC dc) { used = printer.RenderTitleBlock(dc, Letter96(), options); });
    ASSERT_EQ(rec.Texts().size(), 1u);
    EXPECT_EQ(rec.Texts()[0].text, TodayLine());
    EXPECT_EQ(rec.Texts()[0].at.y, 96);
    EXPECT_EQ(used, 50);
}

TEST_F(PrintPages, At600DpiTheMarginsAndTitleBlockScaleBySixAndAQuarter) {
    HDC printerDc = PrinterReference(600);
    if (!printerDc) GTEST_SKIP() << "no PDF printer on this machine";
    ASSERT_EQ(GetDeviceCaps(printerDc, LOGPIXELSY), 600);
    const PageLayout layout = PrintManager::MeasurePage(printerDc);
    // A4 is 4958 or 4960 pixels wide at 600 dpi depending on how the driver rounds.
    EXPECT_NEAR(layout.pageWidth, 4960, 2);
    EXPECT_EQ(layout.pageHeight, 7016);
    EXPECT_EQ(layout.marginLeft, 600);
    EXPECT_EQ(layout.marginTop, 600);
    EXPECT_EQ(layout.marginRight, 600);
    EXPECT_EQ(layout.marginBottom, 600);
    EXPECT_EQ(layout.contentWidth, layout.pageWidth - 1200);
    EXPECT_EQ(layout.contentHeight, 5816);

    int32_t used = 0;
    Recording rec = Record(printerDc, [&](HDC dc) { used = printer.RenderTitleBlock(dc, layout, options); });
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].at.y, 600);
    EXPECT_EQ(texts[1].at.y, 975);
    EXPECT_EQ(texts[2].at.y, 1287);
    EXPECT_EQ(used, 737);
    EXPECT_EQ(texts[0].font.lfHeight, -300);
    EXPECT_EQ(texts[1].font.lfHeight, -150);
    EXPECT_EQ(texts[2].font.lfHeight, -125);
    EXPECT_EQ(texts[0].at.x, (layout.contentWidth - TextWidth(printerDc, L"Back Garden", 300, 700)) / 2 + 600);
    DeleteDC(printerDc);
}

// ---- Space drawing

TEST_F(PrintPages, SpacePageFitsTheSpaceIntoTheBoxAndNumbersItsPlants) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {400, 0}, {400, 200}, {0, 200}});
    AddPlant(bed, L"Tomato", {100, 50});
    AddPlant(bed, L"Basil", {300, 150});
    Recording rec =
        Record(reference, [&](HDC dc) { printer.RenderSpacePage(dc, SpaceNamed(L"Bed"), Letter96(), options); });

    const DrawOp name = rec.Text(L"Bed");
    EXPECT_EQ(name.at.y, 96);
    EXPECT_EQ(name.at.x, (624 - TextWidth(reference, L"Bed", 48, 700)) / 2 + 96);
    EXPECT_EQ(name.textColour, kHeading);
    EXPECT_EQ(name.font.lfWeight, 700);
    EXPECT_EQ(name.font.lfHeight, -48);

    // Box 624 x 744 at (96, 176); f = min(624 / 400, 744 / 200) x 0.9 = 1.404; the
    // drawing of 561 x 280 is centred: offsets 31 and 232.
    ASSERT_EQ(rec.Count(DrawOp::Polygon), 1);
    const DrawOp* polygon = nullptr;
    for (const DrawOp& op : rec.ops)
        if (op.kind == DrawOp::Polygon) polygon = &op;
    const std::vector<POINT> expected{{127, 408}, {688, 408}, {688, 688}, {127, 688}};
    ASSERT_EQ(polygon->points.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(polygon->points[i].x, expected[i].x) << i;
        EXPECT_EQ(polygon->points[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(polygon->pen.lopnColor, kHeading);
    EXPECT_EQ(polygon->pen.lopnWidth.x, 4);
    EXPECT_EQ(polygon->brush, RGB(240, 248, 255));

    // Markers: a green disc of radius 12 and a white one of 8 at the mapped
    // positions (267, 478) and (548, 618), each with its number.
    std::vector<DrawOp> discs;
    for (const DrawOp& op : rec.ops)
        if (op.kind == DrawOp::Ellipse) discs.push_back(op);
    ASSERT_EQ(discs.size(), 4u);
    const POINT centres[2] = {{267, 478}, {548, 618}};
    for (int k = 0; k < 2; ++k) {
        const POINT c = centres[k];
        const DrawOp& outer = discs[2 * k];
        const DrawOp& inner = discs[2 * k + 1];
        // The metafile keeps the box's right and bottom edges inclusive.
        EXPECT_EQ(outer.box.left, c.x - 12);
        EXPECT_EQ(outer.box.top, c.y - 12);
        EXPECT_EQ(outer.box.right + 1, c.x + 12);
        EXPECT_EQ(outer.box.bottom + 1, c.y + 12);
        EXPECT_EQ(outer.brush, kGreen);
        EXPECT_EQ(outer.pen.lopnColor, kHeading);  // the outline pen stays selected
        EXPECT_EQ(inner.box.left, c.x - 8);
        EXPECT_EQ(inner.box.top, c.y - 8);
        EXPECT_EQ(inner.box.right + 1, c.x + 8);
        EXPECT_EQ(inner.box.bottom + 1, c.y + 8);
        EXPECT_EQ(inner.brush, RGB(255, 255, 255));

        const DrawOp number = rec.Text(std::to_wstring(k + 1));
        EXPECT_EQ(Face(number.font), L"Arial");
        EXPECT_EQ(number.font.lfHeight, -14);
        EXPECT_EQ(number.font.lfWeight, 700);
        EXPECT_EQ(number.textColour, RGB(0, 0, 0));
        const int width = TextWidth(reference, std::to_wstring(k + 1), 14, 700, L"Arial");
        EXPECT_EQ(number.at.x, c.x - width / 2);
        EXPECT_LT(number.at.y, c.y);
        EXPECT_GT(number.at.y, c.y - 12);
    }
    // Name font, outline pen, fill, marker brush, number font and a white brush per plant.
    EXPECT_EQ(rec.objectsCreated, 7);
    EXPECT_EQ(rec.objectsDeleted, 7);
    EXPECT_TRUE(rec.stockFontAtEnd);
    EXPECT_TRUE(rec.stockPenAtEnd);
    EXPECT_TRUE(rec.stockBrushAtEnd);
}

TEST_F(PrintPages, SpacePageColoursOnAPrinterSizedBitmap) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {400, 0}, {400, 200}, {0, 200}});
    AddPlant(bed, L"Tomato", {100, 50});

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 816;
    info.bmiHeader.biHeight = -1056;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP page = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(page, nullptr);
    HGDIOBJ old = SelectObject(dc, page);
    RECT all{0, 0, 816, 1056};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    printer.RenderSpacePage(dc, SpaceNamed(L"Bed"), Letter96(), options);
    GdiFlush();
    auto at = [&](int x, int y) {
        const uint32_t v = static_cast<const uint32_t*>(bits)[y * 816 + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    };
    EXPECT_EQ(at(400, 550), RGB(240, 248, 255));  // inside the space
    EXPECT_EQ(at(127, 550), kHeading);            // left edge of the outline, 4 pixels wide
    EXPECT_EQ(at(50, 550), RGB(255, 255, 255));   // margin
    // The marker: its discs are outlined with the space's 4-pixel pen, which
    // covers the ring between the radii 8 and 12; the inner disc stays white.
    EXPECT_EQ(at(267 + 11, 478), kHeading);
    EXPECT_EQ(at(267 - 9, 478), kHeading);
    EXPECT_EQ(at(267 - 5, 478), RGB(255, 255, 255));
    int numberInk = 0;
    for (int y = 472; y < 485; ++y)
        for (int x = 263; x < 272; ++x)
            if (at(x, y) == RGB(0, 0, 0)) ++numberInk;
    EXPECT_GT(numberInk, 5);  // the black "1"
    int nameInk = 0;
    for (int y = 96; y < 160; ++y)
        for (int x = 96; x < 720; ++x)
            if (at(x, y) == kHeading) ++nameInk;
    EXPECT_GT(nameInk, 50);
    SelectObject(dc, old);
    DeleteObject(page);
    DeleteDC(dc);
}

TEST_F(PrintPages, SpacesWithFewVerticesOrNoWidth) {
    const int32_t empty = AddSpace(L"Unshaped", {});
    AddPlant(empty, L"Lost", {5, 5});
    Recording rec =
        Record(reference, [&](HDC dc) { printer.RenderSpacePage(dc, SpaceNamed(L"Unshaped"), Letter96(), options); });
    ASSERT_EQ(rec.ops.size(), 1u);  // the name only
    EXPECT_EQ(rec.ops[0].text, L"Unshaped");
    EXPECT_EQ(rec.objectsCreated, rec.objectsDeleted);

    const int32_t segment = AddSpace(L"Path", {{0, 0}, {100, 50}});
    AddPlant(segment, L"Thyme", {50, 25});
    rec = Record(reference, [&](HDC dc) { printer.RenderSpacePage(dc, SpaceNamed(L"Path"), Letter96(), options); });
    EXPECT_EQ(rec.Count(DrawOp::Polygon), 0);
    EXPECT_EQ(rec.Count(DrawOp::Ellipse), 2);
    EXPECT_TRUE(rec.HasText(L"1"));

    // All on x = 50: the width factor is 1.0, so f = 0.9 x min(1.0, 744 / 200).
    // The drawing is 0 x 180, centred at x 96 + 312 and from y 176 + 282.
    const int32_t hedge = AddSpace(L"Hedge", {{50, 0}, {50, 100}, {50, 200}});
    AddPlant(hedge, L"Yew", {50, 100});
    rec = Record(reference, [&](HDC dc) { printer.RenderSpacePage(dc, SpaceNamed(L"Hedge"), Letter96(), options); });
    ASSERT_EQ(rec.Count(DrawOp::Polygon), 1);
    for (const DrawOp& op : rec.ops) {
        if (op.kind == DrawOp::Polygon) {
            ASSERT_EQ(op.points.size(), 3u);
            EXPECT_EQ(op.points[0].x, 408);
            EXPECT_EQ(op.points[0].y, 458);
            EXPECT_EQ(op.points[1].y, 548);
            EXPECT_EQ(op.points[2].x, 408);
            EXPECT_EQ(op.points[2].y, 638);
        }
        if (op.kind == DrawOp::Ellipse && op.brush == kGreen) {
                EXPECT_EQ(op.box.left, 408 - 12);
            EXPECT_EQ(op.box.top, 548 - 12);
        }
    }
}

// Only a marker and number wholly off the page are left out; one that reaches
// past its edge still draws its part. Bed maps as in the first space-page case:
// x to 127 + 1.404 x, y to 408 + 1.404 y, truncated.
TEST_F(PrintPages, MarkersAtThePagesEdgeAreDrawn) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {400, 0}, {400, 200}, {0, 200}});
    AddPlant(bed, L"West", {-90, 100});   // centre (1, 548)
    AddPlant(bed, L"East", {490, 100});   // centre (814, 548); the page is 816 wide
    AddPlant(bed, L"Gone", {-110, 100});  // centre (-27, 548): wholly off
    Recording rec =
        Record(reference, [&](HDC dc) { printer.RenderSpacePage(dc, SpaceNamed(L"Bed"), Letter96(), options); });
    std::vector<LONG> lefts;
    for (const DrawOp& op : rec.ops)
        if (op.kind == DrawOp::Ellipse && op.brush == kGreen) lefts.push_back(op.box.left);
    EXPECT_EQ(lefts, (std::vector<LONG>{1 - 12, 814 - 12}));
    EXPECT_TRUE(rec.HasText(L"1"));
    EXPECT_TRUE(rec.HasText(L"2"));
    EXPECT_FALSE(rec.HasText(L"3"));
}

TEST_F(PrintPages, FarApartVerticesStillFitThePage) {
    // Extents beyond 32 bits of difference must not wrap around.
    const int32_t huge = AddSpace(L"Huge", {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}});
    AddPlant(huge, L"Far", {INT32_MAX, INT32_MAX});
    Recording rec =
        Record(reference, [&](HDC dc) { printer.RenderSpacePage(dc, SpaceNamed(L"Huge"), Letter96(), options); });
    ASSERT_EQ(rec.Count(DrawOp::Polygon), 1);
    for (const DrawOp& op : rec.ops) {
        if (op.kind != DrawOp::Polygon) continue;
        for (const POINT& p : op.points) {
            EXPECT_GE(p.x, 96);
            EXPECT_LE(p.x, 96 + 624);
            EXPECT_GE(p.y, 176);
            EXPECT_LE(p.y, 176 + 744);
        }
    }
}

// ---- Plant list

TEST_F(PrintPages, PlantListNumbersEachPlantWithItsDateAndNotes) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {10, 0}, {10, 10}});
    AddPlant(bed, L"Tomato", {1, 1}, L"2026-03-01", L"by the fence");
    AddPlant(bed, L"Basil", {2, 2});
    AddPlant(bed, L"Mint", {3, 3}, L"", L"keep in a pot");
    Recording rec =
        Record(reference, [&](HDC dc) { printer.RenderSpacePlantList(dc, SpaceNamed(L"Bed"), Letter96(), options); });
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, L"Bed - Plants");
    EXPECT_EQ(texts[0].at.y, 96);
    EXPECT_EQ(texts[0].at.x, (624 - TextWidth(reference, L"Bed - Plants", 40, 700)) / 2 + 96);
    EXPECT_EQ(texts[0].textColour, kHeading);
    EXPECT_EQ(texts[0].font.lfHeight, -40);

    EXPECT_EQ(texts[1].text, L"Plants (3):");
    EXPECT_EQ(texts[1].at.x, 96);
    EXPECT_EQ(texts[1].at.y, 176);
    EXPECT_EQ(texts[1].textColour, RGB(0, 0, 0));
    EXPECT_EQ(texts[1].font.lfHeight, -18);
    EXPECT_EQ(texts[1].font.lfWeight, 400);

    const std::wstring lines[3] = {L"1. Tomato (planted: 2026-03-01) - by the fence", L"2. Basil",
                                   L"3. Mint - keep in a pot"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[2 + i].text, lines[i]);
        EXPECT_EQ(texts[2 + i].at.x, 116);
        EXPECT_EQ(texts[2 + i].at.y, 216 + 30 * i);
        EXPECT_EQ(texts[2 + i].textColour, RGB(64, 64, 64));
    }
    EXPECT_EQ(rec.objectsCreated, 2);
    EXPECT_EQ(rec.objectsDeleted, 2);
    EXPECT_TRUE(rec.stockFontAtEnd);
}

TEST_F(PrintPages, PlantListWithoutPlantLinesOrWithoutPlants) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {10, 0}, {10, 10}});
    AddPlant(bed, L"Tomato", {1, 1});
    options.includePlantList = false;
    Recording rec =
        Record(reference, [&](HDC dc) { printer.RenderSpacePlantList(dc, SpaceNamed(L"Bed"), Letter96(), options); });
    ASSERT_EQ(rec.Texts().size(), 1u);
    EXPECT_EQ(rec.Texts()[0].text, L"Bed - Plants");

    options.includePlantList = true;
    AddSpace(L"Lawn", {{0, 0}, {10, 0}, {10, 10}});
    rec = Record(reference, [&](HDC dc) { printer.RenderSpacePlantList(dc, SpaceNamed(L"Lawn"), Letter96(), options); });
    ASSERT_EQ(rec.Texts().size(), 2u);
    EXPECT_EQ(rec.Texts()[1].text, L"No plants in this space");
    EXPECT_EQ(rec.Texts()[1].at.x, 96);
    EXPECT_EQ(rec.Texts()[1].at.y, 176);
    EXPECT_EQ(rec.Texts()[1].textColour, kGrey);
    EXPECT_EQ(rec.objectsCreated, rec.objectsDeleted);
}

// ---- Task list

TEST_F(PrintPages, TaskListRowsWithStatusDescriptionAndSpacesIncludingDeletedOnes) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {10, 0}, {10, 10}});
    const int32_t lawn = AddSpace(L"Lawn", {{0, 0}, {10, 0}, {10, 10}});
    const int32_t pond = AddSpace(L"Pond", {{0, 0}, {10, 0}, {10, 10}});
    const int32_t water = AddTask(L"Water beds", L"Every morning", false);
    const int32_t mow = AddTask(L"Mow lawn", L"", true);
    AddTask(L"Fix fence", L"", false);
    const int32_t clean = AddTask(L"Clean pond", L"", false);
    ASSERT_TRUE(store.AssignSpaceToTask(water, bed));
    ASSERT_TRUE(store.AssignSpaceToTask(water, lawn));
    ASSERT_TRUE(store.AssignSpaceToTask(mow, pond));
    ASSERT_TRUE(store.AssignSpaceToTask(mow, lawn));
    ASSERT_TRUE(store.AssignSpaceToTask(clean, pond));
    ASSERT_TRUE(store.DeleteSpace(pond));  // its links stay behind

    Recording rec = Record(reference, [&](HDC dc) { printer.RenderTaskList(dc, Letter96(), options); });
    const DrawOp heading = rec.Text(L"Project Tasks");
    EXPECT_EQ(heading.at.y, 96);
    EXPECT_EQ(heading.at.x, (624 - TextWidth(reference, L"Project Tasks", 40, 700)) / 2 + 96);
    EXPECT_EQ(heading.textColour, kHeading);
    const DrawOp taskHead = rec.Text(L"Task");
    EXPECT_EQ(taskHead.at.x, 116);
    EXPECT_EQ(taskHead.at.y, 176);
    EXPECT_EQ(taskHead.font.lfHeight, -20);
    const DrawOp statusHead = rec.Text(L"Status");
    EXPECT_EQ(statusHead.at.x, 496);
    EXPECT_EQ(statusHead.at.y, 176);

    ASSERT_EQ(rec.Count(DrawOp::Line), 1);
    for (const DrawOp& op : rec.ops) {
        if (op.kind != DrawOp::Line) continue;
        EXPECT_EQ(op.at.x, 96);
        EXPECT_EQ(op.at.y, 206);
        EXPECT_EQ(op.to.x, 680);
        EXPECT_EQ(op.to.y, 206);
        EXPECT_EQ(op.pen.lopnWidth.x, 2);
        EXPECT_EQ(op.pen.lopnColor, kGrey);
    }

    struct Row {
        const wchar_t* text;
        int x, y;
        COLORREF colour;
    };
    const Row rows[] = {
        {L"Water beds", 116, 226, RGB(0, 0, 0)},
        {L"[Pending]", 496, 226, RGB(255, 140, 0)},
        {L"  Every morning", 116, 251, kGrey},
        {L"  Spaces: Bed, Lawn", 116, 273, RGB(96, 96, 96)},
        {L"Mow lawn", 116, 303, RGB(0, 0, 0)},
        {L"[Done]", 496, 303, kGreen},
        {L"  Spaces: Lawn", 116, 328, RGB(96, 96, 96)},
        {L"Fix fence", 116, 358, RGB(0, 0, 0)},
        {L"[Pending]", 496, 358, RGB(255, 140, 0)},
        {L"  Spaces: Project-wide", 116, 383, RGB(96, 96, 96)},
        {L"Clean pond", 116, 413, RGB(0, 0, 0)},
        {L"[Pending]", 496, 413, RGB(255, 140, 0)},
        {L"  Spaces: ", 116, 438, RGB(96, 96, 96)},
    };
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 3u + std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const DrawOp& op = texts[3 + i];
        EXPECT_EQ(op.text, rows[i].text) << i;
        EXPECT_EQ(op.at.x, rows[i].x) << Narrow(op.text);
        EXPECT_EQ(op.at.y, rows[i].y) << Narrow(op.text);
        EXPECT_EQ(op.textColour, rows[i].colour) << Narrow(op.text);
    }
    EXPECT_EQ(rec.objectsCreated, 3);
    EXPECT_EQ(rec.objectsDeleted, 3);
    EXPECT_TRUE(rec.stockPenAtEnd);
    EXPECT_TRUE(rec.stockFontAtEnd);
}

TEST_F(PrintPages, TaskListWithoutTasksSaysSo) {
    Recording rec = Record(reference, [&](HDC dc) { printer.RenderTaskList(dc, Letter96(), options); });
    const DrawOp none = rec.Text(L"No tasks in this project");
    EXPECT_EQ(none.at.x, 116);
    EXPECT_EQ(none.at.y, 226);
    EXPECT_EQ(none.textColour, kGrey);
}

// ---- The whole document

TEST_F(PrintPages, DocumentDrawsTitleSpacesPlantListsAndTasksInOrder) {
    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {100, 0}, {100, 100}});
    AddPlant(bed, L"Tomato", {10, 10});
    AddSpace(L"Lawn", {{0, 0}, {100, 0}, {100, 100}});
    AddTask(L"Mow", L"", false);
    bool drawn = false;
    Recording rec = Record(reference, [&](HDC dc) { drawn = printer.RenderDocument(dc, Letter96(), options); });
    EXPECT_TRUE(drawn);
    std::vector<std::wstring> order;
    for (const DrawOp& op : rec.Texts())
        if (op.at.y == 96) order.push_back(op.text);  // what starts at the top margin: one per page
    const std::vector<std::wstring> expected{L"Back Garden", L"Bed", L"Bed - Plants", L"Lawn", L"Project Tasks"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(rec.objectsCreated, rec.objectsDeleted);

    options.includeTasks = false;
    options.includeTitle = false;
    options.includeDate = false;
    rec = Record(reference, [&](HDC dc) { printer.RenderDocument(dc, Letter96(), options); });
    ASSERT_FALSE(rec.Texts().empty());
    EXPECT_EQ(rec.Texts()[0].text, L"Bed");
    EXPECT_FALSE(rec.HasText(L"Project Tasks"));
}

TEST_F(PrintPages, DocumentWithoutSpacesSaysSoBelowTheTitle) {
    Recording rec = Record(reference, [&](HDC dc) { printer.RenderDocument(dc, Letter96(), options); });
    const DrawOp none = rec.Text(L"No spaces in project");
    EXPECT_EQ(none.at.y, 96 + 200);
    EXPECT_EQ(none.at.x, (624 - TextWidth(reference, L"No spaces in project", 32, 400)) / 2 + 96);
    EXPECT_EQ(none.font.lfHeight, -32);
    EXPECT_EQ(none.font.lfWeight, 400);
    EXPECT_EQ(none.textColour, kGrey);
    EXPECT_FALSE(rec.HasText(L"Project Tasks"));  // no tasks: no task page
    EXPECT_EQ(rec.objectsCreated, rec.objectsDeleted);

    HDC printerDc = PrinterReference(600);
    if (!printerDc) return;
    const PageLayout layout = PrintManager::MeasurePage(printerDc);
    rec = Record(printerDc, [&](HDC dc) { printer.RenderDocument(dc, layout, options); });
    const DrawOp scaled = rec.Text(L"No spaces in project");
    EXPECT_EQ(scaled.at.y, 600 + 1250);
    EXPECT_EQ(scaled.font.lfHeight, -200);
    DeleteDC(printerDc);
}

TEST_F(PrintPages, DocumentNeedsAProjectStore) {
    PrintManager detached(nullptr, nullptr);
    bool drawn = true;
    Recording rec = Record(reference, [&](HDC dc) { drawn = detached.RenderDocument(dc, Letter96(), options); });
    EXPECT_FALSE(drawn);
    EXPECT_TRUE(rec.ops.empty());
}

// ---- Page breaks, counted in the PostScript that the printer's driver writes
// to a file: no print job reaches the printer.

namespace {

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"tilvo-print-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

// Pages of one copy of the document, or -1 without the PDF printer's driver.
int PagesInPostScript(PrintManager& printer, const PrintOptions& options) {
    HDC dc = CreateDCW(L"WINSPOOL", L"PDF", nullptr, nullptr);
    if (!dc) return -1;
    const std::wstring path = TempPath(L"pages.ps");
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = L"Tilvo layout test";
    doc.lpszOutput = path.c_str();
    EXPECT_GT(StartDocW(dc, &doc), 0);
    StartPage(dc);
    printer.RenderDocument(dc, PrintManager::MeasurePage(dc), options);
    EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);
    std::stringstream content(ReadFileBytes(path));
    DeleteFileW(path.c_str());
    int pages = 0;
    std::string line;
    while (std::getline(content, line))
        if (line.rfind("%%Page:", 0) == 0) ++pages;
    return pages;
}

}  // namespace

TEST_F(PrintPages, PageBreaksFallBetweenTitleSpacesPlantListsAndTasks) {
    if (PagesInPostScript(printer, options) < 0) GTEST_SKIP() << "no PDF printer driver on this machine";
    // Title page and the "No spaces in project" page.
    EXPECT_EQ(PagesInPostScript(printer, options), 2);
    options.includeTitle = options.includeDate = false;
    EXPECT_EQ(PagesInPostScript(printer, options), 1);

    const int32_t bed = AddSpace(L"Bed", {{0, 0}, {100, 0}, {100, 100}});
    AddPlant(bed, L"Tomato", {10, 10});
    AddSpace(L"Lawn", {{0, 0}, {100, 0}, {100, 100}});
    EXPECT_EQ(PagesInPostScript(printer, options), 3);  // Bed, Bed's plants, Lawn
    AddTask(L"Mow", L"", false);
    EXPECT_EQ(PagesInPostScript(printer, options), 4);
    options.includeDate = true;
    EXPECT_EQ(PagesInPostScript(printer, options), 5);
    options.includeTasks = false;
    EXPECT_EQ(PagesInPostScript(printer, options), 4);

    // A space without vertices still gets its plant-list page.
    const int32_t loose = AddSpace(L"Loose", {});
    AddPlant(loose, L"Seed", {0, 0});
    EXPECT_EQ(PagesInPostScript(printer, options), 6);
}
