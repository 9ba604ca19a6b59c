#include "anim/setsquare.h"

#include "anim/frames.h"
#include "anim/lines.h"
#include "draw/figures.h"
#include "draw/instruments.h"
#include "geometry/crossings.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr double ThreeQuarterPi = 2.35619449019234;
constexpr double FiveQuarterPi = 3.92699081698724;
constexpr double Sqrt2 = 1.4142;
constexpr double HalfSqrt2 = 0.7071;
// How far beside the foot the right-angle corner starts, and how much longer than the
// distance to the point its leg is.
constexpr double CornerLead = 20.0;
// How far the parallel square's hypotenuse stays off the line and off the point.
constexpr double HypotenuseGap = 3.0;

Line Reversed(Line l, bool reverse) {
    if (reverse) {
        l.dx = -l.dx;
        l.dy = -l.dy;
    }
    return l;
}

// Turns r, the perpendicular through p with foot f, so that it points from the foot towards
// p's side; true when it had to be reversed.
bool PointTowards(Line& r, const Point& p, const Point& f) {
    const Point tip{p.x + r.dx, p.y + r.dy, 0, 0, 0};
    if (IsBetween(tip, p, f) != 0) return false;
    r = Reversed(r, true);
    return true;
}

Point Moved(const Point& p, double dx, double dy) {
    return Point{p.x + dx, p.y + dy, p.colour, p.size, p.shape};
}

// The slide: frames 1 to n, each restoring the snapshot and drawing the instruments at
// the fraction i / n of the way. Returns the input that ended it, or 0.
template <class DrawAt>
InputEvent Slide(const Snapshot& snapshot, DrawTarget buffer, int x, int y, float duration,
                 DrawAt&& drawAt) {
    const std::int32_t frames = FrameCount(duration);
    std::int32_t i = 0;
    const InputEvent event = RunFrames(snapshot, buffer, x, y, [&] {
        if (++i > frames) return 1;
        drawAt(static_cast<double>(i) / frames);
        return 0;
    });
    // The loop put the snapshot back before it found no frame left; the instruments stay
    // where the last frame showed them, for the steps that follow the slide.
    if (event == 0 && frames > 0 && i > frames) drawAt(1.0);
    return event;
}

void TakeLook(Line& l, const Line& look) {
    l.colour = look.colour;
    l.style = look.style;
    l.width = look.width;
}

}  // namespace

Line AnimateRightAngle(DrawTarget buffer, int x, int y, const Line& l, const Point& p,
                       float duration, double size, double rulerWidth, Colour squareColour,
                       Colour rulerColour, InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    const Snapshot snapshot(buffer);
    Line r = MakeRightAngle(p, l);
    const Point foot = LineCross(l, r);
    const double reach = Distance(p, foot) + CornerLead;
    if (size < reach) size = reach;
    const bool flip = PointTowards(r, p, foot);
    const double slant = flip ? ThreeQuarterPi : FiveQuarterPi;

    // The corner starts behind the foot along l in both orientations, so that the slide
    // carries it across l to the side away from p and the leg then spans l and reaches p.
    const Point start = AdvanceOnLine(foot, l, -CornerLead);
    const Point end = LineCross(MakeAngle(start, l, slant), r);
    const double offsetX = end.x - start.x, offsetY = end.y - start.y;

    SquareTool(buffer, Reversed(MakeRightAngle(start, l), flip), l, 0, size, squareColour);
    Show(buffer, x, y);
    event = InstrumentPause();

    // The ruler lies against the square's hypotenuse, on its outer side.
    const Point rulerStart = AdvanceOnLine(start, l, size);
    const Point rulerEnd =
        AdvanceOnLine(rulerStart, MakeAngle(rulerStart, l, slant), (CornerLead + size) * Sqrt2);
    const std::int32_t rulerSide = flip ? 0 : 1;
    RulerTool(buffer, rulerStart, rulerEnd, rulerSide, rulerWidth, rulerColour, 0);
    Show(buffer, x, y);
    if (event == 0) event = InstrumentPause();
    if (event == 0) {
        event = Slide(snapshot, buffer, x, y, duration, [&](double part) {
            const Point corner = Moved(start, offsetX * part, offsetY * part);
            SquareTool(buffer, Reversed(MakeRightAngle(corner, l), flip), MakeAngle(corner, l, 0.0),
                       0, size, squareColour);
            RulerTool(buffer, rulerStart, rulerEnd, rulerSide, rulerWidth, rulerColour, 0);
        });
    }
    return MakeRightAngle(p, l);
}

