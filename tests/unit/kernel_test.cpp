#include "geometry/kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace zir {
namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

Point P(double x, double y, std::uint32_t colour = 0x123456, std::int16_t size = 7,
        std::int16_t shape = 3) {
    return Point{x, y, colour, size, shape};
}

Line L(double x, double y, double dx, double dy, std::uint32_t colour = 0xABCDEF,
       std::uint16_t style = 0xF0F0, std::int16_t width = 4) {
    return Line{x, y, dx, dy, colour, style, width};
}

// Undefined results carry the marker in both coordinates and nothing else.
void ExpectUndefined(const Point& p) {
    EXPECT_EQ(p.x, UndefinedMarker);
    EXPECT_EQ(p.y, UndefinedMarker);
    EXPECT_EQ(p.colour, 0u);
    EXPECT_EQ(p.size, 0);
    EXPECT_EQ(p.shape, 0);
}

void ExpectUndefined(const Line& l) {
    EXPECT_EQ(l.x, UndefinedMarker);
    EXPECT_EQ(l.y, UndefinedMarker);
    EXPECT_EQ(l.dx, 0.0);
    EXPECT_EQ(l.dy, 0.0);
    EXPECT_EQ(l.colour, 0u);
    EXPECT_EQ(l.style, 0);
    EXPECT_EQ(l.width, 0);
}

const Point Undef = P(UndefinedMarker, 1, 0x111111, 5, 5);
const Line UndefLine = L(UndefinedMarker, 1, 1, 1);
// An input whose values would poison any computation that read them.
const Point NanPoint = P(Nan, Nan);
const Line NanLine = L(Nan, Nan, Nan, Nan);

TEST(MakeLine, RunsFromTheFirstPointToTheSecondInTheFirstPointsColour) {
    Line l = MakeLine(P(1, 2, 0x00FF00), P(4, 6, 0x0000FF));
    EXPECT_EQ(l.x, 1);
    EXPECT_EQ(l.y, 2);
    EXPECT_EQ(l.dx, 3);
    EXPECT_EQ(l.dy, 4);
    EXPECT_EQ(l.colour, 0x00FF00u);
    EXPECT_EQ(l.style, 0xFFFF);
    EXPECT_EQ(l.width, 1);
}

TEST(MakeLine, EqualPointsGiveAShortHorizontalDirection) {
    Line l = MakeLine(P(5, 5), P(5, 5));
    EXPECT_FALSE(IsUndefined(l));
    EXPECT_EQ(l.dx, 0.000001);
    EXPECT_EQ(l.dy, 0.0);
}

TEST(MakeLinePolar, DirectionHasLength100AndAQuarterTurnPointsUpTheScreen) {
    Line right = MakeLinePolar(P(3, 4, 0x0000FF), 0);
    EXPECT_EQ(right.dx, 100);
    EXPECT_EQ(right.dy, 0);
    EXPECT_EQ(right.colour, 0x0000FFu);
    EXPECT_EQ(right.style, 0xFFFF);
    EXPECT_EQ(right.width, 1);
    Line up = MakeLinePolar(P(0, 0), std::numbers::pi / 2);
    EXPECT_NEAR(up.dx, 0, 1e-12);
    EXPECT_DOUBLE_EQ(up.dy, -100);
}

TEST(Distance, IsEuclideanAndZeroForAnUndefinedPoint) {
    EXPECT_EQ(Distance(P(1, 1), P(4, 5)), 5.0);
    EXPECT_EQ(Distance(Undef, P(4, 5)), 0.0);
    EXPECT_EQ(Distance(P(4, 5), Undef), 0.0);
}

