#include "draw/raster.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "draw/rastersurface.h"
#include "draw/vectors.h"
#include "geometry/portablemath.h"
#include "platform/platform.h"

namespace zir {
namespace {

// Pixel loops are left out of a fuzzer's coverage feedback: their branches say nothing about
// the input, and instrumenting every pixel makes a large fill take seconds.
#if defined(__clang__)
#define ZIR_PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define ZIR_PIXEL_LOOP
#endif

// Integer line arithmetic stays exact while coordinates are below this; farther segments
// are first cut down to a box of half this size, which keeps their visible direction.
constexpr double FarCoordinate = 4194304.0;  // 2^22
constexpr double FarBox = 2097152.0;         // 2^21
// A stand-in for infinity that still gives finite differences.
constexpr double HugeCoordinate = 1e300;
// Circles whose centre or radius exceed this are skipped: at that size a double no longer
// resolves a pixel, so nothing meaningful could be drawn.
constexpr double FarCircle = 1099511627776.0;  // 2^40

// The surface a target's pixels are read from.
Surface ResolveForReading(DrawTarget target) {
    ImageHandle handle = target ? *target : nullptr;
    return MakeSurface(handle ? handle : ScreenImage());
}

template <class T>
T* RowOf(const Surface& s, std::int64_t y) {
    return reinterpret_cast<T*>(s.pixels) + y * s.width;
}

// Runs f with a null pointer of the surface's pixel type, to pick a template instance.
template <class F>
void WithPixelType(int bytesPerPixel, F&& f) {
    switch (bytesPerPixel) {
        case 1:
            f(static_cast<std::uint8_t*>(nullptr));
            break;
        case 2:
            f(static_cast<std::uint16_t*>(nullptr));
            break;
        case 4:
            f(static_cast<std::uint32_t*>(nullptr));
            break;
        default:
            break;
    }
}

// The coordinate as the raster layer sees it: narrowed to single precision where that
// still resolves a quarter pixel, so half-pixel rounding matches the single-precision
// interface; farther coordinates keep double precision, or a huge circle through the
// target would be drawn dozens of pixels away from where it belongs.
double Narrow(double c) {
    return std::fabs(c) < FarCoordinate ? static_cast<double>(static_cast<float>(c)) : c;
}

double Clamp(double c, double lo, double hi) {
    return c < lo ? lo : (c > hi ? hi : c);
}

// Halves away from zero; callers keep |c| well inside the int64 range, where the conversion
// truncates as trunc would, without calling it.
std::int64_t PixelIndexWide(double c) {
    return static_cast<std::int64_t>(c > 0 ? c + 0.5 : c - 0.5);
}

// Where a w x h rectangle with its top-left pixel at the real (x, y) meets the surface: the
// one bounds check of the primitives that place a rectangle, after which they write without
// checks. A position far outside is pulled in to just beyond the edge, where the overlap is
// the same (none); NaN places nothing.
Overlap Place(const Surface& s, double x, double y, int w, int h) {
    x = Narrow(x), y = Narrow(y);
    if (std::isnan(x) || std::isnan(y)) return {};
    return Intersect(s, PixelIndexWide(Clamp(x, -w - 2.0, s.width + 2.0)),
                     PixelIndexWide(Clamp(y, -h - 2.0, s.height + 2.0)), w, h);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

bool StyleBit(std::uint16_t style, std::int64_t step) {
    return (style >> (15 - (step & 15))) & 1;
}

// The integer segment from (x1, y1) to (x2, y2), both ends included. Pixel i of the n + 1
// lies i steps along the major axis and floor((2 i m + n) / 2n) steps along the minor one,
// so the pixels inside the surface can be found without walking the part outside it.
// Style bit k of the pattern belongs to the pixel styleStart + i steps from the start.
template <class T>
ZIR_PIXEL_LOOP void SegmentPixels(const Surface& s, std::int64_t x1, std::int64_t y1,
                                  std::int64_t x2, std::int64_t y2, T value, std::uint16_t style,
                                  std::int64_t styleStart) {
    if (style == 0) return;
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t n = xMajor ? std::abs(dx) : std::abs(dy);
    const std::int64_t m = xMajor ? std::abs(dy) : std::abs(dx);
    const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
    const std::int64_t majorMax = (xMajor ? s.width : s.height) - 1;
    const std::int64_t minorMax = (xMajor ? s.height : s.width) - 1;

    // Steps whose major coordinate is inside.
    std::int64_t lo = 0, hi = n;
    if (sMajor > 0) {
        lo = std::max(lo, -major0);
        hi = std::min(hi, majorMax - major0);
    } else {
        lo = std::max(lo, major0 - majorMax);
        hi = std::min(hi, major0);
    }
    // Minor offsets k that are inside, then the steps that give them.
    std::int64_t kLo = sMinor > 0 ? -minor0 : minor0 - minorMax;
    std::int64_t kHi = sMinor > 0 ? minorMax - minor0 : minor0;
    if (m == 0) {
        if (kLo > 0 || kHi < 0) return;
    } else {
        lo = std::max(lo, CeilDiv(2 * n * kLo - n, 2 * m));
        hi = std::min(hi, CeilDiv(2 * n * kHi + n, 2 * m) - 1);
    }
    if (lo > hi) return;

    const std::ptrdiff_t majorStride = xMajor ? sMajor : sMajor * std::ptrdiff_t{s.width};
    const std::ptrdiff_t minorStride = xMajor ? sMinor * std::ptrdiff_t{s.width} : sMinor;
    std::int64_t k = n == 0 ? 0 : FloorDiv(2 * lo * m + n, 2 * n);
    std::int64_t major = major0 + sMajor * lo, minor = minor0 + sMinor * k;
    T* p = xMajor ? RowOf<T>(s, minor) + major : RowOf<T>(s, major) + minor;
    const std::int64_t count = hi - lo + 1;

    if (m == 0 && style == SolidStyle && majorStride == 1) {
        std::fill(p, p + count, value);
        return;
    }
    if (m == 0 && style == SolidStyle && majorStride == -1) {
        std::fill(p - (count - 1), p + 1, value);
        return;
    }
    std::int64_t err = n == 0 ? 0 : (2 * lo * m + n) - 2 * n * k;  // in [0, 2n)
    const std::int64_t twoN = 2 * n, twoM = 2 * m;
    if (style == SolidStyle) {
        // The error as it would be after a minor step is formed first and its sign decides:
        // an add and a sign test per pixel, where the general loop below needs an add, a
        // compare and a subtract.
        const std::int64_t wrapErr = twoM - twoN;
        const std::ptrdiff_t diagonal = majorStride + minorStride;
        for (std::int64_t i = 0;;) {
            *p = value;
            if (++i == count) break;
            const std::int64_t wrapped = err + wrapErr;
            const bool minor = wrapped >= 0;
            err = minor ? wrapped : err + twoM;
            p += minor ? diagonal : majorStride;
        }
        return;
    }
    std::int64_t step = styleStart + lo;
    for (std::int64_t i = 0;;) {
        if (style == SolidStyle || StyleBit(style, step)) *p = value;
        if (++i == count) break;
        ++step;
        p += majorStride;
        err += twoM;
        if (err >= twoN) {
            err -= twoN;
            p += minorStride;
        }
    }
}

struct RealSegment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int64_t styleStart = 0;
};

// Cuts a segment with far end points down to the part inside the far box. The arithmetic
// starts from the end point nearer the origin, so a visible part near that end keeps its
// direction even when the other end lies 1e280 pixels away. False when nothing is left.
bool ClipFar(RealSegment& seg) {
    auto tame = [](double c) { return std::isinf(c) ? std::copysign(HugeCoordinate, c) : c; };
    seg.x1 = tame(seg.x1), seg.y1 = tame(seg.y1), seg.x2 = tame(seg.x2), seg.y2 = tame(seg.y2);
    const bool swap = std::max(std::fabs(seg.x1), std::fabs(seg.y1)) >
                      std::max(std::fabs(seg.x2), std::fabs(seg.y2));
    // The segment is o + t d for t in [t0, t1], o being its nearer end.
    double ox = swap ? seg.x2 : seg.x1, oy = swap ? seg.y2 : seg.y1;
    double fx = swap ? seg.x1 : seg.x2, fy = swap ? seg.y1 : seg.y2;
    double dx = fx - ox, dy = fy - oy;
    double t0 = 0, t1 = 1;
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        // Ends near the limit of double on opposite sides: measure from the middle.
        ox = ox / 2 + fx / 2, oy = oy / 2 + fy / 2;
        dx = fx / 2 - (swap ? seg.x2 : seg.x1) / 2, dy = fy / 2 - (swap ? seg.y2 : seg.y1) / 2;
        t0 = -1;
    }
    const double whole0 = t0, whole1 = t1;
    auto clip = [&](double p, double q) {  // keeps the part where p t <= q
        if (p == 0) return q >= 0;
        double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!clip(-dx, ox + FarBox) || !clip(dx, FarBox - ox) || !clip(-dy, oy + FarBox) ||
        !clip(dy, FarBox - oy)) {
        return false;
    }
    double ax = ox + t0 * dx, ay = oy + t0 * dy, bx = ox + t1 * dx, by = oy + t1 * dy;
    if (!std::isfinite(ax + ay + bx + by)) return false;
    // Keep the style pattern's phase: count the major-axis steps cut from the start.
    double skipped = swap ? (whole1 - t1) : (t0 - whole0);
    double steps = std::fmod(skipped * std::max(std::fabs(dx), std::fabs(dy)), 16.0);
    seg.styleStart = std::isfinite(steps) ? static_cast<std::int64_t>(steps) : 0;
    if (swap) std::swap(ax, bx), std::swap(ay, by);
    seg.x1 = Clamp(ax, -FarBox, FarBox), seg.y1 = Clamp(ay, -FarBox, FarBox);
    seg.x2 = Clamp(bx, -FarBox, FarBox), seg.y2 = Clamp(by, -FarBox, FarBox);
    return true;
}

// A segment between real end points, with far and non-finite coordinates handled.
template <class T>
void DrawSegment(const Surface& s, double x1, double y1, double x2, double y2, T value,
                 std::uint16_t style) {
    RealSegment seg{Narrow(x1), Narrow(y1), Narrow(x2), Narrow(y2), 0};
    if (std::isnan(seg.x1) || std::isnan(seg.y1) || std::isnan(seg.x2) || std::isnan(seg.y2)) {
        return;
    }
    double extent =
        std::max({std::fabs(seg.x1), std::fabs(seg.y1), std::fabs(seg.x2), std::fabs(seg.y2)});
    if (!(extent < FarCoordinate) && !ClipFar(seg)) return;
    SegmentPixels<T>(s, PixelIndexWide(seg.x1), PixelIndexWide(seg.y1), PixelIndexWide(seg.x2),
                     PixelIndexWide(seg.y2), value, style, seg.styleStart);
}

// An axis-aligned rectangle's corners as pixel indices, with values far outside the
// surface pulled in to just beyond its edge (which changes nothing that is visible).
struct PixelBox {
    std::int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

bool BoxCorners(const Surface& s, double x1, double y1, double x2, double y2, PixelBox& box) {
    double c[4] = {Narrow(x1), Narrow(y1), Narrow(x2), Narrow(y2)};
    for (double v : c) {
        if (std::isnan(v)) return false;
    }
    box.x1 = PixelIndexWide(Clamp(c[0], -2, s.width + 1.0));
    box.y1 = PixelIndexWide(Clamp(c[1], -2, s.height + 1.0));
    box.x2 = PixelIndexWide(Clamp(c[2], -2, s.width + 1.0));
    box.y2 = PixelIndexWide(Clamp(c[3], -2, s.height + 1.0));
    if (box.x1 > box.x2) std::swap(box.x1, box.x2);
    if (box.y1 > box.y2) std::swap(box.y1, box.y2);
    return true;
}

template <class T>
ZIR_PIXEL_LOOP void FillBox(const Surface& s, PixelBox b, T value) {
    b.x1 = std::max<std::int64_t>(b.x1, 0), b.y1 = std::max<std::int64_t>(b.y1, 0);
    b.x2 = std::min<std::int64_t>(b.x2, s.width - 1),
    b.y2 = std::min<std::int64_t>(b.y2, s.height - 1);
    if (b.x1 > b.x2 || b.y1 > b.y2) return;
    for (std::int64_t y = b.y1; y <= b.y2; ++y) {
        T* row = RowOf<T>(s, y);
        std::fill(row + b.x1, row + b.x2 + 1, value);
    }
}

// ---- circles and arcs ------------------------------------------------------------------

// Which directions from the centre belong to an arc: the sector from angle `from`
// counter-clockwise over `span`, tested with cross products instead of angles.
struct Sector {
    bool all = true;
    bool wide = false;  // span above pi: tested as "not inside the complement"
    double ux = 0, uy = 0, vx = 0, vy = 0, bx = 0, by = 0;

