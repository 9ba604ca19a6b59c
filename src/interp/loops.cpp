#include "interp/loops.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "constructions/constructions.h"
#include "draw/figures.h"
#include "geometry/crossings.h"
#include "geometry/portablemath.h"
#include "interp/waits.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// The longest a loop sleeps between looks at the viewer while nothing changes.
constexpr int IdleWaitMs = 50;

ObjectStore& Store(CallFrame& frame) {
    return *frame.run->store;
}

bool Pressed(int buttons) {
    return buttons >= 1;
}

// Both coordinates of a position that a step or drag made impossible; the point's
// appearance stays.
void MakeUndefined(Point& p) {
    p.x = UndefinedMarker;
    p.y = UndefinedMarker;
}

Point CentreOf(const Circle& c) {
    return PointXY(c.cx, c.cy);
}

// An angle of a circle record as an angle operand (1/256 degree), as the construction
// procedures take them.
std::int32_t AngleOperand(double radians) {
    const double units = std::nearbyint(radians / AngleUnit);
    if (!(std::fabs(units) < std::numeric_limits<std::int32_t>::max())) return 0;
    return static_cast<std::int32_t>(units);
}

// ---- the declarations -------------------------------------------------------------------

void ReadDeclaration(LoopLists& lists, const Instruction& in) {
    const int target = TargetOf(in[0]);
    switch (static_cast<Op>(OpcodeOf(in[0]))) {
        case Op::Clickable:
            for (int k = 0; k < target && k < MaxPointList; ++k) {
                lists.clickables.push_back({HalfOf(in[PointListWord(k)], HalfInWord(k))});
            }
            break;
        case Op::ClickableAlongLine:
            lists.clickables.push_back({target, PathKind::Line, in[1]});
            break;
        case Op::ClickableAlongCircle:
            lists.clickables.push_back({target, PathKind::Circle, in[1]});
            break;
        case Op::Trace:
            for (int k = 0; k < target && k < MaxPointList; ++k) {
                lists.traced.push_back(HalfOf(in[PointListWord(k)], HalfInWord(k)));
            }
            break;
        case Op::StepPoint:
            lists.steps.push_back(
                {false, target, PathKind::None, 0, FixedValue(in[1]), FixedValue(in[2])});
            break;
        case Op::StepCircle:
            lists.steps.push_back({true, target, PathKind::None, 0, FixedValue(in[1]),
                                   FixedValue(in[2]), FixedValue(in[3])});
            break;
        case Op::StepPointAlongLine:
            lists.steps.push_back({false, target, PathKind::Line, in[1], FixedValue(in[2])});
            break;
        case Op::StepCircleAlongLine:
            lists.steps.push_back(
                {true, target, PathKind::Line, in[1], FixedValue(in[2]), 0.0, FixedValue(in[3])});
            break;
        case Op::StepPointAlongCircle:
            lists.steps.push_back({false, target, PathKind::Circle, in[1], FixedValue(in[2])});
            break;
        case Op::StepCircleAlongCircle:
            lists.steps.push_back(
                {true, target, PathKind::Circle, in[1], FixedValue(in[2]), 0.0, FixedValue(in[3])});
            break;
        default:
            break;
    }
}

// ---- dragging ---------------------------------------------------------------------------

