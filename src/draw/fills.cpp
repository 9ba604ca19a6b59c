#include "draw/fills.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <vector>

#include "draw/vectors.h"
#include "geometry/crossings.h"
#include "geometry/portablemath.h"

namespace zir {
namespace {

// The seed of a small triangle is this multiple of its vertices' sum.
constexpr double CentroidFactor = 0.3333;
// A large triangle's seed lies this far from a vertex, or this far beside a chord.
constexpr double LargeSeedDistance = 40;
constexpr double ChordSeedOffset = 2;
// The pixels each fill image keeps free of outline around the shape: a flood fill that
// leaks out of the outline reaches this ring, which shows in the image's corner.
constexpr double Ring = 2;
// A pixel of the drawn outline lies within about 1.2 pixels of the true outline, so a seed
// at least this far inside the shape is inside the drawn outline for certain.
constexpr double SafeMargin = 2;

// The temporary image of one fill, in the target's pixel format, and where its top-left
// pixel goes on the target.
struct FillImage {
    Image image;
    ImageHandle handle = nullptr;
    double left = 0, top = 0;  // whole numbers
    // The outline keeps off the image's outer ring of pixels (the shape was not cut).
    bool freeRing = false;

    DrawTarget target() { return &handle; }
    // Draws the target segment p-q into the image.
    void Edge(const Point& p, const Point& q, Colour colour) {
        RasterLine(target(), p.x - left, p.y - top, q.x - left, q.y - top, colour,
                   LineKind::Segment);
    }
};

bool ValidTarget(const TargetInfo& t) {
    return t.width > 0 && t.height > 0 &&
           (t.bytesPerPixel == 1 || t.bytesPerPixel == 2 || t.bytesPerPixel == 4);
}

// The image for a shape within [left, right] x [top, bottom] (target coordinates), with a
// free ring around it. A shape larger than the target, or any shape when cut is asked for,
// is cut to the target and its ring first. No image when nothing of it can be seen.
FillImage MakeFillImage(DrawTarget target, double left, double top, double right, double bottom,
                        bool cut) {
    FillImage f;
    const TargetInfo t = TargetSize(target);
    if (!ValidTarget(t) || !std::isfinite(left + top + right + bottom)) return f;
    left = std::floor(left) - Ring, top = std::floor(top) - Ring;
    right = std::ceil(right) + Ring, bottom = std::ceil(bottom) + Ring;
    const double w = t.width, h = t.height;
    const double width = right - left + 1, height = bottom - top + 1;
    const bool large = width > w + 2 * Ring + 4 || height > h + 2 * Ring + 4 ||
                       width > ImageMaxWidth || height > ImageMaxHeight;
    if (cut || large) {
        // The target with its ring, or the bare target where that would exceed an image.
        double ring = Ring;
        if (w + 2 * Ring > ImageMaxWidth || h + 2 * Ring > ImageMaxHeight) ring = 0;
        const double cutLeft = std::max(left, -ring), cutTop = std::max(top, -ring);
        const double cutRight = std::min(right, w - 1 + ring);
        const double cutBottom = std::min(bottom, h - 1 + ring);
        f.freeRing = cutLeft == left && cutTop == top && cutRight == right && cutBottom == bottom;
        left = cutLeft, top = cutTop, right = cutRight, bottom = cutBottom;
    } else {
        f.freeRing = true;
    }
    if (left > right || top > bottom) return f;
    f.image.reset(ImageCreateWithDepth(static_cast<int>(right - left + 1),
                                       static_cast<int>(bottom - top + 1), t.bytesPerPixel));
    f.handle = f.image.get();
    f.left = left, f.top = top;
    return f;
}

std::uint32_t RawPixel(const std::uint8_t* image, int x, int y) {
    const int bpp = ImageBytesPerPixel(image);
    std::uint32_t v = 0;
    std::memcpy(&v,
                ImagePixels(image) + (static_cast<std::size_t>(y) * ImageWidth(image) + x) * bpp,
                static_cast<std::size_t>(bpp));
    return v;
}

// Flood-fills the inside of the outline drawn in the image. The seed (target coordinates)
// is taken when it lies safely inside the shape; one nearer the outline only where the free
// ring shows whether the fill stayed inside, and the fill is undone when it did not.
// Otherwise the first pixel safely inside the shape's visible part is the seed; where there
// is none, the outline stays alone.
template <class Inside>
void FillInside(FillImage& f, Colour colour, const Point& seed, const Inside& inside) {
    const int w = ImageWidth(f.handle), h = ImageHeight(f.handle);
    const std::uint32_t fill = PixelFromColour(colour, ImageBytesPerPixel(f.handle));
    auto open = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < w && j < h && RawPixel(f.handle, i, j) != fill;
    };
    auto flood = [&](int i, int j) { RasterFloodFill(f.target(), i, j, colour); };

