// An angle measured with the protractor: the pencil marks the vertex (the foot of p on the
// line, or p itself when it lies on the line), the protractor is laid on the line there,
// the pencil marks the angle at its rim, a ruler joins vertex and mark, and the pencil draws
// the ray. Drawing and showing as for the line animations (anim/lines.h).
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"
#include "runtime/pacing.h"

namespace zir {

// The line through the vertex at the angle (radians, counter-clockwise) to l, in the look's
// colour, style and width. size is the protractor's diameter and the pencil's length; the
// word gives the pencil's and protractor's colour and flags (see anim/frames.h). With a
// word of 0 no instrument is shown and only the ray is animated. An angle above pi or below
// 0 lays the protractor on the other side of l. The marks are shown for instrumentWait ms
// each. Input ends the current phase, skips the rest and is written into event. The buffer
// ends with the caller's picture and the ray from the vertex to just beyond the rim.
// Undefined inputs give the undefined line and draw nothing.
Line AnimateProtractor(DrawTarget buffer, int x, int y, const Line& l, const Point& p, double angle,
                       float duration, double size, const Line& look, std::uint32_t word,
                       InputEvent& event);

}  // namespace zir
