#include "draw/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <numbers>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "picture_check.h"
#include "platform/image.h"

namespace zir {
namespace {

constexpr Colour White{0xFFFFFF};
constexpr Colour Black{0x000000};
constexpr Colour Red{0xFF0000};
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// An image that draws as a target, with helpers to read it back.
struct Canvas {
    Image image;
    ImageHandle handle = nullptr;

    Canvas(int w, int h, Colour background = White, int bpp = 2)
        : image(ImageCreateWithDepth(w, h, bpp, background)), handle(image.get()) {}

    DrawTarget target() { return &handle; }
    int width() const { return ImageWidth(handle); }
    int height() const { return ImageHeight(handle); }
    Colour at(int x, int y) const { return ImageColourAt(handle, x, y); }
    // Whether the pixel holds c as this image's pixel format stores it.
    bool is(int x, int y, Colour c) const {
        int bpp = ImageBytesPerPixel(handle);
        Colour stored = bpp == 2 ? ColourFrom565(Rgb565(c)) : Colour{PixelFromColour(c, bpp)};
        return at(x, y) == stored;
    }
    std::set<std::pair<int, int>> pixelsOf(Colour c) const {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                if (is(x, y, c)) out.insert({x, y});
        return out;
    }
};

using PixelSet = std::set<std::pair<int, int>>;

// Whether the small canvas shows exactly what the big one shows at offset (dx, dy).
::testing::AssertionResult SameAsWindowOf(const Canvas& small, const Canvas& big, int dx, int dy) {
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            if (small.at(x, y) != big.at(x + dx, y + dy))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    return ::testing::AssertionSuccess();
}

TEST(Images, HeaderLayoutAndLimits) {
    Image image{ImageCreateWithDepth(300, 2, 2)};
    ASSERT_TRUE(image);
    const std::uint8_t* p = image.get();
    EXPECT_EQ(p[0] | p[1] << 8, 300 * 8 + 2);
    EXPECT_EQ(p[2] | p[3] << 8, 2);
    EXPECT_EQ(p[4] | p[5] << 8, 0xF81F) << "created transparent";

    EXPECT_TRUE(Image(ImageCreateWithDepth(8191, 1, 2)));
    EXPECT_TRUE(Image(ImageCreateWithDepth(1, 65535, 1)));
    EXPECT_FALSE(Image(ImageCreateWithDepth(0, 10, 2)));
    EXPECT_FALSE(Image(ImageCreateWithDepth(8192, 10, 2)));
    EXPECT_FALSE(Image(ImageCreateWithDepth(10, 65536, 2)));
    EXPECT_FALSE(Image(ImageCreateWithDepth(10, -1, 2)));
    EXPECT_FALSE(Image(ImageCreateWithDepth(10, 10, 3)));

    Image filled{ImageCreate(4, 4, Colour{0x123456})};
    ASSERT_TRUE(filled);
    EXPECT_EQ(ImageBytesPerPixel(filled.get()), 2) << "the screen's 16-bit format";
    std::uint16_t first = 0;
    std::memcpy(&first, ImagePixels(filled.get()), 2);
    EXPECT_EQ(first, Rgb565(Colour{0x123456}));
}

TEST(Images, TransparentValueAndTargetHelpersFollowPixelSize) {
    Canvas one(3, 2, Colour{0x77}, 1), two(3, 2, White, 2), four(3, 2, White, 4);
    EXPECT_EQ(MaskPixel(1), 0u);
    EXPECT_EQ(Image(ImageCreateWithDepth(2, 2, 1)).get()[4], 0);
    EXPECT_EQ(TargetMaskColour(one.target()), Colour{});
    EXPECT_EQ(TargetMaskColour(two.target()), MaskColour);
    EXPECT_EQ(TargetMaskColour(four.target()), MaskColour);
    TargetInfo info = TargetSize(four.target());
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.bytesPerPixel, 4);
    EXPECT_EQ(Rgb565(Colour{0xFF00FF}), 0xF81F);
    EXPECT_EQ(ColourFrom565(0xFFFF), Colour{0xFFFFFF});
}

// Shades stop at a channel's end instead of carrying into the next channel; the default bar
// colour gets the shades it always had.
TEST(Images, ColourShadesSaturatePerChannel) {
    const struct {
        std::uint32_t colour, lighter, darker;
    } cases[] = {{0xC0C0C0, 0xF0F0F0, 0x909090},
                 {0xFFFFFF, 0xFFFFFF, 0xCFCFCF},
                 {0x000000, 0x303030, 0x000000},
                 {0xE01040, 0xFF4070, 0xB00010},
                 {0x01C0C0C0, 0xF0F0F0, 0x909090}};  // the word's top byte is no channel
    for (auto [colour, lighter, darker] : cases) {
        EXPECT_EQ(Colour{colour}.Lighter(0x30), Colour{lighter}) << std::hex << colour;
        EXPECT_EQ(Colour{colour}.Darker(0x30), Colour{darker}) << std::hex << colour;
    }
    EXPECT_EQ(Colour(0x12, 0x34, 0x56), Colour{0x123456});
    EXPECT_EQ(Colour{0x123456}.Red(), 0x12);
}

TEST(PixelRounding, HalvesGoAwayFromZero) {
    EXPECT_EQ(PixelIndex(2.5), 3);
    EXPECT_EQ(PixelIndex(2.49), 2);
    EXPECT_EQ(PixelIndex(-0.5), -1);
    EXPECT_EQ(PixelIndex(-0.49), 0);
    EXPECT_EQ(PixelIndex(-2.5), -3);
    EXPECT_EQ(PixelIndex(0.0), 0);
}

TEST(Segments, EndPointsIncludedAndRounded) {
    Canvas c(40, 10);
    RasterLine(c.target(), 10.5, 4.5, 20.5, 4.5, Black, LineKind::Segment);
    PixelSet want;
    for (int x = 11; x <= 21; ++x) want.insert({x, 5});
    EXPECT_EQ(c.pixelsOf(Black), want);

    Canvas d(10, 3);
    RasterLine(d.target(), -0.5, 0, 3, 0, Black, LineKind::Segment);
    EXPECT_EQ(d.pixelsOf(Black), (PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));

    Canvas e(10, 10);
    RasterLine(e.target(), 7, 2, 7, 2, Black, LineKind::Segment);
    EXPECT_EQ(e.pixelsOf(Black), (PixelSet{{7, 2}})) << "a zero-length segment is one pixel";
}

// A segment clipped by the target's edges must light exactly the pixels that the whole
// segment lights on a larger image; otherwise lines jitter as their far end moves.
TEST(Segments, ClippingKeepsTheUnclippedPixels) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-60, 160);
    std::uniform_int_distribution<int> styles(0, 3);
    const std::uint16_t patterns[] = {0xFFFF, 0xF0F0, 0x8001, 0xCCCC};
    for (int i = 0; i < 400; ++i) {
        double x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        std::uint16_t style = patterns[styles(rng)];
        Canvas big(400, 400), small(100, 100);
        RasterLine(big.target(), x1 + 150, y1 + 150, x2 + 150, y2 + 150, Black, LineKind::Segment,
                   style);
        RasterLine(small.target(), x1, y1, x2, y2, Black, LineKind::Segment, style);
        ASSERT_TRUE(SameAsWindowOf(small, big, 150, 150))
            << "segment " << x1 << "," << y1 << " - " << x2 << "," << y2 << " style " << style;
    }
}