    if (!IsUndefined(seed) && std::isfinite(seed.x) && std::isfinite(seed.y)) {
        const int i = PixelIndex(seed.x - f.left), j = PixelIndex(seed.y - f.top);
        if (open(i, j)) {
            if (inside(i + f.left, j + f.top, SafeMargin)) return flood(i, j);
            if (f.freeRing) {
                const std::size_t bytes = ImageHeaderBytes + static_cast<std::size_t>(w) * h *
                                                                 ImageBytesPerPixel(f.handle);
                std::vector<std::uint8_t> before(f.handle, f.handle + bytes);
                flood(i, j);
                if (RawPixel(f.handle, 0, 0) != fill) return;
                std::copy(before.begin(), before.end(), f.handle);
            }
        }
    }
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (inside(i + f.left, j + f.top, SafeMargin) && open(i, j)) return flood(i, j);
        }
    }
}

void BlitFill(DrawTarget target, const FillImage& f, std::int32_t alpha) {
    RasterBlit(target, f.left, f.top, f.handle, BlitMode::Alpha, alpha);
}

// A convex polygon of three or four corners in order, for telling how far inside it a point
// lies. Unit edge directions keep the arithmetic finite for corners far outside the target.
struct ConvexShape {
    double x[4] = {}, y[4] = {}, ux[4] = {}, uy[4] = {};
    int n = 0;
    double orientation = 0;  // +1 or -1, 0 for a shape with no inside

    ConvexShape(std::initializer_list<Point> corners) {
        for (const Point& p : corners) x[n] = p.x, y[n] = p.y, ++n;
        for (int k = 0; k < n; ++k) {
            const int next = (k + 1) % n;
            const double length = Hypot(x[next] - x[k], y[next] - y[k]);
            if (!(length > 0) || !std::isfinite(length)) return;
            ux[k] = (x[next] - x[k]) / length, uy[k] = (y[next] - y[k]) / length;
        }
        const double turn = ux[0] * (y[2] - y[0]) - uy[0] * (x[2] - x[0]);
        orientation = turn > 0 ? 1 : turn < 0 ? -1 : 0;
    }

    // Whether (px, py) lies inside at least margin pixels from every side.
    bool operator()(double px, double py, double margin) const {
        if (orientation == 0) return false;
        for (int k = 0; k < n; ++k) {
            if (!(orientation * (ux[k] * (py - y[k]) - uy[k] * (px - x[k])) >= margin)) {
                return false;
            }
        }
        return true;
    }
};

// A disc, or the sector counter-clockwise from start over span.
struct DiscShape {
    double cx = 0, cy = 0, r = 0, span = TwoPi;
    double sx = 0, sy = 0, ex = 0, ey = 0;  // the bounding radii's directions, y up

    DiscShape(double cx_, double cy_, double r_, double start, double span_)
        : cx(cx_), cy(cy_), r(r_), span(span_) {
        sx = Cos(start), sy = Sin(start);
        ex = Cos(start + span), ey = Sin(start + span);
    }

    bool operator()(double px, double py, double margin) const {
        const double qx = px - cx, qy = cy - py;
        if (!(Hypot(qx, qy) <= r - margin)) return false;
        if (span >= TwoPi) return true;
        if (span <= 0) return false;
        // Left of the start radius and right of the end radius, each with the margin; a sector
        // above a half turn needs only one of them.
        const bool afterStart = sx * qy - sy * qx >= margin;
        const bool beforeEnd = qx * ey - qy * ex >= margin;
        return span <= Pi ? afterStart && beforeEnd : afterStart || beforeEnd;
    }
};