TEST(LineDistance, IsThePerpendicularDistanceOnEitherSide) {
    Line xAxis = L(0, 0, 1, 0);
    EXPECT_EQ(LineDistance(P(0, 5), xAxis), 5.0);
    EXPECT_EQ(LineDistance(P(0, -5), xAxis), 5.0);
    EXPECT_EQ(LineDistance(P(7, 7), L(1, 1, 3, 3)), 0.0);
    EXPECT_DOUBLE_EQ(LineDistance(P(0, 2), L(0, 0, -2, -2)), std::sqrt(2.0));
    EXPECT_EQ(LineDistance(Undef, xAxis), 0.0);
    EXPECT_EQ(LineDistance(P(0, 5), UndefLine), 0.0);
}

TEST(LineDistance, ALineWithoutDirectionCountsAsItsBasePoint) {
    EXPECT_EQ(LineDistance(P(3, 4), L(0, 0, 0, 0)), 5.0);
}

TEST(AdvanceOnLine, MovesTheSignedDistanceAlongTheDirectionWithThePointsLooks) {
    Line diagonal = L(100, 100, 30, 40);
    Point ahead = AdvanceOnLine(P(0, 0, 0x010203, 9, 2), diagonal, 10);
    EXPECT_DOUBLE_EQ(ahead.x, 6);
    EXPECT_DOUBLE_EQ(ahead.y, 8);
    EXPECT_EQ(ahead.colour, 0x010203u);
    EXPECT_EQ(ahead.size, 9);
    EXPECT_EQ(ahead.shape, 2);
    Point back = AdvanceOnLine(P(0, 0), diagonal, -10);
    EXPECT_DOUBLE_EQ(back.x, -6);
    EXPECT_DOUBLE_EQ(back.y, -8);
}

TEST(AdvanceOnLine, ALineWithoutDirectionGivesAnUndefinedPoint) {
    ExpectUndefined(AdvanceOnLine(P(1, 1), L(0, 0, 0, 0), 5));
}

TEST(AdvanceToPoint, MovesTowardsTheSecondPoint) {
    Point p = AdvanceToPoint(P(1, 1, 0x0A0B0C, 6, 1), P(1, 11, 0xFFFFFF, 2, 2), 4);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 5);
    EXPECT_EQ(p.colour, 0x0A0B0Cu);
    EXPECT_EQ(p.size, 6);
    EXPECT_EQ(p.shape, 1);
    Point away = AdvanceToPoint(P(1, 1), P(1, 11), -4);
    EXPECT_EQ(away.y, -3);
}

TEST(AdvanceToPoint, EqualPointsGiveAnUndefinedPoint) {
    ExpectUndefined(AdvanceToPoint(P(5, 5), P(5, 5), 3));
}

TEST(MakeRightAngle, TurnsTheDirectionAQuarterAndKeepsTheLinesLooks) {
    Line r = MakeRightAngle(P(2, 3), L(0, 0, 4, 1, 0x00FF00, 0x0F0F, 3));
    EXPECT_EQ(r.x, 2);
    EXPECT_EQ(r.y, 3);
    EXPECT_EQ(r.dx, -1);
    EXPECT_EQ(r.dy, 4);
    EXPECT_EQ(r.colour, 0x00FF00u);
    EXPECT_EQ(r.style, 0x0F0F);
    EXPECT_EQ(r.width, 3);
}

TEST(RectOver, ErectsTheFarCornersOnTheSideOfTheTurnedDirection) {
    Point c = P(0, 0, 0, 0, 11), d = P(0, 0, 0, 0, 12);
    EXPECT_EQ(RectOver(P(0, 0, 0xAA, 3), P(10, 0, 0xBB, 4), 5, c, d), 0);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 5);
    EXPECT_EQ(d.x, 10);
    EXPECT_EQ(d.y, 5);
    EXPECT_EQ(c.colour, 0xAAu);
    EXPECT_EQ(c.size, 3);
    EXPECT_EQ(d.colour, 0xBBu);
    EXPECT_EQ(d.size, 4);
    EXPECT_EQ(c.shape, 11);
    EXPECT_EQ(d.shape, 12);

    EXPECT_EQ(RectOver(P(10, 0), P(0, 0), 5, c, d), 0);
    EXPECT_EQ(c.y, -5);
    EXPECT_EQ(d.y, -5);
}