TEST(Segments, SegmentsAreEightConnected) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(0, 59);
    for (int i = 0; i < 200; ++i) {
        int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        Canvas c(60, 60);
        RasterLine(c.target(), x1, y1, x2, y2, Black, LineKind::Segment);
        PixelSet pixels = c.pixelsOf(Black);
        ASSERT_EQ(pixels.size(),
                  static_cast<size_t>(std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1));
        ASSERT_TRUE(pixels.count({x1, y1}) && pixels.count({x2, y2}));
    }
}

TEST(Segments, StyleMaskStartsWithBit15AndRepeats) {
    Canvas c(40, 3);
    RasterLine(c.target(), 0, 1, 35, 1, Black, LineKind::Segment, 0xF0F0);
    for (int x = 0; x <= 35; ++x) {
        bool on = ((x / 4) % 2) == 0;
        EXPECT_EQ(c.is(x, 1, Black), on) << "x=" << x;
    }
    Canvas d(40, 3);
    RasterLine(d.target(), 0, 1, 39, 1, Black, LineKind::Segment, 0x8000);
    EXPECT_EQ(d.pixelsOf(Black), (PixelSet{{0, 1}, {16, 1}, {32, 1}}));
    Canvas e(10, 3);
    RasterLine(e.target(), 0, 1, 9, 1, Black, LineKind::Segment, 0);
    EXPECT_TRUE(e.pixelsOf(Black).empty());
}