Point Middle(const Point& p, const Point& q) {
    return Point{(p.x + q.x) / 2, (p.y + q.y) / 2, p.colour, p.size, p.shape};
}

// The seed of a small triangle: not quite its centroid, as the factor is not quite 1/3.
Point Centroid(const Point& a, const Point& b, const Point& c) {
    return PointXY(CentroidFactor * (a.x + b.x + c.x), CentroidFactor * (a.y + b.y + c.y));
}

bool Finite(const Point& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Where a line crosses the target's border, in whole pixels: the first two of the left,
// right, top and bottom crossings that lie strictly between the corners (so a line through
// a corner misses it), or none when fewer than two do.
struct BorderCrossings {
    int count = 0;
    double x[2] = {}, y[2] = {};
};

BorderCrossings CrossBorder(const Line& l, double w, double h) {
    BorderCrossings found;
    double xs[4], ys[4];
    int n = 0;
    auto add = [&](double x, double y) { xs[n] = x, ys[n] = y, ++n; };
    if (l.dx != 0) {
        const double left = std::nearbyint(l.y - l.dy * l.x / l.dx);
        if (left >= 1 && left <= h - 1) add(0, left);
        const double right = std::nearbyint((w - l.x) * l.dy / l.dx + l.y);
        if (right >= 1 && right <= h - 1) add(w, right);
    }
    if (l.dy != 0) {
        const double top = std::nearbyint(l.x - l.dx * l.y / l.dy);
        if (top >= 1 && top <= w - 1) add(top, 0);
        const double bottom = std::nearbyint((h - l.y) * l.dx / l.dy + l.x);
        if (bottom >= 1 && bottom <= w - 1) add(bottom, h);
    }
    if (n < 2) return found;
    found.count = 2;
    for (int k = 0; k < 2; ++k) found.x[k] = xs[k], found.y[k] = ys[k];
    return found;
}

// The seed of a triangle wider or higher than the target, chosen from how it meets the
// target; whole tells that the triangle covers the target, none that it misses it.
struct LargeSeed {
    Point seed = UndefinedPoint();
    bool whole = false;
    bool none = false;
};

LargeSeed SeedOfLargeTriangle(const Point& a, const Point& b, const Point& c,
                              const ConvexShape& shape, double w, double h) {
    LargeSeed s;
    auto inside = [&](const Point& p) { return 0 < p.x && p.x < w && 0 < p.y && p.y < h; };
    const Point* corners[3] = {&a, &b, &c};
    for (int k = 0; k < 3; ++k) {
        if (!inside(*corners[k])) continue;
        const Point& p = *corners[k];
        const Point& q = *corners[k == 0 ? 1 : 0];
        const Point& r = *corners[k == 2 ? 1 : 2];
        s.seed = AdvanceToPoint(p, Middle(q, r), LargeSeedDistance);
        return s;
    }

    const Line lines[3] = {MakeLine(a, b), MakeLine(a, c), MakeLine(b, c)};
    const Point* opposite[3] = {&c, &b, &a};
    const Point* ends[3][2] = {{&a, &b}, {&a, &c}, {&b, &c}};
    BorderCrossings crossings[3];
    int n = 0;
    for (int k = 0; k < 3; ++k) {
        crossings[k] = CrossBorder(lines[k], w, h);
        n += crossings[k].count;
    }
    if (n == 6) {
        s.seed = Centroid(a, b, c);
    } else if (n == 4) {
        // From the vertex where the two crossing edges meet towards the third edge's middle.
        const int missing = crossings[0].count == 0 ? 0 : crossings[1].count == 0 ? 1 : 2;
        const Line& first = lines[missing == 0 ? 1 : 0];
        const Line& second = lines[missing == 2 ? 1 : 2];
        s.seed = AdvanceToPoint(LineCross(first, second),
                                Middle(*ends[missing][0], *ends[missing][1]), LargeSeedDistance);
    } else if (n == 2) {
        // Two pixels beside the middle of the one chord, on the side of the vertex off it.
        const int k = crossings[0].count ? 0 : crossings[1].count ? 1 : 2;
        const BorderCrossings& x = crossings[k];
        const auto x1 = static_cast<std::int64_t>(x.x[0]), y1 = static_cast<std::int64_t>(x.y[0]);
        const auto x2 = static_cast<std::int64_t>(x.x[1]), y2 = static_cast<std::int64_t>(x.y[1]);
        const Point middle =
            PointXY(static_cast<double>((x1 + x2) >> 1), static_cast<double>((y1 + y2) >> 1));
        const Line across = MakeRightAngle(middle, lines[k]);
        const Point s1 = AdvanceOnLine(middle, across, ChordSeedOffset);
        const Point s2 = AdvanceOnLine(middle, across, -ChordSeedOffset);
        s.seed = LineIsBetween(lines[k], s1, *opposite[k]) == 0 ? s1 : s2;
    } else {
        // No edge meets the target: it lies wholly inside or wholly outside, as its middle
        // does. A line through a corner is not counted as crossing, so the corners confirm
        // it; where they disagree, a seed is looked for in the triangle's visible part.
        const Point z = PointXY(static_cast<double>(static_cast<std::int64_t>(w) >> 1),
                                static_cast<double>(static_cast<std::int64_t>(h) >> 1));
        const bool middleInside = LineIsBetween(lines[0], z, c) == 0 &&
                                  LineIsBetween(lines[1], z, b) == 0 &&
                                  LineIsBetween(lines[2], z, a) == 0;
        int cornersInside = 0;
        for (double cy : {0.0, h - 1}) {
            for (double cx : {0.0, w - 1}) cornersInside += shape(cx, cy, 0);
        }
        s.whole = middleInside && cornersInside == 4;
        s.none = !middleInside && cornersInside == 0;
        s.seed = z;
    }
    return s;
}

void FillLargeTriangle(DrawTarget target, const Point& a, const Point& b, const Point& c,
                       Colour colour, std::int32_t alpha) {
    const TargetInfo t = TargetSize(target);
    const ConvexShape shape{a, b, c};
    const LargeSeed s = SeedOfLargeTriangle(a, b, c, shape, t.width, t.height);
    if (s.none) return;
    FillImage f = MakeFillImage(target, std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}),
                                std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), true);
    if (!f.handle) return;
    if (s.whole) {
        RasterLine(f.target(), 0, 0, ImageWidth(f.handle) - 1, ImageHeight(f.handle) - 1, colour,
                   LineKind::FilledBox);
    } else {
        // The whole edges, cut by the image: where an edge misses the target nothing of it
        // is drawn, and the image's border closes the outline.
        f.Edge(a, b, colour);
        f.Edge(a, c, colour);
        f.Edge(c, b, colour);
        FillInside(f, colour, s.seed, shape);
    }
    BlitFill(target, f, alpha);
}

