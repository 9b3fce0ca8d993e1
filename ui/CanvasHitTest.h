// Hit tests of the canvas in world units: the two point-in-polygon tests and
// the boxes of a plant's icon and label. Plain C++ apart from the POINT type.
#pragma once

#include <cstdint>
#include <vector>

#include "Records.h"

// Even-odd walk with the crossing x truncated toward zero; used where a plant
// is placed or dragged, so it decides which positions a plant may take.
// A point on a left or top edge counts as inside, on a right or bottom edge as
// outside. An empty polygon contains nothing.
bool PolygonContainsInt(const std::vector<POINT>& polygon, POINT p);

// The same walk with the crossing computed in double precision over a slightly
// widened denominator; used to pick a space with the pointer. Polygons with
// fewer than 3 vertices contain nothing.
bool PolygonContainsFloat(const std::vector<POINT>& polygon, POINT p);

// Distance from (x, y) to the closed outline through the polygon's vertices,
// its closing edge included; one vertex (or one repeated) is a point. Infinite
// for an empty polygon.
double OutlineDistance(const std::vector<POINT>& polygon, double x, double y);

// Whether the polygon encloses no area: fewer than 3 vertices, or all of them
// on one line or one spot (a fence, a path, a pipe).
bool HasNoArea(const std::vector<POINT>& polygon);

// The 32 x 32 marker around a plant's position, edges included (|dx|, |dy| <= 16).
bool PlantIconHit(POINT w, POINT plantPosition);

// The label box drawn at (x + 20, y - 5) with the measured text size (cx, cy),
// all four edges included.
bool PlantLabelHit(POINT w, POINT plantPosition, int32_t cx, int32_t cy);
