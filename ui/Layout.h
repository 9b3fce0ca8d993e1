// The bands of the main window's client area, in client pixels, and the codes
// of the drawn buttons in them.
#pragma once

#include <cstdint>

namespace layout {

constexpr int32_t kTitleStripHeight = 32;  // title strip with the menu titles, from the top
constexpr int32_t kToolbarBottom = 80;     // the toolbar band ends here while a project is open
constexpr int32_t kStatusHeight = 22;      // status strip at the bottom
constexpr int32_t kScrollBarThickness = 17;
constexpr int32_t kCaptionButtonsWidth = 135;  // the three caption buttons at the right of the title strip

// The caption buttons, as the window's caption hover and press fields hold them.
enum CaptionButton : int32_t {
    kNoCaptionButton = 0,
    kMinimiseButton = 1,
    kMaximiseButton = 2,  // maximise or restore
    kCloseButton = 3,
};

// The toolbar buttons in their order along the band, as the window's tool
// hover, press and tooltip fields hold them.
enum ToolbarButton : int32_t {
    kNoToolbarButton = 0,
    kPanButton = 1,
    kZoomOutButton = 2,
    kZoomInButton = 3,
    kResetZoomButton = 4,
};

}  // namespace layout
