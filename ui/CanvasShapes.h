// The shapes that the canvas draws and hits alike, in world units: a plant's
// marker, its label and the selected plant's box around the label, a space's
// name, a polygon's bounds; and the measuring of text. The painter, the press's
// hit test and the repaint box of a drag step all take them from here, so what
// is drawn is what is hit and what is repainted. The image export and the
// printed pages take the bounds and the measuring from here too.
#pragma once

#include "WinApi.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Records.h"

namespace shapes {

// The plant marker: a square icon centred on the plant's position.
constexpr int32_t kMarkerHalf = 16;
constexpr int32_t kMarkerSize = 2 * kMarkerHalf;

// The top-left corner of a plant's label, from the plant's position.
constexpr int32_t kLabelDx = 20;
constexpr int32_t kLabelDy = -5;

// The selected plant's dotted box stands this far outside its label.
constexpr int32_t kLabelBoxMargin = 2;

// A space's name: its top-left corner lies this far above the top-left corner
// of the vertices' bounds, in a bold font of this height.
constexpr int32_t kNameDy = -22;
constexpr LONG kNameFontHeight = 20;

// "name #id": how a plant is named on the canvas and in every list of plants.
inline std::wstring PlantLabel(const Plant& plant) {
    return plant.name + L" #" + std::to_wstring(plant.id);
}

// The box around what is added, edges included, in 64 bits so that no world
// coordinate can overflow it; empty until something is added.
struct Bounds {
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;

    bool Empty() const { return left > right; }
    void Add(int64_t l, int64_t t, int64_t r, int64_t b) {
        left = std::min(left, l);
        top = std::min(top, t);
        right = std::max(right, r);
        bottom = std::max(bottom, b);
    }
    void Add(POINT p) { Add(p.x, p.y, p.x, p.y); }
    void Add(const Bounds& other) { Add(other.left, other.top, other.right, other.bottom); }
};

inline Bounds PolygonBounds(const std::vector<POINT>& polygon) {
    Bounds bounds;
    for (const POINT& p : polygon) bounds.Add(p);
    return bounds;
}

// The size of one line of text in the font selected into dc; (0, 0) when it
// cannot be measured.
inline SIZE TextExtent(HDC dc, std::wstring_view text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace shapes
