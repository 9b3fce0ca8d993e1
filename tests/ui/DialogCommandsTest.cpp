// The commands that open the plant list, the space export and the About box,
// sent to the real main window as WM_COMMAND, with each dialog answered
// through its real window.
#include "DialogDriver.h"
#include "GdiObjects.h"
#include "ImageFile.h"
#include "PrintManager.h"
#include "resource.h"

using namespace uitest;

namespace {

class DialogCommandsTest : public DialogTest {
protected:
    // Sends the command while `steps` answer its windows.
    void Command(int id, std::vector<Step> steps) {
        DialogDriver driver(std::move(steps));
        SendMessageW(window->hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        EXPECT_TRUE(driver.Finish()) << driver.Log();
    }
};

TEST_F(DialogCommandsTest, ViewAllPlantsShowsThePlantListAndThenReady) {
    Open();
    const int32_t bed = AddSpace(L"Bed 1", Box(0, 0, 100, 100));
    const int32_t rose = AddPlant(bed, L"Rose");
    window->SetStatusText(L"before");
    std::vector<std::wstring> lines;
    HWND owner = nullptr;
    std::wstring statusWhileOpen;
    Command(IDM_VIEW_PLANTS, {{L"Plant List", [&](HWND dialog) {
                                   HWND list = GetDlgItem(dialog, IDC_PLANT_LIST);
                                   wchar_t line[256] = {};
                                   SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
                                   lines.push_back(line);
                                   owner = GetWindow(dialog, GW_OWNER);
                                   statusWhileOpen = window->statusText;
                                   Press(dialog, IDC_PLANT_LIST_CLOSE);
                               }}});
    EXPECT_EQ(lines, std::vector<std::wstring>{L"Rose #" + std::to_wstring(rose) + L" (Space: Bed 1)"});
    EXPECT_EQ(owner, window->hwnd);
    EXPECT_EQ(statusWhileOpen, L"before");
    EXPECT_EQ(window->statusText, L"Ready.");
}

TEST_F(DialogCommandsTest, ExportSpacesWritesTheImageAndEndsWithReadyWhateverTheResult) {
    Open();
    AddSpace(L"Bed", Box(100, 100, 300, 200));
    AddSpace(L"Shed", Box(400, 100, 500, 200));
    BoxSeen done;
    SaveSeen save;
    HWND owner = nullptr;
    Command(IDM_EXPORT_SPACES, {{L"Export Spaces",
                                 [&owner](HWND dialog) {
                                     owner = GetWindow(dialog, GW_OWNER);
                                     ListTick(GetDlgItem(dialog, IDC_EXPORT_SPACE_LIST), 1, true);
                                     Press(dialog, IDC_EXPORT_BUTTON);
                                 }},
                                {L"Save As", AnswerSave(save, dir + L"shed.png")},
                                {L"Export Complete", AnswerBox(done)}});
    EXPECT_EQ(owner, window->hwnd);
    EXPECT_EQ(window->statusText, L"Ready.");
    // Shed alone: (400,100)-(500,200), image 200 x 200.
    const DecodedImage image = DecodeImage(dir + L"shed.png");
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.width, 200);
    EXPECT_EQ(image.height, 200);
    EXPECT_TRUE(image.Near(70, 70, 155, 255, 155, 2));

    window->SetStatusText(L"before");
    Command(IDM_EXPORT_SPACES, {{L"Export Spaces", [](HWND dialog) { Press(dialog, IDC_EXPORT_CANCEL); }}});
    EXPECT_EQ(window->statusText, L"Ready.");
}

TEST_F(DialogCommandsTest, AboutOpensWithoutAProjectAndChangesNothing) {
    window->SetStatusText(L"before");
    std::wstring version;
    HWND owner = nullptr;
    Command(IDM_ABOUT, {{L"About Tilvo", [&](HWND dialog) {
                             version = ItemText(dialog, IDC_ABOUT_TEXT);
                             owner = GetWindow(dialog, GW_OWNER);
                             PressKey(dialog, VK_RETURN);
                         }}});
    EXPECT_EQ(version, L"Version 1.0.0\r\n\r\n");
    EXPECT_EQ(owner, window->hwnd);
    EXPECT_EQ(window->statusText, L"before");
    EXPECT_FALSE(Store().IsProjectOpen());
}

// Every pen, brush, font, region, bitmap, DC and selection of the window goes
// through the owners of GdiObjects.h, which count what they hold: after each
// path the count must be back where it was.
TEST_F(DialogCommandsTest, NoWindowPathLeavesGdiObjectsBehind) {
    Open();
    const int32_t bed = AddSpace(L"Bed", Box(100, 100, 300, 200));
    AddSpace(L"Shed", Box(400, 100, 500, 200));
    AddPlant(bed, L"Rose", 150, 150);
    AddPlant(bed, L"Mint", 250, 170);
    RECT canvas;
    window->GetCanvasRect(canvas);
    auto client = [&](int x, int y) { return MAKELPARAM(x - window->scrollX, y + canvas.top); };
    auto repaint = [&] { RedrawWindow(window->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    auto mouse = [&](UINT message, int x, int y) {
        SendMessageW(window->hwnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, client(x, y));
        UpdateWindow(window->hwnd);
    };
    repaint();  // the objects made once for every paint exist from here on
    const int64_t baseline = gdi::LiveCount();

    repaint();
    EXPECT_EQ(gdi::LiveCount(), baseline) << "paint";
    mouse(WM_LBUTTONDOWN, 150, 150);  // the plant, then a drag step
    ASSERT_TRUE(window->draggingPlant);
    mouse(WM_MOUSEMOVE, 160, 155);
    mouse(WM_LBUTTONUP, 160, 155);
    EXPECT_EQ(gdi::LiveCount(), baseline) << "plant press and drag";
    mouse(WM_LBUTTONDOWN, 200, 105);  // the space, away from its labels
    ASSERT_TRUE(window->draggingSpace);
    mouse(WM_MOUSEMOVE, 210, 110);
    mouse(WM_LBUTTONUP, 210, 110);
    mouse(WM_LBUTTONDOWN, 700, 400);  // nothing
    mouse(WM_LBUTTONUP, 700, 400);
    EXPECT_EQ(gdi::LiveCount(), baseline) << "space press and drag, empty press";

    Command(IDM_ABOUT, {{L"About Tilvo", [](HWND dialog) { PressKey(dialog, VK_RETURN); }}});
    std::wstring name = L"Bed";
    {
        ModalAnswerer answerer({Input(L"Rename", L"Beds", IDCANCEL)});
        window->InputBox(L"Rename", name);
        EXPECT_TRUE(answerer.AllAnsweredAndNothingElse());
    }
    UpdateWindow(window->hwnd);
    EXPECT_EQ(gdi::LiveCount(), baseline) << "dialogs";

    EXPECT_TRUE(window->ExportSpacesToImage({0, 1}, dir + L"both.png", L"png"));
    EXPECT_EQ(gdi::LiveCount(), baseline) << "image export";

    ASSERT_NE(window->printManager, nullptr);
    HDC page = CreateCompatibleDC(nullptr);
    HBITMAP pixels = CreateCompatibleBitmap(page, 816, 1056);
    HGDIOBJ old = SelectObject(page, pixels);
    EXPECT_TRUE(window->printManager->RenderDocument(page, PageLayout{816, 1056, 96, 96, 96, 96, 624, 864},
                                                     PrintOptions{}));
    SelectObject(page, old);
    DeleteObject(pixels);
    DeleteDC(page);
    EXPECT_EQ(gdi::LiveCount(), baseline) << "print pages";
}

}  // namespace
