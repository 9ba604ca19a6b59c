// One sheet with every figure, mark and fill, for a person to look at and as an approved
// picture that catches any change in how they are drawn. Most of it is drawn through the
// exported procedures, from records and font lists as an outside caller passes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>
#include <string>

#include "draw/figures.h"
#include "draw/marks.h"
#include "draw_canvas.h"
#include "picture_check.h"
#include "zirkula.h"

namespace zir {
namespace {

constexpr double Deg = std::numbers::pi / 180;
constexpr Colour Ink{0x101010}, Grey{0x909090}, Red{0xC00000}, Green{0x008000}, Blue{0x0040C0},
    Orange{0xE08000}, Violet{0x8000A0};

Point P(double x, double y, Colour colour = Ink, std::int16_t shape = 0, std::int16_t size = 8) {
    return Point{x, y, colour.Value(), size, shape};
}

Line Look(Colour colour, std::int16_t width = 1, std::uint16_t style = SolidStyle) {
    return Line{0, 0, 1, 0, colour.Value(), style, width};
}

TEST(DrawingSheet, EveryFigureMarkAndFill) {
    test::Canvas sheet(640, 460);
    ZirImageHandle h = sheet.handle;
    const DrawTarget t = sheet.target();
    Font small = test::LoadTestFont("sans12"), greek = test::LoadTestFont("greek16");
    const ZirByteList sg{small.glyphs.data(), static_cast<std::int32_t>(small.glyphs.size())};
    const ZirIntList so{small.offsets.data(), static_cast<std::int32_t>(small.offsets.size())};
    const ZirByteList gg{greek.glyphs.data(), static_cast<std::int32_t>(greek.glyphs.size())};
    const ZirIntList go{greek.offsets.data(), static_cast<std::int32_t>(greek.offsets.size())};
    ZirByteList tg{nullptr, 0};
    ZirIntList to{nullptr, 0};
    const std::string sans16 = std::string(ZIR_RESOURCE_DIR) + "/fonts/sans16.zfn";
    ASSERT_NE(ZIRD_LOADFONT("/no/such/font.zfn", &tg, &to), 0);
    ASSERT_EQ(ZIRD_LOADFONT(sans16.c_str(), &tg, &to), 0);
    const Font text = test::LoadTestFont("sans16");
    const std::int32_t zero = 0, one = 1, forty = 40, below = LabelBelow;

    // Row of point shapes, each named by its code below it.
    const std::int16_t shapes[] = {0, 2, 3, 4, 5, 8, 9, 10, 11, 1};
    for (int k = 0; k < 10; ++k) {
        const Point p = P(30 + 60 * k, 25, k % 2 ? Blue : Red, shapes[k], 12);
        ZIRD_MARKPOINT(&h, &p, std::to_string(shapes[k]).c_str(), &sg, &so, &below);
    }
    MarkPoint(t, P(620, 50, Ink, 2, 5), "P", text, LabelAbove | LabelLeft);

    // Lines: widths 1, 2, 3 and 5, then four dash styles; an infinite line across the sheet.
    const Line across{0, 445, 640, -40, Grey.Value(), 0xCCCC, 1};
    ZIRD_LINE(&h, &across);
    for (int k = 0; k < 4; ++k) {
        const std::int16_t widths[] = {1, 2, 3, 5};
        const Point a = P(15 + 25 * k, 80), b = P(35 + 25 * k, 210);
        const Line look = Look(Ink, widths[k]);
        ZIRD_LINEP(&h, &a, &b, &look);
    }
    const std::uint16_t styles[] = {0xF0F0, 0xFF00, 0xAAAA, 0xE4E4};
    for (int k = 0; k < 4; ++k) {
        DrawSegment(t, P(120, 85 + 12 * k), P(300, 95 + 12 * k), Look(Violet, 1, styles[k]));
    }
    // Circles and arcs: width 1 and 3, the upper half, an arc through angle 0, a rectangle.
    const Circle circles[] = {{150, 175, 22, 0, 0, Blue.Value(), 1},
                              {150, 175, 12, 0, 0, Red.Value(), 3},
                              {210, 185, 22, 0, std::numbers::pi, Green.Value(), 2},
                              {265, 175, 22, 300 * Deg, 60 * Deg, Orange.Value(), 1}};
    for (const Circle& circle : circles) ZIRD_CIRCLE(&h, &circle);
    const Point ra = P(120, 215), rb = P(170, 200);
    const Line thin = Look(Ink, 1);
    const double height = 18;
    ZIRD_RECT(&h, &ra, &rb, &height, &thin);
    DrawRect(t, P(200, 220), P(290, 220), -15, Look(Green, 2, 0xF0F0));

    // Segment marks: a name above and beside, lengths in pixels and in units of 40.
    const Point a = P(340, 100, Red), b = P(460, 100, Blue), c = P(460, 200, Blue);
    const Point d = P(610, 130, Green), e = P(520, 210, Green);
    DrawSegment(t, a, b, Look(Ink));
    DrawSegment(t, b, c, Look(Ink));
    DrawSegment(t, d, e, Look(Ink));
    ZIRD_MARKLINE(&h, &a, &b, "a", &tg, &to, &zero);
    ZIRD_MARKANDNUMBERLINE(&h, &b, &c, "b", &sg, &so, &one, &zero);
    ZIRD_MARKANDNUMBERLINE(&h, &a, &b, "a", &sg, &so, &one, &forty);
    MarkAndNumberLine(t, d, e, "c", small, LengthNegated, 0);
    MarkPoint(t, a, "A", text, LabelLeft);
    MarkPoint(t, b, "B", text, LabelAbove | LabelRight);
    MarkPoint(t, c, "C", text, LabelBelow);

    // Angle marks (every mode of a crossing, right angles among them, is in the marks sheet):
    // a reflex angle kept in mode 4, and a right angle at a corner turned by the mode bits.
    const Point q = P(200, 280, Violet), qa = P(250, 300), qb = P(230, 245);
    const double r45 = 45, r12 = 12;
    DrawSegment(t, q, qa, Look(Ink));
    DrawSegment(t, q, qb, Look(Ink));
    ZIRD_MARKANDNUMBERANGLEPT(&h, &qb, &q, &qa, "a", &gg, &go, &r45);  // qb round to qa: reflex
    const Point rc = P(290, 400), re = P(270, 400, Green), rf = P(270, 360);
    DrawSegment(t, P(200, 400), rc, Look(Ink));
    ZIRD_MARKRIGHTANGLEPT(&h, &rc, &re, &rf, &one, &r12);
    DrawSegment(t, P(270, 400), P(270, 350), Look(Ink));

    // A turned rectangle blended over a line; the other fills are in the fills sheet, and
    // the clients' test passes triangles and sectors from outside.
    DrawSegment(t, P(330, 340), P(470, 390), Look(Ink, 3));
    const std::int32_t most = 200;
    const std::uint32_t orange = Orange.Value();
    const Point ka = P(350, 350), kb = P(420, 380);
    const double k35 = 35;
    ZIRD_FILLRECT(&h, &ka, &kb, &k35, &orange, &most);

    EXPECT_TRUE(test::MatchesApproved("drawing_sheet", sheet.handle));
    std::free(tg.items);
    std::free(to.items);
}

}  // namespace
}  // namespace zir
