// The geometry kernel: the point, line, circle and equation records and the operations that
// build and transform them.
//
// Coordinates are pixels of the drawing buffer, x to the right and y down. Angles are radians
// counter-clockwise as seen on the screen, so angle a points along (cos a, -sin a) and the
// angle of a direction (dx, dy) is -atan2(dy, dx). A record whose first coordinate is exactly
// UndefinedMarker is undefined; every operation checks its inputs first and passes
// undefinedness on without computing with the other inputs.
//
// The records are the structs of the exported interface; value-initialise them ({}) so that
// every field starts at zero. Each operation here is also exported under its ZIR_ name.
#pragma once

#include <cstdint>

#include "zirkula_records.h"

namespace zir {

using Point = ZirPoint;
using Line = ZirLine;
using Circle = ZirCircle;
using Equation = ZirEquation;

inline constexpr double UndefinedMarker = 1e308;
// The dash mask of a solid line.
inline constexpr std::uint16_t SolidStyle = 0xFFFF;
// The integer result of an operation given an undefined object (0xFFFF0000); callers test
// results only for being non-zero, so it counts as true.
inline constexpr std::int32_t UndefinedResult = -65536;

// The program's constants, written with 15 significant digits; every normalisation uses them.
inline constexpr double Pi = 3.14159265358979;
inline constexpr double TwoPi = 6.28318530717959;
// Radians per script angle unit (1/256 degree): 2 pi / 92160.
inline constexpr double AngleUnit = 6.81769239060285e-05;

inline bool IsUndefined(const Point& p) {
    return p.x == UndefinedMarker;
}
inline bool IsUndefined(const Line& l) {
    return l.x == UndefinedMarker;
}
inline bool IsUndefined(const Circle& c) {
    return c.cx == UndefinedMarker;
}
inline bool IsUndefined(const Equation& e) {
    return e.b == UndefinedMarker;
}

// A point at these coordinates with no colour, size or shape, as computations need one.
inline Point PointXY(double x, double y) {
    return Point{x, y, 0, 0, 0};
}

// Undefined records: the marker in the first two coordinates, zero everywhere else.
inline Point UndefinedPoint() {
    return Point{UndefinedMarker, UndefinedMarker, 0, 0, 0};
}
inline Line UndefinedLine() {
    return Line{UndefinedMarker, UndefinedMarker, 0, 0, 0, 0, 0};
}
inline Circle UndefinedCircle() {
    return Circle{UndefinedMarker, UndefinedMarker, 0, 0, 0, 0, 0};
}
inline Equation UndefinedEquation() {
    return Equation{UndefinedMarker, UndefinedMarker, 0, 0, 0};
}

// The line from p1 towards p2; equal points give the horizontal direction (0.000001, 0).
// Colour from p1; solid and one pixel wide, as the geometry knows no drawing defaults.
Line MakeLine(const Point& p1, const Point& p2);
// The line through p at the absolute angle a, with a direction of length 100, solid and one
// pixel wide.
Line MakeLinePolar(const Point& p, double a);

// Distances are 0.0 when an input is undefined.
double Distance(const Point& p1, const Point& p2);
// Never negative. A line without direction counts as its base point.
double LineDistance(const Point& p, const Line& l);

// p moved by the signed distance d along l's direction, with p's appearance. Undefined when
// l has no direction.
Point AdvanceOnLine(const Point& p, const Line& l, double d);
// p1 moved by the signed distance d towards p2, with p1's appearance; undefined when the two
// points coincide.
Point AdvanceToPoint(const Point& p1, const Point& p2, double d);

// The perpendicular to l through p, direction (-l.dy, l.dx), with l's appearance.
Line MakeRightAngle(const Point& p, const Line& l);
// The far corners c (over a, a's colour and size) and d (over b) of the rectangle of height h
// on the side ab, offset along (-(b.y - a.y), b.x - a.x); shapes stay. Returns 0, or
// UndefinedResult with c and d undefined (other fields kept) for an undefined input or a = b.
std::int32_t RectOver(const Point& a, const Point& b, double h, Point& c, Point& d);
// The line through p at l's absolute angle plus a (not normalised), as MakeLinePolar makes it.
Line MakeAngle(const Point& p, const Line& l, double a);
// p turned about centre by a, counter-clockwise on the screen, with p's appearance.
Point RotatePoint(const Point& p, const Point& centre, double a);

// The angle of l's direction in [0, 2 pi); UndefinedMarker for an undefined line.
double AbsAngle(const Line& l);
// The counter-clockwise angle from l1's direction to l2's; UndefinedMarker when undefined.
double Angle(const Line& l1, const Line& l2);

// The arc about centre through p with the angular width w, centred on p: start and end are
// each brought into [0, 2 pi] (exactly 2 pi stays). Colour from p, width from p's size.
// w = 0 gives start = end = 0, the whole circle.
Circle MakeArc(const Point& centre, const Point& p, double w);
// The points of the arc at its start and end angle, in the arc's colour with its width as size
// and shape 0. Returns 0, or UndefinedResult with e1 and e2 undefined (other fields kept).
std::int32_t ArcEnds(const Circle& arc, Point& e1, Point& e2);

Line EquatToVectorial(const Equation& e);
Equation VectorialToEquat(const Line& l);
double LineDistanceEquat(const Point& p, const Equation& e);

}  // namespace zir
