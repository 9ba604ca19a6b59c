#include "anim/pointstep.h"

#include "anim/frames.h"
#include "draw/figures.h"
#include "draw/instruments.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr std::int32_t PointRulerTicks = 10;

}  // namespace

InputEvent AnimatePointStep(DrawTarget buffer, int x, int y, const Point& point,
                            const Point* rulerFrom, InputEvent pending) {
    if (IsUndefined(point)) return pending;
    const RunState& settings = Settings();
    DrawPoint(buffer, point);
    const Snapshot snapshot(buffer);
    const Colour pencil = settings.pencilColour == ObjectColour
                              ? Colour{point.colour}
                              : InstrumentColour(settings.pencilColour);
    PencilTool(buffer, point, PencilTilt, settings.toolSizeSmall, pencil);
    if (rulerFrom) {
        RulerTool(buffer, *rulerFrom, point, 0, RulerWidth(settings), settings.rulerColour,
                  PointRulerTicks);
    }
    ShowAndPause(buffer, x, y, pending);
    snapshot.Restore();
    ShowAndPause(buffer, x, y, pending);
    return pending;
}

}  // namespace zir