TEST(Boxes, OutlineAndFilledIncludeTheirEdges) {
    Canvas c(20, 20);
    RasterLine(c.target(), 12, 9, 3, 2, Black, LineKind::Box);  // corners in either order
    PixelSet outline = c.pixelsOf(Black);
    EXPECT_EQ(outline.size(), 2u * 10 + 2u * 6);
    EXPECT_TRUE(outline.count({3, 2}) && outline.count({12, 9}) && outline.count({3, 9}));
    EXPECT_FALSE(outline.count({5, 5}));

    Canvas d(20, 20);
    RasterLine(d.target(), 3, 2, 12, 9, Red, LineKind::FilledBox);
    EXPECT_EQ(d.pixelsOf(Red).size(), 10u * 8u);

    Canvas e(20, 20);
    RasterLine(e.target(), -1e300, -5, 1e300, 3, Red, LineKind::FilledBox);
    EXPECT_EQ(e.pixelsOf(Red).size(), 20u * 4u) << "far corners clipped, not overflowed";
    Canvas f(20, 20);
    RasterLine(f.target(), -Inf, 2, 5, Inf, Black, LineKind::Box);
    EXPECT_EQ(f.pixelsOf(Black).size(), 6u + 17u) << "only the visible top and right sides";
}

// Crossings of parallel lines land about 1e280 pixels away and non-finite values occur;
// none of them may reach a pixel index unchecked, and the visible part must keep its slope.
TEST(FarCoordinates, VisiblePartKeepsItsDirection) {
    Canvas c(200, 200);
    RasterLine(c.target(), 50, 50, 50 + 1e280, 50 + 0.5e280, Black, LineKind::Segment);
    for (int x = 50; x < 200; x += 10) EXPECT_TRUE(c.is(x, 50 + (x - 50) / 2, Black)) << x;
    EXPECT_FALSE(c.is(49, 49, Black));

    Canvas d(200, 200);
    RasterLine(d.target(), 1e308, 120, -1e308, 120, Black, LineKind::Segment);
    EXPECT_EQ(d.pixelsOf(Black).size(), 200u);
    for (int x = 0; x < 200; ++x) ASSERT_TRUE(d.is(x, 120, Black));

    Canvas e(200, 200);
    RasterLine(e.target(), 10, 30, Inf, 30, Black, LineKind::Segment);
    EXPECT_EQ(e.pixelsOf(Black).size(), 190u);
}

TEST(FarCoordinates, NonFiniteValuesDrawNothingOrClip) {
    Canvas c(50, 50);
    const double bad[] = {NaN, Inf, -Inf, 1e280, -1e308, 3e38, -3e38};
    for (double v : bad) {
        RasterLine(c.target(), v, 10, 20, 20, Black, LineKind::Segment);
        RasterLine(c.target(), NaN, v, v, NaN, Black, LineKind::Box);
        RasterArc(c.target(), v, 25, 10, Black, 0, FullTurn, true);
        RasterArc(c.target(), 25, 25, v, Black, 0, FullTurn, false);
        RasterArc(c.target(), 25, 25, 10, Black, v, 1, false);
        RasterPixel(c.target(), v, 3, Black);
        RasterFloodFill(c.target(), v, 3, Red);
        RasterBlit(c.target(), v, 3, c.handle, BlitMode::Copy);
        RasterGrab(c.target(), v, 0, 10, 10, c.handle);
    }
    Canvas d(50, 50);
    RasterLine(d.target(), NaN, 10, 20, 20, Black, LineKind::Segment);
    RasterArc(d.target(), 25, 25, NaN, Black, 0, FullTurn, true);
    EXPECT_TRUE(d.pixelsOf(Black).empty());
}

