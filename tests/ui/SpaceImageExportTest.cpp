// The image renderer of the space export, called on a real MainWindow with a
// project in its store; every image is read back from its file: the header
// bytes for format and size, GDI+ decoding for the pixels at positions worked
// out from the layout (50-pixel margin, fill, outline, markers, labels).
#include <filesystem>
#include <limits>
#include <memory>

#include "ImageFile.h"
#include "MainWindow.h"
#include "export/SpaceImageExport.h"

#include <gtest/gtest.h>

using uitest::DecodeImage;
using uitest::DecodedImage;
using uitest::ReadImageHeader;

namespace {

class SpaceImageExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + L"tilvo-image-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter) + L"\\";
        std::filesystem::create_directories(dir);
        window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    ProjectManager& Store() { return window->projectManager; }
    void Open() { ASSERT_TRUE(Store().CreateNewProject(L"Plot", L"")); }
    int32_t AddSpace(const std::wstring& name, std::vector<POINT> polygon) {
        Space space;
        space.name = name;
        space.polygon = std::move(polygon);
        const int32_t id = Store().CreateSpace(space);
        EXPECT_GE(id, 0);
        return id;
    }
    static std::vector<POINT> Box(LONG left, LONG top, LONG right, LONG bottom) {
        return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    }
    void AddPlant(int32_t spaceId, const std::wstring& name, LONG x, LONG y) {
        Plant plant;
        plant.spaceId = spaceId;
        plant.name = name;
        plant.position = {x, y};
        EXPECT_GE(Store().CreatePlant(plant), 0);
    }
    bool Export(const std::vector<int32_t>& indices, const std::wstring& file, const std::wstring& format) {
        return window->ExportSpacesToImage(indices, dir + file, format);
    }
    bool Exists(const std::wstring& file) { return std::filesystem::exists(dir + file); }

    std::wstring dir;
    std::unique_ptr<MainWindow> window;
};

// A translucent green (alpha 100) over white: 255 * 155 / 255 on red and blue.
constexpr int kFillR = 155, kFillG = 255, kFillB = 155;

// Space "Bed" (100,100)-(300,200) with Rose at (130,120) and an unnamed plant
// at (260,170): origin (50,50), image 300 x 200, the space at (50,50)-(250,150)
// with its centre at (150,100), Rose at (80,70), the unnamed plant at (210,120).
TEST_F(SpaceImageExportTest, PngShowsTheSpaceItsNameAndItsPlantsInsideTheMargin) {
    Open();
    const int32_t bed = AddSpace(L"Bed", Box(100, 100, 300, 200));
    AddPlant(bed, L"Rose", 130, 120);
    AddPlant(bed, L"", 260, 170);
    ASSERT_TRUE(Export({0}, L"bed.png", L"png"));

    const auto header = ReadImageHeader(dir + L"bed.png");
    EXPECT_EQ(header.format, "png");
    EXPECT_EQ(header.width, 300);
    EXPECT_EQ(header.height, 200);
    EXPECT_EQ(header.pngBitDepth, 8);
    EXPECT_EQ(header.pngColourType, 6);  // RGBA: the bitmap is 32-bit ARGB

    const DecodedImage image = DecodeImage(dir + L"bed.png");
    ASSERT_TRUE(image.ok);
    EXPECT_TRUE(uitest::IsPngFormat(image.rawFormat));
    ASSERT_EQ(image.width, 300);
    ASSERT_EQ(image.height, 200);

    // Opaque white margin all round.
    for (auto p : std::vector<POINT>{{0, 0}, {299, 0}, {0, 199}, {299, 199}, {45, 100}, {255, 100}, {150, 45}, {150, 155}}) {
        EXPECT_TRUE(image.Near(p.x, p.y, 255, 255, 255, 0)) << p.x << "," << p.y;
        EXPECT_EQ(image.Alpha(p.x, p.y), 255);
    }
    // The fill, away from the outline, the labels and the markers.
    for (auto p : std::vector<POINT>{{60, 140}, {240, 60}, {200, 80}, {120, 130}})
        EXPECT_TRUE(image.Near(p.x, p.y, kFillR, kFillG, kFillB, 2))
            << p.x << "," << p.y << ": " << image.Red(p.x, p.y) << " " << image.Green(p.x, p.y) << " "
            << image.Blue(p.x, p.y);
    // The 2-pixel outline straddles each edge: pixels 49 and 50 of the left edge,
    // 249 and 250 of the right one, likewise 49/50 and 149/150 in y.
    for (auto p : std::vector<POINT>{{49, 100}, {50, 100}, {249, 100}, {250, 100}, {100, 49}, {100, 50}, {100, 149}, {100, 150}})
        EXPECT_TRUE(image.Near(p.x, p.y, 0, 128, 0, 6))
            << p.x << "," << p.y << ": " << image.Red(p.x, p.y) << " " << image.Green(p.x, p.y) << " "
            << image.Blue(p.x, p.y);
    // Red 8 x 8 markers centred on the plants.
    for (auto p : std::vector<POINT>{{80, 70}, {78, 68}, {82, 72}, {210, 120}, {212, 118}})
        EXPECT_TRUE(image.Near(p.x, p.y, 255, 0, 0, 2)) << p.x << "," << p.y;
    EXPECT_TRUE(image.Near(80, 76, kFillR, kFillG, kFillB, 2));  // below the marker's box (66..74)

    // The space name: black glyphs around (150,100), none beside them.
    EXPECT_GT(image.CountDark(125, 90, 175, 111), 20);
    EXPECT_EQ(image.CountDark(55, 95, 110, 105), 0);
    EXPECT_EQ(image.CountDark(190, 95, 245, 105), 0);
    // Rose's name hangs below its marker: top at y 78, centred on x 80.
    EXPECT_GT(image.CountDark(60, 78, 101, 92), 10);
    EXPECT_EQ(image.CountDark(60, 60, 101, 78), 0);
    // The unnamed plant shows its dot only.
    EXPECT_EQ(image.CountDark(185, 110, 240, 148), 0);
}

