// Marks that annotate a construction: a point with its name, a segment with a name or its
// length, an angle with an arc and a name or its size, a right angle with a square corner.
//
// A mark takes its colour from an object: the point's for a point label, the first point's
// for a segment, the first line's for an angle. Labels are drawn in the given font on a
// transparent background, at positions rounded to the nearest pixel (halves to even).
// Every procedure returns 0, or UndefinedResult when an object it needs is undefined (then
// nothing is drawn).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "draw/fonts.h"
#include "draw/raster.h"
#include "geometry/kernel.h"

namespace zir {

// Where a point's label goes. Neither above nor below centres it vertically, neither left
// nor right horizontally; above wins over below and left over right.
inline constexpr std::int32_t LabelAbove = 1;
inline constexpr std::int32_t LabelBelow = 2;
inline constexpr std::int32_t LabelLeft = 4;
inline constexpr std::int32_t LabelRight = 8;
// MarkAndNumberLine: show the length negated.
inline constexpr std::int32_t LengthNegated = 0x100;

// Draws the point (DrawPoint) and its label beside it as the flags say.
std::int32_t MarkPoint(DrawTarget target, const Point& point, std::string_view label, FontView font,
                       std::int32_t flags);

// A label beside the middle of the segment p1-p2: above it (left of a segment steeper than
// 45 degrees) for side 0, below it (right) for any other side.
std::int32_t MarkLine(DrawTarget target, const Point& p1, const Point& p2, std::string_view label,
                      FontView font, std::int32_t side);
// The same with the text prefix + "=" + LengthText of the segment's length (negated with
// LengthNegated); flags 0 places it above or left, any other value below or right.
std::int32_t MarkAndNumberLine(DrawTarget target, const Point& p1, const Point& p2,
                               std::string_view prefix, FontView font, std::int32_t flags,
                               std::int32_t unit);
// A length as a segment label shows it: with a unit below 2 the largest whole number not
// above it; otherwise length / unit with at most two decimals, trailing zeros and a bare
// decimal point dropped, and a minus sign only for values that do not round to 0.
std::string LengthText(double length, std::int32_t unit);

// An arc of the given radius around the crossing of the two lines, one pixel wide, with the
// label inside it on the arc's bisector. The mode picks the angle:
//   0  from line 1 to line 2, counter-clockwise on the screen;
//   1  the adjacent angle on line 2's side;  2  the opposite angle;
//   3  the adjacent angle on line 1's side;
// modes 0 to 3 first turn an angle above 180 degrees into the one between line 1 and the
// reversed line 2; 4 and above keep the counter-clockwise angle from line 1 to line 2 as it
// is, reflex angles included. A right angle also gets the square corner of a quarter of the
// radius, in the quarter the arc marks.
std::int32_t MarkAngle(DrawTarget target, const Line& line1, const Line& line2,
                       std::string_view label, FontView font, std::int32_t mode, double radius);
// The same with the text prefix + "=" + the marked angle in whole degrees (rounded down) +
// the degree sign (byte 0xB0).
std::int32_t MarkAndNumberAngle(DrawTarget target, const Line& line1, const Line& line2,
                                std::string_view prefix, FontView font, std::int32_t mode,
                                double radius);
// The angle a-vertex-b counter-clockwise from the ray towards a to the ray towards b (mode
// 4), in the vertex's colour.
std::int32_t MarkAnglePt(DrawTarget target, const Point& a, const Point& vertex, const Point& b,
                         std::string_view label, FontView font, double radius);
std::int32_t MarkAndNumberAnglePt(DrawTarget target, const Point& a, const Point& vertex,
                                  const Point& b, std::string_view prefix, FontView font,
                                  double radius);

// The square corner of side size at the lines' crossing, spanned by line 1's and line 2's
// directions; mode bit 0 reverses line 1's direction and bit 1 line 2's.
std::int32_t MarkRightAngle(DrawTarget target, const Line& line1, const Line& line2,
                            std::int32_t mode, double size);
// The same for the rays from the vertex towards a and towards b.
std::int32_t MarkRightAnglePt(DrawTarget target, const Point& a, const Point& vertex,
                              const Point& b, std::int32_t mode, double size);

}  // namespace zir
