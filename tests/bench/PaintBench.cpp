// Paint benchmark: times the main window's real painter (WM_PAINT through
// RedrawWindow) on large farms, and the pieces that dominate it, so that the
// cost of a frame can be compared with the 16 ms budget.
//
// Usage (on an X display, e.g. under xvfb-run): paint_bench.exe [paints per case, default 3]
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "LargeFarm.h"
#include "MainWindow.h"
#include "resource.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds per call of `work`, over `runs` calls after one warm-up call.
double TimePerCall(int runs, const std::function<void()>& work) {
    work();
    const double start = Now();
    for (int i = 0; i < runs; ++i) work();
    return (Now() - start) / runs;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The builder lays its grid out from (-2000, -2000); content left of or above
// the world origin is never shown, so the farm is moved to start near (50, 50)
// and the top-left part of it fills the canvas as a user would see it.
void MoveIntoView(ProjectManager& pm) {
    for (Space space : pm.GetSpaces()) {
        for (POINT& p : space.polygon) {
            p.x += 2200;
            p.y += 2200;
        }
        const std::vector<Plant> plants = space.plants;
        pm.UpdateSpace(space);
        for (Plant plant : plants) {
            plant.position.x += 2200;
            plant.position.y += 2200;
            pm.UpdatePlant(plant);
        }
    }
}

struct Case {
    const char* name;
    int32_t spaces, plants;
};

void RunCase(const Case& c, int runs) {
    MainWindow window(GetModuleHandleW(nullptr));
    window.SetStatusRightText(L"v1.0.0");
    if (!window.Create(SW_SHOWNORMAL)) {
        std::printf("could not create the window\n");
        return;
    }
    LargeFarmSize size;
    size.spaces = c.spaces;
    size.plants = c.plants;
    size.tasks = 0;
    size.spaceLinks = size.plantLinks = 0;
    BuildLargeFarm(window.projectManager, size);
    MoveIntoView(window.projectManager);
    window.UpdateMenuState();
    window.UpdateScrollBars();
    Pump();

    RECT client;
    GetClientRect(window.hwnd, &client);
    auto paint = [&] { RedrawWindow(window.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    const double full = TimePerCall(runs, paint);
    window.drawingSpace = true;  // the same paint without the translucent fills
    const double noFill = TimePerCall(runs, paint);
    window.drawingSpace = false;
    window.scrollX = 4000;  // an area with fewer spaces and plants in view
    window.scrollY = 2000;
    window.UpdateScrollBars();
    const double scrolled = TimePerCall(runs, paint);

    // The pieces, each on its own.
    ProjectManager& pm = window.projectManager;
    const double copy = TimePerCall(runs, [&] { pm.GetSpaces(); });
    HDC screen = GetDC(window.hwnd);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const std::vector<Space> spaces = pm.GetSpaces();
    const double icons = TimePerCall(std::max(1, runs / 4), [&] {
        for (const Space& s : spaces)
            for (const Plant& p : s.plants) {
                HICON icon = static_cast<HICON>(
                    LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLANT), IMAGE_ICON, 32, 32, 0));
                DrawIconEx(dc, p.position.x % client.right, p.position.y % client.bottom, icon, 32, 32, 0, nullptr,
                           DI_NORMAL);
                DestroyIcon(icon);
            }
    });
    const double icons48 = TimePerCall(std::max(1, runs / 4), [&] {
        for (const Space& s : spaces)
            for (const Plant& p : s.plants) {
                HICON icon = static_cast<HICON>(
                    LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLANT), IMAGE_ICON, 48, 48, 0));
                DrawIconEx(dc, p.position.x % client.right, p.position.y % client.bottom, icon, 32, 32, 0, nullptr,
                           DI_NORMAL);
                DestroyIcon(icon);
            }
    });
    HICON marker = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLANT), IMAGE_ICON, 32, 32, 0));
    const double drawOnly = TimePerCall(std::max(1, runs / 4), [&] {
        for (const Space& s : spaces)
            for (const Plant& p : s.plants)
                DrawIconEx(dc, p.position.x % client.right, p.position.y % client.bottom, marker, 32, 32, 0, nullptr,
                           DI_NORMAL);
    });
    DestroyIcon(marker);
    const double labels = TimePerCall(std::max(1, runs / 4), [&] {
        for (const Space& s : spaces)
            for (const Plant& p : s.plants) {
                const std::wstring label = p.name + L" #" + std::to_wstring(p.id);
                TextOutW(dc, p.position.x % client.right, p.position.y % client.bottom, label.c_str(),
                         static_cast<int>(label.size()));
            }
    });
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(window.hwnd, screen);

    std::printf("%s (client %ldx%ld, %d paints)\n", c.name, client.right, client.bottom, runs);
    std::printf("  OnPaint, top-left of the farm in view      %8.2f ms\n", full);
    std::printf("  OnPaint while drawing (no fills)           %8.2f ms\n", noFill);
    std::printf("  OnPaint scrolled to (4000, 2000)           %8.2f ms\n", scrolled);
    std::printf("  ProjectManager::GetSpaces copy              %8.2f ms\n", copy);
    std::printf("  plant markers: load + draw + free, all      %8.2f ms\n", icons);
    std::printf("  plant markers: load at 48, draw, free, all  %8.2f ms\n", icons48);
    std::printf("  plant markers: draw only, one icon, all     %8.2f ms\n", drawOnly);
    std::printf("  plant labels: TextOutW, all                 %8.2f ms\n", labels);
    DestroyWindow(window.hwnd);
    Pump();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const Case cases[] = {{"200 spaces, 2,000 plants", 200, 2000}, {"1,000 spaces, 10,000 plants", 1000, 10000}};
    for (const Case& c : cases) {
        RunCase(c, runs);
        UnregisterClassW(L"TilvoMainWindow", GetModuleHandleW(nullptr));
    }
    return 0;
}
