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

using test::Bytes;
using test::C;
using test::Canvas;
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

// Pixels of `a` that are not paper and that `b` shows alike.
int Covered(const Canvas& a, const Canvas& b) {
    int covered = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.is(x, y, Paper)) continue;
            covered += ImageColourAt(a.handle, x, y) == ImageColourAt(b.handle, x, y);
        }
    }
    return covered;
}

using Call = std::function<std::string(DrawTarget, PaceMode, InputEvent&)>;

// Each construction with fixed inputs, its results as bytes (the returned record and any it
// writes besides) and how often it pauses when paced.
TEST_F(Constructions, EveryModeComputesTheSameObjectAndOnlyFastPaceAndSlowDraw) {
    const Point a = P(200, 300), b = P(400, 260), outside = P(470, 230);
    const Line l1 = L(150, 380, 100, 0), l2 = L(150, 380, 60, -80);
    const Circle c = C(300, 200, 60);
    const LineOperands line{};
    const CircleOperands circle{0xC00000, 2, 2560, 23040};
    const struct {
        const char* name;
        int pauses;
        Call call;
    } rows[] = {
        {"line", 1,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructLine(t, 0, 0, a, b, line, m, e));
         }},
        {"line at an angle", 1,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructLinePolar(t, 0, 0, a, l2, 23040, line, m, e));
         }},
        {"start line", 1,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             Point q = P(1, 1);
             const Line r = ConstructStartLine(t, 0, 0, a, q, 7680, 120 * Fixed, line, m, e);
             return Bytes(r, q);
         }},
        {"circle through a point", 1,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructCircleThrough(t, 0, 0, a, b, circle, m, e));
         }},
        {"circle touching a line", 2,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructCircleTangent(t, 0, 0, b, l1, circle, m, e));
         }},
        {"arc", 1,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructArc(t, 0, 0, a, b, 15360, circle, m, e));
         }},
        {"arc between lines", 1,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructArcLines(t, 0, 0, l1, l2, 70 * Fixed, circle, m, e));
         }},
        {"perpendicular bisector", 2,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructMidLine(t, 0, 0, a, b, line, m, e));
         }},
        {"angle bisector", 2,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             return Bytes(ConstructBisector(t, 0, 0, l1, l2, line, m, e));
         }},
        {"tangents", 2,
         [=](DrawTarget t, PaceMode m, InputEvent& e) {
             Line t2 = L(1, 1, 1, 1);
             const Line t1 = ConstructTangent(t, 0, 0, outside, c, t2, line, m, e);
             return Bytes(t1, t2);
         }},
    };
    Settings().stepWait = 300;
    for (const auto& k : rows) {
        SCOPED_TRACE(k.name);
        Canvas fast(640, 460);
        InputEvent event = 77;
        double t0 = NowMs();
        const std::string want = k.call(fast.target(), PaceMode::Fast, event);
        EXPECT_EQ(event, 0u);
        EXPECT_EQ(NowMs(), t0) << "FAST never waits";
        EXPECT_LT(fast.count(Paper), 640 * 460);
        // FAST draws no compass arcs; the perpendicular bisector is itself auxiliary.
        if (std::string(k.name) != "perpendicular bisector") {
            EXPECT_EQ(fast.count(Aux), 0);
        }

        for (int other : {4, 3, -1, 99}) {
            Canvas none(640, 460);
            EXPECT_EQ(k.call(none.target(), static_cast<PaceMode>(other), event), want) << other;
            EXPECT_EQ(none.count(Paper), 640 * 460) << other << " draws nothing";
            EXPECT_EQ(NowMs(), t0);
        }

        Canvas paced(640, 460);
        EXPECT_EQ(k.call(paced.target(), PaceMode::Pace, event), want);
        EXPECT_EQ(event, 0u);
        EXPECT_GE(NowMs() - t0, 300.0 * k.pauses);
        EXPECT_LT(NowMs() - t0, 340.0 * k.pauses);
        // The object is drawn last, over the construction marks, as FAST draws it.
        const int drawn = 640 * 460 - fast.count(Paper);
        EXPECT_EQ(Covered(fast, paced), drawn);

        // Animated, no instrument is left behind and the object stands as FAST draws it,
        // except the tangents from outside, which are drawn as segments from P.
        Canvas slow(640, 460);
        EXPECT_EQ(k.call(slow.target(), PaceMode::Slow, event), want);
        EXPECT_EQ(event, 0u);
        EXPECT_EQ(slow.count(Tool) + slow.count(Compass), 0);
        // The bisector's right angle is drawn before its line here, after it in FAST: one
        // pixel where they meet may differ.
        if (std::string(k.name) != "tangents") {
            EXPECT_GE(Covered(fast, slow), drawn - 1);
        }
    }
}

