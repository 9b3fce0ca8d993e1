#include "CanvasHitTest.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "CanvasShapes.h"

// Products and differences are taken in 64 bits: with 32-bit arithmetic a
// polygon spanning more than about 46,000 world units (imported or dragged far
// out) overflows, which is undefined and gives arbitrary answers. Wherever the
// 32-bit result is defined, the 64-bit one is the same.

bool PolygonContainsInt(const std::vector<POINT>& polygon, POINT p) {
    const size_t n = polygon.size();
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const POINT& a = polygon[i];
        const POINT& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            const int64_t num = (int64_t{p.y} - a.y) * (int64_t{b.x} - a.x);
            const int64_t den = int64_t{b.y} - a.y;  // never 0: the ends straddle p.y
            const int64_t xc = num / den + a.x;     // C++ division truncates toward zero
            if (p.x < xc) inside = !inside;
        }
    }
    return inside;
}

bool PolygonContainsFloat(const std::vector<POINT>& polygon, POINT p) {
    const size_t n = polygon.size();
    if (n < 3) return false;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const POINT& a = polygon[i];
        const POINT& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            const double num = static_cast<double>((int64_t{b.x} - a.x) * (int64_t{p.y} - a.y));
            const double den = static_cast<double>(int64_t{b.y} - a.y);
            const double xc = num / (den + 0.0001) + a.x;
            if (xc > p.x) inside = !inside;
        }
    }
    return inside;
}

double OutlineDistance(const std::vector<POINT>& polygon, double x, double y) {
    double nearest = std::numeric_limits<double>::infinity();
    const size_t n = polygon.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const double ax = polygon[j].x, ay = polygon[j].y;
        const double dx = polygon[i].x - ax, dy = polygon[i].y - ay;
        const double length2 = dx * dx + dy * dy;
        // The edge's point nearest to (x, y); a zero-length edge is its end.
        const double t = length2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(x - (ax + t * dx), y - (ay + t * dy)));
    }
    return nearest;
}

bool HasNoArea(const std::vector<POINT>& polygon) {
    // The cross products of 33-bit differences take more than 64 bits.
    const POINT* other = nullptr;  // the first vertex apart from the first
    for (const POINT& p : polygon) {
        if (p.x == polygon[0].x && p.y == polygon[0].y) continue;
        if (!other) {
            other = &p;
            continue;
        }
        const __int128 ax = int64_t{other->x} - polygon[0].x, ay = int64_t{other->y} - polygon[0].y;
        const __int128 bx = int64_t{p.x} - polygon[0].x, by = int64_t{p.y} - polygon[0].y;
        if (ax * by != ay * bx) return false;
    }
    return true;
}

bool PlantIconHit(POINT w, POINT plantPosition) {
    return std::llabs(int64_t{w.x} - plantPosition.x) <= shapes::kMarkerHalf &&
           std::llabs(int64_t{w.y} - plantPosition.y) <= shapes::kMarkerHalf;
}

bool PlantLabelHit(POINT w, POINT plantPosition, int32_t cx, int32_t cy) {
    const int64_t left = int64_t{plantPosition.x} + shapes::kLabelDx;
    const int64_t top = int64_t{plantPosition.y} + shapes::kLabelDy;
    return left <= w.x && w.x <= left + cx && top <= w.y && w.y <= top + cy;
}
