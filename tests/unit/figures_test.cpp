#include "draw/figures.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "draw_canvas.h"
#include "geometry_records.h"
#include "zirkula.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::Red;
using test::SamePicture;
using test::White;

Line Appearance(Colour colour, std::int16_t width, std::uint16_t style = SolidStyle) {
    return Line{0, 0, 1, 0, colour.Value(), style, width};
}

Point Dot(double x, double y, std::int16_t shape, std::int16_t size = 8) {
    return Point{x, y, Red.Value(), size, shape};
}

TEST(Lines, CrossTheWholeTarget) {
    Canvas c(640, 460);
    Line horizontal{0, 100, 1, 0, Red.Value(), SolidStyle, 1};
    EXPECT_EQ(DrawLine(c.target(), horizontal), 0);
    // Width 1 puts the copy at y - 0.5 = 99.5, which is pixel row 100.
    for (int x = 0; x < 640; ++x) ASSERT_TRUE(c.is(x, 100, Red)) << x;
    EXPECT_EQ(c.count(Red), 640);

    Canvas v(640, 460);
    EXPECT_EQ(DrawLine(v.target(), Line{50, 300, 0, -3, Red.Value(), SolidStyle, 1}), 0);
    for (int y = 0; y < 460; ++y) ASSERT_TRUE(v.is(50, y, Red)) << y;
    EXPECT_EQ(v.count(Red), 460);

    // A slanted line runs from the left edge to the right one through its base point.
    Canvas s(100, 100);
    DrawLine(s.target(), Line{50, 50, 2, 1, Red.Value(), SolidStyle, 1});
    EXPECT_TRUE(s.is(0, 25, Red) || s.is(0, 24, Red));
    EXPECT_TRUE(s.is(99, 74, Red) || s.is(99, 75, Red));
    EXPECT_TRUE(s.is(50, 50, Red) || s.is(50, 49, Red));
}

TEST(Lines, WidthIsDrawnAsOffsetCopies) {
    // Width 2: two copies at y offsets -1 and 0.
    Canvas got(80, 30), want(80, 30);
    DrawSegment(got.target(), test::P(10, 10), test::P(50, 12), Appearance(Red, 2));
    RasterLine(want.target(), 10, 9, 50, 11, Red, LineKind::Segment);
    RasterLine(want.target(), 10, 10, 50, 12, Red, LineKind::Segment);
    EXPECT_TRUE(SamePicture(got, want));

    // Width 3 on a steep segment at x = 10: copies at 8.5, 9.5 and 10.5, pixels 9 to 11.
    Canvas steep(30, 30);
    DrawSegment(steep.target(), test::P(10, 2), test::P(10, 20), Appearance(Red, 3));
    for (int y = 2; y <= 20; ++y) {
        EXPECT_TRUE(steep.is(9, y, Red) && steep.is(10, y, Red) && steep.is(11, y, Red)) << y;
    }
    EXPECT_EQ(steep.count(Red), 3 * 19);

    // The line record's style is the dash mask.
    Canvas dashed(80, 10), dashWant(80, 10);
    DrawSegment(dashed.target(), test::P(0, 5), test::P(79, 5), Appearance(Red, 1, 0xF0F0));
    RasterLine(dashWant.target(), 0, 4.5, 79, 4.5, Red, LineKind::Segment, 0xF0F0);
    EXPECT_TRUE(SamePicture(dashed, dashWant));
    EXPECT_EQ(dashed.count(Red), 40);

    // No width, no line.
    Canvas none(40, 40);
    EXPECT_EQ(DrawSegment(none.target(), test::P(0, 0), test::P(30, 30), Appearance(Red, 0)), 0);
    EXPECT_EQ(DrawLine(none.target(), Line{0, 5, 1, 0, Red.Value(), SolidStyle, -3}), 0);
    EXPECT_EQ(none.count(Red), 0);
}

TEST(Lines, HugeWidthsAndFarLinesStayCheap) {
    Canvas c(64, 48);
    // A width of 32766 covers the target and draws only the copies that reach it.
    DrawLine(c.target(), Line{0, 20, 1, 0, Red.Value(), SolidStyle, 32766});
    EXPECT_EQ(c.count(Red), 64 * 48);
    // An odd width puts its copies on half pixels, which round away from row 0.
    Canvas odd(64, 48);
    DrawLine(odd.target(), Line{0, 20, 1, 0, Red.Value(), SolidStyle, 32767});
    EXPECT_EQ(odd.count(Red), 64 * 47);
    Canvas far(64, 48);
    DrawLine(far.target(), Line{1e280, 1e280, 1, 0, Red.Value(), SolidStyle, 3});
    DrawSegment(far.target(), test::P(-1e9, 10), test::P(1e9, 10), Appearance(Red, 1));
    EXPECT_EQ(far.count(Red), 64) << "only the segment through the target shows";
}