    static Sector Make(double from, double span) {
        Sector s;
        if (span >= ExactTwoPi) return s;
        s.all = false;
        s.wide = span > std::numbers::pi;
        double to = from + span, mid = from + span / 2;
        s.ux = Cos(from), s.uy = Sin(from);
        s.vx = Cos(to), s.vy = Sin(to);
        s.bx = Cos(mid), s.by = Sin(mid);
        return s;
    }

    // dx to the right and dy down from the centre, as pixels are addressed.
    bool Contains(double dx, double dy) const {
        if (all) return true;
        double x = dx, y = -dy;
        if (!wide) {
            return ux * y - uy * x >= 0 && x * vy - y * vx >= 0 && x * bx + y * by >= 0;
        }
        bool inComplement = vx * y - vy * x > 0 && x * uy - y * ux > 0 && x * bx + y * by < 0;
        return !inComplement;
    }
};

// The rendering of a circle of real radius r around a pixel centre: for 0 <= t <= T the
// pixels (t, Y(t)) and (Y(t), t) in all eight octants, with Y(t) = round(sqrt(r^2 - t^2))
// and T the last t with t <= Y(t). Y falls by at most one per step up to T, so the outline
// is 8-connected and a 4-connected flood fill cannot leak through it.
struct CircleShape {
    double r = 0;
    std::int64_t cx = 0, cy = 0;
    std::int64_t T = 0;

