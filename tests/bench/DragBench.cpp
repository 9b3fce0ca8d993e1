// Times the canvas's interactive steps on large farms through real messages:
// a full paint, a press that picks a plant, a press that hits no plant (it
// picks the space around it), and one drag step of a plant and of a space,
// each followed by the repaint it asks for. Prints the big farm (1,000 spaces,
// 10,000 plants) against the 16 ms frame budget, then the same steps on the
// farm at 1x, 2x and 4x to show how each cost grows. Medians throughout.
// Needs a display (run it under xvfb-run).
//
//   drag_bench [repetitions per step, default 9]
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "CanvasHitTest.h"
#include "LargeFarm.h"
#include "MainWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBudgetMs = 16.0;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

LPARAM Pack(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(static_cast<int16_t>(y)));
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double Median(std::vector<double> ms) {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The builder lays its grid out from (-2000, -2000); the window never shows
// anything left of or above the world origin, so the farm is moved by
// (2200, 2200), where every part of it can be scrolled into view.
void MoveIntoView(ProjectManager& pm) {
    for (Space space : pm.GetSpaces()) {
        for (POINT& p : space.polygon) {
            p.x += 2200;
            p.y += 2200;
        }
        pm.UpdateSpace(space);
        for (Plant plant : space.plants) {
            plant.position.x += 2200;
            plant.position.y += 2200;
            pm.UpdatePlant(plant);
        }
    }
}

// Scrolls so that a world point shows near client (300, canvas top + 200),
// within the positions the scroll bars allow, and returns where it shows
// (zoom 1: one world unit per pixel).
POINT ShowAt(MainWindow& w, POINT world) {
    w.scrollX = world.x - 300;
    w.scrollY = world.y - 200;
    w.UpdateScrollBars();  // clamps to the bars' ranges
    RECT canvas;
    w.GetCanvasRect(canvas);
    return POINT{canvas.left + world.x - w.scrollX, canvas.top + world.y - w.scrollY};
}

struct Steps {
    double paint = 0, pickPlant = 0, pressNoPlant = 0, plantStep = 0, spaceStep = 0, crowdedSpaceStep = 0;
    size_t plantsInSpace = 0;
    bool ok = false;
};

// Presses at a client point (handler only), releases, and repeats.
double TimePress(MainWindow& w, POINT at, int runs, bool& grabbed, bool wantPlant) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Pack(at.x, at.y));
        ms.push_back(MsSince(start));
        grabbed = wantPlant ? w.draggingPlant : (w.draggingSpace && !w.draggingPlant);
        SendMessageW(w.hwnd, WM_LBUTTONUP, 0, Pack(at.x, at.y));
        ValidateRect(w.hwnd, nullptr);
    }
    return Median(ms);
}

// Pointer moves of a few pixels around the press, each moving the dragged
// record, each followed by the repaint it asks for unless `withPaint` is false.
double TimeDragSteps(MainWindow& w, POINT press, int runs, bool withPaint = true) {
    SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Pack(press.x, press.y));
    UpdateWindow(w.hwnd);
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const int dx = (i % 2 == 0) ? 2 : -2;
        const auto start = Clock::now();
        SendMessageW(w.hwnd, WM_MOUSEMOVE, MK_LBUTTON, Pack(press.x + dx, press.y + 1));
        if (withPaint) UpdateWindow(w.hwnd);
        ms.push_back(MsSince(start));
        if (!withPaint) ValidateRect(w.hwnd, nullptr);
    }
    SendMessageW(w.hwnd, WM_LBUTTONUP, 0, Pack(press.x, press.y));
    UpdateWindow(w.hwnd);
    return Median(ms);
}

// A point inside the space away from its plants' markers and labels.
bool PointAwayFromPlants(const Space& space, POINT& out) {
    for (int dy = 0; dy < 400; dy += 3)
        for (int dx = -400; dx < 400; dx += 3) {
            const POINT p{space.polygon[0].x + dx, space.polygon[0].y + dy};
            if (!PolygonContainsFloat(space.polygon, p)) continue;
            bool nearPlant = false;
            for (const Plant& q : space.plants)
                nearPlant = nearPlant || (std::abs(q.position.x - p.x) < 200 && std::abs(q.position.y - p.y) < 40);
            if (!nearPlant) {
                out = p;
                return true;
            }
        }
    return false;
}