// The first clickable point, in the order of the declarations, within reach of the mouse.
int PickAt(CallFrame& frame, int x, int y) {
    const std::vector<Clickable>& clickables = frame.loop.clickables;
    for (std::size_t i = 0; i < clickables.size(); ++i) {
        const Point& p = PointAt(Store(frame), clickables[i].point);
        if (std::fabs(x - p.x) < PickTolerance && std::fabs(y - p.y) < PickTolerance) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Grab(CallFrame& frame, int entry, int x, int y) {
    Drag& drag = frame.loop.drag;
    const Point& p = PointAt(Store(frame), frame.loop.clickables[entry].point);
    drag.entry = entry;
    drag.mouseX = x;
    drag.mouseY = y;
    // Halves go to the even neighbour, as the default rounding does.
    drag.startX = std::nearbyint(p.x);
    drag.startY = std::nearbyint(p.y);
    drag.placed = false;
}

// Moves the grabbed point for the mouse at (x, y): a free point by the mouse's offset from
// (mouseX, mouseY), starting at (startX, startY); a point on a path to the mouse's place on
// it. Only the position changes; a place the path cannot give leaves the point where it is.
void MoveGrabbed(CallFrame& frame, double startX, double startY, int mouseX, int mouseY, int x,
                 int y) {
    // The mouse counts only inside the drawing area, so that a dragged point can always be
    // seen and grabbed again (not under the control bar or the text below a WINDOW).
    const RunState& s = Settings();
    const auto inX = [&](int v) {
        return std::clamp(v, +s.areaOriginX, s.areaOriginX + s.areaWidth - 1);
    };
    const auto inY = [&](int v) {
        return std::clamp(v, +s.areaOriginY, s.areaOriginY + s.areaHeight - 1);
    };
    mouseX = inX(mouseX);
    x = inX(x);
    mouseY = inY(mouseY);
    y = inY(y);
    ObjectStore& store = Store(frame);
    const Clickable& c = frame.loop.clickables[frame.loop.drag.entry];
    Point& p = PointAt(store, c.point);
    Point to{};
    if (c.path == PathKind::None) {
        to = PointXY(startX + (x - mouseX), startY + (y - mouseY));
    } else {
        to = PointOnPath(p, c.path, LineAt(store, c.pathIndex), CircleAt(store, c.pathIndex), x, y);
    }
    if (IsUndefined(to)) return;
    p.x = to.x;
    p.y = to.y;
}

// FAST, a point grabbed: waits until the mouse moves or the button is let go. A move puts
// the point there and shows it over the last picture at once; the body then follows.
Flow FollowDrag(CallFrame& frame) {
    Drag& drag = frame.loop.drag;
    for (;;) {
        if (CloseRequested()) return Flow::Return;
        const MouseState mouse = PollMouse();
        // A release anywhere, inside the screen or not, lets the point go, once placed: a
        // click released before any poll saw the button held places it as a slower one does.
        if (mouse.held == 0 && drag.placed) {
            drag.entry = -1;
            return Flow::Next;
        }
        // The first pass of a drag places the point at its rounded start even when the
        // mouse stays where it was; later passes wait for a move, as the picture would
        // not change.
        if (!drag.placed || mouse.x != drag.lastX || mouse.y != drag.lastY) {
            drag.placed = true;
            drag.lastX = mouse.x;
            drag.lastY = mouse.y;
            MoveGrabbed(frame, drag.startX, drag.startY, drag.mouseX, drag.mouseY, mouse.x,
                        mouse.y);
            // The point goes on the last picture in the buffer itself, which the pass puts
            // back to its start right after: no copy of the picture is needed.
            DrawPoint(FrameBuffer(frame),
                      PointAt(Store(frame), frame.loop.clickables[drag.entry].point));
            ShowFrameBuffer(frame);
            return Flow::Next;
        }
        WaitForInput(IdleWaitMs);
    }
}

// PACE and SLOW: the point follows the mouse over the last picture, without running the
// body, until the button is let go.
Flow DragPaced(CallFrame& frame) {
    Drag& drag = frame.loop.drag;
    const int pointIndex = frame.loop.clickables[drag.entry].point;
    int previousX = drag.mouseX, previousY = drag.mouseY;
    int x = previousX, y = previousY;
    for (;;) {
        RestoreSnapshot(*frame.run->buffer, frame.tempSnapshot.get());
        Point& p = PointAt(Store(frame), pointIndex);
        MoveGrabbed(frame, std::nearbyint(p.x), std::nearbyint(p.y), previousX, previousY, x, y);
        DrawPoint(FrameBuffer(frame), p);
        ShowFrameBuffer(frame);
        previousX = x;
        previousY = y;
        for (;;) {
            if (CloseRequested()) {
                drag.entry = -1;
                return Flow::Return;
            }
            const MouseState mouse = PollMouse();
            if (mouse.held == 0) {
                drag.entry = -1;
                return Flow::Next;
            }
            if (mouse.x != previousX || mouse.y != previousY) {
                x = mouse.x;
                y = mouse.y;
                break;
            }
            WaitForInput(IdleWaitMs);
        }
    }
}

// The interaction waiting for a grab, for the platform's question whether a press would grab.
CallFrame* gGrabbing = nullptr;

bool GrabsAt(int x, int y) {
    return gGrabbing && PickAt(*gGrabbing, x, y) >= 0;
}

std::vector<GrabPoint> GrabbablePoints() {
    std::vector<GrabPoint> points;
    if (!gGrabbing) return points;
    const std::vector<std::string>& names = gGrabbing->run->names->rows[TypePoint];
    const ScreenInfo screen = ScreenQuery();
    for (const Clickable& c : gGrabbing->loop.clickables) {
        const Point& p = PointAt(Store(*gGrabbing), c.point);
        const double x = std::nearbyint(p.x), y = std::nearbyint(p.y);
        if (!(x >= 0 && y >= 0 && x < screen.width && y < screen.height)) continue;
        points.push_back({static_cast<int>(x), static_cast<int>(y),
                          c.point >= 0 && c.point < static_cast<int>(names.size())
                              ? names[c.point]
                              : std::string()});
    }
    return points;
}

// Answers the platform's question for the interaction while it waits for a grab (an
// interaction's body runs between its waits, so no two wait at once).
class GrabTestScope {
  public:
    explicit GrabTestScope(CallFrame& frame) {
        gGrabbing = &frame;
        SetGrabTest(GrabsAt, GrabbablePoints);
    }
    ~GrabTestScope() {
        gGrabbing = nullptr;
        SetGrabTest(nullptr);
    }
    GrabTestScope(const GrabTestScope&) = delete;
    GrabTestScope& operator=(const GrabTestScope&) = delete;
};

// Nothing grabbed: waits for a press on a clickable point or a control. In PACE and SLOW an
// event left over from the body's waits is looked at first, for its control only, and a
// grabbed point is dragged at once.
Flow WaitForGrab(CallFrame& frame, bool paced) {
    const GrabTestScope grabTest(frame);
    for (;;) {
        if (CloseRequested()) return Flow::Return;
        bool leftOver = false;
        InputEvent event = 0;
        if (paced && frame.pendingEvent != 0) {
            event = frame.pendingEvent;
            frame.pendingEvent = 0;
            leftOver = true;
        } else {
            event = PollInput();
        }
        if (event == 0) {
            WaitForInput(IdleWaitMs);
            continue;
        }
        const ControlAction action = CheckControls(event);
        if (action == ControlAction::PauseOrContinue) {
            // Pause has no meaning while the viewer drags.
            frame.pendingEvent = 0;
            continue;
        }
        if (action != ControlAction::None) return FlowAfter(frame, action);
        const DecodedInput in = DecodeInput(event);
        if (leftOver || !Pressed(in.buttons)) continue;
        const int entry = PickAt(frame, in.x, in.y);
        if (entry < 0) {
            // The button is still down: wait for it to move or rise rather than spin.
            WaitForInput(IdleWaitMs);
            continue;
        }
        Grab(frame, entry, in.x, in.y);
        return paced ? DragPaced(frame) : Flow::Next;
    }
}

// Each point dragged along a path takes its place on the path as the last pass built it.
// True when one moved: the pass is then run again so that the picture and everything built
// on the point follow, once, so that a path built on its own point cannot go round for ever.
bool SettleOnPaths(CallFrame& frame) {
    ObjectStore& store = Store(frame);
    bool moved = false;
    for (const Clickable& c : frame.loop.clickables) {
        if (c.path == PathKind::None) continue;
        Point& p = PointAt(store, c.point);
        Point to = p;
        if (std::isnan(c.place)) {
            // No place on the path before the pass (the first pass may build the path):
            // the point goes where a drag to its own position would put it.
            to = PointOnPath(p, c.path, LineAt(store, c.pathIndex), CircleAt(store, c.pathIndex),
                             p.x, p.y);
            if (IsUndefined(to)) continue;
        } else if (c.path == PathKind::Line) {
            const Line& l = LineAt(store, c.pathIndex);
            if (IsUndefined(l)) continue;
            to = PointXY(l.x + c.place * l.dx, l.y + c.place * l.dy);
        } else {
            const Circle& k = CircleAt(store, c.pathIndex);
            if (IsUndefined(k)) continue;
            to = PointXY(k.cx + k.r * Cos(c.place), k.cy + k.r * Sin(c.place));
        }
        // Rounding alone must not move a point: its place was taken on the same path.
        constexpr double SamePlace = 1e-6;
        if (!(std::fabs(to.x - p.x) > SamePlace || std::fabs(to.y - p.y) > SamePlace)) continue;
        if (!std::isfinite(to.x) || !std::isfinite(to.y)) continue;
        p.x = to.x;
        p.y = to.y;
        moved = true;
    }
    return moved;
}

void TakePlacesOnPaths(CallFrame& frame) {
    ObjectStore& store = Store(frame);
    for (Clickable& c : frame.loop.clickables) {
        c.place = std::numeric_limits<double>::quiet_NaN();
        const Point& p = PointAt(store, c.point);
        if (c.path == PathKind::None || IsUndefined(p)) continue;
        if (c.path == PathKind::Line) {
            const Line& l = LineAt(store, c.pathIndex);
            const double d2 = l.dx * l.dx + l.dy * l.dy;
            if (!IsUndefined(l) && d2 > 0) c.place = ((p.x - l.x) * l.dx + (p.y - l.y) * l.dy) / d2;
        } else {
            const Circle& k = CircleAt(store, c.pathIndex);
            if (!IsUndefined(k) && (p.x != k.cx || p.y != k.cy)) {
                c.place = Atan2(p.y - k.cy, p.x - k.cx);
            }
        }
    }
}

Flow InteractionPass(CallFrame& frame) {
    // A paced drag shows the point over the last picture, put back for every move.
    if (frame.mode != PaceMode::Fast) TakeTempSnapshot(frame);
    const bool settle = frame.iteration > 0 && !frame.loop.settling && SettleOnPaths(frame);
    frame.loop.settling = settle;
    if (frame.iteration > 0 && !settle) {
        Flow flow = Flow::Next;
        if (frame.mode == PaceMode::Fast && frame.loop.drag.entry >= 0) {
            flow = FollowDrag(frame);
        } else {
            flow = WaitForGrab(frame, frame.mode != PaceMode::Fast);
        }
        if (flow != Flow::Next) {
            frame.loop.drag.entry = -1;
            return flow;
        }
    }
    if (frame.iteration > 0) TakePlacesOnPaths(frame);
    RestoreForPass(frame);
    return Flow::Next;
}

// ---- animation frames -------------------------------------------------------------------

// p turned about the path's centre so that it travels the arc length s.
void TurnOnCircle(Point& p, const Circle& path, double s) {
    if (IsUndefined(p)) return;
    if (IsUndefined(path)) {
        MakeUndefined(p);
        return;
    }
    if (path.r == 0.0) return;  // no arc to travel on
    const Point turned = RotatePoint(p, CentreOf(path), s / path.r);
    p.x = turned.x;
    p.y = turned.y;
}

void MovePoint(CallFrame& frame, Point& p, const Step& step) {
    ObjectStore& store = Store(frame);
    switch (step.path) {
        case PathKind::None:
            if (!IsUndefined(p)) {
                p.x += step.a;
                p.y += step.b;
            }
            break;
        case PathKind::Line: {
            const Point moved = AdvanceOnLine(p, LineAt(store, step.pathIndex), step.a);
            p.x = moved.x;
            p.y = moved.y;
            break;
        }
        case PathKind::Circle:
            TurnOnCircle(p, CircleAt(store, step.pathIndex), step.a);
            break;
    }
}

void StepCircle(CallFrame& frame, Step& step) {
    ObjectStore& store = Store(frame);
    Circle& c = CircleAt(store, step.object);
    Point centre = CentreOf(c);
    MovePoint(frame, centre, step);
    double r = c.r + step.c;
    if (r < 0) {
        // The radius bounces at zero: the circle grows again at the same rate.
        r = -r;
        step.c = -step.c;
    }
    const bool drawn = IsVisible(store, step.object, VisibleCircle) && !IsUndefined(c);
    const RunState& s = Settings();
    const CircleOperands look{static_cast<std::int32_t>(c.colour), c.width, AngleOperand(c.start),
                              AngleOperand(c.end)};
    InputEvent event = 0;
    c = ConstructCircleThrough(FrameBuffer(frame), s.areaOriginX, s.areaOriginY, centre,
                               PointXY(centre.x, centre.y + r), look,
                               drawn ? frame.mode : PaceMode::Compute, event);
    if (event != 0) frame.pendingEvent = event;
}

void DrawTraces(CallFrame& frame) {
    LoopLists& lists = frame.loop;
    const std::size_t frameIndex = static_cast<std::size_t>(frame.iteration - 1);
    for (std::size_t k = 0; k < lists.traced.size(); ++k) {
        std::vector<Point>& history = lists.history[k];
        // The history grows with the frames actually shown, not with the repeat count.
        if (history.size() < frameIndex + 1) history.resize(frameIndex + 1);
        history[frameIndex] = PointAt(Store(frame), lists.traced[k]);
        for (std::size_t i = 0; i <= frameIndex; ++i) DrawPoint(FrameBuffer(frame), history[i]);
    }
    // Every frame draws the whole history again: a long trace counts against a headless
    // run's budget like the statements it takes the time of.
    constexpr std::size_t PointsPerStatement = 64;
    CountStatement(
        static_cast<std::int64_t>(lists.traced.size() * (frameIndex + 1) / PointsPerStatement));
}

Flow AnimationPass(CallFrame& frame) {
    // The first pass draws the starting position.
    if (frame.iteration == 0) return Flow::Next;
    const RunState& s = Settings();
    if (frame.pendingEvent == 0) {
        frame.pendingEvent = TimedWait(frame.mode == PaceMode::Fast ? s.frameWait : s.stepWait);
    }
    // A window closed during the wait ends the run on the frame the viewer saw last.
    if (CloseRequested()) return Flow::Return;
    RestoreForPass(frame);
    ControlAction action = CheckControls(frame.pendingEvent);
    if (action == ControlAction::None) frame.pendingEvent = 0;
    if (action == ControlAction::PauseOrContinue) action = PauseForViewer(frame);
    if (const Flow flow = FlowAfter(frame, action); flow != Flow::Next) return flow;
    if (CloseRequested()) return Flow::Return;
    for (Step& step : frame.loop.steps) {
        if (step.circle) {
            StepCircle(frame, step);
        } else {
            MovePoint(frame, PointAt(Store(frame), step.object), step);
        }
    }
    DrawTraces(frame);
    if (frame.mode != PaceMode::Fast) ShowFrameBuffer(frame);
    return Flow::Next;
}

}  // namespace

Point PointOnPath(const Point& p, PathKind path, const Line& line, const Circle& circle, double x,
                  double y) {
    const Point mouse = PointXY(x, y);
    switch (path) {
        case PathKind::Line:
            return LineCross(line, MakeRightAngle(mouse, line));
        case PathKind::Circle:
            if (IsUndefined(circle)) return UndefinedPoint();
            return AdvanceToPoint(CentreOf(circle), mouse, circle.r);
        case PathKind::None:
            break;
    }
    return p;
}

void ReadLoopDeclarations(CallFrame& frame) {
    LoopLists& lists = frame.loop;
    lists = LoopLists{};
    const InstructionTable& program = *frame.run->program;
    for (int slot = frame.first; slot <= frame.last; ++slot) {
        if (!HasSlot(program, frame.subroutine, slot)) break;
        ReadDeclaration(lists, program.blocks[frame.subroutine][slot]);
    }
    lists.history.assign(lists.traced.size(), {});
}

void PrescanLoop(CallFrame& frame) {
    ReadLoopDeclarations(frame);
    if (frame.kind == KindInteraction) {
        WaitForRelease();
    }
    TakeRestartSnapshot(frame);
}

Flow BeginLoopPass(CallFrame& frame) {
    if (RunWatcher* watcher = RunWatched(); watcher && frame.iteration == 1) {
        watcher->Step(StepKind::LoopStart);
    }
    if (frame.kind == KindInteraction) return InteractionPass(frame);
    if (frame.kind == KindAnimation) return AnimationPass(frame);
    return Flow::Next;
}

}  // namespace zir
