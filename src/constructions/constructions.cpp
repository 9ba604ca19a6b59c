#include "constructions/constructions.h"

#include <cmath>

#include "anim/arcs.h"
#include "anim/frames.h"
#include "anim/lines.h"
#include "anim/protractor.h"
#include "anim/setsquare.h"
#include "draw/figures.h"
#include "draw/marks.h"
#include "frontend/instructions.h"
#include "geometry/crossings.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// The side of every right-angle corner a construction draws.
constexpr double CornerSize = 10.0;
// How far from the vertex the bisector's first compass arcs cut the two lines.
constexpr double BisectorReach = 150.0;
constexpr std::int32_t QuarterTurn = 23040;       // 90 degrees in 1/256 degree
constexpr std::int32_t HalfTurn = 46080;          // 180 degrees
constexpr std::int32_t ThreeQuarterTurn = 69120;  // 270 degrees

// The instruments of the animated steps: the pencil with the ruler, and the ruler's scale
// of a tick every 10 pixels.
constexpr std::uint32_t PencilAndRuler = ShowPencil | ShowRuler;
constexpr std::uint32_t RulerScale = 10u << TickSpacingShift;

bool Draws(PaceMode mode) {
    return mode == PaceMode::Fast || mode == PaceMode::Pace;
}

// The sizes and the duration the animations of a construction take from the settings.
struct Tools {
    float duration = 0;     // seconds: the step wait
    double pencilSize = 0;  // pencil and compass
    double squareSize = 0;  // set square and protractor
    double rulerWidth = 0;
};

Tools ToolSettings() {
    const RunState& s = Settings();
    return Tools{static_cast<float>(s.stepWait / 1000.0), static_cast<double>(s.toolSizeSmall),
                 static_cast<double>(s.toolSizeLarge), static_cast<double>(RulerWidth(s))};
}

// An instrument word: the instrument's colour setting (or the object's colour where the
// setting says so) and the instruments to show.
std::uint32_t InstrumentWord(std::uint32_t setting, std::uint32_t objectColour,
                             std::uint32_t flags) {
    const std::uint32_t colour = setting == ObjectColour ? objectColour : setting;
    return (colour & InstrumentColourBits) | flags;
}

std::uint32_t PencilWord(std::uint32_t objectColour, std::uint32_t flags) {
    return InstrumentWord(Settings().pencilColour, objectColour, flags);
}

std::uint32_t CompassWord(std::uint32_t fallbackColour) {
    return InstrumentWord(Settings().compassColour, fallbackColour, ShowPencil);
}

// Whether any of the arc's circle can be seen in the buffer: marks whose circle lies wholly
// outside it are not animated, as there would be nothing to watch.
bool MeetsBuffer(DrawTarget buffer, const Circle& arc) {
    const TargetInfo size = TargetSize(buffer);
    return arc.cx + arc.r >= 0 && arc.cx - arc.r <= size.width && arc.cy + arc.r >= 0 &&
           arc.cy - arc.r <= size.height;
}

// Showing and pausing for one call: the buffer goes to the screen at the area origin, and a
// pause waits stepWait ms only while no input has arrived during this call.
struct Pacer {
    DrawTarget buffer = nullptr;
    int originX = 0;
    int originY = 0;
    InputEvent* event = nullptr;

    void Show() const { ShowBuffer(buffer, originX, originY); }
    void Pause() const { PauseAfterStep(*event); }
    void ShowAndPause() const { zir::ShowAndPause(buffer, originX, originY, *event); }
    // A compass mark drawn by the animated compass, only while no input has arrived.
    void AnimateMark(const Circle& arc, std::uint32_t compassWord) const {
        if (*event != 0 || !MeetsBuffer(buffer, arc)) return;
        const Tools tools = ToolSettings();
        *event = AnimateArc(buffer, originX, originY, arc, tools.duration, tools.pencilSize,
                            compassWord);
    }
};

// The statement's style, colour and width, with -1 replaced by the defaults.
void ApplyLook(Line& l, const LineOperands& look, std::uint32_t defaultColour) {
    const RunState& s = Settings();
    l.style = look.style == -1 ? s.lineStyle : static_cast<std::uint16_t>(look.style);
    l.colour = OperandOr<std::uint32_t>(look.colour, defaultColour);
    l.width = static_cast<std::int16_t>(look.width == -1 ? s.lineWidth : look.width);
}