Line AnimateDrawRightAngle(DrawTarget buffer, int x, int y, const Line& l, const Point& p,
                           float duration, const Line& look, double size, double rulerWidth,
                           Colour squareColour, Colour rulerColour, std::uint32_t word,
                           InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    const Snapshot snapshot(buffer);
    Line r = AnimateRightAngle(buffer, x, y, l, p, duration, size, rulerWidth, squareColour,
                               rulerColour, event);
    TakeLook(r, look);
    const Point foot = LineCross(l, r);
    // The drawn segment is at least as long as the square's leg.
    Point end = p;
    if (Distance(foot, p) < size) end = AdvanceToPoint(foot, p, size);
    if (event == 0) event = AnimateLine(buffer, x, y, foot, end, look, duration, size, word);
    snapshot.Restore();
    DrawSegment(buffer, foot, end, look);
    Show(buffer, x, y);
    return r;
}

Line AnimateParallel(DrawTarget buffer, int x, int y, const Line& l, const Point& p, float duration,
                     double size, double rulerWidth, Colour squareColour, Colour rulerColour,
                     InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    const Line parallel = MakeAngle(p, l, 0.0);
    const double h = HalfSqrt2 * size;
    Line r = MakeRightAngle(p, l);
    const Point foot = LineCross(l, r);
    // A point on the line is on its own parallel: the square has nowhere to slide to.
    if (!(Distance(p, foot) >= 0.5)) return parallel;
    const Snapshot snapshot(buffer);
    const bool flip = PointTowards(r, p, foot);

    const Point end = AdvanceToPoint(p, foot, HypotenuseGap + h);
    const Point cut = LineCross(l, MakeAngle(p, l, ThreeQuarterPi));
    const Line up = Reversed(MakeRightAngle(cut, l), flip);
    const Point start = AdvanceOnLine(cut, up, -(HypotenuseGap + h));
    const double offsetX = end.x - start.x, offsetY = end.y - start.y;
    const Line path = MakeLine(start, end);

    SquareTool(buffer, MakeRightAngle(start, path), path, 0, size, squareColour);
    Show(buffer, x, y);
    event = InstrumentPause();

    RulerTool(buffer, start, end, 1, rulerWidth, rulerColour, 0);
    Show(buffer, x, y);
    if (event == 0) event = InstrumentPause();
    if (event == 0) {
        event = Slide(snapshot, buffer, x, y, duration, [&](double part) {
            const Point corner = Moved(start, offsetX * part, offsetY * part);
            SquareTool(buffer, MakeRightAngle(corner, path), path, 0, size, squareColour);
            RulerTool(buffer, start, end, 1, rulerWidth, rulerColour, 0);
        });
    }
    return parallel;
}

Line AnimateDrawParallel(DrawTarget buffer, int x, int y, const Line& l, const Point& p,
                         float duration, const Line& look, double size, double rulerWidth,
                         Colour squareColour, Colour rulerColour, std::uint32_t word,
                         InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    const Snapshot snapshot(buffer);
    Line r = AnimateParallel(buffer, x, y, l, p, duration, size, rulerWidth, squareColour,
                             rulerColour, event);
    TakeLook(r, look);
    const double half = HalfSqrt2 * size;
    const Point e1 = AdvanceOnLine(p, r, -half), e2 = AdvanceOnLine(p, r, half);
    if (event == 0) event = AnimateLine(buffer, x, y, e1, e2, look, duration, size, word);
    snapshot.Restore();
    DrawSegment(buffer, e1, e2, look);
    Show(buffer, x, y);
    return r;
}

}  // namespace zir
