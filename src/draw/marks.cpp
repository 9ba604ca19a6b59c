#include "draw/marks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

#include "draw/figures.h"
#include "geometry/crossings.h"
#include "geometry/portablemath.h"

namespace zir {
namespace {

// Angle labels take their height from the glyph of "!", which every font draws at full
// height, so that the label sits centred on its point.
constexpr std::uint8_t AngleLabelGlyph = 33;
constexpr char DegreeSign = '\xB0';

// A label coordinate as a pixel: rounded to the nearest, halves to even. Labels of objects
// far away (a crossing of parallel lines) land far outside every target instead of
// overflowing.
int LabelPixel(double v) {
    if (std::isnan(v)) return std::numeric_limits<int>::min() / 2;
    return static_cast<int>(std::nearbyint(std::clamp(v, -1e9, 1e9)));
}

int GlyphHeight(FontView font, std::uint8_t c) {
    const auto glyph = GlyphOf(font, c);
    return glyph.empty() ? 0 : (glyph[2] | glyph[3] << 8);
}

void DrawLabel(DrawTarget target, std::string_view text, FontView font, double x, double y,
               Colour colour) {
    PrintText(target, text, font, LabelPixel(x), LabelPixel(y), colour, TargetMaskColour(target));
}

// The decimal text of a whole number held in a double, without "-0".
std::string WholeText(double whole) {
    if (whole == 0) whole = 0;  // drops the sign of -0
    const int length = std::snprintf(nullptr, 0, "%.0f", whole);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.0f", whole);
    return text;
}

std::int32_t LabelSegment(DrawTarget target, const Point& p1, const Point& p2,
                          std::string_view text, FontView font, bool belowOrRight) {
    const int tw = StringWidth(text, font), th = LineHeight(font);
    const double mx = std::nearbyint((p1.x + p2.x) / 2), my = std::nearbyint((p1.y + p2.y) / 2);
    double tx = 0, ty = 0;
    if (std::fabs(p2.y - p1.y) <= std::fabs(p2.x - p1.x)) {
        tx = mx - (tw >> 1);
        ty = belowOrRight ? my + 5 : my - th - 5;
    } else {
        ty = my;
        tx = belowOrRight ? mx + (th >> 1) : mx - tw - (th >> 1);
    }
    DrawLabel(target, text, font, tx, ty, Colour{p1.colour});
    return 0;
}

// An angle minus a half turn, raised by a whole turn when it falls below 0.
double Opposite(double a) {
    a -= Pi;
    return a < 0 ? a + TwoPi : a;
}

// Which arc an angle mark draws, and what goes with it.
struct AngleArc {
    Point vertex{};
    double from = 0;    // the arc runs counter-clockwise from here ...
    double to = 0;      // ... to here
    double middle = 0;  // the angle of its bisector
    bool square = false;
    std::int32_t squareMode = 0;  // the right-angle mode that puts the square in the arc's quarter
};

AngleArc ArcBetween(const Line& line1, const Line& line2, std::int32_t mode) {
    AngleArc arc;
    arc.vertex = LineCross(line1, line2);
    double a1 = AbsAngle(line1), a2 = AbsAngle(line2);
    if (a1 < 0) a1 += TwoPi;
    if (a2 < 0) a2 += TwoPi;
    double d = a2 - a1;
    if (d < 0) d += TwoPi;
    // An angle above a half turn becomes the one between line 1 and the reversed line 2.
    const bool reduced = d > Pi && mode < 4;
    if (reduced) a2 = Opposite(a2);
    bool reverse1 = false, reverse2 = reduced;
    switch (mode) {
        case 1:
            std::tie(a1, a2) = std::pair{a2, Opposite(a1)};
            reverse1 = true;
            break;
        case 2:
            std::tie(a1, a2) = std::pair{Opposite(a1), Opposite(a2)};
            reverse1 = true, reverse2 = !reverse2;
            break;
        case 3:
            std::tie(a1, a2) = std::pair{Opposite(a2), a1};
            reverse2 = !reverse2;
            break;
        default:
            break;
    }
    arc.from = a1 + 0.0, arc.to = a2 + 0.0;  // never -0, which would add a radius line
    arc.middle = (a1 + a2) / 2;
    if (a2 < a1) arc.middle -= Pi;  // the arc passes through angle 0
    // A right angle gets the square corner too, in the same quarter as the arc: the arc's
    // ends tell which of the lines' directions span it. A reflex arc (mode 4 and above, 270
    // degrees) marks no right angle.
    arc.square = std::fabs(d - Pi / 2) < 0.01 || (std::fabs(d - 3 * Pi / 2) < 0.01 && mode < 4);
    arc.squareMode = (reverse1 ? 1 : 0) | (reverse2 ? 2 : 0);
    return arc;
}

std::int32_t DrawAngleMark(DrawTarget target, const Line& line1, const Line& line2,
                           std::string_view label, bool withNumber, FontView font,
                           std::int32_t mode, double radius) {
    if (IsUndefined(line1) || IsUndefined(line2)) return UndefinedResult;
    const AngleArc arc = ArcBetween(line1, line2, mode);
    if (arc.square) MarkRightAngle(target, line1, line2, arc.squareMode, radius / 4);

    std::string text(label);
    if (withNumber) {
        double span = arc.to - arc.from;
        if (span < 0) span += TwoPi;
        text += '=';
        // Rounding noise of a billionth of a degree is forgiven: the program's pi lies a
        // little off the true one, which would show an exact 120 degrees as 119.
        text += WholeText(std::floor(180 * span / Pi + 1e-9));
        text += DegreeSign;
    }
    const int tw = StringWidth(text, font), th = GlyphHeight(font, AngleLabelGlyph);
    const double tx = arc.vertex.x + Cos(arc.middle) * radius * 0.65 - (tw >> 1);
    const double ty = arc.vertex.y - Sin(arc.middle) * radius * 0.65 - (th >> 1);
    const Colour colour{line1.colour};
    RasterArc(target, arc.vertex.x, arc.vertex.y, radius, colour, arc.from, arc.to, false);
    DrawLabel(target, text, font, tx, ty, colour);
    return 0;
}

}  // namespace

std::int32_t MarkPoint(DrawTarget target, const Point& point, std::string_view label, FontView font,
                       std::int32_t flags) {
    if (IsUndefined(point)) return UndefinedResult;
    const int tw = StringWidth(label, font), th = LineHeight(font);
    double ty = point.y - (th >> 1);
    if (flags & LabelAbove) {
        ty = point.y - th - 3;
    } else if (flags & LabelBelow) {
        ty = point.y + 3;
    }
    double tx = point.x - (tw >> 1);
    if (flags & LabelLeft) {
        tx = point.x - tw - 3;
    } else if (flags & LabelRight) {
        tx = point.x + 3;
    }
    // A point off the target is not drawn, but the part of its label that reaches in is.
    DrawPoint(target, point);
    DrawLabel(target, label, font, tx, ty, Colour{point.colour});
    return 0;
}

std::int32_t MarkLine(DrawTarget target, const Point& p1, const Point& p2, std::string_view label,
                      FontView font, std::int32_t side) {
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedResult;
    return LabelSegment(target, p1, p2, label, font, side != 0);
}

std::int32_t MarkAndNumberLine(DrawTarget target, const Point& p1, const Point& p2,
                               std::string_view prefix, FontView font, std::int32_t flags,
                               std::int32_t unit) {
    if (IsUndefined(p1) || IsUndefined(p2)) return UndefinedResult;
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    double length = std::sqrt(dx * dx + dy * dy);
    if (std::isinf(length)) length = Hypot(dx, dy);  // far points overflow the squares
    if (flags & LengthNegated) length = -length;
    std::string text(prefix);
    text += '=';
    text += LengthText(length, unit);
    return LabelSegment(target, p1, p2, text, font, flags != 0);
}

std::string LengthText(double length, std::int32_t unit) {
    if (unit < 2) return WholeText(std::floor(length));
    const double value = length / unit;
    const int size = std::snprintf(nullptr, 0, "%.2f", value);
    std::string text(static_cast<std::size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.2f", value);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

std::int32_t MarkAngle(DrawTarget target, const Line& line1, const Line& line2,
                       std::string_view label, FontView font, std::int32_t mode, double radius) {
    return DrawAngleMark(target, line1, line2, label, false, font, mode, radius);
}

std::int32_t MarkAndNumberAngle(DrawTarget target, const Line& line1, const Line& line2,
                                std::string_view prefix, FontView font, std::int32_t mode,
                                double radius) {
    return DrawAngleMark(target, line1, line2, prefix, true, font, mode, radius);
}

std::int32_t MarkAnglePt(DrawTarget target, const Point& a, const Point& vertex, const Point& b,
                         std::string_view label, FontView font, double radius) {
    if (IsUndefined(a) || IsUndefined(vertex) || IsUndefined(b)) return UndefinedResult;
    return MarkAngle(target, MakeLine(vertex, a), MakeLine(vertex, b), label, font, 4, radius);
}

std::int32_t MarkAndNumberAnglePt(DrawTarget target, const Point& a, const Point& vertex,
                                  const Point& b, std::string_view prefix, FontView font,
                                  double radius) {
    if (IsUndefined(a) || IsUndefined(vertex) || IsUndefined(b)) return UndefinedResult;
    return MarkAndNumberAngle(target, MakeLine(vertex, a), MakeLine(vertex, b), prefix, font, 4,
                              radius);
}

std::int32_t MarkRightAngle(DrawTarget target, const Line& line1, const Line& line2,
                            std::int32_t mode, double size) {
    if (IsUndefined(line1) || IsUndefined(line2)) return UndefinedResult;
    const double length1 = Hypot(line1.dx, line1.dy);
    const double length2 = Hypot(line2.dx, line2.dy);
    if (length1 == 0 || length2 == 0) return 0;  // a line without direction spans no corner
    const Point v = LineCross(line1, line2);
    const double k1 = (mode & 1 ? -size : size) / length1;
    const double k2 = (mode & 2 ? -size : size) / length2;
    const double ux = k1 * line1.dx, uy = k1 * line1.dy;
    const double wx = k2 * line2.dx, wy = k2 * line2.dy;
    const double cornerX = v.x + ux + wx, cornerY = v.y + uy + wy;
    const Colour colour{line1.colour};
    RasterLine(target, v.x + ux, v.y + uy, cornerX, cornerY, colour, LineKind::Segment);
    RasterLine(target, v.x + wx, v.y + wy, cornerX, cornerY, colour, LineKind::Segment);
    return 0;
}

std::int32_t MarkRightAnglePt(DrawTarget target, const Point& a, const Point& vertex,
                              const Point& b, std::int32_t mode, double size) {
    if (IsUndefined(a) || IsUndefined(vertex) || IsUndefined(b)) return UndefinedResult;
    return MarkRightAngle(target, MakeLine(vertex, a), MakeLine(vertex, b), mode, size);
}

}  // namespace zir
