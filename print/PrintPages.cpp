// The printed pages: the order of the pages and the four page painters. Every
// size is designed for 96 dpi and scaled by the printer's LOGPIXELSY / 96; all
// drawing is in device pixels with a text's position at its top-left corner.
#include "PrintManager.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "CanvasShapes.h"
#include "GdiObjects.h"
#include "ProjectManager.h"

namespace {

constexpr COLORREF kHeading = RGB(0, 100, 200);  // headings and the space outline
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);  // hints, task descriptions, the rule
constexpr COLORREF kDescription = RGB(64, 64, 64);  // project description, plant lines
constexpr COLORREF kDateColour = RGB(100, 100, 100);
constexpr COLORREF kTaskSpaces = RGB(96, 96, 96);
constexpr COLORREF kDone = RGB(34, 139, 34);  // also the plant marker
constexpr COLORREF kPending = RGB(255, 140, 0);
constexpr COLORREF kSpaceFill = RGB(240, 248, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr int kNormal = FW_NORMAL;
constexpr int kBold = FW_BOLD;

// s = LOGPIXELSY / 96 of the device.
double Scale(HDC dc) {
    return GetDeviceCaps(dc, LOGPIXELSY) / 96.0;
}

// A design length in device pixels, truncated toward zero.
int32_t Scaled(double length, double s) {
    return static_cast<int32_t>(length * s);
}

gdi::Font MakeFont(int32_t height, int weight, const wchar_t* face = L"Segoe UI") {
    return gdi::Font(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face));
}

void Text(HDC dc, int32_t x, int32_t y, const std::wstring& text) {
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// The text centred across the content area, measured in the selected font.
void CentredText(HDC dc, const PageLayout& layout, int32_t y, const std::wstring& text) {
    const int32_t width = shapes::TextExtent(dc, text).cx;
    Text(dc, (layout.contentWidth - width) / 2 + layout.marginLeft, y, text);
}

void PageBreak(HDC dc) {
    EndPage(dc);
    StartPage(dc);
}

// A world coordinate on the page; far-off values are held within what GDI
// accepts instead of overflowing the conversion.
int32_t ToDevice(double value) {
    constexpr double kLimit = 1 << 27;
    return static_cast<int32_t>(std::clamp(value, -kLimit, kLimit));
}

// Whether a device box, widened by `slack` on every side, misses the page
// altogether. In 64 bits: the box may stand at the limit of the positions.
bool OffPage(const PageLayout& layout, int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t slack) {
    return right + slack < 0 || bottom + slack < 0 || left - slack > layout.pageWidth ||
           top - slack > layout.pageHeight;
}

}  // namespace

bool PrintManager::RenderDocument(HDC dc, const PageLayout& layout, const PrintOptions& options) {
    if (!projectManager) return false;
    SetGraphicsMode(dc, GM_ADVANCED);
    SetBkMode(dc, TRANSPARENT);

    if (options.includeTitle || options.includeDate) {
        RenderTitleBlock(dc, layout, options);
        PageBreak(dc);
    }

    const std::vector<Space> spaces = projectManager->GetSpaces();
    for (size_t i = 0; i < spaces.size(); ++i) {
        RenderSpacePage(dc, spaces[i], layout, options);
        if (!spaces[i].plants.empty()) {
            PageBreak(dc);
            RenderSpacePlantList(dc, spaces[i], layout, options);
        }
        if (i + 1 < spaces.size()) PageBreak(dc);
    }

    if (spaces.empty()) {
        const int32_t dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        const gdi::Font font = MakeFont(static_cast<int32_t>(32 * dpiY / 96.0), kNormal);
        const gdi::Selection selection(dc, font);
        SetTextColor(dc, kGrey);
        CentredText(dc, layout, layout.marginTop + static_cast<int32_t>(200 * dpiY / 96.0), L"No spaces in project");
    }

    if (options.includeTasks && !projectManager->GetAllTasks().empty()) {
        PageBreak(dc);
        RenderTaskList(dc, layout, options);
    }
    return true;
}

int32_t PrintManager::RenderTitleBlock(HDC dc, const PageLayout& layout, const PrintOptions& options) {
    const double s = Scale(dc);
    const gdi::Font titleFont = MakeFont(Scaled(48, s), kBold);
    const gdi::Font descriptionFont = MakeFont(Scaled(24, s), kNormal);
    const gdi::Font dateFont = MakeFont(Scaled(20, s), kNormal);
    gdi::SwitchedSelection font(dc);
    font.Use(titleFont);
    SetTextColor(dc, kBlack);
    int32_t y = layout.marginTop;

    if (options.includeTitle) {
        const ProjectInfo* project = projectManager ? projectManager->GetCurrentProject() : nullptr;
        std::wstring title = options.title;
        if (title.empty() && project) title = project->name;
        if (title.empty()) title = L"Tilvo Project";
        font.Use(titleFont);
        CentredText(dc, layout, y, title);
        y += Scaled(60, s);
        if (project && !project->description.empty()) {
            font.Use(descriptionFont);
            SetTextColor(dc, kDescription);
            CentredText(dc, layout, y, project->description);
            y += Scaled(50, s);
            SetTextColor(dc, kBlack);
        }
    }

    if (options.includeDate) {
        font.Use(dateFont);
        SetTextColor(dc, kDateColour);
        SYSTEMTIME now;
        GetLocalTime(&now);
        const std::wstring line = L"Created on " + std::to_wstring(now.wMonth) + L"/" + std::to_wstring(now.wDay) +
                                  L"/" + std::to_wstring(now.wYear) + L" with Tilvo";
        CentredText(dc, layout, y, line);
        y += 50;  // device pixels: this step is not scaled
        SetTextColor(dc, kBlack);
    }

    return y - layout.marginTop;
}

