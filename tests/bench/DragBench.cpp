// Times one drag step on a large project (1,000 spaces, 10,000 plants): the
// pointer-move handler while a plant is dragged and while a space with its
// plants is dragged, each alone and followed by the repaint it asks for.
// Needs a display (run it under xvfb-run).
//
//   drag_bench [steps]    (steps without the repaint; 3 with it, a paint of
//                          the whole project being far slower)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "CanvasHitTest.h"
#include "LargeFarm.h"
#include "MainWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

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

struct Figures {
    double median = 0, mean = 0, worst = 0;
};

Figures Summarise(std::vector<double> ms) {
    Figures f;
    if (ms.empty()) return f;
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    for (double v : ms) f.mean += v;
    f.mean /= static_cast<double>(ms.size());
    f.worst = ms.back();
    return f;
}

void Report(const char* what, const Figures& f) {
    std::printf("%-40s median %8.2f ms   mean %8.2f ms   worst %8.2f ms\n", what, f.median, f.mean, f.worst);
}

// Scrolls so that the world point shows at client (300, canvas top + 200),
// without the clamp of the scroll bars: the mapping takes any scroll.
POINT ShowAt(MainWindow& w, POINT world) {
    RECT canvas;
    w.GetCanvasRect(canvas);
    w.scrollX = world.x - 300;
    w.scrollY = world.y - 200;
    return POINT{300, canvas.top + 200};
}

// Pointer moves by a few units around the press, each of which moves the
// dragged record; `withPaint` also runs the repaint each step asks for.
std::vector<double> DragSteps(MainWindow& w, POINT press, int steps, bool withPaint) {
    std::vector<double> ms;
    for (int i = 0; i < steps; ++i) {
        const int dx = (i % 2 == 0) ? 2 : -2;
        const auto start = Clock::now();
        SendMessageW(w.hwnd, WM_MOUSEMOVE, MK_LBUTTON, Pack(press.x + dx, press.y + 1));
        if (withPaint) UpdateWindow(w.hwnd);
        ms.push_back(MsSince(start));
        if (!withPaint) ValidateRect(w.hwnd, nullptr);
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    MainWindow window(GetModuleHandleW(nullptr));
    if (!window.Create(SW_SHOWNORMAL)) {
        std::fprintf(stderr, "no window (is there a display?)\n");
        return 1;
    }
    Pump();
    LargeFarmSize size;
    size.spaces = 1000;
    size.plants = 10000;
    size.tasks = 0;
    size.spaceLinks = 0;
    size.plantLinks = 0;
    auto start = Clock::now();
    BuildLargeFarm(window.projectManager, size);
    std::printf("built 1,000 spaces and 10,000 plants in %.0f ms\n", MsSince(start));
    window.UpdateScrollBars();

    const std::vector<Space> spaces = window.projectManager.GetSpaces();
    const Space& target = spaces[spaces.size() / 2];
    if (target.plants.empty()) {
        std::fprintf(stderr, "the chosen space has no plants\n");
        return 1;
    }

    // Plant drag: press on the plant's position.
    POINT at = ShowAt(window, target.plants[0].position);
    start = Clock::now();
    SendMessageW(window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Pack(at.x, at.y));
    const double pressPlant = MsSince(start);
    if (!window.draggingPlant) {
        std::fprintf(stderr, "the press did not grab a plant\n");
        return 1;
    }
    ValidateRect(window.hwnd, nullptr);
    const Figures plantAlone = Summarise(DragSteps(window, at, steps, false));
    const Figures plantPainted = Summarise(DragSteps(window, at, 3, true));
    SendMessageW(window.hwnd, WM_LBUTTONUP, 0, Pack(at.x, at.y));

    // Space drag: press inside the polygon, away from its plants' boxes.
    POINT inside = target.polygon[0];
    bool found = false;
    for (int dy = 0; dy < 400 && !found; dy += 3)
        for (int dx = -400; dx < 400 && !found; dx += 3) {
            const POINT p{target.polygon[0].x + dx, target.polygon[0].y + dy};
            if (!PolygonContainsFloat(target.polygon, p)) continue;
            bool nearPlant = false;
            for (const Plant& q : target.plants)
                nearPlant = nearPlant || (std::abs(q.position.x - p.x) < 200 && std::abs(q.position.y - p.y) < 40);
            if (!nearPlant) {
                inside = p;
                found = true;
            }
        }
    at = ShowAt(window, inside);
    start = Clock::now();
    SendMessageW(window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Pack(at.x, at.y));
    const double pressSpace = MsSince(start);
    if (!window.draggingSpace) {
        std::fprintf(stderr, "the press did not grab a space (found %d)\n", found ? 1 : 0);
        return 1;
    }
    ValidateRect(window.hwnd, nullptr);
    const Figures spaceAlone = Summarise(DragSteps(window, at, steps, false));
    const Figures spacePainted = Summarise(DragSteps(window, at, 3, true));
    SendMessageW(window.hwnd, WM_LBUTTONUP, 0, Pack(at.x, at.y));

    std::printf("press that grabs a plant: %.2f ms; press that grabs a space (%zu plants): %.2f ms\n", pressPlant,
                target.plants.size(), pressSpace);
    Report("plant drag step, handler only", plantAlone);
    Report("plant drag step, with its repaint", plantPainted);
    Report("space drag step, handler only", spaceAlone);
    Report("space drag step, with its repaint", spacePainted);
    window.projectManager.CloseProject();
    return 0;
}
