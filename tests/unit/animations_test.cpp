// The animated steps frame by frame on the headless platform's virtual clock, read back from
// the recorded pictures; where the instruments stand and how long each phase lasts is
// checked by the run_slow_* script cases.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "anim/arcs.h"
#include "anim/frames.h"
#include "anim/lines.h"
#include "draw_canvas.h"
#include "headless_restart.h"
#include "picture_check.h"
#include "platform/platform.h"

namespace zir {
namespace {

using test::Black;
using test::White;
constexpr Colour Red{0xFF0000};
constexpr Colour Tool{0x0000B0};  // the default colour of ruler, set square and protractor

class Animations : public ::testing::Test {
  protected:
    void TearDown() override { test::RestoreHeadless(); }
};

TEST_F(Animations, ALineOfTwoSecondsHasFortyFramesWithRulerAndPencil) {
    const std::string frames = test::OutputPath("animation-frames");
    std::filesystem::remove_all(frames);
    ASSERT_TRUE(test::RestartHeadless("", "animations-input.txt", frames));
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    test::Canvas buffer(640, 460);
    EXPECT_EQ(AnimateLine(buffer.target(), 0, 0, Point{80, 150, 0, 8, 0}, Point{320, 150, 0, 8, 0},
                          Line{0, 0, 1, 0, 0, 0xFFFF, 1}, 2.0f, 100,
                          Red.Value() | ShowPencil | ShowRuler),
              0u);
    EXPECT_NEAR(ClockSeconds(), 2.0, 0.08);
    const std::vector<test::RecordedFrame> shown = test::StopAndReadFrames(frames);
    ASSERT_EQ(shown.size(), 41u) << "40 frames and the finished segment";
    for (int k = 1; k <= 41; ++k) {
        SCOPED_TRACE(k);
        const test::RecordedFrame& f = shown[k - 1];
        // The ruler along the whole segment, reaching its width beyond both ends, and the
        // segment grown to k/40 with the pencil's point at its end; at last only the segment.
        const int end = 80 + 6 * std::min(k, 40);
        EXPECT_EQ(f.is(30, 152, Tool) && f.is(370, 152, Tool) && f.is(30, 200, Tool), k <= 40);
        EXPECT_EQ(f.is(end, 150, Red) || f.is(end + 1, 149, Red), k <= 40);
        EXPECT_TRUE(f.is(end - 2, 150, Black) && (k > 40 || f.is(end + 4, 150, White)));
    }
    EXPECT_EQ(buffer.count(Black), 241) << "only the segment is left";
}

TEST_F(Animations, AShortArcIsHurriedThroughAFewFrames) {
    test::Canvas c(640, 460);
    std::vector<int> drawn;
    const Circle arc{200, 200, 80, 1.0, 1.2, Black.Value(), 1};
    for (std::int32_t step = 1, result = 0; result == 0;) {
        result = PartialArc(c.target(), arc, step, 40, 100, 0);
        if (result == 0) drawn.push_back(step - 1);
    }
    EXPECT_EQ(drawn, (std::vector<int>{2, 5, 10, 18, 32}));
    std::int32_t step = 1;
    const Circle undefined{UndefinedMarker, 0, 5, 0, 0, 0, 0};
    EXPECT_EQ(PartialArc(c.target(), undefined, step, 5, 100, 0), UndefinedResult);
    EXPECT_EQ(step, 1);
}

}  // namespace
}  // namespace zir
