// The Export Spaces dialog on the real main window: the check list of spaces,
// the refusal of an empty selection, the real save dialog, the result boxes,
// and the images it writes, read back from their files.
#include "DialogDriver.h"
#include "ImageFile.h"
#include "dialogs/ExportSpacesDialog.h"
#include "resource.h"

using namespace uitest;

namespace {

struct ExportSeen {
    std::wstring caption;
    std::vector<std::wstring> labels, rows, exportText, cancelText;
    std::vector<UINT> checkImages;
    DWORD extendedStyle = 0, listStyle = 0;
    int columnWidth = 0;
    std::wstring columnText;
    RECT rect{0, 0, 0, 0};
    POINT clientOrigin{0, 0};
    HWND owner = nullptr;
};

std::function<void(HWND)> Read(ExportSeen& seen, std::function<void(HWND)> then) {
    return [&seen, then](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_EXPORT_SPACE_LIST);
        seen.caption = WindowText(dialog);
        seen.labels = ChildTexts(dialog, -1);
        seen.exportText = ChildTexts(dialog, IDC_EXPORT_BUTTON);
        seen.cancelText = ChildTexts(dialog, IDC_EXPORT_CANCEL);
        for (int i = 0; i < ListCount(list); ++i) {
            seen.rows.push_back(ListText(list, i));
            seen.checkImages.push_back(ListCheckImage(list, i));
        }
        seen.extendedStyle = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        seen.listStyle = static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE));
        seen.columnWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        seen.columnText = text;
        seen.rect = WindowRect(dialog);
        ClientToScreen(dialog, &seen.clientOrigin);
        seen.owner = GetWindow(dialog, GW_OWNER);
        then(dialog);
    };
}

// Ticks these rows, then presses "Export...".
std::function<void(HWND)> TickAndExport(std::vector<int> rows) {
    return [rows](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_EXPORT_SPACE_LIST);
        for (int row : rows) ListTick(list, row, true);
        Press(dialog, IDC_EXPORT_BUTTON);
    };
}

const std::vector<std::wstring> kImageTypes = {L"PNG Files (*.png)", L"JPEG Files (*.jpg)", L"All Files (*.*)"};

class ExportSpacesDialogTest : public DialogTest {
protected:
    INT_PTR Run(std::vector<Step> steps) {
        return RunDialog(IDD_EXPORT_SPACES, ExportSpacesDialogProc, Self(), std::move(steps));
    }
    // Three spaces: Bed (100,100)-(300,200) with Rose at (130,120), Shed
    // (1000,100)-(1100,200), Pond (2000,300)-(2100,400).
    void ThreeSpaces() {
        Open();
        const int32_t bed = AddSpace(L"Bed", Box(100, 100, 300, 200));
        AddPlant(bed, L"Rose", 130, 120);
        AddSpace(L"Shed", Box(1000, 100, 1100, 200));
        AddSpace(L"Pond", Box(2000, 300, 2100, 400));
    }
    bool Exists(const std::wstring& file) { return GetFileAttributesW((dir + file).c_str()) != INVALID_FILE_ATTRIBUTES; }

    SaveSeen anySave;  // for save dialogs whose look a test does not check
};