    std::int64_t Y(std::int64_t t) const {
        double rt = static_cast<double>(t);
        double q = (r - rt) * (r + rt);
        return q <= 0 ? 0 : static_cast<std::int64_t>(std::sqrt(q) + 0.5);
    }

    static CircleShape Make(std::int64_t cx, std::int64_t cy, double r) {
        CircleShape c{r, cx, cy, 0};
        std::int64_t t = static_cast<std::int64_t>(r / std::numbers::sqrt2);
        while (t + 1 <= c.Y(t + 1)) ++t;
        while (t > 0 && t > c.Y(t)) --t;
        c.T = t;
        return c;
    }

    std::int64_t Radius() const { return Y(0); }
};

template <class T>
void PlotChecked(const Surface& s, std::int64_t x, std::int64_t y, T value) {
    if (x >= 0 && y >= 0 && x < s.width && y < s.height) RowOf<T>(s, y)[x] = value;
}

template <class T>
ZIR_PIXEL_LOOP void CircleOutline(const Surface& s, const CircleShape& c, const Sector& sector,
                                  T value) {
    const std::int64_t R = c.Radius();
    if (c.cx - R >= 0 && c.cy - R >= 0 && c.cx + R < s.width && c.cy + R < s.height) {
        // Wholly inside: one pass plots all eight octants without bounds checks, each pixel
        // addressed from the centre.
        T* const centre = RowOf<T>(s, c.cy) + c.cx;
        const std::ptrdiff_t W = s.width;
        if (sector.all) {
            for (std::int64_t t = 0; t <= c.T; ++t) {
                const std::int64_t y = c.Y(t);
                T* const below = centre + y * W;
                T* const above = centre - y * W;
                T* const down = centre + t * W;
                T* const up = centre - t * W;
                below[t] = value, below[-t] = value, above[t] = value, above[-t] = value;
                down[y] = value, down[-y] = value, up[y] = value, up[-y] = value;
            }
            return;
        }
        auto plot = [&](std::int64_t dx, std::int64_t dy) {
            if (sector.Contains(static_cast<double>(dx), static_cast<double>(dy))) {
                centre[dy * W + dx] = value;
            }
        };
        for (std::int64_t t = 0; t <= c.T; ++t) {
            const std::int64_t y = c.Y(t);
            plot(t, y), plot(-t, y), plot(t, -y), plot(-t, -y);
            plot(y, t), plot(-y, t), plot(y, -t), plot(-y, -t);
        }
        return;
    }
    // Partly visible but of moderate size: one pass, each pixel checked; full circles plot
    // by rows so each row is tested once.
    if (R <= 8192 && sector.all) {
        // Unsigned comparisons test both edges at once; everything the test needs is copied
        // into the lambda, so nothing is reloaded after a pixel is written.
        const std::uint64_t W = static_cast<std::uint64_t>(s.width);
        const std::uint64_t H = static_cast<std::uint64_t>(s.height);
        T* const pixels = RowOf<T>(s, 0);
        const std::int64_t cx = c.cx, cy = c.cy;
        auto plotRow = [=](std::int64_t row, std::int64_t a) {  // (cx - a, row), (cx + a, row)
            if (static_cast<std::uint64_t>(row) >= H) return;
            T* const p = pixels + static_cast<std::ptrdiff_t>(row * static_cast<std::int64_t>(W));
            if (static_cast<std::uint64_t>(cx - a) < W) p[cx - a] = value;
            if (static_cast<std::uint64_t>(cx + a) < W) p[cx + a] = value;
        };
        for (std::int64_t t = 0; t <= c.T; ++t) {
            const std::int64_t y = c.Y(t);
            plotRow(cy + y, t);
            plotRow(cy - y, t);
            plotRow(cy + t, y);
            plotRow(cy - t, y);
        }
        return;
    }
    if (R <= 8192) {
        for (std::int64_t t = 0; t <= c.T; ++t) {
            const std::int64_t y = c.Y(t);
            const std::int64_t offsets[8][2] = {{t, y}, {-t, y}, {t, -y}, {-t, -y},
                                                {y, t}, {-y, t}, {y, -t}, {-y, -t}};
            for (const auto& o : offsets) {
                if (sector.Contains(static_cast<double>(o[0]), static_cast<double>(o[1]))) {
                    PlotChecked(s, c.cx + o[0], c.cy + o[1], value);
                }
            }
        }
        return;
    }
    // Huge and partly visible: each octant walks only the steps whose driving coordinate (the
    // column for the flat octants, the row for the steep ones) is inside, so a huge circle costs
    // the size of the target, not its circumference.
    for (int steep = 0; steep < 2; ++steep) {
        for (int sa : {1, -1}) {
            for (int sb : {1, -1}) {
                const std::int64_t centre = steep ? c.cy : c.cx;
                const std::int64_t limit = (steep ? s.height : s.width) - 1;
                std::int64_t lo = sa > 0 ? -centre : centre - limit;
                std::int64_t hi = sa > 0 ? limit - centre : centre;
                lo = std::max<std::int64_t>(lo, 0);
                hi = std::min(hi, c.T);
                for (std::int64_t t = lo; t <= hi; ++t) {
                    const std::int64_t y = c.Y(t);
                    std::int64_t dx = steep ? sb * y : sa * t;
                    std::int64_t dy = steep ? sa * t : sb * y;
                    if (sector.Contains(static_cast<double>(dx), static_cast<double>(dy))) {
                        PlotChecked(s, c.cx + dx, c.cy + dy, value);
                    }
                }
            }
        }
    }
}

// Half the width of the disc's row k rows from the centre: the outermost outline pixel of
// that row, so the disc covers its outline exactly.
std::int64_t DiscHalfWidth(const CircleShape& c, std::int64_t k) {
    std::int64_t w = -1;
    if (k <= c.T) w = c.Y(k);  // a steep-octant pixel (Y(k), k)
    if (k >= c.Y(c.T)) {
        // The last t <= T with Y(t) >= k, from Y(t) >= k <=> t^2 <= r^2 - (k - 1/2)^2.
        double kk = static_cast<double>(k) - 0.5;
        double q = k == 0 ? c.r * c.r : (c.r - kk) * (c.r + kk);
        std::int64_t t = q <= 0 ? 0 : static_cast<std::int64_t>(std::sqrt(q));
        t = std::min(t, c.T);
        while (t < c.T && c.Y(t + 1) >= k) ++t;
        while (t > 0 && c.Y(t) < k) --t;
        if (c.Y(t) == k) w = std::max(w, t);
    }
    return w;
}

template <class T>
ZIR_PIXEL_LOOP void Disc(const Surface& s, const CircleShape& c, T value) {
    const std::int64_t R = c.Radius();
    const std::int64_t top = std::max<std::int64_t>(c.cy - R, 0);
    const std::int64_t bottom = std::min<std::int64_t>(c.cy + R, s.height - 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        const std::int64_t w = DiscHalfWidth(c, std::abs(y - c.cy));
        if (w < 0) continue;
        const std::int64_t x1 = std::max<std::int64_t>(c.cx - w, 0);
        const std::int64_t x2 = std::min<std::int64_t>(c.cx + w, s.width - 1);
        if (x1 > x2) continue;
        T* row = RowOf<T>(s, y);
        std::fill(row + x1, row + x2 + 1, value);
    }
}

// The pixel offset of the point at this angle on the circle, as the arc's end is drawn.
std::pair<std::int64_t, std::int64_t> ArcEnd(double r, double angle) {
    return {PixelIndexWide(r * Cos(angle)), PixelIndexWide(-r * Sin(angle))};
}

template <class T>
ZIR_PIXEL_LOOP void DrawArc(const Surface& s, double cxReal, double cyReal, double r, double start,
                            double end, bool filled, T value) {
    const bool fullCircle =
        start == 0 && !std::signbit(start) && std::fabs(end - ExactTwoPi) < 1e-6;
    const double cxN = Narrow(cxReal), cyN = Narrow(cyReal);
    if (!std::isfinite(cxN) || !std::isfinite(cyN) || !std::isfinite(r) || r < 0 ||
        !std::isfinite(start) || !std::isfinite(end)) {
        return;
    }
    if (std::fabs(cxN) > FarCircle || std::fabs(cyN) > FarCircle || r > FarCircle) return;
    const std::int64_t cx = PixelIndexWide(cxN), cy = PixelIndexWide(cyN);
    const CircleShape c = CircleShape::Make(cx, cy, r);
    const std::int64_t R = c.Radius();
    if (cx + R < 0 || cy + R < 0 || cx - R >= s.width || cy - R >= s.height) return;

    if (fullCircle) {
        if (filled) {
            Disc(s, c, value);
            return;
        }
        // Nothing to draw when the whole target lies inside the ring.
        // A distance is no shorter than either of its legs, which settles most corners
        // without the square root.
        auto inside = [&](double x, double y) {
            const double dx = x - cx, dy = y - cy;
            if (std::max(std::fabs(dx), std::fabs(dy)) >= r - 2) return false;
            return Hypot(dx, dy) < r - 2;
        };
        if (inside(0, 0) && inside(s.width - 1, 0) && inside(0, s.height - 1) &&
            inside(s.width - 1, s.height - 1)) {
            return;
        }
        CircleOutline(s, c, Sector{}, value);
        return;
    }

    // The sign bit decides, so that a sector starting at angle 0 can ask for its radius as -0.
    const bool startLine = std::signbit(start), endLine = std::signbit(end);
    double a = std::fabs(start), b = std::fabs(end);
    double span = b - a;
    if (span < 0) span = std::fmod(span, ExactTwoPi) + ExactTwoPi;
    if (span >= ExactTwoPi && b < a) span = 0;  // fmod rounding on an exact multiple
    a = std::fmod(a, ExactTwoPi);
    b = a + span;
    CircleOutline(s, c, Sector::Make(a, span), value);
    // The ends themselves, so the radius lines always meet the arc.
    for (double angle : {a, b}) {
        auto [dx, dy] = ArcEnd(r, angle);
        PlotChecked(s, cx + dx, cy + dy, value);
    }
    if (startLine || endLine) {
        for (auto [wanted, angle] : {std::pair{startLine, a}, std::pair{endLine, b}}) {
            if (!wanted) continue;
            auto [dx, dy] = ArcEnd(r, angle);
            DrawSegment<T>(s, static_cast<double>(cx), static_cast<double>(cy),
                           static_cast<double>(cx + dx), static_cast<double>(cy + dy), value,
                           SolidStyle);
        }
    }
}

// ---- flood fill ------------------------------------------------------------------------

// Span filling with an explicit stack: each popped seed fills its whole run of the row and
// pushes one seed for every run of unfilled pixels just above and below it.
template <class T>
ZIR_PIXEL_LOOP void Flood(const Surface& s, int x, int y, T value,
                          std::vector<VectorExtra::Rect>* filled) {
    if (RowOf<T>(s, y)[x] == value) return;
    // Each seed remembers the span it came from (pl..pr, one row back in direction dir), so
    // the scan back towards that row can skip what is filled already.
    struct Seed {
        int x, y, pl, pr, dir;
    };
    std::vector<Seed> seeds;
    seeds.push_back({x, y, 1, 0, 0});
    const int lastX = s.width - 1;
    while (!seeds.empty()) {
        Seed sd = seeds.back();
        seeds.pop_back();
        T* row = RowOf<T>(s, sd.y);
        if (row[sd.x] == value) continue;
        int left = sd.x, right = sd.x;
        while (left > 0 && row[left - 1] != value) --left;
        while (right < lastX && row[right + 1] != value) ++right;
        std::fill(row + left, row + right + 1, value);
        if (filled) filled->push_back({left, sd.y, right - left + 1, 1});
        for (int dir : {-1, 1}) {
            const int ny = sd.y + dir;
            if (ny < 0 || ny >= s.height) continue;
            const T* next = RowOf<T>(s, ny);
            auto scan = [&](int from, int to) {
                for (int i = from; i <= to; ++i) {
                    if (next[i] != value && (i == from || next[i - 1] == value)) {
                        seeds.push_back({i, ny, left, right, dir});
                    }
                }
            };
            if (dir == -sd.dir && sd.pl <= sd.pr) {
                scan(left, std::min(right, sd.pl - 1));
                scan(std::max(left, sd.pr + 1), right);
            } else {
                scan(left, right);
            }
        }
    }
}

// ---- blits -----------------------------------------------------------------------------

// Per channel target + (source - target) * alpha / 255, the division truncating as C does.
inline int Mix(int t, int src, int alpha) {
    return t + (src - t) * alpha / 255;
}

// The same for channels of at most 6 bits, whose products fit 16 bits: written so, the
// compiler blends eight or sixteen pixels at a time. The division is a multiplication, which
// every instruction set does in parallel: the product moved up by 64 * 255 (and by 254 more
// when negative, to truncate towards zero) is a u below 2^15, for which u * 32897 / 2^23 is
// u / 255 exactly.
inline int MixNarrow(int t, int src, int alpha) {
    const auto product = static_cast<std::int16_t>((src - t) * alpha);
    const auto u = static_cast<std::uint16_t>(product + 64 * 255 + ((product >> 15) & 254));
    return t + static_cast<int>((u * 32897u) >> 23) - 64;
}

inline std::uint16_t Blend565(std::uint16_t t, std::uint16_t src, int alpha) {
    int r = MixNarrow(t >> 11, src >> 11, alpha);
    int g = MixNarrow((t >> 5) & 63, (src >> 5) & 63, alpha);
    int b = MixNarrow(t & 31, src & 31, alpha);
    return static_cast<std::uint16_t>(r << 11 | g << 5 | b);
}

inline std::uint32_t Blend8888(std::uint32_t t, std::uint32_t src, int alpha) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int v = Mix((t >> shift) & 255, (src >> shift) & 255, alpha);
        out |= static_cast<std::uint32_t>(v) << shift;
    }
    return out;
}

