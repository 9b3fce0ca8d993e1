// The system's message font, which the windows built from plain child
// controls give to every control.
#pragma once

#include "WinApi.h"

// A new font from the non-client metrics' message font; the caller deletes it.
inline HFONT CreateMessageFont() {
    // The size of the structure with the padded-border field (Vista and later).
    constexpr UINT kMetricsSize = 504;
    static_assert(sizeof(NONCLIENTMETRICSW) == kMetricsSize, "NONCLIENTMETRICSW has an unexpected size");
    NONCLIENTMETRICSW metrics;
    ZeroMemory(&metrics, sizeof(metrics));
    metrics.cbSize = kMetricsSize;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kMetricsSize, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// Creates one child control of a hand-built dialog and gives it `font`.
inline HWND CreateChildControl(HWND parent, const wchar_t* className, const wchar_t* text, int id,
                               DWORD extraStyle, int x, int y, int width, int height, HFONT font) {
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | extraStyle, x, y, width, height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}
