#include <gtest/gtest.h>

#include <string>

#include "ViewMath.h"

TEST(ZoomSteps, OutwardStepsAccumulateSinglePrecisionError) {
    float z = 1.0f;
    const int expected[] = {90, 79, 69, 59, 50, 50};
    for (int want : expected) {
        z = ZoomedOut(z);
        EXPECT_EQ(ZoomPercent(z), want);
    }
    EXPECT_EQ(z, 0.5f);
}

TEST(ZoomSteps, InwardStepsReachTwoExactly) {
    float z = 1.0f;
    for (int want = 110; want <= 200; want += 10) {
        z = ZoomedIn(z);
        EXPECT_EQ(ZoomPercent(z), want);
    }
    EXPECT_EQ(ZoomedIn(z), 2.0f);
    EXPECT_EQ(ZoomPercent(ZoomedIn(z)), 200);
}

TEST(WheelAndScroll, WheelStepsTruncateEachMessage) {
    EXPECT_EQ(WheelScrollAmount(120), 40);
    EXPECT_EQ(WheelScrollAmount(-240), -80);
    EXPECT_EQ(WheelScrollAmount(60), 0);
    EXPECT_EQ(WheelScrollAmount(-119), 0);
    EXPECT_EQ(WheelScrollAmount(359), 80);
}

TEST(WheelAndScroll, ClampToRange) {
    EXPECT_EQ(ClampScroll(-5, 100), 0);
    EXPECT_EQ(ClampScroll(150, 100), 100);
    EXPECT_EQ(ClampScroll(50, 100), 50);
    EXPECT_EQ(ClampScroll(50, -20), 0);
}

TEST(AnchoredZoom, CanvasCentreExample) {
    // 1.0 -> 1.1 at scroll (0, 0) on a 1000 x 600 canvas keeps world (500, 300)
    // at the centre: it now lies 550 and 330 pixels in, so the shift must be
    // (50, 30), which scroll (46, 28) gives exactly (trunc(46 x 1.1) = 50,
    // trunc(28 x 1.1) = 30), where rounding 50 / 1.1 to 45 would give 49.
    EXPECT_EQ(AnchoredScroll(0, 1.0f, 1.1f, 500, 5000), 46);
    EXPECT_EQ(AnchoredScroll(0, 1.0f, 1.1f, 300, 5000), 28);
    // Zooming back out from there returns to the origin.
    EXPECT_EQ(AnchoredScroll(46, 1.1f, 1.0f, 500, 5000), 0);
    EXPECT_EQ(AnchoredScroll(28, 1.1f, 1.0f, 300, 5000), 0);
    // The range's ends stop it.
    EXPECT_EQ(AnchoredScroll(0, 1.0f, 0.5f, 500, 5000), 0);
    EXPECT_EQ(AnchoredScroll(0, 1.0f, 1.1f, 500, 40), 40);
}

TEST(AnchoredZoom, TheShiftIsSinglePrecisionAndSaturates) {
    EXPECT_EQ(ScrollPixels(100, 1.1f), 110);
    EXPECT_EQ(ScrollPixels(2147483000, 1.0f), 2147483008);  // the nearest float
    EXPECT_EQ(ScrollPixels(2147483000, 2.0f), INT32_MAX);
    EXPECT_EQ(ViewportExtent(2.0f), 2000);
}

TEST(ToolbarLayout, ButtonRectanglesIncludeLeftTopOnly) {
    EXPECT_EQ(ToolbarButtonAt({8, 40}), 1);
    EXPECT_EQ(ToolbarButtonAt({39, 71}), 1);
    EXPECT_EQ(ToolbarButtonAt({40, 50}), 0);
    EXPECT_EQ(ToolbarButtonAt({20, 72}), 0);
    EXPECT_EQ(ToolbarButtonAt({7, 50}), 0);
    EXPECT_EQ(ToolbarButtonAt({48, 40}), 2);
    EXPECT_EQ(ToolbarButtonAt({88, 40}), 3);
    EXPECT_EQ(ToolbarButtonAt({159, 71}), 4);
    EXPECT_EQ(ToolbarButtonAt({160, 50}), 0);
    EXPECT_EQ(ToolbarButtonAt({200, 50}), 0);  // the zoom label is not a button
    EXPECT_EQ(ToolbarIconId(1), 103);
    EXPECT_EQ(ToolbarIconId(2), 105);
    EXPECT_EQ(ToolbarIconId(3), 104);
    EXPECT_EQ(ToolbarIconId(4), 106);
    EXPECT_EQ(std::wstring(ToolbarTooltipText(4)), L"Reset Zoom - Reset zoom to 100%");
    EXPECT_EQ(ToolbarTooltipText(5), nullptr);
}

TEST(ToolbarLayout, TooltipBoxStaysInsideTheClientArea) {
    RECT box = TooltipBox(3, 100, 13, 1000);
    EXPECT_EQ(box.left, 84);
    EXPECT_EQ(box.top, 78);
    EXPECT_EQ(box.right, 192);
    EXPECT_EQ(box.bottom, 99);
    // Reset button near the right edge: ends 4 pixels inside it.
    box = TooltipBox(4, 200, 13, 300);
    EXPECT_EQ(box.right, 296);
    EXPECT_EQ(box.left, 88);
    // Narrower than the box: never starts left of 0.
    box = TooltipBox(4, 200, 13, 150);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 208);
}
