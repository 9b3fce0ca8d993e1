// The drawn menu bar: the model's content and enabled states for no project, an
// open project and a selection, and the popups that clicking a title opens.
#include "UiTestSupport.h"

using namespace uitest;

namespace {

// Left edge of each title box, laid out like the title strip does.
std::vector<int> TitleLefts(LiveWindow& w) {
    std::vector<int> lefts;
    HDC dc = GetDC(w.hwnd());
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int x = 32;
    for (const MenuItem& title : w->menuModel) {
        SIZE size;
        GetTextExtentPoint32W(dc, title.text.c_str(), static_cast<int>(title.text.size()), &size);
        lefts.push_back(x);
        x += size.cx + 16;
    }
    lefts.push_back(x);  // the menu title end
    SelectObject(dc, old);
    ReleaseDC(w.hwnd(), dc);
    return lefts;
}

// Opens title `index` by a press on it and reads its popup; Escape closes it.
std::vector<PopupEntry> OpenPopup(LiveWindow& w, int index) {
    const std::vector<int> lefts = TitleLefts(w);
    PopupAnswer answer;
    w.Mouse(WM_LBUTTONDOWN, lefts[index] + 4, 12);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(w->hotMenu, -1);
    EXPECT_EQ(w->openMenu, -1);
    return answer.Entries();
}

std::vector<bool> Grayed(const std::vector<PopupEntry>& entries) {
    std::vector<bool> out;
    for (const PopupEntry& e : entries)
        if (!e.separator) out.push_back(e.grayed);
    return out;
}

std::vector<bool> TitlesEnabled(LiveWindow& w) {
    std::vector<bool> out;
    for (const MenuItem& t : w->menuModel) out.push_back(t.enabled);
    return out;
}

}  // namespace

TEST(MenuModel, HoldsFiveTitlesWithTwentyFiveEntries) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const std::vector<std::wstring> titles = {L"File", L"Spaces", L"Plants", L"Tasks", L"Help"};
    ASSERT_EQ(w->menuModel.size(), titles.size());
    size_t entries = 0, separators = 0;
    for (size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(w->menuModel[i].text, titles[i]);
        EXPECT_EQ(w->menuModel[i].commandId, 0);
        for (const MenuItem& item : w->menuModel[i].children) {
            ++entries;
            if (item.separator) {
                ++separators;
                EXPECT_TRUE(item.text.empty() && item.shortcut.empty() && item.enabled && item.commandId == 0);
            }
        }
    }
    EXPECT_EQ(entries, 25u);
    EXPECT_EQ(separators, 5u);
    ASSERT_EQ(w->menuModel[4].children.size(), 1u);
    EXPECT_EQ(w->menuModel[4].children[0].text, L"About Tilvo");
    EXPECT_EQ(w->menuModel[4].children[0].commandId, 1042);
}

TEST(MenuPopups, WithoutAProjectOnlyTheAlwaysEntriesAreEnabled) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    EXPECT_EQ(TitlesEnabled(w), (std::vector<bool>{true, false, false, false, true}));

    const std::vector<PopupEntry> file = OpenPopup(w, 0);
    ASSERT_EQ(file.size(), 13u);
    EXPECT_EQ(file[0].text, L"New Project...\tCtrl+N");
    EXPECT_EQ(file[0].id, 1001u);
    EXPECT_EQ(file[2].text, L"Close Project");  // no shortcut: no tab
    EXPECT_TRUE(file[3].separator);
    EXPECT_EQ(file[4].text, L"Save Project\tCtrl+S");
    EXPECT_EQ(file[12].text, L"Exit\tCtrl+X");
    EXPECT_EQ(file[12].id, 1010u);
    // New, Open, Close, Save, Save As, Import, Export, Print, Exit
    EXPECT_EQ(Grayed(file), (std::vector<bool>{false, false, true, true, true, false, true, true, false}));

    // A disabled title still opens, with every item grey.
    const std::vector<PopupEntry> spaces = OpenPopup(w, 1);
    ASSERT_EQ(spaces.size(), 5u);
    EXPECT_EQ(Grayed(spaces), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Grayed(OpenPopup(w, 2)), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Grayed(OpenPopup(w, 3)), (std::vector<bool>{true, true}));
    const std::vector<PopupEntry> help = OpenPopup(w, 4);
    ASSERT_EQ(help.size(), 1u);
    EXPECT_FALSE(help[0].grayed);
}

