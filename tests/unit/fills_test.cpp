#include "draw/fills.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw_canvas.h"
#include "geometry_records.h"
#include "zirkula.h"

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

TEST(FillTriangle, OpaqueWithAlphaMinusOne) {
    Canvas c(640, 460);
    std::int32_t alpha = -1;
    EXPECT_EQ(FillTriangle(c.target(), At(10, 10), At(110, 10), At(10, 60), Red, alpha), 0);
    EXPECT_EQ(alpha, 255) << "written back";
    EXPECT_TRUE(ShowsShape(c, Red, White, TriangleDistance(At(10, 10), At(110, 10), At(10, 60))));
    // The outline belongs to the fill: all three corners and the pixels along the edges.
    EXPECT_TRUE(c.is(10, 10, Red) && c.is(110, 10, Red) && c.is(10, 60, Red));
    EXPECT_TRUE(c.is(60, 35, Red)) << "on the slanted edge";
    EXPECT_FALSE(c.is(111, 10, Red) || c.is(9, 10, Red) || c.is(10, 61, Red));
}

TEST(FillTriangle, BlendsWithTheAlpha) {
    Canvas c(100, 100);
    Fill(c, At(10, 10), At(90, 10), At(10, 90), 128);
    // What the blit gives one red pixel over white with that alpha.
    Canvas want(1, 1);
    Image red{ImageCreateWithDepth(1, 1, 2, Red)};
    RasterBlit(want.target(), 0, 0, red.get(), BlitMode::Alpha, 128);
    const Colour blended = ImageColourAt(want.handle, 0, 0);
    EXPECT_NE(blended, ColourFrom565(Rgb565(Red)));
    EXPECT_EQ(ImageColourAt(c.handle, 30, 30), blended);
    EXPECT_EQ(ImageColourAt(c.handle, 10, 10), blended) << "the outline is blended the same";
    EXPECT_TRUE(c.is(80, 80, White));

    Canvas none(100, 100);
    Fill(none, At(10, 10), At(90, 10), At(10, 90), 0);
    EXPECT_EQ(none.count(White), 100 * 100);
}

TEST(FillTriangle, KeepsTheTargetsPixelFormat) {
    Canvas deep(60, 60, White, 4);
    std::int32_t alpha = 255;
    FillTriangle(deep.target(), At(5, 5), At(55, 5), At(5, 55), Colour{0x123456}, alpha);
    EXPECT_EQ(ImageColourAt(deep.handle, 15, 15), Colour{0x123456}) << "no loss through 16 bits";
    Canvas palette(60, 60, Colour{7}, 1);
    FillTriangle(palette.target(), At(5, 5), At(55, 5), At(5, 55), Colour{0x42}, alpha);
    EXPECT_EQ(ImageColourAt(palette.handle, 15, 15), Colour{0x42});
    EXPECT_EQ(ImageColourAt(palette.handle, 50, 50), Colour{7});
}

TEST(FillTriangle, LargeTrianglesFillOnlyTheirVisiblePart) {
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
    };
    for (const Case& k : cases) {
        Canvas c(640, 460);
        EXPECT_EQ(Fill(c, k.a, k.b, k.c), 0);
        EXPECT_TRUE(ShowsShape(c, Red, White, TriangleDistance(k.a, k.b, k.c))) << k.name;
        const int red = c.count(Red);
        if (k.filled >= 0) {
            EXPECT_EQ(red, k.filled * 640 * 460) << k.name;
        } else {
            EXPECT_GT(red, 1000) << k.name;
        }
    }
}

TEST(FillTriangle, ThinAndDegenerateTrianglesStayInside) {
    struct Case {
        Point a, b, c;
    };
    const Case cases[] = {
        {At(10, 10), At(200, 12), At(400, 14.5)},  // nearly a line
        {At(10, 10), At(11, 10), At(10, 11)},      // a pixel or two
        {At(50, 50), At(50, 50), At(50, 50)},      // a point
        {At(10, 10), At(600, 11), At(10, 12)},     // a sliver
        {At(-30, -30), At(60, 10), At(10, 40)},    // partly off the target
    };
    for (const Case& k : cases) {
        Canvas c(640, 460);
        Fill(c, k.a, k.b, k.c);
        EXPECT_TRUE(ShowsShape(c, Red, White, TriangleDistance(k.a, k.b, k.c))) << k.b.x;
        EXPECT_GT(c.count(Red), 0);
    }
    // A triangle of a few pixels is filled inside its outline.
    Canvas tiny(20, 20);
    Fill(tiny, At(2, 2), At(8, 2), At(2, 8));
    EXPECT_TRUE(tiny.is(4, 4, Red));
}

