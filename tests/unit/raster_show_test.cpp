// Showing a watched image copies only what changed; the screen must still end up exactly as
// a copy of the whole image would leave it, whatever was drawn on the image and on the
// screen in between.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "draw/raster.h"
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

class RasterShowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ScreenOpen(ScreenWidth, ScreenHeight, 16));
        buffer_.reset(ImageCreateWithDepth(AreaWidth, AreaHeight, 2, Colour{0xFFFFFF}));
        handle_ = buffer_.get();
        RasterWatch(handle_);
    }
    void TearDown() override { RasterWatch(nullptr); }

    Image buffer_;
    ImageHandle handle_ = nullptr;
};

TEST_F(RasterShowTest, EveryShowLeavesTheScreenAsAWholeCopyWould) {
    std::mt19937 random(7);
    auto coordinate = [&](int limit) {
        return std::uniform_real_distribution<double>(-limit / 2.0, limit * 1.5)(random);
    };
    auto colour = [&] { return static_cast<Colour>(random() & 0xFFFFFF); };
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

TEST_F(RasterShowTest, WritesOutsideTheRasterLayerAreCopiedOnceNoted) {
    RasterShow(handle_, 0, 0);
    Image other{ImageCreateWithDepth(AreaWidth, AreaHeight, 2, Colour{0x123456})};
    std::memcpy(ImagePixels(handle_), ImagePixels(other.get()), AreaWidth * AreaHeight * 2);
    RasterNoteChanged(handle_);
    RasterShow(handle_, 0, 0);
    EXPECT_TRUE(ScreenShows(handle_));
}

TEST_F(RasterShowTest, ANewScreenOrAnotherImageShownBetweenGetsAWholeCopy) {
    RasterLine(&handle_, 10, 10, 200, 100, 0xFF0000, LineKind::Segment);
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

}  // namespace
}  // namespace zir
