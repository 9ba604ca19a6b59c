#include "interp/statements.h"

#include <cmath>
#include <string>

#include "anim/pointstep.h"
#include "constructions/constructions.h"
#include "draw/figures.h"
#include "draw/fills.h"
#include "draw/fonts.h"
#include "draw/marks.h"
#include "geometry/crossings.h"
#include "interp/display.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// A 16-bit operand half with every bit set: the value was not given.
constexpr std::int32_t AbsentHalf = 0xFFFF;
// The number form of MARKLINE and MARKNUMBERLINE sets some of these bits in operand 1.
constexpr std::int32_t NumberFormBits = 0xF0000;

// Everything a handler needs besides the frame: the instruction's parts.
struct Statement {
    CallFrame& frame;
    const Instruction& in;
    int target = 0;
    bool invisible = false;
};

ObjectStore& Store(const Statement& st) {
    return *st.frame.run->store;
}

int BoundIndex(const Statement& st, int index, int kind) {
    return BindObject(st.frame, index, kind);
}

const std::string& NameOf(const Statement& st, int type, int index) {
    static const std::string none;
    const std::vector<std::string>& row = st.frame.run->names->rows[type];
    return index >= 0 && index < static_cast<int>(row.size()) ? row[index] : none;
}

// A text operand; -1 (none given) is the empty text.
const std::string& TextOf(const Statement& st, std::int32_t index) {
    return NameOf(st, TypeText, index);
}

int OriginX() {
    return Settings().areaOriginX;
}
int OriginY() {
    return Settings().areaOriginY;
}

LineOperands LineLook(const Instruction& in, int first) {
    return {in[first], in[first + 1], in[first + 2]};
}

CircleOperands CircleLook(const Instruction& in, int first) {
    return {in[first], in[first + 1], in[first + 2], in[first + 3]};
}

CircleOperands ArcLook(const Instruction& in, int first) {
    return {in[first], in[first + 1], -1, -1};
}

// ---- point step ---------------------------------------------------------------------------

const Point& OperandPoint(Statement& st, int operand);

// After the new coordinates of point `index` (already bound) are stored: its appearance from
// the three attribute operands at `attr`, its visible bit, and unless it is invisible or
// undefined its drawing, shown and followed by a pause in PACE.
void PointStep(Statement& st, int index, int attr) {
    CallFrame& frame = st.frame;
    const RunState& s = Settings();
    Point& p = PointAt(Store(st), index);
    p.shape = static_cast<std::int16_t>(OperandOr<std::int32_t>(st.in[attr], s.pointShape));
    p.colour = static_cast<std::uint32_t>(
        OperandOr<std::int32_t>(st.in[attr + 1], static_cast<std::int32_t>(s.drawColour)));
    p.size = static_cast<std::int16_t>(OperandOr<std::int32_t>(st.in[attr + 2], s.pointSize));
    SetVisible(Store(st), index, VisiblePoint, !st.invisible);
    if (st.invisible || IsUndefined(p)) return;
    EnsureScreen(frame);
    if (frame.mode == PaceMode::Slow) {
        // The pencil marks the point; a point measured off from another gets the ruler too.
        const int op = OpcodeOf(st.in[0]);
        const bool measured =
            op == static_cast<int>(Op::AdvanceTo) || op == static_cast<int>(Op::AdvanceOn);
        const Point from = measured ? OperandPoint(st, 1) : Point{};
        frame.pendingEvent = AnimatePointStep(FrameBuffer(frame), s.areaOriginX, s.areaOriginY, p,
                                              measured ? &from : nullptr, frame.pendingEvent);
        return;
    }
    DrawPoint(FrameBuffer(frame), p);
    if (frame.mode == PaceMode::Pace) {
        ShowFrameBuffer(frame);
        PauseAfterStep(frame.pendingEvent);
    }
}

// Stores one computed point under the statement's target and runs its point step.
void NewPoint(Statement& st, const Point& p, int attr) {
    const int index = BoundIndex(st, st.target, TypePoint);
    PointAt(Store(st), index) = p;
    PointStep(st, index, attr);
}

