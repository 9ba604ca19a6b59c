#include "draw/fills.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw_canvas.h"
#include "geometry_records.h"
#include "picture_check.h"

namespace zir {
namespace {

using test::Blue;
using test::Canvas;
using test::Red;
using test::ShowsShape;
using test::White;

Point At(double x, double y) {
    return Point{x, y, Blue.Value(), 4, 0};
}

double SegmentDistance(Point p, Point q, double x, double y) {
    const double dx = q.x - p.x, dy = q.y - p.y, squared = dx * dx + dy * dy;
    const double t =
        squared == 0 ? 0 : std::clamp(((x - p.x) * dx + (y - p.y) * dy) / squared, 0.0, 1.0);
    return std::hypot(x - p.x - t * dx, y - p.y - t * dy);
}

// Signed distance to the triangle's sides, positive inside: exact inside, never more than
// the true distance outside. A triangle without area has no inside.
auto TriangleDistance(Point a, Point b, Point c) {
    const double turn = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    return [=](double x, double y) {
        if (turn == 0) {
            return -std::min({SegmentDistance(a, b, x, y), SegmentDistance(b, c, x, y),
                              SegmentDistance(c, a, x, y)});
        }
        double d = 1e300;
        for (auto [p, q] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}}) {
            const double length = std::hypot(q.x - p.x, q.y - p.y);
            const double side = ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x)) / length;
            d = std::min(d, turn > 0 ? side : -side);
        }
        return d;
    };
}

std::int32_t Fill(Canvas& c, Point a, Point b, Point p, std::int32_t alpha = 255) {
    return FillTriangle(c.target(), a, b, p, Red, alpha);
}

TEST(FillTriangle, KeepsTheTargetsPixelFormat) {
    Canvas deep(60, 60, White, 4), palette(60, 60, Colour{7}, 1);
    std::int32_t alpha = 255;
    FillTriangle(deep.target(), At(5, 5), At(55, 5), At(5, 55), Colour{0x123456}, alpha);
    EXPECT_EQ(deep.at(15, 15), Colour{0x123456}) << "no loss through 16 bits";
    FillTriangle(palette.target(), At(5, 5), At(55, 5), At(5, 55), Colour{0x42}, alpha);
    EXPECT_EQ(palette.at(15, 15), Colour{0x42});
    EXPECT_EQ(palette.at(50, 50), Colour{7});
}

TEST(FillTriangle, LargeThinAndDegenerateTrianglesFillOnlyTheirInside) {
    struct Case {
        const char* name;
        Point a, b, c;
        int filled;  // -1: some, 0: none, 1: the whole target
    };
    const Case cases[] = {
        {"one vertex inside", At(320, 230), At(-5000, 1000), At(5000, 1000), -1},
        {"inside vertex close to the far edge", At(320, 110), At(-2000, 100), At(2600, 100), -1},
        {"six crossings", At(-200, 50), At(840, 50), At(320, 900), -1},
        {"four crossings, seed inside", At(320, -20), At(-3000, 2000), At(3640, 2000), -1},
        {"four crossings, seed outside", At(320, -100), At(-3000, 2000), At(3640, 2000), -1},
        {"two crossings", At(-1000, 200), At(2000, 200), At(320, 5000), -1},
        {"containing the target", At(-2000, -1000), At(3000, -1000), At(320, 5000), 1},
        {"beside the target", At(1000, 0), At(3000, 100), At(1500, 2000), 0},
        {"beside, one edge's line crossing", At(1000, 100), At(2000, 100), At(1500, -5000), 0},
        {"far away", At(1e6, 1e6), At(3e6, 1e6), At(2e6, 5e6), 0},
        // An edge through two corners of the target is not counted as crossing it.
        {"through two corners", At(-1280, -920), At(1920, 1380), At(-1280, 3000), -1},
        {"nearly a line", At(10, 10), At(200, 12), At(400, 14.5), -1},
        {"a pixel or two", At(10, 10), At(11, 10), At(10, 11), -1},
        {"a point", At(50, 50), At(50, 50), At(50, 50), -1},
        {"one row", At(10, 50), At(300, 50), At(600, 50), -1},
        {"a sliver", At(10, 10), At(600, 11), At(10, 12), -1},
        {"partly off the target", At(-30, -30), At(60, 10), At(10, 40), -1},
        {"a few pixels", At(2, 2), At(8, 2), At(2, 8), -1},
    };
    for (const Case& k : cases) {
        Canvas c(640, 460);
        EXPECT_EQ(Fill(c, k.a, k.b, k.c), 0);
        EXPECT_TRUE(ShowsShape(c, Red, White, TriangleDistance(k.a, k.b, k.c))) << k.name;
        const int red = c.count(Red);
        if (k.filled >= 0) {
            EXPECT_EQ(red, k.filled * 640 * 460) << k.name;
        } else {
            EXPECT_GT(red, 0) << k.name;
        }
    }
    // The outline belongs to the fill.
    Canvas c(120, 70);
    Fill(c, At(10, 10), At(110, 10), At(10, 60));
    EXPECT_TRUE(c.is(10, 10, Red) && c.is(110, 10, Red) && c.is(10, 60, Red) && c.is(60, 35, Red));
    EXPECT_FALSE(c.is(111, 10, Red) || c.is(9, 10, Red) || c.is(10, 61, Red));
    // An image with a free ring around the widest target would exceed the image limits.
    Canvas wide(ImageMaxWidth, 12);
    const Point a = At(0, 1), b = At(ImageMaxWidth - 1, 1), p = At(0, 11);
    Fill(wide, a, b, p);
    EXPECT_TRUE(ShowsShape(wide, Red, White, TriangleDistance(a, b, p)));
    EXPECT_TRUE(wide.is(100, 3, Red));
}

