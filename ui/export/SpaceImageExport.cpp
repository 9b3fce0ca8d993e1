// The image renderer of the Export Spaces dialog: the chosen spaces, their
// names and their plants drawn with GDI+ (flat API) on one white bitmap in
// world units shifted to a 50-pixel margin, saved as PNG or JPEG.
#include "export/SpaceImageExport.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <vector>

#include "CanvasShapes.h"
#include "MainWindow.h"

#include <objidl.h>  // gdiplus.h needs IStream, which the lean windows.h leaves out
#include <gdiplus.h>

namespace gp = Gdiplus::DllExports;
using Gdiplus::ARGB;
using Gdiplus::GpStatus;

namespace {

constexpr int64_t kMargin = 50;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kSpaceFill = 0x6400FF00;     // A 100, R 0, G 255, B 0
constexpr ARGB kSpaceOutline = 0xFF008000;  // A 255, R 0, G 128, B 0
constexpr ARGB kPlantMarker = 0xFFFF0000;
constexpr ARGB kTextColour = 0xFF000000;
constexpr float kOutlineWidth = 2.0f;
constexpr float kSpaceNameSize = 14.0f;
constexpr float kPlantNameSize = 10.0f;
constexpr float kMarkerSize = 8.0f;
constexpr float kPlantNameGap = 8.0f;

// The size of the bitmap that is drawn on, in pixels.
struct ImageSize {
    int64_t width, height;
};

// Whether a box in image pixels, widened by `slack` on every side, misses the
// bitmap altogether. In doubles: a plant may lie up to 2^32 pixels out.
bool Misses(const ImageSize& image, double left, double top, double right, double bottom, double slack) {
    return right + slack < 0 || bottom + slack < 0 || left - slack > static_cast<double>(image.width) ||
           top - slack > static_cast<double>(image.height);
}

// Draws `text` in a zero-size layout rectangle at (x, y): centred horizontally
// on x, and vertically on y when `centreVertically`, else with its top at y.
// A label wholly outside the image is left out: nothing of it would show, and
// GDI+ faults on text placed near 2^31 pixels out.
void DrawLabel(Gdiplus::GpGraphics* graphics, const ImageSize& image, const std::wstring& text, float size,
               INT style, double x, double y, bool centreVertically) {
    Gdiplus::GpSolidFill* brush = nullptr;
    gp::GdipCreateSolidFill(kTextColour, &brush);
    Gdiplus::GpFontFamily* family = nullptr;
    gp::GdipCreateFontFamilyFromName(L"Arial", nullptr, &family);
    Gdiplus::GpFont* font = nullptr;
    if (family) gp::GdipCreateFont(family, size, style, Gdiplus::UnitPixel, &font);
    Gdiplus::GpStringFormat* format = nullptr;
    gp::GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    if (format) {
        gp::GdipSetStringFormatAlign(format, Gdiplus::StringAlignmentCenter);
        if (centreVertically) gp::GdipSetStringFormatLineAlign(format, Gdiplus::StringAlignmentCenter);
    }
    if (brush && font && format) {
        // Measured at the origin; whichever way it is aligned, the text lies
        // within its size of (x, y), and one em of slack covers overhanging glyphs.
        const Gdiplus::RectF origin(0.0f, 0.0f, 0.0f, 0.0f);
        Gdiplus::RectF box(0.0f, 0.0f, 0.0f, 0.0f);
        const bool measured =
            gp::GdipMeasureString(graphics, text.c_str(), -1, font, &origin, format, &box, nullptr, nullptr) ==
            Gdiplus::Ok;
        if (!measured || !Misses(image, x - box.Width, y - box.Height, x + box.Width, y + box.Height, size)) {
            const Gdiplus::RectF layout(static_cast<float>(x), static_cast<float>(y), 0.0f, 0.0f);
            gp::GdipDrawString(graphics, text.c_str(), -1, font, &layout, format, brush);
        }
    }
    if (format) gp::GdipDeleteStringFormat(format);
    if (font) gp::GdipDeleteFont(font);
    if (family) gp::GdipDeleteFontFamily(family);
    if (brush) gp::GdipDeleteBrush(brush);
}

void DrawSpace(Gdiplus::GpGraphics* graphics, const ImageSize& image, const Space& space,
               const std::vector<Plant>& plants, int64_t originX, int64_t originY) {
    std::vector<Gdiplus::PointF> points;
    points.reserve(space.polygon.size());
    for (const POINT& p : space.polygon)
        points.emplace_back(static_cast<float>(p.x - originX), static_cast<float>(p.y - originY));
    const INT count = static_cast<INT>(points.size());

    Gdiplus::GpSolidFill* fill = nullptr;
    gp::GdipCreateSolidFill(kSpaceFill, &fill);
    Gdiplus::GpPen* pen = nullptr;
    gp::GdipCreatePen1(kSpaceOutline, kOutlineWidth, Gdiplus::UnitPixel, &pen);
    if (fill) gp::GdipFillPolygon(graphics, fill, points.data(), count, Gdiplus::FillModeAlternate);
    if (pen) gp::GdipDrawPolygon(graphics, pen, points.data(), count);
    if (pen) gp::GdipDeletePen(pen);
    if (fill) gp::GdipDeleteBrush(fill);

    if (!space.name.empty()) {
        float sumX = 0.0f, sumY = 0.0f;
        for (const Gdiplus::PointF& p : points) {
            sumX += p.X;
            sumY += p.Y;
        }
        DrawLabel(graphics, image, space.name, kSpaceNameSize, Gdiplus::FontStyleBold,
                  sumX / static_cast<float>(count), sumY / static_cast<float>(count), true);
    }

    for (const Plant& plant : plants) {
        const int64_t x = plant.position.x - originX, y = plant.position.y - originY;
        const float px = static_cast<float>(x);
        const float py = static_cast<float>(y);
        // A marker wholly outside the image is left out; a pixel of slack
        // covers the anti-aliased rim.
        constexpr double kHalf = kMarkerSize / 2;
        if (!Misses(image, x - kHalf, y - kHalf, x + kHalf, y + kHalf, 1.0)) {
            Gdiplus::GpSolidFill* marker = nullptr;
            gp::GdipCreateSolidFill(kPlantMarker, &marker);
            if (marker) {
                gp::GdipFillEllipse(graphics, marker, px - kMarkerSize / 2, py - kMarkerSize / 2, kMarkerSize,
                                    kMarkerSize);
                gp::GdipDeleteBrush(marker);
            }
        }
        if (!plant.name.empty())
            DrawLabel(graphics, image, plant.name, kPlantNameSize, Gdiplus::FontStyleRegular, px,
                      py + kPlantNameGap, false);
    }
}

// The class id of the first encoder whose MIME type is exactly `mimeType`.
bool FindEncoder(const wchar_t* mimeType, CLSID& clsid) {
    UINT count = 0, bytes = 0;
    if (gp::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    auto* codecs = static_cast<Gdiplus::ImageCodecInfo*>(std::malloc(bytes));
    if (!codecs) return false;
    bool found = false;
    if (gp::GdipGetImageEncoders(count, bytes, codecs) == Gdiplus::Ok) {
        for (UINT i = 0; i < count && !found; ++i) {
            if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mimeType) == 0) {
                clsid = codecs[i].Clsid;
                found = true;
            }
        }
    }
    std::free(codecs);
    return found;
}

}  // namespace

