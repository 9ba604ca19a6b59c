// The figures' shapes, widths and styles are in the approved drawing sheet; here are the
// limits: points off the target, unknown shapes, huge widths and radii, far lines.
#include "draw/figures.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw_canvas.h"
#include "geometry_records.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::Red;
using test::White;

Line Appearance(Colour colour, std::int16_t width, std::uint16_t style = SolidStyle) {
    return Line{0, 0, 1, 0, colour.Value(), style, width};
}

Point Dot(double x, double y, std::int16_t shape, std::int16_t size = 8) {
    return Point{x, y, Red.Value(), size, shape};
}

// A point off the target is refused; one exactly on its far edge is drawn and clipped.
TEST(Points, OutsideTheTargetAreRefusedAndUnknownShapesAreAPixel) {
    const struct {
        double x, y;
        std::int32_t result;
        int redPixels;
    } cases[] = {{-0.1, 40, -1, 0},      {40, -0.1, -1, 0}, {100.1, 40, -1, 0}, {40, 80.5, -1, 0},
                 {test::Nan, 40, -1, 0}, {100, 40, 0, 4},   {0, 80, 0, 4}};  // half an arm of a
                                                                             // cross of size 8
    for (const auto& k : cases) {
        Canvas clipped(100, 80);
        EXPECT_EQ(DrawPoint(clipped.target(), Dot(k.x, k.y, 0)), k.result) << k.x << "," << k.y;
        EXPECT_EQ(clipped.count(Red), k.redPixels) << k.x << "," << k.y;
    }
    for (std::int16_t shape : {1, 6, 7, 12, 300, -1, -32768}) {
        Canvas c(40, 40);
        DrawPoint(c.target(), Dot(20, 20, shape));
        EXPECT_EQ(c.count(Red), 1) << shape;
        EXPECT_TRUE(c.is(20, 20, Red)) << shape;
    }
    // Size 7: a cross from x - 3.5 to x + 3.5, pixels 17 to 24 (halves away from 0).
    Canvas odd(40, 40);
    DrawPoint(odd.target(), Dot(20, 20, 0, 7));
    EXPECT_TRUE(odd.is(17, 20, Red) && odd.is(24, 20, Red) && !odd.is(16, 20, Red));
    EXPECT_EQ(odd.count(Red), 15);
}

TEST(Lines, CrossTheWholeTargetAndHugeWidthsStayCheap) {
    const struct {
        Line line;
        int redPixels;
    } cases[] = {
        {Line{0, 20, 1, 0, Red.Value(), SolidStyle, 1}, 64},  // row 19.5 rounds to 20
        {Line{50, 30, 0, -3, Red.Value(), SolidStyle, 1}, 48},
        {Line{0, 20, 1, 0, Red.Value(), SolidStyle, 32766}, 64 * 48},
        // An odd width puts its copies on half pixels, which round away from row 0.
        {Line{0, 20, 1, 0, Red.Value(), SolidStyle, 32767}, 64 * 47},
        {Line{1e280, 1e280, 1, 0, Red.Value(), SolidStyle, 3}, 0},
        {Line{0, 5, 1, 0, Red.Value(), SolidStyle, -3}, 0},
    };
    for (const auto& k : cases) {
        Canvas c(64, 48);
        EXPECT_EQ(DrawLine(c.target(), k.line), 0);
        EXPECT_EQ(c.count(Red), k.redPixels) << k.line.width;
    }
    Canvas c(64, 48);
    DrawSegment(c.target(), test::P(-1e9, 10), test::P(1e9, 10), Appearance(Red, 1));
    DrawSegment(c.target(), test::P(0, 0), test::P(30, 30), Appearance(Red, 0));
    EXPECT_EQ(c.count(Red), 64);
    EXPECT_TRUE(c.is(5, 10, Red));
}

TEST(Circles, NegativeAnglesHugeWidthsAndRadii) {
    // A negative angle in a record is the same direction, never a radius line.
    Canvas negative(100, 100), positive(100, 100);
    DrawCircle(negative.target(), Circle{50, 50, 30, -Pi / 2, 0.5, Red.Value(), 1});
    DrawCircle(positive.target(), Circle{50, 50, 30, 3 * Pi / 2, 0.5, Red.Value(), 1});
    EXPECT_TRUE(test::SamePicture(negative, positive));
    EXPECT_FALSE(negative.is(50, 60, Red));
    Canvas c(64, 48), far(64, 48);
    DrawCircle(c.target(), Circle{32, 24, 10, 0, 0, Red.Value(), 1 << 30});
    DrawCircle(c.target(), Circle{32, 24, 20, 0, 0, Black.Value(), 0});
    EXPECT_GT(c.count(Red), 64 * 48 / 2);
    EXPECT_EQ(c.count(Black), 0) << "no width, no circle";
    DrawCircle(far.target(), Circle{32, 1e9 + 30, 1e9, 0, 0, Red.Value(), 2});
    EXPECT_GT(far.count(Red), 60) << "a huge circle through the target shows as a near-line";
}

TEST(Figures, UndefinedObjectsDrawNothing) {
    Canvas c(50, 50);
    const Line look = Appearance(Red, 1);
    const DrawTarget t = c.target();
    for (std::int32_t result : {DrawPoint(t, test::Undef), DrawLine(t, test::UndefLine),
                                DrawSegment(t, test::P(1, 1), test::Undef, look),
                                DrawSegment(t, test::Undef, test::P(1, 1), look),
                                DrawCircle(t, Circle{UndefinedMarker, 1, 10, 0, 0, Red.Value(), 1}),
                                DrawRect(t, test::Undef, test::P(20, 20), 5, look)}) {
        EXPECT_EQ(result, UndefinedResult);
    }
    EXPECT_EQ(c.count(White), 50 * 50);
}

}  // namespace
}  // namespace zir
