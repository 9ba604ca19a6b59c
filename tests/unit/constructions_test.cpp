// The named constructions: the objects they compute, what they draw plainly and paced, and
// how they pace on the headless platform's virtual clock.
#include "constructions/constructions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "draw/figures.h"
#include "draw/fonts.h"
#include "draw/marks.h"
#include "draw_canvas.h"
#include "geometry/crossings.h"
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
using test::ExpectLine;
using test::ExpectPoint;
using test::ExpectUndefined;
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
    // Restarts the headless platform with this viewer input, the default settings and the
    // default screen.
    void Start(const std::string& input) {
        ASSERT_TRUE(test::RestartHeadless(input, "constructions-input.txt"));
        ASSERT_TRUE(ScreenOpen(640, 480, 16));
    }
    static double NowMs() { return ClockSeconds() * 1000.0; }
};

// Whether the pixel nearest (x, y) or one of its neighbours has the colour.
bool Near(const Canvas& c, double x, double y, Colour colour) {
    const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int qx = px + dx, qy = py + dy;
            if (qx >= 0 && qy >= 0 && qx < c.width() && qy < c.height() && c.is(qx, qy, colour)) {
                return true;
            }
        }
    }
    return false;
}

// Whether the 3x3 pixels around (x, y) are all paper.
bool Blank(const Canvas& c, double x, double y) {
    int paper = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            paper += c.is(static_cast<int>(std::lround(x)) + dx,
                          static_cast<int>(std::lround(y)) + dy, Paper);
        }
    }
    return paper == 9;
}

// The point at the screen angle a on the circle about (cx, cy) of radius r.
Point OnCircle(double cx, double cy, double r, double a) {
    return P(cx + r * std::cos(a), cy - r * std::sin(a));
}

template <class... Records>
std::string Bytes(const Records&... records) {
    std::string bytes;
    (bytes.append(reinterpret_cast<const char*>(&records), sizeof records), ...);
    return bytes;
}

// One construction with fixed inputs: its results (the returned record and any record it
// writes besides) as bytes, so that calls can be compared whole; and how often it pauses
// when paced.
struct Case {
    const char* name = "";
    int pauses = 0;
    std::function<std::string(DrawTarget, PaceMode, InputEvent&)> call;
};

std::vector<Case> TenConstructions() {
    const Point a = P(200, 300), b = P(400, 260), outside = P(470, 230);
    const Line l1 = L(150, 380, 100, 0), l2 = L(150, 380, 60, -80);
    const Circle c = C(300, 200, 60);
    const LineOperands line{};
    const CircleOperands circle{0xC00000, 2, 2560, 23040};
    return {
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
}

TEST_F(Constructions, EveryModeComputesTheSameObjectAndOnlyFastPaceAndSlowDraw) {
    Settings().stepWait = 300;
    for (const Case& k : TenConstructions()) {
        SCOPED_TRACE(k.name);
        Canvas fast(640, 460);
        InputEvent event = 77;
        double t0 = NowMs();
        const std::string want = k.call(fast.target(), PaceMode::Fast, event);
        EXPECT_EQ(event, 0u);
        EXPECT_EQ(NowMs(), t0) << "FAST never waits";
        EXPECT_LT(fast.count(Paper), 640 * 460);

        for (int other : {4, 3, -1, 99}) {
            Canvas none(640, 460);
            t0 = NowMs();
            EXPECT_EQ(k.call(none.target(), static_cast<PaceMode>(other), event), want) << other;
            EXPECT_EQ(none.count(Paper), 640 * 460) << other << " draws nothing";
            EXPECT_EQ(NowMs(), t0);
        }

        Canvas paced(640, 460);
        t0 = NowMs();
        EXPECT_EQ(k.call(paced.target(), PaceMode::Pace, event), want);
        EXPECT_EQ(event, 0u);
        EXPECT_GE(NowMs() - t0, 300.0 * k.pauses);
        EXPECT_LT(NowMs() - t0, 340.0 * k.pauses);
        // The object is drawn last, over the construction marks, as FAST draws it.
        int covered = 0, drawn = 0;
        for (int y = 0; y < 460; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (fast.is(x, y, Paper)) continue;
                ++drawn;
                covered += ImageColourAt(paced.handle, x, y) == ImageColourAt(fast.handle, x, y);
            }
        }
        EXPECT_EQ(covered, drawn);

        // Animated, no instrument is left behind and the object stands as FAST draws it,
        // except the tangents from outside, which are drawn as segments from P.
        Canvas slow(640, 460);
        EXPECT_EQ(k.call(slow.target(), PaceMode::Slow, event), want);
        EXPECT_EQ(event, 0u);
        EXPECT_EQ(slow.count(Tool) + slow.count(Compass), 0);
        if (std::string(k.name) == "tangents") continue;
        covered = 0;
        for (int y = 0; y < 460; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (fast.is(x, y, Paper)) continue;
                covered += ImageColourAt(slow.handle, x, y) == ImageColourAt(fast.handle, x, y);
            }
        }
        // The bisector's right angle is drawn before its line here, after it in FAST: one
        // pixel where they meet may differ.
        EXPECT_GE(covered, drawn - 1);
    }
}