// Every phase lasts the step wait (animations) or the instrument wait (an instrument laid
// down): the sum tells which phases ran.
TEST_F(Constructions, SlowStepsTakeTheirInstrumentsInTurn) {
    const Line level = L(100, 300, 100, 0, 0x008000);
    const Point on = P(300, 300), above = P(300, 200);
    const Circle c = C(300, 200, 50);
    const PaceMode slow = PaceMode::Slow;
    Line t2{};
    const struct {
        const char* name;
        double ms;
        std::function<void(DrawTarget, InputEvent&)> call;
    } rows[] = {
        // The segment with pencil and ruler, then the pause.
        {"line", 4000,
         [&](DrawTarget t, InputEvent& e) { ConstructLine(t, 0, 0, on, above, {}, slow, e); }},
        // Square laid, ruler laid, slide, pencil, pause.
        {"right angle", 10000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, above, level, 23040, {}, slow, e);
         }},
        {"parallel", 10000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, above, level, 46080, {}, slow, e);
         }},
        // Protractor laid, rim marked, pause, ruler laid, ray drawn, pause; from a point off
        // the line the vertex is marked first.
        {"protractor", 12000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, on, level, 11520, {}, slow, e);
         }},
        {"protractor off the line", 14000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, above, level, 11520, {}, slow, e);
         }},
        // Four short arcs hurried through in four frames each, the pause, the segment with
        // pencil and ruler and its pause, the pause.
        {"perpendicular bisector", 8860,
         [&](DrawTarget t, InputEvent& e) {
             ConstructMidLine(t, 0, 0, P(200, 300), P(400, 300), {}, slow, e);
         }},
        {"circle", 4000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructCircleThrough(t, 0, 0, on, above, {}, slow, e);
         }},
        // The radius and its pause; square laid, ruler laid, slide (no segment: P is on the
        // radius); the pause.
        {"tangent at a point", 12100,
         [&](DrawTarget t, InputEvent& e) {
             ConstructTangent(t, 0, 0, P(350, 200), c, t2, {}, slow, e);
         }},
        // The radius and its pause, the midpoint and its pause, three short arcs, the pause,
        // the two tangents with theirs.
        {"tangents from outside", 16760,
         [&](DrawTarget t, InputEvent& e) {
             ConstructTangent(t, 0, 0, P(400, 200), c, t2, {}, slow, e);
         }},
    };
    for (const auto& k : rows) {
        SCOPED_TRACE(k.name);
        Canvas canvas(640, 460);
        InputEvent e = 5;
        const double t0 = NowMs();
        k.call(canvas.target(), e);
        EXPECT_EQ(e, 0u);
        EXPECT_NEAR(NowMs() - t0, k.ms, k.ms / 40);
        EXPECT_EQ(canvas.count(Tool) + canvas.count(Compass), 0);
    }
}

TEST_F(Constructions, AKeyDuringTheFirstCompassArcSkipsTheRestButNotTheBisector) {
    // A short arc takes four frames, about 200 ms.
    Start("100 key a\n");
    const Point a = P(200, 300, 0x800000), b = P(400, 300);
    Canvas slow(640, 460);
    InputEvent e = 0;
    const Line r = ConstructMidLine(slow.target(), 0, 0, a, b, {}, PaceMode::Slow, e);
    EXPECT_EQ(e, KeyEvent("a"));
    EXPECT_NEAR(NowMs(), 100, 15);
    // The first arc finished, the bisector and its right angle; nothing else.
    Canvas want(640, 460);
    Circle arc = MakeArc(a, P(300, 400), 2560 * AngleUnit);  // turned clockwise from a-b
    arc.colour = Aux.Value();
    arc.width = 1;
    DrawCircle(want.target(), arc);
    MarkRightAngle(want.target(), MakeLine(a, b), r, 0, 10);
    DrawLine(want.target(), r);
    EXPECT_TRUE(test::SamePicture(slow, want));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 300, 50), ImageColourAt(want.handle, 300, 50))
        << "and shown";

    // Paced, a key in the first of the bisector's two pauses ends it and skips the second;
    // the bisector is still drawn and shown at the area origin.
    Start("3000 key b\n");
    Canvas paced(600, 400);
    ConstructMidLine(paced.target(), 5, 7, P(200, 300), P(400, 300), {}, PaceMode::Pace, e);
    EXPECT_EQ(e, KeyEvent("b"));
    EXPECT_NEAR(NowMs(), 3000, 25);
    EXPECT_TRUE(paced.is(300, 50, Aux));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 305, 57), ImageColourAt(paced.handle, 300, 50));
}

