// The Plant List dialog on the real main window: its lines, count, place and
// the ways it closes, read and pressed through its real controls.
#include "DialogDriver.h"
#include "dialogs/PlantListDialog.h"
#include "resource.h"

using namespace uitest;

namespace {

// What the helper read from the open dialog.
struct PlantListSeen {
    std::wstring caption, count;
    std::vector<std::wstring> lines, labels, closeText;
    RECT rect{0, 0, 0, 0};
    HWND owner = nullptr;
    bool stillOpenAfterSelecting = false;
    LRESULT selection = LB_ERR;
};

std::vector<std::wstring> ListBoxLines(HWND list) {
    std::vector<std::wstring> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]));
        lines.push_back(line);
    }
    return lines;
}

std::function<void(HWND)> Read(PlantListSeen& seen, std::function<void(HWND)> then) {
    return [&seen, then](HWND dialog) {
        seen.caption = WindowText(dialog);
        seen.count = ItemText(dialog, IDC_PLANT_COUNT);
        seen.lines = ListBoxLines(GetDlgItem(dialog, IDC_PLANT_LIST));
        seen.labels = ChildTexts(dialog, -1);
        seen.closeText = ChildTexts(dialog, IDC_PLANT_LIST_CLOSE);
        seen.rect = WindowRect(dialog);
        seen.owner = GetWindow(dialog, GW_OWNER);
        then(dialog);
    };
}

class PlantListDialogTest : public DialogTest {
protected:
    INT_PTR Run(PlantListSeen& seen, std::function<void(HWND)> close) {
        return RunDialog(IDD_PLANT_LIST, PlantListDialogProc, Self(), {{L"Plant List", Read(seen, close)}});
    }
};

TEST_F(PlantListDialogTest, ListsEveryPlantGroupedBySpaceInTheStoresOrderWithTheCount) {
    Open();
    const int32_t bed1 = AddSpace(L"Bed 1", Box(0, 0, 100, 100));
    AddSpace(L"Bed 2", Box(200, 0, 300, 100));
    const int32_t herbs = AddSpace(L"Herbs", Box(400, 0, 500, 100));
    // Ids 1 to 6 are used and dropped first.
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(Store().DeletePlant(AddPlant(bed1, L"gone")));
    const int32_t basil = AddPlant(herbs, L"Basil");  // made first, listed last: its space comes last
    const int32_t rose = AddPlant(bed1, L"Rose");
    const int32_t mint = AddPlant(bed1, L"Mint");      // after Rose: no sorting by name
    const int32_t blank = AddPlant(herbs, L"");
    ASSERT_EQ(basil, 7);
    ASSERT_EQ(rose, 8);
    const bool unsavedBefore = Store().HasUnsavedChanges();

    PlantListSeen seen;
    const INT_PTR result = Run(seen, [](HWND dialog) { Press(dialog, IDC_PLANT_LIST_CLOSE); });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(seen.caption, L"Plant List");
    EXPECT_EQ(seen.owner, window->hwnd);
    EXPECT_EQ(seen.lines, (std::vector<std::wstring>{L"Rose #8 (Space: Bed 1)", L"Mint #" + std::to_wstring(mint) + L" (Space: Bed 1)",
                                                      L"Basil #7 (Space: Herbs)",
                                                      L" #" + std::to_wstring(blank) + L" (Space: Herbs)"}));
    EXPECT_EQ(seen.count, L"4");
    EXPECT_EQ(seen.labels, (std::vector<std::wstring>{L"Plants in Project:", L"Total Plants:"}));
    EXPECT_EQ(seen.closeText, std::vector<std::wstring>{L"Close"});
    EXPECT_EQ(Store().HasUnsavedChanges(), unsavedBefore);
}

TEST_F(PlantListDialogTest, ALineCarriesThePlantsOwnIdAfterDeletionsAndAnEmptyProjectListsNone) {
    Open();
    const int32_t bed = AddSpace(L"Bed 1", Box(0, 0, 10, 10));
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(Store().DeletePlant(AddPlant(bed, L"x")));
    ASSERT_EQ(AddPlant(bed, L"Rose"), 7);
    PlantListSeen seen;
    Run(seen, [](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(seen.lines, std::vector<std::wstring>{L"Rose #7 (Space: Bed 1)"});
    EXPECT_EQ(seen.count, L"1");

    Store().CloseProject();
    Open();
    AddSpace(L"Empty", Box(0, 0, 10, 10));
    PlantListSeen empty;
    Run(empty, [](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_TRUE(empty.lines.empty());
    EXPECT_EQ(empty.count, L"0");
}

TEST_F(PlantListDialogTest, IsCentredOnTheMainWindow) {
    Open();
    PlaceMainWindow(200, 100, 1201, 801);
    PlantListSeen seen;
    Run(seen, [](HWND dialog) { Press(dialog, IDC_PLANT_LIST_CLOSE); });
    const POINT expected = CentredOn(RECT{200, 100, 1401, 901}, seen.rect);
    EXPECT_EQ(seen.rect.left, expected.x);
    EXPECT_EQ(seen.rect.top, expected.y);
    EXPECT_GT(seen.rect.right - seen.rect.left, 400);  // 400 x 300 dialog units
}

TEST_F(PlantListDialogTest, SelectingALineDoesNothingAndEscapeOrTheCloseBoxEndIt) {
    Open();
    const int32_t bed = AddSpace(L"Bed", Box(0, 0, 10, 10));
    AddPlant(bed, L"Rose");
    AddPlant(bed, L"Mint");
    const auto before = Store().GetSpaces();

    PlantListSeen seen;
    INT_PTR result = Run(seen, [&seen](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_PLANT_LIST);
        SendMessageW(list, LB_SETCURSEL, 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PLANT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PLANT_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
        Sleep(100);
        seen.stillOpenAfterSelecting = IsWindow(dialog) && IsWindowVisible(dialog);
        seen.selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
        PressKey(dialog, VK_ESCAPE);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(seen.stillOpenAfterSelecting);
    EXPECT_EQ(seen.selection, 1);
    const auto after = Store().GetSpaces();
    ASSERT_EQ(after.size(), 1u);
    ASSERT_EQ(after[0].plants.size(), 2u);
    EXPECT_EQ(after[0].plants[0].name, L"Rose");
    EXPECT_EQ(after[0].plants[1].name, L"Mint");

    PlantListSeen again;
    result = Run(again, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(again.lines.size(), 2u);
}

}  // namespace
