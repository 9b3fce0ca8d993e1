// The main window owns the print manager: it makes it with itself and its
// store, goes on without it when making it throws (with a warning on the
// debugger output), and deletes it when it goes.
#include "PrintTestSupport.h"
#include "UiTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

using namespace uitest;
using printtest::Narrow;

#ifndef DBG_PRINTEXCEPTION_WIDE_C
#define DBG_PRINTEXCEPTION_WIDE_C 0x4001000AL
#endif

namespace {

// While armed, the next allocation of a print manager's size throws, as an
// exhausted heap would.
std::atomic<bool> failPrintManagerAllocation{false};

// The debugger output of this thread, caught on its way to a debugger.
std::wstring debugOutput;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C && r->NumberParameters >= 2)
        debugOutput += reinterpret_cast<const wchar_t*>(r->ExceptionInformation[1]);
    else if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2)
        debugOutput += ProjectManager::StringToWString(reinterpret_cast<const char*>(r->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void* operator new(std::size_t size) {
    if (size == sizeof(PrintManager) && failPrintManagerAllocation.exchange(false)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(PrintManagerOwnership, TheWindowMakesItWithItselfAndItsStore) {
    MainWindow window(Module());
    ASSERT_NE(window.printManager, nullptr);
    EXPECT_EQ(window.printManager->owner, &window);
    EXPECT_EQ(window.printManager->projectManager, &window.projectManager);
    EXPECT_FALSE(window.printManager->printing);
    EXPECT_EQ(window.printManager->printerDC, nullptr);
    const PRINTDLGW& dialog = window.printManager->printDialog;
    EXPECT_EQ(dialog.lStructSize, sizeof(PRINTDLGW));
    EXPECT_EQ(dialog.Flags, static_cast<DWORD>(PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE));
    EXPECT_EQ(dialog.nMinPage, 1);
    EXPECT_EQ(dialog.nMaxPage, 1);
    EXPECT_EQ(dialog.nCopies, 1);
    EXPECT_EQ(dialog.hDC, nullptr);
    EXPECT_EQ(dialog.hDevMode, nullptr);
    EXPECT_EQ(dialog.hDevNames, nullptr);
}

TEST(PrintManagerOwnership, AFailureToMakeItLeavesPrintingUnavailableWithAWarning) {
    PVOID handler = AddVectoredExceptionHandler(1, CatchDebugOutput);
    debugOutput.clear();
    failPrintManagerAllocation = true;
    auto window = std::make_unique<MainWindow>(Module());
    failPrintManagerAllocation = false;
    RemoveVectoredExceptionHandler(handler);

    EXPECT_EQ(window->printManager, nullptr);
    EXPECT_NE(debugOutput.find(L"Warning: Failed to initialize print manager\n"), std::wstring::npos)
        << Narrow(debugOutput);
    // The rest of the window is made as usual and can be shown.
    EXPECT_NE(window->accelerators, nullptr);
    EXPECT_FALSE(window->menuModel.empty());
    ASSERT_TRUE(window->Create(SW_SHOWNORMAL));
    PumpPending();
    window.reset();
    UnregisterClassW(L"TilvoMainWindow", Module());
    PumpPending();
}
