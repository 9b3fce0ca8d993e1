// The drawn frame: hit testing of the borderless window, caption-button hover,
// press and release, double clicks in the title strip, leaving the window, and
// the title strip's painted pixels.
#include "UiTestSupport.h"

using namespace uitest;

namespace {

LRESULT HitAt(LiveWindow& w, int clientX, int clientY) {
    POINT p{clientX, clientY};
    ClientToScreen(w.hwnd(), &p);
    return SendMessageW(w.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

constexpr COLORREF kStrip = RGB(240, 240, 240);

}  // namespace

TEST(FrameHitTest, MaximisedWindowHasCaptionBandsAndNoResizeZones) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    ASSERT_TRUE(w->isMaximized);
    const int W = w.Client().right, H = w.Client().bottom;
    EXPECT_EQ(HitAt(w, 10, 10), HTCAPTION);            // icon corner
    EXPECT_EQ(HitAt(w, 31, 20), HTCAPTION);
    EXPECT_EQ(HitAt(w, 32, 20), HTCLIENT);             // menu titles
    EXPECT_EQ(HitAt(w, W - 186, 20), HTCLIENT);
    EXPECT_EQ(HitAt(w, W - 185, 20), HTCAPTION);       // drag band before the buttons
    EXPECT_EQ(HitAt(w, W - 136, 20), HTCAPTION);
    EXPECT_EQ(HitAt(w, W - 135, 20), HTCLIENT);        // caption buttons
    EXPECT_EQ(HitAt(w, 10, 32), HTCLIENT);
    EXPECT_EQ(HitAt(w, 10, H - 10), HTCLIENT);         // no resize zone while maximised
    // Within 6 pixels of the monitor's edge the platform answers.
    POINT edge{3, 300};
    ClientToScreen(w.hwnd(), &edge);
    const LPARAM lp = MAKELPARAM(edge.x, edge.y);
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_NCHITTEST, 0, lp), DefWindowProcW(w.hwnd(), WM_NCHITTEST, 0, lp));
}

TEST(FrameHitTest, RestoredWindowHasResizeZonesOnSidesAndBottomOnly) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(100, 100, 800, 600);
    ASSERT_FALSE(w->isMaximized);
    ASSERT_EQ(w.Client().right, 800);
    EXPECT_EQ(HitAt(w, 3, 300), HTLEFT);
    EXPECT_EQ(HitAt(w, 3, 595), HTBOTTOMLEFT);
    EXPECT_EQ(HitAt(w, 797, 300), HTRIGHT);
    EXPECT_EQ(HitAt(w, 797, 595), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(w, 400, 595), HTBOTTOM);
    EXPECT_EQ(HitAt(w, 400, 592), HTCLIENT);
    EXPECT_EQ(HitAt(w, 792, 300), HTCLIENT);           // x > W - 8 is the border
    EXPECT_EQ(HitAt(w, 3, 10), HTCAPTION);             // the strip covers the top corners
    EXPECT_EQ(HitAt(w, 640, 10), HTCAPTION);
    EXPECT_EQ(HitAt(w, 700, 10), HTCLIENT);
}

TEST(FrameCaptionButtons, HoverIncludesRow32AndPaintsTheHoverColour) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    w.Mouse(WM_MOUSEMOVE, W - 45, 32);  // the close button's first column
    EXPECT_EQ(w->hoverCaption, 3);
    w.Mouse(WM_MOUSEMOVE, W - 46, 10);
    EXPECT_EQ(w->hoverCaption, 2);
    w.Mouse(WM_MOUSEMOVE, W - 90, 10);
    EXPECT_EQ(w->hoverCaption, 2);
    w.Mouse(WM_MOUSEMOVE, W - 100, 10);
    EXPECT_EQ(w->hoverCaption, 1);
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(W - 133, 2)), Hex(RGB(180, 180, 180)));
        EXPECT_EQ(Hex(shot.At(W - 88, 2)), Hex(kStrip));
        EXPECT_EQ(Hex(shot.At(W - 3, 2)), Hex(RGB(232, 17, 35)));
    }
    w.Mouse(WM_MOUSEMOVE, W - 20, 33);
    EXPECT_EQ(w->hoverCaption, 0);
    w.Mouse(WM_MOUSEMOVE, W - 140, 10);
    EXPECT_EQ(w->hoverCaption, 0);
}

