// The kernel's values: each row a call and the record or number it must give.
#include "geometry/kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "geometry_records.h"
#include "runtime/runstate.h"
#include "zirkula.h"

namespace zir {
namespace {

using namespace zir::test;
constexpr double pi = std::numbers::pi;
const Point U = P(UndefinedMarker, UndefinedMarker, 0, 0, 0);

TEST(Kernel, PointResults) {
    const Line diagonal = L(100, 100, 30, 40);
    const struct {
        const char* what;
        Point got, want;
    } rows[] = {
        {"advance on", AdvanceOnLine(P(0, 0, 0xA, 9, 2), diagonal, 10), P(6, 8, 0xA, 9, 2)},
        {"advance back", AdvanceOnLine(P(0, 0), diagonal, -10), P(-6, -8)},
        {"on no direction", AdvanceOnLine(P(1, 1), L(0, 0, 0, 0), 5), U},
        {"advance to", AdvanceToPoint(P(1, 1, 0xA, 6, 1), P(1, 11), 4), P(1, 5, 0xA, 6, 1)},
        {"advance away", AdvanceToPoint(P(1, 1), P(1, 11), -4), P(1, -3)},
        {"to itself", AdvanceToPoint(P(5, 5), P(5, 5), 3), U},
        {"rotate", RotatePoint(P(10, 0, 0xC, 6, 2), P(0, 0), pi / 2), P(0, -10, 0xC, 6, 2)},
        {"rotate half", RotatePoint(P(7, 5), P(5, 5), pi), P(3, 5)},
        // An undefined input decides before any other input is computed with.
        {"undefined on", AdvanceOnLine(Undef, NanLine, Nan), U},
        {"on undefined", AdvanceOnLine(NanPoint, UndefLine, Nan), U},
        {"to undefined", AdvanceToPoint(NanPoint, Undef, Nan), U},
        {"rotate undefined", RotatePoint(Undef, NanPoint, Nan), U},
        {"about undefined", RotatePoint(NanPoint, Undef, Nan), U},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ExpectPoint(r.got, r.want, 1e-12);
    }
}

TEST(Kernel, LineResults) {
    Settings().lineStyle = 0xF0F0;
    Settings().lineWidth = 3;
    const ZirPoint a{1, 2, 0x123456, 8, 0}, b{5, 2, 0, 8, 0};
    const double half = 0.5;
    const ZirLine unset = L(0, 0, 1, 0);
    const Line up = L(0, 0, 0, -5);
    const struct {
        const char* what;
        Line got, want;
    } rows[] = {
        // The kernel's lines are solid and thin; the exported ones take the script's defaults.
        {"line", MakeLine(P(1, 2, 0x00FF00), P(4, 6)), L(1, 2, 3, 4, 0x00FF00, 0xFFFF, 1)},
        {"equal points", MakeLine(P(5, 5, 0xAA), P(5, 5)), L(5, 5, 0.000001, 0, 0xAA, 0xFFFF, 1)},
        {"polar", MakeLinePolar(P(3, 4, 0xFF), 0), L(3, 4, 100, 0, 0xFF, 0xFFFF, 1)},
        {"polar up", MakeLinePolar(P(0, 0, 0xFF), pi / 2), L(0, 0, 0, -100, 0xFF, 0xFFFF, 1)},
        {"exported line", ZIR_MAKELINE(&a, &b), L(1, 2, 4, 0, 0x123456, 0xF0F0, 3)},
        {"exported polar", ZIR_MAKELINEPOLAR(&a, &half),
         L(1, 2, 100 * std::cos(0.5), -100 * std::sin(0.5), 0x123456, 0xF0F0, 3)},
        {"exported angle", ZIR_MAKEANGLE(&a, &unset, &half),
         L(1, 2, 100 * std::cos(0.5), -100 * std::sin(0.5), 0x123456, 0xF0F0, 3)},
        {"right angle", MakeRightAngle(P(2, 3), L(0, 0, 4, 1, 0xFF, 0x0F0F, 3)),
         L(2, 3, -1, 4, 0xFF, 0x0F0F, 3)},
        {"angle", MakeAngle(P(1, 2, 0xFF), up, pi / 2), L(1, 2, -100, 0, 0xFF, 0xFFFF, 1)},
        // Three quarters plus three quarters, not normalised: pointing left.
        {"angle beyond a turn", MakeAngle(P(0, 0), L(0, 0, 0, 5), 3 * pi / 2),
         L(0, 0, -100, 0, 0x123456, 0xFFFF, 1)},
        {"undefined line", MakeLine(Undef, NanPoint), UndefinedLine()},
        {"line to undefined", MakeLine(NanPoint, Undef), UndefinedLine()},
        {"polar undefined", MakeLinePolar(Undef, Nan), UndefinedLine()},
        {"right angle undefined", MakeRightAngle(Undef, NanLine), UndefinedLine()},
        {"right angle on undefined", MakeRightAngle(NanPoint, UndefLine), UndefinedLine()},
        {"angle on undefined", MakeAngle(NanPoint, UndefLine, Nan), UndefinedLine()},
        {"exported null", ZIR_MAKELINE(&a, nullptr), UndefinedLine()},
    };
    ResetSettings();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        if (IsUndefined(r.want)) {
            ExpectUndefined(r.got);
        } else {
            ExpectLine(r.got, r.want, 1e-12);
        }
    }
    EXPECT_EQ(ZIR_MAKELINEPOLAR(&a, nullptr).dx, 100);
}

TEST(Kernel, NumberResults) {
    const Line right = L(0, 0, 1, 0), up = L(0, 0, 0, -1), left = L(0, 0, -1, 0),
               down = L(0, 0, 0, 1);
    const struct {
        const char* what;
        double got, want, tolerance;
    } rows[] = {
        {"distance", Distance(P(1, 1), P(4, 5)), 5, 0},
        {"above the line", LineDistance(P(0, 5), right), 5, 0},
        {"below the line", LineDistance(P(0, -5), right), 5, 0},
        {"on the line", LineDistance(P(7, 7), L(1, 1, 3, 3)), 0, 0},
        {"beside a line backwards", LineDistance(P(0, 2), L(0, 0, -2, -2)), std::sqrt(2.0), 1e-15},
        {"line without direction", LineDistance(P(3, 4), L(0, 0, 0, 0)), 5, 0},
        {"right", AbsAngle(right), 0, 0},
        // -pi plus the program's 2 pi, a little above the program's pi.
        {"left", AbsAngle(left), -pi + TwoPi, 0},
        {"down the screen", AbsAngle(down), 3 * pi / 2, 1e-12},
        {"up the screen", AbsAngle(up), pi / 2, 1e-15},
        {"no turn", Angle(up, up), 0, 0},
        {"a quarter", Angle(right, up), pi / 2, 1e-15},
        {"three quarters", Angle(up, right), 3 * pi / 2, 1e-12},
        {"half", Angle(right, left), pi, 1e-12},
        {"half back", Angle(left, right), pi, 1e-12},
        {"slope", LineDistanceEquat(P(0, 2), Equation{1, 0, 0, 0, 0}), std::sqrt(2.0), 1e-15},
        {"on the slope", LineDistanceEquat(P(3, 3), Equation{1, 0, 0, 0, 0}), 0, 1e-12},
        {"level", LineDistanceEquat(P(0, 9), Equation{0, 4, 0, 0, 0}), 5, 1e-15},
        {"vertical", LineDistanceEquat(P(2, 9), Equation{UndefinedMarker, 5, 0, 0, 0}), 3, 0},
        {"undefined distance", Distance(Undef, NanPoint), 0, 0},
        {"to undefined line", LineDistance(NanPoint, UndefLine), 0, 0},
        {"to undefined equation", LineDistanceEquat(NanPoint, UndefinedEquation()), 0, 0},
        {"undefined angle", AbsAngle(UndefLine), UndefinedMarker, 0},
        {"angle to undefined", Angle(NanLine, UndefLine), UndefinedMarker, 0},
        {"angle from undefined", Angle(UndefLine, NanLine), UndefinedMarker, 0},
        {"exported null", ZIR_ABSANGLE(nullptr), UndefinedMarker, 0},
    };
    for (const auto& r : rows) EXPECT_NEAR(r.got, r.want, r.tolerance) << r.what;
    EXPECT_FALSE(std::signbit(AbsAngle(right)));
    for (const Line& a : {right, up, left, down, L(0, 0, 3, -7)}) {
        for (const Line& b : {right, up, left, down, L(5, 5, -2, 9)}) {
            if (AbsAngle(a) != AbsAngle(b)) {
                EXPECT_NEAR(Angle(a, b) + Angle(b, a), TwoPi, 1e-12);
            }
        }
    }
}

TEST(Kernel, ArcsAndTheirEnds) {
    const struct {
        Point centre, through;
        double width, start, end;
    } rows[] = {
        {P(10, 10), P(10, 0), pi / 2, pi / 4, 3 * pi / 4},
        {P(0, 0), P(5, 0), pi / 2, 7 * pi / 4, pi / 4},  // each angle normalised on its own
        {P(0, 0), P(5, 0), 0, 0, 0},
        {P(0, 0), P(5, 0), TwoPi, pi, pi},  // a full turn is not the whole-circle record
        {P(0, 0), P(5, 0), 2 * TwoPi, 0, TwoPi},
    };
    for (const auto& r : rows) {
        const Circle arc = MakeArc(r.centre, P(r.through.x, r.through.y, 0xFF, -2), r.width);
        EXPECT_EQ(arc.cx, r.centre.x);
        EXPECT_EQ(arc.r, Distance(r.centre, r.through));
        EXPECT_NEAR(arc.start, r.start, 1e-12) << r.width;
        EXPECT_NEAR(arc.end, r.end, 1e-12) << r.width;
        EXPECT_FALSE(std::signbit(arc.start));
        EXPECT_EQ(arc.colour, 0xFFu);
        EXPECT_EQ(arc.width, -2);
    }
    for (double w : {1e300, -1e300, 4e6, std::numeric_limits<double>::infinity(), Nan}) {
        const Circle arc = MakeArc(P(0, 0), P(5, 0), w);
        EXPECT_TRUE(arc.start >= 0 && arc.start <= TwoPi && arc.end >= 0 && arc.end <= TwoPi) << w;
    }
    for (Circle arc : {MakeArc(NanPoint, Undef, Nan), MakeArc(Undef, NanPoint, Nan)}) {
        EXPECT_EQ(Bytes(arc), Bytes(Circle{UndefinedMarker, UndefinedMarker, 0, 0, 0, 0, 0}));
    }

    Point e1{}, e2{};
    EXPECT_EQ(ArcEnds(Circle{5, 5, 10, 0, pi / 2, 0xFF, 0x10003}, e1, e2), 0);
    ExpectPoint(e1, P(15, 5, 0xFF, 3, 0), 1e-12);
    ExpectPoint(e2, P(5, -5, 0xFF, 3, 0), 1e-12);
    e1 = P(1, 1, 0xA, 2, 3);
    e2 = P(1, 1, 0xB, 4, 5);
    EXPECT_EQ(ArcEnds(UndefinedCircle(), e1, e2), UndefinedResult);
    ExpectPoint(e1, P(UndefinedMarker, UndefinedMarker, 0xA, 2, 3), 0);
    ExpectPoint(e2, P(UndefinedMarker, UndefinedMarker, 0xB, 4, 5), 0);
}

TEST(Kernel, RectOverErectsTheFarCornersOnTheTurnedSide) {
    Point c = P(0, 0, 0, 0, 11), d = P(0, 0, 0, 0, 12);
    EXPECT_EQ(RectOver(P(0, 0, 0xA, 3), P(10, 0, 0xB, 4), 5, c, d), 0);
    ExpectPoint(c, P(0, 5, 0xA, 3, 11), 0);
    ExpectPoint(d, P(10, 5, 0xB, 4, 12), 0);
    EXPECT_EQ(RectOver(P(10, 0), P(0, 0), 5, c, d), 0);
    EXPECT_EQ(c.y + d.y, -10);
    const ZirPoint a = P(2, 3), right = P(12, 3);
    const double h = 5;
    EXPECT_EQ(ZIR_RECTOVER(&a, &right, &h, &c, nullptr), 0);
    EXPECT_EQ(c.y, 8);
    // Undefined or coincident corners: undefined far corners that keep their looks.
    for (auto [p, q] : {std::pair{Undef, P(1, 1)}, {P(1, 1), Undef}, {P(2, 2), P(2, 2)}}) {
        c = P(0, 0, 0xC, 1, 1), d = P(0, 0, 0xD, 2, 2);
        EXPECT_EQ(RectOver(p, q, 5, c, d), UndefinedResult);
        ExpectPoint(c, P(UndefinedMarker, UndefinedMarker, 0xC, 1, 1), 0);
        ExpectPoint(d, P(UndefinedMarker, UndefinedMarker, 0xD, 2, 2), 0);
    }
}

TEST(Kernel, EquationsRoundTripAndKeepVerticalLinesInTheIntercept) {
    Equation e = VectorialToEquat(L(2, 3, 2, 4, 0xFF, 0xF00F, 5));
    EXPECT_EQ(Bytes(e), Bytes(Equation{2, -1, 0xFF, 5, 0xF00F}));
    ExpectLine(EquatToVectorial(e), L(0, -1, 1, 2, 0xFF, 0xF00F, 5), 0);
    e = VectorialToEquat(L(7, 3, 0, -2, 0xFF, 0xF00F, 5));
    EXPECT_EQ(Bytes(e), Bytes(Equation{UndefinedMarker, 7, 0xFF, 5, 0xF00F}));
    EXPECT_FALSE(IsUndefined(e));
    ExpectLine(EquatToVectorial(e), L(7, 7, 0, 1, 0xFF, 0xF00F, 5), 0);
    EXPECT_EQ(Bytes(VectorialToEquat(UndefLine)),
              Bytes(Equation{UndefinedMarker, UndefinedMarker, 0, 0, 0}));
    ExpectUndefined(EquatToVectorial(Equation{1, UndefinedMarker, 5, 5, 5}));
    const ZirLine l = L(2, 3, 2, 4);
    EXPECT_EQ(ZIR_VECTORIALTOEQUAT(&l).b, -1);
}

}  // namespace
}  // namespace zir
