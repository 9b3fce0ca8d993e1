// The About box on the real main window: its texts, icon and title font, its
// place, and the four ways it closes, all through its real window.
#include "DialogDriver.h"
#include "dialogs/AboutDialog.h"
#include "resource.h"

using namespace uitest;

namespace {

struct AboutSeen {
    std::wstring caption, title, version, ok;
    HICON icon = nullptr;
    HFONT titleFont = nullptr;
    LOGFONTW font{};
    RECT rect{0, 0, 0, 0};
    HWND owner = nullptr;
    LRESULT defaultId = 0;
};

std::function<void(HWND)> Read(AboutSeen& seen, std::function<void(HWND)> close) {
    return [&seen, close](HWND dialog) {
        seen.caption = WindowText(dialog);
        seen.title = ItemText(dialog, IDC_ABOUT_TITLE);
        seen.version = ItemText(dialog, IDC_ABOUT_TEXT);
        seen.ok = ItemText(dialog, IDC_ABOUT_OK);
        seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
        seen.titleFont = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
        if (seen.titleFont) GetObjectW(seen.titleFont, sizeof(seen.font), &seen.font);
        seen.rect = WindowRect(dialog);
        seen.owner = GetWindow(dialog, GW_OWNER);
        seen.defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        close(dialog);
    };
}

class AboutDialogTest : public DialogTest {
protected:
    // As command 1042 runs it: from the module of GetModuleHandleW(NULL).
    INT_PTR Run(AboutSeen& seen, std::function<void(HWND)> close, LPARAM param) {
        return RunDialog(IDD_ABOUT, AboutDialogProc, param, {{L"About Tilvo", Read(seen, close)}},
                         GetModuleHandleW(nullptr));
    }
};

TEST_F(AboutDialogTest, ShowsTheIconTheNameInABoldTitleFontAndTheVersion) {
    AboutSeen seen;
    const INT_PTR result = Run(seen, [](HWND dialog) { Press(dialog, IDC_ABOUT_OK); }, Self());
    EXPECT_EQ(result, 1);
    EXPECT_EQ(seen.caption, L"About Tilvo");
    EXPECT_EQ(seen.title, L"Tilvo");
    EXPECT_EQ(seen.version, L"Version 1.0.0\r\n\r\n");
    EXPECT_EQ(seen.ok, L"OK");
    EXPECT_NE(seen.icon, nullptr);
    EXPECT_EQ(seen.owner, window->hwnd);
    // OK is the default button (the focus on it follows the shared display's
    // X focus, so it is not checked here).
    EXPECT_EQ(HIWORD(seen.defaultId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(seen.defaultId), IDC_ABOUT_OK);
    ASSERT_NE(seen.titleFont, nullptr);
    EXPECT_EQ(seen.font.lfHeight, -20);
    EXPECT_EQ(seen.font.lfWeight, FW_BOLD);
    EXPECT_FALSE(seen.font.lfItalic);
    EXPECT_FALSE(seen.font.lfUnderline);
    EXPECT_EQ(std::wstring(seen.font.lfFaceName), L"Segoe UI");
    // The box deleted its font when it closed.
    EXPECT_EQ(GetObjectType(seen.titleFont), 0u);
}

TEST_F(AboutDialogTest, OkEnterEscapeAndTheCloseBoxAllEndWithOne) {
    const std::vector<std::pair<const char*, std::function<void(HWND)>>> ways = {
        {"OK", [](HWND d) { Press(d, IDC_ABOUT_OK); }},
        {"IDOK", [](HWND d) { Press(d, IDOK); }},
        {"Enter", [](HWND d) { PressKey(d, VK_RETURN); }},
        {"Escape", [](HWND d) { PressKey(d, VK_ESCAPE); }},
        {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        AboutSeen seen;
        EXPECT_EQ(Run(seen, way.second, Self()), 1) << way.first;
        EXPECT_EQ(GetObjectType(seen.titleFont), 0u) << way.first;
    }
}

TEST_F(AboutDialogTest, IsCentredOnTheMainWindowOrOnTheDesktopWithoutOne) {
    // Odd sizes: the halves are truncated, not rounded.
    PlaceMainWindow(200, 100, 1201, 801);
    AboutSeen seen;
    Run(seen, [](HWND dialog) { Press(dialog, IDOK); }, Self());
    const POINT expected = CentredOn(RECT{200, 100, 1401, 901}, seen.rect);
    EXPECT_EQ(seen.rect.left, expected.x);
    EXPECT_EQ(seen.rect.top, expected.y);

    AboutSeen desktop;
    Run(desktop, [](HWND dialog) { Press(dialog, IDOK); }, 0);
    const POINT onDesktop = CentredOn(WindowRect(GetDesktopWindow()), desktop.rect);
    EXPECT_EQ(desktop.rect.left, onDesktop.x);
    EXPECT_EQ(desktop.rect.top, onDesktop.y);
    EXPECT_NE(desktop.rect.left, expected.x);
}

}  // namespace