// The primitives placed at a point (pixel, one-bit row, flood fill seed) round it as pixels
// are rounded and clip at every edge, on either axis; far, infinite and NaN points draw nothing.
TEST(FarCoordinates, PlacedPrimitivesRoundThenClip) {
    constexpr int None = -100;
    const struct {
        double at;
        int first;  // the first pixel covered
    } cases[] = {{-2.5, -3},  {-2.49, -2}, {-0.5, -1},   {-0.49, 0},    {9.49, 9},    {9.5, 10},
                 {NaN, None}, {Inf, None}, {-Inf, None}, {1e300, None}, {-3e38, None}};
    const std::uint8_t row[] = {0xE0}, column[] = {0x80, 0x80, 0x80};  // three pixels long
    for (bool vertical : {false, true}) {
        for (auto [at, first] : cases) {
            const double x = vertical ? 1 : at, y = vertical ? at : 1;
            Canvas pixel(10, 10), bits(10, 10), fill(10, 10);
            RasterPixel(pixel.target(), x, y, Red);
            RasterBits(bits.target(), vertical ? column : row, 1, vertical ? 1 : 3,
                       vertical ? 3 : 1, x, y, Red, MaskColour);
            RasterFloodFill(fill.target(), x, y, Red);
            PixelSet one, three;
            for (int i = first; i < first + 3; ++i) {
                if (i < 0 || i >= 10) continue;
                (i == first ? one : three).insert(vertical ? std::pair{1, i} : std::pair{i, 1});
            }
            three.insert(one.begin(), one.end());
            EXPECT_EQ(pixel.pixelsOf(Red), one) << at << (vertical ? " down" : " across");
            EXPECT_EQ(bits.pixelsOf(Red), three) << at << (vertical ? " down" : " across");
            EXPECT_EQ(fill.pixelsOf(Red).size(), one.empty() ? 0u : 100u) << at;
        }
    }
}

TEST(FarCoordinates, HugeCircleThroughTheTargetDrawsItsVisiblePart) {
    Canvas c(640, 460);
    // Radius 1e9, touching row 100 at column 320 from below.
    RasterArc(c.target(), 320, 100 + 1e9, 1e9, Black, 0, FullTurn, false);
    EXPECT_TRUE(c.is(320, 100, Black));
    EXPECT_TRUE(c.is(0, 100, Black) || c.is(0, 101, Black)) << "flat across the whole width";
    Canvas d(640, 460);
    RasterArc(d.target(), 320, 100 + 1e9, 1e9, Red, 0, FullTurn, true);
    EXPECT_TRUE(d.is(320, 100, Red) && d.is(320, 459, Red) && !d.is(320, 99, Red));
    Canvas e(640, 460);
    RasterArc(e.target(), 320, 230, 1e12, Black, 0, FullTurn, false);
    EXPECT_TRUE(e.pixelsOf(Black).empty()) << "the whole target lies inside the ring";
}

TEST(Circles, FullCircleIsSymmetricAndThin) {
    Canvas c(100, 100);
    RasterArc(c.target(), 50, 50, 20, Black, 0, FullTurn, false);
    PixelSet pixels = c.pixelsOf(Black);
    for (auto [x, y] : pixels) {
        ASSERT_TRUE(pixels.count({100 - x, y}) && pixels.count({x, 100 - y}) &&
                    pixels.count({50 + (y - 50), 50 + (x - 50)}));
        ASSERT_NEAR(std::hypot(x - 50, y - 50), 20, 0.75);
    }
    EXPECT_TRUE(pixels.count({70, 50}) && pixels.count({30, 50}) && pixels.count({50, 30}));
    // The double value of 2*pi asks for the full circle as well.
    Canvas d(100, 100);
    RasterArc(d.target(), 50, 50, 20, Black, 0, 2 * std::numbers::pi, false);
    EXPECT_EQ(d.pixelsOf(Black), pixels);
}

// The outline must hold a flood fill in, and the filled disc must be exactly the outline
// with the inside the fill reaches: fills of circles and sectors rely on both.
TEST(Circles, OutlineIsClosedAndDiscCoversItExactly) {
    for (double r = 0.2; r < 45; r += 0.37) {
        Canvas outline(100, 100);
        RasterArc(outline.target(), 50, 50, r, Red, 0, FullTurn, false);
        RasterFloodFill(outline.target(), 50, 50, Red);
        EXPECT_TRUE(outline.is(0, 0, White)) << "fill leaked out of radius " << r;
        Canvas disc(100, 100);
        RasterArc(disc.target(), 50, 50, r, Red, 0, FullTurn, true);
        ASSERT_EQ(disc.pixelsOf(Red), outline.pixelsOf(Red)) << "radius " << r;
    }
}

