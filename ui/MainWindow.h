// The main window: owns the project store and the print manager, draws its own
// frame (title strip, menu bar, toolbar, status strip, scroll bars) and the
// canvas, and turns pointer, key and menu input into edits of the project.
//
// The implementation is split by concern:
//   MainWindow.cpp      creation, message routing, close, shutdown
//   MessageLoop.cpp     the message loop with its accelerator table
//   Frame.cpp           title strip, hit testing, caption buttons
//   Menus.cpp           drawn menu model, popups, menu states
//   CanvasGeometry.cpp  bands, content extent, world mapping, scroll bars
//   Painting.cpp        the double-buffered painter
//   Editing.cpp         selection, drawing spaces, placing and dragging
//   PanZoom.cpp         pan, zoom, wheel and keys
//   Toolbar.cpp         toolbar band and tooltips
//   CanvasHitTest.cpp   inside tests and plant hit boxes (no window needed)
//   ViewMath.cpp        zoom steps, scroll clamping, toolbar layout (likewise)
//   StatusText.cpp      status text and window title
//   Commands.cpp        WM_COMMAND and the file commands
//   EditCommands.cpp    space, plant, task and help commands
//   CommandSupport.cpp  file dialogs, save in place, unsaved-changes question
//   dialogs/            input box, New Project window, resource dialogs
//   export/             the image renderer of the Export Spaces dialog
#pragma once

#include "WinApi.h"

#include <cstdint>
#include <string>
#include <vector>

#include "GdiObjects.h"
#include "Layout.h"
#include "ProjectManager.h"

class PrintManager;
struct SpaceFillScratch;

// One entry of the drawn menu bar: a title with its items, or an item.
struct MenuItem {
    std::wstring text;      // caption, without "&" mnemonics
    std::wstring shortcut;  // shown after a tab in the popup; may be empty
    int32_t commandId = 0;  // 0 for titles and separators
    std::vector<MenuItem> children;
    bool enabled = true;
    bool separator = false;

    MenuItem() = default;
    MenuItem(const std::wstring& text, int32_t commandId, bool enabled, bool separator,
             const std::wstring& shortcut);
};

// The drawn scroll bars as they stand: which are needed, their tracks and thumbs
// (client pixels, right and bottom edges outside).
struct ScrollBarLayout {
    RECT canvas{0, 0, 0, 0};  // the canvas rectangle after the bars
    bool vertical = false, horizontal = false;
    RECT vTrack{0, 0, 0, 0}, vThumb{0, 0, 0, 0};
    RECT hTrack{0, 0, 0, 0}, hThumb{0, 0, 0, 0};
    int32_t vThumbPos = 0, vThumbLen = 0, hThumbPos = 0, hThumbLen = 0;
};

class MainWindow {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    bool Create(int showCommand);
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Start-up, size and close
    void OnCreate();
    void OnSize(WPARAM wParam, LPARAM lParam);
    void OnClose();

    // Commands, status text and title
    void OnCommand(int commandId);
    void SetStatusText(const std::wstring& text);
    void SetStatusRightText(const std::wstring& text);
    void UpdateTitle();

    // Canvas geometry and scroll bars
    RECT& GetCanvasRect(RECT& out);
    void UpdateContentExtent();
    void UpdateScrollBars();
    void DrawScrollBars(HDC dc, const RECT& client);
    bool OnScrollBarClick(POINT p, const RECT& client);
    ScrollBarLayout LayoutScrollBars(const RECT& client);  // which bars show, their tracks and thumbs
    int32_t ZoomViewportExtent() const;                     // trunc(zoom * 1000)
    void SetWorldTransform(HDC dc, const RECT& canvas) const;  // world units to client pixels
    POINT ClientToWorld(POINT p);                           // the exact inverse, for pointer positions

    // Painting
    void OnPaint();
    void DrawGrid(HDC dc, const RECT& canvas);

    // Pointer input
    void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(WPARAM wParam, LPARAM lParam);
    void OnRButtonDown(WPARAM wParam, LPARAM lParam);
    void OnLButtonDblClk(WPARAM wParam, LPARAM lParam);

    // Pan, zoom, wheel and keys
    void SetZoom(float newZoom, const POINT* anchor);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnKeyDown(WPARAM key, LPARAM lParam);

