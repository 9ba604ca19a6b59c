// Input events, timed waits, control classification and the control bar, on the headless
// platform's virtual clock.
#include "runtime/pacing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "draw/fonts.h"
#include "headless_restart.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "runtime/runstate.h"
#include "zirkula.h"

namespace zir {
namespace {

class Pacing : public ::testing::Test {
  protected:
    void Start(const std::string& input) {
        ASSERT_TRUE(test::RestartHeadless(input, "pacing-input.txt"));
    }
    void TearDown() override { test::RestoreHeadless(); }
    static double NowMs() { return ClockSeconds() * 1000.0; }
};

TEST_F(Pacing, EventWordsRoundTrip) {
    DecodedInput page = DecodeInput(KeyEvent("\xFFI"));
    EXPECT_EQ(page.key, "\xFFI");
    EXPECT_EQ(KeyEvent("\r"), 0x4000000Du);
    DecodedInput click = DecodeInput(MouseEvent(383, 479, 1));
    EXPECT_EQ(click.x, 383);
    EXPECT_EQ(click.y, 479);
    EXPECT_EQ(click.buttons, 1);
    EXPECT_TRUE(click.key.empty());
    DecodedInput none = DecodeInput(0);
    EXPECT_EQ(none.x, -1);
    EXPECT_TRUE(none.key.empty());
}

TEST_F(Pacing, TimedWaitRunsOutOrEndsAtTheFirstInput) {
    Start("500 key a\n");
    double t0 = NowMs();
    InputEvent e = TimedWait(2000);
    EXPECT_EQ(DecodeInput(e).key, "a");
    EXPECT_NEAR(NowMs() - t0, 500, 25) << "ended by the key, not the time";
    t0 = NowMs();
    EXPECT_EQ(TimedWait(300), 0u);
    EXPECT_GE(NowMs() - t0, 300);
    EXPECT_LT(NowMs() - t0, 345);
    t0 = NowMs();
    EXPECT_EQ(TimedWait(-1), 0u);
    EXPECT_NEAR(NowMs() - t0, 20, 2) << "one sleep and one poll";
}

TEST_F(Pacing, ControlsFromKeysAndTheBar) {
    Start("");
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    EXPECT_EQ(CheckControls(KeyEvent("\r")), ControlAction::PauseOrContinue);
    EXPECT_EQ(CheckControls(KeyEvent("r")), ControlAction::Restart);
    EXPECT_EQ(CheckControls(KeyEvent("R")), ControlAction::Restart);
    EXPECT_EQ(CheckControls(KeyEvent("\xFFI")), ControlAction::Restart);
    EXPECT_EQ(CheckControls(KeyEvent("\x1B")), ControlAction::End);
    EXPECT_EQ(CheckControls(KeyEvent("x")), ControlAction::None);
    EXPECT_EQ(CheckControls(MouseEvent(10, 460, 1)), ControlAction::None) << "top line of the bar";
    EXPECT_EQ(CheckControls(MouseEvent(10, 461, 1)), ControlAction::PauseOrContinue);
    EXPECT_EQ(CheckControls(MouseEvent(128, 470, 1)), ControlAction::Restart);
    EXPECT_EQ(CheckControls(MouseEvent(383, 479, 1)), ControlAction::End);
    EXPECT_EQ(CheckControls(MouseEvent(384, 479, 1)), ControlAction::None);
    EXPECT_EQ(CheckControls(MouseEvent(100, 100, 1)), ControlAction::None);
}

TEST_F(Pacing, ControlBarShowsPauseOrWeiter) {
    Start("");
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    Settings().areaWidth = 640;
    Settings().areaHeight = 460;
    DrawControlBar(false);
    const std::uint8_t* screen = ScreenImage();
    EXPECT_EQ(ImageColourAt(screen, 60, 462), ColourFrom565(Rgb565(Colour{0xC0C0C0})));
    EXPECT_EQ(ImageColourAt(screen, 5, 460), ColourFrom565(Rgb565(Colour{0xF0F0F0})))
        << "light edge";
    EXPECT_EQ(ImageColourAt(screen, 127, 470), ColourFrom565(Rgb565(Colour{0x909090})))
        << "dark edge";
    EXPECT_EQ(ImageColourAt(screen, 500, 470), Colour{0xFFFFFF})
        << "the rest in the background colour";
    std::vector<Colour> pause, weiter;
    for (int x = 40; x < 120; ++x)
        for (int y = 463; y < 479; ++y) pause.push_back(ImageColourAt(screen, x, y));
    DrawControlBar(true);
    for (int x = 40; x < 120; ++x)
        for (int y = 463; y < 479; ++y) weiter.push_back(ImageColourAt(ScreenImage(), x, y));
    EXPECT_NE(pause, weiter);
    int ink = 0;
    for (Colour c : weiter) ink += c == Colour{};
    EXPECT_GT(ink, 20) << "the caption is drawn";
    WritePng(std::string(ZIR_TEST_OUTPUT_DIR) + "/control_bar.png", ScreenImage());
}

}  // namespace
}  // namespace zir
