// The main window: owns the project store and the print manager, draws its own
// frame (title strip, menu bar, toolbar, status strip, scroll bars) and the
// canvas, and turns pointer, key and menu input into edits of the project.
//
// The implementation is split by concern:
//   MainWindow.cpp      creation, message routing, close, shutdown
//   Frame.cpp           title strip, hit testing, caption buttons
//   Menus.cpp           drawn menu model, popups, menu states
//   CanvasGeometry.cpp  bands, content extent, world mapping, scroll bars
//   Painting.cpp        the double-buffered painter
//   Editing.cpp         selection, drawing spaces, placing and dragging
//   PanZoom.cpp         pan, zoom, wheel and keys
//   Toolbar.cpp         toolbar band and tooltips
//   Commands.cpp        WM_COMMAND, status text, window title
//   dialogs/            input box, New Project window, resource dialogs
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ProjectManager.h"

class PrintManager;

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

    // Fields, in the order of the window's design.
    HWND hwnd = nullptr;
    HACCEL accelerators = nullptr;
    HINSTANCE instance = nullptr;
    bool isMaximized = false;
    std::vector<MenuItem> menuModel;
    int32_t hotMenu = -1;
    int32_t openMenu = -1;
    HWND taskbar = nullptr;
    int32_t hoverCaption = 0;  // 0 none, 1 minimise, 2 maximise/restore, 3 close
    int32_t pressedCaption = 0;
    bool panTool = false;
    int32_t hoverTool = 0;
    int32_t pressedTool = 0;
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
    HFONT titleFont = nullptr;
    bool titleFontCreated = false;
    int32_t tooltipTool = 0;
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
};
