// The controls from keys and clicks, and the control bar; the timed waits are in the script
// cases, whose clock they set.
#include "runtime/pacing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "draw/fonts.h"
#include "headless_restart.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

class Pacing : public ::testing::Test {
  protected:
    void Start(const std::string& input) {
        ASSERT_TRUE(test::RestartHeadless(input, "pacing-input.txt"));
    }
    void TearDown() override { test::RestoreHeadless(); }
};

TEST_F(Pacing, ControlsFromKeysAndTheBar) {
    Start("");
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    using A = ControlAction;
    const std::pair<InputEvent, A> cases[] = {{KeyEvent("\r"), A::PauseOrContinue},
                                              {KeyEvent("r"), A::Restart},
                                              {KeyEvent("R"), A::Restart},
                                              {KeyEvent("\xFFI"), A::Restart},
                                              {KeyEvent("\x1B"), A::End},
                                              {KeyEvent("x"), A::None},
                                              {MouseEvent(10, 460, 1), A::None},
                                              {MouseEvent(10, 461, 1), A::PauseOrContinue},
                                              {MouseEvent(128, 470, 1), A::Restart},
                                              {MouseEvent(383, 479, 1), A::End},
                                              {MouseEvent(384, 479, 1), A::None},
                                              {MouseEvent(100, 100, 1), A::None}};
    for (auto [event, action] : cases) EXPECT_EQ(CheckControls(event), action) << std::hex << event;
    const DecodedInput click = DecodeInput(MouseEvent(383, 479, 2));
    EXPECT_EQ(std::tuple(click.x, click.y, click.buttons, click.key), std::tuple(383, 479, 2, ""));
}

// Each caption stands 40 pixels into its button and 3 rows below the bar's top: printing it
// there once more changes nothing, while the paused bar shows "Weiter" instead of "Pause".
TEST_F(Pacing, ControlBarCaptionsSitInTheirButtons) {
    Start("");
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    Settings().areaWidth = 640;
    Settings().areaHeight = 460;
    const std::size_t bytes = ImageBytes(ScreenImage());
    for (bool paused : {false, true}) {
        DrawControlBar(paused);
        Image copy{ImageCreateWithDepth(640, 480, 2)};
        std::memcpy(copy.get(), ScreenImage(), bytes);
        ImageHandle handle = copy.get();
        const Font& font = BuiltinFont(FontFamily::Sans, 16);
        const std::string captions[] = {paused ? "Weiter" : "Pause", "Wiederholen", "Beenden"};
        for (int k = 0; k < 3; ++k) {
            EXPECT_GT(StringWidth(captions[k], font), 0);
            PrintText(&handle, captions[k], font, 128 * k + 40, 463, Colour{}, MaskColour);
        }
        EXPECT_EQ(std::memcmp(copy.get(), ScreenImage(), bytes), 0) << paused;
        // The buttons' raised edges: light along the top and left, dark along the right and
        // bottom below and beside the light ones; the bar beyond the third button is background.
        const struct {
            int x, y;
            std::uint32_t colour;
        } edges[] = {{5, 460, 0xF0F0F0},
                     {0, 479, 0xF0F0F0},
                     {1, 479, 0x909090},
                     {127, 461, 0x909090},
                     {450, 460, 0xFFFFFF}};
        for (auto [x, y, colour] : edges) {
            EXPECT_EQ(ImageColourAt(ScreenImage(), x, y), ColourFrom565(Rgb565(Colour{colour})))
                << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace zir