TEST_F(SpaceImageExportTest, JpegIsChosenOnlyByTheExactFormatJpg) {
    Open();
    const int32_t bed = AddSpace(L"Bed", Box(0, 0, 200, 100));
    AddPlant(bed, L"Kale", 40, 30);
    ASSERT_TRUE(Export({0}, L"a.jpg", L"jpg"));
    ASSERT_TRUE(Export({0}, L"b.jpg", L"JPG"));  // not exactly "jpg": PNG, whatever the name says

    const auto jpeg = ReadImageHeader(dir + L"a.jpg");
    EXPECT_EQ(jpeg.format, "jpeg");
    EXPECT_EQ(jpeg.width, 300);
    EXPECT_EQ(jpeg.height, 200);
    EXPECT_EQ(ReadImageHeader(dir + L"b.jpg").format, "png");

    const DecodedImage image = DecodeImage(dir + L"a.jpg");
    ASSERT_TRUE(image.ok);
    EXPECT_TRUE(uitest::IsJpegFormat(image.rawFormat));
    // Lossy: colours within a tolerance, away from edges.
    EXPECT_TRUE(image.Near(10, 10, 255, 255, 255, 8));
    EXPECT_TRUE(image.Near(230, 130, kFillR, kFillG, kFillB, 12));
    // Kale at (40,30) + 50: chroma subsampling blurs the small dot, but it stays red.
    EXPECT_GT(image.Red(90, 80), 180);
    EXPECT_GT(image.Red(90, 80) - image.Green(90, 80), 80) << image.Red(90, 80) << " " << image.Green(90, 80) << " " << image.Blue(90, 80);
    EXPECT_GT(image.CountDark(120, 90, 181, 111), 10);  // "Bed" around (150,100)
}

// A (0,0)-(100,100), B (1000,0)-(1100,100), C (2000,500)-(2100,600); A and C
// ticked: box (0,0)-(2100,600), origin (-50,-50), image 2200 x 700.
TEST_F(SpaceImageExportTest, FarApartSpacesShareOneImageAndUntickedOnesAreLeftOut) {
    Open();
    const int32_t a = AddSpace(L"", Box(0, 0, 100, 100));
    AddSpace(L"B", Box(1000, 0, 1100, 100));
    AddSpace(L"", Box(2000, 500, 2100, 600));
    AddPlant(a, L"", 500, 300);      // outside its space: still drawn, at (550,350)
    AddPlant(a, L"Far", -900, -900);  // outside the image: clipped
    ASSERT_TRUE(Export({0, 2}, L"two.png", L"png"));

    const DecodedImage image = DecodeImage(dir + L"two.png");
    ASSERT_TRUE(image.ok);
    ASSERT_EQ(image.width, 2200);
    ASSERT_EQ(image.height, 700);
    EXPECT_TRUE(image.Near(100, 100, kFillR, kFillG, kFillB, 2));    // A's centre: no label, the name is empty
    EXPECT_TRUE(image.Near(2100, 600, kFillR, kFillG, kFillB, 2));   // C's centre
    EXPECT_EQ(image.CountDark(0, 0, 2200, 700), 0);                 // no label anywhere
    EXPECT_TRUE(image.Near(1100, 100, 255, 255, 255, 0));            // B was not ticked
    EXPECT_TRUE(image.Near(1055, 55, 255, 255, 255, 0));
    EXPECT_TRUE(image.Near(550, 350, 255, 0, 0, 2));                 // the stray plant
    // The margin: 50 pixels beyond the joint box on every side.
    EXPECT_TRUE(image.Near(45, 100, 255, 255, 255, 0));
    EXPECT_TRUE(image.Near(52, 100, kFillR, kFillG, kFillB, 2));
    EXPECT_TRUE(image.Near(2147, 600, kFillR, kFillG, kFillB, 2));
    EXPECT_TRUE(image.Near(2155, 600, 255, 255, 255, 0));
    EXPECT_TRUE(image.Near(2100, 545, 255, 255, 255, 0));
    EXPECT_TRUE(image.Near(2100, 647, kFillR, kFillG, kFillB, 2));
    EXPECT_TRUE(image.Near(2100, 655, 255, 255, 255, 0));
}