void PrintManager::RenderSpacePage(HDC dc, const Space& space, const PageLayout& layout,
                                   const PrintOptions& /*options*/) {
    const double s = Scale(dc);
    const gdi::Font nameFont = MakeFont(Scaled(48, s), kBold);
    gdi::SwitchedSelection font(dc);
    font.Use(nameFont);
    SetTextColor(dc, kHeading);
    const int32_t y0 = layout.marginTop;
    CentredText(dc, layout, y0, space.name);

    const int32_t boxLeft = layout.marginLeft;
    const int32_t boxTop = y0 + Scaled(80, s);
    const int32_t boxWidth = layout.contentWidth;
    const int32_t boxHeight = layout.contentHeight - Scaled(40, s) - Scaled(80, s);

    if (space.polygon.empty()) return;

    // Extents in 64 bits: vertices far apart would overflow a 32-bit difference.
    const shapes::Bounds bounds = shapes::PolygonBounds(space.polygon);
    const int64_t minX = bounds.left, minY = bounds.top;
    const int64_t w = bounds.right - minX, h = bounds.bottom - minY;
    const double fx = w > 0 ? static_cast<double>(boxWidth) / static_cast<double>(w) : 1.0;
    const double fy = h > 0 ? static_cast<double>(boxHeight) / static_cast<double>(h) : 1.0;
    const double f = std::min(fx, fy) * 0.9;
    const int32_t offX = (boxWidth - ToDevice(std::trunc(static_cast<double>(w) * f))) / 2;
    const int32_t offY = (boxHeight - ToDevice(std::trunc(static_cast<double>(h) * f))) / 2;
    auto map = [&](POINT p) {
        return POINT{ToDevice(std::trunc((static_cast<double>(p.x) - minX) * f) + offX + boxLeft),
                     ToDevice(std::trunc((static_cast<double>(p.y) - minY) * f) + offY + boxTop)};
    };

    const gdi::Pen outline = gdi::MakePen(PS_SOLID, Scaled(4, s), kHeading);
    const gdi::Brush fill = gdi::MakeBrush(kSpaceFill);
    gdi::SwitchedSelection pen(dc);
    gdi::SwitchedSelection brush(dc);
    pen.Use(outline);
    brush.Use(fill);
    if (space.polygon.size() >= 3) {
        std::vector<POINT> mapped;
        mapped.reserve(space.polygon.size());
        for (const POINT& p : space.polygon) mapped.push_back(map(p));
        Polygon(dc, mapped.data(), static_cast<int>(mapped.size()));
    }

    if (!space.plants.empty()) {
        const gdi::Brush marker = gdi::MakeBrush(kDone);
        const gdi::Font numberFont = MakeFont(Scaled(14, s), kBold, L"Arial");
        brush.Use(marker);
        font.Use(numberFont);
        const int32_t outer = Scaled(12, s);
        const int32_t inner = Scaled(8, s);
        const int32_t penWidth = Scaled(4, s);
        int32_t number = 1;
        for (const Plant& plant : space.plants) {
            const POINT c = map(plant.position);
            // A marker or number wholly off the page is left out: the device
            // would clip it, and a PostScript printer stops at positions that
            // far out and loses every later page. The outline pen and the
            // glyphs' overhang stand within a pen width of the boxes.
            const bool markerOnPage =
                !OffPage(layout, int64_t{c.x} - outer, int64_t{c.y} - outer, int64_t{c.x} + outer,
                         int64_t{c.y} + outer, penWidth);
            if (markerOnPage) Ellipse(dc, c.x - outer, c.y - outer, c.x + outer, c.y + outer);
            const gdi::Brush white = gdi::MakeBrush(kWhite);
            brush.Use(white);
            if (markerOnPage) Ellipse(dc, c.x - inner, c.y - inner, c.x + inner, c.y + inner);
            SetTextColor(dc, kBlack);
            SetBkMode(dc, TRANSPARENT);
            const std::wstring label = std::to_wstring(number++);
            const SIZE size = shapes::TextExtent(dc, label);
            const int64_t textX = int64_t{c.x} - size.cx / 2, textY = int64_t{c.y} - size.cy / 2;
            if (!OffPage(layout, textX, textY, textX + size.cx, textY + size.cy, penWidth))
                Text(dc, c.x - size.cx / 2, c.y - size.cy / 2, label);
            brush.Use(marker);
        }
        font.Use(nameFont);
        brush.Use(fill);
    }
}