    // Frame
    void DrawTitleBar(HDC dc, const RECT& client);
    LRESULT OnNcHitTest(LPARAM screenPoint);

    // Menus
    void BuildMenuModel();
    void UpdateMenuState();
    void OnMenuBarClick(LPARAM clientPoint);

    // Toolbar
    void DrawToolbar(HDC dc, const RECT& band);
    void DrawToolbarTooltip(HDC dc, const RECT& client);

    // Modal input box; true with a non-empty confirmed text in `text`.
    bool InputBox(const std::wstring& title, std::wstring& text);

    // Image export: draws the spaces at these indices of GetSpaces() into one
    // image and saves it at `path`; format "jpg" gives JPEG, any other PNG.
    bool ExportSpacesToImage(const std::vector<int32_t>& indices, const std::wstring& path,
                             const std::wstring& format);

    // Fields.
    HWND hwnd = nullptr;
    HACCEL accelerators = nullptr;
    HINSTANCE instance = nullptr;
    bool isMaximized = false;
    std::vector<MenuItem> menuModel;
    int32_t hotMenu = -1;
    int32_t openMenu = -1;
    HWND taskbar = nullptr;
    int32_t hoverCaption = layout::kNoCaptionButton;  // a layout::CaptionButton
    int32_t pressedCaption = layout::kNoCaptionButton;
    bool panTool = false;
    int32_t hoverTool = layout::kNoToolbarButton;  // a layout::ToolbarButton
    int32_t pressedTool = layout::kNoToolbarButton;
    bool panning = false;
    POINT panStartPt{0, 0};
    int32_t panStartScrollX = 0, panStartScrollY = 0;
    bool midPanning = false;
    POINT midStartPt{0, 0};
    int32_t midStartScrollX = 0, midStartScrollY = 0;
    int32_t scrollX = 0, scrollY = 0;
    int32_t contentWidth = 800, contentHeight = 600;
    float zoom = 1.0f;
    bool draggingVThumb = false, draggingHThumb = false;
    POINT thumbStartPt{0, 0};
    int32_t thumbStartScrollX = 0, thumbStartScrollY = 0;
    std::wstring statusText = L"Ready";
    std::wstring statusRightText = L"1.0.0";
    gdi::Font titleFont;
    bool titleFontCreated = false;
    int32_t tooltipTool = layout::kNoToolbarButton;
    uint32_t tooltipDeadline = 0;
    ProjectManager projectManager;
    PrintManager* printManager = nullptr;  // owned; null when it could not be made
    std::vector<POINT> newSpacePoints;
    std::wstring newSpaceName;
    bool drawingSpace = false, placingPlant = false;
    int32_t selectedSpace = -1, selectedPlant = -1;
    bool draggingPlant = false;
    int32_t plantGrabOffset[2] = {0, 0};  // dx, dy
    bool draggingSpace = false;
    int32_t spaceGrabOffset[2] = {0, 0};  // dx, dy
    std::vector<POINT> dragOrigPolygon;
    std::vector<Plant> dragOrigPlants;
    std::vector<Plant> dragMovedPlants;  // dragOrigPlants at the latest step's positions
    gdi::Bitmap backBuffer;              // the painter's off-screen bitmap, kept while the size stays
    SIZE backBufferSize{0, 0};

private:
    // Window procedure helpers (MainWindow.cpp)
    void OnTouch(WPARAM wParam, LPARAM lParam);
    void OnPointer(UINT message, WPARAM wParam, LPARAM lParam);
    void OnMiddleButtonDown(LPARAM lParam);
    void OnMiddleButtonUp(LPARAM lParam);
    void OnMouseLeave();
    void OnMenuSelect(WPARAM wParam, LPARAM lParam);
    void OnTimer(WPARAM timerId);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void ExtendFrame();      // the compositor draws no frame: the whole window is client area
    void ToggleMaximized();  // restore a maximised window, else maximise it
    void InvalidateTitleStrip();

