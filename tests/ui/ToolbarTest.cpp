// The toolbar band: hover, press and release of its buttons, the zoom steps
// and the tooltip that timer 3 shows after 800 ms.
#include "CanvasTestSupport.h"

#include "ViewMath.h"

using namespace canvastest;

namespace {

constexpr COLORREF kTooltipFill = RGB(255, 255, 225);

RECT TooltipArea(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    return RECT{0, 78, client.right, 120};
}

void ClickButton(GardenWindow& g, int code) {
    const RECT r = ToolbarButtonRect(code);
    const int x = r.left + 10, y = r.top + 10;
    g.Move(x, y, 0);
    g.Click(x, y);
}

// Makes the armed tooltip due and delivers the tick of timer 3 that shows it.
void TooltipDueAndTick(GardenWindow& g) {
    g->tooltipDeadline = GetTickCount() - 1;
    SendMessageW(g.hwnd(), WM_TIMER, 3, 0);
}

}  // namespace

TEST(Toolbar, WithoutAProjectTheBandIsCanvas) {
    uitest::LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Mouse(WM_MOUSEMOVE, 20, 50);
    EXPECT_EQ(w->hoverTool, 0);
    EXPECT_EQ(w->tooltipTool, 0);
    w.Mouse(WM_LBUTTONDOWN, 20, 50, MK_LBUTTON);
    EXPECT_EQ(w->pressedTool, 0);
    EXPECT_EQ(w->statusText, L"Ready. Mouse wheel to pan, Shift+wheel for horizontal panning.");
    w.Mouse(WM_LBUTTONUP, 20, 50);
    EXPECT_FALSE(w->panTool);
}

TEST(Toolbar, ReleaseActsOnlyOverThePressedButton) {
    GardenWindow g;
    g.Move(100, 50, 0);
    EXPECT_EQ(g->hoverTool, 3);
    g.LeftDown(100, 50);
    EXPECT_EQ(g->pressedTool, 3);
    g.Move(60, 50);  // onto zoom out
    EXPECT_EQ(g->pressedTool, 0);
    EXPECT_EQ(g->hoverTool, 2);
    g.LeftUp(60, 50);
    EXPECT_EQ(g->zoom, 1.0f);
    EXPECT_EQ(g->pressedTool, 0);
    // Between the buttons the band is no button, and the press goes nowhere.
    g.LeftDown(44, 50);
    EXPECT_EQ(g->pressedTool, 0);
    g.LeftUp(44, 50);
    EXPECT_EQ(g->zoom, 1.0f);
}

TEST(Toolbar, ZoomButtonsStepAndReportTheTruncatedPercentage) {
    GardenWindow g;
    for (int want = 110; want <= 200; want += 10) {
        ClickButton(g, 3);
        EXPECT_EQ(g->statusText, L"Zoomed in to " + std::to_wstring(want) + L"%");
    }
    ClickButton(g, 3);
    EXPECT_EQ(g->zoom, 2.0f);
    EXPECT_EQ(g->statusText, L"Zoomed in to 200%");
    ClickButton(g, 4);
    EXPECT_EQ(g->zoom, 1.0f);
    EXPECT_EQ(g->statusText, L"Zoom reset to 100%");
    for (int want : {90, 79, 69, 59, 50, 50}) {
        ClickButton(g, 2);
        EXPECT_EQ(g->statusText, L"Zoomed out to " + std::to_wstring(want) + L"%");
    }
    EXPECT_EQ(g->zoom, 0.5f);
}

TEST(Toolbar, PanButtonTogglesPanModeAndShowsIt) {
    GardenWindow g;
    ClickButton(g, 1);
    EXPECT_TRUE(g->panTool);
    EXPECT_EQ(g->statusText, L"Pan mode active: Click and drag to pan around the project. Mouse wheel still works.");
    // Hovered and on: still bluish. (10, 42) is inside the button, off the icon.
    EXPECT_EQ(uitest::Hex(uitest::Capture(g.hwnd()).At(10, 42)), uitest::Hex(RGB(180, 200, 230)));
    g.Move(600, 500, 0);
    EXPECT_EQ(uitest::Hex(uitest::Capture(g.hwnd()).At(10, 42)), uitest::Hex(RGB(180, 200, 230)));
    // A canvas press now pans.
    const int top = g.CanvasTop();
    g.LeftDown(300, top + 100);
    EXPECT_TRUE(g->panning);
    g.LeftUp(300, top + 100);
    ClickButton(g, 1);
    EXPECT_FALSE(g->panTool);
    EXPECT_EQ(g->statusText,
              L"Pan mode disabled. Use mouse wheel (vertical) or Shift+wheel (horizontal) for panning.");
    EXPECT_EQ(uitest::Hex(uitest::Capture(g.hwnd()).At(10, 42)), uitest::Hex(RGB(220, 220, 220)));  // hovered
    g.LeftDown(20, 50);
    EXPECT_EQ(uitest::Hex(uitest::Capture(g.hwnd()).At(10, 42)), uitest::Hex(RGB(180, 180, 180)));  // pressed
    g.Move(600, 500);
    EXPECT_EQ(uitest::Hex(uitest::Capture(g.hwnd()).At(10, 42)), uitest::Hex(RGB(250, 250, 250)));  // normal
    g.LeftUp(600, 500);
    EXPECT_FALSE(g->panTool);
}

// Only sent messages and no pumping: the real timer and the platform's own
// pointer tracking never act in between, so no step races the clock. The
// deadline is checked as armed, then set by hand on either side of now.
TEST(Toolbar, TooltipAppearsAfterEightHundredMillisecondsAndLeavesNoRemnant) {
    GardenWindow g;
    const DWORD before = GetTickCount();
    g.Move(100, 50, 0);
    ASSERT_EQ(g->tooltipTool, 3);
    EXPECT_GE(g->tooltipDeadline, before + 800);
    EXPECT_LE(g->tooltipDeadline, GetTickCount() + 800);
    const RECT area = TooltipArea(g.hwnd());

    // Not yet due: neither a tick nor a full repaint shows it.
    g->tooltipDeadline = GetTickCount() + 60000;
    SendMessageW(g.hwnd(), WM_TIMER, 3, 0);
    EXPECT_EQ(AsPainted(g.hwnd()).Count(area, kTooltipFill), 0);
    EXPECT_EQ(uitest::Capture(g.hwnd()).Count(area, kTooltipFill), 0);

    // Due: the tick of timer 3 repaints, and the tooltip shows.
    TooltipDueAndTick(g);
    const AsPainted shown(g.hwnd());
    EXPECT_GT(shown.Count(area, kTooltipFill), 100);
    EXPECT_EQ(uitest::Hex(shown.At(90, 90)), uitest::Hex(kTooltipFill));

    // Onto the canvas: the tooltip goes, and nothing of it stays on screen.
    g.Move(100, 400, 0);
    EXPECT_EQ(g->tooltipTool, 0);
    EXPECT_EQ(AsPainted(g.hwnd()).Count(area, kTooltipFill), 0);

    // Back on a button, then pressed: the press hides it at once.
    g.Move(140, 50, 0);
    ASSERT_EQ(g->tooltipTool, 4);
    EXPECT_NE(g->tooltipDeadline, 0u);
    TooltipDueAndTick(g);
    EXPECT_GT(AsPainted(g.hwnd()).Count(area, kTooltipFill), 100);
    g.LeftDown(140, 50);
    EXPECT_EQ(g->tooltipTool, 0);
    EXPECT_EQ(AsPainted(g.hwnd()).Count(area, kTooltipFill), 0);
    g.LeftUp(140, 50);
}
