// The drawing instruments: what they give back, and an approved sheet of all five at several
// positions and angles, drawn through the exported procedures.
#include "draw/instruments.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw/figures.h"
#include "draw/fonts.h"
#include "draw_canvas.h"
#include "geometry_records.h"
#include "picture_check.h"
#include "zirkula.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::L;
using test::P;
using test::White;

// What each instrument gives back: -1 for a position without a direction, the undefined
// result for an undefined object, 0 for what it draws, also when all of it is off the target.
TEST(Instruments, Results) {
    const Point a = P(10, 10);
    const Line l = L(10, 10, 1, 0), v = test::UndefLine;
    Canvas c(200, 200);
    const DrawTarget t = c.target();
    const std::int32_t results[][2] = {
        {ProtractorTool(t, a, v, 0, 50, Black), UndefinedResult},
        {SquareTool(t, v, l, 0, 100, Black), UndefinedResult},
        {CompassTool(t, test::Undef, a, 100, Black), UndefinedResult},
        {SquareTool(t, l, L(1, 1, 0, 0), 0, 100, Black), -1},
        {CompassTool(t, a, a, 100, Black), -1},
        {CompassTool(t, a, P(10.3, 10.3), 100, Black), -1},
        {ProtractorTool(t, a, L(1, 1, 0, 0), 0, 50, Black), -1},
        {RulerTool(t, P(-900, -900), P(-500, -900), 0, 30, Black, 10), 0}};
    for (const auto& k : results) EXPECT_EQ(k[0], k[1]) << &k - results;
    EXPECT_EQ(c.count(White), 200 * 200);
    EXPECT_EQ(CompassTool(t, a, P(1e280, 3), 100, Black), 0) << "far away";
    EXPECT_EQ(CompassTool(t, a, P(100, 10), test::Nan, Black), 0);
    ZirImageHandle h = c.handle;
    EXPECT_EQ(ZIRD_PENCILTOOL(&h, nullptr, 2.0, 80, nullptr), UndefinedResult);
}

// Along a segment to a far point only the ticks that can be seen are drawn, from 30 pixels
// before the first point; a ruler on two equal points lies horizontal.
TEST(Ruler, TowardsAFarPointOrWithoutLength) {
    Canvas c(300, 200);
    EXPECT_EQ(RulerTool(c.target(), P(100, 100), P(1e280, 100), 0, 30, Black, 1), 0);
    EXPECT_TRUE(c.is(150, 105, Black));
    EXPECT_TRUE(c.is(70, 102, Black) && !c.is(69, 102, Black));
    EXPECT_EQ(RulerTool(c.target(), P(5, 5), P(5, 5), 0, 30, Black, 5), 0);
    EXPECT_TRUE(c.is(30, 7, Black));
}

// Rulers with scales every 10 and 7 on either side; set squares in modes 0 to 3 and on a
// turned corner; compasses with legs 40 (raised to half the distance), 100 and 160;
// protractors on side 0 and 1; pencils at 0, 1, 2.5 and 4 radians, 60 to 160 long.
TEST(Instruments, SheetOfAllFive) {
    Canvas sheet(960, 720);
    ZirImageHandle h = sheet.handle;
    const std::uint32_t blue = 0x0000B0, grey = 0xB0B0B0, dark = 0x303030, red = 0xC00000;
    const auto ruler = [&](Point a, Point b, std::int32_t side, double width, std::int32_t tick) {
        EXPECT_EQ(ZIRD_RULERTOOL(&h, &a, &b, &side, &width, &blue, &tick), 0);
    };
    const auto square = [&](Line l1, Line l2, std::int32_t mode, double size) {
        EXPECT_EQ(ZIRD_SQUARETOOL(&h, &l1, &l2, &mode, &size, &blue), 0);
    };
    const auto compass = [&](Point a, Point b, double leg) {
        EXPECT_EQ(ZIRD_COMPASSTOOL(&h, &a, &b, leg, &grey), 0);
    };
    const auto protractor = [&](Point c, Line l, std::int32_t side) {
        const double size = 160;
        EXPECT_EQ(ZIRD_PROTRACTORTOOL(&h, &c, &l, &side, &size, &blue), 0);
    };
    const auto pencil = [&](Point p, double angle, double length, const std::uint32_t& colour) {
        EXPECT_EQ(ZIRD_PENCILTOOL(&h, &p, angle, length, &colour), 0);
    };
    const auto given = [&](const Line& l) {
        DrawLine(sheet.target(), L(l.x, l.y, l.dx, l.dy, 0xC0C0C0, 0xFFFF, 1));
    };

    ruler(P(60, 60), P(280, 60), 0, 50, 10);
    ruler(P(60, 200), P(260, 120), 1, 40, 7);
    const Line h1 = L(480, 130, 100, 0), v1 = L(480, 130, 0, -100);
    given(h1);
    given(v1);
    for (int mode = 0; mode < 4; ++mode) square(h1, v1, mode, 90);
    const Line s1 = L(700, 200, 100, -40), s2 = MakeRightAngle(P(700, 200), s1);
    square(s1, s2, 0, 110);
    compass(P(40, 400), P(140, 400), 40);
    compass(P(170, 330), P(290, 420), 100);
    compass(P(420, 440), P(330, 380), 160);
    const Line base = L(520, 370, 100, 0), slant = L(820, 330, 100, 30);
    given(base);
    protractor(P(600, 370), base, 0);
    protractor(P(820, 330), slant, 1);
    const double angles[] = {0, 1, 2.5, 4};
    for (int k = 0; k < 4; ++k) pencil(P(90 + 170 * k, 600), angles[k], 120, dark);
    pencil(P(760, 560), 1, 60, dark);
    pencil(P(800, 700), 1, 160, red);
    EXPECT_TRUE(test::MatchesApproved("instruments_sheet", sheet.handle));
}

}  // namespace
}  // namespace zir
