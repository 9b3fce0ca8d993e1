// The commands that open the plant list, the space export and the About box,
// sent to the real main window as WM_COMMAND, with each dialog answered
// through its real window.
#include "DialogDriver.h"
#include "ImageFile.h"
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

}  // namespace