void PrintManager::RenderSpacePlantList(HDC dc, const Space& space, const PageLayout& layout,
                                        const PrintOptions& options) {
    const double s = Scale(dc);
    const gdi::Font headingFont = MakeFont(Scaled(40, s), kBold);
    const gdi::Font bodyFont = MakeFont(Scaled(18, s), kNormal);
    gdi::SwitchedSelection font(dc);
    font.Use(headingFont);
    SetTextColor(dc, kHeading);
    const int32_t y0 = layout.marginTop;
    CentredText(dc, layout, y0, space.name + L" - Plants");
    const int32_t y1 = y0 + Scaled(80, s);

    if (options.includePlantList) {
        font.Use(bodyFont);
        if (space.plants.empty()) {
            SetTextColor(dc, kGrey);
            Text(dc, layout.marginLeft, y1, L"No plants in this space");
        } else {
            SetTextColor(dc, kBlack);
            Text(dc, layout.marginLeft, y1, L"Plants (" + std::to_wstring(space.plants.size()) + L"):");
            SetTextColor(dc, kDescription);
            const int32_t x = layout.marginLeft + Scaled(20, s);
            int32_t y = y1 + Scaled(40, s);
            int32_t number = 1;
            for (const Plant& plant : space.plants) {
                std::wstring line = std::to_wstring(number++) + L". " + plant.name;
                if (!plant.plantedDate.empty()) line += L" (planted: " + plant.plantedDate + L")";
                if (!plant.notes.empty()) line += L" - " + plant.notes;
                Text(dc, x, y, line);
                y += Scaled(30, s);
            }
        }
    }
}

void PrintManager::RenderTaskList(HDC dc, const PageLayout& layout, const PrintOptions& /*options*/) {
    const double s = Scale(dc);
    const gdi::Font headingFont = MakeFont(Scaled(40, s), kBold);
    const gdi::Font bodyFont = MakeFont(Scaled(20, s), kNormal);
    const gdi::Pen rule = gdi::MakePen(PS_SOLID, static_cast<int>(s + s), kGrey);
    gdi::SwitchedSelection font(dc);
    font.Use(headingFont);
    SetTextColor(dc, kHeading);
    const int32_t y0 = layout.marginTop;
    CentredText(dc, layout, y0, L"Project Tasks");

    font.Use(bodyFont);
    SetTextColor(dc, kBlack);
    const int32_t xTask = layout.marginLeft + Scaled(20, s);
    const int32_t xStatus = layout.marginLeft + Scaled(400, s);
    Text(dc, xTask, y0 + Scaled(80, s), L"Task");
    Text(dc, xStatus, y0 + Scaled(80, s), L"Status");

    const int32_t yRule = y0 + Scaled(80, s) + Scaled(30, s);
    const gdi::Selection rulePen(dc, rule);
    MoveToEx(dc, layout.marginLeft, yRule, nullptr);
    LineTo(dc, layout.marginLeft + layout.contentWidth - Scaled(40, s), yRule);
    int32_t y = yRule + Scaled(20, s);

    const std::vector<Task> tasks = projectManager ? projectManager->GetAllTasks() : std::vector<Task>{};
    if (tasks.empty()) {
        SetTextColor(dc, kGrey);
        Text(dc, xTask, y, L"No tasks in this project");
    } else {
        // One copy of the spaces serves every task's names.
        const std::vector<Space> spaces = projectManager->GetSpaces();
        for (const Task& task : tasks) {
            SetTextColor(dc, kBlack);
            Text(dc, xTask, y, task.name);
            if (task.completed) {
                SetTextColor(dc, kDone);
                Text(dc, xStatus, y, L"[Done]");
            } else {
                SetTextColor(dc, kPending);
                Text(dc, xStatus, y, L"[Pending]");
            }
            int32_t y2 = y + Scaled(25, s);
            if (!task.description.empty()) {
                SetTextColor(dc, kGrey);
                Text(dc, xTask, y2, L"  " + task.description);
                y2 += Scaled(22, s);
            }
            SetTextColor(dc, kTaskSpaces);
            const std::vector<int32_t> linked = projectManager->GetTaskSpaces(task.id);
            std::wstring line = L"  Spaces: ";
            if (linked.empty()) {
                line += L"Project-wide";
            } else {
                bool first = true;
                for (int32_t id : linked) {
                    auto found = std::find_if(spaces.begin(), spaces.end(),
                                              [id](const Space& sp) { return sp.id == id; });
                    if (found == spaces.end()) continue;  // a link to a space that is gone
                    if (!first) line += L", ";
                    line += found->name;
                    first = false;
                }
            }
            Text(dc, xTask, y2, line);
            y = y2 + Scaled(20, s) + Scaled(10, s);
        }
    }
}
