// The animated construction steps on the headless platform's virtual clock: their frames,
// timing and interruption, read back from the recorded pictures the viewer was shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "anim/arcs.h"
#include "anim/frames.h"
#include "anim/lines.h"
#include "anim/pointstep.h"
#include "anim/protractor.h"
#include "anim/setsquare.h"
#include "draw/figures.h"
#include "draw/fonts.h"
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

using test::Black;
using test::Canvas;
using test::ExpectLine;
using test::L;
using test::P;
using test::White;

constexpr Colour Red{0xFF0000};
constexpr Colour Tool{0x0000B0};  // the default colour of ruler, set square and protractor
constexpr int Width = 640, Height = 480, AreaHeight = 460;

struct Frame : test::RecordedFrame {
    int count(Colour c) const {
        int n = 0;
        for (int y = 0; y < AreaHeight; ++y)
            for (int x = 0; x < Width; ++x) n += is(x, y, c);
        return n;
    }
};

class Animations : public ::testing::Test {
  protected:
    void SetUp() override { Start(""); }
    void TearDown() override { test::RestoreHeadless(); }
    // Restarts the headless platform with this viewer input, recording every picture shown,
    // with the default settings and screen.
    void Start(const std::string& input) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        framesDir_ = test::OutputPath("animation-frames/" + name);
        PlatformStop();  // finishes an earlier recording before its directory goes
        std::filesystem::remove_all(framesDir_);
        ASSERT_TRUE(test::RestartHeadless(input, "animations-input.txt", framesDir_));
        ASSERT_TRUE(ScreenOpen(Width, Height, 16));
    }
    // Every picture shown so far, the last one included.
    std::vector<Frame> Frames() {
        std::vector<Frame> frames;
        for (test::RecordedFrame& f : test::StopAndReadFrames(framesDir_)) {
            frames.push_back(Frame{std::move(f)});
        }
        return frames;
    }
    static double NowMs() { return ClockSeconds() * 1000.0; }

    Canvas buffer{Width, AreaHeight};
    std::string framesDir_;
};

Line Look(Colour colour = Black, std::int16_t width = 1) {
    return L(0, 0, 1, 0, colour.Value(), 0xFFFF, width);
}

// The buffer after only the given drawing on white paper.
template <class Draw>
Canvas Plain(Draw&& draw) {
    Canvas c(Width, AreaHeight);
    draw(c.target());
    return c;
}

TEST_F(Animations, ALineOfTwoSecondsHasFortyFramesWithRulerAndPencil) {
    const Point a = P(80, 150), b = P(320, 150);
    const double t0 = NowMs();
    const InputEvent event = AnimateLine(buffer.target(), 0, 0, a, b, Look(), 2.0f, 100,
                                         Red.Value() | ShowPencil | ShowRuler);
    EXPECT_EQ(event, 0u);
    EXPECT_NEAR(NowMs() - t0, 2000, 80);
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 41u) << "40 frames and the finished segment";
    for (int k = 1; k <= 40; ++k) {
        SCOPED_TRACE(k);
        const Frame& f = frames[k - 1];
        // The ruler along the whole segment, reaching its width beyond both ends.
        EXPECT_TRUE(f.is(30, 152, Tool) && f.is(370, 152, Tool) && f.is(30, 200, Tool));
        // The segment grown to k/40, the pencil's point at its end.
        const int end = 80 + 6 * k;
        EXPECT_TRUE(f.is(end - 2, 150, Black));
        EXPECT_TRUE(f.is(end + 4, 150, White));
        EXPECT_TRUE(f.is(end, 150, Red) || f.is(end + 1, 149, Red));
    }
    EXPECT_TRUE(
        test::SamePicture(buffer, Plain([&](DrawTarget t) { DrawSegment(t, a, b, Look()); })))
        << "only the segment is left";
}

TEST_F(Animations, AKeyInTheTenthFrameEndsTheLineWithTheWholeSegmentDrawn) {
    Start("480 key a\n");
    const Point a = P(80, 150), b = P(320, 250);
    const InputEvent event = AnimateLine(buffer.target(), 0, 0, a, b, Look(Black, 3), 2.0f, 100,
                                         Red.Value() | ShowPencil | ShowRuler);
    EXPECT_EQ(event, KeyEvent("a"));
    EXPECT_LT(NowMs(), 520);
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 11u) << "ten frames and the finished segment";
    const Canvas plain = Plain([&](DrawTarget t) { DrawSegment(t, a, b, Look(Black, 3)); });
    EXPECT_TRUE(test::SamePicture(buffer, plain));
    EXPECT_EQ(frames.back().count(Red) + frames.back().count(Tool), 0);
    EXPECT_EQ(frames.back().count(Black), plain.count(Black)) << "shown as well";
}

