// The print job through the real main window: the print dialog answered as a
// user would, cancelled or confirmed; the direct-printer modes; and one real job
// through the PDF printer, whose output is read back with poppler's tools.
#include "PrintTestSupport.h"
#include "UiTestSupport.h"

#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

using namespace uitest;
using namespace printtest;

namespace {

constexpr int kPrinterCombo = 0x473;  // the print dialog's printer list (cmb4)
constexpr int kPrintToFileBox = 0x410;  // the print dialog's "Print to file" box (chx1)
constexpr int kPrintCommand = 1008;

// The options that the Print command passes.
PrintOptions CommandOptions() {
    PrintOptions o;
    o.mode = 0;
    o.usePrintDialog = 1;
    o.includeTitle = o.includeDate = o.includePlantList = o.includeTasks = true;
    o.copies = 1;
    return o;
}

bool HasPdfPrinter() {
    HDC dc = CreateICW(L"WINSPOOL", L"PDF", nullptr, nullptr);
    if (!dc) return false;
    DeleteDC(dc);
    return true;
}

// What the print dialog showed, and which button the test pressed.
struct DialogRecord {
    std::wstring printer;
    bool toFile = false;  // "Print to file" was ticked when the dialog opened
    std::atomic<bool> seen{false};
};

// Answers the next print dialog of this thread with IDOK or IDCANCEL.
class PrintDialogAnswer {
public:
    explicit PrintDialogAnswer(int button, bool tickPrintToFile = false)
        : record(std::make_shared<DialogRecord>()),
          watcher(L"#32770", L"Print", [rec = record, button, tickPrintToFile](HWND dialog) {
              // The printer list fills while the dialog initialises.
              for (int i = 0; i < 50; ++i) {
                  wchar_t name[256] = {};
                  GetDlgItemTextW(dialog, kPrinterCombo, name, 256);
                  rec->printer = name;
                  if (!rec->printer.empty()) break;
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
              rec->toFile = IsDlgButtonChecked(dialog, kPrintToFileBox) == BST_CHECKED;
              if (tickPrintToFile) CheckDlgButton(dialog, kPrintToFileBox, BST_CHECKED);
              rec->seen = true;
              PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
          }) {}
    bool Answered() { return watcher.Finish(); }
    std::wstring Printer() const { return record->printer; }
    bool ToFile() const { return record->toFile; }

private:
    std::shared_ptr<DialogRecord> record;
    ModalWatcher watcher;
};

void ExpectNothingHeld(const PrintManager& pm) {
    EXPECT_EQ(pm.printerDC, nullptr);
    EXPECT_EQ(pm.printDialog.hDC, nullptr);
    EXPECT_EQ(pm.printDialog.hDevMode, nullptr);
    EXPECT_EQ(pm.printDialog.hDevNames, nullptr);
    EXPECT_FALSE(pm.printing);
}

// A small project in the window's store; its name carries `token`.
void FillProject(ProjectManager& store, const std::wstring& token) {
    ASSERT_TRUE(store.CreateNewProject(L"Garden " + token, L"Printed by the job test"));
    Space bed;
    bed.name = L"Bed";
    bed.polygon = {{0, 0}, {400, 0}, {400, 200}, {0, 200}};
    const int32_t bedId = store.CreateSpace(bed);
    Space lawn;
    lawn.name = L"Lawn";
    lawn.polygon = {{500, 0}, {700, 0}, {600, 150}};
    const int32_t lawnId = store.CreateSpace(lawn);
    Space pond;
    pond.name = L"Pond";
    const int32_t pondId = store.CreateSpace(pond);
    Plant tomato;
    tomato.spaceId = bedId;
    tomato.name = L"Tomato";
    tomato.position = {100, 50};
    tomato.plantedDate = L"2026-03-01";
    store.CreatePlant(tomato);
    Plant basil;
    basil.spaceId = bedId;
    basil.name = L"Basil";
    basil.position = {300, 150};
    store.CreatePlant(basil);
    Task water;
    water.name = L"Water beds";
    water.description = L"Every morning";
    const int32_t waterId = store.CreateTask(water);
    Task drain;
    drain.name = L"Drain pond";
    drain.completed = true;
    const int32_t drainId = store.CreateTask(drain);
    store.AssignSpaceToTask(waterId, bedId);
    store.AssignSpaceToTask(waterId, lawnId);
    store.AssignSpaceToTask(drainId, pondId);
    ASSERT_TRUE(store.DeleteSpace(pondId));
}

// Runs Unix commands from this Wine process. Wine cannot wait on a Unix
// child, so each command writes a status file that is polled for.
class UnixShell {
public:
    UnixShell() {
        dir = "/tmp/tilvo-printjob-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        CreateDirectoryW(WinPath(dir).c_str(), nullptr);
    }
    ~UnixShell() {
        // Not through Run: its status file would go into the folder being removed.
        std::wstring line = L"/bin/rm -rf " + ProjectManager::StringToWString(dir);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }

    static std::wstring WinPath(const std::string& unixPath) {
        std::wstring w = L"Z:" + ProjectManager::StringToWString(unixPath);
        for (wchar_t& c : w)
            if (c == L'/') c = L'\\';
        return w;
    }

    // Runs `command` with sh; returns its standard output, or nullopt-like
    // failure as `ok` false (exit status not 0 or no answer in time).
    std::string Run(const std::string& command, int timeoutMs = 30000, bool expectOk = true) {
        const std::string n = std::to_string(++counter);
        const std::string out = dir + "/out." + n, status = dir + "/status." + n;
        const std::wstring line = L"/bin/sh -c \"" +
                                  ProjectManager::StringToWString("(" + command + ") > '" + out + "' 2>&1; echo $? > '" +
                                                                  status + ".tmp'; mv '" + status + ".tmp' '" + status + "'") +
                                  L"\"";
        std::vector<wchar_t> buffer(line.begin(), line.end());
        buffer.push_back(0);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        lastOk = false;
        if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            if (expectOk) ADD_FAILURE() << "cannot start: " << command;
            return {};
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::string code;
        while (std::chrono::steady_clock::now() < end) {
            code = ReadFileBytes(WinPath(status));
            if (!code.empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        lastOk = !code.empty() && std::stoi(code) == 0;
        if (expectOk && !lastOk) ADD_FAILURE() << "failed (" << code << "): " << command;
        return ReadFileBytes(WinPath(out));
    }

    std::string dir;
    bool lastOk = false;

private:
    int counter = 0;
};

// Other test runs on this machine may print at the same moment, from other
// Wine prefixes too, and the PDF printer names every file of ours
// "Tilvo_Project.pdf": one job at a time, under a lock on a Unix file, which
// every wineserver sees and which goes with the process should it die.
class JobLock {
public:
    JobLock() {
        file = CreateFileW(L"Z:\\tmp\\tilvo-print-job.lock", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(3);
        while (!(locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~JobLock() {
        if (locked) UnlockFileEx(file, 0, 1, 0, &range);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;

private:
    HANDLE file = INVALID_HANDLE_VALUE;
    OVERLAPPED range{};
    BOOL locked = FALSE;
};

// The folder under which the PDF printer writes its files, as its configuration
// sets it (the last "Out" line; the per-user part is searched below it). Empty
// when it cannot be read.
std::string PdfOutputFolder(UnixShell& sh) {
    std::istringstream conf(sh.Run("cat /etc/cups/cups-pdf.conf", 10000, false));
    std::string line, out;
    while (std::getline(conf, line))
        if (line.rfind("Out", 0) == 0 && line.size() > 3 && (line[3] == ' ' || line[3] == '\t')) out = line.substr(4);
    out.erase(0, out.find_first_not_of(" \t"));
    out.erase(out.find_last_not_of(" \t\r") + 1);
    const std::string home = "${HOME}";
    if (out.rfind(home, 0) == 0) out = sh.Run("printf %s $HOME", 10000, false) + out.substr(home.size());
    out = out.substr(0, out.find("${"));
    return out;
}

// A file dated back before the job about to start, for FindOurPdf: a job at
// once is newer than it even where file times step by seconds.
std::string MarkBeforeJob(UnixShell& sh) {
    const std::string marker = sh.dir + "/marker";
    sh.Run("touch -d '2 seconds ago' '" + marker + "'");
    return marker;
}

// The PDF of our job: among the PDFs that appeared under `folder` since `marker`,
// the one whose text holds `token`. Empty when none turned up in time.
std::string FindOurPdf(UnixShell& sh, const std::string& folder, const std::string& marker, const std::string& token) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
        std::istringstream found(sh.Run("find '" + folder + "' -name '*.pdf' -newer '" + marker + "'", 10000, false));
        std::string path;
        while (std::getline(found, path)) {
            if (path.empty()) continue;
            const std::string text = sh.Run("pdftotext -q '" + path + "' -", 10000, false);
            if (sh.lastOk && text.find(token) != std::string::npos) return path;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return {};
}

int PageCount(UnixShell& sh, const std::string& pdf) {
    std::istringstream info(sh.Run("pdfinfo '" + pdf + "'"));
    std::string line;
    while (std::getline(info, line))
        if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
    return -1;
}

// The RGB pixels of one page rendered by pdftoppm as a binary PPM.
struct Raster {
    int width = 0, height = 0;
    std::string rgb;
    int Count(int r, int g, int b, int tolerance) const {
        int n = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            if (std::abs(static_cast<unsigned char>(rgb[i]) - r) <= tolerance &&
                std::abs(static_cast<unsigned char>(rgb[i + 1]) - g) <= tolerance &&
                std::abs(static_cast<unsigned char>(rgb[i + 2]) - b) <= tolerance)
                ++n;
        return n;
    }
};

Raster RenderPage(UnixShell& sh, const std::string& pdf, int page) {
    const std::string base = sh.dir + "/page" + std::to_string(page);
    sh.Run("pdftoppm -r 30 -f " + std::to_string(page) + " -l " + std::to_string(page) + " -singlefile '" + pdf +
           "' '" + base + "'");
    const std::string ppm = ReadFileBytes(UnixShell::WinPath(base + ".ppm"));
    Raster r;
    std::istringstream in(ppm);
    std::string magic;
    int maxValue = 0;
    in >> magic >> r.width >> r.height >> maxValue;
    in.get();
    if (magic != "P6") return r;
    r.rgb = ppm.substr(static_cast<size_t>(in.tellg()));
    return r;
}

// The text of one page. The printer's fonts name the hyphen's glyph so that it
// reads back as a soft hyphen (U+00AD); it is turned back into "-".
std::string PageText(UnixShell& sh, const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    std::string text = sh.Run("pdftotext -q -f " + p + " -l " + p + " '" + pdf + "' -");
    for (size_t at = text.find("\xC2\xAD"); at != std::string::npos; at = text.find("\xC2\xAD", at))
        text.replace(at, 2, "-");
    return text;
}

class PrintJob : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(w.Created());
        ASSERT_NE(w->printManager, nullptr);
    }
    LiveWindow w;
};

}  // namespace

TEST_F(PrintJob, CancellingTheDialogGivesFalseAndHoldsNothingTwiceInARow) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no printer: the dialog would ask to install one";
    PrintManager& pm = *w->printManager;
    FillProject(w->projectManager, L"cancel");
    for (int round = 0; round < 2; ++round) {
        PrintDialogAnswer answer(IDCANCEL);
        w->SetStatusText(L"before");
        SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kPrintCommand, 0), 0);
        ASSERT_TRUE(answer.Answered()) << "no print dialog, round " << round;
        EXPECT_EQ(w->statusText, L"Print operation cancelled or failed.");
        // Each dialog starts from the default printer: nothing is kept from the last one.
        EXPECT_EQ(answer.Printer(), L"PDF");
        EXPECT_EQ(pm.printDialog.hwndOwner, w.hwnd());
        EXPECT_EQ(pm.printDialog.nCopies, 1);
        EXPECT_EQ(pm.printDialog.Flags & (PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE | PD_PRINTSETUP),
                  static_cast<DWORD>(PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE));
        ExpectNothingHeld(pm);
    }
}

TEST_F(PrintJob, PrintToFileFromOneDialogIsNotTickedInTheNext) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no printer: the dialog would ask to install one";
    PrintManager& pm = *w->printManager;
    FillProject(w->projectManager, L"tofile");
    // What a confirmed dialog with "Print to file" ticked writes back into the kept flags.
    pm.printDialog.Flags |= PD_PRINTTOFILE;
    PrintDialogAnswer answer(IDCANCEL);
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kPrintCommand, 0), 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_FALSE(answer.ToFile());
    EXPECT_EQ(pm.printDialog.Flags & PD_PRINTTOFILE, 0u);
    EXPECT_EQ(pm.printDialog.Flags & (PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE),
              static_cast<DWORD>(PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE));
}

TEST_F(PrintJob, WithoutThePrintDialogThePrintSetupDialogAsksAndStaysChosen) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no printer: the dialog would ask to install one";
    PrintManager& pm = *w->printManager;
    FillProject(w->projectManager, L"setup");
    PrintOptions options = CommandOptions();
    options.usePrintDialog = 0;
    {
        ModalWatcher setup(L"#32770", L"Print Setup",
                           [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_FALSE(pm.Print(options));
        EXPECT_TRUE(setup.Finish());
    }
    ExpectNothingHeld(pm);
    // The setup flag stays for later prints, whatever they ask for.
    EXPECT_NE(pm.printDialog.Flags & PD_PRINTSETUP, 0u);
    ModalWatcher again(L"#32770", L"Print Setup", [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(pm.Print(CommandOptions()));
    EXPECT_TRUE(again.Finish());
}

TEST_F(PrintJob, DirectModesWithoutTheirPrinterAndUnknownModesFail) {
    PrintManager& pm = *w->printManager;
    FillProject(w->projectManager, L"direct");
    PrintOptions options = CommandOptions();

    HDC pdfPrinter = CreateICW(L"WINSPOOL", L"Microsoft Print to PDF", nullptr, nullptr);
    if (pdfPrinter) {
        DeleteDC(pdfPrinter);
    } else {
        options.mode = 1;
        EXPECT_FALSE(pm.Print(options));
        ExpectNothingHeld(pm);
    }
    HDC unnamed = CreateDCW(L"WINSPOOL", nullptr, nullptr, nullptr);
    if (unnamed) {
        DeleteDC(unnamed);
    } else {
        options.mode = 2;
        EXPECT_FALSE(pm.Print(options));
        ExpectNothingHeld(pm);
    }
    for (int mode : {-1, 3, 99}) {
        options.mode = mode;
        EXPECT_FALSE(pm.Print(options)) << mode;
        ExpectNothingHeld(pm);
    }
}

TEST_F(PrintJob, WithoutAnOwnerOrAStoreNothingIsShown) {
    PrintManager noOwner(nullptr, &w->projectManager);
    PrintManager noStore(&*w, nullptr);
    // A dialog would block here until the watcher gave up; none must appear.
    ModalWatcher watcher(L"#32770", L"Print", [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
                         1500);
    EXPECT_FALSE(noOwner.Print(CommandOptions()));
    EXPECT_FALSE(noStore.Print(CommandOptions()));
    EXPECT_FALSE(watcher.Finish());
}

TEST_F(PrintJob, NoCopiesOpensTheDocumentAndAbortsIt) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no PDF printer on this machine";
    PrintManager& pm = *w->printManager;
    FillProject(w->projectManager, L"nocopies");
    PrintOptions options = CommandOptions();
    options.copies = 0;
    PrintDialogAnswer answer(IDOK);
    EXPECT_FALSE(pm.Print(options));
    EXPECT_TRUE(answer.Answered());
    ExpectNothingHeld(pm);
}

TEST_F(PrintJob, AnOutputThatCannotBeWrittenIsAFailedPrint) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no printer: the dialog would ask to install one";
    FillProject(w->projectManager, L"unwritable");
    // This Wine writes a print to file into the working folder under the name
    // "FILE:"; a folder of that name makes the document's end fail.
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::string blocked = Narrow(cwd).substr(2) + "/FILE:";
    for (char& c : blocked)
        if (c == '\\') c = '/';
    UnixShell sh;
    sh.Run("rm -f '" + blocked + "'; mkdir -p '" + blocked + "'");
    PrintDialogAnswer answer(IDOK, true);
    w->SetStatusText(L"before");
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kPrintCommand, 0), 0);
    sh.Run("rmdir '" + blocked + "'");
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(w->statusText, L"Print operation cancelled or failed.");
    ExpectNothingHeld(*w->printManager);
}

TEST_F(PrintJob, PrintsTheWholeProjectToThePdfPrinter) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no PDF printer on this machine";
    CaseWatchdog::AllowMs(300000);  // waits for the job lock and for the printer's files
    UnixShell sh;
    const std::string outDir = PdfOutputFolder(sh);
    if (outDir.empty()) GTEST_SKIP() << "the PDF printer's output folder is not known";