TEST(FillTriangle, AsWideAsTheWidestImage) {
    // Its image with a free ring around it would exceed the image limits; it is cut instead.
    Canvas c(ImageMaxWidth, 12);
    const Point a = At(0, 1), b = At(ImageMaxWidth - 1, 1), p = At(0, 11);
    Fill(c, a, b, p);
    EXPECT_TRUE(ShowsShape(c, Red, White, TriangleDistance(a, b, p)));
    EXPECT_TRUE(c.is(100, 3, Red));
}

TEST(FillCircle, DiscsAndSectors) {
    Canvas disc(200, 200);
    Circle full{100, 100, 30, 0, 0, Blue.Value(), 1};
    EXPECT_EQ(FillCircle(disc.target(), full, Red, 255), 0);
    EXPECT_TRUE(ShowsShape(disc, Red, White,
                           [](double x, double y) { return 30 - std::hypot(x - 100, y - 100); }));

    // The sector from 0 to pi/2 is the quarter up and to the right, closed by both radii.
    Canvas quarter(200, 200);
    Circle sector{100, 100, 30, 0, std::numbers::pi / 2, Blue.Value(), 1};
    FillCircle(quarter.target(), sector, Red, 255);
    EXPECT_TRUE(ShowsShape(quarter, Red, White, [](double x, double y) {
        return std::min({30 - std::hypot(x - 100, y - 100), x - 100, 100 - y});
    }));
    EXPECT_TRUE(quarter.is(110, 90, Red));
    EXPECT_TRUE(quarter.is(125, 100, Red) && quarter.is(100, 75, Red)) << "the two radii";

    // Through angle 0, from 300 to 60 degrees: the right-hand third.
    Canvas wrap(200, 200);
    Circle slice{100, 100, 30, 5 * std::numbers::pi / 3, std::numbers::pi / 3, Blue.Value(), 1};
    FillCircle(wrap.target(), slice, Red, 255);
    EXPECT_TRUE(wrap.is(120, 100, Red) && !wrap.is(80, 100, Red) && !wrap.is(100, 80, Red));

    // A sector above a half turn: everything but the quarter down and to the right.
    Canvas wide(200, 200);
    Circle most{100, 100, 30, 0, 3 * std::numbers::pi / 2, Blue.Value(), 1};
    FillCircle(wide.target(), most, Red, 255);
    EXPECT_TRUE(ShowsShape(wide, Red, White, [](double x, double y) {
        return std::min(30 - std::hypot(x - 100, y - 100), std::max(100 - x, 100 - y));
    }));
    EXPECT_TRUE(wide.is(80, 120, Red) && !wide.is(115, 115, Red));
}

