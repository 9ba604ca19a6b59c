// The figures of a construction: points in their shapes, whole lines across the target,
// segments, circles and arcs, and rectangles.
//
// Each figure takes its colour, style and width from the record it is given. A width w is
// drawn as w one-pixel copies at the offsets -w/2, -w/2 + 1, ..., -w/2 + w - 1 (across x for
// lines steeper than 45 degrees, else across y); circles as concentric rings half a pixel
// apart. A width of 0 or less draws nothing. Every procedure returns 0 when it drew, or
// UndefinedResult when a record it needs is undefined (then nothing is drawn).
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"

namespace zir {

// The shape codes of a point record; h is half the point's size. Any other code draws the
// single pixel.
enum class PointShape : std::int16_t {
    Cross = 0,         // two segments of length size through the point
    Disc = 2,          // filled, radius h
    Ring = 3,          // outline, radius h
    FilledSquare = 4,  // side size
    Square = 5,
    ArrowLeft = 8,  // an arrowhead of length size whose tip is the point
    ArrowRight = 9,
    ArrowUp = 10,
    ArrowDown = 11,
};

// Also -1 when the point lies left of or above the target, or beyond its width or height;
// a point exactly on the right or bottom edge is drawn (and clipped).
std::int32_t DrawPoint(DrawTarget target, const Point& point);
// The whole infinite line, from edge to edge of the target.
std::int32_t DrawLine(DrawTarget target, const Line& line);
// The segment p1-p2 in the line record's colour, style and width; the record's own base
// point and direction are not used.
std::int32_t DrawSegment(DrawTarget target, const Point& p1, const Point& p2, const Line& line);
// A full circle when start and end are both 0, else the arc counter-clockwise from start to
// end.
std::int32_t DrawCircle(DrawTarget target, const Circle& circle);
// The rectangle of the given height erected on the side ab (on the side of (-(b.y - a.y),
// b.x - a.x) for a positive height): the sides a-b, a-c, b-d and c-d, each as DrawSegment.
std::int32_t DrawRect(DrawTarget target, const Point& a, const Point& b, double height,
                      const Line& line);

}  // namespace zir
