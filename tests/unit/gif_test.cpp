#include "platform/gif.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/raster.h"
#include "picture_check.h"
#include "platform/image.h"
#include "platform/platform.h"
#include "runtime/logo.h"

namespace zir {
namespace {

// A GIF read back and played: the picture after each frame, and each frame's delay.
struct Played {
    int width = 0, height = 0;
    bool loops = false;
    std::vector<std::vector<Colour>> pictures;
    std::vector<int> delaysCs;
    std::vector<int> areas;  // pixels stored per frame
};

Played Play(const std::string& path) {
    Played out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(gif, nullptr);
    if (!gif) return out;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    out.width = gif->SWidth, out.height = gif->SHeight;
    std::vector<Colour> canvas(static_cast<std::size_t>(out.width) * out.height);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        for (int e = 0; e < frame.ExtensionBlockCount; ++e) {
            const ExtensionBlock& b = frame.ExtensionBlocks[e];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                std::string(reinterpret_cast<char*>(b.Bytes), 11) == "NETSCAPE2.0")
                out.loops = true;
        }
        GraphicsControlBlock gcb{};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        out.delaysCs.push_back(gcb.DelayTime);
        const GifImageDesc& d = frame.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                GifColorType c = map->Colors[frame.RasterBits[y * d.Width + x]];
                canvas[static_cast<std::size_t>(d.Top + y) * out.width + d.Left + x] =
                    Colour{c.Red, c.Green, c.Blue};
            }
        out.areas.push_back(d.Width * d.Height);
        out.pictures.push_back(canvas);
    }
    DGifCloseFile(gif, &error);
    return out;
}

std::vector<Colour> Colours(const std::uint8_t* image) {
    std::vector<Colour> out;
    for (int y = 0; y < ImageHeight(image); ++y)
        for (int x = 0; x < ImageWidth(image); ++x) out.push_back(ImageColourAt(image, x, y));
    return out;
}

TEST(Gif, ChangedRectanglesDelaysAndLoop) {
    const std::string path = test::OutputPath("steps.gif");
    Image image{ImageCreateWithDepth(120, 80, 2, Colour{0xFFFFFF})};
    ImageHandle h = image.get();
    GifRecorder gif = GifOpen(path, 120, 80);
    ASSERT_TRUE(gif);
    std::vector<std::vector<Colour>> expected;
    GifAddPicture(*gif, h, 2000);
    expected.push_back(Colours(h));
    GifAddPicture(*gif, h, 2500);  // the same picture again adds nothing
    RasterLine(&h, 10, 10, 30, 20, Colour{0x0000FF}, LineKind::Segment);
    GifAddPicture(*gif, h, 4000);  // replaced within the same hundredth: never shown alone
    RasterArc(&h, 80, 40, 20, Colour{0xFF0000}, 0, FullTurn, true);
    GifAddPicture(*gif, h, 4004);
    expected.push_back(Colours(h));
    RasterArc(&h, 80, 40, 10, Colour{0x00C000}, 0, FullTurn, true);
    GifAddPicture(*gif, h, 4008);
    expected.push_back(Colours(h));
    ASSERT_TRUE(GifClose(std::move(gif), 3000));

    Played p = Play(path);
    EXPECT_TRUE(p.loops);
    ASSERT_EQ(p.pictures.size(), 3u);
    EXPECT_EQ(p.delaysCs, (std::vector<int>{200, 1, 300}));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(p.pictures[i], expected[i]) << "frame " << i;
    EXPECT_EQ(p.areas[0], 120 * 80);
    EXPECT_EQ(p.areas[1], 91 * 51) << "the box around the segment and the disc";
    EXPECT_EQ(p.areas[2], 21 * 21) << "only the inner disc";
}

TEST(Gif, ManyColoursAreQuantisedClosely) {
    const std::string path = test::OutputPath("colours.gif");
    Image image{ImageCreateWithDepth(128, 128, 2, Colour{})};
    ImageHandle h = image.get();
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            RasterPixel(&h, x, y,
                        Colour{static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2),
                               static_cast<std::uint8_t>(x + y)});
    GifRecorder gif = GifOpen(path, 128, 128);
    ASSERT_TRUE(gif);
    GifAddPicture(*gif, h, 0);
    ASSERT_TRUE(GifClose(std::move(gif), 1000));
    Played p = Play(path);
    ASSERT_EQ(p.pictures.size(), 1u);
    std::vector<Colour> want = Colours(h);
    double total = 0;
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Colour a = want[i], b = p.pictures[0][i];
        total += std::abs(a.Red() - b.Red()) + std::abs(a.Green() - b.Green()) +
                 std::abs(a.Blue() - b.Blue());
    }
    EXPECT_LT(total / (want.size() * 3), 8.0) << "mean channel error of the median cut";
}