TEST_F(Animations, ADurationBelowHalfAFrameDrawsOnlyTheFinishedFigure) {
    const Point a = P(80, 150), b = P(320, 250);
    const double t0 = NowMs();
    EXPECT_EQ(AnimateLine(buffer.target(), 0, 0, a, b, Look(), 0.02f, 100,
                          Red.Value() | ShowPencil | ShowRuler),
              0u);
    const Circle arc{200, 200, 50, 1, 3, Black.Value(), 1};
    EXPECT_EQ(AnimateArc(buffer.target(), 0, 0, arc, 0.02f, 100, Red.Value() | ShowPencil), 0u);
    EXPECT_EQ(NowMs(), t0) << "nothing waits";
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_TRUE(test::SamePicture(buffer, Plain([&](DrawTarget t) {
                                      DrawSegment(t, a, b, Look());
                                      DrawCircle(t, arc);
                                  })));
}

TEST_F(Animations, AShortArcIsHurriedThroughAFewFrames) {
    const Circle arc{200, 200, 80, 1.0, 1.2, Black.Value(), 1};
    std::vector<int> drawn;
    Canvas c(Width, AreaHeight);
    for (std::int32_t step = 1;;) {
        const std::int32_t result = PartialArc(c.target(), arc, step, 40, 100, 0);
        if (result != 0) {
            EXPECT_EQ(result, -1);
            break;
        }
        drawn.push_back(step - 1);
    }
    EXPECT_EQ(drawn, (std::vector<int>{2, 5, 10, 18, 32}));

    EXPECT_EQ(AnimateArc(buffer.target(), 0, 0, arc, 2.0f, 100, Red.Value() | ShowPencil), 0u);
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 6u) << "five frames and the whole arc";
    // Each frame's compass has its pencil at the arc's growing end.
    const int steps[] = {2, 5, 10, 18, 32};
    for (int k = 0; k < 5; ++k) {
        const double end = 1.0 + 0.2 * steps[k] / 40;
        const double x = 200 + 80 * std::cos(end), y = 200 - 80 * std::sin(end);
        EXPECT_TRUE(
            frames[k].is(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), Red))
            << k;
    }
    EXPECT_EQ(frames.back().count(Red), 0);
}

TEST_F(Animations, AWholeCircleGrowsFromAngleZero) {
    const Circle circle{200, 200, 80, 0, 0, Black.Value(), 1};
    std::int32_t step = 10;
    ASSERT_EQ(PartialArc(buffer.target(), circle, step, 40, 100, 0), 0);
    EXPECT_EQ(step, 11);
    const auto inkAt = [&](double a) {
        const int x = static_cast<int>(std::lround(200 + 80 * std::cos(a)));
        const int y = static_cast<int>(std::lround(200 - 80 * std::sin(a)));
        for (int d = 0; d < 9; ++d)
            if (buffer.is(x + d % 3 - 1, y + d / 3 - 1, Black)) return true;
        return false;
    };
    EXPECT_TRUE(inkAt(0.1) && inkAt(0.78) && inkAt(1.5));
    EXPECT_FALSE(inkAt(1.7) || inkAt(3) || inkAt(-0.1));
    step = 40;
    ASSERT_EQ(PartialArc(buffer.target(), circle, step, 40, 100, 0), 0);
    EXPECT_TRUE(inkAt(3) && inkAt(-0.1));
    EXPECT_EQ(PartialArc(buffer.target(), circle, step, 40, 100, 0), -1);
}

