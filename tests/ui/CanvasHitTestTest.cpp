#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "CanvasHitTest.h"

namespace {

std::vector<POINT> Square() {
    return {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
}

// Whether the edge (a, b) is crossed by the half-open horizontal line at y:
// one end at or below y (in screen terms above), the other strictly beyond.
bool Straddles(POINT a, POINT b, int32_t y) {
    const int32_t lo = a.y < b.y ? a.y : b.y;
    const int32_t hi = a.y < b.y ? b.y : a.y;
    return lo <= y && y < hi;
}

// num / den truncated toward zero, found by counting instead of dividing.
int64_t TruncatedQuotientByCounting(int64_t num, int64_t den) {
    const int64_t an = std::llabs(num), ad = std::llabs(den);
    int64_t q = 0;
    while ((q + 1) * ad <= an) ++q;
    return ((num < 0) != (den < 0)) ? -q : q;
}

bool ReferenceInt(const std::vector<POINT>& v, POINT p) {
    bool inside = false;
    const size_t n = v.size();
    for (size_t i = 0; i < n; ++i) {
        const POINT a = v[i];
        const POINT b = v[i == 0 ? n - 1 : i - 1];
        if (!Straddles(a, b, p.y)) continue;
        const int64_t xc =
            a.x + TruncatedQuotientByCounting(int64_t{p.y - a.y} * (b.x - a.x), b.y - a.y);
        if (p.x < xc) inside = !inside;
    }
    return inside;
}

// xc = P / (D + 0.0001) + a.x compared with p.x exactly: multiplying by
// 10000 D + 1 (which has the sign of D, since |D| >= 1) keeps everything integral.
bool ReferenceFloat(const std::vector<POINT>& v, POINT p) {
    if (v.size() < 3) return false;
    bool inside = false;
    const size_t n = v.size();
    for (size_t i = 0; i < n; ++i) {
        const POINT a = v[i];
        const POINT b = v[i == 0 ? n - 1 : i - 1];
        if (!Straddles(a, b, p.y)) continue;
        const int64_t P = int64_t{b.x - a.x} * (p.y - a.y);
        const int64_t D = b.y - a.y;
        const int64_t lhs = 10000 * P;
        const int64_t rhs = int64_t{p.x - a.x} * (10000 * D + 1);
        const bool right = D > 0 ? lhs > rhs : lhs < rhs;
        if (right) inside = !inside;
    }
    return inside;
}

// Parity of exact crossings right of p, and whether any crossing lies within
// one unit of p horizontally (where truncation and the widened denominator may
// legitimately disagree with the exact answer).
bool ExactParity(const std::vector<POINT>& v, POINT p, bool* nearEdge) {
    bool inside = false;
    *nearEdge = false;
    const size_t n = v.size();
    for (size_t i = 0; i < n; ++i) {
        const POINT a = v[i];
        const POINT b = v[i == 0 ? n - 1 : i - 1];
        if (!Straddles(a, b, p.y)) continue;
        const double xc = a.x + double(int64_t{p.y - a.y} * (b.x - a.x)) / double(b.y - a.y);
        if (std::abs(xc - p.x) <= 1.0) *nearEdge = true;
        if (xc > p.x) inside = !inside;
    }
    return inside;
}

}  // namespace

TEST(PolygonContains, SquareEdgesFollowTheHalfOpenRule) {
    const auto sq = Square();
    for (auto contains : {PolygonContainsInt, PolygonContainsFloat}) {
        EXPECT_TRUE(contains(sq, {0, 50}));
        EXPECT_TRUE(contains(sq, {50, 0}));
        EXPECT_FALSE(contains(sq, {100, 50}));
        EXPECT_FALSE(contains(sq, {50, 100}));
        EXPECT_TRUE(contains(sq, {50, 50}));
        EXPECT_FALSE(contains(sq, {-1, 50}));
        EXPECT_FALSE(contains(sq, {50, -1}));
        EXPECT_TRUE(contains(sq, {99, 99}));
    }
}

TEST(PolygonContains, DegeneratePolygons) {
    EXPECT_FALSE(PolygonContainsInt({}, {0, 0}));
    EXPECT_FALSE(PolygonContainsFloat({}, {0, 0}));
    // Two vertices: the integer walk still runs, the floating test refuses.
    const std::vector<POINT> two{{0, 0}, {10, 10}};
    EXPECT_FALSE(PolygonContainsFloat(two, {0, 5}));
    EXPECT_EQ(PolygonContainsInt(two, {0, 5}), ReferenceInt(two, {0, 5}));
    const std::vector<POINT> one{{5, 5}};
    EXPECT_FALSE(PolygonContainsInt(one, {5, 5}));
}

TEST(PolygonContains, LargeCoordinatesDoNotOverflow) {
    // Products here exceed 32 bits; the answer must still be the geometric one.
    const std::vector<POINT> tri{{0, 0}, {100000, 0}, {0, 100000}};
    for (auto contains : {PolygonContainsInt, PolygonContainsFloat}) {
        EXPECT_TRUE(contains(tri, {10, 50000}));
        EXPECT_TRUE(contains(tri, {49000, 50000}));
        EXPECT_FALSE(contains(tri, {51000, 50000}));
    }
    const int32_t big = 1000000000;
    const std::vector<POINT> sq{{-big, -big}, {big, -big}, {big, big}, {-big, big}};
    for (auto contains : {PolygonContainsInt, PolygonContainsFloat}) {
        EXPECT_TRUE(contains(sq, {0, 0}));
        EXPECT_TRUE(contains(sq, {big - 10, big - 10}));
        EXPECT_FALSE(contains(sq, {0, big + 5}));
    }
}

TEST(PolygonContains, AgreesWithReferencesOnRandomPolygons) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> coord(-30, 30);
    std::uniform_int_distribution<int> count(3, 9);
    int insideInt = 0, insideFloat = 0, farChecks = 0;
    for (int round = 0; round < 150; ++round) {
        std::vector<POINT> poly(count(rng));
        for (auto& v : poly) v = {coord(rng), coord(rng)};
        if (round % 5 == 0) poly.push_back(poly[1]);            // repeated vertex
        if (round % 7 == 0) poly[2].y = poly[1].y;              // horizontal edge
        std::vector<POINT> probes;
        for (int y = -32; y <= 32; ++y)
            for (int x = -32; x <= 32; ++x) probes.push_back({x, y});
        for (const auto& v : poly) probes.push_back(v);         // vertices themselves
        for (const POINT p : probes) {
            const bool ri = PolygonContainsInt(poly, p);
            const bool rf = PolygonContainsFloat(poly, p);
            ASSERT_EQ(ri, ReferenceInt(poly, p)) << "round " << round << " at " << p.x << "," << p.y;
            ASSERT_EQ(rf, ReferenceFloat(poly, p)) << "round " << round << " at " << p.x << "," << p.y;
            bool nearEdge = false;
            const bool exact = ExactParity(poly, p, &nearEdge);
            if (!nearEdge) {
                ++farChecks;
                ASSERT_EQ(ri, exact) << "round " << round << " at " << p.x << "," << p.y;
                ASSERT_EQ(rf, exact) << "round " << round << " at " << p.x << "," << p.y;
            }
            insideInt += ri;
            insideFloat += rf;
        }
    }
    // The walk must have met both answers many times.
    EXPECT_GT(insideInt, 10000);
    EXPECT_GT(insideFloat, 10000);
    EXPECT_GT(farChecks, 100000);
}