TEST_F(Constructions, SlowStepsTakeTheirInstrumentsInTurn) {
    // Every phase lasts the step wait (animations) or the instrument wait (an instrument
    // laid down): the sum tells which phases ran.
    const Line level = L(100, 300, 100, 0, 0x008000);
    const Point on = P(300, 300), above = P(300, 200);
    struct Timed {
        const char* name;
        double ms;
        std::function<void(DrawTarget, InputEvent&)> call;
    };
    const std::vector<Timed> cases = {
        // The segment with pencil and ruler, then the pause.
        {"line", 4000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLine(t, 0, 0, on, above, {}, PaceMode::Slow, e);
         }},
        // Square laid, ruler laid, slide, pencil, pause.
        {"right angle", 10000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, above, level, 23040, {}, PaceMode::Slow, e);
         }},
        {"parallel", 10000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, above, level, 46080, {}, PaceMode::Slow, e);
         }},
        // Protractor laid, rim marked, pause, ruler laid, ray drawn, pause; from a point off
        // the line the vertex is marked first.
        {"protractor", 12000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, on, level, 11520, {}, PaceMode::Slow, e);
         }},
        {"protractor off the line", 14000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructLinePolar(t, 0, 0, above, level, 11520, {}, PaceMode::Slow, e);
         }},
        // Four short arcs hurried through in four frames each, the pause, the segment with
        // pencil and ruler and its pause, the pause.
        {"perpendicular bisector", 8860,
         [&](DrawTarget t, InputEvent& e) {
             ConstructMidLine(t, 0, 0, P(200, 300), P(400, 300), {}, PaceMode::Slow, e);
         }},
        {"circle", 4000,
         [&](DrawTarget t, InputEvent& e) {
             ConstructCircleThrough(t, 0, 0, on, above, {}, PaceMode::Slow, e);
         }},
        // The radius and its pause; square laid, ruler laid, slide (no segment: P is on the
        // radius); the pause.
        {"tangent at a point", 12100,
         [&](DrawTarget t, InputEvent& e) {
             Line t2{};
             ConstructTangent(t, 0, 0, P(350, 200), C(300, 200, 50), t2, {}, PaceMode::Slow, e);
         }},
        // The radius and its pause, the midpoint and its pause, three short arcs, the pause,
        // the two tangents with theirs.
        {"tangents from outside", 16760,
         [&](DrawTarget t, InputEvent& e) {
             Line t2{};
             ConstructTangent(t, 0, 0, P(400, 200), C(300, 200, 50), t2, {}, PaceMode::Slow, e);
         }},
    };
    for (const Timed& k : cases) {
        SCOPED_TRACE(k.name);
        Canvas c(640, 460);
        InputEvent e = 5;
        const double t0 = NowMs();
        k.call(c.target(), e);
        EXPECT_EQ(e, 0u);
        EXPECT_NEAR(NowMs() - t0, k.ms, k.ms / 40);
        EXPECT_EQ(c.count(Tool) + c.count(Compass), 0);
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
    const Point k1 = P(300, 400);  // on the perpendicular, turned clockwise from a-b
    Circle arc = MakeArc(a, k1, 2560 * AngleUnit);
    arc.colour = Aux.Value();
    arc.width = 1;
    DrawCircle(want.target(), arc);
    MarkRightAngle(want.target(), MakeLine(a, b), r, 0, 10);
    DrawLine(want.target(), r);
    EXPECT_TRUE(test::SamePicture(slow, want));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 300, 50), ImageColourAt(want.handle, 300, 50))
        << "and shown";
}

