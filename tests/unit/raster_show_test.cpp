// Showing a watched image copies only what changed, and while nobody sees the screen it
// copies it only when the screen is next used; the screen must still end up exactly as a
// copy of the whole image at the time of the show would leave it, whatever was drawn on the
// image and on the screen in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "draw/raster.h"
#include "headless_restart.h"
#include "platform/image.h"
#include "platform/platform.h"

namespace zir {
namespace {

constexpr int ScreenWidth = 320, ScreenHeight = 260;
constexpr int AreaWidth = 320, AreaHeight = 240;

// Whether the screen's top rows show the image pixel for pixel.
::testing::AssertionResult ScreenShows(const std::uint8_t* image) {
    const std::uint8_t* screen = ScreenImage();
    for (int y = 0; y < ImageHeight(image); ++y) {
        const auto* a = ImagePixels(screen) + static_cast<std::size_t>(y) * ScreenWidth * 2;
        const auto* b = ImagePixels(image) + static_cast<std::size_t>(y) * AreaWidth * 2;
        if (std::memcmp(a, b, AreaWidth * 2) != 0) {
            return ::testing::AssertionFailure() << "row " << y << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// The parameter: whether the screen is seen (frames are recorded), so that shows are made
// at once, or not, so that they wait.
class RasterShowTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            ASSERT_TRUE(test::RestartHeadless("", "input.txt", FramesDir()));
            ASSERT_TRUE(ScreenIsSeen());
        } else {
            ASSERT_FALSE(ScreenIsSeen());
        }
        ASSERT_TRUE(ScreenOpen(ScreenWidth, ScreenHeight, 16));
        buffer_.reset(ImageCreateWithDepth(AreaWidth, AreaHeight, 2, Colour{0xFFFFFF}));
        handle_ = buffer_.get();
        RasterWatch(handle_);
    }
    void TearDown() override {
        RasterWatch(nullptr);
        if (GetParam()) test::RestoreHeadless();
    }
    static std::string FramesDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name() + "-frames";
        std::replace(name.begin(), name.end(), '/', '_');
        return std::string(ZIR_TEST_OUTPUT_DIR) + "/" + name;
    }