std::wstring ImageFormatForPath(const std::wstring& path) {
    if (path.size() < 4) return L"png";
    std::wstring tail = path.substr(path.size() - 4);
    for (wchar_t& c : tail) c = static_cast<wchar_t>(std::towlower(c));
    return (tail == L".jpg" || tail == L"jpeg") ? L"jpg" : L"png";
}

bool MainWindow::ExportSpacesToImage(const std::vector<int32_t>& indices, const std::wstring& path,
                                     const std::wstring& format) {
    if (indices.empty() || !projectManager.IsProjectOpen()) return false;
    const std::vector<Space> spaces = projectManager.GetSpaces();
    if (spaces.empty()) return false;
    const auto valid = [&spaces](int32_t index) { return index >= 0 && static_cast<size_t>(index) < spaces.size(); };

    // The box is kept in 64 bits: world coordinates near the int32 limits must
    // not wrap when the margin and the size are worked out.
    shapes::Bounds box;
    for (int32_t index : indices)
        if (valid(index)) box.Add(shapes::PolygonBounds(spaces[static_cast<size_t>(index)].polygon));
    if (box.left >= box.right || box.top >= box.bottom) return false;

    const int64_t originX = box.left - kMargin, originY = box.top - kMargin;
    const int64_t width = box.right - originX + kMargin, height = box.bottom - originY + kMargin;
    // GDI+ sizes the pixel buffer as stride x height in a 32-bit int: a larger
    // image cannot be made (some GDI+ builds would wrap the size and overrun it).
    constexpr int64_t kBytesPerPixel = 4;
    if (width > std::numeric_limits<INT>::max() / kBytesPerPixel ||
        width * kBytesPerPixel * height > std::numeric_limits<INT>::max())
        return false;

    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppARGB,
                                      nullptr, &bitmap) != Gdiplus::Ok ||
        !bitmap)
        return false;  // too large for memory, or GDI+ not started
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gp::GdipGetImageGraphicsContext(bitmap, &graphics) != Gdiplus::Ok || !graphics) {
        gp::GdipDisposeImage(bitmap);
        return false;
    }
    gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipGraphicsClear(graphics, kWhite);

    for (int32_t index : indices) {
        if (!valid(index)) continue;
        const Space& space = spaces[static_cast<size_t>(index)];
        if (space.polygon.empty()) continue;
        DrawSpace(graphics, ImageSize{width, height}, space, projectManager.GetPlantsInSpace(space.id), originX,
                  originY);
    }

    bool saved = false;
    CLSID encoder{};
    if (FindEncoder(format == L"jpg" ? L"image/jpeg" : L"image/png", encoder))
        saved = gp::GdipSaveImageToFile(bitmap, path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
    gp::GdipDeleteGraphics(graphics);
    gp::GdipDisposeImage(bitmap);
    return saved;
}
