#include "geometry/kernel.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "geometry/portablemath.h"

namespace zir {

// Outside programs build these records byte for byte, so their layout must never move.
static_assert(sizeof(Point) == 24 && offsetof(Point, colour) == 16 && offsetof(Point, shape) == 22);
static_assert(sizeof(Line) == 40 && offsetof(Line, colour) == 32 && offsetof(Line, width) == 38);
static_assert(sizeof(Circle) == 48 && offsetof(Circle, colour) == 40 &&
              offsetof(Circle, width) == 44);
static_assert(sizeof(Equation) == 24 && offsetof(Equation, width) == 20 &&
              offsetof(Equation, style) == 22);

namespace {

// The length of a direction vector; 0 when it is too short to give a direction at all.
double Length(double dx, double dy) {
    return std::sqrt(dx * dx + dy * dy);
}

// Brings an arc angle into [0, 2 pi] by whole turns of the program's 2 pi, exactly 2 pi
// staying 2 pi. Huge angles are reduced first so that the loops end, and an angle that is not
// a number becomes 0, which leaves a whole circle rather than an arc nobody can draw.
double NormaliseArcAngle(double a) {
    if (!std::isfinite(a)) return 0.0;
    if (std::fabs(a) > 1e6) a = std::fmod(a, TwoPi);
    while (a < 0) a += TwoPi;
    while (a > TwoPi) a -= TwoPi;
    return a + 0.0;  // no negative zero
}

}  // namespace

Line MakeLine(const Point& p1, const Point& p2) {
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedLine();
    Line l{p1.x, p1.y, p2.x - p1.x, p2.y - p1.y, p1.colour, SolidStyle, 1};
    if (l.dx == 0 && l.dy == 0) l.dx = 0.000001;
    return l;
}

Line MakeLinePolar(const Point& p, double a) {
    if (IsUndefined(p)) return UndefinedLine();
    return Line{p.x, p.y, 100 * Cos(a), -100 * Sin(a), p.colour, SolidStyle, 1};
}

double Distance(const Point& p1, const Point& p2) {
    if (IsUndefined(p1) || IsUndefined(p2)) return 0.0;
    return Length(p2.x - p1.x, p2.y - p1.y);
}

double LineDistance(const Point& p, const Line& l) {
    if (IsUndefined(p) || IsUndefined(l)) return 0.0;
    double length = Length(l.dx, l.dy);
    if (length == 0) return Length(p.x - l.x, p.y - l.y);
    return std::fabs((p.x - l.x) * l.dy - (p.y - l.y) * l.dx) / length;
}

Point AdvanceOnLine(const Point& p, const Line& l, double d) {
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedPoint();
    double length = Length(l.dx, l.dy);
    if (length == 0) return UndefinedPoint();
    double k = d / length;
    return Point{p.x + k * l.dx, p.y + k * l.dy, p.colour, p.size, p.shape};
}

Point AdvanceToPoint(const Point& p1, const Point& p2, double d) {
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedPoint();
    double dx = p2.x - p1.x, dy = p2.y - p1.y;
    double length = Length(dx, dy);
    if (length == 0) return UndefinedPoint();
    double k = d / length;
    return Point{p1.x + k * dx, p1.y + k * dy, p1.colour, p1.size, p1.shape};
}

Line MakeRightAngle(const Point& p, const Line& l) {
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    return Line{p.x, p.y, -l.dy, l.dx, l.colour, l.style, l.width};
}

std::int32_t RectOver(const Point& a, const Point& b, double h, Point& c, Point& d) {
    double dx = 0, dy = 0, length = 0;
    if (!IsUndefined(a) && !IsUndefined(b)) {
        dx = b.x - a.x;
        dy = b.y - a.y;
        length = Length(dx, dy);
    }
    if (length == 0) {
        c.x = c.y = d.x = d.y = UndefinedMarker;
        return UndefinedResult;
    }
    double k = h / length;
    double offsetX = -dy * k, offsetY = dx * k;
    c.x = a.x + offsetX;
    c.y = a.y + offsetY;
    c.colour = a.colour;
    c.size = a.size;
    d.x = b.x + offsetX;
    d.y = b.y + offsetY;
    d.colour = b.colour;
    d.size = b.size;
    return 0;
}

Line MakeAngle(const Point& p, const Line& l, double a) {
    if (IsUndefined(p) || IsUndefined(l)) return UndefinedLine();
    return MakeLinePolar(p, AbsAngle(l) + a);
}

Point RotatePoint(const Point& p, const Point& centre, double a) {
    if (IsUndefined(p) || IsUndefined(centre)) return UndefinedPoint();
    double dx = p.x - centre.x, dy = p.y - centre.y;
    double c = Cos(a), s = Sin(a);
    return Point{centre.x + c * dx + s * dy, centre.y - s * dx + c * dy, p.colour, p.size, p.shape};
}

double AbsAngle(const Line& l) {
    if (IsUndefined(l)) return UndefinedMarker;
    double a = -Atan2(l.dy, l.dx);
    if (a < 0) a += TwoPi;
    return a + 0.0;  // no negative zero
}

double Angle(const Line& l1, const Line& l2) {
    if (IsUndefined(l1) || IsUndefined(l2)) return UndefinedMarker;
    double d = AbsAngle(l2) - AbsAngle(l1);
    if (d < 0) d += TwoPi;
    if (d > TwoPi) d -= TwoPi;
    return d;
}

Circle MakeArc(const Point& centre, const Point& p, double w) {
    if (IsUndefined(p) || IsUndefined(centre)) return UndefinedCircle();
    double dx = p.x - centre.x, dy = p.y - centre.y;
    double a = -Atan2(dy, dx);
    return Circle{centre.x,
                  centre.y,
                  Length(dx, dy),
                  NormaliseArcAngle(a - w / 2),
                  NormaliseArcAngle(a + w / 2),
                  p.colour,
                  p.size};
}

std::int32_t ArcEnds(const Circle& arc, Point& e1, Point& e2) {
    if (IsUndefined(arc)) {
        e1.x = e1.y = e2.x = e2.y = UndefinedMarker;
        return UndefinedResult;
    }
    Point centre{arc.cx, arc.cy, arc.colour, static_cast<std::int16_t>(arc.width), 0};
    e1 = AdvanceOnLine(centre, MakeLinePolar(centre, arc.start), arc.r);
    e2 = AdvanceOnLine(centre, MakeLinePolar(centre, arc.end), arc.r);
    return 0;
}

Line EquatToVectorial(const Equation& e) {
    if (IsUndefined(e)) return UndefinedLine();
    if (e.m == UndefinedMarker) return Line{e.b, e.b, 0, 1, e.colour, e.style, e.width};
    return Line{0, e.b, 1, e.m, e.colour, e.style, e.width};
}

Equation VectorialToEquat(const Line& l) {
    if (IsUndefined(l)) return UndefinedEquation();
    if (l.dx == 0) return Equation{UndefinedMarker, l.x, l.colour, l.width, l.style};
    double m = l.dy / l.dx;
    return Equation{m, l.y - l.x * m, l.colour, l.width, l.style};
}

double LineDistanceEquat(const Point& p, const Equation& e) {
    if (IsUndefined(p) || IsUndefined(e)) return 0.0;
    if (e.m == UndefinedMarker) return std::fabs(p.x - e.b);
    double m = e.m, b = e.b;
    double footX = (2 * p.x + 2 * p.y * m - 2 * b * m) / (2 * m * m + 2);
    return Length(p.x - footX, p.y - m * footX - b);
}

}  // namespace zir
