#include "draw/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

#include "draw/fonts.h"
#include "geometry/portablemath.h"
#include "platform/picturescript.h"
#include "platform/textcode.h"

namespace zir {
namespace {

// DejaVu Sans in font units: the bitmap fonts were rendered at the em size that makes its
// ascender plus descender fill the glyph cell, with the baseline at the ascender.
constexpr double FaceUnitsPerEm = 2048;
constexpr double FaceAscender = 1901;
constexpr double FaceDescender = 483;
// Segments are cut to this box before they are written: farther coordinates only make
// renderers lose precision.
constexpr double FarCoordinate = 1e5;
constexpr std::size_t PieceBytes = 1 << 16;
// What a glyph without a character in the face shows, as the bitmap font does: a box.
constexpr char32_t MissingGlyph = 0x25A1;

class Writer {
  public:
    Writer(std::string& out, bool withInstruments, const SvgSink* sink)
        : out_(out), withInstruments_(withInstruments), sink_(sink) {}

    void Items(const VectorList& list, const SvgArea& clip, bool skipMask) {
        for (std::size_t i = 0; i < list.count; ++i) {
            const VectorItem& item = list.store->items[i];
            if (item.instrument && !withInstruments_) continue;
            if (skipMask && (item.colour.Value() & 0xFFFFFF) == MaskColour.Value()) continue;
            if (item.right < clip.x || item.bottom < clip.y || item.left >= clip.x + clip.width ||
                item.top >= clip.y + clip.height) {
                continue;
            }
            Item(item, clip, skipMask);
            // A large document goes out in pieces rather than whole.
            if (sink_ && out_.size() >= PieceBytes) Flush();
        }
    }

    void Flush() {
        if (sink_ && !out_.empty() && !(*sink_)(out_)) sink_ = nullptr;
        out_.clear();
    }

  private:
    // Thousandths, trailing zeros dropped. Written from the rounded integer rather than by
    // printf, which takes most of the time of a large picture.
    void Number(double v) {
        if (!(std::fabs(v) < 1e12)) {  // beyond what any drawing needs; never printed as such
            out_ += '0';
            return;
        }
        std::int64_t thousandths = std::llround(v * 1000);
        if (thousandths < 0) {
            out_ += '-';
            thousandths = -thousandths;
        }
        char digits[24];
        auto [end, error] = std::to_chars(digits, digits + sizeof digits, thousandths / 1000);
        out_.append(digits, end);
        int fraction = static_cast<int>(thousandths % 1000);
        if (fraction == 0) return;
        out_ += '.';
        for (int unit = 100; fraction != 0; unit /= 10) {
            out_ += static_cast<char>('0' + fraction / unit);
            fraction %= unit;
        }
    }
    void Attribute(const char* name, double v) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        Number(v);
        out_ += '"';
    }
    void ColourAttribute(const char* name, Colour c) {
        static constexpr char Hex[] = "0123456789abcdef";
        out_ += ' ';
        out_ += name;
        out_ += "=\"#";
        for (int shift = 20; shift >= 0; shift -= 4) out_ += Hex[c.Value() >> shift & 15];
        out_ += '"';
    }
    void Opacity(int alpha) {
        if (alpha < 255) Attribute("opacity", alpha / 255.0);
    }
    void Move(char command, double x, double y) {
        out_ += command;
        Number(x);
        out_ += ' ';
        Number(y);
    }

    void Item(const VectorItem& item, const SvgArea& clip, bool skipMask) {
        const double* a = item.a;
        switch (item.shape) {
            case VectorShape::Segment:
                return Segment(item);
            case VectorShape::Box:
            case VectorShape::FilledBox:
                return Box(item);
            case VectorShape::Arc:
                return Arc(item);
            case VectorShape::Pixel:
                out_ += "<rect";
                Attribute("x", a[0] - 0.5);
                Attribute("y", a[1] - 0.5);
                out_ += " width=\"1\" height=\"1\"";
                ColourAttribute("fill", item.colour);
                out_ += "/>\n";
                return;
            case VectorShape::Mask:
                return Mask(item);
            case VectorShape::Text:
                return Text(item);
            case VectorShape::Shape:
                return Shape(item);
            case VectorShape::Picture:
                return Picture(item, clip, skipMask);
        }
    }

