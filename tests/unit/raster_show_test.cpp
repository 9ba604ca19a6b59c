// Showing a watched image copies only what changed, and while nobody sees the screen it
// copies it only when the screen is next used; the screen must still end up exactly as a
// copy of the whole image at the time of the show would leave it, whatever was drawn on the
// image and on the screen in between. A loop's pass puts back the picture it started from by
// copying only the tiles changed since.
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
    for (int y = 0; y < ImageHeight(image); ++y) {
        const auto* a = ImagePixels(ScreenImage()) + std::size_t{2} * y * ScreenWidth;
        const auto* b = ImagePixels(image) + std::size_t{2} * y * AreaWidth;
        if (std::memcmp(a, b, AreaWidth * 2) != 0) {
            return ::testing::AssertionFailure() << "row " << y << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// Nobody sees the screen here, so shows wait; the script cases run both ways.
class RasterShowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ScreenIsSeen());
        ASSERT_TRUE(ScreenOpen(ScreenWidth, ScreenHeight, 16));
        buffer_.reset(ImageCreateWithDepth(AreaWidth, AreaHeight, 2, Colour{0xFFFFFF}));
        handle_ = buffer_.get();
        RasterWatch(handle_);
    }
    void TearDown() override { RasterWatch(nullptr); }
    double Coordinate(int limit) {
        return std::uniform_real_distribution<double>(-limit / 2.0, limit * 1.5)(random_);
    }
    Colour AnyColour() { return Colour{static_cast<std::uint32_t>(random_() & 0xFFFFFF)}; }
    // Draws a few figures on the image and now and then on the screen over the image's
    // place, as menus, texts and dragged points do, or writes without the raster layer.
    void DrawSome(int figures) {
        for (int k = 0; k < figures; ++k) {
            const double x1 = Coordinate(AreaWidth), y1 = Coordinate(AreaHeight);
            const double x2 = Coordinate(AreaWidth), y2 = Coordinate(AreaHeight);
            const unsigned kind = random_() % 8;
            if (kind < 2) {
                RasterArc(&handle_, x1, y1, random_() % 300, AnyColour(), kind ? -1.0 : 0,
                          kind ? 2.5 : FullTurn, false);
            } else if (kind < 4) {
                RasterLine(kind == 2 ? &handle_ : nullptr, x1, y1, x2, y2, AnyColour(),
                           LineKind::FilledBox);
            } else if (kind == 4) {
                RasterLine(&handle_, x1, y1, x2, y2, AnyColour(), LineKind::Segment);
            } else if (kind == 5) {
                RasterBlit(&handle_, x1, y1, stamp_.get(), BlitMode::Copy);
            } else if (kind == 6) {
                RasterPixel(&handle_, x1, y1, AnyColour());
            } else if (random_() % 8 == 0) {
                std::memset(ImagePixels(handle_) + random_() % 1000, 0x55, 640);
                RasterNoteChanged(handle_);
            }
        }
    }

    Image buffer_;
    ImageHandle handle_ = nullptr;
    std::mt19937 random_{7};
    Image stamp_{ImageCreateWithDepth(40, 30, 2, Colour{0x00FF00})};
};

// More figures a pass than the show alone would track tile by tile; the image must equal
// the picture exactly, and the screen must follow at every show, also after it is reopened.
TEST_F(RasterShowTest, PuttingBackThePassPictureCopiesWhatChangedAndOnlyThat) {
    RasterArc(&handle_, 160, 120, 80, Colour{0x204060}, 0, FullTurn, true);
    Image picture{ImageCreateWithDepth(AreaWidth, AreaHeight, 2)};
    std::memcpy(picture.get(), handle_, ImageBytes(handle_));
    std::uint64_t mark = RasterChangeMark();
    for (int pass = 0; pass < 60; ++pass) {
        DrawSome(14);
        if (pass % 10 == 0) RasterFloodFill(&handle_, 5, 5, AnyColour());
        if (pass % 20 == 19) {
            ASSERT_TRUE(ScreenOpen(ScreenWidth, ScreenHeight, 16));
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

TEST_F(RasterShowTest, APictureIsPutBackWholeWhenItsChangesAreNotKnown) {
    // A write without the raster layer (the loop test above makes some) counts the whole
    // image as changed. A pass that draws more than is worth tracking is put back whole, and
    // watching the image anew forgets what was known.
    Image picture{ImageCreateWithDepth(AreaWidth, AreaHeight, 2)};
    std::memcpy(picture.get(), handle_, ImageBytes(handle_));
    RasterShow(handle_, 0, 0);
    std::uint64_t mark = RasterChangeMark();
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

}  // namespace
}  // namespace zir
