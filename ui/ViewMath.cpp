#include "ViewMath.h"

#include <algorithm>
#include <cmath>

#include "resource.h"

float ZoomedOut(float zoom) {
    return std::max(zoom - kZoomStep, kMinZoom);
}

float ZoomedIn(float zoom) {
    return std::min(zoom + kZoomStep, kMaxZoom);
}

int32_t ZoomPercent(float zoom) {
    const float percent = zoom * 100.0f;
    return static_cast<int32_t>(percent);
}

int32_t WheelScrollAmount(int32_t wheelDelta) {
    return (wheelDelta / 120) * kWheelStep;
}

int32_t ClampScroll(int64_t v, int32_t range) {
    const int64_t hi = std::max<int64_t>(range, 0);
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, hi));
}

namespace {
// float to int32 toward zero; values beyond int32 (far-out content at high
// zoom) saturate instead of being undefined.
int32_t TruncToInt(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483648.0f) return INT32_MAX;
    if (v <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(v);
}
}  // namespace

int32_t ViewportExtent(float zoom) {
    return TruncToInt(zoom * 1000.0f);
}

int32_t ScrollPixels(int32_t scroll, float zoom) {
    return TruncToInt(static_cast<float>(scroll) * zoom);
}

double WorldAtOffset(int32_t offset, int32_t scroll, float zoom) {
    return (static_cast<double>(offset) + ScrollPixels(scroll, zoom)) * 1000.0 / std::max(ViewportExtent(zoom), 1);
}

// Whole scroll units move the shift by about the zoom, so the point cannot
// always land on its pixel exactly: of the scroll positions around the exact
// answer, the one that shows it nearest, preferring among those within a
// pixel one that leaves the same point under the offset, so that further
// steps go on anchoring that point instead of creeping to a neighbour.
int32_t AnchoredScroll(int32_t scroll, float oldZoom, float newZoom, int32_t offset, int32_t range) {
    if (newZoom == oldZoom) return ClampScroll(scroll, range);
    const double world = std::trunc(WorldAtOffset(offset, scroll, oldZoom));
    const int32_t V = std::max(ViewportExtent(newZoom), 1);
    // Where the painter shows it: GDI rounds the scaled position to a pixel.
    const double scaled = std::floor(world * V / 1000.0 + 0.5);
    auto miss = [&](int32_t s) { return std::abs(scaled - ScrollPixels(s, newZoom) - offset); };
    auto keeps = [&](int32_t s) { return std::trunc(WorldAtOffset(offset, s, newZoom)) == world; };
    auto better = [&](int32_t a, int32_t b) {
        const double missA = miss(a), missB = miss(b);
        if ((missA <= 1) != (missB <= 1)) return missA <= 1;
        if (missA <= 1 && keeps(a) != keeps(b)) return keeps(a);
        return missA < missB;
    };
    const int64_t guess = std::llround((scaled - offset) / newZoom);
    int32_t best = ClampScroll(guess, range);
    for (int64_t s = guess - 3; s <= guess + 3; ++s) {
        const int32_t candidate = ClampScroll(s, range);
        if (better(candidate, best)) best = candidate;
    }
    return best;
}

namespace {
struct ToolbarButton {
    RECT rect;
    int iconId;
    const wchar_t* tooltip;
};

const ToolbarButton kButtons[kToolbarButtonCount] = {
    {{8, 40, 40, 72}, IDI_PAN, L"Pan Tool - Click and drag to pan around"},
    {{48, 40, 80, 72}, IDI_ZOOM_OUT, L"Zoom Out - Decrease zoom level"},
    {{88, 40, 120, 72}, IDI_ZOOM_IN, L"Zoom In - Increase zoom level"},
    {{128, 40, 160, 72}, IDI_ZOOM_RESET, L"Reset Zoom - Reset zoom to 100%"},
};

const ToolbarButton* Button(int32_t code) {
    if (code < layout::kPanButton || code > kToolbarButtonCount) return nullptr;
    return &kButtons[code - layout::kPanButton];
}
}  // namespace

RECT ToolbarButtonRect(int32_t code) {
    const ToolbarButton* b = Button(code);
    return b ? b->rect : RECT{0, 0, 0, 0};
}

RECT ZoomLabelRect() {
    return RECT{168, 40, 228, 72};
}

int32_t ToolbarButtonAt(POINT p) {
    for (int32_t code = layout::kPanButton; code <= kToolbarButtonCount; ++code) {
        const RECT& r = Button(code)->rect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return code;
    }
    return layout::kNoToolbarButton;
}

const wchar_t* ToolbarTooltipText(int32_t code) {
    const ToolbarButton* b = Button(code);
    return b ? b->tooltip : nullptr;
}

int ToolbarIconId(int32_t code) {
    const ToolbarButton* b = Button(code);
    return b ? b->iconId : 0;
}

RECT TooltipBox(int32_t code, int32_t cx, int32_t cy, int32_t clientRight) {
    const int32_t x = ToolbarButtonRect(code).left;
    RECT box{x - 4, 78, x + cx + 4, cy + 86};
    if (box.right > clientRight) {
        const int32_t shift = box.right - (clientRight - 4);
        box.left -= shift;
        box.right -= shift;
    }
    if (box.left < 0) {
        const int32_t shift = -box.left;
        box.left += shift;
        box.right += shift;
    }
    return box;
}