inline std::uint32_t ReadPixel(const std::uint8_t* row, int x, int bpp) {
    const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * bpp;
    if (bpp == 1) return p[0];
    if (bpp == 2) return static_cast<std::uint32_t>(p[0] | p[1] << 8);
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24);
}

Colour ColourOfPixel(std::uint32_t pixel, int bpp) {
    if (bpp == 2) return ColourFrom565(static_cast<std::uint16_t>(pixel));
    return Colour{bpp == 1 ? (pixel & 0xFF) : (pixel & 0xFFFFFF)};
}

template <class T>
ZIR_PIXEL_LOOP void BlitSameFormat(const Surface& dst, const Surface& src, const Overlap& o,
                                   BlitMode mode, int alpha) {
    const T mask = static_cast<T>(MaskPixel(sizeof(T)));
    if (mode == BlitMode::Copy) {
        if (o.width == dst.width && o.width == src.width) {
            std::memmove(RowOf<T>(dst, o.dstY), RowOf<T>(src, o.srcY) + o.srcX,
                         sizeof(T) * o.width * static_cast<std::size_t>(o.height));
            return;
        }
        for (int j = 0; j < o.height; ++j) {
            std::memmove(RowOf<T>(dst, o.dstY + j) + o.dstX, RowOf<T>(src, o.srcY + j) + o.srcX,
                         sizeof(T) * o.width);
        }
        return;
    }
    const bool opaque = mode == BlitMode::Transparent || alpha >= 255 || sizeof(T) == 1;
    for (int j = 0; j < o.height; ++j) {
        T* d = RowOf<T>(dst, o.dstY + j) + o.dstX;
        const T* sp = RowOf<T>(src, o.srcY + j) + o.srcX;
        if (opaque) {
            for (int i = 0; i < o.width; ++i) {
                if (sp[i] != mask) d[i] = sp[i];
            }
        } else if constexpr (sizeof(T) == 2) {
            for (int i = 0; i < o.width; ++i) {
                const T t = d[i], v = sp[i];
                const T b = Blend565(t, v, alpha);
                d[i] = v != mask ? b : t;
            }
        } else if constexpr (sizeof(T) == 4) {
            for (int i = 0; i < o.width; ++i) {
                if (sp[i] != mask) d[i] = Blend8888(d[i], sp[i], alpha);
            }
        }
    }
}

