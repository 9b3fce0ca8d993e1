// libFuzzer target: ParsePolygonData on arbitrary text. It never fails and
// reads no member; besides the sanitizers' findings it aborts when it returns
// more points than the text can hold (each needs an object of at least
// {"x":0,"y":0}, 13 bytes).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProjectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<POINT> points = ProjectManager::ParsePolygonData(text);
    if (points.size() * 13 > size) {
        std::fprintf(stderr, "%zu points from %zu bytes\n", points.size(), size);
        std::abort();
    }
    return 0;
}
