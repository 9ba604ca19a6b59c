#include "platform/png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "picture_check.h"
#include "platform/image.h"

namespace zir {
namespace {

// The byte at the given offset of a PNG file: IHDR's bit depth is at 24, its colour type at 25.
int FileByte(const std::string& path, long offset) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, offset, SEEK_SET);
    const int byte = std::fgetc(f);
    std::fclose(f);
    return byte;
}

// Writes the image, reads it back and compares every pixel with the colour it had.
::testing::AssertionResult RoundTrips(const std::string& name, const std::uint8_t* image) {
    const std::string path = test::OutputPath(name + ".png");
    if (!WritePng(path, image)) return ::testing::AssertionFailure() << name << ": not written";
    const Image back = test::ReadPng(path);
    if (!back) return ::testing::AssertionFailure() << name << ": not read back";
    const int w = ImageWidth(image), h = ImageHeight(image);
    if (ImageWidth(back.get()) != w || ImageHeight(back.get()) != h) {
        return ::testing::AssertionFailure() << name << ": size changed";
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Colour want = ImageColourAt(image, x, y);
            if (ImageBytesPerPixel(image) == 1) {
                want = Colour{want.Blue(), want.Blue(), want.Blue()};  // an index as a grey level
            }
            const Colour got = ImageColourAt(back.get(), x, y);
            if (got != want) {
                return ::testing::AssertionFailure()
                       << name << ": pixel (" << x << ", " << y << ") is " << std::hex
                       << got.Value() << ", not " << want.Value();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// An image of the given colours, each pixel picked at random, in runs of random length.
Image RandomImage(int w, int h, int bpp, const std::vector<Colour>& colours, unsigned seed) {
    Image image{ImageCreateWithDepth(w, h, bpp, colours[0])};
    std::mt19937 random(seed);
    std::uint8_t* p = ImagePixels(image.get());
    std::uint32_t value = 0;
    for (int i = 0; i < w * h; ++i) {
        if (random() % 4 == 0) {
            value = PixelFromColour(colours[random() % colours.size()], bpp);
        }
        std::memcpy(p + static_cast<std::size_t>(i) * bpp, &value, bpp);
    }
    return image;
}

std::vector<Colour> Colours(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Colour> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(Colour{static_cast<std::uint32_t>(random() & 0xFFFFFF)});
    return colours;
}

// Few colours go into a palette packed several pixels to a byte, many into RGB; widths that
// leave a partly filled last byte of a row are where packing goes wrong.
TEST(Png, EveryPixelFormatAndColourCountReadsBackUnchanged) {
    for (int bpp : {1, 2, 4}) {
        for (int count : {1, 2, 3, 4, 5, 16, 17, 255, 256, 257, 1000}) {
            if (bpp == 1 && count > 256) continue;
            for (int w : {1, 3, 7, 9, 64, 641}) {
                std::vector<Colour> colours = Colours(count, count * 7 + w);
                if (bpp == 1) {
                    for (std::size_t i = 0; i < colours.size(); ++i)
                        colours[i] = Colour{static_cast<std::uint32_t>(i)};
                }
                const Image image = RandomImage(w, 5, bpp, colours, bpp * 1000 + count + w);
                const std::string name = "png_" + std::to_string(bpp) + "_" +
                                         std::to_string(count) + "_" + std::to_string(w);
                EXPECT_TRUE(RoundTrips(name, image.get()));
            }
        }
    }
}

// A 32-bit pixel's top byte is not part of its colour: pixels that differ only there are one
// colour in the file.
TEST(Png, TopByteOfWidePixelsIsIgnored) {
    Image image{ImageCreateWithDepth(4, 1, 4, Colour{0x123456})};
    auto* p = reinterpret_cast<std::uint32_t*>(ImagePixels(image.get()));
    p[1] = 0xFF123456, p[2] = 0x80ABCDEF, p[3] = 0x00ABCDEF;
    EXPECT_TRUE(RoundTrips("png_top_byte", image.get()));
    EXPECT_EQ(FileByte(test::OutputPath("png_top_byte.png"), 24), 1);  // two colours: 1 bit
}

TEST(Png, FewColoursMakeAPaletteManyMakeRgb) {
    const Image few = RandomImage(64, 64, 2, Colours(12, 1), 1);
    const std::string fewPath = test::OutputPath("png_few.png");
    ASSERT_TRUE(WritePng(fewPath, few.get()));
    EXPECT_EQ(FileByte(fewPath, 25), 3);  // palette
    EXPECT_EQ(FileByte(fewPath, 24), 4);

    const Image many = RandomImage(64, 64, 4, Colours(300, 2), 2);
    const std::string manyPath = test::OutputPath("png_many.png");
    ASSERT_TRUE(WritePng(manyPath, many.get()));
    EXPECT_EQ(FileByte(manyPath, 25), 2);  // RGB
    EXPECT_EQ(FileByte(manyPath, 24), 8);
}

TEST(Png, AFileThatCannotBeWrittenLeavesNothing) {
    const Image image{ImageCreateWithDepth(8, 8, 2, Colour{0xFFFFFF})};
    EXPECT_FALSE(WritePng(test::OutputPath("no-such-dir/picture.png"), image.get()));
    EXPECT_FALSE(WritePng(test::OutputPath("png_null.png"), nullptr));
    EXPECT_FALSE(std::filesystem::exists(test::OutputPath("png_null.png")));
}

TEST(Png, ReadingRefusesWhatIsNoPng) {
    EXPECT_EQ(test::ReadPng(test::OutputPath("png_missing.png")), nullptr);
    const std::string path = test::OutputPath("png_not_a_png.png");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a picture", f);
    std::fclose(f);
    EXPECT_EQ(test::ReadPng(path), nullptr);
}

}  // namespace
}  // namespace zir
