// Segments drawn with pencil and ruler: the segment grows frame by frame from its first
// point, the pencil's point at its growing end and the ruler laid along the whole of it.
//
// The animations draw into the drawing buffer only and show it by copying it whole onto
// the screen at (x, y). Each takes a snapshot of the buffer first and starts every frame
// from it, so that no instrument stays behind; when it ends, by running out or by input,
// the whole segment stands in the buffer and is shown. The look record gives the segment's
// colour, style and width only. The instrument word: see anim/frames.h; the ruler is
// rulerWidth (low half) wide, in rulerColour, on side 0.
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"
#include "runtime/pacing.h"

namespace zir {

// One frame: the segment from p1 towards p2 grown to step / steps of its length (all of it
// at the last step), with the pencil at its end when the word asks for it, tilted one
// radian from the segment's direction. Advances step. Returns 0 when it drew, -1 when no
// step is left (step > steps), UndefinedResult for an undefined point.
std::int32_t PartialLine(DrawTarget buffer, const Point& p1, const Point& p2, const Line& look,
                         std::int32_t& step, std::int32_t steps, double pencilSize,
                         std::uint32_t word);

// The segment p1-p2 drawn over the duration (seconds) in frames of frameSeconds. Returns 0
// when it ran to its end, or the input that ended it early. Undefined points: 0, nothing
// drawn.
InputEvent AnimateLine(DrawTarget buffer, int x, int y, const Point& p1, const Point& p2,
                       const Line& look, float duration, double pencilSize, std::uint32_t word);

// The same for a segment with an end point: after the last frame, unless input ended it,
// ruler and pencil stay shown for stepWait ms (input then ends that wait and is returned);
// then the end point p2 is drawn beside the whole segment.
InputEvent AnimateStartLine(DrawTarget buffer, int x, int y, const Point& p1, const Point& p2,
                            const Line& look, float duration, double pencilSize,
                            std::uint32_t word);

}  // namespace zir