// Images of another pixel size go through colour values, pixel by pixel.
template <class T>
ZIR_PIXEL_LOOP void BlitConverting(const Surface& dst, const Surface& src, const Overlap& o,
                                   BlitMode mode, int alpha) {
    const std::uint32_t srcMask = MaskPixel(src.bytesPerPixel);
    for (int j = 0; j < o.height; ++j) {
        T* d = RowOf<T>(dst, o.dstY + j) + o.dstX;
        const std::uint8_t* sRow =
            src.pixels + (static_cast<std::size_t>(o.srcY + j) * src.width) * src.bytesPerPixel;
        for (int i = 0; i < o.width; ++i) {
            std::uint32_t sp = ReadPixel(sRow, o.srcX + i, src.bytesPerPixel);
            if (mode != BlitMode::Copy && sp == srcMask) continue;
            T converted =
                static_cast<T>(PixelFromColour(ColourOfPixel(sp, src.bytesPerPixel), sizeof(T)));
            if (mode != BlitMode::Alpha || alpha >= 255 || sizeof(T) == 1) {
                d[i] = converted;
            } else if constexpr (sizeof(T) == 2) {
                d[i] = Blend565(d[i], converted, alpha);
            } else if constexpr (sizeof(T) == 4) {
                d[i] = Blend8888(d[i], converted, alpha);
            }
        }
    }
}

}  // namespace

