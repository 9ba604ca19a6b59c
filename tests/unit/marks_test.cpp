#include "draw/marks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "draw/figures.h"
#include "draw_canvas.h"
#include "geometry_records.h"
#include "picture_check.h"

namespace zir {
namespace {

using test::Blue;
using test::Canvas;
using test::Red;
using test::White;

constexpr double Deg = std::numbers::pi / 180;

Point At(double x, double y, Colour colour = Red) {
    return Point{x, y, colour.Value(), 6, 0};
}

Line Through(double x, double y, double angle, Colour colour = Red) {
    return Line{x, y, 100 * std::cos(angle), -100 * std::sin(angle), colour.Value(), SolidStyle, 1};
}

TEST(LengthTexts, WholePixelsOrUnitsWithTwoDecimals) {
    const struct {
        double length;
        std::int32_t unit;
        const char* text;
    } cases[] = {{100.7, 0, "100"},           {-100.7, 0, "-101"}, {-0.0, 0, "0"},   {0.4, -7, "0"},
                 {100.7, 40, "2.52"},         {80, 40, "2"},       {-0.001, 2, "0"},  // no "-0"
                 {123456789, 2, "61728394.5"}};  // no thousands separator
    for (const auto& k : cases) EXPECT_EQ(LengthText(k.length, k.unit), k.text) << k.length;
    EXPECT_EQ(LengthText(1e300, 0).size(), 301u);
}

// Angle marks between a horizontal line and a second one at each angle, in each mode: the
// arc in the mode's quarter with its square when the angle is right, reduced below a half
// turn in modes under 4, and the number, rounded down, on the bisector. Below them point and
// segment labels whose places round halves to even, and a segment at exactly 45 degrees,
// which counts as flat.
TEST(Marks, AngleModesSheet) {
    const Font font = test::LoadTestFont("sans12");
    Canvas sheet(600, 640);
    const double angles[] = {60, 90, 90 - 1e-6, 270, 300};
    for (int row = 0; row < 5; ++row) {
        for (int mode = 0; mode < 5; ++mode) {
            const double x = 60 + 120 * mode, y = 60 + 110 * row;
            const Line l1 = Through(x, y, 0), l2 = Through(x, y, angles[row] * Deg, Blue);
            for (double angle : {0.0, angles[row] * Deg}) {
                RasterLine(sheet.target(), x - 48 * std::cos(angle), y + 48 * std::sin(angle),
                           x + 48 * std::cos(angle), y - 48 * std::sin(angle), Colour{0xC0C0C0},
                           LineKind::Segment);
            }
            EXPECT_EQ(MarkAndNumberAngle(sheet.target(), l1, l2, "w", font, mode, 36), 0);
        }
    }
    MarkPoint(sheet.target(), At(40, 600.5), "P", font, 0);
    MarkLine(sheet.target(), At(100, 570), At(150, 620), "a", font, 0);
    MarkLine(sheet.target(), At(200, 580, Blue), At(303, 580), "b", font, 1);
    MarkLine(sheet.target(), At(340, 580), At(341, 630), "c", font, 0);
    MarkLine(sheet.target(), At(420, 580), At(421, 630), "d", font, 1);
    EXPECT_TRUE(test::MatchesApproved("marks_sheet", sheet.handle));
}

// A label stands centred on its place by the font's line height (glyph 0), or for an angle's
// label, on the point 0.65 of the radius out along the bisector by the height of glyph 33:
// also in a caller's font whose glyphs 0 and 33 are 300 pixels high and the rest missing.
TEST(Marks, LabelsCentredByTheGlyphsHeight) {
    std::vector<std::uint8_t> glyph = {9, 0, 300 & 0xFF, 300 >> 8};  // one pixel wide, all ink
    glyph.resize(4 + 300, 0x80);
    Font tall;
    tall.glyphs.insert(tall.glyphs.end(), glyph.begin(), glyph.end());
    tall.glyphs.insert(tall.glyphs.end(), glyph.begin(), glyph.end());
    tall.offsets.assign(256, 2 * 304);
    std::fill(tall.offsets.begin(), tall.offsets.begin() + 33, 304);
    for (auto [font, h] : {std::pair{test::LoadTestFont("sans16"), 16}, {tall, 300}}) {
        const Line l1 = Through(200, 400, 0), l2 = Through(200, 400, 60 * Deg, Blue);
        const Point p = At(100, 600, Blue);
        Canvas got(400, 800), want(400, 800);
        EXPECT_EQ(MarkAngle(got.target(), l1, l2, "!", font, 0, 50), 0);
        MarkPoint(got.target(), p, "!", font, 0);
        RasterArc(want.target(), 200, 400, 50, Red, 0, 60 * Deg, false);
        DrawPoint(want.target(), p);
        const double x = 200 + std::cos(30 * Deg) * 50 * 0.65,
                     y = 400 - std::sin(30 * Deg) * 50 * 0.65;
        const int w = StringWidth("!", font);
        PrintText(want.target(), "!", font, static_cast<int>(std::nearbyint(x - (w >> 1))),
                  static_cast<int>(std::nearbyint(y - (h >> 1))), Red, MaskColour);
        PrintText(want.target(), "!", font, 100 - (w >> 1), 600 - (h >> 1), Blue, MaskColour);
        EXPECT_TRUE(test::SamePicture(got, want)) << h;
    }
}

TEST(Marks, UndefinedObjectsAndFarCrossingsDrawNothing) {
    const Font font = test::LoadTestFont("sans16");
    Canvas c(100, 100);
    const Point p = At(50, 50), u = test::Undef;
    const Line l = Through(50, 50, 0);
    const DrawTarget t = c.target();
    EXPECT_EQ(MarkAndNumberAnglePt(t, p, p, u, "a", font, 20), UndefinedResult);
    // Parallel lines cross far away: nothing to see, and nothing goes wrong.
    EXPECT_EQ(MarkAndNumberAngle(t, l, Through(50, 60, 0), "a", font, 0, 20), 0);
    EXPECT_EQ(MarkAndNumberLine(t, At(1e280, 0), At(-1e280, 0), "a", font, 0, 0), 0);
    EXPECT_EQ(c.count(White), 100 * 100);
}

}  // namespace
}  // namespace zir
