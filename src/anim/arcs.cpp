#include "anim/arcs.h"

#include <climits>
#include <cmath>

#include "anim/frames.h"
#include "draw/figures.h"
#include "draw/instruments.h"

namespace zir {
namespace {

// Arcs of less than this sweep (radians) are hurried through in a few frames.
constexpr double ShortSweep = 0.333333;

}  // namespace

std::int32_t PartialArc(DrawTarget buffer, const Circle& arc, std::int32_t& step,
                        std::int32_t steps, double compassSize, std::uint32_t word) {
    if (IsUndefined(arc)) return UndefinedResult;
    if (step > steps) return -1;
    Circle shown = arc;
    if (step != steps && steps > 0) {
        double sweep = arc.end - arc.start;
        if (sweep <= 0) sweep += TwoPi;
        if (sweep > TwoPi) sweep -= TwoPi;
        // An arc whose angles are out of range has no sweep to grow through; it is drawn
        // whole.
        if (sweep > 0 && sweep <= TwoPi) {
            if (sweep < ShortSweep) {
                const double hurried = std::nearbyint(step / (3 * sweep));
                if (!(hurried <= steps)) return -1;
                if (hurried < INT_MIN) return -1;
                step = static_cast<std::int32_t>(hurried);
            }
            shown.end = arc.start + sweep * step / steps;
            if (shown.end > TwoPi) shown.end -= TwoPi;
        }
    }
    DrawCircle(buffer, shown);
    if (word & ShowPencil) {
        Point needle{}, pencil{};
        ArcEnds(shown, needle, pencil);
        needle.x = arc.cx;
        needle.y = arc.cy;
        CompassTool(buffer, needle, pencil, compassSize, InstrumentColour(word));
    }
    if (step < INT_MAX) ++step;
    return 0;
}

InputEvent AnimateArc(DrawTarget buffer, int x, int y, const Circle& arc, float duration,
                      double compassSize, std::uint32_t word) {
    if (IsUndefined(arc)) return 0;
    const Snapshot snapshot(buffer);
    const std::int32_t frames = FrameCount(duration);
    std::int32_t step = 1;
    const InputEvent event = RunFrames(snapshot, buffer, x, y, [&] {
        return PartialArc(buffer, arc, step, frames, compassSize, word);
    });
    snapshot.Restore();
    std::int32_t last = frames;
    PartialArc(buffer, arc, last, frames, 0, 0);
    Show(buffer, x, y);
    return event;
}

}  // namespace zir
