#include "geometry/kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "geometry_records.h"
#include "runtime/runstate.h"
#include "zirkula.h"

namespace zir {
namespace {

using namespace zir::test;
constexpr double pi = std::numbers::pi;

TEST(MakeLine, RunsFromTheFirstPointWithItsColourAndTheDefaultStyle) {
    ExpectLine(MakeLine(P(1, 2, 0x00FF00), P(4, 6)), L(1, 2, 3, 4, 0x00FF00, 0xFFFF, 1), 0);
    // Equal points still make a defined, horizontal line.
    ExpectLine(MakeLine(P(5, 5, 0xAA), P(5, 5)), L(5, 5, 0.000001, 0, 0xAA, 0xFFFF, 1), 0);
}

TEST(MakeLine, TheKernelsLinesAreSolidAndTheExportedOnesTakeTheDefaultStyleAndWidth) {
    Settings().lineStyle = 0xF0F0;
    Settings().lineWidth = 3;
    const ZirPoint a{1, 2, 0x123456, 8, 0}, b{5, 2, 0, 8, 0};
    const double angle = 0.5;
    const ZirLine unset = L(0, 0, 1, 0);
    const Line lines[] = {MakeLine(a, b), MakeLinePolar(a, angle), ZIR_MAKELINE(&a, &b),
                          ZIR_MAKELINEPOLAR(&a, &angle), ZIR_MAKEANGLE(&a, &unset, &angle)};
    ResetSettings();
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(lines[k].style, k < 2 ? 0xFFFF : 0xF0F0) << k;
        EXPECT_EQ(lines[k].width, k < 2 ? 1 : 3) << k;
    }
}

TEST(MakeLinePolar, DirectionHasLength100AndAQuarterTurnPointsUpTheScreen) {
    ExpectLine(MakeLinePolar(P(3, 4, 0xFF), 0), L(3, 4, 100, 0, 0xFF, 0xFFFF, 1), 0);
    ExpectLine(MakeLinePolar(P(0, 0, 0xFF), pi / 2), L(0, 0, 0, -100, 0xFF, 0xFFFF, 1), 1e-12);
}

TEST(Distances, AreEuclideanAndPerpendicularOnEitherSide) {
    EXPECT_EQ(Distance(P(1, 1), P(4, 5)), 5.0);
    Line xAxis = L(0, 0, 1, 0);
    EXPECT_EQ(LineDistance(P(0, 5), xAxis), 5.0);
    EXPECT_EQ(LineDistance(P(0, -5), xAxis), 5.0);
    EXPECT_EQ(LineDistance(P(7, 7), L(1, 1, 3, 3)), 0.0);
    EXPECT_DOUBLE_EQ(LineDistance(P(0, 2), L(0, 0, -2, -2)), std::sqrt(2.0));
    // A line without direction counts as its base point.
    EXPECT_EQ(LineDistance(P(3, 4), L(0, 0, 0, 0)), 5.0);
}

TEST(AdvanceOnLine, MovesTheSignedDistanceAlongTheDirectionWithThePointsLooks) {
    Line diagonal = L(100, 100, 30, 40);
    ExpectPoint(AdvanceOnLine(P(0, 0, 0xA, 9, 2), diagonal, 10), P(6, 8, 0xA, 9, 2));
    ExpectPoint(AdvanceOnLine(P(0, 0), diagonal, -10), P(-6, -8));
    ExpectUndefined(AdvanceOnLine(P(1, 1), L(0, 0, 0, 0), 5));
}

TEST(AdvanceToPoint, MovesTowardsTheSecondPointAndNeedsTwoPoints) {
    ExpectPoint(AdvanceToPoint(P(1, 1, 0xA, 6, 1), P(1, 11), 4), P(1, 5, 0xA, 6, 1), 0);
    ExpectPoint(AdvanceToPoint(P(1, 1), P(1, 11), -4), P(1, -3), 0);
    ExpectUndefined(AdvanceToPoint(P(5, 5), P(5, 5), 3));
}

TEST(MakeRightAngle, TurnsTheDirectionAQuarterAndKeepsTheLinesLooks) {
    ExpectLine(MakeRightAngle(P(2, 3), L(0, 0, 4, 1, 0xFF, 0x0F0F, 3)),
               L(2, 3, -1, 4, 0xFF, 0x0F0F, 3), 0);
}

TEST(RectOver, ErectsTheFarCornersOnTheSideOfTheTurnedDirection) {
    Point c = P(0, 0, 0, 0, 11), d = P(0, 0, 0, 0, 12);
    EXPECT_EQ(RectOver(P(0, 0, 0xA, 3), P(10, 0, 0xB, 4), 5, c, d), 0);
    ExpectPoint(c, P(0, 5, 0xA, 3, 11), 0);
    ExpectPoint(d, P(10, 5, 0xB, 4, 12), 0);
    EXPECT_EQ(RectOver(P(10, 0), P(0, 0), 5, c, d), 0);
    EXPECT_EQ(c.y, -5);
    EXPECT_EQ(d.y, -5);
}

TEST(RectOver, UndefinedOrCoincidentCornersGiveUndefinedCornersAndKeepTheirLooks) {
    for (auto [a, b] :
         {std::pair{Undef, P(1, 1)}, std::pair{P(1, 1), Undef}, std::pair{P(2, 2), P(2, 2)}}) {
        Point c = P(0, 0, 0xC, 1, 1), d = P(0, 0, 0xD, 2, 2);
        EXPECT_EQ(RectOver(a, b, 5, c, d), UndefinedResult);
        ExpectPoint(c, P(UndefinedMarker, UndefinedMarker, 0xC, 1, 1), 0);
        ExpectPoint(d, P(UndefinedMarker, UndefinedMarker, 0xD, 2, 2), 0);
    }
}

TEST(MakeAngle, AddsTheAngleToTheLinesWithoutNormalising) {
    ExpectLine(MakeAngle(P(1, 2, 0xFF), L(0, 0, 0, -5), pi / 2), L(1, 2, -100, 0, 0xFF, 0xFFFF, 1),
               1e-12);
    // Three quarters plus three quarters is one and a half turns: pointing left.
    EXPECT_DOUBLE_EQ(MakeAngle(P(0, 0), L(0, 0, 0, 5), 3 * pi / 2).dx, -100);
}

TEST(RotatePoint, TurnsCounterClockwiseOnTheScreen) {
    ExpectPoint(RotatePoint(P(10, 0, 0xC, 6, 2), P(0, 0), pi / 2), P(0, -10, 0xC, 6, 2), 1e-12);
    ExpectPoint(RotatePoint(P(7, 5), P(5, 5), pi), P(3, 5), 1e-12);
}

TEST(AbsAngle, LiesInTheHalfOpenTurnWithYDown) {
    double right = AbsAngle(L(0, 0, 1, 0));
    EXPECT_EQ(right, 0.0);
    EXPECT_FALSE(std::signbit(right));
    // -pi plus the program's 2 pi, a little above the program's pi.
    double left = AbsAngle(L(0, 0, -1, 0));
    EXPECT_EQ(left, -pi + TwoPi);
    EXPECT_GT(left, Pi);
    EXPECT_NEAR(AbsAngle(L(0, 0, 0, 1)), 3 * pi / 2, 1e-12);
    EXPECT_NEAR(AbsAngle(L(0, 0, 0, -1)), pi / 2, 1e-15);
}

TEST(Angle, IsTheCounterClockwiseTurnFromTheFirstToTheSecond) {
    Line right = L(0, 0, 1, 0), up = L(0, 0, 0, -1), left = L(0, 0, -1, 0), down = L(0, 0, 0, 1);
    EXPECT_EQ(Angle(up, up), 0.0);
    EXPECT_NEAR(Angle(right, up), pi / 2, 1e-15);
    EXPECT_NEAR(Angle(up, right), 3 * pi / 2, 1e-12);
    EXPECT_NEAR(Angle(right, left), pi, 1e-12);
    EXPECT_NEAR(Angle(left, right), pi, 1e-12);
    for (const Line& a : {right, up, left, down, L(0, 0, 3, -7)}) {
        for (const Line& b : {right, up, left, down, L(5, 5, -2, 9)}) {
            if (AbsAngle(a) == AbsAngle(b)) continue;
            EXPECT_NEAR(Angle(a, b) + Angle(b, a), TwoPi, 1e-12);
        }
    }
}

TEST(MakeArc, IsCentredOnThePointWithItsLooks) {
    Circle arc = MakeArc(P(10, 10), P(10, 0, 0xFF, -2), pi / 2);
    EXPECT_EQ(arc.cx, 10);
    EXPECT_EQ(arc.cy, 10);
    EXPECT_EQ(arc.r, 10);
    EXPECT_NEAR(arc.start, pi / 4, 1e-15);
    EXPECT_NEAR(arc.end, 3 * pi / 4, 1e-15);
    EXPECT_EQ(arc.colour, 0xFFu);
    EXPECT_EQ(arc.width, -2);
}

TEST(MakeArc, AnglesAreNormalisedSeparately) {
    Circle arc = MakeArc(P(0, 0), P(5, 0), pi / 2);
    EXPECT_NEAR(arc.start, 7 * pi / 4, 1e-12);
    EXPECT_NEAR(arc.end, pi / 4, 1e-15);

    Circle whole = MakeArc(P(0, 0), P(5, 0), 0);
    EXPECT_EQ(whole.start, 0.0);
    EXPECT_EQ(whole.end, 0.0);
    EXPECT_FALSE(std::signbit(whole.start));

    // A full turn is an arc from half a turn to half a turn, not the whole-circle record.
    Circle turn = MakeArc(P(0, 0), P(5, 0), TwoPi);
    EXPECT_EQ(turn.start, turn.end);
    EXPECT_NEAR(turn.start, pi, 1e-14);

    // Exactly 2 pi is a valid end and stays.
    Circle twoTurns = MakeArc(P(0, 0), P(5, 0), 2 * TwoPi);
    EXPECT_EQ(twoTurns.start, 0.0);
    EXPECT_EQ(twoTurns.end, TwoPi);
}

TEST(MakeArc, HugeOrNonFiniteWidthsEndInRange) {
    for (double w : {1e300, -1e300, 4e6, std::numeric_limits<double>::infinity(), Nan}) {
        Circle arc = MakeArc(P(0, 0), P(5, 0), w);
        EXPECT_TRUE(arc.start >= 0 && arc.start <= TwoPi) << w;
        EXPECT_TRUE(arc.end >= 0 && arc.end <= TwoPi) << w;
    }
}

TEST(ArcEnds, GivesThePointsAtStartAndEndInTheArcsLooks) {
    Point e1{}, e2{};
    Circle arc{5, 5, 10, 0, pi / 2, 0xFF, 0x10003};
    EXPECT_EQ(ArcEnds(arc, e1, e2), 0);
    ExpectPoint(e1, P(15, 5, 0xFF, 3, 0), 1e-12);
    ExpectPoint(e2, P(5, -5, 0xFF, 3, 0), 1e-12);

    e1 = P(1, 1, 0xA, 2, 3);
    e2 = P(1, 1, 0xB, 4, 5);
    EXPECT_EQ(ArcEnds(UndefinedCircle(), e1, e2), UndefinedResult);
    ExpectPoint(e1, P(UndefinedMarker, UndefinedMarker, 0xA, 2, 3), 0);
    ExpectPoint(e2, P(UndefinedMarker, UndefinedMarker, 0xB, 4, 5), 0);
}

TEST(Equation, RoundTripsAndMapsStyleAndWidthByMeaning) {
    Equation e = VectorialToEquat(L(2, 3, 2, 4, 0xFF, 0xF00F, 5));
    EXPECT_EQ(e.m, 2);
    EXPECT_EQ(e.b, -1);
    EXPECT_EQ(e.colour, 0xFFu);
    EXPECT_EQ(e.style, 0xF00F);
    EXPECT_EQ(e.width, 5);
    ExpectLine(EquatToVectorial(e), L(0, -1, 1, 2, 0xFF, 0xF00F, 5), 0);
}

TEST(Equation, VerticalLinesKeepTheirXInTheIntercept) {
    Equation e = VectorialToEquat(L(7, 3, 0, -2, 0xFF, 0xF00F, 5));
    EXPECT_EQ(e.m, UndefinedMarker);
    EXPECT_EQ(e.b, 7);
    EXPECT_FALSE(IsUndefined(e));
    ExpectLine(EquatToVectorial(e), L(7, 7, 0, 1, 0xFF, 0xF00F, 5), 0);
}

TEST(Equation, UndefinedRecordsConvertToUndefinedRecords) {
    Equation e = VectorialToEquat(UndefLine);
    EXPECT_EQ(e.m, UndefinedMarker);
    EXPECT_EQ(e.b, UndefinedMarker);
    EXPECT_EQ(e.colour + e.width + e.style, 0u);
    ExpectUndefined(EquatToVectorial(Equation{1, UndefinedMarker, 5, 5, 5}));
}

TEST(LineDistanceEquat, MeasuresToTheSlopedOrVerticalLine) {
    EXPECT_DOUBLE_EQ(LineDistanceEquat(P(0, 2), Equation{1, 0, 0, 0, 0}), std::sqrt(2.0));
    EXPECT_NEAR(LineDistanceEquat(P(3, 3), Equation{1, 0, 0, 0, 0}), 0, 1e-12);
    EXPECT_DOUBLE_EQ(LineDistanceEquat(P(0, 9), Equation{0, 4, 0, 0, 0}), 5);
    EXPECT_EQ(LineDistanceEquat(P(2, 9), Equation{UndefinedMarker, 5, 0, 0, 0}), 3);
}

// An undefined input decides the result before any other input is computed with, so values
// that would turn everything into NaN never reach the result.
TEST(UndefinedInputs, GiveTheStatedResultWithoutComputingWithTheOthers) {
    ExpectUndefined(MakeLine(Undef, NanPoint));
    ExpectUndefined(MakeLine(NanPoint, Undef));
    ExpectUndefined(MakeLinePolar(Undef, Nan));
    EXPECT_EQ(Distance(Undef, NanPoint), 0.0);
    EXPECT_EQ(LineDistance(NanPoint, UndefLine), 0.0);
    EXPECT_EQ(LineDistanceEquat(NanPoint, UndefinedEquation()), 0.0);
    ExpectUndefined(AdvanceOnLine(Undef, NanLine, Nan));
    ExpectUndefined(AdvanceOnLine(NanPoint, UndefLine, Nan));
    ExpectUndefined(AdvanceToPoint(NanPoint, Undef, Nan));
    ExpectUndefined(MakeRightAngle(Undef, NanLine));
    ExpectUndefined(MakeRightAngle(NanPoint, UndefLine));
    ExpectUndefined(MakeAngle(NanPoint, UndefLine, Nan));
    ExpectUndefined(RotatePoint(Undef, NanPoint, Nan));
    ExpectUndefined(RotatePoint(NanPoint, Undef, Nan));
    EXPECT_EQ(AbsAngle(UndefLine), UndefinedMarker);
    EXPECT_EQ(Angle(NanLine, UndefLine), UndefinedMarker);
    EXPECT_EQ(Angle(UndefLine, NanLine), UndefinedMarker);
    for (Circle arc : {MakeArc(NanPoint, Undef, Nan), MakeArc(Undef, NanPoint, Nan)}) {
        EXPECT_EQ(arc.cx, UndefinedMarker);
        EXPECT_EQ(arc.cy, UndefinedMarker);
        EXPECT_EQ(arc.r + arc.start + arc.end, 0.0);
        EXPECT_EQ(arc.colour, 0u);
        EXPECT_EQ(arc.width, 0);
    }
}

// Outside callers pass everything by pointer; null records count as undefined.
TEST(ExportedKernel, PassesRecordsAndNumbersByPointer) {
    ZirPoint a = P(2, 3), b = P(4, 7), right = P(12, 3);
    ZirLine l = ZIR_MAKELINE(&a, &b);
    EXPECT_EQ(l.dx, 2);
    double d = 10, w = 0;
    EXPECT_DOUBLE_EQ(Distance(a, ZIR_ADVANCEONLINE(&a, &l, &d)), 10);
    ZirCircle whole = ZIR_MAKEARC(&a, &right, &w);
    EXPECT_EQ(whole.r, 10);
    EXPECT_EQ(whole.end, 0);
    EXPECT_EQ(ZIR_VECTORIALTOEQUAT(&l).b, -1);

    ExpectUndefined(ZIR_MAKELINE(&a, nullptr));
    EXPECT_EQ(ZIR_ABSANGLE(nullptr), UndefinedMarker);
    EXPECT_EQ(ZIR_MAKELINEPOLAR(&a, nullptr).dx, 100);
    ZirPoint c{};
    double h = 5;
    EXPECT_EQ(ZIR_RECTOVER(&a, &right, &h, &c, nullptr), 0);
    EXPECT_EQ(c.y, 8);
}

}  // namespace
}  // namespace zir