TEST(RectOver, UndefinedOrCoincidentCornersGiveUndefinedCornersAndKeepTheirLooks) {
    for (auto [a, b] :
         {std::pair{Undef, P(1, 1)}, std::pair{P(1, 1), Undef}, std::pair{P(2, 2), P(2, 2)}}) {
        Point c = P(0, 0, 0xC0, 1, 1), d = P(0, 0, 0xD0, 2, 2);
        EXPECT_EQ(RectOver(a, b, 5, c, d), UndefinedResult);
        EXPECT_EQ(c.x, UndefinedMarker);
        EXPECT_EQ(c.y, UndefinedMarker);
        EXPECT_EQ(d.x, UndefinedMarker);
        EXPECT_EQ(d.y, UndefinedMarker);
        EXPECT_EQ(c.colour, 0xC0u);
        EXPECT_EQ(d.size, 2);
    }
}

TEST(MakeAngle, AddsTheAngleToTheLinesAbsoluteAngleWithoutNormalising) {
    Line l = MakeAngle(P(1, 2, 0x00FF00), L(0, 0, 0, -5), std::numbers::pi / 2);
    EXPECT_EQ(l.x, 1);
    EXPECT_EQ(l.y, 2);
    EXPECT_DOUBLE_EQ(l.dx, -100);
    EXPECT_NEAR(l.dy, 0, 1e-12);
    EXPECT_EQ(l.colour, 0x00FF00u);
    EXPECT_EQ(l.style, 0xFFFF);
    EXPECT_EQ(l.width, 1);
    // Three quarters plus three quarters is one and a half turns: pointing left.
    Line wrapped = MakeAngle(P(0, 0), L(0, 0, 0, 5), 3 * std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(wrapped.dx, -100);
}

TEST(RotatePoint, TurnsCounterClockwiseOnTheScreen) {
    Point p = RotatePoint(P(10, 0, 0x0C0C0C, 6, 2), P(0, 0), std::numbers::pi / 2);
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_DOUBLE_EQ(p.y, -10);
    EXPECT_EQ(p.colour, 0x0C0C0Cu);
    EXPECT_EQ(p.size, 6);
    EXPECT_EQ(p.shape, 2);
    Point q = RotatePoint(P(7, 5), P(5, 5), std::numbers::pi);
    EXPECT_DOUBLE_EQ(q.x, 3);
    EXPECT_NEAR(q.y, 5, 1e-12);
}

TEST(AbsAngle, LiesInTheHalfOpenTurnWithYDown) {
    double right = AbsAngle(L(0, 0, 1, 0));
    EXPECT_EQ(right, 0.0);
    EXPECT_FALSE(std::signbit(right));
    // -pi plus the program's 2 pi, a little above the program's pi.
    double left = AbsAngle(L(0, 0, -1, 0));
    EXPECT_EQ(left, -std::numbers::pi + TwoPi);
    EXPECT_GT(left, Pi);
    EXPECT_NEAR(AbsAngle(L(0, 0, 0, 1)), 3 * std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(AbsAngle(L(0, 0, 0, -1)), std::numbers::pi / 2, 1e-15);
    EXPECT_EQ(AbsAngle(UndefLine), UndefinedMarker);
}

TEST(Angle, IsTheCounterClockwiseTurnFromTheFirstToTheSecond) {
    Line right = L(0, 0, 1, 0), up = L(0, 0, 0, -1), left = L(0, 0, -1, 0), down = L(0, 0, 0, 1);
    EXPECT_EQ(Angle(up, up), 0.0);
    EXPECT_NEAR(Angle(right, up), std::numbers::pi / 2, 1e-15);
    EXPECT_NEAR(Angle(up, right), 3 * std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(Angle(right, left), std::numbers::pi, 1e-12);
    EXPECT_NEAR(Angle(left, right), std::numbers::pi, 1e-12);
    for (const Line& a : {right, up, left, down, L(0, 0, 3, -7)}) {
        for (const Line& b : {right, up, left, down, L(5, 5, -2, 9)}) {
            if (AbsAngle(a) == AbsAngle(b)) continue;
            EXPECT_NEAR(Angle(a, b) + Angle(b, a), TwoPi, 1e-12);
            EXPECT_GE(Angle(a, b), 0.0);
            EXPECT_LE(Angle(a, b), TwoPi);
        }
    }
    EXPECT_EQ(Angle(UndefLine, up), UndefinedMarker);
    EXPECT_EQ(Angle(up, UndefLine), UndefinedMarker);
}

TEST(MakeArc, IsCentredOnThePointWithItsLooks) {
    Circle arc = MakeArc(P(10, 10), P(10, 0, 0x00FFFF, 3), std::numbers::pi / 2);
    EXPECT_EQ(arc.cx, 10);
    EXPECT_EQ(arc.cy, 10);
    EXPECT_EQ(arc.r, 10);
    EXPECT_NEAR(arc.start, std::numbers::pi / 4, 1e-15);
    EXPECT_NEAR(arc.end, 3 * std::numbers::pi / 4, 1e-15);
    EXPECT_EQ(arc.colour, 0x00FFFFu);
    EXPECT_EQ(arc.width, 3);
    EXPECT_EQ(MakeArc(P(0, 0), P(1, 0, 0, -2), 1).width, -2);
}

TEST(MakeArc, AnglesAreNormalisedSeparately) {
    Circle arc = MakeArc(P(0, 0), P(5, 0), std::numbers::pi / 2);
    EXPECT_NEAR(arc.start, 7 * std::numbers::pi / 4, 1e-12);
    EXPECT_NEAR(arc.end, std::numbers::pi / 4, 1e-15);

    Circle whole = MakeArc(P(0, 0), P(5, 0), 0);
    EXPECT_EQ(whole.start, 0.0);
    EXPECT_EQ(whole.end, 0.0);
    EXPECT_FALSE(std::signbit(whole.start));

    // A full turn is an arc from half a turn to half a turn, not the whole-circle record.
    Circle turn = MakeArc(P(0, 0), P(5, 0), TwoPi);
    EXPECT_EQ(turn.start, turn.end);
    EXPECT_NEAR(turn.start, std::numbers::pi, 1e-14);

    // Exactly 2 pi is a valid end and stays.
    Circle twoTurns = MakeArc(P(0, 0), P(5, 0), 2 * TwoPi);
    EXPECT_EQ(twoTurns.start, 0.0);
    EXPECT_EQ(twoTurns.end, TwoPi);
}

TEST(MakeArc, HugeOrNonFiniteWidthsEndInRange) {
    for (double w : {1e300, -1e300, 4e6, std::numeric_limits<double>::infinity(), Nan}) {
        Circle arc = MakeArc(P(0, 0), P(5, 0), w);
        EXPECT_GE(arc.start, 0.0) << w;
        EXPECT_LE(arc.start, TwoPi) << w;
        EXPECT_GE(arc.end, 0.0) << w;
        EXPECT_LE(arc.end, TwoPi) << w;
    }
}

TEST(ArcEnds, GivesThePointsAtStartAndEndInTheArcsLooks) {
    Point e1 = P(0, 0, 0, 0, 9), e2 = P(0, 0, 0, 0, 9);
    Circle arc{5, 5, 10, 0, std::numbers::pi / 2, 0x0000FF, 0x10003};
    EXPECT_EQ(ArcEnds(arc, e1, e2), 0);
    EXPECT_DOUBLE_EQ(e1.x, 15);
    EXPECT_DOUBLE_EQ(e1.y, 5);
    EXPECT_NEAR(e2.x, 5, 1e-12);
    EXPECT_DOUBLE_EQ(e2.y, -5);
    for (const Point& e : {e1, e2}) {
        EXPECT_EQ(e.colour, 0x0000FFu);
        EXPECT_EQ(e.size, 3);
        EXPECT_EQ(e.shape, 0);
    }
}

TEST(ArcEnds, AnUndefinedArcMakesBothEndsUndefinedAndKeepsTheirLooks) {
    Point e1 = P(1, 1, 0xAA, 2, 3), e2 = P(1, 1, 0xBB, 4, 5);
    EXPECT_EQ(ArcEnds(UndefinedCircle(), e1, e2), UndefinedResult);
    EXPECT_EQ(e1.x, UndefinedMarker);
    EXPECT_EQ(e2.y, UndefinedMarker);
    EXPECT_EQ(e1.colour, 0xAAu);
    EXPECT_EQ(e2.shape, 5);
}

TEST(Equation, RoundTripsBetweenVectorAndSlopeForm) {
    Equation e = VectorialToEquat(L(2, 3, 2, 4, 0x00FF00, 0xF00F, 5));
    EXPECT_EQ(e.m, 2);
    EXPECT_EQ(e.b, -1);
    EXPECT_EQ(e.colour, 0x00FF00u);
    EXPECT_EQ(e.style, 0xF00F);
    EXPECT_EQ(e.width, 5);

    Line l = EquatToVectorial(e);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.y, -1);
    EXPECT_EQ(l.dx, 1);
    EXPECT_EQ(l.dy, 2);
    EXPECT_EQ(l.colour, 0x00FF00u);
    EXPECT_EQ(l.style, 0xF00F);
    EXPECT_EQ(l.width, 5);
}

TEST(Equation, VerticalLinesKeepTheirXInTheIntercept) {
    Equation e = VectorialToEquat(L(7, 3, 0, -2, 0x00FF00, 0xF00F, 5));
    EXPECT_EQ(e.m, UndefinedMarker);
    EXPECT_EQ(e.b, 7);
    EXPECT_FALSE(IsUndefined(e));
    EXPECT_EQ(e.style, 0xF00F);
    EXPECT_EQ(e.width, 5);
    Line l = EquatToVectorial(e);
    EXPECT_EQ(l.x, 7);
    EXPECT_EQ(l.dx, 0);
    EXPECT_EQ(l.dy, 1);
    EXPECT_EQ(l.colour, 0x00FF00u);
    EXPECT_EQ(l.style, 0xF00F);
    EXPECT_EQ(l.width, 5);
}

TEST(Equation, UndefinedRecordsConvertToUndefinedRecords) {
    Equation e = VectorialToEquat(UndefLine);
    EXPECT_EQ(e.m, UndefinedMarker);
    EXPECT_EQ(e.b, UndefinedMarker);
    EXPECT_EQ(e.colour, 0u);
    EXPECT_EQ(e.width, 0);
    EXPECT_EQ(e.style, 0);
    ExpectUndefined(EquatToVectorial(Equation{1, UndefinedMarker, 5, 5, 5}));
}

TEST(LineDistanceEquat, MeasuresToTheSlopedOrVerticalLine) {
    EXPECT_DOUBLE_EQ(LineDistanceEquat(P(0, 2), Equation{1, 0, 0, 0, 0}), std::sqrt(2.0));
    EXPECT_NEAR(LineDistanceEquat(P(3, 3), Equation{1, 0, 0, 0, 0}), 0, 1e-12);
    EXPECT_DOUBLE_EQ(LineDistanceEquat(P(0, 9), Equation{0, 4, 0, 0, 0}), 5);
    EXPECT_EQ(LineDistanceEquat(P(2, 9), Equation{UndefinedMarker, 5, 0, 0, 0}), 3);
    EXPECT_EQ(LineDistanceEquat(Undef, Equation{1, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(LineDistanceEquat(P(2, 9), UndefinedEquation()), 0.0);
}

// An undefined input decides the result before any other input is computed with, so values
// that would turn everything into NaN never reach the result.
TEST(UndefinedInputs, GiveTheStatedResultWithoutComputingWithTheOthers) {
    ExpectUndefined(MakeLine(Undef, NanPoint));
    ExpectUndefined(MakeLine(NanPoint, Undef));
    ExpectUndefined(MakeLinePolar(Undef, Nan));
    EXPECT_EQ(Distance(Undef, NanPoint), 0.0);
    EXPECT_EQ(LineDistance(NanPoint, UndefLine), 0.0);
    ExpectUndefined(AdvanceOnLine(Undef, NanLine, Nan));
    ExpectUndefined(AdvanceOnLine(NanPoint, UndefLine, Nan));
    ExpectUndefined(AdvanceToPoint(NanPoint, Undef, Nan));
    ExpectUndefined(MakeRightAngle(Undef, NanLine));
    ExpectUndefined(MakeRightAngle(NanPoint, UndefLine));
    ExpectUndefined(MakeAngle(NanPoint, UndefLine, Nan));
    ExpectUndefined(RotatePoint(Undef, NanPoint, Nan));
    ExpectUndefined(RotatePoint(NanPoint, Undef, Nan));
    EXPECT_EQ(Angle(NanLine, UndefLine), UndefinedMarker);
    Circle arc = MakeArc(NanPoint, Undef, Nan);
    EXPECT_EQ(arc.cx, UndefinedMarker);
    EXPECT_EQ(arc.cy, UndefinedMarker);
    EXPECT_EQ(arc.r, 0.0);
    EXPECT_EQ(arc.start, 0.0);
    EXPECT_EQ(arc.end, 0.0);
    EXPECT_EQ(arc.colour, 0u);
    EXPECT_EQ(arc.width, 0);
    EXPECT_EQ(MakeArc(Undef, NanPoint, 1).cx, UndefinedMarker);
}

// The exported procedures take everything by pointer, as outside callers pass it.
TEST(ExportedKernel, PassesRecordsAndNumbersByPointer) {
    ZirPoint a = P(2, 3), b = P(4, 7);
    ZirLine l = ZIR_MAKELINE(&a, &b);
    EXPECT_EQ(l.dx, 2);
    EXPECT_EQ(l.dy, 4);
    double d = 10;
    ZirPoint moved = ZIR_ADVANCEONLINE(&a, &l, &d);
    EXPECT_DOUBLE_EQ(Distance(a, moved), 10);
    double w = 0;
    ZirPoint right = P(12, 3);
    ZirCircle whole = ZIR_MAKEARC(&a, &right, &w);
    EXPECT_EQ(whole.r, 10);
    EXPECT_EQ(whole.start, 0);
    EXPECT_EQ(whole.end, 0);
    ZirEquation e = ZIR_VECTORIALTOEQUAT(&l);
    EXPECT_EQ(e.m, 2);
    EXPECT_EQ(e.b, -1);
}

TEST(ExportedKernel, NullRecordsCountAsUndefinedAndNullResultsAreNotWritten) {
    ZirPoint a = P(2, 3);
    double h = 5;
    ExpectUndefined(ZIR_MAKELINE(&a, nullptr));
    EXPECT_EQ(ZIR_DISTANCE(nullptr, &a), 0.0);
    EXPECT_EQ(ZIR_ABSANGLE(nullptr), UndefinedMarker);
    ZirPoint b = P(12, 3), c{};
    EXPECT_EQ(ZIR_RECTOVER(&a, &b, &h, &c, nullptr), 0);
    EXPECT_EQ(c.y, 8);
    ExpectUndefined(ZIR_MAKELINEPOLAR(nullptr, nullptr));
    Line right = ZIR_MAKELINEPOLAR(&a, nullptr);
    EXPECT_EQ(right.dx, 100);
}

}  // namespace
}  // namespace zir