void ApplyLook(Circle& c, const CircleOperands& look) {
    const RunState& s = Settings();
    c.colour = OperandOr<std::uint32_t>(look.colour, s.drawColour);
    c.width = look.width == -1 ? s.lineWidth : look.width;
}

// The colour of auxiliary lines and compass arcs for a result of the given colour.
std::uint32_t AidColour(std::uint32_t resultColour) {
    const std::uint32_t aux = Settings().auxColour;
    return aux == ObjectColour ? resultColour : aux;
}

// An auxiliary line: the aid colour, the default style, one pixel wide.
void MakeAuxiliary(Line& l, std::uint32_t aidColour) {
    l.colour = aidColour;
    l.style = Settings().lineStyle;
    l.width = 1;
}

// A compass arc about centre through p, as wide as the arcWidth setting.
Circle CompassArc(const Point& centre, const Point& p, std::uint32_t aidColour) {
    Circle arc = MakeArc(centre, p, Settings().arcWidth * AngleUnit);
    arc.colour = aidColour;
    arc.width = 1;
    return arc;
}

Point Midpoint(const Point& a, const Point& b) {
    return Point{(a.x + b.x) / 2, (a.y + b.y) / 2, a.colour, a.size, a.shape};
}

bool IsRightAngle(std::int32_t angle) {
    return angle == QuarterTurn || angle == ThreeQuarterTurn;
}

// Circles and arcs are drawn alike: plainly, shown and followed by one pause, or drawn by
// the compass and followed by one pause.
Circle FinishCircle(const Pacer& pacer, Circle c, PaceMode mode) {
    if (Draws(mode)) DrawCircle(pacer.buffer, c);
    if (mode == PaceMode::Pace) pacer.ShowAndPause();
    if (mode == PaceMode::Slow) {
        const Tools tools = ToolSettings();
        *pacer.event = AnimateArc(pacer.buffer, pacer.originX, pacer.originY, c, tools.duration,
                                  tools.pencilSize, CompassWord(c.colour));
        pacer.Pause();
    }
    return c;
}

// The bisector's four compass arcs; none when the bisector is one of the lines itself.
struct BisectorMarks {
    bool drawn = false;
    Circle arcs[4] = {};
    Point crossing = {};  // where the last two arcs cross, on the bisector
};

BisectorMarks MarksOfBisector(const Point& v, const Point& e1, const Point& e2, const Point& mid,
                              const Line& r, std::uint32_t aidColour) {
    BisectorMarks marks;
    marks.drawn = true;
    const Point k = AdvanceOnLine(mid, r, Distance(e1, e2) / 2);
    marks.arcs[0] = CompassArc(v, e1, aidColour);
    marks.arcs[1] = CompassArc(v, e2, aidColour);
    marks.arcs[2] = CompassArc(e1, k, aidColour);
    marks.arcs[3] = CompassArc(e2, k, aidColour);
    marks.crossing = k;
    return marks;
}

}  // namespace

Line ConstructLine(DrawTarget buffer, int originX, int originY, const Point& p1, const Point& p2,
                   const LineOperands& look, PaceMode mode, InputEvent& event) {
    event = 0;
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedLine();
    const Pacer pacer{buffer, originX, originY, &event};
    Line l = MakeLine(p1, p2);
    ApplyLook(l, look, Settings().drawColour);
    if (Draws(mode)) DrawSegment(buffer, p1, p2, l);
    if (mode == PaceMode::Pace) pacer.ShowAndPause();
    if (mode == PaceMode::Slow) {
        const Tools tools = ToolSettings();
        event = AnimateLine(buffer, originX, originY, p1, p2, l, tools.duration, tools.pencilSize,
                            PencilWord(l.colour, PencilAndRuler));
        pacer.Pause();
    }
    return l;
}

