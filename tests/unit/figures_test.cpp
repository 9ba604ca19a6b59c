// The figures' shapes, widths and styles are in the approved drawing sheet; here are their
// limits, on small targets of their own copied into a sheet: points off the target or on its
// far edge, unknown shapes (a pixel), an odd size; lines of huge widths (an odd width puts its
// copies on half pixels, which round away from row 0), far lines, a segment through the whole
// target, no width; an arc with a negative start, which is no radius line; a huge width; a
// huge circle through the target, which shows as a near-line.
#include "draw/figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "draw_canvas.h"
#include "geometry_records.h"
#include "picture_check.h"

namespace zir {
namespace {

using test::Canvas;
using test::Red;
using test::White;

Line Look(std::int16_t width) {
    return Line{0, 0, 1, 0, Red.Value(), SolidStyle, width};
}

Point Dot(double x, double y, std::int16_t shape, std::int16_t size = 8) {
    return Point{x, y, Red.Value(), size, shape};
}

TEST(Figures, LimitsSheet) {
    Canvas sheet(370, 190, Colour{0xE0E0E0});
    Canvas points(100, 80);
    const DrawTarget p = points.target();
    const std::int32_t results[] = {
        DrawPoint(p, Dot(-0.1, 40, 0)),      DrawPoint(p, Dot(40, -0.1, 0)),
        DrawPoint(p, Dot(100.1, 40, 0)),     DrawPoint(p, Dot(40, 80.5, 0)),
        DrawPoint(p, Dot(test::Nan, 40, 0)), DrawPoint(p, Dot(100, 40, 0)),
        DrawPoint(p, Dot(0, 80, 0))};
    EXPECT_EQ(std::vector<std::int32_t>(std::begin(results), std::end(results)),
              (std::vector<std::int32_t>{-1, -1, -1, -1, -1, 0, 0}));
    const std::int16_t unknown[] = {1, 6, 7, 12, 300, -1, -32768};
    for (int k = 0; k < 7; ++k) DrawPoint(p, Dot(20 + 6 * k, 20, unknown[k]));
    DrawPoint(p, Dot(50, 60, 0, 7));
    RasterBlit(sheet.target(), 2, 2, points.handle, BlitMode::Copy);

    const Line lines[][2] = {{Line{0, 20, 1, 0, Red.Value(), SolidStyle, 32766}, Look(0)},
                             {Line{0, 20, 1, 0, Red.Value(), SolidStyle, 32767}, Look(0)},
                             {Line{1e280, 1e280, 1, 0, Red.Value(), SolidStyle, 3},
                              Line{0, 5, 1, 0, Red.Value(), SolidStyle, -3}}};
    for (int k = 0; k < 3; ++k) {
        Canvas c(64, 48);
        EXPECT_EQ(DrawLine(c.target(), lines[k][0]), 0);
        EXPECT_EQ(DrawLine(c.target(), lines[k][1]), 0);
        RasterBlit(sheet.target(), 104 + 66 * k, 2, c.handle, BlitMode::Copy);
    }
    Canvas segments(64, 48);
    DrawSegment(segments.target(), test::P(-1e9, 10), test::P(1e9, 10), Look(1));
    DrawSegment(segments.target(), test::P(0, 0), test::P(30, 30), Look(0));
    RasterBlit(sheet.target(), 104, 52, segments.handle, BlitMode::Copy);

    const Circle circles[] = {{50, 50, 30, -Pi / 2, 0.5, Red.Value(), 1},
                              {32, 24, 10, 0, 0, Red.Value(), 1 << 30},
                              {32, 1e9 + 30, 1e9, 0, 0, Red.Value(), 2},
                              {32, 24, 20, 0, 0, Red.Value(), 0}};
    for (int k = 0; k < 4; ++k) {
        Canvas c(k == 0 ? 100 : 64, k == 0 ? 100 : 48);
        EXPECT_EQ(DrawCircle(c.target(), circles[k]), 0);
        RasterBlit(sheet.target(), k == 0 ? 2 : 104 + 66 * k, k == 0 ? 86 : 52, c.handle,
                   BlitMode::Copy);
    }
    EXPECT_TRUE(test::MatchesApproved("figures_limits", sheet.handle));
}

TEST(Figures, UndefinedObjectsDrawNothing) {
    Canvas c(50, 50);
    const DrawTarget t = c.target();
    EXPECT_EQ(DrawSegment(t, test::P(1, 1), test::Undef, Look(1)), UndefinedResult);
    EXPECT_EQ(c.count(White), 50 * 50);
}

}  // namespace
}  // namespace zir