// Plants whose marker and label lie wholly outside the image, on every side and
// up to 2^31 pixels out, leave the picture as it was (GDI+ could not draw a
// label that far out); one only partly outside still shows its part.
TEST_F(SpaceImageExportTest, PlantsWhollyOutsideTheImageLeaveThePictureAsItWas) {
    Open();
    const LONG kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
    const int32_t bed = AddSpace(L"Bed", Box(0, 0, 200, 100));
    const int32_t low = AddSpace(L"Low", Box(0, -1000000000, 200, -999999900));
    ASSERT_TRUE(Export({0}, L"bed.png", L"png"));
    ASSERT_TRUE(Export({1}, L"low.png", L"png"));
    AddPlant(bed, L"Stray", 60, kMax);
    AddPlant(bed, L"North", 60, kMin);
    AddPlant(bed, L"East", kMax, 50);
    AddPlant(bed, L"West", kMin, 50);
    AddPlant(low, L"Stray", 60, 1200000000);
    ASSERT_TRUE(Export({0}, L"bed-far.png", L"png"));
    ASSERT_TRUE(Export({1}, L"low-far.png", L"png"));
    EXPECT_TRUE(DecodeImage(dir + L"bed.png").pixels == DecodeImage(dir + L"bed-far.png").pixels);
    EXPECT_TRUE(DecodeImage(dir + L"low.png").pixels == DecodeImage(dir + L"low-far.png").pixels);

    AddPlant(bed, L"Rim", -50, 30);  // at the image's left edge (0,80)
    ASSERT_TRUE(Export({0}, L"rim.png", L"png"));
    const DecodedImage rim = DecodeImage(dir + L"rim.png");
    ASSERT_TRUE(rim.ok);
    EXPECT_TRUE(rim.Near(1, 80, 255, 0, 0, 2));
    EXPECT_GT(rim.CountDark(0, 88, 20, 102), 0);
}

TEST_F(SpaceImageExportTest, ChosenSpacesAreDrawnInTheGivenOrderAndBadIndicesAreSkipped) {
    Open();
    AddSpace(L"", Box(0, 0, 100, 100));
    AddSpace(L"", Box(50, 0, 150, 100));  // overlaps the first
    ASSERT_TRUE(Export({-1, 1, 7, 0}, L"order.png", L"png"));
    const DecodedImage image = DecodeImage(dir + L"order.png");
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.width, 250);  // both spaces: (0,0)-(150,100)
    EXPECT_EQ(image.height, 200);
    // The overlap is filled twice: alpha 100 over the first blend.
    const int twice = 155 - 155 * 100 / 255;
    EXPECT_TRUE(image.Near(125, 80, twice, 255, twice, 3)) << image.Red(125, 80);
    EXPECT_TRUE(image.Near(75, 80, kFillR, kFillG, kFillB, 2));
    EXPECT_TRUE(image.Near(175, 80, kFillR, kFillG, kFillB, 2));
    // The first space was drawn last: its right outline (pixels 149 and 150)
    // lies on top of the second space's fill, not under it.
    EXPECT_TRUE(image.Near(150, 80, 0, 128, 0, 6)) << image.Red(150, 80) << " " << image.Green(150, 80);
}

