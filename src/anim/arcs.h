// Circles and arcs drawn by the compass: the arc grows counter-clockwise from its start
// frame by frame, the compass's needle at the centre and its pencil at the growing end.
// Drawing and showing as for the line animations (anim/lines.h).
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"
#include "runtime/pacing.h"

namespace zir {

// One frame: the arc grown to step / steps of its sweep (a whole circle sweeps a full turn
// from angle 0), the whole arc at the last step, with the compass when the word asks for it
// (compassSize is its leg length). An arc of less than a third of a radian is hurried: step
// jumps to round(step / (3 sweep)), written back, so that it takes only a few frames.
// Advances step. Returns 0 when it drew, -1 when no step is left, UndefinedResult for an
// undefined arc.
std::int32_t PartialArc(DrawTarget buffer, const Circle& arc, std::int32_t& step,
                        std::int32_t steps, double compassSize, std::uint32_t word);

// The arc drawn over the duration (seconds). Returns 0 when it ran to its end, or the input
// that ended it early. An undefined arc: 0, nothing drawn.
InputEvent AnimateArc(DrawTarget buffer, int x, int y, const Circle& arc, float duration,
                      double compassSize, std::uint32_t word);

}  // namespace zir
