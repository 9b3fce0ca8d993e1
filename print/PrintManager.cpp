// The print job: chooses the printer (print dialog or a named printer), opens
// one document, has the page painters draw the project into it once per copy,
// and ends or aborts it. Every path out releases the device contexts and the
// dialog's memory, so each print starts again from the default printer.
#include "PrintManager.h"

#include <winspool.h>

#include <vector>

#include "MainWindow.h"

namespace {

const wchar_t kPdfPrinterName[] = L"Microsoft Print to PDF";
const wchar_t kSpoolDriver[] = L"WINSPOOL";
const char kDocumentName[] = "Tilvo Project";

}  // namespace

PrintManager::PrintManager(MainWindow* ownerWindow, ProjectManager* store)
    : owner(ownerWindow), projectManager(store) {
    ZeroMemory(&printDialog, sizeof(printDialog));
    printDialog.lStructSize = sizeof(printDialog);
    printDialog.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE;
    printDialog.nMinPage = 1;
    printDialog.nMaxPage = 1;
    printDialog.nCopies = 1;
}

PrintManager::~PrintManager() {
    Cleanup();
}

void PrintManager::Cleanup() {
    if (printerDC) {
        DeleteDC(printerDC);
        printerDC = nullptr;
    }
    if (printDialog.hDC) {
        DeleteDC(printDialog.hDC);
        printDialog.hDC = nullptr;
    }
    if (printDialog.hDevMode) {
        GlobalFree(printDialog.hDevMode);
        printDialog.hDevMode = nullptr;
    }
    if (printDialog.hDevNames) {
        GlobalFree(printDialog.hDevNames);
        printDialog.hDevNames = nullptr;
    }
    printing = false;
}

PageLayout PrintManager::MeasurePage(HDC dc) {
    PageLayout layout;
    const int32_t dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int32_t dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    layout.pageWidth = GetDeviceCaps(dc, HORZRES);
    layout.pageHeight = GetDeviceCaps(dc, VERTRES);
    layout.marginLeft = dpiX;
    layout.marginTop = dpiY;
    layout.marginRight = dpiX;
    layout.marginBottom = dpiY;
    layout.contentWidth = layout.pageWidth - 2 * dpiX;
    layout.contentHeight = layout.pageHeight - 2 * dpiY;
    return layout;
}

// A DC for the named printer set to A4 portrait; when the driver's settings
// cannot be read, a DC with the printer's own defaults (null if none).
HDC PrintManager::OpenDirectPrinter(const wchar_t* printerName) {
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(printerName), &printer, nullptr)) {
        const LONG size = DocumentPropertiesW(nullptr, printer, const_cast<LPWSTR>(printerName), nullptr, nullptr, 0);
        if (size > 0) {
            std::vector<BYTE> buffer(static_cast<size_t>(size), 0);
            auto* devMode = reinterpret_cast<DEVMODEW*>(buffer.data());
            if (DocumentPropertiesW(nullptr, printer, const_cast<LPWSTR>(printerName), devMode, nullptr,
                                    DM_OUT_BUFFER) == IDOK) {
                devMode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
                devMode->dmOrientation = DMORIENT_PORTRAIT;
                devMode->dmPaperSize = DMPAPER_A4;
                HDC dc = CreateDCW(kSpoolDriver, printerName, nullptr, devMode);
                ClosePrinter(printer);
                return dc;
            }
        }
        ClosePrinter(printer);
    }
    return CreateDCW(kSpoolDriver, printerName, nullptr, nullptr);
}

bool PrintManager::Print(const PrintOptions& options) {
    if (!owner || !projectManager) return false;

    printDialog.hwndOwner = owner->hwnd;
    printDialog.nCopies = static_cast<WORD>(options.copies & 0xFFFF);
    if (options.usePrintDialog == 0) printDialog.Flags |= PD_PRINTSETUP;

    HDC dc = nullptr;
    switch (options.mode) {
    case 0:
        // The dialog writes "Print to file" back into the kept flags; a later
        // dialog would open with it ticked and print to a file named "FILE:".
        printDialog.Flags &= ~static_cast<DWORD>(PD_PRINTTOFILE);
        if (!PrintDlgW(&printDialog)) {
            Cleanup();
            return false;
        }
        dc = printDialog.hDC;
        break;
    case 1:
        printerDC = OpenDirectPrinter(kPdfPrinterName);
        dc = printerDC;
        break;
    case 2:
        printerDC = CreateDCW(kSpoolDriver, nullptr, nullptr, nullptr);
        dc = printerDC;
        break;
    default:
        Cleanup();
        return false;
    }
    if (!dc) {
        Cleanup();
        return false;
    }

    const PageLayout layout = MeasurePage(dc);

    DOCINFOA doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = kDocumentName;
    if (StartDocA(dc, &doc) < 1) {
        Cleanup();
        return false;
    }
    printing = true;
    bool drawn = false;

    if (options.copies < 1) {
        AbortDoc(dc);
        printing = false;
        Cleanup();
        return false;
    }

    for (int32_t copy = 0; copy < options.copies; ++copy) {
        if (StartPage(dc) < 1) break;
        drawn = RenderDocument(dc, layout, options) || drawn;
        if (EndPage(dc) < 1) {
            AbortDoc(dc);
            printing = false;
            Cleanup();
            return false;
        }
    }

    // EndDoc fails when the output cannot be written: nothing was printed.
    if (drawn)
        drawn = EndDoc(dc) > 0;
    else
        AbortDoc(dc);
    printing = false;
    Cleanup();
    return drawn;
}
