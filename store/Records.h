// Value records of the project store. They are plain structures, copied freely;
// records refer to one another only by id.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
// Only the platform's POINT: no min/max macros, nothing else of the API.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windef.h>
#else
// The platform's point type, for the store's native (non-Windows) build.
struct POINT {
    int32_t x;
    int32_t y;
};
#endif

// All text in memory is UTF-16. On Windows wchar_t is a UTF-16 unit; the native
// build keeps one UTF-16 unit per wchar_t as well, so lengths and surrogate
// pairs behave the same in both builds.
using WString = std::wstring;

struct Plant {
    int32_t id = -1;
    int32_t spaceId = -1;
    WString name;
    POINT position{0, 0};
    WString notes;
    WString plantedDate;
    WString createdAt;
    WString updatedAt;
};

// Builders of a fresh task set id -1 and completed false; the initialisers say
// the same so that a task is never read uninitialised.
struct Task {
    int32_t id = -1;
    WString name;
    WString description;
    bool completed = false;
    WString dueDate;  // empty for none, else "%04d-%02d-%02d"
    WString createdAt;
    WString updatedAt;
};

struct Space {
    int32_t id = -1;
    int32_t projectId = -1;
    WString name;
    std::vector<POINT> polygon;  // vertices in drawing order
    std::vector<Plant> plants;   // filled only in copies handed out by the store
    std::vector<Task> tasks;     // never filled
    WString createdAt;
    WString updatedAt;
};

struct ProjectInfo {
    int32_t id = -1;
    WString name;
    WString description;
    WString filePath;
    WString createdAt;
    WString updatedAt;
    int32_t schemaVersion = 0;
};

// (task id, space id) or (task id, plant id).
using TaskLink = std::pair<int32_t, int32_t>;