TEST(Gif, UnwritablePathAndWrongSizes) {
    EXPECT_FALSE(GifOpen("/nonexistent-dir/x.gif", 10, 10));
    EXPECT_FALSE(GifOpen(test::OutputPath("zero.gif"), 0, 10));
    GifRecorder gif = GifOpen(test::OutputPath("mismatch.gif"), 10, 10);
    ASSERT_TRUE(gif);
    Image other{ImageCreateWithDepth(11, 10, 2, Colour{})};
    GifAddPicture(*gif, other.get(), 0);  // ignored
    EXPECT_TRUE(GifClose(std::move(gif), 1000));
}

// The platform records every picture it shows, with the virtual clock's timing, and leaves
// the logo out.
TEST(Gif, RecordedFromThePicturesTheViewerSees) {
    const std::string path = test::OutputPath("platform.gif");
    auto start = [&](const std::string& gif) {
        PlatformStop();
        PlatformOptions options;
        options.backend = BackendKind::Headless;
        options.gifPath = gif;
        std::string message;
        return PlatformStart(options, message);
    };
    ASSERT_EQ(start(path), PlatformError::None);
    ASSERT_TRUE(ScreenOpen(80, 60, 16));
    ShowLogo(80, 60);  // the opening logo: not part of the GIF
    RasterLine(nullptr, 0, 0, 79, 59, Colour{0xFFFFFF}, LineKind::FilledBox);
    SleepMs(1000);
    RasterLine(nullptr, 10, 10, 70, 50, Colour{0xFF0000}, LineKind::Segment);
    SleepMs(500);
    RasterArc(nullptr, 40, 30, 10, Colour{0x0000FF}, 0, FullTurn,
              true);   // shown only by the logo's
    ShowLogo(80, 60);  // pause: still recorded
    PlatformStop();
    Played p = Play(path);
    ASSERT_EQ(p.pictures.size(), 3u);
    EXPECT_EQ(p.delaysCs, (std::vector<int>{100, 50, 300}));
    EXPECT_EQ(p.pictures[0][0], Colour{0xFFFFFF});
    EXPECT_EQ(p.pictures[2][30 * 80 + 40], Colour{0x0000FF}) << "the finished figure, not the logo";

    const std::string none = test::OutputPath("nothing.gif");
    ASSERT_EQ(start(none), PlatformError::None);
    PlatformStop();
    EXPECT_FALSE(std::filesystem::exists(none)) << "no picture, no file";
    EXPECT_EQ(start("/nonexistent-dir/x.gif"), PlatformError::GifFile);
    start("");
}

TEST(Gif, ImageMagickReadsFramesAndDelays) {
    if (std::system("command -v identify >/dev/null 2>&1") != 0) GTEST_SKIP() << "no identify";
    const std::string path = test::OutputPath("identify.gif");
    Image image{ImageCreateWithDepth(64, 48, 2, Colour{0xFFFFFF})};
    ImageHandle h = image.get();
    GifRecorder gif = GifOpen(path, 64, 48);
    ASSERT_TRUE(gif);
    for (int i = 0; i < 4; ++i) {
        RasterLine(&h, 5, 5 + 10 * i, 60, 5 + 10 * i, Colour{0x000000}, LineKind::Segment);
        GifAddPicture(*gif, h, 500 * i);
    }
    ASSERT_TRUE(GifClose(std::move(gif), 3000));
    const std::string out = test::OutputPath("identify.txt");
    ASSERT_EQ(std::system(("identify -format '%T\\n' " + path + " > " + out).c_str()), 0);
    std::FILE* f = std::fopen(out.c_str(), "r");
    ASSERT_NE(f, nullptr);
    std::vector<int> delays;
    int d = 0;
    while (std::fscanf(f, "%d", &d) == 1) delays.push_back(d);
    std::fclose(f);
    EXPECT_EQ(delays, (std::vector<int>{50, 50, 50, 300}));
}

}  // namespace
}  // namespace zir