    void Segment(const VectorItem& item) {
        double x1 = item.a[0], y1 = item.a[1], x2 = item.a[2], y2 = item.a[3];
        if (item.style == 0 || !Cut(x1, y1, x2, y2)) return;
        const double steps = std::max(std::fabs(std::round(x2) - std::round(x1)),
                                      std::fabs(std::round(y2) - std::round(y1)));
        if (steps == 0) {
            out_ += "<rect";
            Attribute("x", std::round(x1) - 0.5);
            Attribute("y", std::round(y1) - 0.5);
            out_ += " width=\"1\" height=\"1\"";
            ColourAttribute("fill", item.colour);
            out_ += "/>\n";
            return;
        }
        // A path is half as long as a line element, and a large picture has many.
        out_ += "<path d=\"";
        Move('M', x1, y1);
        Move('L', x2, y2);
        out_ += '"';
        ColourAttribute("stroke", item.colour);
        Dashes(item.style, Hypot(x2 - x1, y2 - y1) / steps);
        out_ += "/>\n";
    }

    // The style mask as dashes: one bit per pixel step along the line, from bit 15, so a step
    // is the line's length over its steps.
    void Dashes(std::uint16_t style, double step) {
        if (style == SolidStyle) return;
        int first = 0;
        while (!(style & (0x8000 >> first))) ++first;
        out_ += " stroke-linecap=\"butt\" stroke-dasharray=\"";
        bool on = true;
        int run = 0;
        bool separator = false;
        for (int k = 0; k < 16; ++k) {
            const bool bit = style & (0x8000 >> ((first + k) % 16));
            if (bit != on) {
                if (separator) out_ += ' ';
                Number(run * step);
                separator = true;
                on = bit;
                run = 0;
            }
            ++run;
        }
        if (separator) out_ += ' ';
        Number(run * step);
        if (on) out_ += " 0";  // a pattern that ends on ink still needs its gap
        out_ += '"';
        // The first pixel's middle is the line's start, half a step into the pattern.
        Attribute("stroke-dashoffset", ((16 - first) % 16 + 0.5) * step);
    }