    const std::string token = "job" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(GetTickCount());
    FillProject(w->projectManager, ProjectManager::StringToWString(token));
    JobLock lock;
    const std::string marker = MarkBeforeJob(sh);

    // The Print command, answered in the print dialog as a user would.
    PrintDialogAnswer answer(IDOK);
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kPrintCommand, 0), 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Printer(), L"PDF");
    EXPECT_EQ(w->statusText, L"Project sent to printer.");
    ExpectNothingHeld(*w->printManager);

    const std::string pdf = FindOurPdf(sh, outDir, marker, token);
    ASSERT_FALSE(pdf.empty()) << "no PDF with " << token << " under " << outDir;

    // Title page, Bed's drawing, Bed's plants, Lawn's drawing, the tasks.
    EXPECT_EQ(PageCount(sh, pdf), 5);
    const std::string title = PageText(sh, pdf, 1);
    EXPECT_NE(title.find("Garden " + token), std::string::npos) << title;
    EXPECT_NE(title.find("Printed by the job test"), std::string::npos) << title;
    EXPECT_NE(title.find("Created on"), std::string::npos) << title;
    const std::string bed = PageText(sh, pdf, 2);
    EXPECT_NE(bed.find("Bed"), std::string::npos) << bed;
    EXPECT_EQ(bed.find("Plants"), std::string::npos) << bed;
    const std::string plants = PageText(sh, pdf, 3);
    EXPECT_NE(plants.find("Bed - Plants"), std::string::npos) << plants;
    EXPECT_NE(plants.find("Plants (2):"), std::string::npos) << plants;
    EXPECT_NE(plants.find("1. Tomato (planted: 2026-03-01)"), std::string::npos) << plants;
    EXPECT_NE(plants.find("2. Basil"), std::string::npos) << plants;
    const std::string lawn = PageText(sh, pdf, 4);
    EXPECT_NE(lawn.find("Lawn"), std::string::npos) << lawn;
    const std::string tasks = PageText(sh, pdf, 5);
    EXPECT_NE(tasks.find("Project Tasks"), std::string::npos) << tasks;
    EXPECT_NE(tasks.find("Water beds"), std::string::npos) << tasks;
    EXPECT_NE(tasks.find("[Pending]"), std::string::npos) << tasks;
    EXPECT_NE(tasks.find("[Done]"), std::string::npos) << tasks;
    EXPECT_NE(tasks.find("Spaces: Bed, Lawn"), std::string::npos) << tasks;
    EXPECT_NE(tasks.find("Drain pond"), std::string::npos) << tasks;
    EXPECT_EQ(tasks.find("Project-wide"), std::string::npos) << tasks;  // its only link is to the deleted pond
    EXPECT_EQ(tasks.find("Pond"), std::string::npos) << tasks;

    // The drawing page: the space's pale fill and its blue outline.
    const Raster page = RenderPage(sh, pdf, 2);
    ASSERT_GT(page.width, 100);
    EXPECT_GT(page.Count(240, 248, 255, 3), 2000);
    EXPECT_GT(page.Count(0, 100, 200, 30), 50);
    sh.Run("rm -f '" + pdf + "'");

    // Two copies: the whole document twice in one job.
    MarkBeforeJob(sh);
    PrintOptions twice = CommandOptions();
    twice.copies = 2;
    PrintDialogAnswer again(IDOK);
    EXPECT_TRUE(w->printManager->Print(twice));
    ASSERT_TRUE(again.Answered());
    const std::string pdf2 = FindOurPdf(sh, outDir, marker, token);
    ASSERT_FALSE(pdf2.empty());
    EXPECT_EQ(PageCount(sh, pdf2), 10);
    EXPECT_NE(PageText(sh, pdf2, 6).find("Garden " + token), std::string::npos);
    sh.Run("rm -f '" + pdf2 + "'");
}

