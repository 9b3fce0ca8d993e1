// Painted pixels of the main window, read back from the window after a paint.
#include "UiTestSupport.h"

using namespace uitest;

TEST(PaintingStartScreen, WithoutAProjectShowsTheFrameTheWelcomeAndTheStatusStrip) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    Capture shot(w.hwnd());
    const int W = shot.width, H = shot.height;
    ASSERT_GT(W, 600);
    // Title strip, close button and canvas.
    EXPECT_EQ(Hex(shot.At(W - 300, 3)), Hex(RGB(240, 240, 240)));
    EXPECT_EQ(Hex(shot.At(W - 3, 3)), Hex(RGB(232, 17, 35)));
    EXPECT_EQ(Hex(shot.At(W / 2, 100)), Hex(RGB(255, 255, 255)));
    // Status strip: its top line, its fill and some text on both sides.
    EXPECT_EQ(Hex(shot.At(W / 2, H - 22)), Hex(RGB(160, 160, 160)));
    EXPECT_EQ(Hex(shot.At(W - 117, H - 3)), Hex(RGB(240, 240, 240)));
    EXPECT_TRUE(shot.HasOtherThan(RECT{8, H - 21, 200, H}, RGB(240, 240, 240)));
    EXPECT_TRUE(shot.HasOtherThan(RECT{W - 60, H - 21, W - 8, H}, RGB(240, 240, 240)));
    // "Welcome to Tilvo!" centred on the canvas: dark pixels on both sides of the centre.
    const int cx = W / 2, cy = (32 + H - 22) / 2;
    EXPECT_GT(shot.Count(RECT{cx - 150, cy - 40, cx, cy + 5}, RGB(0, 0, 0)), 20);
    EXPECT_GT(shot.Count(RECT{cx, cy - 40, cx + 150, cy + 5}, RGB(0, 0, 0)), 20);
    EXPECT_EQ(shot.Count(RECT{cx - 150, cy + 15, cx + 150, cy + 60}, RGB(0, 0, 0)), 0);
}