TEST(Circles, PartlyVisibleCircleMatchesTheWholeOne) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> centre(-30, 130), radius(1, 80);
    for (int i = 0; i < 100; ++i) {
        double cx = centre(rng), cy = centre(rng), r = radius(rng);
        bool filled = i % 2 == 1;
        Canvas big(500, 500), small(100, 100);
        RasterArc(big.target(), cx + 200, cy + 200, r, Black, 0, FullTurn, filled);
        RasterArc(small.target(), cx, cy, r, Black, 0, FullTurn, filled);
        ASSERT_TRUE(SameAsWindowOf(small, big, 200, 200))
            << cx << "," << cy << " r " << r << (filled ? " filled" : "");
    }
}

TEST(Arcs, RunCounterClockwiseAndWrapThroughZero) {
    Canvas c(100, 100);
    RasterArc(c.target(), 50, 50, 30, Black, 5.5, 0.5, false);
    EXPECT_TRUE(c.is(80, 50, Black)) << "angle 0 lies on the arc from 5.5 to 0.5";
    EXPECT_FALSE(c.is(20, 50, Black));
    EXPECT_FALSE(c.is(50, 20, Black)) << "up the screen is pi/2, not on this arc";

    Canvas d(100, 100);
    RasterArc(d.target(), 50, 50, 30, Black, 0.2, 1.4, false);
    EXPECT_TRUE(d.is(50 + 21, 50 - 21, Black) || d.is(50 + 21, 50 - 22, Black) ||
                d.is(50 + 22, 50 - 21, Black))
        << "pi/4 is above and right of the centre";
    for (auto [x, y] : d.pixelsOf(Black)) ASSERT_LT(y, 50) << "nothing below the centre";
}

TEST(Arcs, NegativeAnglesAddTheRadiusLines) {
    Canvas plain(100, 100), sector(100, 100);
    RasterArc(plain.target(), 50, 50, 30, Red, 1.0, 2.0, false);
    RasterArc(sector.target(), 50, 50, 30, Red, -1.0, -2.0, false);
    PixelSet arc = plain.pixelsOf(Red), all = sector.pixelsOf(Red);
    for (auto p : arc) ASSERT_TRUE(all.count(p));
    int onRadii = 0;
    for (auto [x, y] : all) {
        if (arc.count({x, y}) || (x == 50 && y == 50)) continue;
        double angle = std::atan2(-(y - 50.0), x - 50.0);
        double dist = std::hypot(x - 50.0, y - 50.0);
        ASSERT_LT(dist, 30.5);
        ASSERT_TRUE(std::fabs(angle - 1.0) * dist < 1.0 || std::fabs(angle - 2.0) * dist < 1.0)
            << x << "," << y;
        ++onRadii;
    }
    EXPECT_GE(onRadii, 2 * 25);
    // Closed: a fill from inside the sector stays inside it.
    RasterFloodFill(sector.target(), 50, 35, Red);
    EXPECT_TRUE(sector.is(50, 60, White) && sector.is(30, 40, White));
    EXPECT_GT(sector.pixelsOf(Red).size(), all.size() + 200u);
}

TEST(Arcs, SectorFromZeroIsClosedByBothRadii) {
    Canvas c(100, 100);
    RasterArc(c.target(), 50, 50, 30, Red, -0.0, -std::numbers::pi / 2, false);
    EXPECT_TRUE(c.is(65, 50, Red)) << "radius along +x";
    EXPECT_TRUE(c.is(50, 35, Red)) << "radius along -y";
    RasterFloodFill(c.target(), 60, 40, Red);
    EXPECT_TRUE(c.is(70, 40, Red));
    EXPECT_TRUE(c.is(40, 40, White) && c.is(60, 60, White)) << "only the quarter disc";
}

