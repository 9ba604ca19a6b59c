// The crossings and orderings: each row a call and every field of what it must give (the
// count or result first, then the records it writes).
#include "geometry/crossings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry_records.h"
#include "zirkula.h"

namespace zir {
namespace {

using namespace zir::test;
const double h = std::sqrt(75.0), M = UndefinedMarker;

// The crossings written into two points that start with shapes 8 and 9.
Fields LC(const Line& l, const Circle& c) {
    Point s1 = P(1, 1, 0xAB, 7, 8), s2 = P(1, 1, 0xAB, 7, 9);
    const double n = LineCircleCross(l, c, s1, s2);
    return F(n, s1, s2);
}
Fields CC(const Circle& c1, const Circle& c2) {
    Point s1 = P(1, 1, 0xAB, 7, 8), s2 = P(1, 1, 0xAB, 7, 9);
    const double n = CircleCross(c1, c2, s1, s2);
    return F(n, s1, s2);
}
// The result and the colours of the two records afterwards, and whether the second is
// undefined.
template <class Record>
Fields Order(std::int32_t (*order)(Record&, Record&, const Line&), Record a, Record b,
             const Line& l) {
    const double r = order(a, b, l);
    return F(r, a.colour, b.colour, IsUndefined(b));
}
Fields Roots(double a, double b, double c) {
    double x1 = 42, x2 = 42;
    const double n = SolveEquation2(a, b, c, x1, x2);
    return F(n, x1, x2);
}

TEST(Crossings, EachCallGivesItsCountAndPoints) {
    const Line right = L(0, 0, 1, 0), up = L(10, 10, 0, -1), xAxis = right;
    const Circle undef = C(M, 1, 5), c5 = C(0, 0, 5);
    const struct {
        const char* what;
        Fields got, want;
    } rows[] = {
        // Two lines cross on the second in the first line's looks; parallel ones far away.
        {"lines", F(LineCross(L(0, 0, 1, 0, 0xFF, 0, 6), L(5, 10, 0, 1, 0xAA, 0, 2))),
         F(P(5, 0, 0xFF, 6, 0))},
        {"nearly parallel", F(LineCross(L(0, 0, 1, 0), L(0, 1, 1, 1e-12)).x), F(-1e12)},
        {"parallel", F(LineCross(L(1, 2, 2, 0, 0xFF, 0, 6), L(0, 5, -2, 0))),
         F(P(1 + 2e280, 2, 0xFF00FF, 0, 0))},
        {"undefined lines", F(LineCross(UndefLine, NanLine), LineCross(right, UndefLine)),
         F(P(M, M, 0, 0, 0), P(M, M, 0, 0, 0))},
        // Crossings come in the order of the line's direction, swapped as whole records.
        {"along +x", LC(L(-20, 0, 1, 0, 0xFF, 0, 3), c5),
         F(2, P(-5, 0, 0xFF, 3, 9), P(5, 0, 0xFF, 3, 8))},
        {"down", LC(L(0, -20, 0, 1, 0), c5), F(2, P(0, -5, 0, 4, 9), P(0, 5, 0, 4, 8))},
        {"nearly touching", LC(L(3, 5.0000005, 1, 0, 0xFF, 0, 3), c5),
         F(1, P(0, 5.0000005, 0xFF, 3, 0), P(0, 5.0000005, 0xFF, 3, 0))},
        {"passing by", LC(L(3, 5.00001, 1, 0, 0xFF, 0, 3), c5),
         F(0, P(M, M, 0xFF, 3, 8), P(M, M, 0xFF, 3, 9))},
        {"no line",
         F(LC(UndefLine, c5)[0], LC(right, undef)[0], LC(L(M, 0, 1, 0), c5)[0],
           LC(L(0, 0, 0, 0), c5)[1]),
         F(0, 0, 0, M)},
        // Two circles: first the crossing on the right of the way between the centres.
        {"circles", CC(C(0, 0, 10, 0xFF, 5), C(10, 0, 10, 0xAA, 1)),
         F(2, P(5, h, 0xFF, 5, 8), P(5, -h, 0xFF, 5, 9))},
        {"one above the other", CC(C(0, 0, 5, 0), C(0, 6, 5)),
         F(2, P(-4, 3, 0, 2, 9), P(4, 3, 0, 2, 8))},
        {"touching", CC(C(0, 0, 5, 0xFF, 2), C(10, 0, 5)),
         F(1, P(5, 0, 0xFF, 2, 8), P(5, 0, 0xFF, 2, 8))},
        {"same circle", CC(c5, c5), F(0, P(M, M, 0xAB, 0, 8), P(M, M, 0xAB, 0, 9))},
        {"nested", F(CC(C(0, 0, 10), C(1, 1, 2))[0] + CC(C(0, 0, 2), C(10, 0, 2))[0]), F(0)},
        {"undefined circles", CC(undef, c5), F(0, P(M, M, 0xAB, 0, 8), P(M, M, 0xAB, 0, 9))},
        // Only an exactly zero discriminant is a double root; without a square term the
        // linear rest is solved.
        {"roots", F(Roots(1, -2, 1), Roots(1, 0, 4), Roots(2, 0, -8), Roots(1, 0, -1e-14)),
         F(1, 1, 42, 0, 42, 42, 2, 2, -2, 2, 1e-7, -1e-7)},
        {"linear", F(Roots(0, 2, -6), Roots(0, 0, 5)), F(1, 3, 42, 0, 42, 42)},
        // Between: the open box, or only the long side of a thin one.
        {"between",
         F(IsBetween(P(0, 0), P(3, 5), P(10, 10)), IsBetween(P(10, 10), P(3, 5), P(0, 0)),
           IsBetween(P(0, 0), P(3, 10), P(10, 10)), IsBetween(P(0, 0), P(0, 5), P(10, 10)),
           IsBetween(P(0, 0), P(3, 5), P(0.5, 10)), IsBetween(P(0, 0), P(3, 10), P(0.5, 10)),
           IsBetween(P(0, 0), P(5, -3), P(10, 0)), IsBetween(P(0, 0), P(0.2, 0.2), P(0.5, 0.5)),
           IsBetween(P(0, 0), P(0.2, 0), P(0.5, 0)), IsBetween(P(10, 0), P(13, 5), P(10.5, 10))),
         F(-1, -1, 0, 0, -1, 0, -1, -1, 0, -1)},
        {"between undefined",
         F(IsBetween(Undef, P(1, 1), P(2, 2)), IsBetween(P(0, 0), Undef, P(2, 2)),
           IsBetween(P(0, 0), P(1, 1), Undef), LineIsBetween(UndefLine, P(3, 5), P(8, -5)),
           LineIsBetween(xAxis, Undef, P(8, -5))),
         F(UndefinedResult, UndefinedResult, UndefinedResult, UndefinedResult, UndefinedResult)},
        // Points on the line are reported before the crossing is tested.
        {"line between",
         F(LineIsBetween(xAxis, P(3, 0.4), P(8, -0.4)), LineIsBetween(xAxis, P(3, 0.4), P(8, 7)),
           LineIsBetween(xAxis, P(3, 7), P(8, 0.4)), LineIsBetween(xAxis, P(3, 5), P(8, -5)),
           LineIsBetween(xAxis, P(3, 5), P(8, 9))),
         F(3, 1, 2, -1, 0)},
        // The first along the line comes first; equal points are exchanged.
        {"first", Order(SetFirst, P(8, 0, 0xA), P(2, 0, 0xB), right), F(0, 0xB, 0xA, 0)},
        {"first equal", Order(SetFirst, P(4, 4, 0xA), P(4, 4, 0xB), L(0, 0, 1, 1)),
         F(0, 0xB, 0xA, 0)},
        // Counter-clockwise from the line: left of the base a quarter turn, right three.
        {"turn", Order(SetFirstAngle, P(20, 10, 0xA), P(0, 10, 0xB), up), F(0, 0xB, 0xA, 0)},
        {"nearly a turn", Order(SetFirstAngle, P(10.1, 0, 0xA), P(10, 20, 0xB), up),
         F(0, 0xB, 0xA, 0)},
        {"on the line", Order(SetFirstAngle, P(10, 0, 0xA), P(0, 10, 0xB), up), F(0, 0xA, 0xB, 0)},
        {"second on the line", Order(SetFirstAngle, P(0, 10, 0xA), P(10, 0, 0xB), up),
         F(0, 0xB, 0xA, 0)},
        {"the same turn", Order(SetFirstAngle, P(0, 10, 0xA), P(-10, 10, 0xB), up),
         F(0, 0xA, 0xB, 0)},
        // A defined record moves first, and the count of undefined ones is reported.
        {"first undefined", Order(SetFirst, Undef, P(1, 1, 0xB), right), F(-1, 0xB, 0x111111, 1)},
        {"turn undefined", Order(SetFirstAngle, Undef, P(1, 1, 0xB), right),
         F(-1, 0xB, 0x111111, 1)},
        {"both undefined",
         F(Order(SetFirst, Undef, Undef, right)[0], Order(SetFirstAngle, Undef, Undef, right)[0]),
         F(-2, -2)},
    };
    for (const auto& r : rows) ExpectFields(r.got, r.want, r.what);
}

// Through the exported procedure, only the roots found are written back.
TEST(Crossings, TheExportedSolverWritesOnlyTheRootsItFound) {
    double a = 1, b = -2, c = 1, x1 = 42, x2 = 42;
    EXPECT_EQ(ZIR_SOLVEEQUATION2(&a, &b, &c, &x1, &x2), 1);
    EXPECT_EQ(x1, 1);
    EXPECT_EQ(x2, 42);
}

TEST(Crossings, TheSmallerAngleComesFirst) {
    // More than a half turn from the first to the second: exchanged.
    Line l1 = L(0, 0, 1, 0, 0xA), l2 = L(0, 0, 0, 1, 0xB), l3 = L(0, 0, 0, -1, 0xC);
    EXPECT_EQ(SetSmallerAngle(l1, l2), 0);
    EXPECT_EQ(SetSmallerAngle(l2, l3), 0);
    ExpectFields(F(l1.colour, l2.colour), F(0xB, 0xA), "smaller angle");
    Line u1 = UndefLine, u2 = UndefLine;
    EXPECT_EQ(SetSmallerAngle(u1, l3), -1);
    EXPECT_EQ(u1.colour, 0xCu);
    EXPECT_EQ(SetSmallerAngle(l3, u2), -2);
}

}  // namespace
}  // namespace zir