TEST_F(Animations, AStartLineKeepsItsInstrumentsDuringThePauseAndThenDrawsTheEndPoint) {
    const Point a = P(80, 150), b = P(320, 150, Black.Value(), 8, 0);
    EXPECT_EQ(AnimateStartLine(buffer.target(), 0, 0, a, b, Look(), 2.0f, 100,
                               Red.Value() | ShowPencil | ShowRuler | 10u << TickSpacingShift),
              0u);
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 41u);
    const Frame& last = frames[39];
    const Frame& done = frames[40];
    EXPECT_GE(done.ms - last.ms, 2000) << "the last frame stays for the step wait";
    EXPECT_LT(done.ms - last.ms, 2100);
    EXPECT_TRUE(last.is(80, 160, Tool) && last.is(90, 158, Tool)) << "the ruler's scale";
    EXPECT_GT(last.count(Red), 0) << "the pencil";
    EXPECT_EQ(done.count(Red) + done.count(Tool), 0);
    EXPECT_TRUE(done.is(320, 146, Black) && done.is(324, 150, Black)) << "the end point";
    EXPECT_FALSE(last.is(320, 146, Black));
}

TEST_F(Animations, TheSetSquareIsLongerThanTheDistanceAndSlidesUntilItsLegMeetsThePoint) {
    const Line l = L(100, 300, 100, 0);
    const Point p = P(300, 100);  // 200 pixels from the line
    InputEvent event = 77;
    const Line r = AnimateRightAngle(buffer.target(), 0, 0, l, p, 2.0f, 160, 50, Tool, Red, event);
    EXPECT_EQ(event, 0u);
    ExpectLine(r, MakeRightAngle(p, l));
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 42u) << "the square, square and ruler, 40 slide frames";
    EXPECT_NEAR(frames[1].ms - frames[0].ms, 2000, 20) << "instrument wait";
    // Laid on the line 20 pixels beside the foot: its leg reaches 220 pixels up.
    const Frame& laid = frames[0];
    EXPECT_TRUE(laid.is(282, 298, Tool) && laid.is(282, 79, Tool));
    EXPECT_FALSE(laid.is(282, 76, Tool));
    EXPECT_EQ(laid.count(Red), 0);
    EXPECT_GT(frames[1].count(Red), 0) << "then the ruler";
    // At the end of the slide the leg runs along the perpendicular, through the point.
    const Frame& slid = frames.back();
    EXPECT_TRUE(slid.is(302, 100, Tool) && slid.is(302, 300, Tool));
    EXPECT_GT(slid.count(Red), 0);
}

TEST_F(Animations, AKeyDuringTheSlideEndsItAndThePerpendicularIsStillDrawn) {
    Start("2500 key x\n");
    const Line l = L(100, 300, 100, 0);
    const Point p = P(300, 200);
    DrawLine(buffer.target(), L(100, 300, 100, 0, 0x00A000, 0xFFFF, 1));
    const Canvas before =
        Plain([&](DrawTarget t) { RasterBlit(t, 0, 0, buffer.handle, BlitMode::Copy); });
    InputEvent event = 0;
    const Line look = Look(Colour{0xC00000}, 2);
    const Line r = AnimateDrawRightAngle(buffer.target(), 0, 0, l, p, 2.0f, look, 160, 50, Tool,
                                         Tool, Red.Value() | ShowPencil, event);
    EXPECT_EQ(event, KeyEvent("x"));
    EXPECT_LT(NowMs(), 2600);
    Line want = MakeRightAngle(p, l);
    want.colour = look.colour;
    want.style = look.style;
    want.width = look.width;
    ExpectLine(r, want);
    // Only the caller's picture and the perpendicular from the foot, as long as the square.
    Canvas expected = Plain([&](DrawTarget t) {
        RasterBlit(t, 0, 0, before.handle, BlitMode::Copy);
        DrawSegment(t, P(300, 300), P(300, 140), look);
    });
    EXPECT_TRUE(test::SamePicture(buffer, expected));
}

TEST_F(Animations, AParallelThroughAPointOnTheLineNeedsNoSlide) {
    const Line l = L(100, 300, 100, 20);
    const Point on = AdvanceOnLine(P(100, 300), l, 150);
    InputEvent event = 5;
    const Line r = AnimateParallel(buffer.target(), 0, 0, l, on, 2.0f, 160, 50, Tool, Tool, event);
    EXPECT_EQ(event, 0u);
    ExpectLine(r, MakeAngle(on, l, 0.0));
    EXPECT_EQ(NowMs(), 0) << "no instrument shown, nobody waits";
    EXPECT_EQ(buffer.count(White), Width * AreaHeight);

    const Line drawn = AnimateDrawParallel(buffer.target(), 0, 0, l, on, 2.0f, Look(), 160, 50,
                                           Tool, Tool, Red.Value() | ShowPencil, event);
    EXPECT_EQ(event, 0u);
    const Point e1 = AdvanceOnLine(on, drawn, -0.7071 * 160),
                e2 = AdvanceOnLine(on, drawn, 0.7071 * 160);
    EXPECT_TRUE(
        test::SamePicture(buffer, Plain([&](DrawTarget t) { DrawSegment(t, e1, e2, Look()); })))
        << "drawn with the pencil along the line";
}