// A reference fill, as slow and obvious as possible.
void ReferenceFill(std::vector<int>& cells, int w, int h, int x, int y, int fill) {
    if (cells[y * w + x] == fill) return;
    std::deque<std::pair<int, int>> queue{{x, y}};
    cells[y * w + x] = fill;
    while (!queue.empty()) {
        auto [px, py] = queue.front();
        queue.pop_front();
        const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (auto& o : d) {
            int nx = px + o[0], ny = py + o[1];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || cells[ny * w + nx] == fill) continue;
            cells[ny * w + nx] = fill;
            queue.push_back({nx, ny});
        }
    }
}

TEST(FloodFill, MatchesAReferenceOnRandomMazes) {
    std::mt19937 rng(5);
    const int w = 61, h = 47;
    for (int round = 0; round < 30; ++round) {
        Canvas c(w, h);
        std::vector<int> cells(w * h, 0);
        std::bernoulli_distribution wall(0.1 + 0.02 * round);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (wall(rng)) {
                    RasterPixel(c.target(), x, y, Red);
                    cells[y * w + x] = 1;
                } else if (wall(rng)) {
                    RasterPixel(c.target(), x, y, Black);  // other colours do not bound
                }
            }
        }
        int sx = round % w, sy = (round * 7) % h;
        RasterFloodFill(c.target(), sx, sy, Red);
        ReferenceFill(cells, w, h, sx, sy, 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(c.is(x, y, Red), cells[y * w + x] == 1) << round << ": " << x << "," << y;
    }
}

TEST(FloodFill, SeedOnFillColourOrOutsideFillsNothing) {
    Canvas c(30, 30);
    RasterLine(c.target(), 5, 5, 20, 20, Red, LineKind::Box);
    RasterFloodFill(c.target(), 5, 10, Red);
    RasterFloodFill(c.target(), -1, 10, Red);
    RasterFloodFill(c.target(), 30, 10, Red);
    EXPECT_EQ(c.pixelsOf(Red).size(), 60u);
    RasterFloodFill(c.target(), 10, 10, Red);
    EXPECT_EQ(c.pixelsOf(Red).size(), 16u * 16u) << "the inside, bounded by the box";
    RasterFloodFill(c.target(), 0, 0, Red);
    EXPECT_EQ(c.pixelsOf(Red).size(), 900u) << "bounded by the image's edges";
}

TEST(FloodFill, WholeLargeImageWithoutRecursion) {
    Canvas c(8000, 600);
    RasterFloodFill(c.target(), 4000, 300, Red);
    EXPECT_TRUE(c.is(0, 0, Red) && c.is(7999, 599, Red));
}

Image Pattern(int w, int h, int bpp) {
    Image image{ImageCreateWithDepth(w, h, bpp)};
    ImageHandle handle = image.get();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x + y) % 3 != 0)
                RasterPixel(&handle, x, y, Colour{0x10 * x + 0x1000 * y + 0x300000});
    return image;  // every third pixel stays transparent
}

TEST(Blits, ModesOverTheTransparentColour) {
    Image image = Pattern(6, 5, 2);
    for (BlitMode mode : {BlitMode::Copy, BlitMode::Transparent, BlitMode::Alpha}) {
        Canvas c(20, 20, Black);
        RasterBlit(c.target(), 3, 4, image.get(), mode, 255);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                Colour src = ImageColourAt(image.get(), x, y);
                bool transparent = (x + y) % 3 == 0;
                Colour want = transparent && mode != BlitMode::Copy ? Black : src;
                ASSERT_EQ(c.at(x + 3, y + 4), want)
                    << static_cast<int>(mode) << " " << x << "," << y;
            }
        }
        EXPECT_TRUE(c.is(2, 4, Black) && c.is(9, 4, Black) && c.is(3, 9, Black));
    }
}