TEST_F(Constructions, ASlowCircleTouchingALineIsDrawnEvenWhenItsPerpendicularIsCutShort) {
    Start("1000 key b\n");
    const Line ground = L(0, 300, 100, 0, 0x008000);
    Canvas slow(640, 460);
    InputEvent e = 0;
    const Circle c = ConstructCircleTangent(slow.target(), 0, 0, P(300, 150), ground,
                                            {0xC00000, 1, -1, -1}, PaceMode::Slow, e);
    EXPECT_EQ(e, 0u) << "the compass ran to its end and the pause after it too";
    EXPECT_NEAR(NowMs(), 1000 + 2000 + 2000, 60);
    EXPECT_TRUE(Near(slow, 300 + c.r, 150, Colour{0xC00000}) &&
                Near(slow, 300, 150 - c.r, Colour{0xC00000}));
    EXPECT_TRUE(Near(slow, 300, 100, Aux)) << "the perpendicular through the centre";
}

TEST_F(Constructions, LinesTakeTheirAttributesOrTheDefaults) {
    const Point a = P(100, 100, 0x123456), b = P(300, 200);
    InputEvent e = 0;
    ExpectLine(ConstructLine(nullptr, 0, 0, a, b, {}, PaceMode::Compute, e),
               L(100, 100, 200, 100, 0x010101, 0xFFFF, 1));
    ExpectLine(ConstructLine(nullptr, 0, 0, a, b, {0xF0F0, 0xFF0000, 3}, PaceMode::Compute, e),
               L(100, 100, 200, 100, 0xFF0000, 0xF0F0, 3));
    Settings().lineStyle = 0xCCCC;
    Settings().drawColour = 0x00FF00;
    Settings().lineWidth = 2;
    ExpectLine(ConstructLine(nullptr, 0, 0, a, b, {-1, 0x0000FF, -1}, PaceMode::Compute, e),
               L(100, 100, 200, 100, 0x0000FF, 0xCCCC, 2));

    // At an angle to a line: counter-clockwise from the line's own direction, length 100.
    const Line up = ConstructLinePolar(nullptr, 0, 0, P(200, 200), L(0, 0, 100, 0), 23040, {},
                                       PaceMode::Compute, e);
    ExpectLine(up, L(200, 200, 0, -100, 0x00FF00, 0xCCCC, 2), 1e-9);
    const Line turned = ConstructLinePolar(nullptr, 0, 0, P(200, 200), L(0, 0, 50, -50), 11520, {},
                                           PaceMode::Compute, e);
    EXPECT_NEAR(turned.dx, 0, 1e-9);
    EXPECT_NEAR(turned.dy, -100, 1e-9);
}