void CopyOverlap(const Surface& dst, const Surface& src, const Overlap& o, BlitMode mode,
                 int alpha) {
    WithPixelType(dst.bytesPerPixel, [&](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        if (src.bytesPerPixel == dst.bytesPerPixel) {
            BlitSameFormat<T>(dst, src, o, mode, alpha);
        } else {
            BlitConverting<T>(dst, src, o, mode, alpha);
        }
    });
}

int PixelIndex(double c) {
    return static_cast<int>(PixelIndexWide(Clamp(c, INT32_MIN + 1.0, INT32_MAX - 1.0)));
}

TargetInfo TargetSize(DrawTarget target) {
    ImageHandle handle = target ? *target : nullptr;
    if (handle) return {ImageWidth(handle), ImageHeight(handle), ImageBytesPerPixel(handle)};
    ScreenInfo screen = ScreenQuery();
    return {screen.width, screen.height, (screen.bitsPerPixel + 7) / 8};
}

Colour TargetMaskColour(DrawTarget target) {
    return TargetSize(target).bytesPerPixel >= 2 ? MaskColour : Colour{};
}

void RasterLine(DrawTarget target, double x1, double y1, double x2, double y2, Colour colour,
                LineKind kind, std::uint16_t style) {
    const Surface s = ResolveForDrawing(target);
    if (!s.pixels) return;
    if (VectorHooks()) {
        VectorItem item;
        item.shape = kind == LineKind::Segment ? VectorShape::Segment
                     : kind == LineKind::Box   ? VectorShape::Box
                                               : VectorShape::FilledBox;
        item.colour = colour;
        item.style = style;
        item.a[0] = x1, item.a[1] = y1, item.a[2] = x2, item.a[3] = y2;
        VectorRecordInto(ImageOf(s), std::move(item));
    }
    if (kind == LineKind::Segment) {
        TouchSegment(s, x1, y1, x2, y2);
    } else {
        Touch(s, x1, y1, x2, y2);
    }
    WithPixelType(s.bytesPerPixel, [&](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        const T value = static_cast<T>(PixelFromColour(colour, sizeof(T)));
        if (kind == LineKind::Segment) {
            DrawSegment<T>(s, x1, y1, x2, y2, value, style);
            return;
        }
        PixelBox b;
        if (!BoxCorners(s, x1, y1, x2, y2, b)) return;
        if (kind == LineKind::FilledBox) {
            FillBox<T>(s, b, value);
            return;
        }
        SegmentPixels<T>(s, b.x1, b.y1, b.x2, b.y1, value, style, 0);
        SegmentPixels<T>(s, b.x2, b.y1, b.x2, b.y2, value, style, 0);
        SegmentPixels<T>(s, b.x2, b.y2, b.x1, b.y2, value, style, 0);
        SegmentPixels<T>(s, b.x1, b.y2, b.x1, b.y1, value, style, 0);
    });
}