TEST(FillCircle, NegativeAnglesAreNormalisedInTheRecord) {
    Canvas c(200, 200);
    Circle sector{100, 100, 30, -std::numbers::pi / 2, 0, Blue.Value(), 1};
    FillCircle(c.target(), sector, Red, 255);
    EXPECT_NEAR(sector.start, 3 * std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(sector.end, 0);
    EXPECT_TRUE(c.is(110, 110, Red) && !c.is(90, 90, Red));
}

TEST(FillCircle, HugeCirclesAreCutToTheTarget) {
    Canvas c(640, 460);
    Circle big{320, 100230, 100000, 0, 0, Blue.Value(), 1};  // its top at y = 230
    FillCircle(c.target(), big, Red, 255);
    EXPECT_TRUE(c.is(320, 300, Red) && c.is(0, 459, Red) && !c.is(320, 200, Red));
    EXPECT_TRUE(ShowsShape(c, Red, White, [](double x, double y) {
        return 100000 - std::hypot(x - 320, y - 100230);
    }));

    Canvas all(640, 460);
    Circle around{320, 230, 5000, 0, 0, Blue.Value(), 1};
    FillCircle(all.target(), around, Red, 255);
    EXPECT_EQ(all.count(Red), 640 * 460);

    Canvas off(640, 460);
    Circle beside{5000, 230, 4000, 0, 0, Blue.Value(), 1};
    Circle nothing{100, 100, -5, 0, 0, Blue.Value(), 1};
    FillCircle(off.target(), beside, Red, 255);
    FillCircle(off.target(), nothing, Red, 255);
    EXPECT_EQ(off.count(Red), 0);
}

TEST(FillRect, RectanglesInAnyDirection) {
    struct Case {
        Point a, b;
        double height;
    };
    const Case cases[] = {
        {At(10, 10), At(60, 10), 30},      // below AB on the screen
        {At(100, 100), At(130, 160), 40},  // B below A
        {At(100, 100), At(130, 160), -40},
        {At(300, 80), At(250, 50), 25},
    };
    for (const Case& k : cases) {
        Canvas c(400, 300);
        EXPECT_EQ(FillRect(c.target(), k.a, k.b, k.height, Red, 255), 0);
        Point corner{}, far{};
        RectOver(k.a, k.b, k.height, corner, far);
        // Signed distance to the rectangle: the tighter of its two slabs.
        const double dx = k.b.x - k.a.x, dy = k.b.y - k.a.y, length = std::hypot(dx, dy);
        const double h = std::fabs(k.height), sign = k.height < 0 ? -1 : 1;
        const Point a = k.a;
        EXPECT_TRUE(ShowsShape(c, Red, White, [&](double x, double y) {
            const double along = ((x - a.x) * dx + (y - a.y) * dy) / length;
            const double across = sign * ((x - a.x) * -dy + (y - a.y) * dx) / length;
            return std::min({along, length - along, across, h - across});
        })) << k.b.x;
        EXPECT_TRUE(
            c.is(static_cast<int>(std::lround(far.x)), static_cast<int>(std::lround(far.y)), Red));
    }
    Canvas none(100, 100);
    EXPECT_EQ(FillRect(none.target(), At(10, 10), At(10, 10), 20, Red, 255), 0);
    EXPECT_EQ(FillRect(none.target(), At(10, 10), At(50, 10), 0, Red, 255), 0);
    EXPECT_EQ(none.count(Red), 41) << "a rectangle of no height is its side";
}

TEST(Fills, UndefinedObjectsDrawNothing) {
    Canvas c(100, 100);
    std::int32_t alpha = -1;
    EXPECT_EQ(FillTriangle(c.target(), At(1, 1), test::Undef, At(50, 50), Red, alpha),
              UndefinedResult);
    Circle undefined{UndefinedMarker, 1, 10, 0, 0, Blue.Value(), 1};
    EXPECT_EQ(FillCircle(c.target(), undefined, Red, 255), UndefinedResult);
    EXPECT_EQ(FillRect(c.target(), test::Undef, At(50, 50), 10, Red, 255), UndefinedResult);
    Circle nan{test::Nan, 1, 10, 0, 0, Blue.Value(), 1};
    EXPECT_EQ(FillCircle(c.target(), nan, Red, 255), 0);
    EXPECT_EQ(Fill(c, At(test::Nan, 1), At(5, 5), At(50, 50)), 0);
    EXPECT_EQ(c.count(White), 100 * 100);
}

TEST(Fills, ExportedProcedures) {
    Canvas c(100, 100);
    ZirImageHandle handle = c.handle;
    const ZirPoint a = At(10, 10), b = At(90, 10), p = At(10, 90);
    const std::uint32_t colour = Red.Value();
    std::int32_t alpha = -1;
    EXPECT_EQ(ZIRD_FILLTRIANGLE(&handle, &a, &b, &p, &colour, &alpha), 0);
    EXPECT_EQ(alpha, 255);
    EXPECT_TRUE(c.is(30, 30, Red));
    ZirCircle circle{70, 70, 10, -1, 1, Blue.Value(), 1};
    const std::int32_t opaque = 255;
    EXPECT_EQ(ZIRD_FILLCIRCLE(&handle, &circle, &colour, &opaque), 0);
    EXPECT_NEAR(circle.start, 2 * std::numbers::pi - 1, 1e-12);
    EXPECT_TRUE(c.is(75, 70, Red));
    const double height = 5;
    EXPECT_EQ(ZIRD_FILLRECT(&handle, &a, nullptr, &height, &colour, &opaque), UndefinedResult);
    EXPECT_EQ(ZIRD_FILLCIRCLE(&handle, nullptr, &colour, &opaque), UndefinedResult);
}

}  // namespace
}  // namespace zir