TEST_F(ExportSpacesDialogTest, ListsTheSpacesUntickedAtTheOwnersClientOrigin) {
    ThreeSpaces();
    PlaceMainWindow(200, 100, 1000, 800);
    ExportSeen seen;
    const INT_PTR result = Run({{L"Export Spaces", Read(seen, [](HWND d) { Press(d, IDC_EXPORT_CANCEL); })}});
    EXPECT_EQ(result, 2);
    EXPECT_EQ(seen.caption, L"Export Spaces");
    EXPECT_EQ(seen.owner, window->hwnd);
    EXPECT_EQ(seen.labels, std::vector<std::wstring>{L"Select spaces to export:"});
    EXPECT_EQ(seen.exportText, std::vector<std::wstring>{L"Export..."});
    EXPECT_EQ(seen.cancelText, std::vector<std::wstring>{L"Cancel"});
    EXPECT_EQ(seen.rows, (std::vector<std::wstring>{L"Bed", L"Shed", L"Pond"}));
    EXPECT_EQ(seen.checkImages, (std::vector<UINT>{1, 1, 1}));
    EXPECT_EQ(seen.extendedStyle & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(seen.listStyle & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(seen.listStyle & LVS_NOCOLUMNHEADER);
    EXPECT_EQ(seen.columnWidth, 300);
    EXPECT_EQ(seen.columnText, L"Space Name");
    // The template's (0, 0) puts the dialog's client area at the owner's
    // client origin; the main window's client area starts at its corner.
    EXPECT_EQ(seen.clientOrigin.x, 200);
    EXPECT_EQ(seen.clientOrigin.y, 100);
    EXPECT_LT(seen.rect.left, 200);  // the frame lies outside it
}

TEST_F(ExportSpacesDialogTest, RefusesAnEmptySelectionAndStaysOpen) {
    ThreeSpaces();
    BoxSeen box;
    ExportSeen after;
    const INT_PTR result = Run({
        {L"Export Spaces", [](HWND d) { Press(d, IDC_EXPORT_BUTTON); }},
        {L"No Spaces Selected", AnswerBox(box)},
        // Ticked and unticked again: still nothing chosen.
        {L"Export Spaces",
         [](HWND d) {
             HWND list = GetDlgItem(d, IDC_EXPORT_SPACE_LIST);
             ListTick(list, 1, true);
             ListTick(list, 1, false);
             PressKey(d, VK_RETURN);  // Enter presses the default button, "Export..."
         }},
        {L"No Spaces Selected", [](HWND b) { Press(b, IDOK); }},
        {L"Export Spaces", Read(after, [](HWND d) { Press(d, IDCANCEL); })},
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(box.text, L"Please select at least one space to export.");
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_WARNING));
    EXPECT_TRUE(box.ok);
    EXPECT_FALSE(box.yes);
    EXPECT_NE(box.owner, window->hwnd);  // owned by the dialog, not the main window
    EXPECT_EQ(after.rows.size(), 3u);
}

TEST_F(ExportSpacesDialogTest, WritesThePngOfTheTickedSpacesThroughTheSaveDialog) {
    ThreeSpaces();
    SaveSeen save;
    BoxSeen box;
    const INT_PTR result = Run({
        {L"Export Spaces", TickAndExport({0, 2})},
        {L"Save As", AnswerSave(save, dir + L"spaces.png")},
        {L"Export Complete", AnswerBox(box)},
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(save.presetName, L"exported_spaces.png");
    EXPECT_EQ(save.types, kImageTypes);
    EXPECT_NE(save.owner, window->hwnd);
    EXPECT_EQ(box.text, L"Spaces exported successfully!");
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_INFORMATION));

    // Bed and Pond: box (100,100)-(2100,400), origin (50,50), image 2100 x 400.
    const ImageHeader header = ReadImageHeader(dir + L"spaces.png");
    EXPECT_EQ(header.format, "png");
    EXPECT_EQ(header.width, 2100);
    EXPECT_EQ(header.height, 400);
    const DecodedImage image = DecodeImage(dir + L"spaces.png");
    ASSERT_TRUE(image.ok);
    ASSERT_EQ(image.width, 2100);
    EXPECT_TRUE(image.Near(10, 10, 255, 255, 255, 0));
    EXPECT_TRUE(image.Near(230, 130, 155, 255, 155, 2));   // Bed's fill
    EXPECT_TRUE(image.Near(50, 100, 0, 128, 0, 6));        // Bed's outline
    EXPECT_TRUE(image.Near(80, 70, 255, 0, 0, 2));         // Rose
    EXPECT_GT(image.CountDark(125, 90, 176, 111), 20);     // "Bed" about (150,100)
    EXPECT_GT(image.CountDark(60, 78, 101, 92), 10);       // "Rose" below its dot
    EXPECT_TRUE(image.Near(1000, 100, 255, 255, 255, 0));  // Shed was not ticked
    EXPECT_EQ(image.CountDark(960, 80, 1040, 120), 0);
    EXPECT_TRUE(image.Near(1970, 270, 155, 255, 155, 2));  // Pond's fill
    EXPECT_GT(image.CountDark(1975, 290, 2026, 311), 20);  // "Pond" about (2000,300)
}

TEST_F(ExportSpacesDialogTest, WritesJpegForAJpegNameAndAsksBeforeOverwriting) {
    ThreeSpaces();
    BoxSeen done, overwrite;
    INT_PTR result = Run({
        {L"Export Spaces", TickAndExport({1})},
        {L"Save As", AnswerSave(anySave, dir + L"garden.JPEG")},
        {L"Export Complete", AnswerBox(done)},
    });
    EXPECT_EQ(result, 1);
    // Shed alone: (1000,100)-(1100,200), image 200 x 200.
    ImageHeader header = ReadImageHeader(dir + L"garden.JPEG");
    EXPECT_EQ(header.format, "jpeg");
    EXPECT_EQ(header.width, 200);
    EXPECT_EQ(header.height, 200);
    DecodedImage image = DecodeImage(dir + L"garden.JPEG");
    ASSERT_TRUE(image.ok);
    EXPECT_TRUE(IsJpegFormat(image.rawFormat));
    EXPECT_TRUE(image.Near(15, 15, 255, 255, 255, 8));
    EXPECT_TRUE(image.Near(140, 140, 155, 255, 155, 12));
    EXPECT_GT(image.CountDark(75, 90, 126, 111), 10);  // "Shed" about (100,100)

    // Again onto the same file: the save dialog asks first; Yes replaces it.
    result = Run({
        {L"Export Spaces", TickAndExport({0, 1})},
        {L"Save As", AnswerSave(anySave, dir + L"garden.JPEG")},
        {L"", AnswerBox(overwrite, IDYES)},
        {L"Export Complete", AnswerBox(done)},
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(overwrite.yes);
    EXPECT_TRUE(overwrite.no);
    header = ReadImageHeader(dir + L"garden.JPEG");
    EXPECT_EQ(header.format, "jpeg");
    EXPECT_EQ(header.width, 1100);  // Bed and Shed: (100,100)-(1100,200)
    EXPECT_EQ(header.height, 200);
}

TEST_F(ExportSpacesDialogTest, ANameWithoutExtensionGetsPngAndAJpgPngNameStaysPng) {
    ThreeSpaces();
    BoxSeen done;
    Run({{L"Export Spaces", TickAndExport({0})},
         {L"Save As", AnswerSave(anySave, dir + L"plan")},
         {L"Export Complete", AnswerBox(done)}});
    EXPECT_EQ(ReadImageHeader(dir + L"plan.png").format, "png");
    Run({{L"Export Spaces", TickAndExport({0})},
         {L"Save As", AnswerSave(anySave, dir + L"garden.jpg.png")},
         {L"Export Complete", AnswerBox(done)}});
    EXPECT_EQ(ReadImageHeader(dir + L"garden.jpg.png").format, "png");
}

TEST_F(ExportSpacesDialogTest, CancellingTheSaveDialogKeepsTheDialogAndWritesNothing) {
    ThreeSpaces();
    SaveSeen save;
    ExportSeen after;
    const INT_PTR result = Run({
        {L"Export Spaces", TickAndExport({0})},
        {L"Save As", AnswerSave(save, L"")},
        // Still open, with the tick kept; Escape ends it.
        {L"Export Spaces", Read(after, [](HWND d) { PressKey(d, VK_ESCAPE); })},
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(after.checkImages, (std::vector<UINT>{2, 1, 1}));
    EXPECT_FALSE(Exists(L"exported_spaces.png"));
}

TEST_F(ExportSpacesDialogTest, AFailedExportShowsTheErrorAndStaysOpen) {
    Open();
    AddSpace(L"Fence", {{0, 50}, {400, 50}});  // a horizontal line: no height
    AddSpace(L"Bed", Box(0, 0, 10, 10));
    BoxSeen error;
    const INT_PTR result = Run({
        {L"Export Spaces", TickAndExport({0})},
        {L"Save As", AnswerSave(anySave, dir + L"fence.png")},
        {L"Export Error", AnswerBox(error)},
        {L"Export Spaces", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(error.text, L"Failed to export spaces.");
    EXPECT_EQ(error.icon, LoadIconW(nullptr, IDI_ERROR));
    EXPECT_FALSE(Exists(L"fence.png"));
}

// Opened without a window to read from, the dialog lists nothing and can
// only refuse: there is no selection to export.
TEST_F(ExportSpacesDialogTest, WithoutItsWindowParameterItListsNothingAndRefuses) {
    ThreeSpaces();
    ExportSeen seen;
    BoxSeen box;
    const INT_PTR result = RunDialog(IDD_EXPORT_SPACES, ExportSpacesDialogProc, 0,
                                     {{L"Export Spaces", Read(seen, [](HWND d) { Press(d, IDC_EXPORT_BUTTON); })},
                                      {L"No Spaces Selected", AnswerBox(box)},
                                      {L"Export Spaces", [](HWND d) { Press(d, IDC_EXPORT_CANCEL); }}});
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(seen.rows.empty());
    EXPECT_EQ(box.text, L"Please select at least one space to export.");
}

}  // namespace
