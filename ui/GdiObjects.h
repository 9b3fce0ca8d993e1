// Owners for GDI objects and for selections into a device context: each object
// is deleted, each DC released and each selection undone when its owner goes
// out of scope. Every owner adds itself to a process-wide count while it holds
// something, so tests can see that a path leaves nothing behind (Wine does not
// implement GetGuiResources).
#pragma once

#include "WinApi.h"

#include <cstdint>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace gdi {

// Owners alive that hold an object, a DC or a selection; the objects kept for
// the process's life (the Shared* ones below) are not counted.
inline int64_t& LiveCount() {
    static int64_t count = 0;
    return count;
}

// A created pen, brush, font, region or bitmap; DeleteObject when it goes.
template <typename Handle>
class Object {
public:
    Object() = default;
    explicit Object(Handle handle) : h(handle) {
        if (h) ++LiveCount();
    }
    ~Object() { Reset(); }
    Object(Object&& other) noexcept : h(std::exchange(other.h, nullptr)), counted(other.counted) {}
    Object& operator=(Object&& other) noexcept {
        if (this != &other) {
            Reset();
            h = std::exchange(other.h, nullptr);
            counted = other.counted;
        }
        return *this;
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Handle get() const { return h; }
    operator Handle() const { return h; }
    explicit operator bool() const { return h != nullptr; }
    void Reset() {
        if (!h) return;
        DeleteObject(h);
        h = nullptr;
        if (counted) --LiveCount();
        counted = true;
    }
    // Kept for the process's life from here on: no longer counted.
    void KeepForProcess() {
        if (h && counted) --LiveCount();
        counted = false;
    }

private:
    Handle h = nullptr;
    bool counted = true;
};

using Pen = Object<HPEN>;
using Brush = Object<HBRUSH>;
using Font = Object<HFONT>;
using Region = Object<HRGN>;
using Bitmap = Object<HBITMAP>;

// A memory DC from CreateCompatibleDC; DeleteDC when it goes.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {
        if (dc) ++LiveCount();
    }
    ~MemoryDc() {
        if (!dc) return;
        DeleteDC(dc);
        --LiveCount();
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    operator HDC() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HDC dc;
};

