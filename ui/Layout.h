// The bands of the main window's client area, in client pixels.
#pragma once

#include <cstdint>

namespace layout {

constexpr int32_t kTitleStripHeight = 32;  // title strip with the menu titles, from the top
constexpr int32_t kToolbarBottom = 80;     // the toolbar band ends here while a project is open
constexpr int32_t kStatusHeight = 22;      // status strip at the bottom
constexpr int32_t kScrollBarThickness = 17;
constexpr int32_t kCaptionButtonsWidth = 135;  // the three caption buttons at the right of the title strip

}  // namespace layout
