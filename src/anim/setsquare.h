// The set square slid along a ruler: to erect the perpendicular from a point to a line, and
// to draw the parallel to a line through a point.
//
// Each shows the square laid on its start position and waits instrumentWait ms, lays the
// ruler against it and waits again, then slides the square along the ruler in frames over
// the duration. Input ends the current phase at once, skips the rest, and is written into
// event (0 when none came). Undefined inputs give the undefined line and draw nothing.
// Drawing and showing as for the line animations (anim/lines.h).
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"
#include "runtime/pacing.h"

namespace zir {

// The square's corner starts on l beside the foot of the perpendicular from p and slides at
// 45 degrees until its leg runs through p; its size is raised to 20 pixels more than p's
// distance from l. Leaves square and ruler in the buffer (the caller restores it). Returns
// the perpendicular to l through p.
Line AnimateRightAngle(DrawTarget buffer, int x, int y, const Line& l, const Point& p,
                       float duration, double size, double rulerWidth, Colour squareColour,
                       Colour rulerColour, InputEvent& event);

// The perpendicular from p to l erected with the set square and then drawn with the pencil
// (word as for AnimateLine) from its foot through p, at least size long. The buffer then
// holds the caller's picture and that segment in the look's appearance. Returns the
// perpendicular in the look's colour, style and width. With p on l no segment is drawn.
Line AnimateDrawRightAngle(DrawTarget buffer, int x, int y, const Line& l, const Point& p,
                           float duration, const Line& look, double size, double rulerWidth,
                           Colour squareColour, Colour rulerColour, std::uint32_t word,
                           InputEvent& event);

// The square's hypotenuse lies parallel to l, starting 3 pixels beyond l on the side away
// from p, and slides along a ruler until it is 3 pixels short of p. Leaves square and ruler
// in the buffer. Returns the parallel to l through p. With p within half a pixel of l there
// is nothing to slide: nothing is drawn and nobody waits.
Line AnimateParallel(DrawTarget buffer, int x, int y, const Line& l, const Point& p, float duration,
                     double size, double rulerWidth, Colour squareColour, Colour rulerColour,
                     InputEvent& event);

// The parallel through p found with the set square and then drawn with the pencil as a
// segment 1.4142 size long centred on p. Returns it in the look's appearance.
Line AnimateDrawParallel(DrawTarget buffer, int x, int y, const Line& l, const Point& p,
                         float duration, const Line& look, double size, double rulerWidth,
                         Colour squareColour, Colour rulerColour, std::uint32_t word,
                         InputEvent& event);

}  // namespace zir
