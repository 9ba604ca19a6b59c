// The kernel's values: each row a call and every field of the record or number it must give.
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
constexpr double pi = std::numbers::pi, M = UndefinedMarker;
const Point U = P(M, M, 0, 0, 0);
const Line UL{M, M, 0, 0, 0, 0, 0};
const Circle UC{M, M, 0, 0, 0, 0, 0};

// An undefined input decides before any other input is computed with: the NaN inputs
// beside it never reach the result.
TEST(Kernel, EachCallGivesItsRecord) {
    Settings().lineStyle = 0xF0F0;
    Settings().lineWidth = 3;
    const ZirPoint a = P(1, 2, 0x123456, 8, 0), b = P(5, 2), c = P(12, 2);
    const double half = 0.5, h = 5, s = 100 * std::sin(0.5), co = 100 * std::cos(0.5);
    const Line diagonal = L(100, 100, 30, 40), right = L(0, 0, 1, 0), up = L(0, 0, 0, -1),
               left = L(0, 0, -1, 0), down = L(0, 0, 0, 1);
    const Point arcColour = P(10, 0, 0xFF, -2);
    const struct {
        const char* what;
        Fields got, want;
    } rows[] = {
        {"advance on", F(AdvanceOnLine(P(0, 0, 0xA, 9, 2), diagonal, 10)), F(P(6, 8, 0xA, 9, 2))},
        {"advance back", F(AdvanceOnLine(P(0, 0), diagonal, -10)), F(P(-6, -8))},
        {"on no direction", F(AdvanceOnLine(P(1, 1), L(0, 0, 0, 0), 5)), F(U)},
        {"advance to", F(AdvanceToPoint(P(1, 1, 0xA, 6, 1), P(1, 11), 4)), F(P(1, 5, 0xA, 6, 1))},
        {"advance away", F(AdvanceToPoint(P(1, 1), P(1, 11), -4)), F(P(1, -3))},
        {"to itself", F(AdvanceToPoint(P(5, 5), P(5, 5), 3)), F(U)},
        {"rotate", F(RotatePoint(P(10, 0, 0xC, 6, 2), P(0, 0), pi / 2)), F(P(0, -10, 0xC, 6, 2))},
        {"rotate half", F(RotatePoint(P(7, 5), P(5, 5), pi)), F(P(3, 5))},
        {"undefined on",
         F(AdvanceOnLine(Undef, NanLine, Nan), AdvanceOnLine(NanPoint, UndefLine, Nan)), F(U, U)},
        {"to undefined", F(AdvanceToPoint(NanPoint, Undef, Nan)), F(U)},
        {"rotate undefined",
         F(RotatePoint(Undef, NanPoint, Nan), RotatePoint(NanPoint, Undef, Nan)), F(U, U)},
        // The kernel's lines are solid and thin; the exported ones take the script's defaults.
        {"line", F(MakeLine(P(1, 2, 0xF0), P(4, 6))), F(L(1, 2, 3, 4, 0xF0, 0xFFFF, 1))},
        {"equal points", F(MakeLine(P(5, 5, 0xA), P(5, 5))), F(L(5, 5, 1e-6, 0, 0xA, 0xFFFF, 1))},
        {"polar", F(MakeLinePolar(P(3, 4, 0xF), 0)), F(L(3, 4, 100, 0, 0xF, 0xFFFF, 1))},
        {"polar up", F(MakeLinePolar(P(0, 0, 0xF), pi / 2)), F(L(0, 0, 0, -100, 0xF, 0xFFFF, 1))},
        {"exported line", F(ZIR_MAKELINE(&a, &b)), F(L(1, 2, 4, 0, 0x123456, 0xF0F0, 3))},
        {"exported polar", F(ZIR_MAKELINEPOLAR(&a, &half)),
         F(L(1, 2, co, -s, 0x123456, 0xF0F0, 3))},
        {"exported angle", F(ZIR_MAKEANGLE(&a, &right, &half)),
         F(L(1, 2, co, -s, 0x123456, 0xF0F0, 3))},
        {"right angle", F(MakeRightAngle(P(2, 3), L(0, 0, 4, 1, 0xF, 0x0F0F, 3))),
         F(L(2, 3, -1, 4, 0xF, 0x0F0F, 3))},
        {"angle", F(MakeAngle(P(1, 2, 0xF), L(0, 0, 0, -5), pi / 2)),
         F(L(1, 2, -100, 0, 0xF, 0xFFFF, 1))},
        // Three quarters plus three quarters, not normalised: pointing left.
        {"beyond a turn", F(MakeAngle(P(0, 0, 0), L(0, 0, 0, 5), 3 * pi / 2)),
         F(L(0, 0, -100, 0, 0, 0xFFFF, 1))},
        {"undefined lines",
         F(MakeLine(Undef, NanPoint), MakeLine(NanPoint, Undef), MakeLinePolar(Undef, Nan),
           MakeRightAngle(Undef, NanLine), MakeRightAngle(NanPoint, UndefLine),
           MakeAngle(NanPoint, UndefLine, Nan), ZIR_MAKELINE(&a, nullptr)),
         F(UL, UL, UL, UL, UL, UL, UL)},
        {"distances",
         F(Distance(P(1, 1), P(4, 5)), LineDistance(P(0, 5), right), LineDistance(P(0, -5), right),
           LineDistance(P(7, 7), L(1, 1, 3, 3)), LineDistance(P(0, 2), L(0, 0, -2, -2)),
           LineDistance(P(3, 4), L(0, 0, 0, 0))),
         F(5, 5, 5, 0, std::sqrt(2.0), 5)},
        {"to equations",
         F(LineDistanceEquat(P(0, 2), Equation{1, 0, 0, 0, 0}),
           LineDistanceEquat(P(3, 3), Equation{1, 0, 0, 0, 0}),
           LineDistanceEquat(P(0, 9), Equation{0, 4, 0, 0, 0}),
           LineDistanceEquat(P(2, 9), Equation{M, 5, 0, 0, 0})),
         F(std::sqrt(2.0), 0, 5, 3)},
        // Angles lie in the half-open turn with y down: left is -pi plus the program's 2 pi.
        {"angles", F(AbsAngle(right), AbsAngle(left), AbsAngle(down), AbsAngle(up)),
         F(0, -pi + TwoPi, 3 * pi / 2, pi / 2)},
        {"turns", F(Angle(up, up), Angle(right, up), Angle(up, right), Angle(right, left)),
         F(0, pi / 2, 3 * pi / 2, pi)},
        {"undefined numbers",
         F(Distance(Undef, NanPoint), LineDistance(NanPoint, UndefLine),
           LineDistanceEquat(NanPoint, UndefinedEquation()), AbsAngle(UndefLine),
           Angle(NanLine, UndefLine), Angle(UndefLine, NanLine), ZIR_ABSANGLE(nullptr)),
         F(0, 0, 0, M, M, M, M)},
        {"arc", F(MakeArc(P(10, 10), arcColour, pi / 2)),
         F(Circle{10, 10, 10, pi / 4, 3 * pi / 4, 0xFF, -2})},
        {"undefined arcs", F(MakeArc(NanPoint, Undef, Nan), MakeArc(Undef, NanPoint, Nan)),
         F(UC, UC)},
        {"equation",
         F(ZIR_VECTORIALTOEQUAT(&diagonal).m, VectorialToEquat(L(7, 3, 0, -2)).b,
           VectorialToEquat(UndefLine).b),
         F(4.0 / 3, 7, M)},
    };
    ResetSettings();
    for (const auto& r : rows) ExpectFields(r.got, r.want, r.what);
    EXPECT_FALSE(std::signbit(AbsAngle(right)));
    EXPECT_EQ(ZIR_MAKELINEPOLAR(&a, nullptr).dx, 100);
    const ZirPoint far = c;
    Point corner{};
    EXPECT_EQ(ZIR_RECTOVER(&a, &far, &h, &corner, nullptr), 0);
    EXPECT_EQ(corner.y, 7);
}