TEST_F(Constructions, ASlowCircleTouchingALineIsDrawnEvenWhenItsPerpendicularIsCutShort) {
    Start("1000 key b\n");
    Canvas slow(640, 460);
    InputEvent e = 0;
    const Circle c =
        ConstructCircleTangent(slow.target(), 0, 0, P(300, 150), L(0, 300, 100, 0, 0x008000),
                               {0xC00000, 1, -1, -1}, PaceMode::Slow, e);
    EXPECT_EQ(e, 0u) << "the compass ran to its end and the pause after it too";
    EXPECT_NEAR(NowMs(), 1000 + 2000 + 2000, 60);
    EXPECT_TRUE(slow.is(300 + static_cast<int>(c.r), 150, Colour{0xC00000}));
    EXPECT_TRUE(slow.is(300, 100, Aux)) << "the perpendicular through the centre";
}

TEST_F(Constructions, TheExportedProceduresTakeEverythingByPointer) {
    Canvas canvas(640, 460);
    ImageHandle handle = canvas.handle;
    const std::int32_t x = 0, y = 0, fast = 0, compute = 4, minus = -1, red = 0xFF0000;
    std::int32_t event = 9;
    const ZirPoint p = P(400, 200), a = P(100, 100), b = P(300, 200);
    const ZirCircle c = C(300, 200, 50);
    ZirLine t2{};
    const ZirLine t1 =
        ZIRS_MAKETANGENT(&handle, &x, &y, &p, &c, &t2, &minus, &red, &minus, &compute, &event);
    EXPECT_EQ(event, 0);
    Line want2{};
    InputEvent e = 0;
    const Line want1 =
        ConstructTangent(nullptr, 0, 0, p, c, want2, {-1, red, -1}, PaceMode::Compute, e);
    EXPECT_EQ(Bytes(t1, t2), Bytes(want1, want2));
    EXPECT_EQ(canvas.count(Paper), 640 * 460);
    ZirPoint q{};
    const std::int32_t angle = 0, length = 50 * Fixed;
    ZIRS_MAKESTARTLINE(&handle, &x, &y, &a, &q, &angle, &length, &minus, &minus, &minus, &compute,
                       nullptr);
    EXPECT_EQ(q.x, 150);
    const ZirLine l = ZIRS_MAKELINE(&handle, &x, &y, &a, &b, &minus, &red, &minus, &fast, nullptr);
    EXPECT_EQ(l.colour, 0xFF0000u);
    EXPECT_TRUE(canvas.is(200, 150, Colour{0xFF0000}));
    test::ExpectUndefined(
        ZIRS_MAKELINE(&handle, &x, &y, nullptr, &b, &minus, &red, &minus, &fast, &event));
}

