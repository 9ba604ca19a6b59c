// The named constructions on the headless platform's virtual clock: every mode computes the
// same object, and what each mode draws and how long it waits; the objects themselves are
// checked by script cases (run_construction_values and others).
#include "constructions/constructions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "draw/figures.h"
#include "draw/fonts.h"
#include "draw/marks.h"
#include "draw_canvas.h"
#include "geometry_records.h"
#include "headless_restart.h"
#include "picture_check.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "runtime/runstate.h"
#include "zirkula.h"

namespace zir {
namespace {

using test::C;
using test::Canvas;
using test::F;
using test::L;
using test::P;

constexpr double Deg = std::numbers::pi / 180;
constexpr Colour Paper{0xFFFFFF};
constexpr Colour Aux{0xC0C0C0};   // the default auxiliary colour
constexpr Colour Tool{0x0000B0};  // the default set square, ruler and protractor
constexpr Colour Compass{0xB0B0B0};
constexpr std::int32_t Fixed = 65536;

class Constructions : public ::testing::Test {
  protected:
    void SetUp() override { Start(""); }
    void TearDown() override { test::RestoreHeadless(); }
    void Start(const std::string& input) {
        ASSERT_TRUE(test::RestartHeadless(input, "constructions-input.txt"));
        ASSERT_TRUE(ScreenOpen(640, 480, 16));
    }
    static double NowMs() { return ClockSeconds() * 1000.0; }
};

// Construction k with fixed inputs; its results (the returned record and any it writes
// besides) field by field.
test::Fields Construct(int k, DrawTarget t, PaceMode m, InputEvent& e) {
    const Point a = P(200, 300), b = P(400, 260);
    const Line l1 = L(150, 380, 100, 0), l2 = L(150, 380, 60, -80);
    const CircleOperands circle{0xC00000, 2, 2560, 23040};
    Point q = P(1, 1);
    Line t2 = L(1, 1, 1, 1);
    switch (k) {
        case 0:
            return F(ConstructLine(t, 0, 0, a, b, {}, m, e));
        case 1:
            return F(ConstructLinePolar(t, 0, 0, a, l2, 23040, {}, m, e));
        case 2:
            return F(ConstructStartLine(t, 0, 0, a, q, 7680, 120 * Fixed, {}, m, e), q);
        case 3:
            return F(ConstructCircleThrough(t, 0, 0, a, b, circle, m, e));
        case 4:
            return F(ConstructCircleTangent(t, 0, 0, b, l1, circle, m, e));
        case 5:
            return F(ConstructArc(t, 0, 0, a, b, 15360, circle, m, e));
        case 6:
            return F(ConstructArcLines(t, 0, 0, l1, l2, 70 * Fixed, circle, m, e));
        case 7:
            return F(ConstructMidLine(t, 0, 0, a, b, {}, m, e));
        case 8:
            return F(ConstructBisector(t, 0, 0, l1, l2, {}, m, e));
        default:
            return F(ConstructTangent(t, 0, 0, P(470, 230), C(300, 200, 60), t2, {}, m, e), t2);
    }
}

// FAST draws the object (and no compass arcs) without waiting; the modes that only compute
// draw nothing; PACE waits one or two pauses; SLOW leaves no instrument behind. All compute
// the same object; what PACE and SLOW draw is on the approved sheets below.
TEST_F(Constructions, EveryModeComputesTheSameObjectAndOnlyFastPaceAndSlowDraw) {
    const int pauses[] = {1, 1, 1, 1, 2, 1, 1, 2, 2, 2};
    Settings().stepWait = 300;
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE(k);
        Canvas fast(640, 460), paced(640, 460), slow(640, 460);
        InputEvent event = 77;
        double t0 = NowMs();
        const test::Fields want = Construct(k, fast.target(), PaceMode::Fast, event);
        EXPECT_EQ(event, 0u);
        EXPECT_EQ(NowMs(), t0);
        EXPECT_LT(fast.count(Paper), 640 * 460);
        EXPECT_EQ(fast.count(Aux) == 0, k != 7) << "the bisector is itself auxiliary";
        for (int other : {4, 3, -1, 99}) {
            Canvas none(640, 460);
            EXPECT_EQ(Construct(k, none.target(), static_cast<PaceMode>(other), event), want);
            EXPECT_EQ(none.count(Paper), 640 * 460) << other;
        }
        EXPECT_EQ(NowMs(), t0);
        EXPECT_EQ(Construct(k, paced.target(), PaceMode::Pace, event), want);
        EXPECT_NEAR(NowMs() - t0, 300.0 * pauses[k] + 10, 30);
        EXPECT_EQ(Construct(k, slow.target(), PaceMode::Slow, event), want);
        EXPECT_EQ(event, 0u);
        EXPECT_EQ(slow.count(Tool) + slow.count(Compass), 0);
    }
}

// One sheet with every construction drawn in the mode, its construction marks visible: for a
// person to look at, and as an approved picture that catches any change in what is drawn.
// Given lines are drawn thin and grey; a right angle marked on one takes its colour.
void DrawCell(int k, DrawTarget t, PaceMode m) {
    const std::uint32_t Given = 0x909090, Ink = 0x404040;
    const LineOperands blue{-1, 0x0040C0, 2};
    const CircleOperands red{0xC00000, 2, -1, -1};
    InputEvent e = 0;
    auto point = [&](double x, double y) { DrawPoint(t, Point{x, y, Ink, 8, 0}); };
    auto given = [&](double x, double y, double dx, double dy) {
        const Line l = L(x, y, dx, dy, Given, 0xFFFF, 1);
        DrawLine(t, l);
        return l;
    };
    Point q{};
    Line t2{};
    switch (k) {
        case 0:
            ConstructLine(t, 0, 0, P(40, 160), P(200, 50), blue, m, e);
            point(40, 160), point(200, 50);
            break;
        case 1:
            ConstructLinePolar(t, 0, 0, P(110, 130), given(10, 150, 100, -20), 23040, blue, m, e);
            point(110, 130);
            break;
        case 2:
            ConstructStartLine(t, 0, 0, P(40, 160, Ink, 8, 0), q, 7680, 150 * Fixed, blue, m, e);
            point(40, 160);
            break;
        case 3:
            ConstructCircleThrough(t, 0, 0, P(120, 110), P(180, 110), red, m, e);
            point(120, 110), point(180, 110);
            break;
        case 4:
            ConstructCircleTangent(t, 0, 0, P(120, 100), given(0, 170, 100, -10), red, m, e);
            point(120, 100);
            break;
        case 5:
            ConstructArc(t, 0, 0, P(50, 160), P(190, 80), 15360, red, m, e);
            point(50, 160), point(190, 80);
            break;
        case 6: {
            const Line l1 = given(40, 160, 100, 0), l2 = given(40, 160, 60, -80);
            ConstructArcLines(t, 0, 0, l1, l2, 80 * Fixed, red, m, e);
            break;
        }
        case 7:
            ConstructMidLine(t, 0, 0, P(60, 120), P(180, 90), {}, m, e);
            point(60, 120), point(180, 90);
            break;
        case 8: {
            const Line l1 = given(20, 185, 100, 0), l2 = given(20, 185, 50, -86.6);
            ConstructBisector(t, 0, 0, l1, l2, blue, m, e);
            break;
        }
        case 9:
            DrawCircle(t, C(80, 110, 45, Given, 1));
            ConstructTangent(t, 0, 0, P(205, 95), C(80, 110, 45, Given, 1), t2, blue, m, e);
            point(205, 95), point(80, 110);
            break;
        case 10: {
            const Circle c = C(100, 115, 55, Given, 1);
            const Point p = P(100 + 55 * std::cos(45 * Deg), 115 - 55 * std::sin(45 * Deg));
            DrawCircle(t, c);
            ConstructTangent(t, 0, 0, p, c, t2, blue, m, e);
            point(p.x, p.y);
            break;
        }
        default:
            ConstructCircleThrough(t, 0, 0, P(120, 110), P(120, 50), {0xC00000, 2, 11520, 69120}, m,
                                   e);
            point(120, 110);
    }
}

const char* const CellNames[] = {
    "ZIRS_MAKELINE",     "ZIRS_MAKELINEPOLAR 90",  "ZIRS_MAKESTARTLINE 30, 150",
    "ZIRS_MAKECIRCLEP",  "ZIRS_MAKECIRCLETANGENT", "ZIRS_MAKEARC 60",
    "ZIRS_MAKEARCLINES", "ZIRS_MAKEMIDLINE",       "ZIRS_MAKEBISECTOR",
    "ZIRS_MAKETANGENT",  "ZIRS_MAKETANGENT on C",  "ZIRS_MAKECIRCLEP 45-270"};

// Animated, what stays is the object with the marks its instruments drew: the compass arcs,
// the segments the pencil drew along the ruler and the set square.
TEST_F(Constructions, SheetsOfEveryConstructionPacedAndAnimated) {
    Settings().stepWait = 0;
    Settings().instrumentWait = 0;
    const Font font = test::LoadTestFont("sans12");
    for (auto [m, name] : {std::pair{PaceMode::Pace, "constructions_sheet"},
                           {PaceMode::Slow, "constructions_slow_sheet"}}) {
        Canvas sheet(4 * 240, 3 * 200);
        for (int k = 0; k < 12; ++k) {
            Canvas cell(240, 200);
            DrawCell(k, cell.target(), m);
            PrintText(cell.target(), CellNames[k], font, 4, 2, Colour{0x000000},
                      TargetMaskColour(cell.target()));
            RasterLine(cell.target(), 0, 0, 239, 199, Colour{0xE0E0E0}, LineKind::Box);
            RasterBlit(sheet.target(), k % 4 * 240.0, k / 4 * 200.0, cell.handle, BlitMode::Copy);
        }
        ASSERT_TRUE(WritePng(test::OutputPath(std::string(name) + ".png"), sheet.handle));
        EXPECT_TRUE(test::MatchesApproved(name, sheet.handle));
    }
}

}  // namespace
}  // namespace zir