TEST(Kernel, ArcAnglesAreNormalisedEachOnItsOwn) {
    const struct {
        double width, start, end;
    } rows[] = {{pi / 2, 7 * pi / 4, pi / 4}, {0, 0, 0}, {TwoPi, pi, pi}, {2 * TwoPi, 0, TwoPi}};
    for (const auto& r : rows) {
        const Circle arc = MakeArc(P(0, 0), P(5, 0), r.width);
        EXPECT_NEAR(arc.start, r.start, 1e-12) << r.width;
        EXPECT_NEAR(arc.end, r.end, 1e-12) << r.width;
        EXPECT_FALSE(std::signbit(arc.start));
    }
    for (double w : {1e300, -1e300, 4e6, std::numeric_limits<double>::infinity(), Nan}) {
        const Circle arc = MakeArc(P(0, 0), P(5, 0), w);
        EXPECT_TRUE(arc.start >= 0 && arc.start <= TwoPi && arc.end >= 0 && arc.end <= TwoPi) << w;
    }
}

// Records written through references keep their looks where the result is undefined.
TEST(Kernel, RecordsWrittenBesideTheResult) {
    Point c = P(0, 0, 0, 0, 11), d = P(0, 0, 0, 0, 12);
    EXPECT_EQ(RectOver(P(0, 0, 0xA, 3), P(10, 0, 0xB, 4), 5, c, d), 0);
    ExpectFields(F(c, d), F(P(0, 5, 0xA, 3, 11), P(10, 5, 0xB, 4, 12)), "rectangle");
    EXPECT_EQ(RectOver(P(10, 0), P(0, 0), 5, c, d), 0);
    EXPECT_EQ(c.y + d.y, -10) << "the other side";
    for (auto [p, q] : {std::pair{Undef, P(1, 1)}, {P(1, 1), Undef}, {P(2, 2), P(2, 2)}}) {
        c = P(0, 0, 0xC, 1, 1), d = P(0, 0, 0xD, 2, 2);
        EXPECT_EQ(RectOver(p, q, 5, c, d), UndefinedResult);
        ExpectFields(F(c, d), F(P(M, M, 0xC, 1, 1), P(M, M, 0xD, 2, 2)), "undefined rectangle");
    }
    EXPECT_EQ(ArcEnds(Circle{5, 5, 10, 0, pi / 2, 0xFF, 0x10003}, c, d), 0);
    ExpectFields(F(c, d), F(P(15, 5, 0xFF, 3, 0), P(5, -5, 0xFF, 3, 0)), "arc ends");
    c = P(1, 1, 0xA, 2, 3), d = P(1, 1, 0xB, 4, 5);
    EXPECT_EQ(ArcEnds(UndefinedCircle(), c, d), UndefinedResult);
    ExpectFields(F(c, d), F(P(M, M, 0xA, 2, 3), P(M, M, 0xB, 4, 5)), "undefined arc ends");
}

TEST(Kernel, EquationsRoundTripAndKeepVerticalLinesInTheIntercept) {
    const struct {
        Line line;
        Equation equation;
        Line back;
    } rows[] = {
        {L(2, 3, 2, 4, 0xFF, 0xF00F, 5), {2, -1, 0xFF, 5, 0xF00F}, L(0, -1, 1, 2, 0xFF, 0xF00F, 5)},
        {L(7, 3, 0, -2, 0xFF, 0xF00F, 5), {M, 7, 0xFF, 5, 0xF00F}, L(7, 7, 0, 1, 0xFF, 0xF00F, 5)},
        {UndefLine, {M, M, 0, 0, 0}, UL},
    };
    for (const auto& r : rows) {
        const Equation e = VectorialToEquat(r.line);
        EXPECT_EQ(Bytes(e), Bytes(r.equation));
        ExpectFields(F(EquatToVectorial(e)), F(r.back), "back");
    }
    ExpectUndefined(EquatToVectorial(Equation{1, M, 5, 5, 5}));
}

}  // namespace
}  // namespace zir
