#include "draw/fills.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw_canvas.h"
#include "geometry_records.h"
#include "picture_check.h"

namespace zir {
namespace {

using test::Blue;
using test::Canvas;
using test::Red;
using test::White;

Point At(double x, double y) {
    return Point{x, y, Blue.Value(), 4, 0};
}

std::int32_t Fill(Canvas& c, Point a, Point b, Point p, std::int32_t alpha = 255) {
    return FillTriangle(c.target(), a, b, p, Red, alpha);
}

// Sectors of many sizes, spans and directions, very thin ones at the right, some blended; below
// them rectangles on either side of sides in four directions and one of no height; then
// triangles and discs on small targets of their own: large ones crossing the target's edges
// in every way, containing it or beside it, thin and degenerate ones, as the cells' notes say.
TEST(Fills, Sheet) {
    Canvas sheet(780, 816, Colour{0xE0E0E0});
    for (int k = 0; k < 60; ++k) {
        const double r = 6 + (k * 7) % 23, start = k * 0.61, span = 0.12 + (k % 10) * 0.6;
        Circle sector{30 + 60.0 * (k % 10),
                      30 + 60.0 * (k / 10),
                      r,
                      std::fmod(start, 2 * Pi),
                      std::fmod(start + span, 2 * Pi),
                      Blue.Value(),
                      1};
        EXPECT_EQ(FillCircle(sheet.target(), sector, k % 3 ? Red : Blue, k % 4 ? 255 : 150), 0);
    }
    // A column of thin sectors, which only a start from their middle fills.
    const int thin[][2] = {{0, 2}, {1, 3}, {2, 2}, {3, 1}, {3, 4}, {4, 2}, {1, 4}, {2, 3}};
    for (int k = 0; k < 8; ++k) {
        const double start = thin[k][0] * 0.27, end = start + 0.04 + thin[k][1] * 0.05;
        Circle sector{690, 30 + 52.0 * k, 20, start, end, Blue.Value(), 1};
        EXPECT_EQ(FillCircle(sheet.target(), sector, Red, 255), 0);
    }
    const double sides[][2] = {{40, 0}, {20, 35}, {-20, 35}, {0, 40}};
    for (int k = 0; k < 8; ++k) {
        const double x = 75 * k + 25, y = 385, dx = sides[k % 4][0], dy = sides[k % 4][1];
        const double height = k == 7 ? 0 : k < 4 ? 12 : -12;
        EXPECT_EQ(FillRect(sheet.target(), At(x, y), At(x + dx, y + dy), height, Blue, 255), 0);
    }
    const Point triangles[][3] = {
        {At(64, 46), At(-1000, 200), At(1000, 200)},         // one vertex inside
        {At(64, 22), At(-400, 20), At(520, 20)},             // inside vertex close to the far edge
        {At(-40, 10), At(168, 10), At(64, 180)},             // six crossings
        {At(64, -4), At(-600, 400), At(728, 400)},           // four crossings, seed inside
        {At(64, -20), At(-600, 400), At(728, 400)},          // four crossings, seed outside
        {At(-200, 40), At(400, 40), At(64, 1000)},           // two crossings
        {At(-400, -200), At(600, -200), At(64, 1000)},       // containing the target
        {At(200, 0), At(600, 20), At(300, 400)},             // beside the target
        {At(200, 20), At(400, 20), At(300, -1000)},          // beside, one edge's line crossing
        {At(1e6, 1e6), At(3e6, 1e6), At(2e6, 5e6)},          // far away
        {At(-256, -184), At(384, 276), At(-256, 600)},       // an edge through two corners
        {At(2, 10), At(60, 12), At(120, 14.5)},              // nearly a line
        {At(10, 10), At(11, 10), At(10, 11)},                // a pixel or two
        {At(50, 50), At(50, 50), At(50, 50)},                // a point
        {At(2, 50), At(60, 50), At(120, 50)},                // one row
        {At(2, 10), At(120, 11), At(2, 12)},                 // a sliver
        {At(-30, -30), At(60, 10), At(10, 40)},              // partly off the target
        {At(2, 2), At(8, 2), At(2, 8)},                      // a few pixels
        {At(-1000, 200), At(1000, 200), At(64, 46)}};        // the last vertex inside
    const Circle discs[] = {{64, 20046, 20000, 0, 0, 0, 1},  // its top at y = 46
                            {64, 46, 1000, 0, 0, 0, 1},      // containing the target
                            {1000, 46, 800, 0, 0, 0, 1},     // beside it
                            {50, 50, -5, 0, 0, 0, 1}};       // no radius
    for (int k = 0; k < 23; ++k) {
        Canvas c(128, 92);
        if (k < 19) {
            EXPECT_EQ(Fill(c, triangles[k][0], triangles[k][1], triangles[k][2]), 0);
        } else {
            Circle disc = discs[k - 19];
            EXPECT_EQ(FillCircle(c.target(), disc, Red, 255), 0);
        }
        RasterBlit(sheet.target(), 130 * (k % 6), 440 + 94 * (k / 6), c.handle, BlitMode::Copy);
    }
    EXPECT_TRUE(test::MatchesApproved("fills_sheet", sheet.handle));
}

// The outline's inclusion is in the sheet.
TEST(FillTriangle, WidestTargetsAndTheTargetsPixelFormatKept) {
    // An image with a free ring around the widest target would exceed the image limits.
    Canvas wide(ImageMaxWidth, 12);
    Fill(wide, At(0, 1), At(ImageMaxWidth - 1, 1), At(0, 11));
    EXPECT_TRUE(wide.is(100, 3, Red) && wide.is(0, 11, Red) &&
                !wide.is(ImageMaxWidth - 1, 11, Red));
    // There the image is cut without a ring, and one row or column may be all of it.
    Canvas row(ImageMaxWidth, 1), column(1, ImageMaxHeight);
    Fill(row, At(-100, 0), At(9000, 0), At(-100, 5));
    Fill(column, At(0, -100), At(0, 70000), At(5, -100));
    EXPECT_TRUE(row.is(100, 0, Red) && column.is(0, 100, Red));

    Canvas deep(60, 60, White, 4), palette(60, 60, Colour{7}, 1);
    std::int32_t alpha = 255;
    FillTriangle(deep.target(), At(5, 5), At(55, 5), At(5, 55), Colour{0x123456}, alpha);
    EXPECT_EQ(deep.at(15, 15), Colour{0x123456}) << "no loss through 16 bits";
    FillTriangle(palette.target(), At(5, 5), At(55, 5), At(5, 55), Colour{0x42}, alpha);
    EXPECT_EQ(palette.at(15, 15), Colour{0x42});
    EXPECT_EQ(palette.at(50, 50), Colour{7});
}

TEST(Fills, UndefinedObjectsDrawNothing) {
    Canvas c(100, 100);
    std::int32_t alpha = -1;
    EXPECT_EQ(FillTriangle(c.target(), At(1, 1), test::Undef, At(50, 50), Red, alpha),
              UndefinedResult);
    EXPECT_EQ(Fill(c, At(test::Nan, 1), At(5, 5), At(50, 50)), 0);
    EXPECT_EQ(c.count(White), 100 * 100);
}

}  // namespace
}  // namespace zir