TEST(Blits, AlphaBlendsPerChannel) {
    Image white{ImageCreateWithDepth(2, 1, 2, White)};
    Canvas c(4, 1, Black);
    RasterBlit(c.target(), 0, 0, white.get(), BlitMode::Alpha, 128);
    std::uint16_t got = 0;
    std::memcpy(&got, ImagePixels(c.handle), 2);
    EXPECT_EQ(got, (31 * 128 / 255) << 11 | (63 * 128 / 255) << 5 | (31 * 128 / 255));
    Canvas d(4, 1, White);
    Image black{ImageCreateWithDepth(2, 1, 2, Black)};
    RasterBlit(d.target(), 0, 0, black.get(), BlitMode::Alpha, 128);
    std::memcpy(&got, ImagePixels(d.handle), 2);
    EXPECT_EQ(got, (31 - 31 * 128 / 255) << 11 | (63 - 63 * 128 / 255) << 5 | (31 - 31 * 128 / 255))
        << "negative differences truncate toward zero";
    Canvas e(4, 1, Black);
    RasterBlit(e.target(), 0, 0, white.get(), BlitMode::Alpha, 0);
    EXPECT_TRUE(e.is(0, 0, Black));
    RasterBlit(e.target(), 0, 0, white.get(), BlitMode::Alpha, 255);
    EXPECT_TRUE(e.is(0, 0, White));

    Canvas g(1, 1, Black, 4);
    Image white32{ImageCreateWithDepth(1, 1, 4, White)};
    RasterBlit(g.target(), 0, 0, white32.get(), BlitMode::Alpha, 200);
    EXPECT_EQ(g.at(0, 0), Colour{0xC8C8C8}) << "8-bit channels: 255 * 200 / 255";

    Canvas f(2, 1, Colour{0x204080}, 4);
    Image src32{ImageCreateWithDepth(1, 1, 4, Red)};
    RasterBlit(f.target(), 0, 0, src32.get(), BlitMode::Alpha, 51);
    EXPECT_EQ(f.at(0, 0), Colour(0x20 + (0xFF - 0x20) * 51 / 255, 0x40 - 0x40 * 51 / 255,
                                 0x80 - 0x80 * 51 / 255));
}

TEST(Blits, ClippedAtEveryEdge) {
    Image image = Pattern(10, 8, 2);
    const int places[][2] = {{-5, 2},  {15, 2},  {4, -6},  {4, 17},
                             {-9, -7}, {19, 19}, {-10, 0}, {20, 0}};
    for (auto& at : places) {
        Canvas c(20, 20, Black), big(60, 60, Black);
        RasterBlit(c.target(), at[0], at[1], image.get(), BlitMode::Transparent);
        RasterBlit(big.target(), at[0] + 20, at[1] + 20, image.get(), BlitMode::Transparent);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(c.at(x, y), big.at(x + 20, y + 20)) << at[0] << "," << at[1];
    }
}

TEST(Blits, BetweenPixelSizes) {
    Image image{ImageCreateWithDepth(2, 2, 4, Colour{0x00FF00})};
    Canvas c(4, 4, Black, 2);
    RasterBlit(c.target(), 1, 1, image.get(), BlitMode::Copy);
    EXPECT_EQ(c.at(1, 1), Colour{0x00FF00});
    EXPECT_TRUE(c.is(0, 0, Black));
}

// A one-bit picture draws as the blit of an image of its pixels in Transparent mode would,
// for every combination of visible and transparent ink and paper, wherever it is clipped.
TEST(Bits, DrawLikeATransparentBlitOfTheirPixels) {
    std::mt19937 random(11);
    for (int bpp : {1, 2, 4}) {
        const Colour mask = bpp == 1 ? Colour{} : MaskColour;
        const Colour ink1{0xFF0033}, ink2{0x00FF44};  // low bytes apart from 1-byte mask 0
        const Colour choices[][2] = {{ink1, mask}, {mask, ink1}, {ink1, ink2}, {mask, mask}};
        for (auto [ink, paper] : choices) {
            for (int trial = 0; trial < 40; ++trial) {
                const int w = 1 + static_cast<int>(random() % 21), h = 1 + random() % 5;
                const int rowBytes = (w + 7) / 8 + static_cast<int>(random() % 2);
                std::vector<std::uint8_t> bits(static_cast<std::size_t>(rowBytes) * h);
                for (auto& b : bits) b = static_cast<std::uint8_t>(random());
                Image image{ImageCreateWithDepth(w, h, bpp)};
                ImageHandle picture = image.get();
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const bool on = bits[y * rowBytes + (x >> 3)] & (0x80 >> (x & 7));
                        RasterPixel(&picture, x, y, on ? ink : paper);
                    }
                const int x = static_cast<int>(random() % 30) - w,
                          y = static_cast<int>(random() % 12) - h;
                Canvas drawn(12, 8, Colour{0x0000FF}, bpp), blitted(12, 8, Colour{0x0000FF}, bpp);
                RasterBits(drawn.target(), bits.data(), rowBytes, w, h, x, y, ink, paper);
                RasterBlit(blitted.target(), x, y, image.get(), BlitMode::Transparent);
                ASSERT_TRUE(SameAsWindowOf(drawn, blitted, 0, 0))
                    << bpp << " bytes, " << w << "x" << h << " at " << x << "," << y;
            }
        }
    }
}

