// Support for tests of the canvas's pointer and key input: a live main window
// with an open project, pointer messages at world or client points, held
// modifier keys and posted commands.
#pragma once

#include "UiTestSupport.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace canvastest {

inline Space MakeSpace(const std::wstring& name, std::vector<POINT> polygon) {
    Space s;
    s.name = name;
    s.polygon = std::move(polygon);
    return s;
}

inline std::vector<POINT> Rect(int l, int t, int r, int b) {
    return {{l, t}, {r, t}, {r, b}, {l, b}};
}

inline Plant MakePlant(int32_t spaceId, const std::wstring& name, POINT at) {
    Plant p;
    p.spaceId = spaceId;
    p.name = name;
    p.position = at;
    return p;
}

// The live window with a fresh in-memory project "Garden", at zoom 1.0 and
// scroll (0, 0), so that world (x, y) lies at client (x, y + canvas top).
class GardenWindow {
public:
    GardenWindow() {
        EXPECT_TRUE(w.Created());
        EXPECT_TRUE(w->projectManager.CreateNewProject(L"Garden", L""));
        w->UpdateScrollBars();
        w->UpdateTitle();
    }

    MainWindow* operator->() { return w.operator->(); }
    MainWindow& operator*() { return *w; }
    HWND hwnd() const { return w.hwnd(); }
    uitest::LiveWindow& live() { return w; }
    ProjectManager& store() { return w->projectManager; }

    int32_t AddSpace(const std::wstring& name, std::vector<POINT> polygon) {
        const int32_t id = store().CreateSpace(MakeSpace(name, std::move(polygon)));
        EXPECT_NE(id, -1);
        return id;
    }
    int32_t AddPlant(int32_t spaceId, const std::wstring& name, POINT at) {
        const int32_t id = store().CreatePlant(MakePlant(spaceId, name, at));
        EXPECT_NE(id, -1);
        return id;
    }

    int CanvasTop() {
        RECT c;
        return w->GetCanvasRect(c).top;
    }
    POINT ClientOf(POINT world) {
        EXPECT_EQ(w->zoom, 1.0f);
        EXPECT_EQ(w->scrollX, 0);
        EXPECT_EQ(w->scrollY, 0);
        return POINT{world.x, world.y + CanvasTop()};
    }

    void LeftDown(int x, int y) { w.Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
    void Move(int x, int y, WPARAM keys = MK_LBUTTON) { w.Mouse(WM_MOUSEMOVE, x, y, keys); }
    void LeftUp(int x, int y) { w.Mouse(WM_LBUTTONUP, x, y, 0); }
    void RightDown(int x, int y) { w.Mouse(WM_RBUTTONDOWN, x, y, MK_RBUTTON); }
    void Click(int x, int y) {
        LeftDown(x, y);
        LeftUp(x, y);
    }

    void PressWorld(POINT world) {
        const POINT c = ClientOf(world);
        LeftDown(c.x, c.y);
    }
    void ClickWorld(POINT world) {
        const POINT c = ClientOf(world);
        Click(c.x, c.y);
    }

    Space SpaceAt(size_t index) {
        const std::vector<Space> spaces = store().GetSpaces();
        EXPECT_LT(index, spaces.size());
        return index < spaces.size() ? spaces[index] : Space{};
    }
    Plant PlantAt(size_t space, size_t plant) {
        const Space s = SpaceAt(space);
        EXPECT_LT(plant, s.plants.size());
        return plant < s.plants.size() ? s.plants[plant] : Plant{};
    }

    std::wstring Title() { return uitest::WindowText(hwnd()); }

private:
    uitest::LiveWindow w;
};

// Holds modifier keys down in this thread's key state (what GetKeyState reads)
// for the object's life.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> keys) {
        GetKeyboardState(saved);
        BYTE state[256];
        std::memcpy(state, saved, sizeof(state));
        for (int k : keys) state[k] |= 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved[256];
};

// Removes and returns the ids of the WM_COMMAND messages posted to the window.
inline std::vector<int> TakePostedCommands(HWND hwnd) {
    std::vector<int> ids;
    MSG msg;
    while (PeekMessageW(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) ids.push_back(LOWORD(msg.wParam));
    return ids;
}

// Whether some part of the window waits for a repaint; clears it.
inline bool TakeInvalidation(HWND hwnd) {
    RECT r;
    const bool pending = GetUpdateRect(hwnd, &r, FALSE) != FALSE;
    ValidateRect(hwnd, nullptr);
    return pending;
}

// The window's pixels as they stand after only the repaints that the window
// asked for itself: nothing is invalidated here, unlike uitest::Capture.
class AsPainted {
public:
    explicit AsPainted(HWND hwnd) {
        UpdateWindow(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        width = client.right;
        height = client.bottom;
        HDC windowDc = GetDC(hwnd);
        HDC memory = CreateCompatibleDC(windowDc);
        HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(hwnd, windowDc);
    }
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
        return pixels[static_cast<size_t>(y) * width + x];
    }
    int Count(const RECT& r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == colour) ++n;
        return n;
    }

private:
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
};

// Answers the next input box of this thread with the given caption: types
// `text` into its edit control and presses OK, or presses Cancel when `cancel`.
class InputBoxAnswer {
public:
    InputBoxAnswer(const std::wstring& caption, const std::wstring& text, bool cancel = false)
        : watcher(L"InputBoxClass", caption, [text, cancel](HWND box) {
              if (cancel) {
                  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                  return;
              }
              SendMessageTimeoutW(GetDlgItem(box, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                  SMTO_NORMAL, 5000, nullptr);
              PostMessageW(box, WM_COMMAND, IDOK, 0);
          }) {}
    bool Answered() { return watcher.Finish(); }

private:
    uitest::ModalWatcher watcher;
};

}  // namespace canvastest
