// Reading back an exported image file for checks: its header bytes parsed by
// hand (format, size, PNG colour type) and its pixels decoded with GDI+.
#pragma once

#include "WinApi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace uitest {

// What the file's own bytes say.
struct ImageHeader {
    std::string format;  // "png", "jpeg" or "" for neither
    int32_t width = 0, height = 0;
    int32_t pngBitDepth = 0, pngColourType = -1;  // PNG only: 8 and 6 for 8-bit RGBA
};
ImageHeader ReadImageHeader(const std::wstring& path);

// A decoded image, pixels as 0xAARRGGBB row by row from the top.
struct DecodedImage {
    bool ok = false;
    int32_t width = 0, height = 0;
    GUID rawFormat{};
    std::vector<uint32_t> pixels;

    uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int Red(int32_t x, int32_t y) const { return (At(x, y) >> 16) & 0xFF; }
    int Green(int32_t x, int32_t y) const { return (At(x, y) >> 8) & 0xFF; }
    int Blue(int32_t x, int32_t y) const { return At(x, y) & 0xFF; }
    int Alpha(int32_t x, int32_t y) const { return (At(x, y) >> 24) & 0xFF; }
    // True when the pixel is within `tolerance` of (r, g, b) on every channel.
    bool Near(int32_t x, int32_t y, int r, int g, int b, int tolerance) const;
    // Pixels of the rectangle (right and bottom outside) darker than 100 on every channel.
    int CountDark(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
};
DecodedImage DecodeImage(const std::wstring& path);

bool IsPngFormat(const GUID& rawFormat);
bool IsJpegFormat(const GUID& rawFormat);

}  // namespace uitest
