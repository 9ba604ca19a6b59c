// The animated construction steps on the headless platform's virtual clock: their frames,
// timing and interruption, read back from the recorded pictures the viewer was shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "anim/arcs.h"
#include "anim/frames.h"
#include "anim/lines.h"
#include "anim/protractor.h"
#include "anim/setsquare.h"
#include "draw_canvas.h"
#include "geometry_records.h"
#include "headless_restart.h"
#include "picture_check.h"
#include "platform/platform.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
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
    // Restarts the headless platform with this viewer input, recording every picture shown.
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

TEST_F(Animations, ALineOfTwoSecondsHasFortyFramesWithRulerAndPencil) {
    const Point a = P(80, 150), b = P(320, 150);
    EXPECT_EQ(AnimateLine(buffer.target(), 0, 0, a, b, Look(), 2.0f, 100,
                          Red.Value() | ShowPencil | ShowRuler),
              0u);
    EXPECT_NEAR(NowMs(), 2000, 80);
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 41u) << "40 frames and the finished segment";
    for (int k = 1; k <= 40; ++k) {
        SCOPED_TRACE(k);
        const Frame& f = frames[k - 1];
        // The ruler along the whole segment, reaching its width beyond both ends.
        EXPECT_TRUE(f.is(30, 152, Tool) && f.is(370, 152, Tool) && f.is(30, 200, Tool));
        // The segment grown to k/40, the pencil's point at its end.
        const int end = 80 + 6 * k;
        EXPECT_TRUE(f.is(end - 2, 150, Black) && f.is(end + 4, 150, White));
        EXPECT_TRUE(f.is(end, 150, Red) || f.is(end + 1, 149, Red));
    }
    EXPECT_EQ(frames.back().count(Red) + frames.back().count(Tool), 0);
    EXPECT_EQ(buffer.count(Black), 241) << "only the segment is left";
}

TEST_F(Animations, AShortArcIsHurriedThroughAFewFrames) {
    std::vector<int> drawn;
    const Circle arc{200, 200, 80, 1.0, 1.2, Black.Value(), 1};
    for (std::int32_t step = 1, result = 0; result == 0;) {
        result = PartialArc(buffer.target(), arc, step, 40, 100, 0);
        if (result == 0) drawn.push_back(step - 1);
    }
    EXPECT_EQ(drawn, (std::vector<int>{2, 5, 10, 18, 32}));
}

TEST_F(Animations, UndefinedInputsDrawNothingAndReturnAtOnce) {
    const Point a = P(10, 10);
    const Line l = L(0, 300, 1, 0);
    const Circle undefined = test::C(UndefinedMarker, 0, 5);
    InputEvent event = 9;
    EXPECT_EQ(AnimateLine(buffer.target(), 0, 0, test::Undef, a, Look(), 2.0f, 100, ShowPencil),
              0u);
    EXPECT_EQ(AnimateStartLine(buffer.target(), 0, 0, a, test::Undef, Look(), 2.0f, 100, 0), 0u);
    EXPECT_EQ(AnimateArc(buffer.target(), 0, 0, undefined, 2.0f, 100, ShowPencil), 0u);
    test::ExpectUndefined(AnimateRightAngle(buffer.target(), 0, 0, test::UndefLine, a, 2.0f, 160,
                                            50, Tool, Tool, event));
    EXPECT_EQ(event, 0u);
    event = 9;
    test::ExpectUndefined(AnimateProtractor(buffer.target(), 0, 0, l, test::Undef, 1.0, 2.0f, 160,
                                            Look(), ShowPencil, event));
    EXPECT_EQ(event, 0u);
    std::int32_t step = 1;
    EXPECT_EQ(PartialLine(buffer.target(), a, test::Undef, Look(), step, 5, 100, 0),
              UndefinedResult);
    EXPECT_EQ(PartialArc(buffer.target(), undefined, step, 5, 100, 0), UndefinedResult);
    EXPECT_EQ(step, 1);
    EXPECT_EQ(NowMs(), 0);
    EXPECT_EQ(buffer.count(White), Width * AreaHeight);
}

}  // namespace
}  // namespace zir