TEST_F(SpaceImageExportTest, RefusesWithoutProjectSpacesSelectionOrAnAreaAndWritesNothing) {
    EXPECT_FALSE(Export({0}, L"none.png", L"png"));  // no project
    Open();
    EXPECT_FALSE(Export({0}, L"none.png", L"png"));  // no spaces
    AddSpace(L"Line", {{0, 10}, {100, 10}, {50, 10}});  // horizontal: no height
    AddSpace(L"Post", {{20, 0}, {20, 80}});               // vertical: no width
    AddSpace(L"Dot", {{5, 5}});
    AddSpace(L"Empty", {});
    AddSpace(L"Good", Box(0, 0, 10, 10));
    EXPECT_FALSE(Export({}, L"none.png", L"png"));
    EXPECT_FALSE(Export({0}, L"none.png", L"png"));
    EXPECT_FALSE(Export({1}, L"none.png", L"png"));
    EXPECT_FALSE(Export({2, 3}, L"none.png", L"png"));
    EXPECT_FALSE(Export({5, -1, 99}, L"none.png", L"png"));
    EXPECT_FALSE(Exists(L"none.png"));
    // The line and the post together do span an area.
    EXPECT_TRUE(Export({0, 1}, L"cross.png", L"png"));
    EXPECT_EQ(ReadImageHeader(dir + L"cross.png").width, 200);
    EXPECT_EQ(ReadImageHeader(dir + L"cross.png").height, 180);
}

TEST_F(SpaceImageExportTest, AFileThatCannotBeWrittenFailsTheExport) {
    Open();
    AddSpace(L"Bed", Box(0, 0, 10, 10));
    EXPECT_FALSE(window->ExportSpacesToImage({0}, dir + L"missing\\bed.png", L"png"));
    EXPECT_FALSE(Exists(L"missing\\bed.png"));
    EXPECT_FALSE(window->ExportSpacesToImage({0}, dir, L"png"));  // a folder
}

// World coordinates at the ends of the int32 range: the margin and the size
// must be worked out without wrapping.
TEST_F(SpaceImageExportTest, CoordinatesAtTheEndsOfTheRangeGiveTheRightImageOrAFailure) {
    Open();
    const LONG kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
    AddSpace(L"", Box(kMin, kMin, kMin + 40, kMin + 20));
    AddSpace(L"", Box(kMax - 40, kMax - 20, kMax, kMax));
    ASSERT_TRUE(Export({0}, L"low.png", L"png"));
    ASSERT_TRUE(Export({1}, L"high.png", L"png"));
    for (const wchar_t* file : {L"low.png", L"high.png"}) {
        const DecodedImage image = DecodeImage(dir + file);
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(image.width, 140);
        EXPECT_EQ(image.height, 120);
        EXPECT_TRUE(image.Near(70, 60, kFillR, kFillG, kFillB, 2));
        EXPECT_TRUE(image.Near(20, 60, 255, 255, 255, 0));
    }
    // Both together would need an image wider than any bitmap can be.
    EXPECT_FALSE(Export({0, 1}, L"both.png", L"png"));
    EXPECT_FALSE(Exists(L"both.png"));
}

// 33,000 pixels square at 4 bytes a pixel is more than GDI+ can address (its
// buffer size is a 32-bit int; Wine's wraps to 61 MB, makes the bitmap and
// then writes past it): refused before any bitmap is made.
TEST_F(SpaceImageExportTest, AnImageTooLargeForGdiplusIsRefused) {
    Open();
    AddSpace(L"West", Box(0, 0, 10, 10));
    AddSpace(L"East", Box(32890, 32890, 32900, 32900));
    EXPECT_FALSE(Export({0, 1}, L"huge.png", L"png"));
    EXPECT_FALSE(Exists(L"huge.png"));
    // A long thin strip of the same width is fine.
    AddSpace(L"Strip", Box(0, 0, 30000, 1));
    ASSERT_TRUE(Export({2}, L"strip.png", L"png"));
    EXPECT_EQ(ReadImageHeader(dir + L"strip.png").width, 30100);
    EXPECT_EQ(ReadImageHeader(dir + L"strip.png").height, 101);
}

TEST(ImageFormatForPath, ChoosesJpegByTheLastFourCharactersInAnyCase) {
    EXPECT_EQ(ImageFormatForPath(L"C:\\out\\garden.JPEG"), L"jpg");
    EXPECT_EQ(ImageFormatForPath(L"garden.Jpg"), L"jpg");
    EXPECT_EQ(ImageFormatForPath(L"garden.jpeg"), L"jpg");
    EXPECT_EQ(ImageFormatForPath(L"gardenjpeg"), L"jpg");
    EXPECT_EQ(ImageFormatForPath(L"garden.jpg.png"), L"png");
    EXPECT_EQ(ImageFormatForPath(L"garden.jpe"), L"png");
    EXPECT_EQ(ImageFormatForPath(L"jpg"), L"png");  // fewer than 4 characters
    EXPECT_EQ(ImageFormatForPath(L""), L"png");
    EXPECT_EQ(ImageFormatForPath(L".jpg"), L"jpg");
}

}  // namespace
