#include "draw/raster.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <set>
#include <utility>

#include "draw_canvas.h"
#include "picture_check.h"
#include "platform/image.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::Red;
using test::White;
using PixelSet = std::set<std::pair<int, int>>;
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

PixelSet PixelsOf(const Canvas& c, Colour colour) {
    PixelSet out;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.is(x, y, colour)) out.insert({x, y});
    return out;
}

TEST(Images, SizeLimits) {
    // The largest images are made in the fills' test.
    for (auto [w, h, bpp] :
         {std::array{0, 10, 2}, {8192, 10, 2}, {10, 65536, 2}, {10, -1, 2}, {10, 10, 3}})
        EXPECT_FALSE(Image(ImageCreateWithDepth(w, h, bpp))) << w << "x" << h << "x" << bpp;
}

// Shades stop at a channel's end instead of carrying into the next channel.
TEST(Images, ColourShadesSaturatePerChannel) {
    const struct {
        std::uint32_t colour, lighter, darker;
    } cases[] = {{0xE01040, 0xFF4070, 0xB00010},
                 {0x01C0C0C0, 0xF0F0F0, 0x909090}};  // the word's top byte is no channel
    for (auto [colour, lighter, darker] : cases) {
        EXPECT_EQ(Colour{colour}.Lighter(0x30), Colour{lighter}) << std::hex << colour;
        EXPECT_EQ(Colour{colour}.Darker(0x30), Colour{darker}) << std::hex << colour;
    }
}

// A segment, circle, disc, image or one-bit picture clipped by the target's edges must light
// exactly the pixels that the whole one lights on a larger image; otherwise figures jitter as they
// move.
TEST(Clipping, KeepsTheUnclippedPixels) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-60, 160), radius(1, 80);
    const std::uint16_t patterns[] = {0xFFFF, 0xF0F0, 0x8001, 0xCCCC};
    Image stamp{ImageCreateWithDepth(10, 8, 2, Red)};
    ImageHandle stampHandle = stamp.get();
    RasterLine(&stampHandle, 2, 0, 9, 5, MaskColour, LineKind::Segment);
    const std::uint8_t bits[] = {0xF3, 0x5A, 0x81, 0x7E, 0x3C, 0xC3};
    for (int i = 0; i < 600; ++i) {
        const double x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        const double r = radius(rng);
        const std::uint16_t style = patterns[rng() % 4];
        Canvas big(400, 400), small(100, 100);
        for (auto [c, d] : {std::pair{&big, 150.0}, {&small, 0.0}}) {
            switch (i % 5) {
                case 0:
                    RasterLine(c->target(), x1 + d, y1 + d, x2 + d, y2 + d, Black,
                               LineKind::Segment, style);
                    break;
                case 1:
                    RasterArc(c->target(), x1 + d, y1 + d, r, Black, 0, FullTurn, false);
                    break;
                case 2:
                    RasterArc(c->target(), x1 + d, y1 + d, r, Black, 0, FullTurn, true);
                    break;
                case 3:
                    RasterBlit(c->target(), std::round(x1 / 8) + d, std::round(y1 / 8) + d,
                               stamp.get(), BlitMode::Transparent);
                    break;
                default:
                    RasterBits(c->target(), bits, 2, 12, 3, x1 + d, y1 + d, Black,
                               i % 2 ? Red : MaskColour);
            }
        }
        Canvas window(100, 100);
        RasterGrab(big.target(), 150, 150, 249, 249, window.handle);
        ASSERT_TRUE(test::SamePicture(small, window))
            << i % 5 << ": " << x1 << "," << y1 << " - " << x2 << "," << y2 << " r " << r
            << " style " << style;
    }
}

// Crossings of parallel lines land about 1e280 pixels away and non-finite values occur;
// none of them may reach a pixel index unchecked, and lines from infinity still clip. The
// sheets hold far lines' slopes and huge circles through the target.
TEST(FarCoordinates, NonFiniteValuesDrawNothingOrClip) {
    Canvas c(50, 50);
    for (double v : {NaN, Inf, -Inf, 1e280, -1e308, 3e38, -3e38}) {
        RasterLine(c.target(), v, 10, 20, 20, Black, LineKind::Segment);
        RasterLine(c.target(), NaN, v, v, NaN, Black, LineKind::Box);
        RasterArc(c.target(), v, 25, 10, Black, 0, FullTurn, true);
        RasterArc(c.target(), 25, 25, v, Black, 0, FullTurn, false);
        RasterArc(c.target(), 25, 25, 10, Black, v, 1, false);
        RasterBlit(c.target(), v, 3, c.handle, BlitMode::Copy);
        RasterGrab(c.target(), v, 0, 10, 10, c.handle);
    }
    Canvas d(200, 200);
    RasterLine(d.target(), NaN, 10, 20, 20, Black, LineKind::Segment);
    RasterArc(d.target(), 25, 25, NaN, Black, 0, FullTurn, true);
    RasterArc(d.target(), 100, 100, 1e12, Black, 0, FullTurn, false);  // a ring around it all
    EXPECT_EQ(d.count(Black), 0);
    RasterLine(d.target(), 1e308, 120, -1e308, 120, Black, LineKind::Segment);
    RasterLine(d.target(), 10, 30, Inf, 30, Black, LineKind::Segment);
    EXPECT_EQ(d.count(Black), 200 + 190);
    for (int x = 0; x < 200; ++x) ASSERT_TRUE(d.is(x, 120, Black));
}