TEST(FrameCaptionButtons, PressedColoursTakePrecedenceAndTheCloseButtonIsAlwaysRed) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    w.Mouse(WM_MOUSEMOVE, W - 45, 10);
    w.Mouse(WM_LBUTTONDOWN, W - 45, 10);  // the close button's first column
    EXPECT_EQ(w->pressedCaption, 3);
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(W - 3, 2)), Hex(RGB(140, 0, 10)));
        // The white cross of the close glyph.
        EXPECT_GT(shot.Count(RECT{W - 45 + 14, 8, W - 45 + 30, 24}, RGB(255, 255, 255)), 10);
    }
    w.Mouse(WM_MOUSEMOVE, W - 60, 10);  // off the button: the press is dropped
    EXPECT_EQ(w->pressedCaption, 0);
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(W - 3, 2)), Hex(RGB(232, 17, 35)));
        EXPECT_EQ(Hex(shot.At(W - 88, 2)), Hex(RGB(180, 180, 180)));
    }
}

TEST(FrameCaptionButtons, PressMovedOffAndBackClosesNothing) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    w.Mouse(WM_MOUSEMOVE, W - 20, 10);
    w.Mouse(WM_LBUTTONDOWN, W - 20, 10);
    w.Mouse(WM_MOUSEMOVE, W - 20, 60);
    w.Mouse(WM_MOUSEMOVE, W - 20, 10);
    EXPECT_EQ(w->pressedCaption, 0);
    MessageBoxAnswer answer(L"Confirm Exit", IDNO, 1000);
    w.Mouse(WM_LBUTTONUP, W - 20, 10);
    PumpFor(300);
    EXPECT_FALSE(answer.Answered());
    EXPECT_TRUE(w.IsOpen());
}

TEST(FrameCaptionButtons, ReleaseOnRow32DoesNotAct) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    w.Mouse(WM_LBUTTONDOWN, W - 100, 31);
    EXPECT_EQ(w->pressedCaption, 1);
    w.Mouse(WM_LBUTTONUP, W - 100, 32);
    EXPECT_EQ(w->pressedCaption, 0);
    EXPECT_FALSE(IsIconic(w.hwnd()));
}

TEST(FrameCaptionButtons, MinimiseThenMaximiseAndRestore) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    int W = w.Client().right;
    w.Mouse(WM_LBUTTONDOWN, W - 100, 10);
    w.Mouse(WM_LBUTTONUP, W - 100, 10);
    EXPECT_TRUE(IsIconic(w.hwnd()));
    EXPECT_FALSE(w->isMaximized);

    ShowWindow(w.hwnd(), SW_RESTORE);
    PumpPending();
    w.Restore(50, 50, 900, 650);
    W = w.Client().right;
    ASSERT_EQ(W, 900);
    w.Mouse(WM_LBUTTONDOWN, W - 60, 10);
    w.Mouse(WM_LBUTTONUP, W - 60, 10);
    EXPECT_TRUE(IsZoomed(w.hwnd()));
    EXPECT_TRUE(w->isMaximized);
    {
        // Maximised: the restore glyph is two overlapping squares.
        W = w.Client().right;
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(W - 90 + 18, 10)), Hex(RGB(0, 0, 0)));
        EXPECT_EQ(Hex(shot.At(W - 90 + 16, 19)), Hex(RGB(0, 0, 0)));
    }

    w.Mouse(WM_LBUTTONDOWN, W - 60, 10);
    w.Mouse(WM_LBUTTONUP, W - 60, 10);
    EXPECT_FALSE(IsZoomed(w.hwnd()));
    EXPECT_FALSE(w->isMaximized);
    EXPECT_EQ(w.Client().right, 900);
    {
        Capture shot(w.hwnd());
        EXPECT_EQ(Hex(shot.At(900 - 90 + 27, 15)), Hex(RGB(0, 0, 0)));  // one wide square
        EXPECT_EQ(Hex(shot.At(900 - 90 + 18, 10)), Hex(kStrip));
    }
}

TEST(FrameDoubleClick, TitleStripTogglesAndCaptionButtonsIgnoreIt) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    int W = w.Client().right;
    w.Mouse(WM_LBUTTONDBLCLK, W - 20, 10);
    EXPECT_TRUE(IsZoomed(w.hwnd()));
    w.Mouse(WM_LBUTTONDBLCLK, 300, 10);
    EXPECT_FALSE(IsZoomed(w.hwnd()));
    EXPECT_FALSE(w->isMaximized);
    w.Mouse(WM_LBUTTONDBLCLK, 300, 10);
    EXPECT_TRUE(IsZoomed(w.hwnd()));
    EXPECT_TRUE(w->isMaximized);

    // The platform's caption double click does the same; other hit codes are swallowed.
    SendMessageW(w.hwnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(IsZoomed(w.hwnd()));
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_NCLBUTTONDBLCLK, HTLEFT, 0), 0);
    EXPECT_FALSE(IsZoomed(w.hwnd()));
    SendMessageW(w.hwnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(IsZoomed(w.hwnd()));
}