TEST(Circles, WidthIsDrawnAsRingsHalfAPixelApart) {
    Canvas got(100, 100), want(100, 100);
    EXPECT_EQ(DrawCircle(got.target(), Circle{50, 50, 20, 0, 0, Red.Value(), 3}), 0);
    for (double r : {18.5, 19.0, 19.5, 20.0, 20.5}) {
        RasterArc(want.target(), 50, 50, r, Red, 0, FullTurn, false);
    }
    EXPECT_TRUE(SamePicture(got, want));

    Canvas one(100, 100), oneWant(100, 100);
    DrawCircle(one.target(), Circle{50, 50, 20, 0, 0, Red.Value(), 1});
    RasterArc(oneWant.target(), 50, 50, 19.5, Red, 0, FullTurn, false);
    EXPECT_TRUE(SamePicture(one, oneWant));

    Canvas none(100, 100);
    DrawCircle(none.target(), Circle{50, 50, 20, 0, 0, Red.Value(), 0});
    EXPECT_EQ(none.count(Red), 0);
}

TEST(Circles, ArcsRunCounterClockwise) {
    Canvas upper(100, 100);
    DrawCircle(upper.target(), Circle{50, 50, 30, 0, Pi, Red.Value(), 1});
    int below = 0, above = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) (y > 51 ? below : above) += upper.is(x, y, Red);
    EXPECT_EQ(below, 0) << "start 0, end pi is the upper half on the screen";
    EXPECT_GT(above, 80);
    EXPECT_EQ(upper.count(Red), above) << "no radius lines";
    EXPECT_FALSE(upper.is(50, 50, Red));

    // An arc through angle 0: from 300 to 60 degrees, the right-hand side only.
    Canvas wrap(100, 100);
    DrawCircle(wrap.target(), Circle{50, 50, 30, 5 * Pi / 3, Pi / 3, Red.Value(), 1});
    EXPECT_TRUE(wrap.is(80, 50, Red) || wrap.is(79, 50, Red));
    EXPECT_FALSE(wrap.is(20, 50, Red) || wrap.is(21, 50, Red));

    // A negative angle in a record is the same direction, never a radius line.
    Canvas negative(100, 100), positive(100, 100);
    DrawCircle(negative.target(), Circle{50, 50, 30, -Pi / 2, 0.5, Red.Value(), 1});
    DrawCircle(positive.target(), Circle{50, 50, 30, 3 * Pi / 2, 0.5, Red.Value(), 1});
    EXPECT_TRUE(SamePicture(negative, positive));
    EXPECT_FALSE(negative.is(50, 60, Red));
}

TEST(Circles, HugeWidthsAndRadiiFinish) {
    Canvas c(64, 48);
    DrawCircle(c.target(), Circle{32, 24, 10, 0, 0, Red.Value(), 1 << 30});
    EXPECT_GT(c.count(Red), 64 * 48 / 2);
    Canvas far(64, 48);
    DrawCircle(far.target(), Circle{32, 1e9 + 30, 1e9, 0, 0, Red.Value(), 2});
    EXPECT_GT(far.count(Red), 60) << "a huge circle through the target shows as a near-line";
}

TEST(Points, EachShape) {
    struct Case {
        std::int16_t shape;
        std::vector<std::pair<int, int>> set, clear;
    };
    // Points at (20, 20) of size 8 (h = 4).
    const Case cases[] = {
        {0, {{16, 20}, {24, 20}, {20, 16}, {20, 24}}, {{17, 17}, {25, 20}, {20, 25}}},
        {2, {{20, 20}, {23, 20}, {20, 17}}, {{24, 24}, {26, 20}}},
        {3, {{24, 20}, {16, 20}, {20, 24}}, {{20, 20}, {22, 20}}},
        {4, {{16, 16}, {24, 24}, {20, 20}, {16, 24}}, {{15, 20}, {25, 20}}},
        {5, {{16, 16}, {24, 24}, {16, 20}}, {{20, 20}, {18, 18}}},
        {8, {{20, 20}, {28, 16}, {28, 24}}, {{12, 16}, {21, 24}, {16, 20}}},
        {9, {{20, 20}, {12, 16}, {12, 24}}, {{28, 16}, {19, 24}, {24, 20}}},
        {10, {{20, 20}, {16, 28}, {24, 28}}, {{16, 12}, {20, 24}}},
        {11, {{20, 20}, {16, 12}, {24, 12}}, {{16, 28}, {20, 16}}},
    };
    for (const Case& k : cases) {
        Canvas c(40, 40);
        EXPECT_EQ(DrawPoint(c.target(), Dot(20, 20, k.shape)), 0);
        for (auto [x, y] : k.set) EXPECT_TRUE(c.is(x, y, Red)) << k.shape << ": " << x << "," << y;
        for (auto [x, y] : k.clear)
            EXPECT_FALSE(c.is(x, y, Red)) << k.shape << ": " << x << "," << y;
    }
    for (std::int16_t shape : {1, 6, 7, 12, 300, -1, -32768}) {
        Canvas c(40, 40);
        DrawPoint(c.target(), Dot(20, 20, shape));
        EXPECT_EQ(c.count(Red), 1) << shape;
        EXPECT_TRUE(c.is(20, 20, Red)) << shape;
    }
    // Size 7 (h = 3.5): a cross from x - 3.5 to x + 3.5, pixels 17 to 24 (halves away from 0).
    Canvas odd(40, 40);
    DrawPoint(odd.target(), Dot(20, 20, 0, 7));
    EXPECT_TRUE(odd.is(17, 20, Red) && odd.is(24, 20, Red) && !odd.is(16, 20, Red));
    EXPECT_EQ(odd.count(Red), 15);
}