Line ConstructLinePolar(DrawTarget buffer, int originX, int originY, const Point& p, const Line& l,
                        std::int32_t angle, const LineOperands& look, PaceMode mode,
                        InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    const Pacer pacer{buffer, originX, originY, &event};
    Line r = MakeAngle(p, l, angle * AngleUnit);
    ApplyLook(r, look, Settings().drawColour);
    if (Draws(mode)) {
        DrawLine(buffer, r);
        if (IsRightAngle(angle)) MarkRightAngle(buffer, l, r, 0, CornerSize);
    }
    if (mode == PaceMode::Pace) pacer.ShowAndPause();
    if (mode == PaceMode::Slow) {
        // Right angles are erected with the set square, parallels slid with it, every other
        // angle is measured with the protractor. The animation's own line is not needed.
        const Tools tools = ToolSettings();
        const RunState& s = Settings();
        const std::uint32_t pencil = PencilWord(r.colour, ShowPencil);
        if (IsRightAngle(angle)) {
            AnimateDrawRightAngle(buffer, originX, originY, l, p, tools.duration, r,
                                  tools.squareSize, tools.rulerWidth, s.toolColour5, s.rulerColour,
                                  pencil, event);
            DrawLine(buffer, r);
            MarkRightAngle(buffer, l, r, 0, CornerSize);
        } else if (angle == 0 || angle == HalfTurn) {
            AnimateDrawParallel(buffer, originX, originY, l, p, tools.duration, r, tools.squareSize,
                                tools.rulerWidth, s.toolColour5, s.rulerColour, pencil, event);
            DrawLine(buffer, r);
        } else {
            const std::uint32_t protractor = InstrumentWord(s.toolColour6, r.colour, ShowPencil);
            AnimateProtractor(buffer, originX, originY, l, p, angle * AngleUnit, tools.duration,
                              tools.squareSize, r, protractor, event);
            DrawLine(buffer, r);
        }
        pacer.Show();
        pacer.Pause();
    }
    return r;
}

Line ConstructStartLine(DrawTarget buffer, int originX, int originY, const Point& p, Point& q,
                        std::int32_t angle, std::int32_t length, const LineOperands& look,
                        PaceMode mode, InputEvent& event) {
    event = 0;
    // q may be the same record as p: read p once, before q is written.
    const Point from = p;
    if (IsUndefined(from)) {
        q = UndefinedPoint();  // no end point of an earlier run may outlive its line
        return UndefinedLine();
    }
    const Pacer pacer{buffer, originX, originY, &event};
    Line r = MakeLinePolar(from, angle * AngleUnit);
    q = AdvanceOnLine(from, r, FixedValue(length));
    // A segment of length 0 keeps the direction of its angle rather than none at all.
    if (q.x != from.x || q.y != from.y) {
        r.dx = q.x - from.x;
        r.dy = q.y - from.y;
    }
    ApplyLook(r, look, Settings().drawColour);
    if (Draws(mode)) {
        DrawSegment(buffer, from, q, r);
        DrawPoint(buffer, q);
    }
    if (mode == PaceMode::Pace) pacer.ShowAndPause();
    if (mode == PaceMode::Slow) {
        const Tools tools = ToolSettings();
        event =
            AnimateStartLine(buffer, originX, originY, from, q, r, tools.duration, tools.pencilSize,
                             PencilWord(r.colour, PencilAndRuler | RulerScale));
        pacer.Pause();
    }
    return r;
}

Circle ConstructCircleThrough(DrawTarget buffer, int originX, int originY, const Point& m,
                              const Point& p, const CircleOperands& look, PaceMode mode,
                              InputEvent& event) {
    event = 0;
    if (IsUndefined(m) || IsUndefined(p)) return UndefinedCircle();
    Circle c{m.x, m.y, Distance(m, p), 0, 0, 0, 0};
    if (look.start != -1) {
        c.start = look.start * AngleUnit;
        c.end = look.end * AngleUnit;
    }
    ApplyLook(c, look);
    return FinishCircle(Pacer{buffer, originX, originY, &event}, c, mode);
}