// Sectors of many sizes, spans and directions, thin ones among them, some blended, and a
// quarter checked by its shape.
TEST(Fills, SectorsAndRectanglesSheet) {
    Canvas sheet(600, 440);
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
    // Rectangles on either side of sides in four directions, and one of no height.
    const double sides[][2] = {{40, 0}, {20, 35}, {-20, 35}, {0, 40}};
    for (int k = 0; k < 8; ++k) {
        const double x = 75 * k + 25, y = 385, dx = sides[k % 4][0], dy = sides[k % 4][1];
        const double height = k == 7 ? 0 : k < 4 ? 12 : -12;
        EXPECT_EQ(FillRect(sheet.target(), At(x, y), At(x + dx, y + dy), height, Blue, 255), 0);
    }
    EXPECT_TRUE(test::MatchesApproved("fills_sheet", sheet.handle));

    Canvas quarter(200, 200);
    Circle sector{100, 100, 30, 0, std::numbers::pi / 2, Blue.Value(), 1};
    FillCircle(quarter.target(), sector, Red, 255);
    EXPECT_TRUE(ShowsShape(quarter, Red, White, [](double x, double y) {
        return std::min({30 - std::hypot(x - 100, y - 100), x - 100, 100 - y});
    }));
    EXPECT_TRUE(quarter.is(125, 100, Red) && quarter.is(100, 75, Red)) << "the two radii";
}

TEST(FillCircle, HugeCirclesAreCutToTheTarget) {
    const struct {
        Circle circle;
        int filled;  // -1: some, else the count
    } cases[] = {{Circle{320, 100230, 100000, 0, 0, Blue.Value(), 1}, -1},  // top at y = 230
                 {Circle{320, 230, 5000, 0, 0, Blue.Value(), 1}, 640 * 460},
                 {Circle{5000, 230, 4000, 0, 0, Blue.Value(), 1}, 0},
                 {Circle{100, 100, -5, 0, 0, Blue.Value(), 1}, 0}};
    for (auto [circle, filled] : cases) {
        Canvas c(640, 460);
        FillCircle(c.target(), circle, Red, 255);
        EXPECT_TRUE(ShowsShape(c, Red, White, [&](double x, double y) {
            return circle.r - std::hypot(x - circle.cx, y - circle.cy);
        }));
        if (filled >= 0) {
            EXPECT_EQ(c.count(Red), filled) << circle.r;
        }
    }
}

TEST(Fills, UndefinedObjectsDrawNothing) {
    Canvas c(100, 100);
    std::int32_t alpha = -1;
    Circle undefined{UndefinedMarker, 1, 10, 0, 0, Blue.Value(), 1};
    Circle nan{test::Nan, 1, 10, 0, 0, Blue.Value(), 1};
    EXPECT_EQ(FillTriangle(c.target(), At(1, 1), test::Undef, At(50, 50), Red, alpha),
              UndefinedResult);
    EXPECT_EQ(FillCircle(c.target(), undefined, Red, 255), UndefinedResult);
    EXPECT_EQ(FillRect(c.target(), test::Undef, At(50, 50), 10, Red, 255), UndefinedResult);
    EXPECT_EQ(FillCircle(c.target(), nan, Red, 255), 0);
    EXPECT_EQ(Fill(c, At(test::Nan, 1), At(5, 5), At(50, 50)), 0);
    EXPECT_EQ(c.count(White), 100 * 100);
}

}  // namespace
}  // namespace zir
