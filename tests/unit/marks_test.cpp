#include "draw/marks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>

#include "draw/figures.h"
#include "draw_canvas.h"
#include "geometry_records.h"
#include "zirkula.h"

namespace zir {
namespace {

using test::Blue;
using test::Canvas;
using test::Red;
using test::SamePicture;
using test::White;

constexpr double Deg = std::numbers::pi / 180;

class Marks : public ::testing::Test {
  protected:
    Font font = test::LoadTestFont("sans16");  // 16 pixels high, glyph 0 and glyph 33 alike

    int Width(const std::string& text) const { return StringWidth(text, font); }
    void Label(Canvas& c, const std::string& text, int x, int y, Colour colour) const {
        PrintText(c.target(), text, font, x, y, colour, MaskColour);
    }
};

Point At(double x, double y, Colour colour = Red) {
    return Point{x, y, colour.Value(), 6, 0};
}

Line Through(double x, double y, double angle, Colour colour = Red) {
    return Line{x, y, 100 * std::cos(angle), -100 * std::sin(angle), colour.Value(), SolidStyle, 1};
}

// Whether the arc of radius r around (cx, cy) is drawn near the angle a (screen convention).
bool ArcAt(const Canvas& c, double cx, double cy, double r, double a, Colour colour) {
    const int x = static_cast<int>(std::lround(cx + r * std::cos(a)));
    const int y = static_cast<int>(std::lround(cy - r * std::sin(a)));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (c.is(x + dx, y + dy, colour)) return true;
    return false;
}

TEST_F(Marks, PointLabelsSitWhereTheFlagsSay) {
    const Point p = At(100, 100);
    const int tw = Width("P");
    struct Case {
        std::int32_t flags;
        int x, y;
    };
    const Case cases[] = {
        {0, 100 - (tw >> 1), 100 - 8},  // centred on the point
        {LabelAbove | LabelLeft, 100 - tw - 3, 100 - 16 - 3},
        {LabelBelow | LabelRight, 103, 103},
        {LabelAbove | LabelBelow | LabelLeft | LabelRight, 100 - tw - 3, 100 - 16 - 3},
    };
    for (const Case& k : cases) {
        Canvas got(200, 200), want(200, 200);
        EXPECT_EQ(MarkPoint(got.target(), p, "P", font, k.flags), 0);
        DrawPoint(want.target(), p);
        Label(want, "P", k.x, k.y, Red);
        EXPECT_TRUE(SamePicture(got, want)) << k.flags;
    }
    // Positions are rounded halves to even: 50.5 - 8 = 42.5 gives row 42.
    Canvas got(200, 200), want(200, 200);
    MarkPoint(got.target(), At(100, 50.5), "P", font, 0);
    DrawPoint(want.target(), At(100, 50.5));
    Label(want, "P", 100 - (tw >> 1), 42, Red);
    EXPECT_TRUE(SamePicture(got, want));
}

TEST_F(Marks, SegmentLabelsSitBesideTheMiddle) {
    const int tw = Width("a");
    struct Case {
        Point p1, p2;
        std::int32_t side;
        int x, y;
    };
    const Case cases[] = {
        // Horizontal: centred, 5 pixels above (or below) the middle.
        {At(100, 100), At(200, 100), 0, 150 - (tw >> 1), 100 - 16 - 5},
        {At(100, 100), At(200, 100), 7, 150 - (tw >> 1), 105},
        // Vertical: left (or right) of the middle, half a text height away, top at the middle.
        {At(100, 100), At(100, 200), 0, 100 - tw - 8, 150},
        {At(100, 100), At(100, 200), 1, 108, 150},
        // Exactly 45 degrees counts as flat; middles round halves to even.
        {At(100, 100), At(201, 201), 0, 150 - (tw >> 1), 150 - 16 - 5},
        {At(100, 100), At(203, 100), 0, 152 - (tw >> 1), 100 - 16 - 5},
    };
    for (const Case& k : cases) {
        Canvas got(300, 300), want(300, 300);
        EXPECT_EQ(MarkLine(got.target(), k.p1, k.p2, "a", font, k.side), 0);
        Label(want, "a", k.x, k.y, Red);
        EXPECT_TRUE(SamePicture(got, want)) << k.p2.x << " " << k.side;
    }
    // The label takes the first point's colour.
    Canvas c(300, 300);
    MarkLine(c.target(), At(100, 100, Blue), At(200, 100), "a", font, 0);
    EXPECT_GT(c.count(Blue), 0);
    EXPECT_EQ(c.count(Red), 0);
}

TEST_F(Marks, LengthLabels) {
    const Point p1 = At(100, 200), p2 = At(200.7, 200);  // 100.7 long
    struct Case {
        std::int32_t flags, unit;
        std::string text;
        bool below;
    };
    const Case cases[] = {
        {0, 0, "s=100", false},
        {0, 40, "s=2.52", false},
        {LengthNegated, 0, "s=-101", true},
        {1, 1, "s=100", true},
    };
    for (const Case& k : cases) {
        Canvas got(300, 300), want(300, 300);
        EXPECT_EQ(MarkAndNumberLine(got.target(), p1, p2, "s", font, k.flags, k.unit), 0);
        Label(want, k.text, 150 - (Width(k.text) >> 1), k.below ? 205 : 179, Red);
        EXPECT_TRUE(SamePicture(got, want)) << k.text;
    }
}

TEST(LengthTexts, WholePixelsOrUnitsWithTwoDecimals) {
    EXPECT_EQ(LengthText(100.7, 0), "100");
    EXPECT_EQ(LengthText(100.7, 1), "100");
    EXPECT_EQ(LengthText(-100.7, 0), "-101");
    EXPECT_EQ(LengthText(-0.0, 0), "0");
    EXPECT_EQ(LengthText(0.4, -7), "0");
    EXPECT_EQ(LengthText(100.7, 40), "2.52");
    EXPECT_EQ(LengthText(-100.7, 40), "-2.52");
    EXPECT_EQ(LengthText(90, 40), "2.25");
    EXPECT_EQ(LengthText(100, 40), "2.5");
    EXPECT_EQ(LengthText(80, 40), "2");
    EXPECT_EQ(LengthText(0.001, 2), "0");
    EXPECT_EQ(LengthText(-0.001, 2), "0") << "no minus sign for a value shown as 0";
    EXPECT_EQ(LengthText(123456789, 2), "61728394.5") << "no thousands separator";
    EXPECT_EQ(LengthText(1e300, 0).size(), 301u);
}

TEST_F(Marks, AngleArcAndLabelOnTheBisector) {
    const Line l1 = Through(200, 200, 0), l2 = Through(200, 200, 60 * Deg, Blue);
    Canvas got(400, 400), want(400, 400);
    EXPECT_EQ(MarkAngle(got.target(), l1, l2, "a", font, 0, 50), 0);
    RasterArc(want.target(), 200, 200, 50, Red, 0, 60 * Deg, false);
    // The label centred on the point 0.65 of the radius out along the 30-degree bisector.
    const double x = 200 + std::cos(30 * Deg) * 50 * 0.65, y = 200 - std::sin(30 * Deg) * 50 * 0.65;
    Label(want, "a", static_cast<int>(std::nearbyint(x - (Width("a") >> 1))),
          static_cast<int>(std::nearbyint(y - 8)), Red);
    EXPECT_TRUE(SamePicture(got, want));
}

TEST_F(Marks, ReflexAnglesAreReducedBelowMode4) {
    // Line 2 300 degrees counter-clockwise from line 1.
    const Line l1 = Through(200, 200, 0), l2 = Through(200, 200, 300 * Deg);
    Canvas reduced(400, 400), reflex(400, 400);
    MarkAndNumberAngle(reduced.target(), l1, l2, "w", font, 0, 50);
    MarkAndNumberAngle(reflex.target(), l1, l2, "w", font, 4, 50);
    EXPECT_TRUE(ArcAt(reduced, 200, 200, 50, 100 * Deg, Red));
    EXPECT_FALSE(ArcAt(reduced, 200, 200, 50, 200 * Deg, Red));
    EXPECT_FALSE(ArcAt(reduced, 200, 200, 50, 300 * Deg - 0.2, Red));
    EXPECT_TRUE(ArcAt(reflex, 200, 200, 50, 200 * Deg, Red));
    EXPECT_TRUE(ArcAt(reflex, 200, 200, 50, 290 * Deg, Red));
    EXPECT_FALSE(ArcAt(reflex, 200, 200, 50, 330 * Deg, Red));

    // The numbers: 120 degrees on the 60-degree bisector, 300 on the 150-degree one.
    for (auto [mode, text, middle] : {std::tuple{0, std::string("w=120\xB0"), 60.0},
                                      std::tuple{4, std::string("w=300\xB0"), 150.0}}) {
        Canvas got(400, 400), want(400, 400);
        MarkAndNumberAngle(got.target(), l1, l2, "w", font, mode, 50);
        RasterArc(want.target(), 200, 200, 50, Red, 0, (mode == 0 ? 120 : 300) * Deg, false);
        const double x = 200 + std::cos(middle * Deg) * 32.5,
                     y = 200 - std::sin(middle * Deg) * 32.5;
        Label(want, text, static_cast<int>(std::nearbyint(x - (Width(text) >> 1))),
              static_cast<int>(std::nearbyint(y - 8)), Red);
        EXPECT_TRUE(SamePicture(got, want)) << text;
    }
}

TEST_F(Marks, ModesPickOneOfTheFourAngles) {
    const Line l1 = Through(200, 200, 0), l2 = Through(200, 200, 60 * Deg);
    // The middle of each mode's arc: the angle itself, the two adjacent ones, the opposite.
    const double middles[4] = {30, 120, 210, 300};
    for (int mode = 0; mode < 4; ++mode) {
        Canvas c(400, 400);
        MarkAngle(c.target(), l1, l2, "", font, mode, 50);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(ArcAt(c, 200, 200, 50, middles[k] * Deg, Red), k == mode)
                << "mode " << mode << " at " << middles[k];
        }
    }
}

TEST_F(Marks, RightAngleSquares) {
    const Line right = Through(100, 100, 0), up = Through(100, 100, 90 * Deg);
    // The far corner of the square for each mode: bit 0 turns line 1 round, bit 1 line 2.
    const int corners[4][2] = {{120, 80}, {80, 80}, {120, 120}, {80, 120}};
    for (int mode = 0; mode < 4; ++mode) {
        Canvas c(200, 200);
        EXPECT_EQ(MarkRightAngle(c.target(), right, up, mode, 20), 0);
        const int cx = corners[mode][0], cy = corners[mode][1];
        EXPECT_TRUE(c.is(cx, (cy + 100) / 2, Red) && c.is((cx + 100) / 2, cy, Red)) << mode;
        EXPECT_TRUE(c.is(cx, cy, Red));
        EXPECT_EQ(c.count(Red), 41) << "two sides of 21 pixels sharing the corner";
    }
}

TEST_F(Marks, RightAnglesGetTheSquareAndTheArcInOneQuarter) {
    const Line right = Through(100, 100, 0), up = Through(100, 100, 90 * Deg);
    const Line down = Through(100, 100, 270 * Deg);
    struct Case {
        Line l2;
        std::int32_t mode;
        int squareX, squareY;  // a pixel on the square's side parallel to line 1
        double arcMiddle;
    };
    const Case cases[] = {
        {up, 0, 105, 90, 45},
        {up, 2, 95, 110, 225},     // the opposite angle: both lines turned round
        {down, 0, 105, 90, 45},    // 270 degrees reduced to the quarter towards the reversed line
        {down, 3, 105, 110, 315},  // the adjacent quarter on line 1's side
    };
    for (const Case& k : cases) {
        Canvas c(200, 200);
        MarkAngle(c.target(), right, k.l2, "", font, k.mode, 40);
        EXPECT_TRUE(c.is(k.squareX, k.squareY, Red)) << k.mode << " " << k.arcMiddle;
        EXPECT_TRUE(ArcAt(c, 100, 100, 40, k.arcMiddle * Deg, Red));
        // Nothing of the square in the three other quarters.
        for (int sx : {-1, 1})
            for (int sy : {-1, 1})
                if ((sx > 0) != (k.squareX > 100) || (sy > 0) != (k.squareY > 100)) {
                    EXPECT_FALSE(c.is(100 + 5 * sx, 100 + 10 * sy, Red)) << k.mode;
                }
    }
    // Whole angles stay whole in every mode, whatever the rounding of their arc's ends.
    const Line ten = Through(100, 100, 10 * Deg), seventy = Through(100, 100, 70 * Deg);
    const std::string degrees[4] = {"=60\xB0", "=120\xB0", "=60\xB0", "=120\xB0"};
    for (int mode = 0; mode < 4; ++mode) {
        Canvas got(200, 200), want(200, 200);
        MarkAndNumberAngle(got.target(), ten, seventy, "", font, mode, 60);
        MarkAngle(want.target(), ten, seventy, degrees[mode], font, mode, 60);
        EXPECT_TRUE(SamePicture(got, want)) << mode;
    }

    // A reflex 270-degree arc marks no right angle.
    Canvas reflex(200, 200);
    MarkAngle(reflex.target(), right, down, "", font, 4, 40);
    EXPECT_TRUE(ArcAt(reflex, 100, 100, 40, 180 * Deg, Red));
    EXPECT_FALSE(reflex.is(105, 110, Red) || reflex.is(105, 90, Red));

    // The number of a right angle rounds down: 90 just above, 89 just below.
    for (auto [angle, text] : {std::pair{90 * Deg + 1e-9, std::string("=90\xB0")},
                               std::pair{90 * Deg - 1e-6, std::string("=89\xB0")}}) {
        Canvas got(200, 200), want(200, 200);
        const Line l2 = Through(100, 100, angle);
        MarkAndNumberAngle(got.target(), right, l2, "", font, 0, 60);
        MarkAngle(want.target(), right, l2, text, font, 0, 60);
        EXPECT_TRUE(SamePicture(got, want)) << text;
    }
}

TEST_F(Marks, ThreePointForms) {
    const Point a = At(300, 200), v = At(200, 200, Blue), b = At(200, 100);
    Canvas c(400, 400);
    EXPECT_EQ(MarkAnglePt(c.target(), a, v, b, "x", font, 40), 0);
    EXPECT_TRUE(ArcAt(c, 200, 200, 40, 45 * Deg, Blue)) << "in the vertex's colour";
    EXPECT_TRUE(c.is(210, 195, Blue)) << "a right angle has its square";
    EXPECT_EQ(c.count(Red), 0);

    // From the ray towards b round to the ray towards a is 270 degrees, kept as it is.
    Canvas reflex(400, 400);
    MarkAndNumberAnglePt(reflex.target(), b, v, a, "x", font, 40);
    EXPECT_TRUE(ArcAt(reflex, 200, 200, 40, 180 * Deg, Blue));
    EXPECT_FALSE(ArcAt(reflex, 200, 200, 40, 45 * Deg, Blue));

    Canvas square(400, 400);
    EXPECT_EQ(MarkRightAnglePt(square.target(), a, v, b, 0, 20), 0);
    EXPECT_TRUE(square.is(220, 190, Blue) && square.is(210, 180, Blue));
}

TEST_F(Marks, UndefinedObjectsDrawNothing) {
    Canvas c(100, 100);
    const Point p = At(50, 50);
    const Line l = Through(50, 50, 0);
    EXPECT_EQ(MarkPoint(c.target(), test::Undef, "P", font, 0), UndefinedResult);
    EXPECT_EQ(MarkLine(c.target(), p, test::Undef, "a", font, 0), UndefinedResult);
    EXPECT_EQ(MarkAndNumberLine(c.target(), test::Undef, p, "a", font, 0, 0), UndefinedResult);
    EXPECT_EQ(MarkAngle(c.target(), l, test::UndefLine, "a", font, 0, 20), UndefinedResult);
    EXPECT_EQ(MarkAndNumberAngle(c.target(), test::UndefLine, l, "a", font, 0, 20),
              UndefinedResult);
    EXPECT_EQ(MarkAnglePt(c.target(), p, test::Undef, p, "a", font, 20), UndefinedResult);
    EXPECT_EQ(MarkAndNumberAnglePt(c.target(), p, p, test::Undef, "a", font, 20), UndefinedResult);
    EXPECT_EQ(MarkRightAngle(c.target(), test::UndefLine, l, 0, 20), UndefinedResult);
    EXPECT_EQ(MarkRightAnglePt(c.target(), test::Undef, p, p, 0, 20), UndefinedResult);
    EXPECT_EQ(c.count(White), 100 * 100);

    // Parallel lines cross far away: nothing to see, and nothing goes wrong.
    EXPECT_EQ(MarkAndNumberAngle(c.target(), l, Through(50, 60, 0), "a", font, 0, 20), 0);
    EXPECT_EQ(MarkAndNumberLine(c.target(), At(1e280, 0), At(-1e280, 0), "a", font, 0, 0), 0);
    EXPECT_EQ(c.count(White), 100 * 100);
}

TEST_F(Marks, ExportedProcedures) {
    Canvas c(200, 200);
    ZirImageHandle handle = c.handle;
    ZirByteList glyphs{font.glyphs.data(), static_cast<std::int32_t>(font.glyphs.size())};
    ZirIntList offsets{font.offsets.data(), static_cast<std::int32_t>(font.offsets.size())};
    const ZirPoint a = At(150, 100), v = At(100, 100, Blue), b = At(100, 50);
    const std::int32_t flags = 0, unit = 0, mode = 0;
    const double radius = 30;
    EXPECT_EQ(ZIRD_MARKPOINT(&handle, &v, "V", &glyphs, &offsets, &flags), 0);
    EXPECT_EQ(ZIRD_MARKANDNUMBERLINE(&handle, &a, &b, "s", &glyphs, &offsets, &flags, &unit), 0);
    EXPECT_EQ(ZIRD_MARKANDNUMBERANGLEPT(&handle, &a, &v, &b, "w", &glyphs, &offsets, &radius), 0);
    EXPECT_EQ(ZIRD_MARKRIGHTANGLEPT(&handle, &a, &v, &b, &mode, &radius), 0);
    EXPECT_EQ(ZIRD_MARKLINE(&handle, &a, nullptr, "s", &glyphs, &offsets, &flags), UndefinedResult);
    EXPECT_GT(c.count(Blue), 50);
    EXPECT_GT(c.count(Red), 20);
    // Without a font the labels are empty, the marks still drawn.
    Canvas bare(200, 200);
    handle = bare.handle;
    EXPECT_EQ(ZIRD_MARKANGLEPT(&handle, &a, &v, &b, "w", nullptr, nullptr, &radius), 0);
    EXPECT_GT(bare.count(Blue), 20);
}

}  // namespace
}  // namespace zir