    // Cuts the segment to the far box (Liang-Barsky); false when nothing of it is left.
    static bool Cut(double& x1, double& y1, double& x2, double& y2) {
        if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
            return false;
        }
        double t0 = 0, t1 = 1;
        const double dx = x2 - x1, dy = y2 - y1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {x1 + FarCoordinate, FarCoordinate - x1, y1 + FarCoordinate,
                             FarCoordinate - y1};
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0) return false;
                continue;
            }
            const double r = q[k] / p[k];
            if (p[k] < 0) {
                t0 = std::max(t0, r);
            } else {
                t1 = std::min(t1, r);
            }
        }
        if (t0 > t1) return false;
        const double ox = x1, oy = y1;
        x1 = ox + t0 * dx, y1 = oy + t0 * dy;
        x2 = ox + t1 * dx, y2 = oy + t1 * dy;
        return true;
    }

    void Box(const VectorItem& item) {
        const double* a = item.a;
        for (int k = 0; k < 4; ++k) {
            if (!std::isfinite(a[k])) return;
        }
        // Boxes are drawn on whole pixels.
        const double x1 =
            std::clamp(std::round(std::min(a[0], a[2])), -FarCoordinate, FarCoordinate);
        const double y1 =
            std::clamp(std::round(std::min(a[1], a[3])), -FarCoordinate, FarCoordinate);
        const double x2 =
            std::clamp(std::round(std::max(a[0], a[2])), -FarCoordinate, FarCoordinate);
        const double y2 =
            std::clamp(std::round(std::max(a[1], a[3])), -FarCoordinate, FarCoordinate);
        out_ += "<rect";
        if (item.shape == VectorShape::FilledBox) {
            Attribute("x", x1 - 0.5);
            Attribute("y", y1 - 0.5);
            Attribute("width", x2 - x1 + 1);
            Attribute("height", y2 - y1 + 1);
            ColourAttribute("fill", item.colour);
        } else {
            Attribute("x", x1);
            Attribute("y", y1);
            Attribute("width", x2 - x1);
            Attribute("height", y2 - y1);
            ColourAttribute("stroke", item.colour);
            Dashes(item.style, 1);
        }
        out_ += "/>\n";
    }

    // A point at the angle on the circle, counter-clockwise as seen on the screen.
    static void OnCircle(double cx, double cy, double r, double angle, double& x, double& y) {
        // The program's own sine and cosine, so that every edition writes the same numbers.
        x = cx + r * Cos(angle);
        y = cy - r * Sin(angle);
    }

    // The arc from start counter-clockwise to end as path commands, after a move to its start
    // (or a line to it from where the path is, when fromCentre).
    void ArcPath(double cx, double cy, double r, double start, double end, bool fromCentre) {
        double span = end - start;
        if (span < 0) span += 2 * std::numbers::pi;
        double x, y;
        OnCircle(cx, cy, r, start, x, y);
        Move(fromCentre ? 'L' : 'M', x, y);
        // An arc of (nearly) a whole turn goes in two halves, which SVG can draw.
        const double halfway = start + span / 2;
        for (double to : {halfway, start + span}) {
            OnCircle(cx, cy, r, to, x, y);
            out_ += 'A';
            Number(r);
            out_ += ' ';
            Number(r);
            out_ += " 0 0 0 ";
            Number(x);
            out_ += ' ';
            Number(y);
        }
    }

    void Arc(const VectorItem& item) {
        const double cx = item.a[0], cy = item.a[1], r = std::fabs(item.a[2]);
        if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) return;
        const bool whole =
            item.a[3] == 0 && !std::signbit(item.a[3]) && static_cast<float>(item.a[4]) == FullTurn;
        if (whole) {
            out_ += "<circle";
            Attribute("cx", cx);
            Attribute("cy", cy);
            Attribute("r", item.filled ? r + 0.5 : r);
            ColourAttribute(item.filled ? "fill" : "stroke", item.colour);
            out_ += "/>\n";
            return;
        }
        const bool startLine = std::signbit(item.a[3]), endLine = std::signbit(item.a[4]);
        const double start = std::fabs(item.a[3]), end = std::fabs(item.a[4]);
        out_ += "<path d=\"";
        if (item.filled) {
            Move('M', cx, cy);
            ArcPath(cx, cy, r + 0.5, start, end, true);
            out_ += 'Z';
        } else {
            ArcPath(cx, cy, r, start, end, false);
            double x, y;
            for (auto [wanted, angle] : {std::pair{startLine, start}, std::pair{endLine, end}}) {
                if (!wanted) continue;
                OnCircle(cx, cy, r, angle, x, y);
                Move('M', cx, cy);
                Move('L', x, y);
            }
        }
        out_ += '"';
        ColourAttribute(item.filled ? "fill" : "stroke", item.colour);
        out_ += "/>\n";
    }

    void Mask(const VectorItem& item) {
        if (!item.extra || item.extra->rects.empty()) return;
        out_ += "<path d=\"";
        for (const VectorExtra::Rect& r : item.extra->rects) {
            Move('M', r.x - 0.5, r.y - 0.5);
            out_ += 'h';
            Number(r.width);
            out_ += 'v';
            Number(r.height);
            out_ += 'h';
            Number(-r.width);
            out_ += 'z';
        }
        out_ += '"';
        ColourAttribute("fill", item.colour);
        out_ += "/>\n";
    }

    void Text(const VectorItem& item) {
        if (!item.extra) return;
        const int height = static_cast<int>(item.a[2]);
        const bool greek = item.a[3] != 0;
        const VectorExtra& e = *item.extra;
        if (PixelFromColour(e.paper, 2) != MaskPixel(2)) {
            out_ += "<rect";
            Attribute("x", item.left - 0.5);
            Attribute("y", item.top - 0.5);
            Attribute("width", item.right - item.left + 1);
            Attribute("height", item.bottom - item.top + 1);
            ColourAttribute("fill", e.paper);
            out_ += "/>\n";
        }
        if (PixelFromColour(item.colour, 2) == MaskPixel(2)) return;
        std::string xs, text;
        const FontView font = BuiltinFont(greek ? FontFamily::Greek : FontFamily::Sans, height);
        double x = item.a[0];
        for (char ch : e.text) {
            const auto code = static_cast<std::uint8_t>(ch);
            const double left = x;
            x += GlyphWidth(font, code);
            char32_t c = FontCodePoint(code, greek);
            if (c == ' ' || c == 0xA0) continue;  // positions of blanks would be collapsed
            if (c == 0) c = MissingGlyph;
            const std::size_t before = out_.size();
            Number(left - 0.5);
            if (!xs.empty()) xs += ' ';
            xs.append(out_, before, std::string::npos);
            out_.resize(before);
            switch (c) {
                case '&':
                    text += "&amp;";
                    break;
                case '<':
                    text += "&lt;";
                    break;
                case '>':
                    text += "&gt;";
                    break;
                default:
                    AppendUtf8(text, c);
            }
        }
        if (text.empty()) return;
        out_ += "<text x=\"" + xs + "\"";
        Attribute("y", item.top - 0.5 + FontBaseline(height));
        Attribute("font-size", SvgFontSize(height));
        ColourAttribute("fill", item.colour);
        out_ += '>';
        out_ += text;
        out_ += "</text>\n";
    }

    void Shape(const VectorItem& item) {
        if (!item.extra) return;
        const std::vector<double>& p = item.extra->points;
        for (double v : p) {
            if (!std::isfinite(v) || std::fabs(v) > FarCoordinate) return;
        }
        const double cx = item.a[0], cy = item.a[1], r = item.a[2];
        if (p.empty() && item.a[3] == 0 && item.a[4] == 0) {
            out_ += "<circle";
            Attribute("cx", cx);
            Attribute("cy", cy);
            Attribute("r", r);
        } else {
            out_ += "<path d=\"";
            if (p.empty()) {
                Move('M', cx, cy);
                ArcPath(cx, cy, r, item.a[3], item.a[4], true);
            } else {
                for (std::size_t i = 0; i + 1 < p.size(); i += 2)
                    Move(i == 0 ? 'M' : 'L', p[i], p[i + 1]);
            }
            out_ += "Z\"";
        }
        // The outline's pixels belong to the fill.
        ColourAttribute("fill", item.colour);
        ColourAttribute("stroke", item.colour);
        out_ += " stroke-linejoin=\"round\"";
        Opacity(item.extra->alpha);
        out_ += "/>\n";
    }

    void Picture(const VectorItem& item, const SvgArea& outer, bool skipMask) {
        if (!item.extra || !item.extra->picture.store) return;
        const VectorExtra& e = *item.extra;
        // The part of the picture's box that the outer clip leaves, in the picture's own pixels.
        const int x1 = std::max(e.clip.x, outer.x), y1 = std::max(e.clip.y, outer.y);
        const int x2 = std::min(e.clip.x + e.clip.width, outer.x + outer.width);
        const int y2 = std::min(e.clip.y + e.clip.height, outer.y + outer.height);
        if (x1 >= x2 || y1 >= y2) return;
        const int dx = static_cast<int>(item.a[0]), dy = static_cast<int>(item.a[1]);
        const int id = ++clips_;
        out_ += "<clipPath id=\"c" + std::to_string(id) + "\"><rect";
        Attribute("x", x1 - 0.5);
        Attribute("y", y1 - 0.5);
        Attribute("width", x2 - x1);
        Attribute("height", y2 - y1);
        out_ += "/></clipPath>\n<g clip-path=\"url(#c" + std::to_string(id) + ")\"";
        if (e.mode == BlitMode::Alpha) Opacity(e.alpha);
        out_ +=
            "><g transform=\"translate(" + std::to_string(dx) + ' ' + std::to_string(dy) + ")\">\n";
        Items(e.picture, {x1 - dx, y1 - dy, x2 - x1, y2 - y1},
              skipMask || e.mode != BlitMode::Copy);
        out_ += "</g></g>\n";
    }

    std::string& out_;
    bool withInstruments_ = true;
    const SvgSink* sink_ = nullptr;
    int clips_ = 0;
};

