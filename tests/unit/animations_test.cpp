// The animated construction steps on the headless platform's virtual clock: their frames,
// timing and interruption, read back from the recorded pictures the viewer was shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "anim/arcs.h"
#include "anim/frames.h"
#include "anim/lines.h"
#include "anim/protractor.h"
#include "anim/setsquare.h"
#include "draw/figures.h"
#include "draw/fonts.h"
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

TEST_F(Animations, AKeyInTheTenthFrameEndsTheLineWithTheWholeSegmentDrawn) {
    Start("480 key a\n");
    EXPECT_EQ(AnimateLine(buffer.target(), 0, 0, P(80, 150), P(320, 150), Look(), 2.0f, 100,
                          Red.Value() | ShowPencil | ShowRuler),
              KeyEvent("a"));
    EXPECT_LT(NowMs(), 520);
    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 11u) << "ten frames and the finished segment";
    EXPECT_EQ(frames.back().count(Red) + frames.back().count(Tool), 0);
    EXPECT_EQ(frames.back().count(Black), 241);
}

TEST_F(Animations, AShortArcIsHurriedThroughAFewFramesAndAWholeCircleStartsAtZero) {
    std::vector<int> drawn;
    const Circle arc{200, 200, 80, 1.0, 1.2, Black.Value(), 1};
    for (std::int32_t step = 1, result = 0; result == 0;) {
        result = PartialArc(buffer.target(), arc, step, 40, 100, 0);
        if (result == 0) drawn.push_back(step - 1);
    }
    EXPECT_EQ(drawn, (std::vector<int>{2, 5, 10, 18, 32}));
    Canvas c(Width, AreaHeight);
    std::int32_t step = 10;
    ASSERT_EQ(
        PartialArc(c.target(), Circle{200, 200, 80, 0, 0, Black.Value(), 1}, step, 40, 100, 0), 0);
    EXPECT_TRUE(c.is(280, 200, Black) && c.is(200, 120, Black) && !c.is(120, 200, Black));
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