TEST_F(Constructions, AStartLineEndsAtItsLengthAndWritesTheEndPointEvenWithoutDrawing) {
    const Point p = P(100, 200, 0x123456, 7, 3);
    Point q = P(0, 0);
    InputEvent e = 0;
    Line r = ConstructStartLine(nullptr, 0, 0, p, q, 23040, 40 * Fixed, {}, PaceMode::Compute, e);
    ExpectPoint(q, P(100, 160, 0x123456, 7, 3), 1e-9);
    ExpectLine(r, L(100, 200, 0, -40, 0x010101, 0xFFFF, 1), 1e-9);

    r = ConstructStartLine(nullptr, 0, 0, p, q, 7680, 3 * Fixed / 2, {}, PaceMode::Compute, e);
    EXPECT_NEAR(std::hypot(r.dx, r.dy), 1.5, 1e-12) << "the direction is the segment";
    EXPECT_NEAR(-std::atan2(r.dy, r.dx), 30 * Deg, 1e-9);

    // Length 0 keeps the angle's direction: a line needs one to be crossed or marked.
    r = ConstructStartLine(nullptr, 0, 0, p, q, 0, 0, {}, PaceMode::Compute, e);
    ExpectPoint(q, p, 0);
    EXPECT_GT(r.dx, 0);
    EXPECT_EQ(r.dy, 0);

    // The end point may be written over the start point itself.
    Point same = p;
    ConstructStartLine(nullptr, 0, 0, same, same, 0, 10 * Fixed, {}, PaceMode::Compute, e);
    EXPECT_NEAR(same.x, 110, 1e-9);
}

