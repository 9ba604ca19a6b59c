#include "geometry/crossings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "geometry_records.h"
#include "zirkula.h"

namespace zir {
namespace {

using namespace zir::test;
const double h = std::sqrt(75.0);

TEST(LineCross, CrossesOnTheSecondLineInTheFirstLinesLooks) {
    ExpectPoint(LineCross(L(0, 0, 1, 0, 0xFF, 0, 6), L(5, 10, 0, 1, 0xAA, 0, 2)),
                P(5, 0, 0xFF, 6, 0), 0);
    EXPECT_NEAR(LineCross(L(0, 0, 1, 1), L(10, 0, -3, 3)).x, 5, 1e-12);
    // Only an exactly zero determinant means parallel.
    EXPECT_DOUBLE_EQ(LineCross(L(0, 0, 1, 0), L(0, 1, 1, 1e-12)).x, -1e12);
}

TEST(LineCross, ParallelLinesGiveADefinedFarPointInTheMaskColour) {
    for (const Line& other : {L(0, 5, -2, 0), L(7, 0, 4, 0)}) {
        ExpectPoint(LineCross(L(1, 2, 2, 0, 0xFF, 0, 6), other),
                    P(1 + 1e280 * 2, 2, 0xFF00FF, 0, 0), 0);
    }
    ExpectUndefined(LineCross(UndefLine, NanLine));
    ExpectUndefined(LineCross(L(0, 0, 1, 0), UndefLine));
}

TEST(LineCircleCross, OrdersTheCrossingsAlongTheLinesDirection) {
    Point s1{}, s2{};
    EXPECT_EQ(LineCircleCross(L(-20, 0, 1, 0, 0xFF, 0, 3), C(0, 0, 5), s1, s2), 2);
    ExpectPoint(s1, P(-5, 0, 0xFF, 3, 0));
    ExpectPoint(s2, P(5, 0, 0xFF, 3, 0));
    EXPECT_EQ(LineCircleCross(L(20, 0, -1, 0), C(0, 0, 5), s1, s2), 2);
    EXPECT_NEAR(s1.x, 5, 1e-12);
    EXPECT_NEAR(s2.x, -5, 1e-12);
    EXPECT_EQ(LineCircleCross(L(0, 0, 0, -3), C(0, 10, 10), s1, s2), 2);
    EXPECT_NEAR(s1.y, 20, 1e-12);
    EXPECT_NEAR(s2.y, 0, 1e-12);
}

TEST(LineCircleCross, NearlyTouchingCountsAsTangentWithTheFootInBoth) {
    Point s1{}, s2 = P(0, 0, 0, 0, 9);
    EXPECT_EQ(LineCircleCross(L(3, 5.0000005, 1, 0, 0xFF, 0, 3), C(0, 0, 5), s1, s2), 1);
    ExpectPoint(s1, P(0, 5.0000005, 0xFF, 3, 0), 1e-12);
    ExpectPoint(s2, s1, 0);

    EXPECT_EQ(LineCircleCross(L(3, 5.00001, 1, 0, 0xFF, 0, 3), C(0, 0, 5), s1, s2), 0);
    ExpectPoint(s1, P(UndefinedMarker, UndefinedMarker, 0xFF, 3, 0), 0);
}

TEST(LineCircleCross, UndefinedOrDirectionlessInputsCrossNothing) {
    for (auto [l, c] :
         {std::pair{UndefLine, C(0, 0, 5)}, std::pair{L(0, 0, 1, 0), C(UndefinedMarker, 1, 5)},
          std::pair{L(0, 0, 0, 0), C(0, 0, 5)}}) {
        Point s1 = P(1, 1), s2 = P(1, 1);
        EXPECT_EQ(LineCircleCross(l, c, s1, s2), 0);
        EXPECT_EQ(s1.x, UndefinedMarker);
        EXPECT_EQ(s2.y, UndefinedMarker);
    }
}

TEST(SolveEquation2, WritesOnlyTheRootsThatExist) {
    double x1 = 42, x2 = 42;
    EXPECT_EQ(SolveEquation2(1, -2, 1, x1, x2), 1);
    EXPECT_EQ(x1, 1);
    EXPECT_EQ(x2, 42);
    x1 = 42;
    EXPECT_EQ(SolveEquation2(1, 0, 4, x1, x2), 0);
    EXPECT_EQ(x1, 42);
    EXPECT_EQ(SolveEquation2(2, 0, -8, x1, x2), 2);
    EXPECT_EQ(x1, 2);
    EXPECT_EQ(x2, -2);
    // Only an exactly zero discriminant makes a double root.
    EXPECT_EQ(SolveEquation2(1, 0, -1e-14, x1, x2), 2);
    EXPECT_DOUBLE_EQ(x2, -1e-7);
    // Without a square term the linear rest is solved.
    EXPECT_EQ(SolveEquation2(0, 2, -6, x1, x2), 1);
    EXPECT_EQ(x1, 3);
    EXPECT_EQ(SolveEquation2(0, 0, 5, x1, x2), 0);
}

TEST(CircleCross, PutsTheFirstCrossingOnTheRightOfTheCentreLine) {
    Point s1 = P(0, 0, 0, 0, 8), s2 = P(0, 0, 0, 0, 9);
    EXPECT_EQ(CircleCross(C(0, 0, 10, 0xFF, 5), C(10, 0, 10, 0xAA, 1), s1, s2), 2);
    ExpectPoint(s1, P(5, h, 0xFF, 5, 8));
    ExpectPoint(s2, P(5, -h, 0xFF, 5, 9));
    // Walking the other way, the right-hand side is up the screen.
    EXPECT_EQ(CircleCross(C(10, 0, 10), C(0, 0, 10), s1, s2), 2);
    EXPECT_NEAR(s1.y, -h, 1e-9);
    // Centres one above the other take the other elimination.
    EXPECT_EQ(CircleCross(C(0, 0, 5), C(0, 6, 5), s1, s2), 2);
    EXPECT_NEAR(s1.x, -4, 1e-9);
    EXPECT_NEAR(s1.y, 3, 1e-9);
    EXPECT_NEAR(s2.x, 4, 1e-9);
    EXPECT_EQ(CircleCross(C(0, 6, 5), C(0, 0, 5), s1, s2), 2);
    EXPECT_NEAR(s1.x, 4, 1e-9);

    // A slanted pair: both points on both circles, the first where the cross product of the
    // centre line and the point is positive (on the right with y down).
    EXPECT_EQ(CircleCross(C(3, 1, 7), C(9, 9, 6), s1, s2), 2);
    for (const Point& s : {s1, s2}) {
        EXPECT_NEAR(std::hypot(s.x - 3, s.y - 1), 7, 1e-9);
        EXPECT_NEAR(std::hypot(s.x - 9, s.y - 9), 6, 1e-9);
    }
    EXPECT_GT(6 * (s1.y - 1) - 8 * (s1.x - 3), 0);
    EXPECT_LT(6 * (s2.y - 1) - 8 * (s2.x - 3), 0);
}

TEST(CircleCross, CirclesTouchingExactlyCrossOnce) {
    Point s1 = P(0, 0, 0, 0, 8), s2 = P(0, 0, 0, 0, 9);
    EXPECT_EQ(CircleCross(C(0, 0, 5, 0xFF, 2), C(10, 0, 5), s1, s2), 1);
    ExpectPoint(s1, P(5, 0, 0xFF, 2, 8));
    ExpectPoint(s2, s1, 0);
    EXPECT_EQ(CircleCross(C(3, 1, 5), C(9, 9, 5), s1, s2), 1);
    EXPECT_NEAR(s2.x, 6, 1e-9);
    EXPECT_NEAR(s2.y, 5, 1e-9);
}

TEST(CircleCross, SeparateNestedConcentricOrUndefinedCirclesCrossNothing) {
    const Circle undef = C(UndefinedMarker, 1, 5);
    for (auto [c1, c2] : {std::pair{C(0, 0, 5), C(0, 0, 5)}, std::pair{C(0, 0, 10), C(1, 1, 2)},
                          std::pair{C(0, 0, 2), C(10, 0, 2)}, std::pair{undef, C(0, 0, 5)},
                          std::pair{C(0, 0, 5), undef}}) {
        Point s1 = P(1, 1, 0xAB, 3, 4), s2 = P(1, 1, 0xAB, 3, 4);
        EXPECT_EQ(CircleCross(c1, c2, s1, s2), 0);
        ExpectPoint(s1, P(UndefinedMarker, UndefinedMarker, 0xAB, 0, 4), 0);
        ExpectPoint(s2, s1, 0);
    }
}

TEST(IsBetween, TestsTheOpenBoxOrOnlyTheLongSideOfAThinOne) {
    EXPECT_EQ(IsBetween(P(0, 0), P(3, 5), P(10, 10)), -1);
    EXPECT_EQ(IsBetween(P(10, 10), P(3, 5), P(0, 0)), -1);
    EXPECT_EQ(IsBetween(P(0, 0), P(3, 10), P(10, 10)), 0);
    EXPECT_EQ(IsBetween(P(0, 0), P(0, 5), P(10, 10)), 0);
    // Nearly vertical: only y counts; nearly horizontal: only x.
    EXPECT_EQ(IsBetween(P(0, 0), P(3, 5), P(0.5, 10)), -1);
    EXPECT_EQ(IsBetween(P(0, 0), P(3, 10), P(0.5, 10)), 0);
    EXPECT_EQ(IsBetween(P(0, 0), P(5, -3), P(10, 0)), -1);
    // A box small both ways needs both, and a flat one can hold nothing.
    EXPECT_EQ(IsBetween(P(0, 0), P(0.2, 0.2), P(0.5, 0.5)), -1);
    EXPECT_EQ(IsBetween(P(0, 0), P(0.2, 0), P(0.5, 0)), 0);

    EXPECT_EQ(IsBetween(Undef, P(1, 1), P(2, 2)), UndefinedResult);
    EXPECT_EQ(IsBetween(P(0, 0), Undef, P(2, 2)), UndefinedResult);
    EXPECT_EQ(IsBetween(P(0, 0), P(1, 1), Undef), UndefinedResult);
}

TEST(LineIsBetween, ReportsPointsOnTheLineBeforeTestingTheCrossing) {
    Line xAxis = L(0, 0, 1, 0);
    EXPECT_EQ(LineIsBetween(xAxis, P(3, 0.4), P(8, -0.4)), 3);
    EXPECT_EQ(LineIsBetween(xAxis, P(3, 0.4), P(8, 7)), 1);
    EXPECT_EQ(LineIsBetween(xAxis, P(3, 7), P(8, 0.4)), 2);
    EXPECT_EQ(LineIsBetween(xAxis, P(3, 5), P(8, -5)), -1);
    EXPECT_EQ(LineIsBetween(xAxis, P(3, 5), P(8, 9)), 0);
    EXPECT_EQ(LineIsBetween(UndefLine, P(3, 5), P(8, -5)), UndefinedResult);
    EXPECT_EQ(LineIsBetween(xAxis, Undef, P(8, -5)), UndefinedResult);
}

TEST(SetFirst, PutsThePointMetFirstAlongTheLineIntoTheFirstRecord) {
    Point a = P(8, 0, 0xA), b = P(2, 0, 0xB);
    EXPECT_EQ(SetFirst(a, b, L(0, 0, 1, 0)), 0);
    EXPECT_EQ(a.colour, 0xBu);
    EXPECT_EQ(SetFirst(a, b, L(0, 0, 1, 0)), 0);
    EXPECT_EQ(a.colour, 0xBu);
    EXPECT_EQ(SetFirst(a, b, L(0, 0, -1, 0)), 0);
    EXPECT_EQ(a.colour, 0xAu);
    // Equal points are exchanged.
    Point same1 = P(4, 4, 0x1), same2 = P(4, 4, 0x2);
    SetFirst(same1, same2, L(0, 0, 1, 1));
    EXPECT_EQ(same1.colour, 0x2u);
}

TEST(SetFirstAngle, PutsThePointReachedFirstTurningCounterClockwiseFromTheLine) {
    Line up = L(10, 10, 0, -1);
    // Left of the base is a quarter turn from up; right of it three quarters.
    Point a = P(20, 10, 0xA), b = P(0, 10, 0xB);
    EXPECT_EQ(SetFirstAngle(a, b, up), 0);
    EXPECT_EQ(a.colour, 0xBu);
    EXPECT_EQ(SetFirstAngle(a, b, up), 0);
    EXPECT_EQ(a.colour, 0xBu);
    // Just clockwise of the line's direction is nearly a full turn away.
    Point c = P(10.1, 0, 0xC), d = P(10, 20, 0xD);
    EXPECT_EQ(SetFirstAngle(c, d, up), 0);
    EXPECT_EQ(c.colour, 0xDu);
}

TEST(SetSmallerAngle, ExchangesWhenTheSecondIsMoreThanAHalfTurnOn) {
    Line right = L(0, 0, 1, 0, 0xA), down = L(0, 0, 0, 1, 0xB), up = L(0, 0, 0, -1, 0xC);
    EXPECT_EQ(SetSmallerAngle(right, down), 0);
    EXPECT_EQ(right.colour, 0xBu);
    EXPECT_EQ(down.colour, 0xAu);
    EXPECT_EQ(SetSmallerAngle(down, up), 0);
    EXPECT_EQ(down.colour, 0xAu);
}

TEST(Orderings, MoveADefinedRecordFirstAndReportUndefinedOnes) {
    for (auto order : {SetFirst, SetFirstAngle}) {
        Point a = Undef, b = P(1, 1, 0xB);
        EXPECT_EQ(order(a, b, L(0, 0, 1, 0)), -1);
        EXPECT_EQ(a.colour, 0xBu);
        EXPECT_TRUE(IsUndefined(b));
        EXPECT_EQ(order(a, b, L(0, 0, 1, 0)), -1);
        EXPECT_EQ(a.colour, 0xBu);
        Point e = Undef, f = Undef;
        EXPECT_EQ(order(e, f, L(0, 0, 1, 0)), -2);
    }
    Line l1 = UndefLine, l2 = L(0, 0, 1, 0, 0xB), l3 = UndefLine;
    EXPECT_EQ(SetSmallerAngle(l1, l2), -1);
    EXPECT_EQ(l1.colour, 0xBu);
    EXPECT_TRUE(IsUndefined(l2));
    EXPECT_EQ(SetSmallerAngle(l1, l2), -1);
    EXPECT_EQ(l1.colour, 0xBu);
    EXPECT_EQ(SetSmallerAngle(l2, l3), -2);
}

TEST(ExportedCrossings, WriteResultsThroughTheCallersPointers) {
    ZirCircle c1 = C(0, 0, 10), c2 = C(10, 0, 10);
    ZirPoint s1{}, s2{};
    EXPECT_EQ(ZIR_CIRCLECROSS(&c1, &c2, nullptr, &s2), 2);
    EXPECT_NEAR(s2.y, -h, 1e-9);

    double a = 1, b = -2, c = 1, x1 = 0, x2 = 42;
    EXPECT_EQ(ZIR_SOLVEEQUATION2(&a, &b, &c, &x1, &x2), 1);
    EXPECT_EQ(x1, 1);
    EXPECT_EQ(x2, 42);

    ZirPoint first = Undef, second = P(1, 1, 0xB);
    ZirLine l = L(0, 0, 1, 0);
    EXPECT_EQ(ZIR_SETFIRST(&first, &second, &l), -1);
    EXPECT_EQ(first.colour, 0xBu);
    EXPECT_EQ(ZIR_SETFIRST(nullptr, nullptr, &l), -2);
    EXPECT_EQ(ZIR_LINECIRCLECROSS(&l, nullptr, &s1, &s2), 0);
}

}  // namespace
}  // namespace zir
