// The kernel's values where the script cases do not reach them: edges, undefined inputs and
// the looks a result takes. Each row a call and every field it must give.
#include "geometry/kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "geometry_records.h"
#include "zirkula.h"

namespace zir {
namespace {

using namespace zir::test;
constexpr double pi = std::numbers::pi, M = UndefinedMarker;
const Point U = P(M, M, 0, 0, 0);
const Line UL{M, M, 0, 0, 0, 0, 0};
const Circle UC{M, M, 0, 0, 0, 0, 0};

Fields Rect(const Point& a, const Point& b) {
    Point c = P(0, 0, 0xC, 1, 11), d = P(0, 0, 0xD, 2, 12);
    const double r = RectOver(a, b, 5, c, d);
    return F(r, c, d);
}
// An arc's start and end: each angle normalised on its own, in range whatever the width.
Fields Arc(double width) {
    const Circle arc = MakeArc(P(0, 0), P(5, 0), width);
    return F(arc.start, arc.end, std::signbit(arc.start));
}
Fields Ends(const Circle& arc) {
    Point c = P(1, 1, 0xA, 2, 3), d = P(1, 1, 0xB, 4, 5);
    const double r = ArcEnds(arc, c, d);
    return F(r, c, d);
}

// An undefined input decides before any other input is computed with: the NaN inputs
// beside it never reach the result.
TEST(Kernel, EachCallGivesItsRecord) {
    const ZirPoint a = P(1, 2, 0x123456, 8, 0);

    const Line right = L(0, 0, 1, 0), up = L(0, 0, 0, -1), left = L(0, 0, -1, 0),
               down = L(0, 0, 0, 1);
    const struct {
        const char* what;
        Fields got, want;
    } rows[] = {
        {"advance",
         F(AdvanceOnLine(P(0, 0, 0xA, 9, 2), L(9, 9, 30, 40), -10),
           AdvanceToPoint(P(1, 1, 0xA, 6, 1), P(1, 11), 4)),
         F(P(-6, -8, 0xA, 9, 2), P(1, 5, 0xA, 6, 1))},
        {"rotate", F(RotatePoint(P(10, 0, 0xC, 6, 2), P(0, 0), pi / 2)), F(P(0, -10, 0xC, 6, 2))},
        {"undefined points",
         F(AdvanceOnLine(P(1, 1), L(0, 0, 0, 0), 5), AdvanceToPoint(P(5, 5), P(5, 5), 3),
           AdvanceOnLine(Undef, NanLine, Nan), AdvanceOnLine(NanPoint, UndefLine, Nan),
           AdvanceToPoint(NanPoint, Undef, Nan), RotatePoint(Undef, NanPoint, Nan),
           RotatePoint(NanPoint, Undef, Nan)),
         F(U, U, U, U, U, U, U)},
        // The kernel's lines are solid and thin.
        {"equal points", F(MakeLine(P(5, 5, 0xA), P(5, 5))), F(L(5, 5, 1e-6, 0, 0xA, 0xFFFF, 1))},
        {"polar up", F(MakeLinePolar(P(0, 0, 0xF), pi / 2)), F(L(0, 0, 0, -100, 0xF, 0xFFFF, 1))},
        {"right angle", F(MakeRightAngle(P(2, 3), L(0, 0, 4, 1, 0xF, 0x0F0F, 3))),
         F(L(2, 3, -1, 4, 0xF, 0x0F0F, 3))},
        // Three quarters plus three quarters, not normalised: pointing left.
        {"beyond a turn", F(MakeAngle(P(0, 0, 0), L(0, 0, 0, 5), 3 * pi / 2)),
         F(L(0, 0, -100, 0, 0, 0xFFFF, 1))},
        {"undefined lines",
         F(MakeLine(Undef, NanPoint), MakeLine(NanPoint, Undef), MakeLinePolar(Undef, Nan),
           MakeRightAngle(Undef, NanLine), MakeRightAngle(NanPoint, UndefLine),
           MakeAngle(NanPoint, UndefLine, Nan), ZIR_MAKELINE(&a, nullptr)),
         F(UL, UL, UL, UL, UL, UL, UL)},
        {"distances",
         F(LineDistance(P(0, -5), right), LineDistance(P(4, 2), L(1, 1, 1, 1)),
           LineDistance(P(0, 2), L(0, 0, -2, -2)), LineDistance(P(3, 4), L(0, 0, 0, 0)),
           LineDistanceEquat(P(0, 2), Equation{1, 0, 0, 0, 0}),
           LineDistanceEquat(P(0, 9), Equation{0, 4, 0, 0, 0}),
           LineDistanceEquat(P(2, 9), Equation{M, 5, 0, 0, 0})),
         F(5, std::sqrt(2.0), std::sqrt(2.0), 5, std::sqrt(2.0), 5, 3)},
        // Angles lie in the half-open turn with y down: left is -pi plus the program's 2 pi.
        {"angles", F(AbsAngle(left), AbsAngle(down), AbsAngle(up), Angle(up, up), Angle(up, right)),
         F(-pi + TwoPi, 3 * pi / 2, pi / 2, 0, 3 * pi / 2)},
        {"undefined numbers",
         F(Distance(Undef, NanPoint), LineDistance(NanPoint, UndefLine),
           LineDistanceEquat(NanPoint, UndefinedEquation()), AbsAngle(UndefLine),
           Angle(NanLine, UndefLine), Angle(UndefLine, NanLine), ZIR_ABSANGLE(nullptr)),
         F(0, 0, 0, M, M, M, M)},
        {"arc", F(MakeArc(P(10, 10), P(10, 0, 0xFF, -2), pi / 2)),
         F(Circle{10, 10, 10, pi / 4, 3 * pi / 4, 0xFF, -2})},
        // A full turn is not the whole-circle record.
        {"arc angles", F(Arc(pi / 2), Arc(0), Arc(TwoPi), Arc(2 * TwoPi), Arc(4e6)[0] < TwoPi),
         F(7 * pi / 4, pi / 4, 0, 0, 0, 0, pi, pi, 0, 0, TwoPi, 0, 1)},
        {"undefined arcs", F(MakeArc(NanPoint, Undef, Nan), MakeArc(Undef, NanPoint, Nan)),
         F(UC, UC)},
        // The far corners on the side of the turned direction; undefined ones keep their looks.
        {"rectangle", Rect(P(0, 0, 0xA, 3), P(10, 0, 0xB, 4)),
         F(0, P(0, 5, 0xA, 3, 11), P(10, 5, 0xB, 4, 12))},
        {"undefined rectangles",
         F(Rect(Undef, P(1, 1)), Rect(P(1, 1), Undef), Rect(P(2, 2), P(2, 2))),
         F(F(UndefinedResult, P(M, M, 0xC, 1, 11), P(M, M, 0xD, 2, 12)),
           F(UndefinedResult, P(M, M, 0xC, 1, 11), P(M, M, 0xD, 2, 12)),
           F(UndefinedResult, P(M, M, 0xC, 1, 11), P(M, M, 0xD, 2, 12)))},
        {"arc ends", F(Ends(Circle{5, 5, 10, 0, pi / 2, 0xFF, 0x10003}), Ends(UndefinedCircle())),
         F(0, P(15, 5, 0xFF, 3, 0), P(5, -5, 0xFF, 3, 0), UndefinedResult, P(M, M, 0xA, 2, 3),
           P(M, M, 0xB, 4, 5))},
        // Vertical lines keep their x in the intercept.
        {"equations",
         F(EquatToVectorial(VectorialToEquat(L(2, 3, 2, 4, 0xFF, 0xF00F, 5))),
           EquatToVectorial(VectorialToEquat(L(7, 3, 0, -2, 0xFF, 0xF00F, 5))),
           EquatToVectorial(Equation{1, M, 5, 5, 5}), VectorialToEquat(UndefLine).b),
         F(L(0, -1, 1, 2, 0xFF, 0xF00F, 5), L(7, 7, 0, 1, 0xFF, 0xF00F, 5), UL, M)},
    };
    for (const auto& r : rows) ExpectFields(r.got, r.want, r.what);
    EXPECT_FALSE(std::signbit(AbsAngle(right)));
    for (double w : {1e300, -1e300, std::numeric_limits<double>::infinity(), Nan}) {
        const Fields arc = Arc(w);
        EXPECT_TRUE(arc[0] >= 0 && arc[0] <= TwoPi && arc[1] >= 0 && arc[1] <= TwoPi) << w;
    }
    const Equation e = VectorialToEquat(L(7, 3, 0, -2, 0xFF, 0xF00F, 5));
    ExpectFields(F(e.m, e.b, e.colour, e.width, e.style), F(M, 7, 0xFF, 5, 0xF00F), "vertical");
}

}  // namespace
}  // namespace zir
