#include "geometry/crossings.h"

#include <cmath>
#include <utility>

#include "platform/image.h"

namespace zir {

namespace {

// The tangency tolerance between a circle's radius and the distance of a line from its centre.
constexpr double TangentTolerance = 0.000001;

// Strictly between two bounds given in either order; never when they are equal.
bool StrictlyBetween(double v, double bound1, double bound2) {
    return (bound1 < v && v < bound2) || (bound2 < v && v < bound1);
}

// The undefined handling shared by the orderings: -2 both undefined, -1 one undefined (the
// defined record moved first), 0 when both are defined and the caller orders them.
template <typename Record>
std::int32_t OrderUndefined(Record& first, Record& second) {
    if (IsUndefined(first)) {
        if (IsUndefined(second)) return -2;
        std::swap(first, second);
        return -1;
    }
    if (IsUndefined(second)) return -1;
    return 0;
}

}  // namespace

Point LineCross(const Line& l1, const Line& l2) {
    if (IsUndefined(l1) || IsUndefined(l2)) return UndefinedPoint();
    double det = l1.dy * l2.dx - l1.dx * l2.dy;
    if (det == 0) {
        return Point{l1.x + 1e280 * l1.dx, l1.y + 1e280 * l1.dy, MaskColour.Value(), 0, 0};
    }
    double t = ((l1.x - l2.x) * l1.dy + (l2.y - l1.y) * l1.dx) / det;
    return Point{l2.x + t * l2.dx, l2.y + t * l2.dy, l1.colour, l1.width, 0};
}

std::int32_t LineCircleCross(const Line& l, const Circle& c, Point& s1, Point& s2) {
    for (Point* s : {&s1, &s2}) {
        s->x = s->y = UndefinedMarker;
        s->colour = l.colour;
        s->size = l.width;
    }
    if (IsUndefined(c) || IsUndefined(l)) return 0;
    double n = l.dx * l.dx + l.dy * l.dy;
    // A line without direction crosses nothing; it would only divide by zero below.
    if (n == 0) return 0;

    Point centre{c.cx, c.cy, 0, 0, 0};
    Point foot = LineCross(l, MakeRightAngle(centre, l));
    if (std::fabs(Distance(centre, foot) - c.r) < TangentTolerance) {
        s1 = foot;
        s2 = s1;
        return 1;
    }

    double ux = c.cx - l.x, uy = c.cy - l.y;
    double p = ux * l.dx + uy * l.dy;
    double q = uy * l.dx - ux * l.dy;
    double disc = c.r * n * c.r - q * q;
    if (disc < 0) return 0;
    double s = std::sqrt(disc);
    double tFar = (p + s) / n, tNear = (p - s) / n;
    s1.x = l.x + tFar * l.dx;
    s1.y = l.y + tFar * l.dy;
    s2.x = l.x + tNear * l.dx;
    s2.y = l.y + tNear * l.dy;
    SetFirst(s1, s2, l);
    return 2;
}

std::int32_t SolveEquation2(double a, double b, double c, double& x1, double& x2) {
    // Not a quadratic: solving the linear rest beats dividing by zero.
    if (a == 0) {
        if (b == 0) return 0;
        x1 = -c / b;
        return 1;
    }
    double d = b * b - c * a * 4;
    if (d < 0) return 0;
    if (d == 0) {
        x1 = -b / (a + a);
        return 1;
    }
    double root = std::sqrt(d);
    x1 = (-b + root) / (a + a);
    x2 = (-b - root) / (a + a);
    return 2;
}

std::int32_t CircleCross(const Circle& c1, const Circle& c2, Point& s1, Point& s2) {
    for (Point* s : {&s1, &s2}) {
        s->x = s->y = UndefinedMarker;
        s->size = 0;
    }
    if (IsUndefined(c1) || IsUndefined(c2)) return 0;
    if (c1.cx == c2.cx && c1.cy == c2.cy) return 0;

    double x1 = c1.cx, y1 = c1.cy, r1 = c1.r;
    double x2 = c2.cx, y2 = c2.cy, r2 = c2.r;
    double k = r1 * r1 - r2 * r2 + x2 * x2 - x1 * x1 + y2 * y2 - y1 * y1;
    double dx = x2 - x1, dy = y2 - y1;

    // Every crossing lies on 2 dx x + 2 dy y = k; eliminate the coordinate whose coefficient
    // is not zero and solve for the other.
    double root1 = 0, root2 = 0;
    std::int32_t count = 0;
    auto pointAt = [&](double root) {
        Point s{0, 0, c1.colour, static_cast<std::int16_t>(c1.width), 0};
        if (dx != 0) {
            s.x = (k - 2 * dy * root) / (2 * dx);
            s.y = root;
        } else {
            s.x = root;
            s.y = (k - 2 * dx * root) / (2 * dy);
        }
        return s;
    };
    if (dx != 0) {
        count = SolveEquation2(dx * dx + dy * dy, -dy * k + 2 * dx * dy * x1 - 2 * dx * dx * y1,
                               k * k / 4 - k * x1 * dx + dx * dx * (x1 * x1 + y1 * y1 - r1 * r1),
                               root1, root2);
    } else {
        count = SolveEquation2(dy * dy + dx * dx, -dx * k + 2 * dy * dx * y1 - 2 * dy * dy * x1,
                               k * k / 4 - k * y1 * dy + dy * dy * (x1 * x1 + y1 * y1 - r1 * r1),
                               root1, root2);
    }
    if (count == 0) return 0;

    // Shapes are the caller's; only position, colour and size come from the crossing.
    auto place = [](Point& target, const Point& from) {
        target.x = from.x;
        target.y = from.y;
        target.colour = from.colour;
        target.size = from.size;
    };
    place(s1, pointAt(root1));
    if (count == 1) {
        s2 = s1;
        return 1;
    }
    place(s2, pointAt(root2));
    Point centre1{x1, y1, 0, 0, 0}, centre2{x2, y2, 0, 0, 0};
    if (Angle(MakeLine(centre1, s1), MakeLine(centre1, centre2)) > Pi) std::swap(s1, s2);
    return 2;
}

std::int32_t IsBetween(const Point& a, const Point& p, const Point& b) {
    if (IsUndefined(a) || IsUndefined(p) || IsUndefined(b)) return UndefinedResult;
    bool inY = StrictlyBetween(p.y, a.y, b.y);
    bool inX = StrictlyBetween(p.x, a.x, b.x);
    double width = std::fabs(a.x - b.x), height = std::fabs(a.y - b.y);
    bool inside;
    if (width < 1.0 && height > 1.0) {
        inside = inY;
    } else if (height < 1.0 && width > 1.0) {
        inside = inX;
    } else {
        inside = inX && inY;
    }
    return inside ? -1 : 0;
}

std::int32_t LineIsBetween(const Line& l, const Point& p1, const Point& p2) {
    if (IsUndefined(l) || IsUndefined(p1) || IsUndefined(p2)) return UndefinedResult;
    std::int32_t onLine = 0;
    if (LineDistance(p1, l) < 0.5) onLine += 1;
    if (LineDistance(p2, l) < 0.5) onLine += 2;
    if (onLine != 0) return onLine;
    return IsBetween(p1, LineCross(l, MakeLine(p1, p2)), p2);
}

std::int32_t SetFirst(Point& a, Point& b, const Line& l) {
    if (IsUndefined(a) || IsUndefined(b)) return OrderUndefined(a, b);
    if ((b.x - a.x) * l.dx <= 0 && (b.y - a.y) * l.dy <= 0) std::swap(a, b);
    return 0;
}

std::int32_t SetFirstAngle(Point& a, Point& b, const Line& l) {
    if (IsUndefined(a) || IsUndefined(b)) return OrderUndefined(a, b);
    Point base{l.x, l.y, 0, 0, 0};
    double angleL = AbsAngle(l);
    double angleA = AbsAngle(MakeLine(base, a));
    double angleB = AbsAngle(MakeLine(base, b));
    if (angleA < angleL) angleA += TwoPi;
    if (angleB < angleL) angleB += TwoPi;
    if (angleA > angleB) std::swap(a, b);
    return 0;
}

std::int32_t SetSmallerAngle(Line& l1, Line& l2) {
    if (IsUndefined(l1) || IsUndefined(l2)) return OrderUndefined(l1, l2);
    if (Angle(l1, l2) > Pi) std::swap(l1, l2);
    return 0;
}

}  // namespace zir