double RoundedDistance(double p, double q) {
    return std::nearbyint(std::fabs(q - p));
}

// A fill recorded as one shape for vector output; while it lives, the pixels that make the
// fill are drawn without being recorded again.
class RecordedFill {
  public:
    // A polygon of corners (x, y, x, y, ...), or with none the disc or sector of the circle.
    RecordedFill(DrawTarget target, Colour colour, std::int32_t alpha, std::vector<double> corners,
                 const Circle& circle = {}) {
        if (!VectorRecordingOn()) return;
        VectorItem item;
        item.shape = VectorShape::Shape;
        item.colour = colour;
        item.a[0] = circle.cx, item.a[1] = circle.cy, item.a[2] = circle.r;
        item.a[3] = circle.start, item.a[4] = circle.end;
        auto extra = std::make_shared<VectorExtra>();
        extra->alpha = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
        extra->points = std::move(corners);
        item.extra = std::move(extra);
        VectorRecord(target, std::move(item));
        quiet_.emplace();
    }

  private:
    std::optional<VectorQuiet> quiet_;
};

}  // namespace

std::int32_t FillTriangle(DrawTarget target, const Point& a, const Point& b, const Point& c,
                          Colour colour, std::int32_t& alpha) {
    if (IsUndefined(a) || IsUndefined(b) || IsUndefined(c)) return UndefinedResult;
    if (alpha == -1) alpha = 255;
    if (alpha <= 0 || !Finite(a) || !Finite(b) || !Finite(c)) return 0;
    const TargetInfo t = TargetSize(target);
    if (!ValidTarget(t)) return 0;
    const RecordedFill recorded(target, colour, alpha, {a.x, a.y, b.x, b.y, c.x, c.y});

    // The widest and highest of the three vertex pairs, in whole pixels.
    const double width =
        std::max({RoundedDistance(a.x, b.x), RoundedDistance(a.x, c.x), RoundedDistance(b.x, c.x)});
    const double height =
        std::max({RoundedDistance(a.y, b.y), RoundedDistance(a.y, c.y), RoundedDistance(b.y, c.y)});
    if (t.width < width || t.height < height) {
        FillLargeTriangle(target, a, b, c, colour, alpha);
        return 0;
    }

    FillImage f = MakeFillImage(target, std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}),
                                std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), false);
    if (!f.handle) return 0;
    f.Edge(a, b, colour);
    f.Edge(a, c, colour);
    f.Edge(c, b, colour);
    const Point seed = Centroid(a, b, c);
    FillInside(f, colour, seed, ConvexShape{a, b, c});
    BlitFill(target, f, alpha);
    return 0;
}

