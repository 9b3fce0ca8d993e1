// Arithmetic of the view and the toolbar that needs no window: zoom steps and
// the anchored zoom, wheel steps, scroll clamping, the toolbar's button layout
// and the tooltip box.
#pragma once

#include <cstdint>

#include "Layout.h"
#include "Records.h"

constexpr float kMinZoom = 0.5f;
constexpr float kMaxZoom = 2.0f;
constexpr float kZoomStep = 0.1f;
constexpr int32_t kWheelStep = 40;  // world units per 120 units of wheel delta
constexpr int32_t kKeyStep = 50;

// One zoom step in single precision, clamped to the zoom range.
float ZoomedOut(float zoom);
float ZoomedIn(float zoom);

// trunc(zoom x 100) in single precision: what the toolbar and status show.
int32_t ZoomPercent(float zoom);

// Scroll amount of one wheel message: (delta / 120, toward zero) x 40.
int32_t WheelScrollAmount(int32_t wheelDelta);

// v clamped to [0, max(range, 0)].
int32_t ClampScroll(int64_t v, int32_t range);

// The canvas transform's numbers: world units show at V / 1000 pixels each,
// V = trunc(zoom x 1000), and the world is shifted by trunc(scroll x zoom)
// pixels, both in single precision (the shift saturates at the int32 limits).
int32_t ViewportExtent(float zoom);
int32_t ScrollPixels(int32_t scroll, float zoom);

// The transform's inverse along one axis: the world coordinate shown `offset`
// pixels from the canvas origin, before truncation.
double WorldAtOffset(int32_t offset, int32_t scroll, float zoom);

// The scroll position of one axis, within [0, range], after a zoom from
// oldZoom to newZoom that keeps the world point shown `offset` pixels from the
// canvas origin (as the pointer handlers take it: truncated) within a pixel of
// that offset, unless the range's ends stop it.
int32_t AnchoredScroll(int32_t scroll, float oldZoom, float newZoom, int32_t offset, int32_t range);

// Toolbar buttons, by their codes (layout::ToolbarButton).
constexpr int32_t kToolbarTop = layout::kTitleStripHeight;
constexpr int32_t kToolbarBottom = layout::kToolbarBottom;
constexpr int32_t kToolbarButtonCount = layout::kResetZoomButton;
RECT ToolbarButtonRect(int32_t code);  // empty for an unknown code
RECT ZoomLabelRect();
// The first button whose rectangle holds p (left/top in, right/bottom out).
int32_t ToolbarButtonAt(POINT p);
const wchar_t* ToolbarTooltipText(int32_t code);  // nullptr for an unknown code
int ToolbarIconId(int32_t code);                  // 0 for an unknown code

// The tooltip box of a button for text of size (cx, cy) in a client area whose
// right edge is clientRight: under the button, kept 4 pixels inside the right
// edge and never left of 0.
RECT TooltipBox(int32_t code, int32_t cx, int32_t cy, int32_t clientRight);
