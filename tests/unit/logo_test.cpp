// The logo shown at the start of a run.
#include "runtime/logo.h"

#include <gtest/gtest.h>

#include <cstring>

#include "draw/raster.h"
#include "platform/platform.h"

namespace zir {
namespace {

// Whether the screen shows the logo with its top-left corner at (left, top) on black.
::testing::AssertionResult ShowsLogoAt(int left, int top) {
    Image want{
        ImageCreateWithDepth(ImageWidth(ScreenImage()), ImageHeight(ScreenImage()), 2, Colour{})};
    ImageHandle handle = want.get();
    RasterBlit(&handle, left, top, LogoImage(), BlitMode::Copy);
    if (std::memcmp(want.get(), ScreenImage(), ImageBytes(ScreenImage())) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "not at " << left << ", " << top;
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
