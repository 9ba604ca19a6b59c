// The crossings and orderings: each row the inputs and the count and points they must give.
#include "geometry/crossings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "geometry_records.h"
#include "zirkula.h"

namespace zir {
namespace {

using namespace zir::test;
const double h = std::sqrt(75.0);
const double U = UndefinedMarker;

TEST(Crossings, TwoLinesCrossOnTheSecondInTheFirstLinesLooks) {
    ExpectPoint(LineCross(L(0, 0, 1, 0, 0xFF, 0, 6), L(5, 10, 0, 1, 0xAA, 0, 2)),
                P(5, 0, 0xFF, 6, 0), 0);
    EXPECT_NEAR(LineCross(L(0, 0, 1, 1), L(10, 0, -3, 3)).x, 5, 1e-12);
    // Only an exactly zero determinant means parallel; parallel lines give a far point.
    EXPECT_DOUBLE_EQ(LineCross(L(0, 0, 1, 0), L(0, 1, 1, 1e-12)).x, -1e12);
    for (const Line& other : {L(0, 5, -2, 0), L(7, 0, 4, 0)}) {
        ExpectPoint(LineCross(L(1, 2, 2, 0, 0xFF, 0, 6), other), P(1 + 2e280, 2, 0xFF00FF, 0, 0),
                    0);
    }
    ExpectUndefined(LineCross(UndefLine, NanLine));
    ExpectUndefined(LineCross(L(0, 0, 1, 0), UndefLine));
}

// The first crossing along the line's direction, or for two circles the one on the right of
// the way from the first centre to the second (y down); a tangent gives its foot twice.
TEST(Crossings, LinesAndCirclesOrderTheirCrossings) {
    const struct {
        const char* what;
        int count;
        Point s1, s2;
        std::function<int(Point&, Point&)> call;
    } rows[] = {
        {"along +x", 2, P(-5, 0, 0xFF, 3, 9), P(5, 0, 0xFF, 3, 8),
         [](Point& a, Point& b) {
             return LineCircleCross(L(-20, 0, 1, 0, 0xFF, 0, 3), C(0, 0, 5), a, b);
         }},
        {"along -x", 2, P(5, 0, 0, 4, 9), P(-5, 0, 0, 4, 8),
         [](Point& a, Point& b) { return LineCircleCross(L(20, 0, -1, 0, 0), C(0, 0, 5), a, b); }},
        {"up", 2, P(0, 20, 0, 4, 9), P(0, 0, 0, 4, 8),
         [](Point& a, Point& b) { return LineCircleCross(L(0, 0, 0, -3, 0), C(0, 10, 10), a, b); }},
        {"nearly touching", 1, P(0, 5.0000005, 0xFF, 3, 0), P(0, 5.0000005, 0xFF, 3, 0),
         [](Point& a, Point& b) {
             return LineCircleCross(L(3, 5.0000005, 1, 0, 0xFF, 0, 3), C(0, 0, 5), a, b);
         }},
        {"passing by", 0, P(U, U, 0xFF, 3, 8), P(U, U, 0xFF, 3, 9),
         [](Point& a, Point& b) {
             return LineCircleCross(L(3, 5.00001, 1, 0, 0xFF, 0, 3), C(0, 0, 5), a, b);
         }},
        {"circles", 2, P(5, h, 0xFF, 5, 8), P(5, -h, 0xFF, 5, 9),
         [](Point& a, Point& b) {
             return CircleCross(C(0, 0, 10, 0xFF, 5), C(10, 0, 10, 0xAA, 1), a, b);
         }},
        {"circles back", 2, P(5, -h, 0, 2, 9), P(5, h, 0, 2, 8),
         [](Point& a, Point& b) { return CircleCross(C(10, 0, 10, 0), C(0, 0, 10), a, b); }},
        {"one above the other", 2, P(-4, 3, 0, 2, 9), P(4, 3, 0, 2, 8),
         [](Point& a, Point& b) { return CircleCross(C(0, 0, 5, 0), C(0, 6, 5), a, b); }},
        {"one below the other", 2, P(4, 3, 0, 2, 8), P(-4, 3, 0, 2, 9),
         [](Point& a, Point& b) { return CircleCross(C(0, 6, 5, 0), C(0, 0, 5), a, b); }},
        {"touching", 1, P(5, 0, 0xFF, 2, 8), P(5, 0, 0xFF, 2, 8),
         [](Point& a, Point& b) { return CircleCross(C(0, 0, 5, 0xFF, 2), C(10, 0, 5), a, b); }},
        {"touching slanted", 1, P(6, 5, 0, 2, 8), P(6, 5, 0, 2, 8),
         [](Point& a, Point& b) { return CircleCross(C(3, 1, 5, 0), C(9, 9, 5), a, b); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        Point s1 = P(1, 1, 0xAB, 7, 8), s2 = P(1, 1, 0xAB, 7, 9);
        EXPECT_EQ(r.call(s1, s2), r.count);
        ExpectPoint(s1, r.s1);
        ExpectPoint(s2, r.s2);
    }
    // A slanted pair: both points on both circles, the first on the right of the way.
    Point s1{}, s2{};
    EXPECT_EQ(CircleCross(C(3, 1, 7), C(9, 9, 6), s1, s2), 2);
    for (const Point& s : {s1, s2}) {
        EXPECT_NEAR(std::hypot(s.x - 3, s.y - 1), 7, 1e-9);
        EXPECT_NEAR(std::hypot(s.x - 9, s.y - 9), 6, 1e-9);
    }
    EXPECT_GT(6 * (s1.y - 1) - 8 * (s1.x - 3), 0);
    EXPECT_LT(6 * (s2.y - 1) - 8 * (s2.x - 3), 0);
}

TEST(Crossings, NothingCrossesWhereNothingCan) {
    const Circle undef = C(U, 1, 5);
    for (auto [c1, c2] : {std::pair{C(0, 0, 5), C(0, 0, 5)},
                          {C(0, 0, 10), C(1, 1, 2)},
                          {C(0, 0, 2), C(10, 0, 2)},
                          {undef, C(0, 0, 5)},
                          {C(0, 0, 5), undef}}) {
        Point s1 = P(1, 1, 0xAB, 3, 4), s2 = P(1, 1, 0xAB, 3, 4);
        EXPECT_EQ(CircleCross(c1, c2, s1, s2), 0);
        ExpectPoint(s1, P(U, U, 0xAB, 0, 4), 0);
        ExpectPoint(s2, s1, 0);
    }
    for (auto [l, c] :
         {std::pair{UndefLine, C(0, 0, 5)}, {L(0, 0, 1, 0), undef}, {L(0, 0, 0, 0), C(0, 0, 5)}}) {
        Point s1 = P(1, 1), s2 = P(1, 1);
        EXPECT_EQ(LineCircleCross(l, c, s1, s2), 0);
        EXPECT_EQ(s1.x + s2.y, 2 * U);
    }
    const ZirLine l = L(0, 0, 1, 0);
    Point s1{}, s2{};
    EXPECT_EQ(ZIR_LINECIRCLECROSS(&l, nullptr, &s1, &s2), 0);
    const ZirCircle c1 = C(0, 0, 10), c2 = C(10, 0, 10);
    EXPECT_EQ(ZIR_CIRCLECROSS(&c1, &c2, nullptr, &s2), 2);
    EXPECT_NEAR(s2.y, -h, 1e-9);
}

TEST(Crossings, QuadraticsWriteOnlyTheRootsThatExist) {
    const struct {
        double a, b, c;
        int count;
        double x1, x2;
    } rows[] = {
        {1, -2, 1, 1, 1, 42},
        {1, 0, 4, 0, 42, 42},
        {2, 0, -8, 2, 2, -2},
        {0, 2, -6, 1, 3, 42},
        {0, 0, 5, 0, 42, 42},            // without a square term: the linear
                                         // rest
        {1, 0, -1e-14, 2, 1e-7, -1e-7},  // only an exactly zero discriminant is a double root
    };
    for (const auto& r : rows) {
        double x1 = 42, x2 = 42;
        EXPECT_EQ(SolveEquation2(r.a, r.b, r.c, x1, x2), r.count)
            << r.a << " " << r.b << " " << r.c;
        EXPECT_NEAR(x1, r.x1, 1e-20);
        EXPECT_NEAR(x2, r.x2, 1e-20);
    }
    double a = 1, b = -2, c = 1, x1 = 0, x2 = 42;
    EXPECT_EQ(ZIR_SOLVEEQUATION2(&a, &b, &c, &x1, &x2), 1);
    EXPECT_EQ(x1 + x2, 43);
}

TEST(Crossings, BetweenTestsTheOpenBoxOrOnlyTheLongSideOfAThinOne) {
    const Line xAxis = L(0, 0, 1, 0);
    const struct {
        int got, want;
    } rows[] = {
        {IsBetween(P(0, 0), P(3, 5), P(10, 10)), -1},
        {IsBetween(P(10, 10), P(3, 5), P(0, 0)), -1},
        {IsBetween(P(0, 0), P(3, 10), P(10, 10)), 0},
        {IsBetween(P(0, 0), P(0, 5), P(10, 10)), 0},
        {IsBetween(P(0, 0), P(3, 5), P(0.5, 10)), -1},  // nearly vertical: only y counts
        {IsBetween(P(0, 0), P(3, 10), P(0.5, 10)), 0},
        {IsBetween(P(0, 0), P(5, -3), P(10, 0)), -1},  // nearly horizontal: only x
        {IsBetween(P(0, 0), P(0.2, 0.2), P(0.5, 0.5)), -1},
        {IsBetween(P(0, 0), P(0.2, 0), P(0.5, 0)), 0},
        {IsBetween(Undef, P(1, 1), P(2, 2)), UndefinedResult},
        {IsBetween(P(0, 0), Undef, P(2, 2)), UndefinedResult},
        {IsBetween(P(0, 0), P(1, 1), Undef), UndefinedResult},
        // Points on the line are reported before the crossing is tested.
        {LineIsBetween(xAxis, P(3, 0.4), P(8, -0.4)), 3},
        {LineIsBetween(xAxis, P(3, 0.4), P(8, 7)), 1},
        {LineIsBetween(xAxis, P(3, 7), P(8, 0.4)), 2},
        {LineIsBetween(xAxis, P(3, 5), P(8, -5)), -1},
        {LineIsBetween(xAxis, P(3, 5), P(8, 9)), 0},
        {LineIsBetween(UndefLine, P(3, 5), P(8, -5)), UndefinedResult},
        {LineIsBetween(xAxis, Undef, P(8, -5)), UndefinedResult},
    };
    for (std::size_t k = 0; k < std::size(rows); ++k) EXPECT_EQ(rows[k].got, rows[k].want) << k;
}

// Each row: the two points, the line, and which point must come first afterwards.
TEST(Crossings, OrderingsPutTheFirstPointFirst) {
    const Line right = L(0, 0, 1, 0), up = L(10, 10, 0, -1);
    const struct {
        std::int32_t (*order)(Point&, Point&, const Line&);
        Point a, b;
        Line l;
        std::int32_t result;
        std::uint32_t first;
    } rows[] = {
        {SetFirst, P(8, 0, 0xA), P(2, 0, 0xB), right, 0, 0xB},
        {SetFirst, P(2, 0, 0xA), P(8, 0, 0xB), right, 0, 0xA},
        {SetFirst, P(2, 0, 0xA), P(8, 0, 0xB), L(0, 0, -1, 0), 0, 0xB},
        {SetFirst, P(4, 4, 0xA), P(4, 4, 0xB), L(0, 0, 1, 1), 0, 0xB},  // equal: exchanged
        // Counter-clockwise from the line: left of the base a quarter turn, right three.
        {SetFirstAngle, P(20, 10, 0xA), P(0, 10, 0xB), up, 0, 0xB},
        {SetFirstAngle, P(0, 10, 0xA), P(20, 10, 0xB), up, 0, 0xA},
        {SetFirstAngle, P(10.1, 0, 0xA), P(10, 20, 0xB), up, 0, 0xB},  // nearly a full turn
        {SetFirstAngle, P(10, 0, 0xA), P(0, 10, 0xB), up, 0, 0xA},     // on the line: no turn
        {SetFirstAngle, P(0, 10, 0xA), P(10, 0, 0xB), up, 0, 0xB},
        {SetFirstAngle, P(0, 10, 0xA), P(-10, 10, 0xB), up, 0, 0xA},  // the same turn: kept
        {SetFirst, Undef, P(1, 1, 0xB), right, -1, 0xB},
        {SetFirst, P(1, 1, 0xA), Undef, right, -1, 0xA},
        {SetFirstAngle, Undef, P(1, 1, 0xB), right, -1, 0xB},
        {SetFirstAngle, P(1, 1, 0xA), Undef, right, -1, 0xA},
        {SetFirst, Undef, Undef, right, -2, Undef.colour},
        {SetFirstAngle, Undef, Undef, right, -2, Undef.colour},
    };
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        Point a = rows[k].a, b = rows[k].b;
        EXPECT_EQ(rows[k].order(a, b, rows[k].l), rows[k].result) << k;
        EXPECT_EQ(a.colour, rows[k].first) << k;
        if (rows[k].result == -1) {
            EXPECT_TRUE(IsUndefined(b)) << k;
        }
    }
    ZirPoint first = Undef, second = P(1, 1, 0xB);
    const ZirLine l = right;
    EXPECT_EQ(ZIR_SETFIRST(&first, &second, &l), -1);
    EXPECT_EQ(first.colour, 0xBu);
    EXPECT_EQ(ZIR_SETFIRST(nullptr, nullptr, &l), -2);

    Line l1 = L(0, 0, 1, 0, 0xA), l2 = L(0, 0, 0, 1, 0xB), l3 = L(0, 0, 0, -1, 0xC);
    EXPECT_EQ(SetSmallerAngle(l1, l2), 0);  // three quarters on: exchanged
    EXPECT_EQ(l1.colour + 16 * l2.colour, 0xBu + 16 * 0xA);
    EXPECT_EQ(SetSmallerAngle(l2, l3), 0);
    EXPECT_EQ(l2.colour, 0xAu);
    Line u1 = UndefLine, u2 = UndefLine;
    EXPECT_EQ(SetSmallerAngle(u1, l3), -1);
    EXPECT_EQ(u1.colour, 0xCu);
    EXPECT_TRUE(IsUndefined(l3));
    EXPECT_EQ(SetSmallerAngle(l3, u2), -2);
}

}  // namespace
}  // namespace zir