// The primitives placed at a point (pixel, one-bit row, flood fill seed) round it as pixels
// are rounded (halves away from zero) and clip at every edge, on either axis; far, infinite
// and NaN points draw nothing.
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
            EXPECT_EQ(PixelsOf(pixel, Red), one) << at << (vertical ? " down" : " across");
            EXPECT_EQ(PixelsOf(bits, Red), three) << at << (vertical ? " down" : " across");
            EXPECT_EQ(fill.count(Red), one.empty() ? 0 : 100) << at;
        }
    }
}

// The outline lies on the radius and holds a flood fill in, and the filled disc is exactly
// the outline with the inside the fill reaches: fills of circles and sectors rely on both.
TEST(Circles, OutlineIsClosedAndDiscCoversItExactly) {
    for (double r = 0.2; r < 45; r += 0.37) {
        Canvas outline(100, 100), disc(100, 100);
        RasterArc(outline.target(), 50, 50, r, Red, 0, FullTurn, false);
        for (auto [x, y] : PixelsOf(outline, Red)) ASSERT_NEAR(std::hypot(x - 50, y - 50), r, 0.75);
        RasterFloodFill(outline.target(), 50, 50, Red);
        EXPECT_TRUE(outline.is(0, 0, White)) << "fill leaked out of radius " << r;
        RasterArc(disc.target(), 50, 50, r, Red, 0, FullTurn, true);
        ASSERT_EQ(PixelsOf(disc, Red), PixelsOf(outline, Red)) << "radius " << r;
    }
    // The double value of 2 pi asks for the full circle as well.
    Canvas full(100, 100), twoPi(100, 100);
    RasterArc(full.target(), 50, 50, 20, Black, 0, FullTurn, false);
    RasterArc(twoPi.target(), 50, 50, 20, Black, 0, 2 * std::numbers::pi, false);
    EXPECT_TRUE(test::SamePicture(full, twoPi));
}

TEST(Targets, PixelFormatsOneAndFourBytesAndBlitsBetweenThem) {
    Canvas one(10, 10, Colour{3}, 1);
    RasterLine(one.target(), 0, 0, 9, 9, Colour{0x1234AB}, LineKind::Segment);
    EXPECT_EQ(one.at(5, 5), Colour{0xAB}) << "the low byte is a palette index";
    // The colour is converted once for every primitive; the flood fill compares whole pixels.
    Canvas four(10, 10, White, 4);
    RasterFloodFill(four.target(), 0, 0, Colour{0x123456});
    EXPECT_EQ(four.count(Colour{0x123456}), 100);
    // Blits between the formats convert each pixel's colour.
    Image green16{ImageCreateWithDepth(2, 2, 2, Colour{0x00FF00})};
    Image blue32{ImageCreateWithDepth(2, 2, 4, Colour{0x0000FF})};
    RasterBlit(four.target(), 1, 1, green16.get(), BlitMode::Copy);
    RasterBlit(one.target(), 1, 1, blue32.get(), BlitMode::Copy);
    EXPECT_EQ(four.at(2, 2), Colour{0x00FF00});
    EXPECT_EQ(one.at(2, 2), Colour{0xFF});
    // Alpha blends each 8-bit channel of a deep image, negative differences truncated toward
    // zero; the 16-bit blend is in the approved sheet.
    RasterBlit(four.target(), 5, 5, blue32.get(), BlitMode::Alpha, 51);
    EXPECT_EQ(four.at(5, 5), Colour{0x0F2A77});
}

// One picture of every primitive, checked against the approved copy.
TEST(Pictures, PrimitivesSheet) {
    Canvas c(320, 300);
    for (int i = 0; i < 12; ++i) {
        const double a = i * std::numbers::pi / 6;
        RasterLine(c.target(), 60, 60, 60 + 50 * std::cos(a), 60 - 50 * std::sin(a),
                   Colour{0x0000C0u + i * 0x100000u}, LineKind::Segment, i % 2 ? 0xFFFF : 0xF0F0);
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
    // Below: a random maze copied in before and after a flood fill through it; a quarter from -0
    // closed by both radii and filled; a box given by its corners in reverse; a filled box across
    // the whole width from far corners; a grabbed piece of the sheet, and a grab at the corner that
    // keeps the transparent colour where nothing lies behind it.
    Canvas maze(61, 47);
    std::mt19937 rng(5);
    for (int y = 0; y < 47; ++y)
        for (int x = 0; x < 61; ++x)
            if (const auto roll = rng() % 20; roll < 8) {
                RasterPixel(maze.target(), x, y, roll < 5 ? Red : Black);  // black does not bound
            }
    RasterPixel(maze.target(), 30, 23, White);
    RasterBlit(c.target(), 2, 205, maze.handle, BlitMode::Copy);
    RasterFloodFill(maze.target(), 30, 23, Red);
    RasterBlit(c.target(), 66, 205, maze.handle, BlitMode::Copy);
    RasterArc(c.target(), 135, 250, 30, Red, -0.0, -std::numbers::pi / 2, false);
    RasterFloodFill(c.target(), 145, 240, Red);
    RasterLine(c.target(), 205, 280, 175, 210, Colour{0x008000}, LineKind::Box);
    RasterLine(c.target(), -1e300, 292, 1e300, 295, Colour{0x4080FF}, LineKind::FilledBox);
    Image piece{ImageCreateWithDepth(50, 50, 2)}, corner{ImageCreateWithDepth(4, 4, 2)};
    RasterGrab(c.target(), 260, 10, 309, 59, piece.get());
    RasterGrab(c.target(), -2, -2, 1, 1, corner.get());
    RasterBlit(c.target(), 215, 220, piece.get(), BlitMode::Copy);
    RasterBlit(c.target(), 280, 220, corner.get(), BlitMode::Copy);
    EXPECT_TRUE(test::MatchesApproved("raster_primitives", c.handle));
}

}  // namespace
}  // namespace zir
