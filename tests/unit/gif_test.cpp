#include "platform/gif.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/raster.h"
#include "headless_restart.h"
#include "picture_check.h"
#include "platform/files.h"
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

// Unpacks one image's LZW codes (which start with a clear code) into palette indices.
std::string Unpack(const std::string& data, std::size_t minCodeBits) {
    const std::size_t clear = std::size_t{1} << minCodeBits;
    std::vector<std::string> table;
    std::string out, previous;
    for (std::size_t bit = 0, codeBits = minCodeBits + 1;;) {
        std::size_t code = 0;
        for (std::size_t b = 0; b < codeBits; ++b, ++bit)
            code |= (static_cast<std::uint8_t>(data.at(bit / 8)) >> bit % 8 & 1u) << b;
        if (code == clear + 1) return out;
        if (code == clear) {
            table.assign(clear + 2, ""), previous.clear(), codeBits = minCodeBits + 1;
            for (std::size_t i = 0; i < clear; ++i) table[i] = static_cast<char>(i);
            continue;
        }
        const std::string entry = code < table.size() ? table[code] : previous + previous.at(0);
        if (!previous.empty() && table.size() < 4096) table.push_back(previous + entry.at(0));
        out += entry, previous = entry;
        if (table.size() == std::size_t{1} << codeBits && codeBits < 12) ++codeBits;
    }
}

Played Play(const std::string& path) {
    Played out;
    std::string f;
    if (!ReadWholeFile(path, f) || f.compare(0, 6, "GIF89a") != 0) return out;
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(f.at(i)); };
    auto word = [&](std::size_t i) { return at(i) | at(i + 1) << 8; };
    auto blocks = [&](std::size_t& i) {  // the data sub-blocks from i, joined
        std::string joined;
        for (; at(i) != 0; i += at(i) + 1) joined += f.substr(i + 1, at(i));
        return ++i, joined;
    };
    out.loops = f.find(std::string("NETSCAPE2.0\3\1\0\0\0", 16)) != std::string::npos;
    const int width = word(6), height = word(8);
    Picture canvas(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 13; at(i) != 0x3B;) {
        if (at(i) == 0x21 && at(i + 1) == 0xF9) out.delaysCs.push_back(word(i + 4));
        if (at(i) == 0x21) {
            i += 2, blocks(i);
            continue;
        }
        const int left = word(i + 1), top = word(i + 3), w = word(i + 5), h = word(i + 7);
        const std::size_t table = i + 10;
        i = table + 3 * (2 << (at(i + 9) & 7));
        const int minCodeBits = at(i++);
        const std::string indices = Unpack(blocks(i), minCodeBits);
        for (int k = 0; k < w * h; ++k) {
            const std::size_t c = table + 3 * static_cast<std::uint8_t>(indices.at(k));
            canvas[(top + k / w) * width + left + k % w] = Colour{at(c), at(c + 1), at(c + 2)};
        }
        out.areas.push_back(w * h);
        out.pictures.push_back(canvas);
    }
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

// Noise in 256 colours fills the LZW code table many times over: every clear and every
// change of code width must land where a decoder expects it.
TEST(Gif, NoiseFillingTheCodeTableReadsBackExactly) {
    Image image{ImageCreateWithDepth(300, 200, 2, Colour{})};
    ImageHandle h = image.get();
    for (std::uint32_t i = 0, seed = 1; i < 300 * 200; ++i, seed = seed * 1103515245 + 12345)
        RasterPixel(&h, i % 300, i / 300, Colour{seed >> 8 & 0xF8E000});  // 5 bits red, 3 green
    const std::string path = test::OutputPath("noise.gif");
    GifRecorder gif = GifOpen(path, 300, 200);
    GifAddPicture(*gif, h, 0);
    ASSERT_TRUE(GifClose(std::move(gif), 1000));
    EXPECT_EQ(Play(path).pictures.at(0), Colours(h));
}

// A path that cannot be written is refused when the recording opens, by the recorder and
// by the platform, and a file that takes no bytes fails on closing; a picture of another
// size is passed over; no picture, no file.
TEST(Gif, UnwritablePathsWrongSizesAndNoPictures) {
    EXPECT_FALSE(GifOpen("/nonexistent-dir/x.gif", 10, 10));
    EXPECT_FALSE(GifOpen(test::OutputPath("zero.gif"), 0, 10));
    GifRecorder gif = GifOpen(test::OutputPath("mismatch.gif"), 10, 10);
    ASSERT_TRUE(gif);
    Image other{ImageCreateWithDepth(11, 10, 2, Colour{})};
    GifAddPicture(*gif, other.get(), 0);
    EXPECT_TRUE(GifClose(std::move(gif), 1000));
    EXPECT_TRUE(Play(test::OutputPath("mismatch.gif")).pictures.empty());
    EXPECT_FALSE(GifClose(GifOpen("/dev/full", 10, 10), 1000));  // opens, takes no byte
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
