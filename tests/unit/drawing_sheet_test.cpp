// One sheet with every figure, mark and fill, for a person to look at and as an approved
// picture that catches any change in how they are drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "draw/figures.h"
#include "draw/fills.h"
#include "draw/marks.h"
#include "draw_canvas.h"
#include "picture_check.h"
#include "platform/png.h"

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

Line Ray(const Point& from, double angle, Colour colour) {
    return Line{from.x,     from.y, 100 * std::cos(angle), -100 * std::sin(angle), colour.Value(),
                SolidStyle, 1};
}

TEST(DrawingSheet, EveryFigureMarkAndFill) {
    test::Canvas sheet(640, 460);
    DrawTarget t = sheet.target();
    const Font small = test::LoadTestFont("sans12");
    const Font text = test::LoadTestFont("sans16");
    const Font greek = test::LoadTestFont("greek16");

    // Row of point shapes, each named by its code below it.
    const std::int16_t shapes[] = {0, 2, 3, 4, 5, 8, 9, 10, 11, 1};
    for (int k = 0; k < 10; ++k) {
        const Point p = P(30 + 60 * k, 25, k % 2 ? Blue : Red, shapes[k], 12);
        MarkPoint(t, p, std::to_string(shapes[k]), small, LabelBelow);
    }
    MarkPoint(t, P(620, 50, Ink, 2, 5), "P", text, LabelAbove | LabelLeft);

    // Lines: widths 1, 2, 3 and 5, then four dash styles; an infinite line across the sheet.
    DrawLine(t, Line{0, 445, 640, -40, Grey.Value(), 0xCCCC, 1});
    for (int k = 0; k < 4; ++k) {
        const int widths[] = {1, 2, 3, 5};
        DrawSegment(t, P(15 + 25 * k, 80), P(35 + 25 * k, 210), Look(Ink, widths[k]));
    }
    const std::uint16_t styles[] = {0xF0F0, 0xFF00, 0xAAAA, 0xE4E4};
    for (int k = 0; k < 4; ++k) {
        DrawSegment(t, P(120, 85 + 12 * k), P(300, 95 + 12 * k), Look(Violet, 1, styles[k]));
    }
    // Circles and arcs: width 1 and 3, the upper half, an arc through angle 0, a rectangle.
    DrawCircle(t, Circle{150, 175, 22, 0, 0, Blue.Value(), 1});
    DrawCircle(t, Circle{150, 175, 12, 0, 0, Red.Value(), 3});
    DrawCircle(t, Circle{210, 185, 22, 0, std::numbers::pi, Green.Value(), 2});
    DrawCircle(t, Circle{265, 175, 22, 300 * Deg, 60 * Deg, Orange.Value(), 1});
    DrawRect(t, P(120, 215), P(170, 200), 18, Look(Ink, 1));
    DrawRect(t, P(200, 220), P(290, 220), -15, Look(Green, 2, 0xF0F0));

    // Segment marks: a name above and beside, lengths in pixels and in units of 40.
    const Point a = P(340, 100, Red), b = P(460, 100, Blue), c = P(460, 200, Blue);
    const Point d = P(610, 130, Green), e = P(520, 210, Green);
    DrawSegment(t, a, b, Look(Ink));
    DrawSegment(t, b, c, Look(Ink));
    DrawSegment(t, d, e, Look(Ink));
    MarkLine(t, a, b, "a", text, 0);
    MarkLine(t, b, c, "b", text, 0);
    MarkAndNumberLine(t, b, c, "b", small, 1, 0);
    MarkAndNumberLine(t, a, b, "a", small, 1, 40);
    MarkAndNumberLine(t, d, e, "c", small, LengthNegated, 0);
    MarkPoint(t, a, "A", text, LabelLeft);
    MarkPoint(t, b, "B", text, LabelAbove | LabelRight);
    MarkPoint(t, c, "C", text, LabelBelow);

    // Angle marks: the four modes at one crossing, a reflex angle kept in mode 4, right
    // angles with and without their arc, a right angle turned by the mode bits.
    const Point v = P(80, 330);
    const Line l1 = Ray(v, 10 * Deg, Ink), l2 = Ray(v, 70 * Deg, Blue);
    DrawLine(t, Line{v.x, v.y, l1.dx, l1.dy, Grey.Value(), SolidStyle, 1});
    DrawLine(t, Line{v.x, v.y, l2.dx, l2.dy, Grey.Value(), SolidStyle, 1});
    const Colour modeColours[4] = {Red, Green, Blue, Orange};
    for (int mode = 0; mode < 4; ++mode) {
        Line coloured = l1;
        coloured.colour = modeColours[mode].Value();
        MarkAndNumberAngle(t, coloured, l2, "", small, mode, 34 + 16 * mode);
    }
    const Point q = P(200, 280, Violet), qa = P(250, 300), qb = P(230, 245);
    DrawSegment(t, q, qa, Look(Ink));
    DrawSegment(t, q, qb, Look(Ink));
    MarkAndNumberAnglePt(t, qb, q, qa, "a", greek, 45);  // from qb round to qa: reflex
    const Point r = P(200, 400, Red), ra = P(290, 400), rb = P(200, 330);
    DrawSegment(t, r, ra, Look(Ink));
    DrawSegment(t, r, rb, Look(Ink));
    MarkAngle(t, Ray(r, 0, Red), Ray(r, 90 * Deg, Red), "g", greek, 0, 40);
    MarkRightAnglePt(t, ra, P(270, 400, Green), P(270, 360), 1, 12);
    DrawSegment(t, P(270, 400), P(270, 350), Look(Ink));

    // Fills: a triangle blended over a line, a disc, a sector, a turned rectangle, and a
    // triangle much larger than the sheet reaching in at the bottom right.
    DrawSegment(t, P(330, 240), P(470, 330), Look(Ink, 3));
    std::int32_t half = 128, opaque = -1;
    FillTriangle(t, P(340, 320), P(460, 250), P(470, 330), Red, half);
    Circle disc{520, 280, 35, 0, 0, Blue.Value(), 1};
    FillCircle(t, disc, Blue, 160);
    Circle sector{600, 280, 30, 30 * Deg, 240 * Deg, Green.Value(), 1};
    FillCircle(t, sector, Green, 255);
    FillRect(t, P(350, 350), P(420, 380), 35, Orange, 200);
    FillTriangle(t, P(560, 360), P(5000, 300), P(900, 4000), Violet, opaque);

    ASSERT_TRUE(WritePng(test::OutputPath("drawing_sheet.png"), sheet.handle));
    EXPECT_TRUE(test::MatchesApproved("drawing_sheet", sheet.handle));
}

}  // namespace
}  // namespace zir