// The items of the list and of the pictures in it, for the size of its document.
std::size_t ItemCount(const VectorList& list) {
    std::size_t count = list.count;
    for (std::size_t i = 0; i < list.count; ++i) {
        const VectorItem& item = list.store->items[i];
        if (item.shape == VectorShape::Picture && item.extra)
            count += ItemCount(item.extra->picture);
    }
    return count;
}

}  // namespace

double SvgFontSize(int height) {
    const double em = height * FaceUnitsPerEm / (FaceAscender + FaceDescender);
    return std::round(em * 64) / 64;
}

int FontBaseline(int height) {
    return static_cast<int>(std::lround(SvgFontSize(height) * FaceAscender / FaceUnitsPerEm));
}

void WriteSvg(const VectorList& list, SvgArea area, bool withInstruments, const SvgSink& sink,
              std::string_view script) {
    std::string out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(area.width) +
           "\" height=\"" + std::to_string(area.height) + "\" viewBox=\"0 0 " +
           std::to_string(area.width) + ' ' + std::to_string(area.height) + "\">\n";
    if (!script.empty()) out += SvgScriptMetadata(script);
    // Pixel centres lie on whole coordinates, so the figures keep the script's numbers.
    char origin[64];
    std::snprintf(origin, sizeof origin, "%g %g", 0.5 - area.x, 0.5 - area.y);
    // Renderers that place the document in a larger page (a PDF) would show what lies beyond
    // the area: the control bar's edge, the text window.
    const std::string size =
        std::to_string(area.width) + "\" height=\"" + std::to_string(area.height);
    out += "<clipPath id=\"area\"><rect width=\"" + size + "\"/></clipPath>\n";
    out += "<g clip-path=\"url(#area)\"><g transform=\"translate(" + std::string(origin) +
           ")\" fill=\"none\" stroke-width=\"1\" stroke-linecap=\"square\" font-family=\"DejaVu "
           "Sans\">\n";
    Writer writer(out, withInstruments, &sink);
    if (list.store) writer.Items(list, area, false);
    out += "</g></g>\n</svg>\n";
    writer.Flush();
}

std::string SvgOf(const VectorList& list, SvgArea area, bool withInstruments) {
    std::string document;
    document.reserve(256 + ItemCount(list) * 80);
    WriteSvg(list, area, withInstruments, [&document](std::string_view piece) {
        document += piece;
        return true;
    });
    return document;
}

}  // namespace zir