TEST(Points, OutsideTheTargetAreRefused) {
    Canvas c(100, 80);
    EXPECT_EQ(DrawPoint(c.target(), Dot(-0.1, 40, 0)), -1);
    EXPECT_EQ(DrawPoint(c.target(), Dot(40, -0.1, 0)), -1);
    EXPECT_EQ(DrawPoint(c.target(), Dot(100.1, 40, 0)), -1);
    EXPECT_EQ(DrawPoint(c.target(), Dot(40, 80.5, 0)), -1);
    EXPECT_EQ(DrawPoint(c.target(), Dot(test::Nan, 40, 0)), -1);
    EXPECT_EQ(c.count(Red), 0);
    // Exactly on the far edge: drawn, and clipped by the target.
    EXPECT_EQ(DrawPoint(c.target(), Dot(100, 40, 0)), 0);
    EXPECT_TRUE(c.is(99, 40, Red) && c.is(96, 40, Red));
    EXPECT_EQ(DrawPoint(c.target(), Dot(0, 80, 0)), 0);
    EXPECT_TRUE(c.is(0, 79, Red));
}

TEST(Rectangles, StandOnTheirSide) {
    Canvas got(80, 80), want(80, 80);
    const Line look = Appearance(Red, 1);
    // Height 20 on A(10, 10)-B(50, 10): offset (0, 20), so the rectangle lies below AB.
    EXPECT_EQ(DrawRect(got.target(), test::P(10, 10), test::P(50, 10), 20, look), 0);
    for (auto [x1, y1, x2, y2] : {std::array{10, 10, 50, 10}, std::array{10, 10, 10, 30},
                                  std::array{50, 10, 50, 30}, std::array{10, 30, 50, 30}}) {
        RasterLine(want.target(), x1, y1 - 0.5, x2, y2 - 0.5, Red, LineKind::Segment);
    }
    EXPECT_TRUE(SamePicture(got, want));
    EXPECT_TRUE(got.is(30, 30, Red) && !got.is(30, 20, Red));

    // A negative height turns it to the other side; equal points give a single dot.
    Canvas up(80, 80);
    DrawRect(up.target(), test::P(10, 50), test::P(50, 50), -20, look);
    EXPECT_TRUE(up.is(30, 30, Red) && !up.is(30, 70, Red));
    Canvas dot(80, 80);
    EXPECT_EQ(DrawRect(dot.target(), test::P(10, 10), test::P(10, 10), 20, look), 0);
    EXPECT_EQ(dot.count(Red), 1);
}

TEST(Figures, UndefinedObjectsDrawNothing) {
    Canvas c(50, 50);
    const Line look = Appearance(Red, 1);
    EXPECT_EQ(DrawPoint(c.target(), test::Undef), UndefinedResult);
    EXPECT_EQ(DrawLine(c.target(), test::UndefLine), UndefinedResult);
    EXPECT_EQ(DrawSegment(c.target(), test::P(1, 1), test::Undef, look), UndefinedResult);
    EXPECT_EQ(DrawSegment(c.target(), test::Undef, test::P(1, 1), look), UndefinedResult);
    EXPECT_EQ(DrawCircle(c.target(), Circle{UndefinedMarker, 1, 10, 0, 0, Red.Value(), 1}),
              UndefinedResult);
    EXPECT_EQ(DrawRect(c.target(), test::Undef, test::P(20, 20), 5, look), UndefinedResult);
    EXPECT_EQ(c.count(White), 50 * 50);
}

TEST(Figures, ExportedProcedures) {
    Canvas c(50, 50);
    ZirImageHandle handle = c.handle;
    const ZirPoint a = test::P(10, 10, Black.Value(), 4, 4), b = test::P(40, 10, Black.Value());
    const ZirLine look = Appearance(Red, 1);
    const ZirCircle circle{25, 25, 5, 0, 0, Red.Value(), 1};
    const double height = 10;
    EXPECT_EQ(ZIRD_POINT(&handle, &a), 0);
    EXPECT_EQ(ZIRD_LINEP(&handle, &a, &b, &look), 0);
    EXPECT_EQ(ZIRD_CIRCLE(&handle, &circle), 0);
    EXPECT_EQ(ZIRD_RECT(&handle, &a, &b, &height, &look), 0);
    EXPECT_EQ(ZIRD_LINE(&handle, nullptr), UndefinedResult);
    EXPECT_EQ(ZIRD_LINEP(&handle, &a, nullptr, &look), UndefinedResult);
    EXPECT_TRUE(c.is(10, 8, Black) && c.is(25, 10, Red) && c.is(40, 20, Red));
}

}  // namespace
}  // namespace zir