    Image buffer_;
    ImageHandle handle_ = nullptr;
};

TEST_P(RasterShowTest, EveryShowLeavesTheScreenAsAWholeCopyWould) {
    std::mt19937 random(7);
    auto coordinate = [&](int limit) {
        return std::uniform_real_distribution<double>(-limit / 2.0, limit * 1.5)(random);
    };
    auto colour = [&] { return Colour{static_cast<std::uint32_t>(random() & 0xFFFFFF)}; };
    Image stamp{ImageCreateWithDepth(40, 30, 2, Colour{0x00FF00})};
    for (int round = 0; round < 400; ++round) {
        // A few figures on the image, and now and then something drawn on the screen over
        // the image's place, as menus, texts and dragged points do.
        for (int k = 0; k < 3; ++k) {
            switch (random() % 7) {
                case 0:
                    RasterLine(&handle_, coordinate(AreaWidth), coordinate(AreaHeight),
                               coordinate(AreaWidth), coordinate(AreaHeight), colour(),
                               LineKind::Segment);
                    break;
                case 1:
                    RasterArc(&handle_, coordinate(AreaWidth), coordinate(AreaHeight),
                              random() % 300, colour(), 0, FullTurn, false);
                    break;
                case 2:
                    RasterArc(&handle_, coordinate(AreaWidth), coordinate(AreaHeight),
                              random() % 100, colour(), -1.0, 2.5, false);
                    break;
                case 3:
                    RasterLine(&handle_, coordinate(AreaWidth), coordinate(AreaHeight),
                               coordinate(AreaWidth), coordinate(AreaHeight), colour(),
                               LineKind::FilledBox);
                    break;
                case 4:
                    RasterBlit(&handle_, coordinate(AreaWidth), coordinate(AreaHeight), stamp.get(),
                               BlitMode::Copy);
                    break;
                case 5:
                    RasterPixel(&handle_, coordinate(AreaWidth), coordinate(AreaHeight), colour());
                    break;
                default:
                    if (random() % 4 == 0) {
                        RasterLine(nullptr, coordinate(AreaWidth), coordinate(AreaHeight),
                                   coordinate(AreaWidth), coordinate(AreaHeight), colour(),
                                   LineKind::Segment);
                    }
                    break;
            }
        }
        if (random() % 10 == 0) RasterFloodFill(&handle_, 5, 5, colour());
        RasterShow(handle_, 0, 0);
        ASSERT_TRUE(ScreenShows(handle_)) << "after round " << round;
    }
}

TEST_P(RasterShowTest, WritesOutsideTheRasterLayerAreCopiedOnceNoted) {
    RasterShow(handle_, 0, 0);
    Image other{ImageCreateWithDepth(AreaWidth, AreaHeight, 2, Colour{0x123456})};
    std::memcpy(ImagePixels(handle_), ImagePixels(other.get()), AreaWidth * AreaHeight * 2);
    RasterNoteChanged(handle_);
    RasterShow(handle_, 0, 0);
    EXPECT_TRUE(ScreenShows(handle_));
}

TEST_P(RasterShowTest, ANewScreenOrAnotherImageShownBetweenGetsAWholeCopy) {
    RasterLine(&handle_, 10, 10, 200, 100, Colour{0xFF0000}, LineKind::Segment);
    RasterShow(handle_, 0, 0);
    // Another picture shown in the buffer's place (a dragged point over the last picture).
    Image other{ImageCreateWithDepth(AreaWidth, AreaHeight, 2, Colour{0x0000FF})};
    RasterShow(other.get(), 0, 0);
    RasterShow(handle_, 0, 0);
    EXPECT_TRUE(ScreenShows(handle_));
    // A screen opened anew, even where the old one was, starts black.
    ASSERT_TRUE(ScreenOpen(ScreenWidth, ScreenHeight, 16));
    RasterShow(handle_, 0, 0);
    EXPECT_TRUE(ScreenShows(handle_));
}

INSTANTIATE_TEST_SUITE_P(SeenOrNot, RasterShowTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Seen" : "Unseen"; });

// While nobody sees the screen, a show waits; whatever uses the screen or changes the image
// without announcing a later show gets the picture of the show first.
class WaitingShowTest : public RasterShowTest {};

TEST_P(WaitingShowTest, DrawingAfterAShowDoesNotReachTheScreenWithoutAnotherShow) {
    RasterLine(&handle_, 10, 10, 200, 100, Colour{0xFF0000}, LineKind::Segment);
    RasterShow(handle_, 0, 0);
    Image shown{ImageCreateWithDepth(AreaWidth, AreaHeight, 2)};
    std::memcpy(shown.get(), handle_, ImageBytes(handle_));
    // Unannounced drawing and a snapshot put back after the show.
    RasterArc(&handle_, 100, 100, 50, Colour{0x00FF00}, 0, FullTurn, false);
    RasterNoteChanged(handle_);
    std::memset(ImagePixels(handle_), 0x55, 64);
    EXPECT_TRUE(ScreenShows(shown.get()));
    // Drawing announced to be shown, then shown: the screen gets the latest picture.
    RasterShow(handle_, 0, 0);
    RasterShowFollows(true);
    RasterLine(&handle_, 0, 200, 300, 20, Colour{0x0000FF}, LineKind::Segment);
    RasterShow(handle_, 0, 0);
    RasterShowFollows(false);
    EXPECT_TRUE(ScreenShows(handle_));
}

TEST_P(WaitingShowTest, TextOnTheScreenGoesUnderTheNextShowAsAtOnce) {
    RasterShow(handle_, 0, 0);
    RasterLine(nullptr, 0, 0, 319, 239, Colour{0xFFFF00}, LineKind::FilledBox);
    RasterShowFollows(true);
    RasterPixel(&handle_, 3, 3, Colour{0x000000});
    RasterShow(handle_, 0, 0);
    RasterShowFollows(false);
    EXPECT_TRUE(ScreenShows(handle_));
}

TEST_P(WaitingShowTest, AShowElsewhereAndANewScreenKeepTheOrderOfThePictures) {
    RasterLine(&handle_, 0, 0, 319, 239, Colour{0xFF0000}, LineKind::FilledBox);
    RasterShow(handle_, 0, 20);
    RasterLine(&handle_, 0, 0, 319, 239, Colour{0x0000FF}, LineKind::FilledBox);
    RasterShow(handle_, 0, 0);
    // The red picture's last rows stay below the blue one.
    const std::uint8_t* screen = ScreenImage();
    EXPECT_EQ(ImageColourAt(screen, 5, 250), ColourFrom565(Rgb565(Colour{0xFF0000})));
    EXPECT_EQ(ImageColourAt(screen, 5, 5), ColourFrom565(Rgb565(Colour{0x0000FF})));
    // A show waiting when the screen is opened anew belonged to the old screen.
    RasterLine(&handle_, 0, 0, 319, 239, Colour{0x00FF00}, LineKind::FilledBox);
    RasterShow(handle_, 0, 0);
    ASSERT_TRUE(ScreenOpen(ScreenWidth, ScreenHeight, 16));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 5, 5), Colour{0});
}