TEST(Grab, CopiesTheRectangleAndLeavesWhatIsOutside) {
    Canvas c(20, 20);
    RasterLine(c.target(), 5, 5, 9, 9, Red, LineKind::FilledBox);
    Image copy{ImageCreateWithDepth(5, 5, 2)};
    RasterGrab(c.target(), 9, 9, 5, 5, copy.get());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(ImageColourAt(copy.get(), x, y), Red);

    Image corner{ImageCreateWithDepth(4, 4, 2)};
    RasterGrab(c.target(), -2, -2, 1, 1, corner.get());
    EXPECT_EQ(ImageColourAt(corner.get(), 0, 0), ColourFrom565(0xF81F)) << "nothing behind it";
    EXPECT_EQ(ImageColourAt(corner.get(), 2, 2), White);
    EXPECT_EQ(ImageColourAt(corner.get(), 3, 3), White);

    Image small{ImageCreateWithDepth(2, 2, 2)};
    RasterGrab(c.target(), 4, 4, 15, 15, small.get());  // larger than the image: cut
    EXPECT_EQ(ImageColourAt(small.get(), 0, 0), White);
    EXPECT_EQ(ImageColourAt(small.get(), 1, 1), Red);
}

TEST(Targets, PixelFormatsOneAndFourBytes) {
    Canvas one(10, 10, Colour{3}, 1);
    RasterLine(one.target(), 0, 0, 9, 9, Colour{0x1234AB}, LineKind::Segment);
    EXPECT_EQ(one.at(5, 5), Colour{0xAB}) << "the low byte is a palette index";
    Canvas four(10, 10, White, 4);
    RasterArc(four.target(), 5, 5, 3, Colour{0x123456}, 0, FullTurn, true);
    EXPECT_EQ(four.at(5, 5), Colour{0x123456});
    RasterFloodFill(four.target(), 0, 0, Colour{0x123456});
    EXPECT_EQ(four.pixelsOf(Colour{0x123456}).size(), 100u);
}

// One picture of every primitive, checked against the approved copy.
TEST(Pictures, PrimitivesSheet) {
    Canvas c(320, 200);
    for (int i = 0; i < 12; ++i) {
        double a = i * std::numbers::pi / 6;
        RasterLine(c.target(), 60, 60, 60 + 50 * std::cos(a), 60 - 50 * std::sin(a),
                   Colour{0x0000C0 + i * 0x100000}, LineKind::Segment, i % 2 ? 0xFFFF : 0xF0F0);
    }
    RasterLine(c.target(), 130, 15, 190, 55, Colour{0x008000}, LineKind::Box);
    RasterLine(c.target(), 200, 15, 250, 55, Colour{0xC08000}, LineKind::FilledBox);
    RasterArc(c.target(), 285, 35, 25, Black, 0, FullTurn, false);
    RasterArc(c.target(), 285, 35, 12.5, Colour{0x4080FF}, 0, FullTurn, true);
    RasterArc(c.target(), 160, 130, 45, Red, -0.3, -2.2, false);
    RasterFloodFill(c.target(), 160, 110, Red);
    RasterArc(c.target(), 160, 130, 55, Black, 5.5, 0.5, false);
    Image overlay{ImageCreateWithDepth(90, 60, 2, Colour{0x00A000})};
    ImageHandle ov = overlay.get();
    RasterArc(&ov, 45, 30, 20, MaskColour, 0, FullTurn, true);
    RasterBlit(c.target(), 215, 90, overlay.get(), BlitMode::Alpha, 100);
    RasterBlit(c.target(), 215, 150, overlay.get(), BlitMode::Transparent);
    RasterLine(c.target(), 20, 190, 1e280, 190 - 0.1e280, Black, LineKind::Segment);
    EXPECT_TRUE(test::MatchesApproved("raster_primitives", c.handle));
}

}  // namespace
}  // namespace zir
