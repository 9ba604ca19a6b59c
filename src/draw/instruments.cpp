#include "draw/instruments.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "draw/figures.h"
#include "draw/fills.h"
#include "draw/vectors.h"
#include "geometry/crossings.h"
#include "geometry/portablemath.h"

namespace zir {
namespace {

// The fixed proportions of the instruments, as fractions of their size argument.
constexpr double SquareCutNear = 0.16;
constexpr double SquareCutFar = 0.67;
constexpr double TickLong = 0.5;
constexpr double TickMiddle = 0.35;
constexpr double TickShort = 0.2;
constexpr double CompassMinLeg = 0.55;
constexpr double CompassJoint = 0.1;
constexpr double CompassLegWidth = 0.04;
constexpr double CompassHandleWidth = 0.08;
constexpr double ProtractorStrip = 0.3333;
constexpr double ProtractorInner = 0.6667;
constexpr double ProtractorTicksFrom = 0.85;
// Just under 10 degrees, so that the tick at 180 degrees is still drawn after 18 steps.
constexpr double ProtractorTickStep = 0.174532750666508;
constexpr double PencilPoint = 0.25;
constexpr double PencilHalfWidth = 0.05;
// How far an instrument's edge stays off the line it is laid against.
constexpr double EdgeGap = 2.0;

struct Vec {
    double x = 0;
    double y = 0;
};

Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
Vec operator*(double k, Vec a) {
    return {k * a.x, k * a.y};
}

Vec At(const Point& p) {
    return {p.x, p.y};
}

// The unit vector of (dx, dy); false when it has no length (or is not a number).
bool Unit(double dx, double dy, Vec& unit) {
    const double length = Hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) return false;
    unit = {dx / length, dy / length};
    return true;
}

void Segment(DrawTarget target, Vec a, Vec b, Colour colour) {
    RasterLine(target, a.x, a.y, b.x, b.y, colour, LineKind::Segment, SolidStyle);
}

// The appearance record through which an instrument draws with the figure procedures.
Line Pen(Colour colour, double width) {
    Line pen{};
    pen.colour = colour.Value();
    pen.style = SolidStyle;
    // Always at least a pixel, so that a small instrument is still seen; never beyond what
    // the record holds.
    const double pixels = std::nearbyint(width);
    pen.width = static_cast<std::int16_t>(pixels >= 1 ? std::min(pixels, 32767.0) : 1.0);
    return pen;
}

Point PointAt(Vec v) {
    Point p{};
    p.x = v.x;
    p.y = v.y;
    return p;
}

// The interval of t for which o + t * d lies inside the box [x0, x1] x [y0, y1]; false when
// there is none.
bool RangeInBox(Vec o, Vec d, double x0, double y0, double x1, double y1, double& lo, double& hi) {
    lo = -std::numeric_limits<double>::infinity();
    hi = std::numeric_limits<double>::infinity();
    const double origin[2] = {o.x, o.y}, dir[2] = {d.x, d.y};
    const double low[2] = {x0, y0}, high[2] = {x1, y1};
    for (int k = 0; k < 2; ++k) {
        if (dir[k] == 0) {
            if (origin[k] < low[k] || origin[k] > high[k]) return false;
            continue;
        }
        double t1 = (low[k] - origin[k]) / dir[k], t2 = (high[k] - origin[k]) / dir[k];
        if (t1 > t2) std::swap(t1, t2);
        lo = std::max(lo, t1);
        hi = std::min(hi, t2);
    }
    return lo <= hi;
}

}  // namespace