std::int32_t FillCircle(DrawTarget target, Circle& circle, Colour colour, std::int32_t alpha) {
    if (IsUndefined(circle)) return UndefinedResult;
    const bool full = circle.start == 0 && circle.end == 0;
    if (!full) {
        for (double* angle : {&circle.start, &circle.end}) {
            if (*angle < 0) *angle += TwoPi;
            if (*angle < 0) *angle = std::fmod(*angle, TwoPi) + TwoPi;  // more than a turn
        }
    }
    const double cx = circle.cx, cy = circle.cy, r = circle.r;
    if (alpha <= 0 || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || r < 0) {
        return 0;
    }
    const RecordedFill recorded(target, colour, alpha, {}, circle);
    FillImage f = MakeFillImage(target, cx - r, cy - r, cx + r, cy + r, false);
    if (!f.handle) return 0;
    const Point centre = PointXY(cx, cy);
    if (full) {
        RasterArc(f.target(), cx - f.left, cy - f.top, r, colour, 0, FullTurn, false);
        FillInside(f, colour, centre, DiscShape{cx, cy, r, 0, TwoPi});
    } else {
        const double start = circle.start, end = circle.end;
        // Negative angles ask for the radius lines to both ends as well (-0 included).
        RasterArc(f.target(), cx - f.left, cy - f.top, r, colour, -start, -end, false);
        Line bisector = MakeLinePolar(centre, (start + end) / 2);
        if (end < start) bisector.dx = -bisector.dx, bisector.dy = -bisector.dy;
        double span = end - start;
        if (span < 0) span += TwoPi;
        FillInside(f, colour, AdvanceOnLine(centre, bisector, r / 2),
                   DiscShape{cx, cy, r, start, span});
    }
    BlitFill(target, f, alpha);
    return 0;
}

std::int32_t FillRect(DrawTarget target, const Point& a, const Point& b, double height,
                      Colour colour, std::int32_t alpha) {
    if (IsUndefined(a) || IsUndefined(b)) return UndefinedResult;
    Point c{}, d{};
    // Two equal points span no rectangle and fill nothing.
    if (RectOver(a, b, height, c, d) != 0) return 0;
    if (alpha <= 0 || !Finite(a) || !Finite(b) || !Finite(c) || !Finite(d)) return 0;
    const RecordedFill recorded(target, colour, alpha, {a.x, a.y, b.x, b.y, d.x, d.y, c.x, c.y});
    FillImage f =
        MakeFillImage(target, std::min({a.x, b.x, c.x, d.x}), std::min({a.y, b.y, c.y, d.y}),
                      std::max({a.x, b.x, c.x, d.x}), std::max({a.y, b.y, c.y, d.y}), false);
    if (!f.handle) return 0;
    f.Edge(a, b, colour);
    f.Edge(a, c, colour);
    f.Edge(b, d, colour);
    f.Edge(c, d, colour);
    const Point seed = PointXY((d.x + a.x) * 0.5, (d.y + a.y) * 0.5);
    FillInside(f, colour, seed, ConvexShape{a, b, d, c});
    BlitFill(target, f, alpha);
    return 0;
}

}  // namespace zir
