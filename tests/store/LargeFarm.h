// Builds a large in-memory project through the store's own operations, for the
// file, JSON and painting benchmarks and for tests that need a save that takes
// a while.
#pragma once

#include <cstdint>

class ProjectManager;

struct LargeFarmSize {
    int32_t spaces = 2000;
    int32_t verticesPerSpace = 8;
    int32_t plants = 50000;
    int32_t tasks = 5000;
    int32_t spaceLinks = 10000;  // task-space pairs
    int32_t plantLinks = 10000;  // task-plant pairs

    // Every count times `factor`, polygons as they are; for the 1x/2x/4x
    // tables of the benchmarks. The link pairs stay distinct for 1, 2 and 4.
    LargeFarmSize Scaled(int32_t factor) const {
        LargeFarmSize s = *this;
        s.spaces *= factor;
        s.plants *= factor;
        s.tasks *= factor;
        s.spaceLinks *= factor;
        s.plantLinks *= factor;
        return s;
    }
};

// Replaces the store's project with a new in-memory project "Large Farm" of the
// given size. Spaces are octagon-like rings laid out on a grid, plants are
// spread over the spaces in turn, every third task is completed and every
// second has a due date; the link pairs are all distinct.
void BuildLargeFarm(ProjectManager& pm, const LargeFarmSize& size = LargeFarmSize());

// The same records added to the project that is open, with the ids it hands out.
void AddLargeFarm(ProjectManager& pm, const LargeFarmSize& size = LargeFarmSize());