std::int32_t RulerTool(DrawTarget target, const Point& a, const Point& b, std::int32_t side,
                       double width, Colour colour, std::int32_t tickSpacing) {
    const VectorInstrument instrument;
    if (IsUndefined(a) || IsUndefined(b)) return UndefinedResult;
    Vec e{1, 0};
    Unit(b.x - a.x, b.y - a.y, e);
    const Vec n{-e.y, e.x};
    const double sign = side != 0 ? -1.0 : 1.0;
    const Vec across = (sign * width) * n, gap = (sign * EdgeGap) * n;
    const Vec e1 = At(a) + gap, e2 = At(b) + gap;
    const Vec r1 = e1 - width * e, r2 = e2 + width * e;
    const Vec r1b = r1 + across, r2b = r2 + across;
    Segment(target, r1, r2, colour);
    Segment(target, r1, r1b, colour);
    Segment(target, r2b, r2, colour);
    Segment(target, r2b, r1b, colour);

    if (tickSpacing <= 0) return 0;
    const double s = tickSpacing;
    const double last = std::floor(Hypot(b.x - a.x, b.y - a.y) / s + 0.5);
    // Only the ticks whose foot can reach the target are drawn, so that a ruler along a
    // segment to a far point costs no more than one across the drawing.
    const TargetInfo size = TargetSize(target);
    const double margin = std::fabs(width) + 2 * EdgeGap;
    double lo = 0, hi = 0;
    if (!RangeInBox(e1, s * e, -margin, -margin, size.width + margin, size.height + margin, lo,
                    hi)) {
        return 0;
    }
    const double first = std::max(0.0, std::ceil(lo)), end = std::min(last, std::floor(hi));
    for (double i = first; i <= end; ++i) {
        const double tenth = std::fmod(i, 10.0);
        const double f = tenth == 0 ? TickLong : tenth == 5 ? TickMiddle : TickShort;
        const Vec t = e1 + (i * s) * e;
        Segment(target, t, t + f * across, colour);
    }
    return 0;
}

std::int32_t SquareTool(DrawTarget target, const Line& line1, const Line& line2, std::int32_t mode,
                        double size, Colour colour) {
    const VectorInstrument instrument;
    if (IsUndefined(line1) || IsUndefined(line2)) return UndefinedResult;
    Vec u1, u2;
    if (!Unit(line1.dx, line1.dy, u1) || !Unit(line2.dx, line2.dy, u2)) return -1;
    if (mode & 1) u1 = -1.0 * u1;
    if (mode & 2) u2 = -1.0 * u2;
    const Vec v = At(LineCross(line1, line2));
    const auto corner = [&](double k1, double k2) { return v + k1 * u1 + k2 * u2; };
    const double k0 = EdgeGap, kA = SquareCutNear * size + EdgeGap,
                 kB = SquareCutFar * size + EdgeGap, kC = size + EdgeGap;
    const Vec o = corner(k0, k0), o1 = corner(k0, kC), o2 = corner(kC, k0);
    const Vec i = corner(kA, kA), i1 = corner(kA, kB), i2 = corner(kB, kA);
    Segment(target, o, o1, colour);
    Segment(target, o, o2, colour);
    Segment(target, o1, o2, colour);
    Segment(target, i, i1, colour);
    Segment(target, i, i2, colour);
    Segment(target, i1, i2, colour);
    return 0;
}