Circle ConstructCircleTangent(DrawTarget buffer, int originX, int originY, const Point& m,
                              const Line& l, const CircleOperands& look, PaceMode mode,
                              InputEvent& event) {
    event = 0;
    if (IsUndefined(m) || IsUndefined(l)) return UndefinedCircle();
    Line radius = MakeRightAngle(m, l);
    const Point touching = LineCross(l, radius);
    if (IsUndefined(touching)) return UndefinedCircle();
    const Pacer pacer{buffer, originX, originY, &event};
    Circle c{m.x, m.y, Distance(m, touching), 0, 0, 0, 0};
    if (look.start != -1) {
        c.start = look.start * AngleUnit;
        c.end = look.end * AngleUnit;
    }
    ApplyLook(c, look);
    if (mode == PaceMode::Fast) DrawCircle(buffer, c);
    if (mode == PaceMode::Pace) {
        MakeAuxiliary(radius, AidColour(c.colour));
        DrawSegment(buffer, m, touching, radius);
        MarkRightAngle(buffer, l, radius, 0, CornerSize);
        pacer.ShowAndPause();
        DrawCircle(buffer, c);
        pacer.ShowAndPause();
    }
    if (mode == PaceMode::Slow) {
        // The radius to the touching point is erected with the set square; the circle is
        // drawn by the compass even when the viewer cut that short.
        const RunState& s = Settings();
        const LineOperands aid{s.lineStyle, static_cast<std::int32_t>(AidColour(c.colour)),
                               c.width};
        InputEvent perpendicular = 0;
        ConstructLinePolar(buffer, originX, originY, m, l, QuarterTurn, aid, PaceMode::Slow,
                           perpendicular);
        const Tools tools = ToolSettings();
        event = AnimateArc(buffer, originX, originY, c, tools.duration, tools.pencilSize,
                           CompassWord(c.colour));
        pacer.Pause();
    }
    return c;
}

Circle ConstructArc(DrawTarget buffer, int originX, int originY, const Point& m, const Point& p,
                    std::int32_t angularWidth, const CircleOperands& look, PaceMode mode,
                    InputEvent& event) {
    event = 0;
    if (IsUndefined(m) || IsUndefined(p)) return UndefinedCircle();
    Circle arc = MakeArc(m, p, angularWidth * AngleUnit);
    ApplyLook(arc, look);
    return FinishCircle(Pacer{buffer, originX, originY, &event}, arc, mode);
}

Circle ConstructArcLines(DrawTarget buffer, int originX, int originY, const Line& l1,
                         const Line& l2, std::int32_t radius, const CircleOperands& look,
                         PaceMode mode, InputEvent& event) {
    event = 0;
    if (IsUndefined(l1) || IsUndefined(l2)) return UndefinedCircle();
    // Parallel lines cross at the far point, and the arc is drawn about it.
    const Point x = LineCross(l1, l2);
    if (IsUndefined(x)) return UndefinedCircle();
    Circle arc{x.x, x.y, FixedValue(radius), AbsAngle(l1), AbsAngle(l2), 0, 0};
    ApplyLook(arc, look);
    return FinishCircle(Pacer{buffer, originX, originY, &event}, arc, mode);
}

Line ConstructMidLine(DrawTarget buffer, int originX, int originY, const Point& a, const Point& b,
                      const LineOperands& look, PaceMode mode, InputEvent& event) {
    event = 0;
    if (IsUndefined(a) || IsUndefined(b)) return UndefinedLine();
    const Point m = Midpoint(a, b);
    const Line ab = WithDefaultStyle(MakeLine(a, b));
    Line r = MakeRightAngle(m, ab);
    if (IsUndefined(r)) return r;
    // An auxiliary colour of -1 means "the result's colour", which cannot also be where the
    // result's colour comes from: the bisector then takes the drawing colour.
    const std::uint32_t aux = Settings().auxColour;
    ApplyLook(r, look, aux == ObjectColour ? Settings().drawColour : aux);
    const Pacer pacer{buffer, originX, originY, &event};
    const std::uint32_t aid = AidColour(r.colour);
    const double h = Distance(a, b) / 2;
    const Point k1 = AdvanceOnLine(m, r, h), k2 = AdvanceOnLine(m, r, -h);
    const Circle arcs[4] = {CompassArc(a, k1, aid), CompassArc(a, k2, aid), CompassArc(b, k1, aid),
                            CompassArc(b, k2, aid)};
    if (mode == PaceMode::Pace) {
        for (const Circle& arc : arcs) DrawCircle(buffer, arc);
        pacer.ShowAndPause();
    }
    if (Draws(mode)) {
        DrawLine(buffer, r);
        MarkRightAngle(buffer, ab, r, 0, CornerSize);
    }
    if (mode == PaceMode::Pace) pacer.ShowAndPause();
    if (mode == PaceMode::Slow) {
        const std::uint32_t compass = CompassWord(aid);
        for (const Circle& arc : arcs) pacer.AnimateMark(arc, compass);
        pacer.Pause();
        // The ruler through the arcs' crossings draws the segment in the bisector's own
        // appearance, so that it does not change colour when the whole line follows.
        if (event == 0) {
            const LineOperands own{r.style, static_cast<std::int32_t>(r.colour), r.width};
            ConstructLine(buffer, originX, originY, k1, k2, own, PaceMode::Slow, event);
        }
        MarkRightAngle(buffer, ab, r, 0, CornerSize);
        DrawLine(buffer, r);
        pacer.ShowAndPause();
    }
    return r;
}

