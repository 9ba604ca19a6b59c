// The logo shown at the start of a run.
#include "runtime/logo.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace zir {
namespace {

// Whether the screen shows the logo with its top-left corner at (left, top), as far as
// both overlap, and black elsewhere.
::testing::AssertionResult ShowsLogoAt(int left, int top) {
    const std::uint8_t* screen = ScreenImage();
    const std::uint8_t* logo = LogoImage();
    for (int y = 0; y < ImageHeight(screen); ++y) {
        for (int x = 0; x < ImageWidth(screen); ++x) {
            const int lx = x - left, ly = y - top;
            const bool inLogo =
                lx >= 0 && ly >= 0 && lx < ImageWidth(logo) && ly < ImageHeight(logo);
            if (ImageColourAt(screen, x, y) != (inLogo ? ImageColourAt(logo, lx, ly) : Colour{})) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The logo (215 by 60) is centred with halves rounded down, also on a narrower screen.
TEST(ShowLogo, CentredWithHalvesRoundedDownForTwoSeconds) {
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    const double start = ClockSeconds();
    ShowLogo(640, 480);
    EXPECT_EQ(ClockSeconds() - start, 2.0);
    EXPECT_TRUE(ShowsLogoAt(212, 210));
    ASSERT_TRUE(ScreenOpen(200, 61, 16));
    ShowLogo(200, 61);
    EXPECT_TRUE(ShowsLogoAt(-8, 0));
}

}  // namespace
}  // namespace zir