std::int32_t CompassTool(DrawTarget target, const Point& a, const Point& b, double legLength,
                         Colour colour) {
    const VectorInstrument instrument;
    if (IsUndefined(a) || IsUndefined(b)) return UndefinedResult;
    const double dist = Distance(a, b);
    if (!(dist >= 0.5)) return -1;
    const double shortest = CompassMinLeg * dist;
    const double leg = legLength >= shortest ? legLength : shortest;
    const double h = std::sqrt((leg - dist / 2) * (leg + dist / 2));
    const Point m{(a.x + b.x) / 2, (a.y + b.y) / 2, 0, 0, 0};
    const Line up = MakeRightAngle(m, MakeLine(a, b));
    const Point hinge = AdvanceOnLine(m, up, h);
    const Point top = AdvanceOnLine(hinge, up, CompassJoint * leg);
    const Point needleJoint = AdvanceToPoint(a, hinge, CompassJoint * leg);
    const Point pencilJoint = AdvanceToPoint(b, hinge, CompassJoint * leg);

    const Line legPen = Pen(colour, CompassLegWidth * leg);
    DrawSegment(target, hinge, needleJoint, legPen);
    DrawSegment(target, hinge, pencilJoint, legPen);
    DrawSegment(target, needleJoint, a, Pen(colour, 1));

    // The lead tapers from the pencil joint, as wide as the leg there, to the tip at b.
    Vec along;
    if (Unit(b.x - pencilJoint.x, b.y - pencilJoint.y, along)) {
        const double half = std::max(0.5, legPen.width / 2.0);
        const Vec beside = half * Vec{-along.y, along.x};
        std::int32_t opaque = 255;
        FillTriangle(target, PointAt(At(pencilJoint) + beside), PointAt(At(pencilJoint) - beside),
                     b, colour, opaque);
    }
    DrawSegment(target, hinge, top, Pen(colour, CompassHandleWidth * leg));
    return 0;
}

std::int32_t ProtractorTool(DrawTarget target, const Point& c, const Line& line, std::int32_t side,
                            double diameter, Colour colour) {
    const VectorInstrument instrument;
    if (IsUndefined(c) || IsUndefined(line)) return UndefinedResult;
    Vec e;
    if (!Unit(line.dx, line.dy, e)) return -1;
    const double r = diameter / 2;
    const Point p1 = AdvanceOnLine(c, line, -r), p2 = AdvanceOnLine(c, line, r);
    double a0 = AbsAngle(line);
    if (a0 < 0) a0 += TwoPi;
    double a1 = a0 + Pi;
    if (a1 > TwoPi) a1 -= TwoPi;
    Point q1{}, q2{};
    if (side == 0) {
        RectOver(p1, p2, ProtractorStrip * r, q1, q2);
    } else {
        RectOver(p2, p1, ProtractorStrip * r, q2, q1);
        std::swap(a0, a1);
    }
    const Line pen = Pen(colour, 1);
    DrawSegment(target, p1, q1, pen);
    DrawSegment(target, q1, q2, pen);
    DrawSegment(target, p2, q2, pen);
    const Vec centre = At(c), inner = (ProtractorInner * r) * e;
    DrawSegment(target, PointAt(centre - inner), PointAt(centre + inner), pen);
    DrawCircle(target, Circle{c.x, c.y, r, a0, a1, colour.Value(), 1});
    DrawCircle(target, Circle{c.x, c.y, ProtractorInner * r, a0, a1, colour.Value(), 1});
    for (int i = 0;; ++i) {
        const double t = a0 + i * ProtractorTickStep;
        if (!(t <= a0 + Pi)) break;
        const Line ray = MakeLinePolar(c, t);
        DrawSegment(target, AdvanceOnLine(c, ray, ProtractorTicksFrom * r),
                    AdvanceOnLine(c, ray, r), pen);
    }
    return 0;
}

std::int32_t PencilTool(DrawTarget target, const Point& p, double angle, double length,
                        Colour colour) {
    const VectorInstrument instrument;
    if (IsUndefined(p)) return UndefinedResult;
    const Line axis = MakeLinePolar(p, angle);
    const double w = PencilHalfWidth * length;
    const Point sharpened = AdvanceOnLine(p, axis, PencilPoint * length);
    const Point end = AdvanceOnLine(p, axis, length);
    const Line pen = Pen(colour, 1);
    DrawRect(target, sharpened, end, w, pen);
    DrawRect(target, end, sharpened, w, pen);
    const Line across = MakeRightAngle(sharpened, axis);
    DrawSegment(target, AdvanceOnLine(sharpened, across, w), p, pen);
    DrawSegment(target, AdvanceOnLine(sharpened, across, -w), p, pen);
    return 0;
}

}  // namespace zir