TEST(FrameMouseLeave, DropsHoverAndPressWithoutActing) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    w.Mouse(WM_MOUSEMOVE, W - 100, 10);
    w.Mouse(WM_LBUTTONDOWN, W - 100, 10);
    ASSERT_EQ(w->hoverCaption, 1);
    ASSERT_EQ(w->pressedCaption, 1);
    SendMessageW(w.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(w->hoverCaption, 0);
    EXPECT_EQ(w->pressedCaption, 0);
    EXPECT_EQ(w->hotMenu, -1);
    w.Mouse(WM_LBUTTONUP, W - 100, 10);
    EXPECT_FALSE(IsIconic(w.hwnd()));
    Capture shot(w.hwnd());
    EXPECT_EQ(Hex(shot.At(W - 133, 2)), Hex(kStrip));
}

TEST(FrameTitleStrip, PaintsIconMenuTitlesAndProjectTitle) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    {
        Capture shot(w.hwnd());
        // The application icon at (8, 8), 16 x 16: something other than the strip.
        EXPECT_TRUE(shot.HasOtherThan(RECT{8, 8, 24, 24}, kStrip));
        EXPECT_EQ(Hex(shot.At(4, 4)), Hex(kStrip));
        // "File" in black, "Spaces" greyed without a project.
        std::vector<RECT> boxes;
        HDC dc = GetDC(w.hwnd());
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        int x = 32;
        for (const MenuItem& title : w->menuModel) {
            SIZE size;
            GetTextExtentPoint32W(dc, title.text.c_str(), static_cast<int>(title.text.size()), &size);
            boxes.push_back(RECT{x, 0, x + size.cx + 16, 32});
            x += size.cx + 16;
        }
        SelectObject(dc, old);
        ReleaseDC(w.hwnd(), dc);
        ASSERT_EQ(boxes.size(), 5u);
        EXPECT_GT(shot.Count(boxes[0], RGB(0, 0, 0)), 5);
        EXPECT_EQ(shot.Count(boxes[1], RGB(0, 0, 0)), 0);
        EXPECT_GT(shot.Count(boxes[1], RGB(128, 128, 128)), 5);
        EXPECT_GT(shot.Count(boxes[4], RGB(0, 0, 0)), 5);
        // Nothing drawn in the free band without a project.
        EXPECT_FALSE(shot.HasOtherThan(RECT{x + 20, 0, W - 160, 32}, kStrip));

        // Hovering File highlights its box.
        w.Mouse(WM_MOUSEMOVE, boxes[0].left + 3, 10);
        EXPECT_EQ(w->hotMenu, 0);
        Capture hot(w.hwnd());
        EXPECT_EQ(Hex(hot.At(boxes[0].left + 1, 1)), Hex(RGB(200, 200, 200)));
        // A disabled title is never hovered.
        w.Mouse(WM_MOUSEMOVE, boxes[1].left + 3, 10);
        EXPECT_EQ(w->hotMenu, -1);
    }
    w.OpenProject({MakeSpace(L"Bed", {{0, 0}, {50, 0}, {50, 50}})});
    Capture shot(w.hwnd());
    // The project title "Test Garden* (Unsaved)" sits in the free band, ending before W - 155.
    EXPECT_TRUE(shot.HasOtherThan(RECT{250, 0, W - 155, 32}, kStrip));
    EXPECT_FALSE(shot.HasOtherThan(RECT{W - 155, 0, W - 135, 32}, kStrip));
}

TEST(FrameTitleStrip, WindowDragPressIsPostedInScreenCoordinates) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.Restore(120, 90, 800, 600);
    // Watch what the press posts, without letting the platform start a move.
    static std::vector<MSG> posted;
    posted.clear();
    static WNDPROC original = nullptr;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_NCLBUTTONDOWN) {
                posted.push_back(MSG{h, m, wp, lp, 0, {0, 0}});
                return 0;
            }
            return CallWindowProcW(original, h, m, wp, lp);
        })));
    w.Mouse(WM_LBUTTONDOWN, 500, 12);  // beyond the menu titles
    PumpPending();
    SetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(static_cast<int16_t>(LOWORD(posted[0].lParam)), 620);
    EXPECT_EQ(static_cast<int16_t>(HIWORD(posted[0].lParam)), 102);
}

TEST(FrameTitleStrip, AProjectTitleThatDoesNotFitEndsAtWidthLess155) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const int W = w.Client().right;
    ASSERT_TRUE(w->projectManager.CreateNewProject(std::wstring(150, L'W'), L""));
    Capture shot(w.hwnd());
    EXPECT_GT(shot.Count(RECT{W - 175, 4, W - 155, 28}, RGB(0, 0, 0)), 5);
    EXPECT_FALSE(shot.HasOtherThan(RECT{W - 155, 0, W - 135, 32}, kStrip));
    // Pushed left over the menu titles: the strip right of the icon is written over.
    EXPECT_GT(shot.Count(RECT{300, 4, 400, 28}, RGB(0, 0, 0)), 5);
}