// Plants far outside their space map far off the page, on every side; the
// printer's interpreter refuses positions that far out, which must not cost
// the pages after the first.
TEST_F(PrintJob, PlantsFarOffThePageLeaveEveryPagePrinted) {
    if (!HasPdfPrinter()) GTEST_SKIP() << "no PDF printer on this machine";
    CaseWatchdog::AllowMs(300000);  // waits for the job lock and for the printer's files
    UnixShell sh;
    const std::string outDir = PdfOutputFolder(sh);
    if (outDir.empty()) GTEST_SKIP() << "the PDF printer's output folder is not known";

    const std::string token = "far" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(GetTickCount());
    ProjectManager& store = w->projectManager;
    ASSERT_TRUE(store.CreateNewProject(L"Garden " + ProjectManager::StringToWString(token), L""));
    Space bed;
    bed.name = L"Bed";
    bed.polygon = {{0, 0}, {200, 0}, {200, 100}, {0, 100}};
    const int32_t bedId = store.CreateSpace(bed);
    for (POINT at : {POINT{60, INT32_MAX}, POINT{60, INT32_MIN}, POINT{INT32_MAX, 50}, POINT{INT32_MIN, 50},
                     POINT{60, 1000000}}) {
        Plant stray;
        stray.spaceId = bedId;
        stray.name = L"Stray";
        stray.position = at;
        ASSERT_GE(store.CreatePlant(stray), 0);
    }
    JobLock lock;
    const std::string marker = MarkBeforeJob(sh);

    PrintDialogAnswer answer(IDOK);
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kPrintCommand, 0), 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(w->statusText, L"Project sent to printer.");
    const std::string pdf = FindOurPdf(sh, outDir, marker, token);
    ASSERT_FALSE(pdf.empty()) << "no PDF with " << token << " under " << outDir;
    EXPECT_EQ(PageCount(sh, pdf), 3);  // title page, Bed's drawing, Bed's plants
    sh.Run("rm -f '" + pdf + "'");
}
