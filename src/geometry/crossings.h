// Crossings of lines and circles, the quadratic solver behind them, the between-tests and the
// orderings of pairs of points and lines.
//
// Which of two crossings comes first is part of the contract: scripts name both results of a
// crossing and rely on getting the same one each time. Impossible crossings give the count 0
// with both outputs undefined; they are never errors. Each operation is also exported under
// its ZIR_ name.
#pragma once

#include <cstdint>

#include "geometry/kernel.h"

namespace zir {

// The crossing point of two lines, computed on l2's parametrisation, in l1's colour with l1's
// width as size and shape 0. Parallel or identical lines (an exactly zero determinant) give
// the defined far point l1.base + 1e280 * l1.direction in MaskColour, size 0.
Point LineCross(const Line& l1, const Line& l2);

// The crossings of l and c: returns 0, 1 (tangent within 0.000001: both outputs the foot of
// the perpendicular from the centre) or 2 (s1 the one met first along l's direction). Both
// outputs first become undefined in l's colour with l's width as size; only their shapes are
// kept.
std::int32_t LineCircleCross(const Line& l, const Circle& c, Point& s1, Point& s2);

// The real roots of a x^2 + b x + c = 0, returning their number; roots that do not exist are
// not written (a double root leaves x2 as it was). With a = 0 it solves b x + c = 0.
std::int32_t SolveEquation2(double a, double b, double c, double& x1, double& x2);

// The crossings of two circles: returns 0 (also for concentric circles), 1 (touching exactly)
// or 2, s1 on the right of the direction from c1's centre to c2's as seen on the screen, in
// c1's colour with c1's width as size. Shapes are kept; a single crossing copies s1 into s2.
std::int32_t CircleCross(const Circle& c1, const Circle& c2, Point& s1, Point& s2);

// -1 when p lies strictly inside the box spanned by a and b, else 0; a box less than a pixel
// wide (or high) tests only y (or x). UndefinedResult for an undefined input.
std::int32_t IsBetween(const Point& a, const Point& p, const Point& b);

// 1, 2 or 3 when p1, p2 or both lie within half a pixel of l; otherwise IsBetween of l's
// crossing with the line p1 p2. UndefinedResult for an undefined input.
std::int32_t LineIsBetween(const Line& l, const Point& p1, const Point& p2);

// The three orderings exchange whole records. An undefined first record is exchanged with a
// defined second one and gives -1; a defined first with an undefined second gives -1 without
// exchanging; two undefined records give -2; otherwise the result is 0.
// SetFirst: a becomes the point not ahead of the other along l's direction (equal points are
// exchanged).
std::int32_t SetFirst(Point& a, Point& b, const Line& l);
// SetFirstAngle: a becomes the point reached first when turning counter-clockwise from l's
// direction about l's base point.
std::int32_t SetFirstAngle(Point& a, Point& b, const Line& l);
// SetSmallerAngle: afterwards the counter-clockwise angle from l1 to l2 is at most pi.
std::int32_t SetSmallerAngle(Line& l1, Line& l2);

}  // namespace zir
