#include "anim/lines.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "anim/frames.h"
#include "draw/figures.h"
#include "draw/instruments.h"
#include "geometry/portablemath.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// How far the pencil leans from the segment's direction, in radians.

InputEvent LineAnimation(DrawTarget buffer, int x, int y, const Point& p1, const Point& p2,
                         const Line& look, float duration, double pencilSize, std::uint32_t word,
                         bool withEndPoint) {
    if (IsUndefined(p1) || IsUndefined(p2)) return 0;
    const RunState& settings = Settings();
    const Snapshot snapshot(buffer);
    const std::int32_t frames = FrameCount(duration);
    std::int32_t step = 1;
    InputEvent event = RunFrames(snapshot, buffer, x, y, [&] {
        if (word & ShowRuler) {
            RulerTool(buffer, p1, p2, 0, RulerWidth(settings), settings.rulerColour,
                      TickSpacing(word));
        }
        return PartialLine(buffer, p1, p2, look, step, frames, pencilSize, word);
    });
    // The last frame, ruler and pencil included, is still on the screen during this pause.
    if (withEndPoint) PauseAfterStep(event);
    snapshot.Restore();
    std::int32_t last = frames;
    PartialLine(buffer, p1, p2, look, last, frames, 0, 0);
    if (withEndPoint) DrawPoint(buffer, p2);
    Show(buffer, x, y);
    return event;
}

}  // namespace

std::int32_t PartialLine(DrawTarget buffer, const Point& p1, const Point& p2, const Line& look,
                         std::int32_t& step, std::int32_t steps, double pencilSize,
                         std::uint32_t word) {
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedResult;
    if (step > steps) return -1;
    // The last step ends exactly at p2, so that the finished segment is the one drawn
    // without animation (two equal points included).
    Point end = p2;
    if (step != steps && steps > 0) {
        const double part = std::max(0, step) / static_cast<double>(steps);
        end = AdvanceToPoint(p1, p2, Distance(p1, p2) * part);
    }
    DrawSegment(buffer, p1, end, look);
    if (word & ShowPencil) {
        const double direction = -Atan2(p2.y - p1.y, p2.x - p1.x);
        PencilTool(buffer, end, direction + PencilTilt, pencilSize, InstrumentColour(word));
    }
    if (step < INT_MAX) ++step;
    return 0;
}

InputEvent AnimateLine(DrawTarget buffer, int x, int y, const Point& p1, const Point& p2,
                       const Line& look, float duration, double pencilSize, std::uint32_t word) {
    return LineAnimation(buffer, x, y, p1, p2, look, duration, pencilSize, word, false);
}

InputEvent AnimateStartLine(DrawTarget buffer, int x, int y, const Point& p1, const Point& p2,
                            const Line& look, float duration, double pencilSize,
                            std::uint32_t word) {
    return LineAnimation(buffer, x, y, p1, p2, look, duration, pencilSize, word, true);
}

}  // namespace zir