TEST_F(Animations, TheParallelSquareSlidesFromBeyondTheLineToThePoint) {
    const Line l = L(100, 300, 100, 0);
    const Point p = P(300, 200);
    InputEvent event = 0;
    const Line r = AnimateParallel(buffer.target(), 0, 0, l, p, 2.0f, 160, 50, Tool, Red, event);
    ExpectLine(r, MakeAngle(p, l, 0.0));
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 42u);
    // The hypotenuse is parallel to the line, its corner 3 + 0.7071 size beyond the line
    // at first and as far short of the point at the end (the square's own 2-pixel margin
    // brings the hypotenuse itself almost onto both).
    const auto hypotenuseRow = [](const Frame& f, int x) {
        for (int y = 180; y < 320; ++y)
            if (f.is(x, y, Tool) && f.is(x + 20, y, Tool) && f.is(x - 20, y, Tool)) return y;
        return -1;
    };
    EXPECT_EQ(hypotenuseRow(frames[0], 400), 300);
    EXPECT_EQ(hypotenuseRow(frames.back(), 300), 200);
    EXPECT_GT(frames[1].count(Red), frames[0].count(Red)) << "the ruler along the path";
}

TEST_F(Animations, AnAngleAbovePiPutsTheProtractorOnTheOtherSide) {
    const Line l = L(100, 250, 100, 0);
    const Point p = P(300, 250);
    for (double angle : {1.0, 4.0, -1.0}) {
        SCOPED_TRACE(angle);
        Start("");
        Settings().instrumentWait = 100;  // short marks: few frames to read back
        Canvas c(Width, AreaHeight);
        InputEvent event = 0;
        const Line r = AnimateProtractor(c.target(), 0, 0, l, p, angle, 0.1f, 160, Look(),
                                         Red.Value() | ShowPencil, event);
        EXPECT_EQ(event, 0u);
        ExpectLine(r, [&] {
            Line want = MakeAngle(p, l, angle);
            want.colour = Black.Value();
            want.style = 0xFFFF;
            want.width = 1;
            return want;
        }());
        const std::vector<Frame> frames = Frames();
        ASSERT_FALSE(frames.empty());
        const Frame& laid = frames[0];
        const bool below = angle > 3.2 || angle < 0;
        EXPECT_EQ(laid.is(300, 170, Red), !below) << "the rim above";
        EXPECT_EQ(laid.is(300, 330, Red), below) << "the rim below";
        // The ray from the vertex to 10 pixels beyond the rim is what stays.
        const Point mark = AdvanceOnLine(p, r, 90);
        EXPECT_TRUE(
            test::SamePicture(c, Plain([&](DrawTarget t) { DrawSegment(t, p, mark, Look()); })));
    }
}

TEST_F(Animations, AProtractorOffTheLineStandsOnTheFootOfThePoint) {
    const Line l = L(100, 250, 100, 0);
    const Point p = P(300, 150);
    InputEvent event = 0;
    Settings().instrumentWait = 100;
    const Line r = AnimateProtractor(buffer.target(), 0, 0, l, p, 0.5, 0.1f, 160, Look(),
                                     Red.Value() | ShowPencil, event);
    EXPECT_NEAR(r.x, 300, 1e-9);
    EXPECT_NEAR(r.y, 250, 1e-9);
    const std::vector<Frame> frames = Frames();
    // The stroke marking the vertex, then the protractor centred on it.
    const auto laid = std::find_if(frames.begin(), frames.end(),
                                   [](const Frame& f) { return f.is(380, 250, Red); });
    ASSERT_NE(laid, frames.end());
    EXPECT_TRUE(laid->is(220, 250, Red) && laid->is(300, 170, Red));
    EXPECT_TRUE(laid->is(300, 246, Black) && laid->is(300, 254, Black)) << "the vertex stroke";
}

