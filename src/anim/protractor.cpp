#include "anim/protractor.h"

#include "anim/frames.h"
#include "anim/lines.h"
#include "draw/figures.h"
#include "draw/instruments.h"
#include "geometry/crossings.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// Half the length of the pencil stroke across the line that marks the vertex.
constexpr double VertexTick = 5.0;
// How far beyond the rim the pencil marks the angle.
constexpr double RimMark = 10.0;
// The width of the ruler along the ray, as a fraction of the protractor's diameter.
constexpr double RulerFraction = 0.15;

}  // namespace

Line AnimateProtractor(DrawTarget buffer, int x, int y, const Line& l, const Point& p, double angle,
                       float duration, double size, const Line& look, std::uint32_t word,
                       InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    const Snapshot snapshot(buffer);
    const Colour colour = InstrumentColour(word);
    const float markDuration = static_cast<float>(Settings().instrumentWait / 1000.0);

    // The vertex: p itself on the line, else the foot of its perpendicular, marked by a
    // short stroke across the line.
    Point vertex = p, tick1 = p, tick2 = p;
    if (LineDistance(p, l) > 0.5) {
        const Line across = MakeRightAngle(p, l);
        vertex = LineCross(l, across);
        tick1 = AdvanceOnLine(vertex, across, VertexTick);
        tick2 = AdvanceOnLine(vertex, across, -VertexTick);
        if (word != 0) {
            event = AnimateLine(buffer, x, y, tick1, tick2, look, markDuration, size, word);
        }
    }
    const std::int32_t side = angle > Pi || angle < 0 ? 1 : 0;
    if (word != 0) {
        snapshot.Restore();
        DrawSegment(buffer, tick1, tick2, look);
        // Centred on the vertex, where the angle is measured and where its rim marks lie.
        ProtractorTool(buffer, vertex, l, side, size, colour);
        Show(buffer, x, y);
        if (event == 0) event = InstrumentPause();
    }

    Line ray = MakeAngle(vertex, l, angle);
    ray.colour = look.colour;
    ray.style = look.style;
    ray.width = look.width;
    const Point rim = AdvanceOnLine(vertex, ray, 0.5 * size);
    const Point mark = AdvanceOnLine(vertex, ray, 0.5 * size + RimMark);

    bool interrupted = false;
    if (word != 0) {
        if (event == 0)
            event = AnimateLine(buffer, x, y, rim, mark, look, markDuration, size, word);
        if (event == 0) event = InstrumentPause();
        interrupted = event != 0;
        if (!interrupted) {
            snapshot.Restore();
            RulerTool(buffer, vertex, mark, side, RulerFraction * size, colour, 0);
            DrawSegment(buffer, rim, mark, look);
            Show(buffer, x, y);
            event = InstrumentPause();
        }
    }
    if (!interrupted && event == 0) {
        event = AnimateLine(buffer, x, y, vertex, mark, look, duration, size, word);
    }
    snapshot.Restore();
    DrawSegment(buffer, vertex, mark, look);
    Show(buffer, x, y);
    return ray;
}

}  // namespace zir
