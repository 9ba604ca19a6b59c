// Draws the logo (215 x 60) and the window icon (32 x 32) with the program's own raster
// layer and fonts, and writes them in the image layout as resources, with PNG copies to
// look at. Run by hand (tools/make-logo.sh); the output is committed.
//
// Usage: logogen RESOURCEDIR
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "draw/fonts.h"
#include "draw/raster.h"
#include "platform/image.h"
#include "platform/png.h"

namespace {

using namespace zir;

constexpr Colour Paper{0xFFFFFF};
constexpr Colour Ink{0x1A2A6C};    // the word
constexpr Colour Steel{0x505860};  // the compass
constexpr Colour Trace{0xD02020};  // the circle being drawn
constexpr Colour Faint{0x8890A0};  // the tagline and the frame

bool WriteImage(const std::string& path, const std::uint8_t* image) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::size_t size = ImageHeaderBytes + static_cast<std::size_t>(ImageWidth(image)) *
                                              ImageHeight(image) * ImageBytesPerPixel(image);
    bool ok = std::fwrite(image, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// A thick segment as parallel one-pixel lines.
void Thick(DrawTarget t, double x1, double y1, double x2, double y2, double width, Colour c) {
    double dx = x2 - x1, dy = y2 - y1, len = std::hypot(dx, dy);
    double nx = -dy / len, ny = dx / len;
    for (double o = -width / 2; o <= width / 2; o += 0.5) {
        RasterLine(t, x1 + nx * o, y1 + ny * o, x2 + nx * o, y2 + ny * o, c, LineKind::Segment);
    }
}

// A compass standing on (cx, cy) with its pencil on the circle of radius r at angle a.
void Compass(DrawTarget t, double cx, double cy, double r, double a, double hingeHeight,
             double scale) {
    double px = cx + r * std::cos(a), py = cy - r * std::sin(a);
    double hx = (cx + px) / 2, hy = std::min(cy, py) - hingeHeight;
    Thick(t, hx, hy, cx, cy, 2.2 * scale, Steel);
    Thick(t, hx, hy, px, py, 2.2 * scale, Steel);
    RasterArc(t, hx, hy, 3 * scale, Steel, 0, FullTurn, true);
    Thick(t, hx, hy - 3 * scale, hx, hy - 7 * scale, 1.5 * scale, Steel);
    RasterArc(t, px, py, 1.5 * scale, Trace, 0, FullTurn, true);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: logogen RESOURCEDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    Font word, tagline;
    if (LoadFontFile(dir + "/fonts/sans40.zfn", word) != 0 ||
        LoadFontFile(dir + "/fonts/sans12.zfn", tagline) != 0) {
        std::fprintf(stderr, "logogen: fonts missing in %s/fonts\n", dir.c_str());
        return 1;
    }

    Image logo{ImageCreateWithDepth(215, 60, 2, Paper)};
    ImageHandle l = logo.get();
    RasterLine(&l, 0, 0, 214, 59, Faint, LineKind::Box);
    // The circle the compass is drawing: most of it done, the rest still to come.
    const double cx = 31, cy = 38, r = 17, pencil = 0.35;
    for (double ring : {r - 0.6, r, r + 0.6}) {
        RasterArc(&l, cx, cy, ring, Trace, pencil, pencil + 1.5 * std::numbers::pi, false);
    }
    RasterArc(&l, cx, cy, 1.5, Steel, 0, FullTurn, true);
    Compass(&l, cx, cy, r, pencil, 22, 1.0);
    const std::string name = "Zirkula";
    PrintText(&l, name, word, 62, 2, Ink, MaskColour);
    const std::string motto = "mit Zirkel und Lineal";
    PrintText(&l, motto, tagline, 62 + (StringWidth(name, word) - StringWidth(motto, tagline)) / 2,
              43, Faint, MaskColour);

    Image icon{ImageCreateWithDepth(32, 32, 2)};  // transparent around the drawing
    ImageHandle i = icon.get();
    RasterArc(&i, 15.5, 15.5, 15, Paper, 0, FullTurn, true);
    RasterArc(&i, 15.5, 15.5, 15, Ink, 0, FullTurn, false);
    for (double ring : {8.6, 9.0}) {
        RasterArc(&i, 13, 20, ring, Trace, 0.3, 0.3 + 1.6 * std::numbers::pi, false);
    }
    Compass(&i, 13, 20, 9, 0.3, 11, 0.6);

    bool ok = WriteImage(dir + "/logo16.img", logo.get()) &&
              WriteImage(dir + "/appicon.img", icon.get()) &&
              WritePng(dir + "/logo16.png", logo.get()) &&
              WritePng(dir + "/appicon.png", icon.get());
    if (!ok) {
        std::fprintf(stderr, "logogen: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