TEST(MenuPopups, AnOpenProjectEnablesItsEntriesButNotTheSelectionOnes) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.OpenProject({});
    EXPECT_EQ(TitlesEnabled(w), (std::vector<bool>{true, true, true, true, true}));
    EXPECT_EQ(Grayed(OpenPopup(w, 0)), (std::vector<bool>(9, false)));
    // New Space; Rename, Delete need a selection; Export needs a space.
    const std::vector<PopupEntry> spaces = OpenPopup(w, 1);
    EXPECT_EQ(spaces[1].text, L"Rename Space\tCtrl+R");
    EXPECT_EQ(spaces[2].text, L"Delete Space\tDel");
    EXPECT_EQ(Grayed(spaces), (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(Grayed(OpenPopup(w, 2)), (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(Grayed(OpenPopup(w, 3)), (std::vector<bool>{false, false}));
}

TEST(MenuPopups, SelectionEnablesSpaceAndPlantEntries) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w.OpenProject({MakeSpace(L"Bed", {{0, 0}, {100, 0}, {100, 100}}, {MakePlant(L"Rose", 60, 20)})});
    EXPECT_EQ(Grayed(OpenPopup(w, 1)), (std::vector<bool>{false, true, true, false}));

    w->selectedSpace = 0;
    w->UpdateMenuState();
    EXPECT_EQ(Grayed(OpenPopup(w, 1)), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(Grayed(OpenPopup(w, 2)), (std::vector<bool>{false, false, true, true}));

    w->selectedPlant = 0;
    w->UpdateMenuState();
    EXPECT_EQ(Grayed(OpenPopup(w, 2)), (std::vector<bool>{false, false, false, false}));

    // A plant index without a space index enables nothing of the plant's.
    w->selectedSpace = -1;
    w->UpdateMenuState();
    EXPECT_EQ(Grayed(OpenPopup(w, 2)), (std::vector<bool>{false, true, true, true}));
}

TEST(MenuPopups, ChoosingAnItemPostsItsCommandOnceAfterThePopupCloses) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    static std::vector<WPARAM> commands;
    commands.clear();
    static WNDPROC original = nullptr;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_COMMAND) commands.push_back(wp);
            return CallWindowProcW(original, h, m, wp, lp);
        })));
    const std::vector<int> lefts = TitleLefts(w);
    {
        PopupAnswer choose(0);  // Help > About Tilvo
        w.Mouse(WM_LBUTTONDOWN, lefts[4] + 4, 12);
        EXPECT_TRUE(choose.Answered());
    }
    EXPECT_TRUE(commands.empty());  // posted, not sent
    {
        // The command opens the About box; close it so the loop goes on.
        ModalWatcher closeAbout(L"#32770", L"About Tilvo",
                                [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
        PumpFor(100);
        EXPECT_TRUE(closeAbout.Finish());
    }
    {
        PopupAnswer dismiss;  // Escape
        w.Mouse(WM_LBUTTONDOWN, lefts[0] + 4, 12);
        EXPECT_TRUE(dismiss.Answered());
    }
    PumpFor(100);
    SetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], 1042u);
}

TEST(MenuTitles, PressAtTheTitleEndDragsAndOneLeftOpensTheLastTitle) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const std::vector<int> lefts = TitleLefts(w);
    const int end = lefts.back();
    {
        PopupAnswer answer;
        w.Mouse(WM_LBUTTONDOWN, end - 1, 12);
        EXPECT_TRUE(answer.Answered());
        ASSERT_EQ(answer.Entries().size(), 1u);
        EXPECT_EQ(answer.Entries()[0].text, L"About Tilvo");
    }
    {
        PopupAnswer none(-1, 800);
        w.Mouse(WM_LBUTTONDOWN, end, 12);
        EXPECT_FALSE(none.Answered());
    }
}

TEST(MenuTitles, NarrowWindowStopsAfterTheFirstTitlePastTheLimit) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const std::vector<int> lefts = TitleLefts(w);
    // A width where the second title's right edge passes W - 185.
    const int W = lefts[2] + 185 - 1;
    w.Restore(0, 0, W, 500);  // narrower than a border drag allows: placed directly
    const int width = w.Client().right;
    int shown = 0;
    for (size_t i = 0; i + 1 < lefts.size(); ++i) {
        ++shown;
        if (lefts[i + 1] > width - 185) break;
    }
    ASSERT_LT(shown, 5) << "width " << width << " end " << lefts.back();
    // The first title not shown cannot be hovered or pressed.
    w.Mouse(WM_MOUSEMOVE, lefts[shown] + 2, 10);
    EXPECT_EQ(w->hotMenu, -1);
    PopupAnswer none(-1, 800);
    w.Mouse(WM_LBUTTONDOWN, lefts[shown] + 2, 12);
    EXPECT_FALSE(none.Answered());
}

TEST(MenuNotifications, MenuSelectKeepsTheOpenTitleLitAndUninitClearsIt) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    w->openMenu = 2;
    SendMessageW(w.hwnd(), WM_MENUSELECT, MAKEWPARAM(1001, 0), 123);
    EXPECT_EQ(w->hotMenu, 2);
    w->hotMenu = -1;
    SendMessageW(w.hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);  // the menu closed
    EXPECT_EQ(w->hotMenu, -1);
    SendMessageW(w.hwnd(), WM_UNINITMENUPOPUP, 0, 0);
    EXPECT_EQ(w->hotMenu, -1);
    EXPECT_EQ(w->openMenu, -1);
}

TEST(MenuTitles, TheOpenTitleIsLitWhileItsPopupIsUpEvenWhenDisabled) {
    LiveWindow w;
    ASSERT_TRUE(w.Created());
    const std::vector<int> lefts = TitleLefts(w);
    const HWND hwnd = w.hwnd();
    std::atomic<int> hot{-2}, open{-2};
    std::atomic<COLORREF> pixel{CLR_INVALID};
    // The Spaces title is disabled without a project; its popup still opens.
    PopupAnswer answer(-1, 10000, [&](HWND) {
        hot = w->hotMenu;
        open = w->openMenu;
        HDC dc = GetDC(hwnd);
        pixel = GetPixel(dc, lefts[1] + 1, 1);
        ReleaseDC(hwnd, dc);
    });
    w.Mouse(WM_LBUTTONDOWN, lefts[1] + 4, 12);
    ASSERT_TRUE(answer.Answered());
    // The pointer's own moves during the popup may clear the hover index; the
    // open index keeps the title lit.
    EXPECT_TRUE(hot == 1 || hot == -1);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(Hex(pixel), Hex(RGB(200, 200, 200)));
    // Closed again: nothing lit.
    EXPECT_EQ(w->hotMenu, -1);
    EXPECT_EQ(w->openMenu, -1);
    Capture shot(hwnd);
    EXPECT_EQ(Hex(shot.At(lefts[1] + 1, 1)), Hex(RGB(240, 240, 240)));
}
