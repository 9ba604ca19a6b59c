// The controls from keys and clicks; the control bar's look and the timed waits are in the
// script cases.
#include "runtime/pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "headless_restart.h"
#include "platform/platform.h"

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
                                              {MouseEvent(10, 461, 1), A::PauseOrContinue},
                                              {MouseEvent(128, 470, 1), A::Restart},
                                              {MouseEvent(384, 479, 1), A::None},
                                              {MouseEvent(100, 100, 1), A::None}};
    for (auto [event, action] : cases) EXPECT_EQ(CheckControls(event), action) << std::hex << event;
    const DecodedInput click = DecodeInput(MouseEvent(383, 479, 2));
    EXPECT_EQ(std::tuple(click.x, click.y, click.buttons, click.key), std::tuple(383, 479, 2, ""));
}

}  // namespace
}  // namespace zir
