#include "platform/gif.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/raster.h"
#include "headless_restart.h"
#include "picture_check.h"
#include "platform/image.h"
#include "platform/platform.h"

namespace zir {
namespace {

using Picture = std::vector<Colour>;

// A GIF read back and played: the picture after each frame, each frame's delay and the
// pixels it stores, and whether it loops.
struct Played {
    std::vector<Picture> pictures;
    std::vector<int> delaysCs, areas;
    bool loops = false;
};

Played Play(const std::string& path) {
    Played out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return out;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return out;
    }
    Picture canvas(static_cast<std::size_t>(gif->SWidth) * gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        for (int e = 0; e < frame.ExtensionBlockCount; ++e) {
            const ExtensionBlock& b = frame.ExtensionBlocks[e];
            out.loops |= b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                         std::string(reinterpret_cast<char*>(b.Bytes), 11) == "NETSCAPE2.0";
        }
        GraphicsControlBlock gcb{};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        out.delaysCs.push_back(gcb.DelayTime);
        const GifImageDesc& d = frame.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        for (int k = 0; k < d.Width * d.Height; ++k) {
            const GifColorType c = map->Colors[frame.RasterBits[k]];
            canvas[(d.Top + k / d.Width) * gif->SWidth + d.Left + k % d.Width] =
                Colour{c.Red, c.Green, c.Blue};
        }
        out.areas.push_back(d.Width * d.Height);
        out.pictures.push_back(canvas);
    }
    DGifCloseFile(gif, &error);
    return out;
}

Picture Colours(const std::uint8_t* image) {
    Picture out;
    for (int y = 0; y < ImageHeight(image); ++y)
        for (int x = 0; x < ImageWidth(image); ++x) out.push_back(ImageColourAt(image, x, y));
    return out;
}

// The same picture again adds nothing; one replaced within the same hundredth is never shown
// alone; each frame stores only the box around what changed; the last is held for the
// closing delay, and the whole loops.
TEST(Gif, ChangedRectanglesDelaysAndLoop) {
    const std::string path = test::OutputPath("steps.gif");
    Image image{ImageCreateWithDepth(120, 80, 2, Colour{0xFFFFFF})};
    ImageHandle h = image.get();
    GifRecorder gif = GifOpen(path, 120, 80);
    ASSERT_TRUE(gif);
    std::vector<Picture> expected;
    GifAddPicture(*gif, h, 2000);
    expected.push_back(Colours(h));
    GifAddPicture(*gif, h, 2500);
    RasterLine(&h, 10, 10, 30, 20, Colour{0x0000FF}, LineKind::Segment);
    GifAddPicture(*gif, h, 4000);
    RasterArc(&h, 80, 40, 20, Colour{0xFF0000}, 0, FullTurn, true);
    GifAddPicture(*gif, h, 4004);
    expected.push_back(Colours(h));
    RasterArc(&h, 80, 40, 10, Colour{0x00C000}, 0, FullTurn, true);
    GifAddPicture(*gif, h, 4008);
    expected.push_back(Colours(h));
    ASSERT_TRUE(GifClose(std::move(gif), 3000));
    Played p = Play(path);
    EXPECT_TRUE(p.loops);
    EXPECT_EQ(p.pictures, expected);
    EXPECT_EQ(p.delaysCs, (std::vector<int>{200, 1, 300}));
    EXPECT_EQ(p.areas, (std::vector<int>{120 * 80, 91 * 51, 21 * 21}));
}

// More colours than a GIF holds are brought down to a palette close to all of them.
TEST(Gif, ManyColoursAreQuantisedClosely) {
    Image image{ImageCreateWithDepth(64, 64, 2, Colour{})};
    ImageHandle h = image.get();
    for (int i = 0; i < 64 * 64; ++i) {
        const auto x = static_cast<std::uint8_t>(i % 64), y = static_cast<std::uint8_t>(i / 64);
        RasterPixel(&h, x, y,
                    Colour{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4),
                           static_cast<std::uint8_t>(x + y)});
    }
    GifRecorder gif = GifOpen(test::OutputPath("colours.gif"), 64, 64);
    GifAddPicture(*gif, h, 0);
    ASSERT_TRUE(GifClose(std::move(gif), 1000));
    const Picture want = Colours(h), got = Play(test::OutputPath("colours.gif")).pictures.at(0);
    double total = 0;
    for (std::size_t i = 0; i < want.size(); ++i)
        total += std::abs(want[i].Red() - got[i].Red()) +
                 std::abs(want[i].Green() - got[i].Green()) +
                 std::abs(want[i].Blue() - got[i].Blue());
    EXPECT_LT(total / (want.size() * 3), 8.0) << "mean channel error of the median cut";
}

// A path that cannot be written is refused when the recording opens, by the recorder and
// by the platform; a picture of another size is passed over; no picture, no file.
TEST(Gif, UnwritablePathsWrongSizesAndNoPictures) {
    EXPECT_FALSE(GifOpen("/nonexistent-dir/x.gif", 10, 10));
    EXPECT_FALSE(GifOpen(test::OutputPath("zero.gif"), 0, 10));
    GifRecorder gif = GifOpen(test::OutputPath("mismatch.gif"), 10, 10);
    ASSERT_TRUE(gif);
    Image other{ImageCreateWithDepth(11, 10, 2, Colour{})};
    GifAddPicture(*gif, other.get(), 0);
    EXPECT_TRUE(GifClose(std::move(gif), 1000));
    EXPECT_TRUE(Play(test::OutputPath("mismatch.gif")).pictures.empty());
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.gifPath = "/nonexistent-dir/x.gif";
    std::string message;
    EXPECT_EQ(PlatformStart(options, message), PlatformError::GifFile);
    options.gifPath = test::OutputPath("nothing.gif");
    ASSERT_EQ(PlatformStart(options, message), PlatformError::None);
    PlatformStop();
    EXPECT_FALSE(std::filesystem::exists(options.gifPath));
    test::RestoreHeadless();
}

}  // namespace
}  // namespace zir
