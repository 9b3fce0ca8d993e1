// Printing of the open project: the print dialog, the printer device context,
// one print document per job, and the pages drawn into it (a title block, a
// drawing of each space with numbered plants, the plant lists, the task list).
//
//   PrintManager.cpp  the print job: dialog, device context, document calls
//   PrintPages.cpp    the page painters, in device pixels scaled from 96 dpi
#pragma once

#include "WinApi.h"
#include <commdlg.h>

#include <cstdint>
#include <string>

class MainWindow;
class ProjectManager;
struct Space;

// What to print and how the printer is chosen.
struct PrintOptions {
    int32_t mode = 0;            // 0 print dialog; 1 "Microsoft Print to PDF" on A4 portrait; 2 printer DC without a name
    int32_t usePrintDialog = 1;  // 0 shows the print-setup dialog instead of the print dialog
    bool includeTitle = true;
    bool includeDate = true;
    bool includePlantList = true;
    bool includeTasks = true;
    int32_t copies = 1;          // whole documents drawn into the one job
    std::wstring title;          // first page's title; empty: the project's name
};

// Page geometry of one job, in device pixels; the margins are one inch.
struct PageLayout {
    int32_t pageWidth = 0;
    int32_t pageHeight = 0;
    int32_t marginLeft = 0;
    int32_t marginTop = 0;
    int32_t marginRight = 0;
    int32_t marginBottom = 0;
    int32_t contentWidth = 0;
    int32_t contentHeight = 0;
};

class PrintManager {
public:
    PrintManager(MainWindow* owner, ProjectManager* projectManager);
    ~PrintManager();
    PrintManager(const PrintManager&) = delete;
    PrintManager& operator=(const PrintManager&) = delete;

    // True when a document was drawn and ended; false on cancel or any failure.
    // Always returns with no device context and no dialog memory held.
    bool Print(const PrintOptions& options);
    // Releases the device contexts and the dialog's memory; safe at any time.
    void Cleanup();

    // The margins and content area of a device context, as one job measures them.
    static PageLayout MeasurePage(HDC dc);

    // Page painters. RenderDocument starts on a page the caller opened and
    // leaves the last page open; false only without a project store.
    bool RenderDocument(HDC dc, const PageLayout& layout, const PrintOptions& options);
    int32_t RenderTitleBlock(HDC dc, const PageLayout& layout, const PrintOptions& options);
    void RenderSpacePage(HDC dc, const Space& space, const PageLayout& layout, const PrintOptions& options);
    void RenderSpacePlantList(HDC dc, const Space& space, const PageLayout& layout, const PrintOptions& options);
    void RenderTaskList(HDC dc, const PageLayout& layout, const PrintOptions& options);

    // Fields.
    MainWindow* owner = nullptr;              // not owned; its window owns the print dialog
    ProjectManager* projectManager = nullptr;  // not owned; the data of every page
    PRINTDLGW printDialog;                    // kept between prints; its handles are released after each
    HDC printerDC = nullptr;                  // DC made for a named printer (modes 1 and 2)
    bool printing = false;                    // between a successful StartDocA and the document's end

private:
    HDC OpenDirectPrinter(const wchar_t* printerName);  // A4 portrait when the driver allows it
};