// One sheet with every construction drawn in the mode, its construction marks visible: for a
// person to look at, and as an approved picture that catches any change in what is drawn.
void DrawSheet(Canvas& sheet, PaceMode m) {
    const Font font = test::LoadTestFont("sans12");
    constexpr int CellW = 240, CellH = 200;
    const std::uint32_t Given = 0x909090, Ink = 0x404040;
    const LineOperands blue{-1, 0x0040C0, 2};
    const CircleOperands red{0xC00000, 2, -1, -1};
    InputEvent e = 0;

    struct Cell {
        const char* name;
        std::function<void(DrawTarget)> draw;
    };
    auto point = [&](DrawTarget t, const Point& p) { DrawPoint(t, Point{p.x, p.y, Ink, 8, 0}); };
    // Given lines are drawn thin and grey; a right angle marked on one takes its colour.
    auto G = [&](double x, double y, double dx, double dy) {
        return L(x, y, dx, dy, Given, 0xFFFF, 1);
    };
    const std::vector<Cell> cells = {
        {"ZIRS_MAKELINE",
         [&](DrawTarget t) {
             const Point a = P(40, 160), b = P(200, 50);
             ConstructLine(t, 0, 0, a, b, blue, m, e);
             point(t, a);
             point(t, b);
         }},
        {"ZIRS_MAKELINEPOLAR 90",
         [&](DrawTarget t) {
             const Line l = G(10, 150, 100, -20);
             const Point p = P(110, 130);
             DrawLine(t, l);
             ConstructLinePolar(t, 0, 0, p, l, 23040, blue, m, e);
             point(t, p);
         }},
        {"ZIRS_MAKESTARTLINE 30, 150",
         [&](DrawTarget t) {
             const Point p = P(40, 160, Ink, 8, 0);
             Point q{};
             ConstructStartLine(t, 0, 0, p, q, 7680, 150 * Fixed, blue, m, e);
             point(t, p);
         }},
        {"ZIRS_MAKECIRCLEP",
         [&](DrawTarget t) {
             const Point c = P(120, 110), p = P(180, 110);
             ConstructCircleThrough(t, 0, 0, c, p, red, m, e);
             point(t, c);
             point(t, p);
         }},
        {"ZIRS_MAKECIRCLETANGENT",
         [&](DrawTarget t) {
             const Point c = P(120, 100);
             const Line l = G(0, 170, 100, -10);
             DrawLine(t, l);
             ConstructCircleTangent(t, 0, 0, c, l, red, m, e);
             point(t, c);
         }},
        {"ZIRS_MAKEARC 60",
         [&](DrawTarget t) {
             const Point c = P(50, 160), p = P(190, 80);
             ConstructArc(t, 0, 0, c, p, 15360, red, m, e);
             point(t, c);
             point(t, p);
         }},
        {"ZIRS_MAKEARCLINES",
         [&](DrawTarget t) {
             const Line l1 = G(40, 160, 100, 0), l2 = G(40, 160, 60, -80);
             DrawLine(t, l1);
             DrawLine(t, l2);
             ConstructArcLines(t, 0, 0, l1, l2, 80 * Fixed, red, m, e);
         }},
        {"ZIRS_MAKEMIDLINE",
         [&](DrawTarget t) {
             const Point a = P(60, 120), b = P(180, 90);
             ConstructMidLine(t, 0, 0, a, b, {}, m, e);
             point(t, a);
             point(t, b);
         }},
        {"ZIRS_MAKEBISECTOR",
         [&](DrawTarget t) {
             const Line l1 = G(20, 185, 100, 0), l2 = G(20, 185, 50, -86.6);
             DrawLine(t, l1);
             DrawLine(t, l2);
             ConstructBisector(t, 0, 0, l1, l2, blue, m, e);
         }},
        {"ZIRS_MAKETANGENT",
         [&](DrawTarget t) {
             const Circle c = C(80, 110, 45, Given, 1);
             const Point p = P(205, 95);
             DrawCircle(t, c);
             Line t2{};
             ConstructTangent(t, 0, 0, p, c, t2, blue, m, e);
             point(t, p);
             point(t, P(80, 110));
         }},
        {"ZIRS_MAKETANGENT on C",
         [&](DrawTarget t) {
             const Circle c = C(100, 115, 55, Given, 1);
             const Point p = P(100 + 55 * std::cos(45 * Deg), 115 - 55 * std::sin(45 * Deg));
             DrawCircle(t, c);
             Line t2{};
             ConstructTangent(t, 0, 0, p, c, t2, blue, m, e);
             point(t, p);
         }},
        {"ZIRS_MAKECIRCLEP 45-270",
         [&](DrawTarget t) {
             const Point c = P(120, 110), p = P(120, 50);
             ConstructCircleThrough(t, 0, 0, c, p, {0xC00000, 2, 11520, 69120}, m, e);
             point(t, c);
         }},
    };
    for (std::size_t k = 0; k < cells.size(); ++k) {
        Canvas cell(CellW, CellH);
        cells[k].draw(cell.target());
        PrintText(cell.target(), cells[k].name, font, 4, 2, Colour{0x000000},
                  TargetMaskColour(cell.target()));
        RasterLine(cell.target(), 0, 0, CellW - 1, CellH - 1, Colour{0xE0E0E0}, LineKind::Box);
        RasterBlit(sheet.target(), static_cast<double>(k % 4 * CellW),
                   static_cast<double>(k / 4 * CellH), cell.handle, BlitMode::Copy);
    }
}

TEST_F(Constructions, SheetOfEveryConstructionPaced) {
    Settings().stepWait = 0;
    Canvas sheet(4 * 240, 3 * 200);
    DrawSheet(sheet, PaceMode::Pace);
    ASSERT_TRUE(WritePng(test::OutputPath("constructions_sheet.png"), sheet.handle));
    EXPECT_TRUE(test::MatchesApproved("constructions_sheet", sheet.handle));
}

// Animated, what stays is the object with the marks its instruments drew: the compass arcs,
// the segments the pencil drew along the ruler and the set square.
TEST_F(Constructions, SheetOfEveryConstructionAnimated) {
    Settings().stepWait = 0;
    Settings().instrumentWait = 0;
    Canvas sheet(4 * 240, 3 * 200);
    DrawSheet(sheet, PaceMode::Slow);
    ASSERT_TRUE(WritePng(test::OutputPath("constructions_slow_sheet.png"), sheet.handle));
    EXPECT_TRUE(test::MatchesApproved("constructions_slow_sheet", sheet.handle));
}

}  // namespace
}  // namespace zir