TEST_F(Animations, WithoutInstrumentsOnlyTheRayIsAnimated) {
    const Line l = L(100, 250, 100, 0);
    const Point p = P(300, 150);
    InputEvent event = 0;
    AnimateProtractor(buffer.target(), 0, 0, l, p, 1.0, 1.0f, 160, Look(), 0, event);
    EXPECT_NEAR(NowMs(), 1000, 40) << "no instrument waits";
    const std::vector<Frame> frames = Frames();
    EXPECT_EQ(frames.size(), 21u) << "20 frames of the ray and the finished ray";
}

TEST_F(Animations, ThePointStepShowsThePencilThenTakesItAway) {
    const Point q = P(200, 200, Black.Value(), 8, 0), from = P(50, 200);
    const InputEvent pending = AnimatePointStep(buffer.target(), 0, 0, q, &from, 0);
    EXPECT_EQ(pending, 0u);
    EXPECT_NEAR(NowMs(), 4000, 45) << "two step waits";
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    const Canvas point = Plain([&](DrawTarget t) { DrawPoint(t, q); });
    EXPECT_GT(frames[0].count(Tool), 0) << "the ruler from the first point";
    // The pencil leans one radian from the point, as long as the small tool size (160).
    const int endX = static_cast<int>(std::lround(200 + 160 * std::cos(1.0)));
    const int endY = static_cast<int>(std::lround(200 - 160 * std::sin(1.0)));
    int pencil = 0;
    for (int d = 0; d < 25; ++d) pencil += frames[0].is(endX + d % 5 - 2, endY + d / 5 - 2, Black);
    EXPECT_GT(pencil, 0) << "the pencil's end";
    EXPECT_TRUE(test::SamePicture(buffer, point));
    EXPECT_EQ(frames[1].count(Tool), 0);

    // A key in the first wait skips the second; pending input skips both.
    Start("500 key k\n");
    Canvas c(Width, AreaHeight);
    EXPECT_EQ(AnimatePointStep(c.target(), 0, 0, q, nullptr, 0), KeyEvent("k"));
    EXPECT_NEAR(NowMs(), 500, 25);
    EXPECT_TRUE(test::SamePicture(c, point));
    EXPECT_EQ(AnimatePointStep(c.target(), 0, 0, q, nullptr, 123), 123u);
    EXPECT_NEAR(NowMs(), 500, 25);
    EXPECT_EQ(AnimatePointStep(c.target(), 0, 0, test::Undef, nullptr, 0), 0u);
    EXPECT_NEAR(NowMs(), 500, 25);
}

TEST_F(Animations, ClosingTheWindowEndsAnimationsPromptly) {
    Start("300 close\n");
    const Point a = P(80, 150), b = P(320, 250);
    EXPECT_EQ(
        AnimateLine(buffer.target(), 0, 0, a, b, Look(), 60.0f, 100, Red.Value() | ShowPencil), 0u);
    InputEvent event = 0;
    AnimateDrawRightAngle(buffer.target(), 0, 0, L(0, 300, 1, 0), a, 60.0f, Look(), 160, 50, Tool,
                          Tool, Red.Value() | ShowPencil, event);
    AnimateProtractor(buffer.target(), 0, 0, L(0, 300, 1, 0), a, 1.0, 60.0f, 160, Look(),
                      Red.Value() | ShowPencil, event);
    EXPECT_LT(NowMs(), 400);
    EXPECT_EQ(buffer.count(Red) + buffer.count(Tool), 0);
}

TEST_F(Animations, UndefinedInputsDrawNothingAndReturnAtOnce) {
    const Point a = P(10, 10);
    const Line l = L(0, 300, 1, 0);
    InputEvent event = 9;
    EXPECT_EQ(AnimateLine(buffer.target(), 0, 0, test::Undef, a, Look(), 2.0f, 100, ShowPencil),
              0u);
    EXPECT_EQ(
        AnimateStartLine(buffer.target(), 0, 0, a, test::Undef, Look(), 2.0f, 100, ShowPencil), 0u);
    EXPECT_EQ(
        AnimateArc(buffer.target(), 0, 0, test::C(UndefinedMarker, 0, 5), 2.0f, 100, ShowPencil),
        0u);
    test::ExpectUndefined(AnimateRightAngle(buffer.target(), 0, 0, test::UndefLine, a, 2.0f, 160,
                                            50, Tool, Tool, event));
    EXPECT_EQ(event, 0u);
    event = 9;
    test::ExpectUndefined(AnimateDrawParallel(buffer.target(), 0, 0, l, test::Undef, 2.0f, Look(),
                                              160, 50, Tool, Tool, ShowPencil, event));
    EXPECT_EQ(event, 0u);
    event = 9;
    test::ExpectUndefined(AnimateProtractor(buffer.target(), 0, 0, l, test::Undef, 1.0, 2.0f, 160,
                                            Look(), ShowPencil, event));
    EXPECT_EQ(event, 0u);
    std::int32_t step = 1;
    EXPECT_EQ(PartialLine(buffer.target(), a, test::Undef, Look(), step, 5, 100, 0),
              UndefinedResult);
    EXPECT_EQ(PartialArc(buffer.target(), test::C(UndefinedMarker, 0, 5), step, 5, 100, 0),
              UndefinedResult);
    EXPECT_EQ(step, 1);
    EXPECT_EQ(NowMs(), 0);
    EXPECT_EQ(buffer.count(White), Width * AreaHeight);
}

