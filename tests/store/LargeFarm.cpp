#include "LargeFarm.h"

#include <cmath>
#include <string>
#include <vector>

#include "ProjectManager.h"

namespace {

WString Numbered(const wchar_t* prefix, int32_t n, int width) {
    WString digits = std::to_wstring(n);
    if (digits.size() < static_cast<size_t>(width)) digits.insert(0, static_cast<size_t>(width) - digits.size(), L'0');
    return WString(prefix) + digits;
}

}  // namespace

void BuildLargeFarm(ProjectManager& pm, const LargeFarmSize& size) {
    pm.CreateNewProject(L"Large Farm", L"Benchmark farm");
    AddLargeFarm(pm, size);
}

void AddLargeFarm(ProjectManager& pm, const LargeFarmSize& size) {
    std::vector<int32_t> spaceIds, plantIds, taskIds;
    const int32_t columns = 50;
    const double pi = 3.14159265358979323846;
    for (int32_t i = 0; i < size.spaces; ++i) {
        Space s;
        s.name = Numbered(L"Field ", i + 1, 5);
        int32_t cx = (i % columns) * 400 - 2000;
        int32_t cy = (i / columns) * 400 - 2000;
        for (int32_t v = 0; v < size.verticesPerSpace; ++v) {
            double a = 2 * pi * v / size.verticesPerSpace;
            POINT p;
            p.x = cx + static_cast<int32_t>(std::lround(150 * std::cos(a)));
            p.y = cy + static_cast<int32_t>(std::lround(150 * std::sin(a)));
            s.polygon.push_back(p);
        }
        spaceIds.push_back(pm.CreateSpace(s));
    }

    for (int32_t i = 0; i < size.plants; ++i) {
        Plant p;
        int32_t space = size.spaces > 0 ? i % size.spaces : 0;
        p.spaceId = spaceIds.empty() ? -1 : spaceIds[static_cast<size_t>(space)];
        p.name = Numbered(L"Plant ", i + 1, 6);
        p.position.x = (space % columns) * 400 - 2000 + (i % 11) * 10 - 50;
        p.position.y = (space / columns) * 400 - 2000 + (i % 7) * 10 - 30;
        if (i % 4 == 0) p.notes = L"Water twice a week; mulch in spring.";
        if (i % 3 == 0) p.plantedDate = L"2025-04-" + Numbered(L"", 1 + i % 28, 2);
        plantIds.push_back(pm.CreatePlant(p));
    }

    for (int32_t i = 0; i < size.tasks; ++i) {
        Task t;
        t.name = Numbered(L"Task ", i + 1, 5);
        t.description = (i % 5 == 0) ? WString() : L"Check the beds and note what needs doing.";
        t.completed = i % 3 == 0;
        if (i % 2 == 0) t.dueDate = L"2026-" + Numbered(L"", 1 + i % 12, 2) + L"-" + Numbered(L"", 1 + i % 28, 2);
        taskIds.push_back(pm.CreateTask(t));
    }

    // Pairs (i mod tasks, 7i mod spaces) and (i mod tasks, 13i mod plants) are
    // distinct for the default sizes.
    for (int32_t i = 0; i < size.spaceLinks && size.tasks > 0 && size.spaces > 0; ++i)
        pm.AssignSpaceToTask(taskIds[static_cast<size_t>(i % size.tasks)],
                             spaceIds[static_cast<size_t>((int64_t{i} * 7) % size.spaces)]);
    for (int32_t i = 0; i < size.plantLinks && size.tasks > 0 && size.plants > 0; ++i)
        pm.AssignPlantToTask(taskIds[static_cast<size_t>(i % size.tasks)],
                             plantIds[static_cast<size_t>((int64_t{i} * 13) % size.plants)]);
}
