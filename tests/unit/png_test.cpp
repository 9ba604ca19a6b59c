#include "platform/png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "picture_check.h"
#include "platform/image.h"

namespace zir {
namespace {

// Writes the image and reads it back: the first pixel that changed, or "" (an index of a
// one-byte image reads back as a grey level).
std::string Changed(const std::string& name, const std::uint8_t* image) {
    const std::string path = test::OutputPath(name + ".png");
    if (!WritePng(path, image)) return "not written";
    const Image back = test::ReadPng(path);
    const int w = ImageWidth(image), h = ImageHeight(image);
    if (!back || ImageWidth(back.get()) != w || ImageHeight(back.get()) != h) return "size";
    for (int i = 0; i < w * h; ++i) {
        Colour want = ImageColourAt(image, i % w, i / w);
        if (ImageBytesPerPixel(image) == 1) want = Colour{want.Blue(), want.Blue(), want.Blue()};
        if (ImageColourAt(back.get(), i % w, i / w) != want) return "pixel " + std::to_string(i);
    }
    return "";
}

// An image of up to count colours (indexes at one byte a pixel), in runs of random length.
Image RandomImage(int w, int h, int bpp, std::uint32_t count, unsigned seed) {
    Image image{ImageCreateWithDepth(w, h, bpp, Colour{})};
    std::mt19937 random(seed);
    std::uint32_t value = 0;
    for (int i = 0; i < w * h; ++i) {
        const std::uint32_t k = random() % count;
        if (random() % 4 == 0)
            value = PixelFromColour(Colour{bpp == 1 ? k : k * 0x9E3779u & 0xFFFFFFu}, bpp);
        std::memcpy(ImagePixels(image.get()) + static_cast<std::size_t>(i) * bpp, &value, bpp);
    }
    return image;
}

// The byte at the given offset of a file: a PNG's bit depth is at 24, its colour type at 25.
int FileByte(const std::string& path, long offset) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, offset, SEEK_SET);
    const int byte = std::fgetc(f);
    std::fclose(f);
    return byte;
}

// Few colours go into a palette packed several pixels to a byte, many into RGB; widths that
// leave a partly filled last byte of a row are where packing goes wrong.
TEST(Png, EveryPixelFormatAndColourCountReadsBackUnchanged) {
    for (int bpp : {1, 2, 4}) {
        for (std::uint32_t count : {1, 2, 3, 4, 5, 16, 17, 255, 256, 257, 1000}) {
            for (int w : {1, 3, 7, 9, 64, 641}) {
                if (bpp == 1 && count > 256) continue;
                const std::string name = "png_" + std::to_string(bpp) + "_" +
                                         std::to_string(count) + "_" + std::to_string(w);
                EXPECT_EQ(
                    Changed(name, RandomImage(w, 5, bpp, count, bpp * 1000 + count + w).get()), "")
                    << name;
            }
        }
    }
    // 12 colours take 4 bits of a palette, 300 the 8 bits of each of red, green and blue.
    EXPECT_EQ(FileByte(test::OutputPath("png_2_16_64.png"), 24), 4);
    EXPECT_EQ(FileByte(test::OutputPath("png_2_16_64.png"), 25), 3);
    EXPECT_EQ(FileByte(test::OutputPath("png_4_1000_641.png"), 24), 8);
    EXPECT_EQ(FileByte(test::OutputPath("png_4_1000_641.png"), 25), 2);
}

// A 32-bit pixel's top byte is not part of its colour: pixels that differ only there are one
// colour in the file, here one of two, which take one bit.
TEST(Png, TopByteOfWidePixelsIsIgnored) {
    Image image{ImageCreateWithDepth(4, 1, 4, Colour{0x123456})};
    auto* p = reinterpret_cast<std::uint32_t*>(ImagePixels(image.get()));
    p[1] = 0xFF123456, p[2] = 0x80ABCDEF, p[3] = 0x00ABCDEF;
    EXPECT_EQ(Changed("png_top_byte", image.get()), "");
    EXPECT_EQ(FileByte(test::OutputPath("png_top_byte.png"), 24), 1);
}

TEST(Png, AFileThatCannotBeWrittenLeavesNothing) {
    const Image image{ImageCreateWithDepth(8, 8, 2, Colour{0xFFFFFF})};
    EXPECT_FALSE(WritePng(test::OutputPath("no-such-dir/picture.png"), image.get()));
    EXPECT_FALSE(WritePng(test::OutputPath("png_null.png"), nullptr));
    EXPECT_FALSE(std::filesystem::exists(test::OutputPath("png_null.png")));
}

}  // namespace
}  // namespace zir
