// The drawing instruments, checked by the pixels they set at their computed corners, and an
// approved sheet of all five at several positions and angles.
#include "draw/instruments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "draw/figures.h"
#include "draw/fonts.h"
#include "draw_canvas.h"
#include "geometry_records.h"
#include "picture_check.h"
#include "platform/png.h"
#include "zirkula.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::L;
using test::P;
using test::White;

constexpr double Deg = std::numbers::pi / 180;

// The x of every run of ink along row y between x0 and x1 (the run's first pixel).
std::vector<int> InkRunsInRow(const Canvas& c, int y, int x0, int x1) {
    std::vector<int> runs;
    bool inside = false;
    for (int x = x0; x <= x1; ++x) {
        const bool ink = !c.is(x, y, White);
        if (ink && !inside) runs.push_back(x);
        inside = ink;
    }
    return runs;
}

bool InkNear(const Canvas& c, double x, double y) {
    const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = px + dx, y = py + dy;
            if (x >= 0 && y >= 0 && x < c.width() && y < c.height() && !c.is(x, y, White)) {
                return true;
            }
        }
    }
    return false;
}

TEST(Ruler, LiesTwoPixelsBesideTheSegmentWithItsScaleFromTheFirstPoint) {
    Canvas c(400, 200);
    ASSERT_EQ(RulerTool(c.target(), P(100, 100), P(300, 100), 0, 40, Black, 10), 0);
    // The edge two pixels below the segment, from 40 pixels before it to 40 after it.
    EXPECT_EQ(InkRunsInRow(c, 102, 0, 399), std::vector<int>{60});
    EXPECT_TRUE(c.is(340, 102, Black));
    EXPECT_FALSE(c.is(341, 102, Black));
    EXPECT_TRUE(c.is(60, 142, Black) && c.is(340, 142, Black) && c.is(200, 142, Black));
    for (int y = 0; y < 200; ++y) EXPECT_TRUE(y >= 102 || c.is(200, y, White)) << y;
    // 21 ticks below the edge; the fifth and tenth ones longer.
    std::vector<int> all, middle, tens;
    for (int x = 100; x <= 300; x += 10) all.push_back(x);
    EXPECT_EQ(InkRunsInRow(c, 104, 61, 339), all);
    EXPECT_EQ(InkRunsInRow(c, 113, 61, 339), (std::vector<int>{100, 150, 200, 250, 300}));
    EXPECT_EQ(InkRunsInRow(c, 120, 61, 339), (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(InkRunsInRow(c, 124, 61, 339), std::vector<int>{});
    EXPECT_TRUE(c.is(110, 110, Black));
    EXPECT_FALSE(c.is(110, 112, Black)) << "a short tick is a fifth of the width";

    Canvas other(400, 200), plain(400, 200);
    RulerTool(other.target(), P(100, 100), P(300, 100), 1, 40, Black, 0);
    EXPECT_EQ(InkRunsInRow(other, 98, 0, 399), std::vector<int>{60}) << "side 1: above";
    EXPECT_TRUE(other.is(200, 58, Black));
    EXPECT_EQ(InkRunsInRow(other, 90, 61, 339), std::vector<int>{}) << "no scale";
}

TEST(Ruler, AlongASegmentToAFarPointDrawsOnlyTheTicksThatCanBeSeen) {
    Canvas c(300, 200);
    EXPECT_EQ(RulerTool(c.target(), P(100, 100), P(1e280, 100), 0, 30, Black, 1), 0);
    EXPECT_TRUE(c.is(150, 105, Black));
    EXPECT_TRUE(c.is(70, 102, Black) && !c.is(69, 102, Black)) << "30 before the first point";
    EXPECT_EQ(RulerTool(c.target(), P(5, 5), P(5, 5), 0, 30, Black, 5), 0) << "no length";
    EXPECT_TRUE(c.is(30, 7, Black)) << "a point gets a horizontal ruler";
}

TEST(SetSquare, IsARightIsoscelesTriangleTwoPixelsOffTheCorner) {
    Canvas c(300, 400);
    const Line horizontal = L(100, 300, 100, 0), up = L(100, 300, 0, -40);
    ASSERT_EQ(SquareTool(c.target(), horizontal, up, 0, 100, Black), 0);
    // Outer legs from (102, 298) to (202, 298) and up to (102, 198).
    for (int k = 0; k <= 100; ++k) {
        EXPECT_TRUE(c.is(102 + k, 298, Black)) << k;
        EXPECT_TRUE(c.is(102, 298 - k, Black)) << k;
    }
    EXPECT_FALSE(c.is(203, 298, Black));
    EXPECT_FALSE(c.is(102, 197, Black));
    EXPECT_TRUE(c.is(152, 248, Black)) << "the hypotenuse";
    EXPECT_EQ(c.count(Black), c.count(Black));
    for (int k = 0; k < 300; ++k) EXPECT_TRUE(c.is(k, 300, White)) << "nothing on the line";
    // The cut-out: corner 18 pixels in, legs to 69 pixels.
    EXPECT_TRUE(c.is(118, 282, Black));
    EXPECT_TRUE(c.is(118, 231, Black));
    EXPECT_TRUE(c.is(169, 282, Black));
    EXPECT_FALSE(c.is(118, 229, Black));

    Canvas reversed(300, 400);
    SquareTool(reversed.target(), horizontal, up, 1, 100, Black);
    EXPECT_TRUE(reversed.is(98, 298, Black) && reversed.is(0, 298, Black));
    EXPECT_TRUE(reversed.is(98, 198, Black));
    EXPECT_FALSE(reversed.is(102, 250, Black));
    Canvas both(300, 400);
    SquareTool(both.target(), horizontal, up, 3, 100, Black);
    EXPECT_TRUE(both.is(98, 302, Black) && both.is(98, 400 - 1, Black));

    EXPECT_EQ(SquareTool(c.target(), horizontal, L(1, 1, 0, 0), 0, 100, Black), -1);
}

TEST(Compass, StandsOnItsTwoPointsWithLegsAtLeastHalfTheirDistance) {
    const Point a = P(100, 100), b = P(200, 100);
    Canvas short_(300, 250), given(300, 250);
    ASSERT_EQ(CompassTool(short_.target(), a, b, 40, Black), 0);
    CompassTool(given.target(), a, b, 55, Black);
    EXPECT_TRUE(test::SamePicture(short_, given)) << "a leg of 40 is raised to 55";
    // The hinge stands sqrt(55^2 - 50^2) below the middle (the perpendicular turned
    // clockwise from a-b), the handle above it, the needle at a and the lead's tip at b.
    const double h = std::sqrt(55.0 * 55 - 50 * 50);
    EXPECT_TRUE(short_.is(150, static_cast<int>(std::lround(100 + h)), Black));
    EXPECT_TRUE(InkNear(short_, 150, 100 + h + 5));
    EXPECT_FALSE(InkNear(short_, 150, 100 + h + 9));
    EXPECT_TRUE(InkNear(short_, 100, 100));
    EXPECT_TRUE(InkNear(short_, 200, 100));
    EXPECT_FALSE(InkNear(short_, 150, 96));

    Canvas longer(300, 300);
    CompassTool(longer.target(), a, b, 160, Black);
    const double hinge = 100 + std::sqrt(160.0 * 160 - 50 * 50);
    EXPECT_TRUE(InkNear(longer, 150, hinge));
    // Halfway down, the two legs, each round(0.04 * 160) = 6 pixels wide.
    const int mid = static_cast<int>((100 + hinge) / 2);
    const auto row = InkRunsInRow(longer, mid, 0, 299);
    ASSERT_EQ(row.size(), 2u);
    int ink = 0;
    for (int x = 0; x < 300; ++x) ink += longer.is(x, mid, Black);
    EXPECT_GE(ink, 12);
    EXPECT_LE(ink, 16);

    Canvas none(300, 250);
    EXPECT_EQ(CompassTool(none.target(), a, a, 100, Black), -1);
    EXPECT_EQ(CompassTool(none.target(), a, P(100.3, 100.3), 100, Black), -1);
    EXPECT_EQ(none.count(White), 300 * 250);
    EXPECT_EQ(CompassTool(none.target(), a, P(1e280, 3), 100, Black), 0) << "far away";
    EXPECT_EQ(CompassTool(none.target(), a, b, test::Nan, Black), 0);
}

TEST(Protractor, HasNineteenTicksFromItsBaseRoundToItsOtherEnd) {
    Canvas c(400, 400);
    ASSERT_EQ(ProtractorTool(c.target(), P(200, 200), L(0, 200, 50, 0), 0, 200, Black), 0);
    // Walk round at radius 92, between the ticks' inner and outer ends.
    int ticks = 0;
    bool inside = false;
    for (double a = -4; a <= 184; a += 0.05) {
        const bool ink = InkNear(c, 200 + 92 * std::cos(a * Deg), 200 - 92 * std::sin(a * Deg));
        ticks += ink && !inside;
        inside = ink;
    }
    EXPECT_EQ(ticks, 19);
    EXPECT_TRUE(InkNear(c, 292, 200)) << "the first tick along the base";
    EXPECT_TRUE(InkNear(c, 108, 200)) << "the last one at the base's other end";
    EXPECT_TRUE(InkNear(c, 200, 100)) << "the rim";
    EXPECT_TRUE(InkNear(c, 200, 200 - 66.67)) << "the inner arc";
    EXPECT_TRUE(InkNear(c, 200 + 60, 200)) << "the inner base";
    EXPECT_TRUE(InkNear(c, 200, 233)) << "the base strip on the other side";
    EXPECT_TRUE(InkNear(c, 100, 220) && InkNear(c, 300, 220));
    EXPECT_FALSE(InkNear(c, 200, 300));

    Canvas other(400, 400);
    ProtractorTool(other.target(), P(200, 200), L(0, 200, 50, 0), 1, 200, Black);
    EXPECT_TRUE(InkNear(other, 200, 300));
    EXPECT_TRUE(InkNear(other, 200, 167));
    EXPECT_FALSE(InkNear(other, 200, 100));
}

TEST(Pencil, HasItsPointAtThePointAndItsShaftAlongTheAngle) {
    Canvas c(400, 300);
    ASSERT_EQ(PencilTool(c.target(), P(200, 150), 0, 100, Black), 0);
    // Shaft from x = 225 to 300, 5 pixels each side of its axis; point lines to (200, 150).
    EXPECT_TRUE(c.is(200, 150, Black));
    EXPECT_TRUE(InkNear(c, 260, 145) && InkNear(c, 260, 155) && InkNear(c, 260, 150));
    EXPECT_TRUE(InkNear(c, 300, 148));
    EXPECT_TRUE(InkNear(c, 212, 147.5));
    EXPECT_FALSE(InkNear(c, 260, 158));
    EXPECT_FALSE(InkNear(c, 304, 150));
    EXPECT_FALSE(InkNear(c, 196, 150));

    Canvas up(400, 300);
    PencilTool(up.target(), P(200, 150), 90 * Deg, 100, Black);
    EXPECT_TRUE(InkNear(up, 200, 60) && InkNear(up, 195, 100) && InkNear(up, 205, 100));
    EXPECT_FALSE(InkNear(up, 200, 160));
}

TEST(Instruments, AnUndefinedPositionDrawsNothing) {
    Canvas c(200, 200);
    const Point a = P(10, 10);
    const Line l = L(10, 10, 1, 0);
    EXPECT_EQ(RulerTool(c.target(), test::Undef, a, 0, 30, Black, 5), UndefinedResult);
    EXPECT_EQ(RulerTool(c.target(), a, test::Undef, 0, 30, Black, 5), UndefinedResult);
    EXPECT_EQ(SquareTool(c.target(), test::UndefLine, l, 0, 50, Black), UndefinedResult);
    EXPECT_EQ(SquareTool(c.target(), l, test::UndefLine, 0, 50, Black), UndefinedResult);
    EXPECT_EQ(CompassTool(c.target(), test::Undef, a, 50, Black), UndefinedResult);
    EXPECT_EQ(CompassTool(c.target(), a, test::Undef, 50, Black), UndefinedResult);
    EXPECT_EQ(ProtractorTool(c.target(), test::Undef, l, 0, 50, Black), UndefinedResult);
    EXPECT_EQ(ProtractorTool(c.target(), a, test::UndefLine, 0, 50, Black), UndefinedResult);
    EXPECT_EQ(PencilTool(c.target(), test::Undef, 1, 50, Black), UndefinedResult);
    EXPECT_EQ(c.count(White), 200 * 200);
}

TEST(Instruments, TheExportedProceduresDrawTheSame) {
    Canvas mine(300, 300), theirs(300, 300);
    const ZirPoint a = P(50, 60), b = P(250, 120);
    const ZirLine l1 = L(40, 250, 100, -10), l2 = L(40, 250, 10, 100);
    const std::uint32_t red = 0xFF0000;
    const std::int32_t side = 1, ticks = 7, mode = 2;
    const double width = 35, size = 120;
    RulerTool(mine.target(), a, b, side, width, Colour{red}, ticks);
    SquareTool(mine.target(), l1, l2, mode, size, Colour{red});
    CompassTool(mine.target(), a, b, 150, Colour{red});
    ProtractorTool(mine.target(), b, l1, side, size, Colour{red});
    PencilTool(mine.target(), a, 2.0, 80, Colour{red});
    EXPECT_EQ(ZIRD_RULERTOOL(&theirs.handle, &a, &b, &side, &width, &red, &ticks), 0);
    EXPECT_EQ(ZIRD_SQUARETOOL(&theirs.handle, &l1, &l2, &mode, &size, &red), 0);
    EXPECT_EQ(ZIRD_COMPASSTOOL(&theirs.handle, &a, &b, 150, &red), 0);
    EXPECT_EQ(ZIRD_PROTRACTORTOOL(&theirs.handle, &b, &l1, &side, &size, &red), 0);
    EXPECT_EQ(ZIRD_PENCILTOOL(&theirs.handle, &a, 2.0, 80, &red), 0);
    EXPECT_TRUE(test::SamePicture(mine, theirs));
    EXPECT_EQ(ZIRD_PENCILTOOL(&theirs.handle, nullptr, 2.0, 80, &red), UndefinedResult);
    EXPECT_EQ(ZIRD_COMPASSTOOL(&theirs.handle, &a, &a, 150, nullptr), -1);
}

// All five instruments at several positions and angles, for a person to look at and as an
// approved picture.
TEST(Instruments, SheetOfAllFive) {
    const Font font = test::LoadTestFont("sans12");
    Canvas sheet(960, 720);
    const Colour Blue{0x0000B0}, Grey{0xB0B0B0};
    const std::uint32_t Given = 0xC0C0C0;
    const auto label = [&](const char* text, int x, int y) {
        PrintText(sheet.target(), text, font, x, y, Black, TargetMaskColour(sheet.target()));
    };
    const auto given = [&](const Line& l) {
        DrawLine(sheet.target(), L(l.x, l.y, l.dx, l.dy, Given, 0xFFFF, 1));
    };
    const auto dot = [&](double x, double y) {
        DrawPoint(sheet.target(), P(x, y, 0xC00000, 6, 0));
    };
    DrawTarget t = sheet.target();

    label("ruler, scale every 10, side 0 and 1", 10, 5);
    RulerTool(t, P(60, 60), P(280, 60), 0, 50, Blue, 10);
    dot(60, 60);
    dot(280, 60);
    RulerTool(t, P(60, 200), P(260, 120), 1, 40, Blue, 7);
    dot(60, 200);
    dot(260, 120);

    label("set square, modes 0 to 3", 330, 5);
    const Line h = L(480, 130, 100, 0), v = L(480, 130, 0, -100);
    given(h);
    given(v);
    for (int mode = 0; mode < 4; ++mode) SquareTool(t, h, v, mode, 90, Blue);
    const Line s1 = L(700, 200, 100, -40), s2 = MakeRightAngle(P(700, 200), s1);
    SquareTool(t, s1, s2, 0, 110, Blue);

    label("compass: legs 40 (raised), 100, 160", 10, 250);
    CompassTool(t, P(40, 400), P(140, 400), 40, Grey);
    dot(40, 400);
    dot(140, 400);
    CompassTool(t, P(170, 330), P(290, 420), 100, Grey);
    CompassTool(t, P(420, 440), P(330, 380), 160, Grey);

    label("protractor, side 0 and 1", 500, 250);
    const Line base = L(520, 370, 100, 0), slant = L(820, 330, 100, 30);
    given(base);
    ProtractorTool(t, P(600, 370), base, 0, 160, Blue);
    ProtractorTool(t, P(820, 330), slant, 1, 160, Blue);
    dot(600, 370);

    label("pencil at 0, 1, 2.5, 4 radians; length 60, 120, 160", 10, 480);
    const double angles[] = {0, 1, 2.5, 4};
    for (int k = 0; k < 4; ++k) {
        const double x = 90 + 170 * k, y = 600;
        PencilTool(t, P(x, y), angles[k], 120, Colour{0x303030});
        dot(x, y);
    }
    PencilTool(t, P(760, 560), 1, 60, Colour{0x303030});
    PencilTool(t, P(800, 700), 1, 160, Colour{0xC00000});

    ASSERT_TRUE(WritePng(test::OutputPath("instruments_sheet.png"), sheet.handle));
    EXPECT_TRUE(test::MatchesApproved("instruments_sheet", sheet.handle));
}

}  // namespace
}  // namespace zir
