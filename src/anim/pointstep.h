// The slow-mode point step of the construction statements: a new point is drawn and the
// pencil is shown marking it.
#pragma once

#include "draw/raster.h"
#include "geometry/kernel.h"
#include "runtime/pacing.h"

namespace zir {

// Draws the point into the buffer, then shows the pencil at it (tilted one radian, as long
// as the small tool size, in pencilColour or the point's colour) and, when rulerFrom is
// given, the ruler with its scale from that point to the new one; shows the buffer, pauses
// stepWait ms, takes the instruments away again, shows the buffer and pauses once more.
// pending is the invocation's pending input: a pause runs only while it is 0, and the input
// that ends a pause becomes it. Returns the pending input afterwards. An undefined point
// draws nothing. The caller's snapshots of the buffer are left alone.
InputEvent AnimatePointStep(DrawTarget buffer, int x, int y, const Point& point,
                            const Point* rulerFrom, InputEvent pending);

}  // namespace zir