// Two computed points under the target and operand 1, each with its point step.
void NewPoints(Statement& st, const Point& p1, const Point& p2, int attr) {
    const int first = BoundIndex(st, st.target, TypePoint);
    const int second = BoundIndex(st, st.in[1], TypePoint);
    PointAt(Store(st), first) = p1;
    PointAt(Store(st), second) = p2;
    PointStep(st, first, attr);
    PointStep(st, second, attr);
}

// The two stored records a two-point crossing writes into (it keeps their shapes).
void TwoPointSlots(Statement& st, Point& p1, Point& p2) {
    p1 = PointAt(Store(st), BoundIndex(st, st.target, TypePoint));
    p2 = PointAt(Store(st), BoundIndex(st, st.in[1], TypePoint));
}

// ---- line and circle preparation --------------------------------------------------------

// The drawing mode for a new line or circle in slot `index`: nothing is drawn for an
// invisible object, nor for one whose slot an earlier execution left undefined.
PaceMode Prepare(Statement& st, int index, std::uint8_t bit, bool slotUndefined) {
    SetVisible(Store(st), index, bit, !st.invisible);
    if (st.invisible || slotUndefined) return PaceMode::Compute;
    EnsureScreen(st.frame);
    return st.frame.mode;
}

// Runs a line construction for the target and stores its result and event.
template <typename Construct>
void NewLine(Statement& st, Construct construct) {
    const int index = BoundIndex(st, st.target, TypeLine);
    const PaceMode mode = Prepare(st, index, VisibleLine, IsUndefined(LineAt(Store(st), index)));
    InputEvent event = 0;
    const Line result = construct(FrameBuffer(st.frame), mode, event);
    LineAt(Store(st), index) = result;
    st.frame.pendingEvent = event;
}

template <typename Construct>
void NewCircle(Statement& st, Construct construct) {
    const int index = BoundIndex(st, st.target, TypeCircle);
    const PaceMode mode =
        Prepare(st, index, VisibleCircle, IsUndefined(CircleAt(Store(st), index)));
    InputEvent event = 0;
    const Circle result = construct(FrameBuffer(st.frame), mode, event);
    CircleAt(Store(st), index) = result;
    st.frame.pendingEvent = event;
}

// ---- statements ---------------------------------------------------------------------------

const Point& OperandPoint(Statement& st, int operand) {
    return BoundPoint(st.frame, st.in[operand]);
}
const Line& OperandLine(Statement& st, int operand) {
    return BoundLine(st.frame, st.in[operand]);
}
const Circle& OperandCircle(Statement& st, int operand) {
    return BoundCircle(st.frame, st.in[operand]);
}

void Middle(Statement& st) {
    const Point a = OperandPoint(st, 1), b = OperandPoint(st, 2);
    const int index = BoundIndex(st, st.target, TypePoint);
    Point& p = PointAt(Store(st), index);
    if (IsUndefined(a) || IsUndefined(b)) {
        p.x = UndefinedMarker;
        p.y = UndefinedMarker;
        return;
    }
    p.x = (a.x + b.x) / 2;
    p.y = (a.y + b.y) / 2;
    PointStep(st, index, 3);
}

void MoveCircle(Statement& st) {
    const Point centre = OperandPoint(st, 1);
    const Circle old = CircleAt(Store(st), BoundIndex(st, st.target, TypeCircle));
    const CircleOperands look{
        OperandOr<std::int32_t>(st.in[2], static_cast<std::int32_t>(old.colour)),
        OperandOr<std::int32_t>(st.in[3], old.width),
        static_cast<std::int32_t>(std::nearbyint(old.start / AngleUnit)),
        static_cast<std::int32_t>(std::nearbyint(old.end / AngleUnit))};
    NewCircle(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
        return ConstructCircleThrough(buffer, OriginX(), OriginY(), centre,
                                      PointXY(centre.x, centre.y + old.r), look, mode, event);
    });
}