TEST_F(Constructions, CirclesAndArcs) {
    InputEvent e = 0;
    const Point m = P(200, 200), p = P(200, 260);
    Circle c =
        ConstructCircleThrough(nullptr, 0, 0, m, p, {-1, -1, -1, 12345}, PaceMode::Compute, e);
    EXPECT_EQ(c.r, 60);
    EXPECT_EQ(c.start, 0) << "start -1 is the whole circle whatever the end";
    EXPECT_EQ(c.end, 0);
    EXPECT_EQ(c.colour, 0x010101u);
    EXPECT_EQ(c.width, 1);
    c = ConstructCircleThrough(nullptr, 0, 0, m, p, {0xFF0000, 3, 23040, 46080}, PaceMode::Compute,
                               e);
    EXPECT_NEAR(c.start, std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(c.end, std::numbers::pi, 1e-12);
    EXPECT_EQ(c.colour, 0xFF0000u);
    EXPECT_EQ(c.width, 3);
    c = ConstructCircleThrough(nullptr, 0, 0, m, p, {-1, -1, 0, -1}, PaceMode::Compute, e);
    EXPECT_EQ(c.end, -AngleUnit) << "an end of -1 is -1/256 degree once a start is given";

    // Touching a line: the radius is the distance to the line.
    c = ConstructCircleTangent(nullptr, 0, 0, P(300, 150), L(0, 300, 100, 0), {0x00FF00, 2},
                               PaceMode::Compute, e);
    EXPECT_NEAR(c.cx, 300, 1e-9);
    EXPECT_NEAR(c.r, 150, 1e-9);
    EXPECT_EQ(c.colour, 0x00FF00u);

    // An arc centred on the point through which it runs.
    c = ConstructArc(nullptr, 0, 0, m, P(300, 200), 23040, {0x0000FF, 2, 1, 1}, PaceMode::Compute,
                     e);
    EXPECT_NEAR(c.r, 100, 1e-9);
    EXPECT_NEAR(c.start, 7 * std::numbers::pi / 4, 1e-9);
    EXPECT_NEAR(c.end, std::numbers::pi / 4, 1e-9);
    EXPECT_EQ(c.colour, 0x0000FFu);

    // Between two lines: about their crossing, from the first line's direction to the second.
    c = ConstructArcLines(nullptr, 0, 0, L(100, 300, 100, 0), L(150, 350, 0, -100), 50 * Fixed, {},
                          PaceMode::Compute, e);
    EXPECT_NEAR(c.cx, 150, 1e-9);
    EXPECT_NEAR(c.cy, 300, 1e-9);
    EXPECT_EQ(c.r, 50);
    EXPECT_NEAR(c.start, 0, 1e-12);
    EXPECT_NEAR(c.end, std::numbers::pi / 2, 1e-12);
}

TEST_F(Constructions, BisectorsOfSegmentsAndAngles) {
    InputEvent e = 0;
    const Point a = P(100, 200), b = P(300, 200);
    Line r = ConstructMidLine(nullptr, 0, 0, a, b, {}, PaceMode::Compute, e);
    ExpectLine(r, L(200, 200, 0, 200, Aux.Value(), 0xFFFF, 1));
    EXPECT_EQ(ConstructLine(nullptr, 0, 0, a, b, {}, PaceMode::Compute, e).colour, 0x010101u)
        << "an ordinary line takes the drawing colour";

    const Line east = L(200, 300, 100, 0), north = L(200, 300, 0, -100);
    r = ConstructBisector(nullptr, 0, 0, east, north, {}, PaceMode::Compute, e);
    EXPECT_NEAR(r.x, 200, 1e-9);
    EXPECT_NEAR(r.y, 300, 1e-9);
    EXPECT_NEAR(AbsAngle(r), std::numbers::pi / 4, 1e-9);
    EXPECT_EQ(r.colour, 0x010101u);
    r = ConstructBisector(nullptr, 0, 0, north, east, {}, PaceMode::Compute, e);
    EXPECT_NEAR(AbsAngle(r), 5 * std::numbers::pi / 4, 1e-9) << "into the angle of 270 degrees";

    // Same direction: the first line itself. A straight angle: the perpendicular at the
    // first line's base point.
    r = ConstructBisector(nullptr, 0, 0, east, L(0, 100, 30, 0), {0xF0F0, 0xFF0000, 2},
                          PaceMode::Compute, e);
    ExpectLine(r, L(200, 300, 100, 0, 0xFF0000, 0xF0F0, 2));
    r = ConstructBisector(nullptr, 0, 0, east, L(500, 100, -30, 0), {}, PaceMode::Compute, e);
    EXPECT_NEAR(r.x, 200, 1e-9);
    EXPECT_NEAR(r.y, 300, 1e-9);
    EXPECT_NEAR(r.dx, 0, 1e-9);
}

TEST_F(Constructions, TangentsFromOnInsideAndOutsideTheCircle) {
    InputEvent e = 0;
    const Circle c = C(300, 200, 50);
    const LineOperands look{0xF0F0, 0xFF0000, 2};
    Line t2 = L(1, 1, 1, 1);

    // On the circle: the one tangent at P in t2, perpendicular to the radius.
    Line t1 = ConstructTangent(nullptr, 0, 0, P(350, 200), c, t2, look, PaceMode::Compute, e);
    ExpectLine(t1, Line{UndefinedMarker, UndefinedMarker, 0, 0, 0xFF0000, 0xF0F0, 2});
    ExpectLine(t2, L(350, 200, 0, -50, 0xFF0000, 0xF0F0, 2));

    // Inside: none, both undefined with the attributes.
    t1 = ConstructTangent(nullptr, 0, 0, P(320, 210), c, t2, look, PaceMode::Compute, e);
    ExpectLine(t1, Line{UndefinedMarker, UndefinedMarker, 0, 0, 0xFF0000, 0xF0F0, 2});
    ExpectLine(t2, t1);

    // Outside: through P, touching; t2 on the right of the way from the centre to P.
    const Point p = P(400, 200);
    t1 = ConstructTangent(nullptr, 0, 0, p, c, t2, look, PaceMode::Compute, e);
    const Point centre = P(300, 200);
    for (const Line* t : {&t1, &t2}) {
        EXPECT_NEAR(t->x, 400, 1e-9);
        EXPECT_NEAR(t->y, 200, 1e-9);
        EXPECT_NEAR(LineDistance(centre, *t), 50, 1e-9);
        EXPECT_EQ(t->colour, 0xFF0000u);
        EXPECT_EQ(t->width, 2);
    }
    // Facing +x on the screen, the right-hand side is +y: t2 runs back down towards it.
    EXPECT_NEAR(t2.dx, -75, 1e-9);
    EXPECT_NEAR(t2.dy, 25 * std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(t1.dy, -25 * std::sqrt(3.0), 1e-9);
}

TEST_F(Constructions, UndefinedInputsGiveUndefinedResultsAndDrawNothing) {
    const Point u = test::Undef, a = P(100, 100), b = P(200, 150);
    const Line ul = test::UndefLine, l = L(100, 300, 100, 0);
    const Circle uc = test::C(UndefinedMarker, 1, 5), c = C(300, 200, 50);
    Canvas canvas(640, 460);
    const DrawTarget t = canvas.target();
    const PaceMode pace = PaceMode::Pace;
    const double t0 = NowMs();
    InputEvent e = 5;
    std::vector<Line> lines;
    std::vector<Circle> circles;
    for (int k = 0; k < 2; ++k) {
        const Point p1 = k ? a : u, p2 = k ? u : a;
        const Line l1 = k ? l : ul, l2 = k ? ul : l;
        lines.push_back(ConstructLine(t, 0, 0, p1, p2, {}, pace, e));
        lines.push_back(ConstructLinePolar(t, 0, 0, p1, l2, 23040, {}, pace, e));
        lines.push_back(ConstructMidLine(t, 0, 0, p1, p2, {}, pace, e));
        lines.push_back(ConstructBisector(t, 0, 0, l1, l2, {}, pace, e));
        circles.push_back(ConstructCircleThrough(t, 0, 0, p1, p2, {}, pace, e));
        circles.push_back(ConstructCircleTangent(t, 0, 0, p1, l2, {}, pace, e));
        circles.push_back(ConstructArc(t, 0, 0, p1, p2, 2560, {}, pace, e));
        circles.push_back(ConstructArcLines(t, 0, 0, l1, l2, 50 * Fixed, {}, pace, e));
    }
    // The records written besides the result must not keep what an earlier pass left there.
    Point q = b;
    lines.push_back(ConstructStartLine(t, 0, 0, u, q, 0, 50 * Fixed, {}, pace, e));
    ExpectUndefined(q);
    Line t2 = l;
    lines.push_back(ConstructTangent(t, 0, 0, u, c, t2, {}, pace, e));
    ExpectUndefined(t2);
    t2 = l;
    lines.push_back(ConstructTangent(t, 0, 0, a, uc, t2, {}, pace, e));
    ExpectUndefined(t2);

    for (const Line& r : lines) ExpectUndefined(r);
    for (const Circle& r : circles) EXPECT_EQ(Bytes(r), Bytes(UndefinedCircle()));
    EXPECT_EQ(e, 0u);
    EXPECT_EQ(canvas.count(Paper), 640 * 460);
    EXPECT_EQ(NowMs(), t0) << "nothing shown, nobody waits";

    // A tangent from inside the circle is impossible: nothing drawn, no pause either.
    ConstructTangent(t, 0, 0, P(310, 200), c, t2, {}, pace, e);
    EXPECT_EQ(canvas.count(Paper), 640 * 460);
    EXPECT_EQ(NowMs(), t0);
}

TEST_F(Constructions, ThePerpendicularBisectorIsAnAuxiliaryLineUnlessColoured) {
    const Point a = P(200, 300), b = P(400, 300);
    InputEvent e = 0;
    Canvas plain(640, 460), coloured(640, 460);
    ConstructMidLine(plain.target(), 0, 0, a, b, {}, PaceMode::Fast, e);
    EXPECT_TRUE(plain.is(300, 100, Aux));
    ConstructMidLine(coloured.target(), 0, 0, a, b, {-1, 0x0000FF, -1}, PaceMode::Fast, e);
    EXPECT_TRUE(coloured.is(300, 100, Colour{0x0000FF}));

    // An auxiliary colour of -1 stands for the result's colour: the paced marks take it,
    // and a bisector without a colour of its own takes the drawing colour.
    Settings().auxColour = 0xFFFFFFFF;
    Canvas own(640, 460);
    const Line r = ConstructMidLine(own.target(), 0, 0, a, b, {}, PaceMode::Pace, e);
    EXPECT_EQ(r.colour, 0x010101u);
    EXPECT_TRUE(Near(own, OnCircle(200, 300, 100 * std::sqrt(2.0), 48 * Deg).x,
                     OnCircle(200, 300, 100 * std::sqrt(2.0), 48 * Deg).y, Colour{0x010101}));
    Canvas thales(640, 460);
    Line t2{};
    ConstructTangent(thales.target(), 0, 0, P(400, 200), C(300, 200, 50), t2, {-1, 0x00A000, -1},
                     PaceMode::Pace, e);
    EXPECT_TRUE(Near(thales, 350, 250, Colour{0x00A000}))
        << "the Thales circle in the tangents' colour";
}

TEST_F(Constructions, PacedPicturesShowTheConstructionMarks) {
    Settings().stepWait = 0;
    InputEvent e = 0;
    auto both = [&](auto construct, auto check) {
        Canvas fast(640, 460), paced(640, 460);
        construct(fast.target(), PaceMode::Fast);
        construct(paced.target(), PaceMode::Pace);
        check(fast, paced);
    };

    // Perpendicular bisector: four short compass arcs about A and B through the points K1,
    // K2 where they cross on the bisector; its right angle in both modes.
    const Point a = P(200, 300, 0x800000), b = P(400, 300);
    both([&](DrawTarget t, PaceMode m) { ConstructMidLine(t, 0, 0, a, b, {}, m, e); },
         [&](const Canvas& fast, const Canvas& paced) {
             const double r = 100 * std::sqrt(2.0);
             for (auto [cx, angle] :
                  {std::pair{200.0, 312.0}, {200.0, 48.0}, {400.0, 222.0}, {400.0, 138.0}}) {
                 const Point on = OnCircle(cx, 300, r, angle * Deg);
                 EXPECT_TRUE(Near(paced, on.x, on.y, Aux)) << cx << " " << angle;
                 EXPECT_TRUE(Blank(fast, on.x, on.y));
             }
             const Point beyond = OnCircle(200, 300, r, 330 * Deg);
             EXPECT_TRUE(Blank(paced, beyond.x, beyond.y)) << "arcs, not circles";
             EXPECT_TRUE(Near(fast, 310, 305, Colour{0x800000}))
                 << "right angle in the colour of AB";
             EXPECT_TRUE(Near(paced, 310, 305, Colour{0x800000}));
         });

    // Angle bisector of 0 and 90 degrees at V: arcs about V through E1 and E2, then about
    // E1 and E2 through K on the bisector.
    const Line east = L(200, 350, 100, 0), north = L(200, 350, 0, -100);
    both([&](DrawTarget t, PaceMode m) { ConstructBisector(t, 0, 0, east, north, {}, m, e); },
         [&](const Canvas& fast, const Canvas& paced) {
             const Point marks[] = {
                 OnCircle(200, 350, 150, 3 * Deg), OnCircle(200, 350, 150, 93 * Deg),
                 OnCircle(350, 350, 150, 92 * Deg), OnCircle(200, 200, 150, -3 * Deg)};
             for (const Point& on : marks) {
                 EXPECT_TRUE(Near(paced, on.x, on.y, Aux)) << on.x << " " << on.y;
                 EXPECT_TRUE(Blank(fast, on.x, on.y));
             }
         });

    // Tangents from outside: the Thales circle over P and the centre.
    Line t2{};
    both([&](DrawTarget t,
             PaceMode m) { ConstructTangent(t, 0, 0, P(400, 200), C(300, 200, 50), t2, {}, m, e); },
         [&](const Canvas& fast, const Canvas& paced) {
             for (const Point& on : {P(300, 200), P(350, 250), P(385.36, 164.64)}) {
                 EXPECT_TRUE(Near(paced, on.x, on.y, Aux)) << on.x << " " << on.y;
                 EXPECT_TRUE(Blank(fast, on.x, on.y));
             }
         });

    // The tangent at a point on the circle: the radius and the right angle at P.
    both([&](DrawTarget t,
             PaceMode m) { ConstructTangent(t, 0, 0, P(350, 200), C(300, 200, 50), t2, {}, m, e); },
         [&](const Canvas& fast, const Canvas& paced) {
             for (const Point& on : {P(325, 200), P(360, 195)}) {
                 EXPECT_TRUE(Near(paced, on.x, on.y, Aux)) << on.x << " " << on.y;
                 EXPECT_TRUE(Blank(fast, on.x, on.y));
             }
         });

    // A circle touching a line: the radius to the touching point and its right angle.
    const Line ground = L(0, 300, 100, 0, 0x008000);
    both([&](DrawTarget t,
             PaceMode m) { ConstructCircleTangent(t, 0, 0, P(300, 150), ground, {}, m, e); },
         [&](const Canvas& fast, const Canvas& paced) {
             EXPECT_TRUE(Near(paced, 300, 225, Aux));
             EXPECT_TRUE(Blank(fast, 300, 225));
             EXPECT_TRUE(Near(paced, 310, 305, Colour{0x008000}))
                 << "right angle in the line's colour";
             EXPECT_TRUE(Blank(fast, 310, 305));
         });

    // A line at a right angle is marked in both modes; at 45 degrees it is the line alone.
    const Line level = L(0, 200, 100, 0, 0x008000);
    both([&](DrawTarget t,
             PaceMode m) { ConstructLinePolar(t, 0, 0, P(300, 200), level, 23040, {}, m, e); },
         [&](const Canvas& fast, const Canvas& paced) {
             EXPECT_TRUE(Near(fast, 310, 195, Colour{0x008000}));
             EXPECT_TRUE(test::SamePicture(fast, paced));
         });
    Canvas slanted(640, 460), alone(640, 460);
    const Line r = ConstructLinePolar(slanted.target(), 0, 0, P(300, 200), level, 11520, {},
                                      PaceMode::Fast, e);
    DrawLine(alone.target(), r);
    EXPECT_TRUE(test::SamePicture(slanted, alone));
}

TEST_F(Constructions, PacingWaitsTheStepTimeAndAKeyEndsTheWaitAndTheRest) {
    Start("3000 key a\n");
    Canvas canvas(600, 400);
    InputEvent e = 0;
    // Shown at the area origin: the screen holds the buffer from (5, 7) on.
    double t0 = NowMs();
    ConstructLine(canvas.target(), 5, 7, P(100, 100), P(300, 100), {}, PaceMode::Pace, e);
    EXPECT_EQ(e, 0u);
    EXPECT_GE(NowMs() - t0, 2000);
    EXPECT_LT(NowMs() - t0, 2040);
    EXPECT_TRUE(canvas.is(200, 100, Colour{0x010101}));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 205, 107), ImageColourAt(canvas.handle, 200, 100));

    // The key arrives during the first of the bisector's two pauses: that pause ends, the
    // second is skipped, and the bisector is still drawn and shown.
    t0 = NowMs();
    ConstructMidLine(canvas.target(), 5, 7, P(200, 300), P(400, 300), {}, PaceMode::Pace, e);
    EXPECT_EQ(e, KeyEvent("a"));
    EXPECT_NEAR(NowMs(), 3000, 25);
    EXPECT_TRUE(canvas.is(300, 50, Aux));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 305, 57), ImageColourAt(canvas.handle, 300, 50));

    // The next construction starts without an event and waits its full time, now 700 ms.
    Settings().stepWait = 700;
    t0 = NowMs();
    ConstructArc(canvas.target(), 5, 7, P(100, 300), P(200, 300), 2560, {}, PaceMode::Pace, e);
    EXPECT_EQ(e, 0u);
    EXPECT_GE(NowMs() - t0, 700);
    EXPECT_LT(NowMs() - t0, 740);
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
    const ZirLine none =
        ZIRS_MAKELINE(&handle, &x, &y, nullptr, &b, &minus, &red, &minus, &fast, &event);
    ExpectUndefined(none);
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