TEST_F(Animations, TheExportedProceduresTakeEverythingByPointer) {
    const ZirPoint a = P(80, 150), b = P(320, 250);
    const ZirLine look = Look(Red);
    std::int32_t step = 1;
    const std::int32_t steps = 4, word = 0;
    const double size = 100;
    EXPECT_EQ(ZIRA_PARTIALLINE(&buffer.handle, &a, &b, &look, &step, &steps, &size, &word), 0);
    EXPECT_EQ(step, 2);
    EXPECT_TRUE(buffer.is(110, 162, Red) || buffer.is(110, 163, Red));
    EXPECT_FALSE(buffer.is(200, 200, Red));
    const ZirCircle arc{200, 200, 50, 1.0, 1.2, Red.Value(), 1};
    std::int32_t arcStep = 1, arcSteps = 40;
    EXPECT_EQ(ZIRA_PARTIALARC(&buffer.handle, &arc, &arcStep, &arcSteps, &size, &word), 0);
    EXPECT_EQ(arcStep, 3) << "the hurried step is written back";

    const std::int32_t x = 0, y = 0;
    const float seconds = 0.5f;
    EXPECT_EQ(ZIRA_ANIMATELINE(&buffer.handle, &x, &y, &a, &b, &look, &seconds, &size, &word), 0);
    EXPECT_EQ(ZIRA_ANIMATELINE(&buffer.handle, &x, &y, nullptr, &b, &look, &seconds, &size, &word),
              0);
    EXPECT_EQ(ZIRA_STARTLINE(&buffer.handle, nullptr, nullptr, &a, &b, nullptr, nullptr, nullptr,
                             nullptr),
              0);
    EXPECT_EQ(ZIRA_ANIMATEARC(&buffer.handle, &x, &y, &arc, &seconds, &size, &word), 0);
    const ZirLine l = L(100, 300, 100, 0);
    const std::int32_t tool = Tool.Value();
    std::int32_t event = 3;
    ExpectLine(ZIRA_ANIMATERIGHTANGLE(&buffer.handle, &x, &y, &l, &a, &seconds, 160, 50, &tool,
                                      &tool, &event),
               MakeRightAngle(a, l));
    EXPECT_EQ(event, 0);
    test::ExpectUndefined(ZIRA_ANIMATEDRAWRIGHTANGLE(&buffer.handle, &x, &y, nullptr, &a, &seconds,
                                                     &look, 160, 50, &tool, &tool, &word, &event));
    ExpectLine(ZIRA_ANIMATEPARALLEL(&buffer.handle, &x, &y, &l, &a, &seconds, 160, 50, &tool, &tool,
                                    nullptr),
               MakeAngle(a, l, 0.0));
    ZIRA_ANIMATEDRAWPARALLEL(&buffer.handle, &x, &y, &l, &a, &seconds, &look, 160, 50, &tool, &tool,
                             &word, &event);
    const double angle = 1.0;
    const ZirLine ray = ZIRA_ANIMATEPROTRACTOR(&buffer.handle, &x, &y, &l, &a, &angle, &seconds,
                                               160, &look, &word, &event);
    EXPECT_EQ(ray.colour, Red.Value());
}