void RasterArc(DrawTarget target, double cx, double cy, double radius, Colour colour, double start,
               double end, bool filled) {
    const Surface s = ResolveForDrawing(target);
    if (!s.pixels) return;
    if (VectorHooks()) {
        VectorItem item;
        item.shape = VectorShape::Arc;
        item.colour = colour;
        item.filled = filled;
        item.a[0] = cx, item.a[1] = cy, item.a[2] = radius, item.a[3] = start, item.a[4] = end;
        VectorRecordInto(ImageOf(s), std::move(item));
    }
    // Radius lines to a negative end leave the outline: those arcs count by their box.
    if (filled || std::signbit(start) || std::signbit(end)) {
        const double reach = std::fabs(radius) + 2;
        Touch(s, cx - reach, cy - reach, cx + reach, cy + reach);
    } else {
        TouchCircle(s, cx, cy, radius);
    }
    WithPixelType(s.bytesPerPixel, [&](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        DrawArc<T>(s, cx, cy, Narrow(radius), Narrow(start), Narrow(end), filled,
                   static_cast<T>(PixelFromColour(colour, sizeof(T))));
    });
}

void RasterPixel(DrawTarget target, double x, double y, Colour colour) {
    const Surface s = ResolveForDrawing(target);
    if (!s.pixels) return;
    const Overlap o = Place(s, x, y, 1, 1);
    if (o.Empty()) return;
    if (VectorHooks()) {
        VectorItem item;
        item.colour = colour;
        item.a[0] = o.dstX, item.a[1] = o.dstY;
        VectorRecordInto(ImageOf(s), std::move(item));
    }
    Touch(s, o.dstX, o.dstY, o.dstX, o.dstY, 0);
    WithPixelType(s.bytesPerPixel, [&](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        RowOf<T>(s, o.dstY)[o.dstX] = static_cast<T>(PixelFromColour(colour, sizeof(T)));
    });
}

