// The embedded resources and the logo shown from them.
#include "runtime/logo.h"

#include <gtest/gtest.h>

#include "picture_check.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "platform/resources.h"

namespace zir {
namespace {

TEST(Resources, TheProgramCarriesItsFontsLogoAndIconByTypeAndName) {
    std::span<const std::uint8_t> logo = FindResource("myBMP", "logo16");
    ASSERT_EQ(logo.size(), 4u + 25800u);
    EXPECT_EQ(logo[0] | logo[1] << 8, 0x06BA);
    EXPECT_EQ(logo[2] | logo[3] << 8, 60);
    EXPECT_EQ(LogoImage(), logo.data());
    for (const char* name : {"sans12", "sans64", "greek12", "greek64"}) {
        EXPECT_GT(FindResource("myFont", name).size(), 1024u) << name;
    }
    ASSERT_NE(AppIcon(), nullptr);
    EXPECT_TRUE(ImageHeaderValid(AppIcon()));
    EXPECT_TRUE(FindResource("myFont", "sans13").empty());
    EXPECT_TRUE(FindResource("myBMP", "sans12").empty()) << "the type is part of the key";
    EXPECT_EQ(FindImageResource("myFont", "sans12"), nullptr) << "a font is no image";
}

// Whether the screen shows the logo with its top-left corner at (left, top), as far as
// both overlap, and black elsewhere.
::testing::AssertionResult ShowsLogoAt(int left, int top) {
    const std::uint8_t* screen = ScreenImage();
    const std::uint8_t* logo = LogoImage();
    for (int y = 0; y < ImageHeight(screen); ++y) {
        for (int x = 0; x < ImageWidth(screen); ++x) {
            int lx = x - left, ly = y - top;
            bool inLogo = lx >= 0 && ly >= 0 && lx < ImageWidth(logo) && ly < ImageHeight(logo);
            const Colour expected = inLogo ? ImageColourAt(logo, lx, ly) : Colour{};
            if (ImageColourAt(screen, x, y) != expected) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(ShowLogo, TheLogoIsCentredWithHalvesRoundedDownThenTheKeysAreDiscarded) {
    ASSERT_NE(LogoImage(), nullptr);
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    double start = ClockSeconds();
    ShowLogo(640, 480);
    EXPECT_EQ(ClockSeconds() - start, 2.0);
    EXPECT_TRUE(ShowsLogoAt(212, 210));  // (640 - 215) / 2 = 212.5, (480 - 60) / 2
    WritePng(test::OutputPath("logo_shown.png"), ScreenImage());

    // On a screen narrower than the logo the corner lies left of it: -7.5 becomes -8.
    ASSERT_TRUE(ScreenOpen(200, 61, 16));
    ShowLogo(200, 61);
    EXPECT_TRUE(ShowsLogoAt(-8, 0));
}

}  // namespace
}  // namespace zir