Steps Measure(int scale, int runs) {
    Steps s;
    MainWindow window(GetModuleHandleW(nullptr));
    window.SetStatusRightText(L"v1.0.0");
    if (!window.Create(SW_SHOWNORMAL)) {
        std::fprintf(stderr, "no window (is there a display?)\n");
        return s;
    }
    Pump();
    LargeFarmSize size;
    size.spaces = 1000 * scale;
    size.plants = 10000 * scale;
    size.tasks = 0;
    size.spaceLinks = size.plantLinks = 0;
    BuildLargeFarm(window.projectManager, size);
    MoveIntoView(window.projectManager);
    window.UpdateMenuState();
    window.UpdateScrollBars();
    UpdateWindow(window.hwnd);
    Pump();

    // The space nearest the farm's centre: dragging it a little leaves the
    // content extent (set by the outermost records) as it is.
    const std::vector<Space> spaces = window.projectManager.GetSpaces();
    int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    for (const Space& sp : spaces)
        for (const POINT& v : sp.polygon) {
            minX = std::min<int64_t>(minX, v.x);
            minY = std::min<int64_t>(minY, v.y);
            maxX = std::max<int64_t>(maxX, v.x);
            maxY = std::max<int64_t>(maxY, v.y);
        }
    size_t nearest = 0;
    int64_t best = INT64_MAX;
    for (size_t i = 0; i < spaces.size(); ++i) {
        if (spaces[i].plants.empty()) continue;
        const int64_t dx = spaces[i].polygon[0].x - (minX + maxX) / 2, dy = spaces[i].polygon[0].y - (minY + maxY) / 2;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = i;
        }
    }
    const Space& target = spaces[nearest];
    POINT inside{0, 0};
    if (target.plants.empty() || !PointAwayFromPlants(target, inside)) {
        std::fprintf(stderr, "the chosen space has no plants or no free point\n");
        return s;
    }
    s.plantsInSpace = target.plants.size();

    POINT at = ShowAt(window, target.plants[0].position);
    UpdateWindow(window.hwnd);
    std::vector<double> paints;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        RedrawWindow(window.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        paints.push_back(MsSince(start));
    }
    s.paint = Median(paints);

    bool grabbedPlant = false, grabbedSpace = false;
    s.pickPlant = TimePress(window, at, runs, grabbedPlant, true);
    s.plantStep = TimeDragSteps(window, at, runs);

    at = ShowAt(window, inside);
    UpdateWindow(window.hwnd);
    s.pressNoPlant = TimePress(window, at, runs, grabbedSpace, false);
    s.spaceStep = TimeDragSteps(window, at, runs);
    // The same space crowded with 8,000 more plants (on its own plants'
    // positions), all of which each step of its drag moves: the handler alone,
    // since painting 8,000 overlapping markers is a cost of its own.
    const int32_t crowd = 8000;
    for (int32_t i = 0; i < crowd; ++i) {
        Plant extra = target.plants[static_cast<size_t>(i) % target.plants.size()];
        extra.name = L"Crowd " + std::to_wstring(i);
        window.projectManager.CreatePlant(extra);
    }
    at = ShowAt(window, inside);
    UpdateWindow(window.hwnd);
    s.crowdedSpaceStep = TimeDragSteps(window, at, std::max(3, runs / 3), false);
    s.ok = grabbedPlant && grabbedSpace;
    if (!s.ok) std::fprintf(stderr, "a press did not grab (plant %d, space %d)\n", grabbedPlant, grabbedSpace);

    window.projectManager.CloseProject();
    DestroyWindow(window.hwnd);
    Pump();
    UnregisterClassW(L"TilvoMainWindow", GetModuleHandleW(nullptr));
    return s;
}

void BudgetRow(const char* step, double ms) {
    std::printf("  %-40s %9.2f ms  %6.0f ms   %s\n", step, ms, kBudgetMs, ms <= kBudgetMs ? "within" : "OVER");
}

void GrowthRow(const char* step, const Steps* all, double Steps::*field) {
    std::printf("  %-26s", step);
    for (int k = 0; k < 3; ++k) std::printf(" %9.2f", all[k].*field);
    const double base = all[0].*field > 0 ? all[0].*field : 1;
    std::printf("   %5.2f %5.2f\n", all[1].*field / base, all[2].*field / base);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int scales[3] = {1, 2, 4};
    Steps all[3];
    for (int k = 0; k < 3; ++k) all[k] = Measure(scales[k], runs);
    const Steps& big = all[0];

    std::printf("Canvas steps, 1,000 spaces / 10,000 plants, client 1280x1024 maximised, median of %d\n", runs);
    std::printf("  %-40s %12s %9s\n", "step", "median", "budget");
    BudgetRow("paint (whole client area)", big.paint);
    BudgetRow("press that picks a plant", big.pickPlant);
    BudgetRow("press that hits no plant (picks a space)", big.pressNoPlant);
    BudgetRow("plant drag step + repaint", big.plantStep);
    BudgetRow("space drag step + repaint", big.spaceStep);
    std::printf("  (dragged space holds %zu plants)\n", big.plantsInSpace);
    BudgetRow("same space, 8,000 plants more, handler", big.crowdedSpaceStep);
    std::printf("\n");

    std::printf("Growth with the farm (ms; ratios to 1x, linear growth gives 2 and 4)\n");
    std::printf("  %-26s %9s %9s %9s   %5s %5s\n", "step", "1x", "2x", "4x", "2x/1x", "4x/1x");
    GrowthRow("paint", all, &Steps::paint);
    GrowthRow("press picking a plant", all, &Steps::pickPlant);
    GrowthRow("press hitting no plant", all, &Steps::pressNoPlant);
    GrowthRow("plant drag step + repaint", all, &Steps::plantStep);
    GrowthRow("space drag step + repaint", all, &Steps::spaceStep);
    GrowthRow("8,000 more, handler only", all, &Steps::crowdedSpaceStep);
    for (const Steps& s : all)
        if (!s.ok) return 1;
    return 0;
}