TEST_P(WaitingShowTest, AnImageDestroyedWithItsShowWaitingIsShownFirst) {
    RasterLine(&handle_, 0, 0, 319, 239, Colour{0xFF00FF}, LineKind::FilledBox);
    RasterShow(handle_, 0, 0);
    buffer_.reset();
    handle_ = nullptr;
    EXPECT_EQ(ImageColourAt(ScreenImage(), 100, 100), ColourFrom565(Rgb565(Colour{0xFF00FF})));
}

// A loop's pass puts back the picture it started from by copying only the tiles changed
// since; the image must equal the picture exactly, and the screen must follow at the show.
TEST_P(WaitingShowTest, PuttingBackThePassPictureCopiesWhatChangedAndOnlyThat) {
    std::mt19937 random(11);
    auto coordinate = [&](int limit) {
        return std::uniform_real_distribution<double>(-limit / 4.0, limit * 1.25)(random);
    };
    RasterArc(&handle_, 160, 120, 80, Colour{0x204060}, 0, FullTurn, true);
    Image picture{ImageCreateWithDepth(AreaWidth, AreaHeight, 2)};
    std::memcpy(picture.get(), handle_, ImageBytes(handle_));
    std::uint64_t mark = RasterChangeMark();
    for (int pass = 0; pass < 60; ++pass) {
        // More figures a pass than the show alone would track tile by tile.
        for (int k = 0; k < 14; ++k) {
            const Colour c{static_cast<std::uint32_t>(random() & 0xFFFFFF)};
            if (k % 2) {
                RasterArc(&handle_, coordinate(AreaWidth), coordinate(AreaHeight), random() % 60, c,
                          0, FullTurn, false);
            } else {
                RasterLine(&handle_, coordinate(AreaWidth), coordinate(AreaHeight),
                           coordinate(AreaWidth), coordinate(AreaHeight), c, LineKind::Segment);
            }
        }
        RasterShow(handle_, 0, 0);
        ASSERT_TRUE(ScreenShows(handle_)) << "pass " << pass;
        ASSERT_TRUE(RasterRestoreSince(handle_, picture.get(), mark)) << "pass " << pass;
        ASSERT_EQ(std::memcmp(handle_, picture.get(), ImageBytes(handle_)), 0) << "pass " << pass;
        mark = RasterChangeMark();
        RasterShow(handle_, 0, 0);
        ASSERT_TRUE(ScreenShows(handle_)) << "pass " << pass;
    }
}

TEST_P(WaitingShowTest, APictureIsPutBackWholeWhenItsChangesAreNotKnown) {
    Image picture{ImageCreateWithDepth(AreaWidth, AreaHeight, 2)};
    std::memcpy(picture.get(), handle_, ImageBytes(handle_));
    // Changes before the first mark were tracked only up to saturation.
    for (int k = 0; k < 400; ++k) RasterPixel(&handle_, k % AreaWidth, k / 2, Colour{0x00FF00});
    std::uint64_t mark = RasterChangeMark();
    EXPECT_FALSE(RasterRestoreSince(handle_, picture.get(), mark - 1));
    // A write without the raster layer counts the whole image as changed (once a show has
    // ended the saturation), and watching it anew forgets what was known.
    RasterShow(handle_, 0, 0);
    std::memcpy(picture.get(), handle_, ImageBytes(handle_));
    mark = RasterChangeMark();
    RasterNoteChanged(handle_);
    ASSERT_TRUE(RasterRestoreSince(handle_, picture.get(), mark));
    EXPECT_EQ(std::memcmp(handle_, picture.get(), ImageBytes(handle_)), 0);
    // A pass that draws more than is worth tracking is put back whole.
    RasterShow(handle_, 0, 0);
    mark = RasterChangeMark();
    for (int k = 0; k < 5000; ++k)
        RasterPixel(&handle_, k % AreaWidth, k % AreaHeight, Colour{0xFF});
    EXPECT_FALSE(RasterRestoreSince(handle_, picture.get(), mark));
    mark = RasterChangeMark();
    RasterWatch(handle_);
    EXPECT_FALSE(RasterRestoreSince(handle_, picture.get(), mark));
    // Another layout, or an image that is not watched, is never put back tile by tile.
    mark = RasterChangeMark();
    Image small{ImageCreateWithDepth(AreaWidth / 2, AreaHeight, 2)};
    EXPECT_FALSE(RasterRestoreSince(handle_, small.get(), mark));
    EXPECT_FALSE(RasterRestoreSince(picture.get(), handle_, mark));
}

INSTANTIATE_TEST_SUITE_P(SeenOrNot, WaitingShowTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Seen" : "Unseen"; });

}  // namespace
}  // namespace zir