// A window's DC from GetDC; ReleaseDC when it goes.
class WindowDc {
public:
    explicit WindowDc(HWND window) : hwnd(window), dc(GetDC(window)) {
        if (dc) ++LiveCount();
    }
    ~WindowDc() {
        if (!dc) return;
        ReleaseDC(hwnd, dc);
        --LiveCount();
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    operator HDC() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HWND hwnd;
    HDC dc;
};

// One slot of a DC (font, pen or brush) switched between objects as drawing
// goes on, selecting only when the object changes; what the DC held before
// the first switch goes back when this goes. Saves selections where they are
// dear (a font selection makes Wine read X resource files).
class SwitchedSelection {
public:
    explicit SwitchedSelection(HDC target) : dc(target) {}
    ~SwitchedSelection() {
        if (!old) return;
        SelectObject(dc, old);
        --LiveCount();
    }
    SwitchedSelection(const SwitchedSelection&) = delete;
    SwitchedSelection& operator=(const SwitchedSelection&) = delete;
    void Use(HGDIOBJ object) {
        if (!object || object == current) return;
        HGDIOBJ previous = SelectObject(dc, object);
        current = object;
        if (!old && previous) {
            old = previous;
            ++LiveCount();
        }
    }

private:
    HDC dc;
    HGDIOBJ old = nullptr;
    HGDIOBJ current = nullptr;
};

// An object selected into a DC; the previous one goes back when this goes.
// Selecting nothing (a null object) does nothing.
class Selection {
public:
    Selection(HDC target, HGDIOBJ object) : dc(target), old(object ? SelectObject(target, object) : nullptr) {
        if (old) ++LiveCount();
    }
    ~Selection() {
        if (!old) return;
        SelectObject(dc, old);
        --LiveCount();
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// An icon from LoadImageW, kept for the process's life; DestroyIcon when it goes.
class Icon {
public:
    Icon() = default;
    explicit Icon(HICON icon) : h(icon) {}  // only kept for the process's life: not counted
    ~Icon() {
        if (h) DestroyIcon(h);
    }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    operator HICON() const { return h; }

private:
    HICON h = nullptr;
};

inline Pen MakePen(int style, int width, COLORREF colour) { return Pen(CreatePen(style, width, colour)); }
inline Brush MakeBrush(COLORREF colour) { return Brush(CreateSolidBrush(colour)); }

// The stock GUI font's description with a new height and, when given (>= 0),
// a new weight.
inline Font MakeGuiFont(LONG height, LONG weight) {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfHeight = height;
    if (weight >= 0) lf.lfWeight = weight;
    return Font(CreateFontIndirectW(&lf));
}

inline LONG GuiFontHeight() {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf.lfHeight;
}

// Objects that are the same on every paint, made on first use and kept for
// the process's life.
inline HPEN SharedPen(int style, int width, COLORREF colour) {
    static std::map<std::tuple<int, int, COLORREF>, Pen> pens;
    Pen& pen = pens[std::make_tuple(style, width, colour)];
    if (!pen) {
        pen = MakePen(style, width, colour);
        pen.KeepForProcess();
    }
    return pen;
}

inline HBRUSH SharedBrush(COLORREF colour) {
    static std::map<COLORREF, Brush> brushes;
    Brush& brush = brushes[colour];
    if (!brush) {
        brush = MakeBrush(colour);
        brush.KeepForProcess();
    }
    return brush;
}

inline HFONT SharedGuiFont(LONG height, LONG weight) {
    static std::map<std::pair<LONG, LONG>, Font> fonts;
    Font& font = fonts[std::make_pair(height, weight)];
    if (!font) {
        font = MakeGuiFont(height, weight);
        font.KeepForProcess();
    }
    return font;
}

// The font of plant labels on the canvas: the stock GUI font a quarter larger.
inline HFONT SharedPlantLabelFont() { return SharedGuiFont(GuiFontHeight() * 5 / 4, -1); }

// An icon resource of the program at one size, loaded once.
inline HICON SharedIcon(HINSTANCE instance, int resourceId, int size) {
    static std::map<std::tuple<HINSTANCE, int, int>, Icon> icons;
    const auto key = std::make_tuple(instance, resourceId, size);
    auto it = icons.find(key);
    if (it == icons.end())
        it = icons
                 .emplace(std::piecewise_construct, std::forward_as_tuple(key),
                          std::forward_as_tuple(static_cast<HICON>(
                              LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, size, size, 0))))
                 .first;
    return it->second;
}

// The header of a 32-bit top-down DIB of this size.
inline BITMAPINFO TopDown32(LONG width, LONG height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A 32-bit icon with its own alpha as one premultiplied bitmap in a memory
// DC, stamped with one AlphaBlend: the same blend DrawIconEx makes for such an
// icon, without the DC it makes and drops on every call. An icon without
// alpha, or one that cannot be read, is drawn by DrawIconEx.
class IconStamp {
public:
    IconStamp(HDC target, HICON icon, int size) : icon(icon), size(size), dc(target) {
        ICONINFO info{};
        if (!icon || !dc || !GetIconInfo(icon, &info)) return;
        const Bitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        if (!info.hbmColor || !GetObjectW(info.hbmColor, sizeof bm, &bm) || bm.bmBitsPixel != 32 ||
            bm.bmWidth != size || bm.bmHeight != size)
            return;
        BITMAPINFO bi = TopDown32(size, size);
        void* pixels = nullptr;
        dib = Bitmap(CreateDIBSection(target, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (!dib || !pixels ||
            GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(size), pixels, &bi, DIB_RGB_COLORS) != size)
            return;
        auto* p = static_cast<uint8_t*>(pixels);
        bool anyAlpha = false;
        for (int i = 0; i < size * size; ++i) anyAlpha = anyAlpha || p[i * 4 + 3] != 0;
        if (!anyAlpha) return;
        for (int i = 0; i < size * size; ++i, p += 4)
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * p[3] + 127) / 255);
        GdiFlush();
        selection.emplace(dc, dib);
    }
    // Whether it blends its own bitmap rather than calling DrawIconEx.
    bool Blends() const { return selection.has_value(); }
    void Draw(HDC target, int x, int y) const {
        if (selection) {
            const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(target, x, y, size, size, dc, 0, 0, size, size, blend);
        } else if (icon) {
            DrawIconEx(target, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
        }
    }

private:
    HICON icon;
    int size;
    MemoryDc dc;
    Bitmap dib;
    std::optional<Selection> selection;
};

inline void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    const Brush brush = MakeBrush(colour);
    FillRect(dc, &r, brush);
}

}  // namespace gdi