void Tangent(Statement& st) {
    const int first = BoundIndex(st, st.target, TypeLine);
    const int second = BoundIndex(st, st.in[1], TypeLine);
    Prepare(st, first, VisibleLine, IsUndefined(LineAt(Store(st), first)));
    // Both lines come from one drawing; the second line's preparation decides how.
    const PaceMode mode = Prepare(st, second, VisibleLine, IsUndefined(LineAt(Store(st), second)));
    const Point p = OperandPoint(st, 2);
    const Circle c = OperandCircle(st, 3);
    Line t2 = LineAt(Store(st), second);
    InputEvent event = 0;
    const Line t1 = ConstructTangent(FrameBuffer(st.frame), OriginX(), OriginY(), p, c, t2,
                                     LineLook(st.in, 4), mode, event);
    LineAt(Store(st), first) = t1;
    LineAt(Store(st), second) = t2;
    st.frame.pendingEvent = event;
}

void StartLine(Statement& st) {
    const int endIndex = BoundIndex(st, st.in[1], TypePoint);
    const Point start = OperandPoint(st, 2);
    SetVisible(Store(st), endIndex, VisiblePoint, !st.invisible);
    Point end = PointAt(Store(st), endIndex);
    NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
        return ConstructStartLine(buffer, OriginX(), OriginY(), start, end, st.in[3], st.in[4],
                                  LineLook(st.in, 5), mode, event);
    });
    PointAt(Store(st), endIndex) = end;
}

// Fills are shown unless a FAST construction draws them, and then paced like a point.
void FillPacing(CallFrame& frame) {
    if (!ShowsAfterDrawing(frame)) return;
    ShowFrameBuffer(frame);
    if (frame.mode != PaceMode::Fast) PauseAfterStep(frame.pendingEvent);
}

void FillTriangleStatement(Statement& st) {
    EnsureScreen(st.frame);
    const Point a = BoundPoint(st.frame, st.target);
    const Point b = OperandPoint(st, 1), c = OperandPoint(st, 2);
    std::int32_t alpha = st.in[4] & 0xFF;
    FillTriangle(FrameBuffer(st.frame), a, b, c,
                 Colour{OperandOr<std::int32_t>(st.in[3], static_cast<std::int32_t>(a.colour))},
                 alpha);
    FillPacing(st.frame);
}

void FillCircleStatement(Statement& st) {
    EnsureScreen(st.frame);
    Circle& c = BoundCircle(st.frame, st.target);
    FillCircle(FrameBuffer(st.frame), c,
               Colour{OperandOr<std::int32_t>(st.in[1], static_cast<std::int32_t>(c.colour))},
               st.in[2] & 0xFF);
    FillPacing(st.frame);
}

// ---- marks --------------------------------------------------------------------------------

FontView SansFont(std::int32_t size) {
    return BuiltinFont(FontFamily::Sans, FontHeightForSize(size));
}
FontView GreekFont(std::int32_t size) {
    return BuiltinFont(FontFamily::Greek, FontHeightForSize(size));
}

// A number-form operand: its low 16 bits, or the fallback when they are all ones.
std::int32_t LowHalfOr(std::int32_t operand, std::int32_t fallback) {
    const std::int32_t half = operand & 0xFFFF;
    return half == AbsentHalf ? fallback : half;
}

// The two ends of a segment mark: the operand points, or for the number form the line's
// base point and its base point plus its direction, in the line's colour.
struct SegmentEnds {
    Point a{};
    Point b{};
    bool numberForm = false;
};

SegmentEnds EndsOf(Statement& st, const Line& l) {
    SegmentEnds ends;
    ends.numberForm = (st.in[1] & NumberFormBits) != 0;
    if (ends.numberForm) {
        ends.a = PointXY(l.x, l.y);
        ends.b = PointXY(l.x + l.dx, l.y + l.dy);
        ends.a.colour = ends.b.colour = l.colour;
    } else {
        ends.a = OperandPoint(st, 1);
        ends.b = OperandPoint(st, 2);
    }
    return ends;
}

