#include "draw/figures.h"

#include <algorithm>
#include <cmath>

#include "geometry/portablemath.h"

namespace zir {
namespace {

// Calls draw(offset) for the width copies that can reach the target: a copy moves the
// span [lo, hi] of the shifted coordinate by its offset, and only copies that bring it
// near [0, limit] are drawn, so a huge width costs no more than the target's size.
template <class Draw>
void ForEachVisibleCopy(int width, double lo, double hi, double limit, Draw&& draw) {
    if (width <= 0 || std::isnan(lo) || std::isnan(hi)) return;
    const double start = -width / 2.0;
    const double first = std::max(0.0, std::ceil(-2.0 - hi - start));
    const double last = std::min(width - 1.0, std::floor(limit + 2.0 - lo - start));
    for (double i = first; i <= last; ++i) draw(start + i);
}

// A segment of the given width: copies across x when it is steeper than 45 degrees.
void WideSegment(DrawTarget target, double x1, double y1, double x2, double y2, int width,
                 Colour colour, std::uint16_t style) {
    const TargetInfo size = TargetSize(target);
    if (std::fabs(x2 - x1) < std::fabs(y2 - y1)) {
        ForEachVisibleCopy(width, std::min(x1, x2), std::max(x1, x2), size.width, [&](double o) {
            RasterLine(target, x1 + o, y1, x2 + o, y2, colour, LineKind::Segment, style);
        });
    } else {
        ForEachVisibleCopy(width, std::min(y1, y2), std::max(y1, y2), size.height, [&](double o) {
            RasterLine(target, x1, y1 + o, x2, y2 + o, colour, LineKind::Segment, style);
        });
    }
}

void PlainSegment(DrawTarget target, double x1, double y1, double x2, double y2, Colour colour) {
    RasterLine(target, x1, y1, x2, y2, colour, LineKind::Segment, SolidStyle);
}

// The length of the vector (x, y); exact without the square root when a leg is 0, as
// inside the target the nearest offset mostly is.
double VectorLength(double x, double y) {
    if (x == 0) return std::fabs(y);
    if (y == 0) return std::fabs(x);
    return Hypot(x, y);
}

// An arc angle as the raster layer takes it: never negative (a negative angle would add a
// radius line there), a record's negative angle counting as the same direction.
double ArcAngle(double a) {
    if (a < 0) a = std::fmod(a, TwoPi) + TwoPi;
    return a + 0.0;  // no negative zero
}

}  // namespace

std::int32_t DrawPoint(DrawTarget target, const Point& point) {
    if (IsUndefined(point)) return UndefinedResult;
    const double x = point.x, y = point.y;
    // Written so that coordinates that are not numbers are refused as well.
    if (!(x >= 0) || !(y >= 0)) return -1;
    const TargetInfo size = TargetSize(target);
    if (!(x <= size.width) || !(y <= size.height)) return -1;

    const Colour colour{point.colour};
    const double s = point.size, h = s / 2;
    switch (static_cast<PointShape>(point.shape)) {
        case PointShape::Cross:
            PlainSegment(target, x - h, y, x + h, y, colour);
            PlainSegment(target, x, y - h, x, y + h, colour);
            break;
        case PointShape::Disc:
            RasterArc(target, x, y, h, colour, 0, FullTurn, true);
            break;
        case PointShape::Ring:
            RasterArc(target, x, y, h, colour, 0, FullTurn, false);
            break;
        case PointShape::FilledSquare:
            RasterLine(target, x - h, y - h, x + h, y + h, colour, LineKind::FilledBox);
            break;
        case PointShape::Square:
            RasterLine(target, x - h, y - h, x + h, y + h, colour, LineKind::Box);
            break;
        case PointShape::ArrowLeft:
            PlainSegment(target, x + s, y - h, x, y, colour);
            PlainSegment(target, x + s, y + h, x, y, colour);
            break;
        case PointShape::ArrowRight:
            PlainSegment(target, x - s, y - h, x, y, colour);
            PlainSegment(target, x - s, y + h, x, y, colour);
            break;
        case PointShape::ArrowUp:
            PlainSegment(target, x - h, y + s, x, y, colour);
            PlainSegment(target, x + h, y + s, x, y, colour);
            break;
        case PointShape::ArrowDown:
            PlainSegment(target, x - h, y - s, x, y, colour);
            PlainSegment(target, x + h, y - s, x, y, colour);
            break;
        default:
            RasterPixel(target, x, y, colour);
            break;
    }
    return 0;
}

std::int32_t DrawLine(DrawTarget target, const Line& line) {
    if (IsUndefined(line)) return UndefinedResult;
    const TargetInfo size = TargetSize(target);
    const double w = size.width, h = size.height;
    const double x0 = line.x, y0 = line.y, dx = line.dx, dy = line.dy;
    // The end points lie on the edges the line leaves the target by: top and bottom for a
    // steep line, left and right otherwise. WideSegment then shifts the copies the same way.
    if (std::fabs(dx) < std::fabs(dy)) {
        WideSegment(target, dx * (0 - y0) / dy + x0, 0, dx * (h - y0) / dy + x0, h, line.width,
                    Colour{line.colour}, line.style);
    } else {
        WideSegment(target, 0, dy * (0 - x0) / dx + y0, w, dy * (w - x0) / dx + y0, line.width,
                    Colour{line.colour}, line.style);
    }
    return 0;
}

std::int32_t DrawSegment(DrawTarget target, const Point& p1, const Point& p2, const Line& line) {
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedResult;
    WideSegment(target, p1.x, p1.y, p2.x, p2.y, line.width, Colour{line.colour}, line.style);
    return 0;
}

std::int32_t DrawCircle(DrawTarget target, const Circle& circle) {
    if (IsUndefined(circle)) return UndefinedResult;
    const int width = circle.width;
    if (width <= 0) return 0;
    const bool full = circle.start == 0 && circle.end == 0;
    const double start = full ? 0 : ArcAngle(circle.start);
    const double end = full ? FullTurn : ArcAngle(circle.end);

    // Rings half a pixel apart from r - w/2 up to r - w/2 + w - 1, those that can be seen only:
    // none nearer the centre than the target's nearest point, none beyond its farthest corner.
    const TargetInfo size = TargetSize(target);
    const double cx = circle.cx, cy = circle.cy;
    const double nearX = std::max({0.0, -cx, cx - size.width});
    const double nearY = std::max({0.0, -cy, cy - size.height});
    const double farX = std::max(std::fabs(cx), std::fabs(cx - size.width));
    const double farY = std::max(std::fabs(cy), std::fabs(cy - size.height));
    const double lowest = std::max(0.0, VectorLength(nearX, nearY) - 2);
    const double base = circle.r - width / 2.0;
    const double first = std::max(0.0, std::ceil((lowest - base) * 2));
    // The farthest distance matters only when it cuts rings off; its longer leg, which it is
    // never below, usually shows that it does not.
    double last = 2.0 * width - 2;
    if (!(std::isfinite(farX) && std::isfinite(farY) &&
          std::floor((std::max(farX, farY) + 2 - base) * 2) >= last)) {
        last = std::min(last, std::floor((Hypot(farX, farY) + 2 - base) * 2));
    }
    if (std::isnan(first) || std::isnan(last)) return 0;
    for (double k = first; k <= last; ++k) {
        RasterArc(target, cx, cy, base + 0.5 * k, Colour{circle.colour}, start, end, false);
    }
    return 0;
}

std::int32_t DrawRect(DrawTarget target, const Point& a, const Point& b, double height,
                      const Line& line) {
    if (IsUndefined(a) || IsUndefined(b)) return UndefinedResult;
    Point c{}, d{};
    // Two equal points span no rectangle: their corners come back undefined and only the
    // side a-b, a single dot, is drawn.
    RectOver(a, b, height, c, d);
    DrawSegment(target, a, b, line);
    DrawSegment(target, a, c, line);
    DrawSegment(target, b, d, line);
    DrawSegment(target, c, d, line);
    return 0;
}

}  // namespace zir
