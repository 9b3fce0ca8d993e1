#include "ImageFile.h"

#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include <fstream>

namespace gp = Gdiplus::DllExports;

namespace uitest {

namespace {

// GDI+ for the whole test program, as the program starts it in WinMain.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token); }

private:
    ULONG_PTR token = 0;
};

[[maybe_unused]] ::testing::Environment* const gdiplusEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

std::vector<unsigned char> ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int32_t BigEndian32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<int32_t>((uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
                                uint32_t{b[at + 3]});
}

int32_t BigEndian16(const std::vector<unsigned char>& b, size_t at) {
    return (int32_t{b[at]} << 8) | int32_t{b[at + 1]};
}

// {B96B3CAF-0728-11D3-9D7B-0000F81EF32E} and {B96B3CAE-...}: GDI+'s PNG and JPEG formats.
const GUID kPng = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kJpeg = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

}  // namespace

ImageHeader ReadImageHeader(const std::wstring& path) {
    ImageHeader header;
    const std::vector<unsigned char> b = ReadAll(path);
    static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() >= 33 && std::equal(kPngSignature, kPngSignature + 8, b.begin()) &&
        std::string(b.begin() + 12, b.begin() + 16) == "IHDR") {
        header.format = "png";
        header.width = BigEndian32(b, 16);
        header.height = BigEndian32(b, 20);
        header.pngBitDepth = b[24];
        header.pngColourType = b[25];
        return header;
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        // Walk the marker segments to the frame header (SOF0 to SOF2).
        size_t at = 2;
        while (at + 9 < b.size() && b[at] == 0xFF) {
            const unsigned char marker = b[at + 1];
            const size_t length = static_cast<size_t>(BigEndian16(b, at + 2));
            if (marker >= 0xC0 && marker <= 0xC2) {
                header.format = "jpeg";
                header.height = BigEndian16(b, at + 5);
                header.width = BigEndian16(b, at + 7);
                return header;
            }
            at += 2 + length;
        }
    }
    return header;
}

bool DecodedImage::Near(int32_t x, int32_t y, int r, int g, int b, int tolerance) const {
    return std::abs(Red(x, y) - r) <= tolerance && std::abs(Green(x, y) - g) <= tolerance &&
           std::abs(Blue(x, y) - b) <= tolerance;
}

int DecodedImage::CountDark(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
    int n = 0;
    for (int32_t y = std::max(top, 0); y < std::min(bottom, height); ++y)
        for (int32_t x = std::max(left, 0); x < std::min(right, width); ++x)
            if (Red(x, y) < 100 && Green(x, y) < 100 && Blue(x, y) < 100) ++n;
    return n;
}

DecodedImage DecodeImage(const std::wstring& path) {
    DecodedImage image;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok || !bitmap) return image;
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(bitmap, &width);
    gp::GdipGetImageHeight(bitmap, &height);
    gp::GdipGetImageRawFormat(bitmap, &image.rawFormat);
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    Gdiplus::GpRect rect(0, 0, image.width, image.height);
    Gdiplus::BitmapData data{};
    if (gp::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) ==
        Gdiplus::Ok) {
        image.pixels.resize(static_cast<size_t>(width) * height);
        for (UINT y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(data.Scan0) +
                                                                static_cast<ptrdiff_t>(y) * data.Stride);
            std::copy(row, row + width, image.pixels.begin() + static_cast<ptrdiff_t>(y) * width);
        }
        gp::GdipBitmapUnlockBits(bitmap, &data);
        image.ok = true;
    }
    gp::GdipDisposeImage(bitmap);
    return image;
}

bool IsPngFormat(const GUID& rawFormat) {
    return IsEqualGUID(rawFormat, kPng);
}

bool IsJpegFormat(const GUID& rawFormat) {
    return IsEqualGUID(rawFormat, kJpeg);
}

}  // namespace uitest