void MarkLineStatement(Statement& st) {
    const int index = BoundIndex(st, st.target, TypeLine);
    const Line l = LineAt(Store(st), index);
    const SegmentEnds ends = EndsOf(st, l);
    // In the number form an omitted size or side shows as in the points form.
    const std::int32_t size = ends.numberForm ? LowHalfOr(st.in[1], -1) : st.in[3];
    const std::int32_t side =
        ends.numberForm ? LowHalfOr(st.in[2], 0) : OperandOr<std::int32_t>(st.in[4], 0);
    MarkLine(FrameBuffer(st.frame), ends.a, ends.b, NameOf(st, TypeLine, index), SansFont(size),
             side);
}

void MarkNumberLineStatement(Statement& st) {
    const int index = BoundIndex(st, st.target, TypeLine);
    const Line l = LineAt(Store(st), index);
    const SegmentEnds ends = EndsOf(st, l);
    std::int32_t unit = 0, size = 0, flags = 0;
    if (ends.numberForm) {
        unit = LowHalfOr(st.in[1], 1);
        size = LowHalfOr(st.in[2], 18);
        flags = LowHalfOr(st.in[3], 0);
    } else {
        unit = OperandOr<std::int32_t>(st.in[3], 1);
        size = OperandOr<std::int32_t>(st.in[4], 18);
        flags = OperandOr<std::int32_t>(st.in[5], 0);
    }
    // The length reads negative when the line points from B back past A.
    const Point behind = AdvanceOnLine(ends.a, l, -1.0);
    if (IsBetween(ends.a, behind, ends.b) == -1) flags |= LengthNegated;
    MarkAndNumberLine(FrameBuffer(st.frame), ends.a, ends.b, NameOf(st, TypeLine, index),
                      SansFont(size), flags, unit);
}

void Mark(Statement& st, Op op) {
    CallFrame& frame = st.frame;
    const Instruction& in = st.in;
    EnsureScreen(frame);
    const DrawTarget buffer = FrameBuffer(frame);
    switch (op) {
        case Op::MarkPoint: {
            const int index = BoundIndex(st, st.target, TypePoint);
            MarkPoint(buffer, PointAt(Store(st), index), NameOf(st, TypePoint, index),
                      SansFont(in[1]), OperandOr<std::int32_t>(in[2], LabelAbove));
            break;
        }
        case Op::MarkLine:
            MarkLineStatement(st);
            break;
        case Op::MarkNumberLine:
            MarkNumberLineStatement(st);
            break;
        case Op::MarkAngleLines:
            MarkAngle(buffer, BoundLine(frame, st.target), OperandLine(st, 1), TextOf(st, in[2]),
                      GreekFont(in[3]), OperandOr<std::int32_t>(in[4], 0),
                      OperandOr<std::int32_t>(in[5], 50));
            break;
        case Op::MarkAnglePoints:
            MarkAnglePt(buffer, BoundPoint(frame, st.target), OperandPoint(st, 1),
                        OperandPoint(st, 2), TextOf(st, in[3]), GreekFont(in[4]),
                        OperandOr<std::int32_t>(in[5], 35));
            break;
        case Op::MarkNumberAngleLines:
            MarkAndNumberAngle(buffer, BoundLine(frame, st.target), OperandLine(st, 1),
                               TextOf(st, in[2]), GreekFont(in[3]),
                               OperandOr<std::int32_t>(in[4], 0),
                               OperandOr<std::int32_t>(in[5], 35));
            break;
        case Op::MarkNumberAnglePoints:
            MarkAndNumberAnglePt(buffer, BoundPoint(frame, st.target), OperandPoint(st, 1),
                                 OperandPoint(st, 2), TextOf(st, in[3]),
                                 GreekFont(OperandOr<std::int32_t>(in[4], 18)),
                                 OperandOr<std::int32_t>(in[5], 50));
            break;
        default:
            break;
    }
    if (ShowsAfterDrawing(frame)) ShowFrameBuffer(frame);
}

// ---- defaults -----------------------------------------------------------------------------