Line ConstructBisector(DrawTarget buffer, int originX, int originY, const Line& l1, const Line& l2,
                       const LineOperands& look, PaceMode mode, InputEvent& event) {
    event = 0;
    if (IsUndefined(l1) || IsUndefined(l2)) return UndefinedLine();
    Point v = LineCross(l1, l2);
    Point e1 = AdvanceOnLine(v, l1, BisectorReach);
    Point e2 = AdvanceOnLine(v, l2, BisectorReach);
    Point mid = Midpoint(e1, e2);
    const double a = Angle(l1, l2);
    Line r = UndefinedLine();
    enum class Shape { SameDirection, Straight, Angle } shape = Shape::Angle;
    if (a == 0) {
        shape = Shape::SameDirection;
        r = l1;
    } else if (std::fabs(a - Pi) < 0.00001) {
        shape = Shape::Straight;
        v.x = l1.x;
        v.y = l1.y;
        r = MakeRightAngle(v, l1);
    } else {
        r = WithDefaultStyle(MakeLine(v, mid));
    }
    if (IsUndefined(r)) return r;
    if (a > Pi) {
        r.dx = -r.dx;
        r.dy = -r.dy;
    }
    ApplyLook(r, look, Settings().drawColour);
    const Pacer pacer{buffer, originX, originY, &event};
    if (mode == PaceMode::Pace || mode == PaceMode::Slow) {
        BisectorMarks marks;
        // The two lines of a straight angle are parallel and cross only far away; its marks
        // are those of the perpendicular at the new vertex instead, cutting both halves of
        // the straight line at the same reach. A bisector that is the first line itself
        // needs no construction.
        if (shape == Shape::Straight) {
            e1 = AdvanceOnLine(v, l1, BisectorReach);
            e2 = AdvanceOnLine(v, l2, BisectorReach);
            mid = Midpoint(e1, e2);
        }
        if (shape != Shape::SameDirection) {
            marks = MarksOfBisector(v, e1, e2, mid, r, AidColour(r.colour));
        }
        if (marks.drawn && mode == PaceMode::Pace) {
            for (const Circle& arc : marks.arcs) DrawCircle(buffer, arc);
            pacer.ShowAndPause();
        }
        if (marks.drawn && mode == PaceMode::Slow) {
            const std::uint32_t compass = CompassWord(AidColour(r.colour));
            for (const Circle& arc : marks.arcs) pacer.AnimateMark(arc, compass);
            pacer.Pause();
            if (event == 0) {
                ConstructLine(buffer, originX, originY, v, marks.crossing, look, PaceMode::Slow,
                              event);
            }
        }
    }
    if (Draws(mode) || mode == PaceMode::Slow) DrawLine(buffer, r);
    if (mode == PaceMode::Pace || mode == PaceMode::Slow) pacer.ShowAndPause();
    return r;
}