TEST(PolygonContains, VerticesOfATriangle) {
    // Vertices and edge points of a triangle with slanted edges, where truncation
    // toward zero matters on both sides of zero.
    const std::vector<POINT> tri{{-7, -3}, {11, 2}, {-2, 13}};
    for (const POINT p : std::vector<POINT>{{-7, -3}, {11, 2}, {-2, 13}, {0, 0}, {-5, 5}, {2, 8}}) {
        EXPECT_EQ(PolygonContainsInt(tri, p), ReferenceInt(tri, p));
        EXPECT_EQ(PolygonContainsFloat(tri, p), ReferenceFloat(tri, p));
    }
}

TEST(PolygonContains, NearASlantedEdgeTheTwoTestsDiffer) {
    // At y = 1 the edge (0, 0)-(10001, 2) crosses at exactly 5000.5. Walked from
    // (0, 0) the integer test truncates that to 5000 and leaves (5000, 1)
    // outside; the floating test sees 10001 / 2.0001 = 5000.25 and takes it in.
    const std::vector<POINT> tri{{10001, 2}, {0, 0}, {-10, 2}};
    EXPECT_FALSE(PolygonContainsInt(tri, {5000, 1}));
    EXPECT_TRUE(PolygonContainsFloat(tri, {5000, 1}));
    EXPECT_FALSE(ReferenceInt(tri, {5000, 1}));
    EXPECT_TRUE(ReferenceFloat(tri, {5000, 1}));
    EXPECT_TRUE(PolygonContainsInt(tri, {4999, 1}));
    // Walked the other way, from (10001, 2), the offset -5000.5 truncates
    // toward zero and the crossing lands at 5001 instead.
    const std::vector<POINT> reversed{{0, 0}, {10001, 2}, {-10, 2}};
    EXPECT_TRUE(PolygonContainsInt(reversed, {5000, 1}));
    EXPECT_FALSE(PolygonContainsInt(reversed, {5001, 1}));
    EXPECT_TRUE(PolygonContainsFloat(reversed, {5000, 1}));
    EXPECT_FALSE(PolygonContainsFloat(reversed, {5001, 1}));
    // Left of a vertex on a slanted edge the widened denominator moves the
    // crossing a hair to the right, so the edge point itself counts as inside.
    const std::vector<POINT> diamond{{0, -10}, {10, 0}, {0, 10}, {-10, 0}};
    EXPECT_TRUE(PolygonContainsFloat(diamond, {-5, 5}));
    EXPECT_EQ(PolygonContainsFloat(diamond, {-5, 5}), ReferenceFloat(diamond, {-5, 5}));
}

TEST(PlantHitBoxes, IconBoxIsSixteenEachWayInclusive) {
    const POINT plant{200, 300};
    EXPECT_TRUE(PlantIconHit({216, 284}, plant));
    EXPECT_TRUE(PlantIconHit({184, 316}, plant));
    EXPECT_FALSE(PlantIconHit({217, 300}, plant));
    EXPECT_FALSE(PlantIconHit({200, 283}, plant));
    EXPECT_FALSE(PlantIconHit({183, 300}, plant));
}

TEST(PlantHitBoxes, LabelBoxIncludesAllEdges) {
    const POINT plant{200, 300};
    // Label at (220, 295), 40 x 15.
    EXPECT_TRUE(PlantLabelHit({220, 295}, plant, 40, 15));
    EXPECT_TRUE(PlantLabelHit({260, 310}, plant, 40, 15));
    EXPECT_FALSE(PlantLabelHit({219, 300}, plant, 40, 15));
    EXPECT_FALSE(PlantLabelHit({261, 300}, plant, 40, 15));
    EXPECT_FALSE(PlantLabelHit({230, 294}, plant, 40, 15));
    EXPECT_FALSE(PlantLabelHit({230, 311}, plant, 40, 15));
}