// Frames of every animation side by side: for a person to look at, and approved so that any
// change in how the instruments move is seen.
TEST_F(Animations, StripOfFrames) {
    const Font font = test::LoadTestFont("sans12");
    struct Scene {
        const char* name;
        std::vector<int> frames;  // which recorded pictures to show
        std::function<void(DrawTarget)> run;
    };
    const Line l = L(60, 330, 100, 0);
    const Line given = L(60, 330, 100, 0, 0x909090, 0xFFFF, 1);
    const Line look = Look(Colour{0xC00000}, 2);
    const std::uint32_t pencil = 0xC00000 | ShowPencil;
    InputEvent e = 0;
    const std::vector<Scene> scenes = {
        {"line",
         {0, 10, 20},
         [&](DrawTarget t) {
             AnimateLine(t, 0, 0, P(100, 300), P(500, 150), look, 2.0f, 160, pencil | ShowRuler);
         }},
        {"arc",
         {0, 10, 20},
         [&](DrawTarget t) {
             AnimateArc(t, 0, 0, Circle{300, 250, 120, 0.5, 4.0, 0xC00000, 1}, 2.0f, 160,
                        0xB0B0B0 | ShowPencil);
         }},
        {"perpendicular above",
         {0, 1, 11, 21, 32},
         [&](DrawTarget t) {
             DrawLine(t, given);
             AnimateDrawRightAngle(t, 0, 0, l, P(300, 180), 2.0f, look, 160, 50, Tool, Tool, pencil,
                                   e);
         }},
        {"perpendicular below",
         {0, 1, 11, 21, 32},
         [&](DrawTarget t) {
             DrawLine(t, L(60, 150, 100, 0, 0x909090, 0xFFFF, 1));
             AnimateDrawRightAngle(t, 0, 0, L(60, 150, 100, 0), P(300, 280), 2.0f, look, 160, 50,
                                   Tool, Tool, pencil, e);
         }},
        {"parallel",
         {0, 1, 11, 21, 32},
         [&](DrawTarget t) {
             DrawLine(t, given);
             AnimateDrawParallel(t, 0, 0, l, P(300, 200), 2.0f, look, 160, 50, Tool, Tool, pencil,
                                 e);
         }},
        {"protractor 60",
         {10, 20, 30, 42, 48, 53},
         [&](DrawTarget t) {
             DrawLine(t, given);
             AnimateProtractor(t, 0, 0, l, P(300, 250), 60 * 0.0174532925199433, 1.0f, 160, look,
                               0x0000B0 | ShowPencil, e);
         }},
    };
    constexpr int Cells = 6, CellW = 320, CellH = 240;
    Canvas strip(Cells * CellW, static_cast<int>(scenes.size()) * CellH);
    for (std::size_t s = 0; s < scenes.size(); ++s) {
        Start("");
        Settings().frameSeconds = 0.1f;  // 20 frames in two seconds
        Canvas c(Width, AreaHeight);
        scenes[s].run(c.target());
        const std::vector<Frame> frames = Frames();
        for (std::size_t k = 0; k < scenes[s].frames.size() && k < Cells; ++k) {
            const int n = std::min<int>(scenes[s].frames[k], static_cast<int>(frames.size()) - 1);
            // Half size, keeping one-pixel lines: each pixel shows the ink of its 2 x 2 block.
            Image half{ImageCreateWithDepth(CellW, CellH, 2)};
            ImageHandle h = half.get();
            for (int y = 0; y < CellH; ++y) {
                for (int x = 0; x < CellW; ++x) {
                    Colour shown = White;
                    for (int k2 = 0; k2 < 4 && shown == White; ++k2) {
                        shown =
                            ImageColourAt(frames[n].image.get(), 2 * x + k2 % 2, 2 * y + k2 / 2);
                    }
                    RasterPixel(&h, x, y, shown);
                }
            }
            const std::string caption = std::string(scenes[s].name) + " #" + std::to_string(n);
            PrintText(&h, caption, font, 4, 2, Black, TargetMaskColour(&h));
            RasterLine(&h, 0, 0, CellW - 1, CellH - 1, Colour{0xE0E0E0}, LineKind::Box);
            RasterBlit(strip.target(), static_cast<double>(k * CellW),
                       static_cast<double>(s * CellH), h, BlitMode::Copy);
        }
    }
    ASSERT_TRUE(WritePng(test::OutputPath("animation_strip.png"), strip.handle));
    EXPECT_TRUE(test::MatchesApproved("animation_strip", strip.handle));
}

}  // namespace
}  // namespace zir