void Defaults(const Instruction& in) {
    RunState& s = Settings();
    static constexpr RunWord Words[] = {RunWord::BackgroundColour,    RunWord::TextColour,
                                        RunWord::PointShapeLineStyle, RunWord::DrawColour,
                                        RunWord::LineWidth,           RunWord::ArcWidthPointSize};
    for (int k = 0; k < 6; ++k) SetRunWord(s, Words[k], static_cast<std::uint32_t>(in[2 + k]));
    s.auxColour = static_cast<std::uint32_t>(in[1]);
}

void ToolDefaults(const Instruction& in, int count) {
    static constexpr RunWord Words[] = {
        RunWord::ToolSize,    RunWord::RulerWidth,  RunWord::PencilColour, RunWord::CompassColour,
        RunWord::ToolColour5, RunWord::ToolColour6, RunWord::RulerColour};
    if (count == 1) count = 2;
    if (count > 8) count = 8;
    for (int k = 1; k < count; ++k) {
        SetRunWord(Settings(), Words[k - 1], static_cast<std::uint32_t>(in[k]));
    }
}

void Dispatch(Statement& st) {
    const Instruction& in = st.in;
    const Op op = static_cast<Op>(OpcodeOf(in[0]));
    switch (op) {
        case Op::Point:
            NewPoint(st, PointXY(FixedValue(in[1]), FixedValue(in[2])), 3);
            break;
        case Op::LineCoords:
            NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructLine(
                    buffer, OriginX(), OriginY(), PointXY(FixedValue(in[1]), FixedValue(in[2])),
                    PointXY(FixedValue(in[3]), FixedValue(in[4])), LineLook(in, 5), mode, event);
            });
            break;
        case Op::LinePolarCoords:
            NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                const Point p = PointXY(FixedValue(in[1]), FixedValue(in[2]));
                // The angle is measured from the horizontal through the point.
                Line reference{};
                reference.x = p.x;
                reference.y = p.y;
                reference.dx = 100.0;
                return ConstructLinePolar(buffer, OriginX(), OriginY(), p, reference, in[3],
                                          LineLook(in, 4), mode, event);
            });
            break;
        case Op::CircleCoords:
            NewCircle(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                const double x = FixedValue(in[1]), y = FixedValue(in[2]);
                return ConstructCircleThrough(buffer, OriginX(), OriginY(), PointXY(x, y),
                                              PointXY(x, y + FixedValue(in[3])), CircleLook(in, 4),
                                              mode, event);
            });
            break;
        case Op::CopyPoint:
            BoundPoint(st.frame, st.target) = OperandPoint(st, 1);
            break;
        case Op::CopyLine:
            BoundLine(st.frame, st.target) = OperandLine(st, 1);
            break;
        case Op::CopyCircle:
            BoundCircle(st.frame, st.target) = OperandCircle(st, 1);
            break;
        case Op::CrossLines:
            NewPoint(st, LineCross(OperandLine(st, 1), OperandLine(st, 2)), 3);
            break;
        case Op::Middle:
            Middle(st);
            break;
        case Op::MoveCircle:
            MoveCircle(st);
            break;
        case Op::Revert: {
            Line& l = BoundLine(st.frame, st.target);
            l.dx = -l.dx;
            l.dy = -l.dy;
            break;
        }
        case Op::LineThrough:
            NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructLine(buffer, OriginX(), OriginY(), OperandPoint(st, 1),
                                     OperandPoint(st, 2), LineLook(in, 3), mode, event);
            });
            break;
        case Op::Midline:
            NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructMidLine(buffer, OriginX(), OriginY(), OperandPoint(st, 1),
                                        OperandPoint(st, 2), LineLook(in, 3), mode, event);
            });
            break;
        case Op::Bisector:
            NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructBisector(buffer, OriginX(), OriginY(), OperandLine(st, 1),
                                         OperandLine(st, 2), LineLook(in, 3), mode, event);
            });
            break;
        case Op::LinePolarFrom:
            NewLine(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructLinePolar(buffer, OriginX(), OriginY(), OperandPoint(st, 1),
                                          OperandLine(st, 2), in[3], LineLook(in, 4), mode, event);
            });
            break;
        case Op::Tangent:
            Tangent(st);
            break;
        case Op::AdvanceTo:
            NewPoint(
                st, AdvanceToPoint(OperandPoint(st, 1), OperandPoint(st, 2), FixedValue(in[3])), 4);
            break;
        case Op::AdvanceOn:
            NewPoint(st, AdvanceOnLine(OperandPoint(st, 1), OperandLine(st, 2), FixedValue(in[3])),
                     4);
            break;
        case Op::CrossCircleLine:
        case Op::CrossLineCircle: {
            const bool circleFirst = op == Op::CrossCircleLine;
            const Circle c = OperandCircle(st, circleFirst ? 2 : 3);
            const Line l = OperandLine(st, circleFirst ? 3 : 2);
            Point s1{}, s2{};
            TwoPointSlots(st, s1, s2);
            LineCircleCross(l, c, s1, s2);
            NewPoints(st, s1, s2, 4);
            break;
        }
        case Op::CrossCircles: {
            const Circle c1 = OperandCircle(st, 2), c2 = OperandCircle(st, 3);
            Point s1{}, s2{};
            TwoPointSlots(st, s1, s2);
            CircleCross(c1, c2, s1, s2);
            NewPoints(st, s1, s2, 4);
            break;
        }
        case Op::CircleEnd: {
            const Circle c = OperandCircle(st, 2);
            Point e1{}, e2{};
            TwoPointSlots(st, e1, e2);
            ArcEnds(c, e1, e2);
            NewPoints(st, e1, e2, 3);
            break;
        }
        case Op::CircleThrough:
            NewCircle(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructCircleThrough(buffer, OriginX(), OriginY(), OperandPoint(st, 1),
                                              OperandPoint(st, 2), CircleLook(in, 3), mode, event);
            });
            break;
        case Op::CircleTouching:
            NewCircle(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructCircleTangent(buffer, OriginX(), OriginY(), OperandPoint(st, 1),
                                              OperandLine(st, 2), CircleLook(in, 3), mode, event);
            });
            break;
        case Op::ArcPoints:
            NewCircle(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructArc(buffer, OriginX(), OriginY(), OperandPoint(st, 1),
                                    OperandPoint(st, 2),
                                    OperandOr<std::int32_t>(in[3], Settings().arcWidth),
                                    ArcLook(in, 4), mode, event);
            });
            break;
        case Op::StartLine:
            StartLine(st);
            break;
        case Op::FillTriangle:
            FillTriangleStatement(st);
            break;
        case Op::FillCircle:
            FillCircleStatement(st);
            break;
        case Op::ArcLines:
            NewCircle(st, [&](DrawTarget buffer, PaceMode mode, InputEvent& event) {
                return ConstructArcLines(buffer, OriginX(), OriginY(), OperandLine(st, 1),
                                         OperandLine(st, 2), in[3], ArcLook(in, 4), mode, event);
            });
            break;
        case Op::OrderLines:
            SetSmallerAngle(BoundLine(st.frame, st.target), BoundLine(st.frame, in[1]));
            break;
        case Op::MarkPoint:
        case Op::MarkLine:
        case Op::MarkAngleLines:
        case Op::MarkAnglePoints:
        case Op::MarkNumberLine:
        case Op::MarkNumberAngleLines:
        case Op::MarkNumberAnglePoints:
            Mark(st, op);
            break;
        case Op::Defaults:
            Defaults(in);
            break;
        case Op::ToolDefaults:
            ToolDefaults(in, st.target);
            break;
        default:
            break;
    }
}

}  // namespace

Flow ExecuteConstructionStatement(CallFrame& frame, const Instruction& instruction) {
    Statement st{frame, instruction, TargetOf(instruction[0]), IsInvisible(instruction[0])};
    Dispatch(st);
    return Flow::Next;
}

}  // namespace zir