Line ConstructTangent(DrawTarget buffer, int originX, int originY, const Point& p, const Circle& c,
                      Line& t2, const LineOperands& look, PaceMode mode, InputEvent& event) {
    event = 0;
    if (IsUndefined(p) || IsUndefined(c)) {
        t2 = UndefinedLine();  // no tangent of an earlier run may outlive its partner
        return UndefinedLine();
    }
    Line t1 = UndefinedLine();
    ApplyLook(t1, look, Settings().drawColour);
    t2 = t1;
    const Pacer pacer{buffer, originX, originY, &event};
    const Point m{c.cx, c.cy, c.colour, static_cast<std::int16_t>(c.width), 0};
    const double d = Distance(p, m);
    const std::uint32_t aid = AidColour(t1.colour);

    if (std::fabs(d - c.r) < 0.5) {
        // P on the circle: the one tangent at P, perpendicular to the radius.
        Line mp = MakeLine(p, m);
        MakeAuxiliary(mp, aid);
        const Line tangent = MakeRightAngle(p, mp);
        t2.x = tangent.x;
        t2.y = tangent.y;
        t2.dx = tangent.dx;
        t2.dy = tangent.dy;
        if (mode == PaceMode::Fast) DrawLine(buffer, t2);
        if (mode == PaceMode::Pace) {
            DrawSegment(buffer, m, p, mp);
            pacer.ShowAndPause();
            DrawLine(buffer, t2);
            MarkRightAngle(buffer, mp, t2, 1, CornerSize);
            pacer.ShowAndPause();
        }
        if (mode == PaceMode::Slow) {
            // The radius is drawn with pencil and ruler, the tangent erected on it with the
            // set square.
            const Tools tools = ToolSettings();
            const RunState& s = Settings();
            const std::uint32_t pencil = PencilWord(t2.colour, PencilAndRuler);
            event = AnimateLine(buffer, originX, originY, m, p, mp, tools.duration,
                                tools.pencilSize, pencil);
            pacer.Pause();
            if (event == 0) {
                AnimateDrawRightAngle(buffer, originX, originY, mp, p, tools.duration, t2,
                                      tools.squareSize, tools.rulerWidth, s.toolColour5,
                                      s.rulerColour, pencil, event);
            }
            DrawLine(buffer, t2);
            MarkRightAngle(buffer, mp, t2, 1, CornerSize);
            pacer.ShowAndPause();
        }
        return t1;
    }
    if (d < c.r) return t1;  // no tangent from inside

    // The Thales circle over P and the centre crosses the circle at the touching points.
    const Point centre = Midpoint(p, m);
    const Circle thales{centre.x, centre.y, d / 2, 0, 0, aid, 1};
    Point s1 = UndefinedPoint(), s2 = UndefinedPoint();
    if (CircleCross(c, thales, s1, s2) != 2) return t1;
    const Line right = WithDefaultStyle(MakeLine(p, s1)), left = WithDefaultStyle(MakeLine(p, s2));
    t2 = right;
    t1 = left;
    ApplyLook(t2, look, Settings().drawColour);
    ApplyLook(t1, look, Settings().drawColour);
    if (mode == PaceMode::Pace) {
        DrawCircle(buffer, thales);
        pacer.ShowAndPause();
    }
    if (Draws(mode)) {
        DrawLine(buffer, t2);
        DrawLine(buffer, t1);
    }
    if (mode == PaceMode::Pace) pacer.ShowAndPause();
    if (mode == PaceMode::Slow) {
        // The segment from the centre to P, its midpoint, the Thales circle's arcs through
        // the centre and the two touching points, and the tangents as segments from P.
        const RunState& s = Settings();
        const LineOperands radius{s.lineStyle, static_cast<std::int32_t>(t1.colour), 1};
        ConstructLine(buffer, originX, originY, m, p, radius, PaceMode::Slow, event);
        const Point middle{centre.x, centre.y, s.drawColour, static_cast<std::int16_t>(s.pointSize),
                           static_cast<std::int16_t>(s.pointShape)};
        DrawPoint(buffer, middle);
        pacer.ShowAndPause();
        const std::uint32_t compass = CompassWord(c.colour);
        pacer.AnimateMark(CompassArc(centre, m, aid), compass);
        pacer.AnimateMark(CompassArc(centre, s1, aid), compass);
        pacer.AnimateMark(CompassArc(centre, s2, aid), compass);
        pacer.Pause();
        const LineOperands own{t2.style, static_cast<std::int32_t>(t2.colour), t2.width};
        if (event == 0) ConstructLine(buffer, originX, originY, p, s1, own, PaceMode::Slow, event);
        if (event == 0) ConstructLine(buffer, originX, originY, p, s2, own, PaceMode::Slow, event);
    }
    return t1;
}

}  // namespace zir