void RasterFloodFill(DrawTarget target, double x, double y, Colour colour) {
    const Surface s = ResolveForDrawing(target);
    if (!s.pixels) return;
    const Overlap seed = Place(s, x, y, 1, 1);
    if (seed.Empty()) return;
    TouchAll(s);
    std::vector<VectorExtra::Rect> runs;
    std::vector<VectorExtra::Rect>* filled = VectorHooks() ? &runs : nullptr;
    WithPixelType(s.bytesPerPixel, [&](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        Flood<T>(s, seed.dstX, seed.dstY, static_cast<T>(PixelFromColour(colour, sizeof(T))),
                 filled);
    });
    if (filled) VectorRecordRuns(ImageOf(s), std::move(runs), colour);
}

void RasterBlit(DrawTarget target, double x, double y, const std::uint8_t* image, BlitMode mode,
                int alpha) {
    const Surface src = MakeSurface(image);
    if (!src.pixels) return;
    if (mode == BlitMode::Alpha && alpha <= 0) return;
    alpha = std::min(alpha, 255);
    const Surface dst = ResolveForDrawing(target);
    if (!dst.pixels) return;
    const Overlap o = Place(dst, x, y, src.width, src.height);
    if (o.Empty()) return;
    if (VectorHooks()) {
        VectorCopy(ImageOf(dst), image, o.dstX - o.srcX, o.dstY - o.srcY, o.dstX, o.dstY, o.width,
                   o.height, mode, alpha);
    }
    Touch(dst, o);
    CopyOverlap(dst, src, o, mode, alpha);
}

void RasterBits(DrawTarget target, const std::uint8_t* bits, int rowBytes, int width, int height,
                double x, double y, Colour ink, Colour paper) {
    if (!bits || width <= 0 || height <= 0) return;
    const Surface dst = ResolveForDrawing(target);
    if (!dst.pixels) return;
    const Overlap o = Place(dst, x, y, width, height);
    if (o.Empty()) return;
    if (VectorHooks()) {
        VectorRecordBits(ImageOf(dst), bits, rowBytes, o.srcX, o.srcY, o.width, o.height, o.dstX,
                         o.dstY, ink, paper);
    }
    Touch(dst, o);
    WithPixelType(dst.bytesPerPixel, [&](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        const T mask = static_cast<T>(MaskPixel(sizeof(T)));
        const T inkPixel = static_cast<T>(PixelFromColour(ink, sizeof(T)));
        const T paperPixel = static_cast<T>(PixelFromColour(paper, sizeof(T)));
        const bool drawInk = inkPixel != mask, drawPaper = paperPixel != mask;
        for (int j = 0; j < o.height; ++j) {
            const std::uint8_t* row = bits + static_cast<std::size_t>(o.srcY + j) * rowBytes;
            T* out = RowOf<T>(dst, o.dstY + j) + o.dstX;
            if (drawPaper) {
                for (int i = 0; i < o.width; ++i) {
                    const int sx = o.srcX + i;
                    const bool on = row[sx >> 3] & (0x80 >> (sx & 7));
                    if (!on || drawInk) out[i] = on ? inkPixel : paperPixel;
                }
                continue;
            }
            if (!drawInk) break;
            // Ink alone, as text is drawn: only the set bits are visited, a byte at a time.
            const int first = o.srcX, last = o.srcX + o.width - 1;
            for (int b = first >> 3; b <= last >> 3; ++b) {
                unsigned byte = row[b];
                if (b == first >> 3) byte &= 0xFFu >> (first & 7);
                if (b == last >> 3) byte &= 0xFFu << (7 - (last & 7)) & 0xFFu;
                while (byte != 0) {
                    const int bit = std::countl_zero(static_cast<std::uint8_t>(byte));
                    out[b * 8 + bit - first] = inkPixel;
                    byte &= ~(0x80u >> bit);
                }
            }
        }
    });
}

void RasterGrab(DrawTarget target, double x1, double y1, double x2, double y2, ImageHandle image) {
    const Surface into = MakeSurface(image);
    const Surface from = ResolveForReading(target);
    if (!into.pixels || !from.pixels) return;
    double c[4] = {Narrow(x1), Narrow(y1), Narrow(x2), Narrow(y2)};
    for (double v : c) {
        if (std::isnan(v)) return;
    }
    // The image's pixel (0, 0) takes the target's top-left corner of the rectangle, so that
    // corner is kept exactly; the far corners then cut the overlap, and only need to stay just
    // beyond the target.
    Overlap o = Place(from, std::min(c[0], c[2]), std::min(c[1], c[3]), into.width, into.height);
    if (o.Empty()) return;
    const double right = std::max(c[0], c[2]), bottom = std::max(c[1], c[3]);
    o.width = static_cast<int>(std::min<std::int64_t>(
        o.width, PixelIndexWide(std::min(right, from.width + 2.0)) - o.dstX + 1));
    o.height = static_cast<int>(std::min<std::int64_t>(
        o.height, PixelIndexWide(std::min(bottom, from.height + 2.0)) - o.dstY + 1));
    if (o.Empty()) return;
    BeforeWriting(image);
    if (VectorHooks()) {
        VectorCopy(image, ImageOf(from), o.srcX - o.dstX, o.srcY - o.dstY, o.srcX, o.srcY, o.width,
                   o.height, BlitMode::Copy, 255);
    }
    TouchAll(into);
    const Overlap back{o.dstX, o.dstY, o.srcX, o.srcY, o.width, o.height};
    CopyOverlap(into, from, back, BlitMode::Copy, 255);
}

}  // namespace zir
