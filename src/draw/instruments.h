// The drawing instruments the animated construction steps move about: ruler, set square,
// compass, protractor and pencil. Each procedure draws its instrument once, as a line
// drawing in one colour, entirely where its arguments place it; moving it is the caller's
// business (draw, wait, restore the background, draw again elsewhere).
//
// Sizes are pixels. Every procedure returns 0, or UndefinedResult when a position record is
// undefined (then nothing is drawn); the compass also refuses with -1. Each is also exported
// under its ZIRD_...TOOL name.
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"

namespace zir {

// A ruler of the given width along the segment a-b, its edge 2 pixels beside the segment and
// reaching width pixels beyond each end. Side 0 lays it on the side of (-e.y, e.x) for the
// direction e from a to b, any other side on the other one. A tick spacing above 0 draws a
// scale whose zero is at a: every tick 0.2 of the width long, every fifth 0.35, every tenth
// 0.5. Equal points give a horizontal ruler.
std::int32_t RulerTool(DrawTarget target, const Point& a, const Point& b, std::int32_t side,
                       double width, Colour colour, std::int32_t tickSpacing);

// A set square with legs of the given size in the corner of the two lines, its right angle
// 2 pixels off both lines at their crossing and its legs along line 1's and line 2's
// directions; mode bit 0 reverses line 1's direction, bit 1 line 2's. Lines without a
// direction draw nothing and give -1.
std::int32_t SquareTool(DrawTarget target, const Line& line1, const Line& line2, std::int32_t mode,
                        double size, Colour colour);

// A compass with its needle at a and its pencil at b; legs of the given length, at least
// 0.55 of the distance a-b. -1 (nothing drawn) when a and b are less than 0.5 pixels apart.
// The pencil lead is a filled point as wide as the leg.
std::int32_t CompassTool(DrawTarget target, const Point& a, const Point& b, double legLength,
                         Colour colour);

// A half-circle protractor of the given diameter centred at c, its base along the line's
// direction: side 0 puts the half disc counter-clockwise of that direction (and the base
// strip on the other side), any other side the reverse. 19 ticks mark every 10 degrees.
std::int32_t ProtractorTool(DrawTarget target, const Point& c, const Line& line, std::int32_t side,
                            double diameter, Colour colour);

// A pencil of the given length whose point is at p, lying at the angle (radians,
// counter-clockwise on the screen) from the point towards its end.
// The angle (radians) at which the animations hold the pencil against its axis.
inline constexpr double PencilTilt = 1.0;
std::int32_t PencilTool(DrawTarget target, const Point& p, double angle, double length,
                        Colour colour);

}  // namespace zir