    // Title strip steps of the pointer handlers (Frame.cpp)
    int32_t MenuTitleBoxes(HDC dc, int32_t width, std::vector<RECT>* boxes);  // title layout; returns its end
    void DrawProjectTitle(HDC dc, int32_t width, int32_t titleEnd);
    void DrawCaptionButtons(HDC dc, int32_t width);
    int32_t CaptionButtonAt(POINT p, int32_t width, bool includeRow32) const;
    void RevealTaskbar(POINT p);         // shows an auto-hidden taskbar at a monitor edge
    bool TrackHover(POINT p);            // caption and menu-title hover; true when the strip needs a repaint
    bool CaptionPress(POINT p);          // press on a caption button; true when it took the press
    bool TitleStripPress(POINT p, LPARAM lParam);  // menu title or window drag; true for any press above y 32
    void CaptionRelease(POINT p);        // acts when released over the pressed caption button

    // Scroll-bar steps and the world mapping (CanvasGeometry.cpp)
    void ComputeContentExtent(const std::vector<Space>& spaces);  // UpdateContentExtent from a given copy
    RECT CanvasRectFor(const std::vector<Space>& spaces);         // GetCanvasRect from a given copy
    ScrollBarLayout LayoutScrollBarsFor(const RECT& client, const std::vector<Space>& spaces);
    void DrawScrollBarsFor(HDC dc, const RECT& client, const std::vector<Space>& spaces);
    void ClientToWorldExact(POINT p, double& x, double& y);      // ClientToWorld before truncation
    bool ThumbDragStep(POINT p);         // moves the scroll position while a thumb is dragged
    bool ThumbRelease();                 // ends a thumb drag; true when one was running

    // Painting pieces (Painting.cpp)
    void DrawStatusStrip(HDC dc, const RECT& client);
    void DrawSpaces(HDC dc, const std::vector<Space>& spaces);
    void DrawSpaceFill(HDC dc, const std::vector<POINT>& polygon, SpaceFillScratch& scratch);
    void DrawPlants(HDC dc, const Space& space, bool selected, const gdi::IconStamp& icon, const RECT& visible,
                    gdi::SwitchedSelection& font);
    void DrawModeHints(HDC dc, int32_t width, const std::vector<Space>& spaces);
    void DrawStartScreen(HDC dc, const RECT& canvas);

    // Toolbar steps of the pointer handlers (Toolbar.cpp)
    void ToolbarHover(POINT p);          // hover and tooltip deadline
    bool ToolbarPress(POINT p);          // true when a toolbar button took the press
    void ToolbarRelease(POINT p);        // acts when released over the pressed toolbar button
    void InvalidateToolbar(bool tooltipWasShown);  // the band, and the tooltip's box when one was on screen
    bool TooltipShowing() const;         // a tooltip is due and on screen

    // Canvas steps of the pointer handlers (Editing.cpp, PanZoom.cpp)
    void CanvasPress(WPARAM wParam, POINT p);  // pan start, plant placement, drawing points, selection
    void CanvasMove(POINT p);            // left and middle pan steps, plant and space drags, cursor
    void CanvasRelease(POINT p);         // pan end and drag endings
    void CanvasRightPress();             // cancels placement, finishes or cancels a space

    // Editing pieces (Editing.cpp)
    void RepaintCanvas(bool erase);      // the whole client area
    SIZE MeasurePlantLabel(HDC dc, const Plant& plant);  // the label's size in the font selected in dc
    void SelectAt(POINT w, POINT p);     // plants, labels' boxes, spaces, outlines near p; may start a drag
    void PlacePlantAt(POINT w);          // asks for the name when w is inside the selected space
    POINT DragWorldPoint(POINT p, const std::vector<Space>& spaces);  // the pointer held to the canvas
    void DragPlantStep(POINT p);
    void DragSpaceStep(POINT p);
    bool DraggedBox(RECT& box);          // client box of what a drag step can change; false: unknown
    void RepaintDragStep(bool known, const RECT& before);  // the old and new boxes, or the whole client area

    // Pan pieces (PanZoom.cpp)
    void ScrollRanges(int32_t& rangeX, int32_t& rangeY);  // both axes, from a fresh extent
    void BeginPan(bool& active, POINT& start, int32_t& startX, int32_t& startY, POINT p, LPCWSTR cursor);
    void BeginLeftPan(POINT p);
    void LeftPanStep(POINT p);
    void MiddlePanStep(POINT p);
    void EndLeftPan();
};
