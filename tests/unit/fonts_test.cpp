#include "draw/fonts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "draw_canvas.h"
#include "picture_check.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::Red;
using test::SamePicture;

TEST(BuiltinFonts, TheResourcesAreTheFilesAndTheNearestHeightServes) {
    for (int height : FontHeights) {
        const Font file = test::LoadTestFont("greek" + std::to_string(height));
        const Font& builtin = BuiltinFont(FontFamily::Greek, height);
        EXPECT_EQ(builtin.glyphs, file.glyphs) << height;
        EXPECT_EQ(builtin.offsets, file.offsets) << height;
        EXPECT_EQ(LineHeight(BuiltinFont(FontFamily::Sans, height)), height);
    }
    EXPECT_EQ(&BuiltinFont(FontFamily::Sans, 17), &BuiltinFont(FontFamily::Sans, 16));
}

TEST(FontSizes, SizeRule) {
    const std::pair<std::int32_t, int> cases[] = {
        {0, 16},  {-5, 16}, {1, 12},  {13, 12},     {14, 16},      {19, 16},
        {20, 24}, {27, 24}, {28, 32}, {35, 32},     {36, 40},      {43, 40},
        {44, 40}, {49, 40}, {50, 64}, {0xFFFF, 16}, {0x1FFFF, 16}, {0x10010, 64}};
    for (auto [size, height] : cases) EXPECT_EQ(FontHeightForSize(size), height) << size;
}

// A short or missing file leaves the font as it was; offsets that point outside the glyph
// bytes make glyphs unusable, never unsafe.
TEST(FontFiles, DamagedFiles) {
    const Font font = test::LoadTestFont("greek24");
    std::ifstream in(std::string(ZIR_RESOURCE_DIR) + "/fonts/greek24.zfn", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const std::string cut = test::OutputPath("cut.zfn");
    for (std::size_t size :
         {std::size_t{0}, std::size_t{100}, std::size_t{1024}, bytes.size() - 1}) {
        std::ofstream(cut, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<long>(size));
        Font kept = font;
        EXPECT_NE(LoadFontFile(cut, kept), 0) << size;
        EXPECT_EQ(kept.glyphs, font.glyphs) << "unchanged after a failed load";
    }

    std::vector<char> hostile = bytes;
    for (int i = 0; i < 255 * 4; ++i) hostile[i] = static_cast<char>(0xFF);
    std::ofstream(cut, std::ios::binary | std::ios::trunc)
        .write(hostile.data(), static_cast<long>(hostile.size()));
    Font bad;
    ASSERT_EQ(LoadFontFile(cut, bad), 0);
    EXPECT_EQ(StringWidth("ABC", bad), 0);
    Canvas c(40, 40);
    PrintText(c.target(), "ABC", bad, 0, 0, Black, Red);
    LineWrap(c.target(), "ABC DEF", bad, 0, 0, 40, 40, Black, Red);
    EXPECT_EQ(c.count(Black), 0);
}

// Wrapping breaks at the last blank that fits (half a line height kept free at the right),
// cuts a word too long for a line before its last fitting character (the first is not
// measured), ends a line at a carriage return, and always draws the first line.
TEST(LineWrapping, LinesAsPrintedOneByOne) {
    const Font font = test::LoadTestFont("sans16");
    const int fits = StringWidth("one two", font) + 8 + 2, word = StringWidth("bcde", font) + 8;
    const struct {
        const char* text;
        int width, height;
        std::vector<std::string> lines;
    } cases[] = {
        {"one two three", fits, 80, {"one two", "three"}},
        {"abcdefgh", word, 32, {"abcd", "efgh"}},
        {"abc\rdef", 200, 80, {"abc", "def"}},
        {"abc\r\rdef", 200, 80, {"abc", "", "def"}},
        {"first second third", 60, 5, {"first"}},
    };
    for (const auto& k : cases) {
        Canvas got(300, 80), want(300, 80);
        LineWrap(got.target(), k.text, font, 3, 0, k.width, k.height, Black, MaskColour);
        for (std::size_t i = 0; i < k.lines.size(); ++i) {
            PrintText(want.target(), k.lines[i], font, 3, 16 * static_cast<int>(i), Black,
                      MaskColour);
        }
        EXPECT_TRUE(SamePicture(got, want)) << k.text;
    }
}

}  // namespace
}  // namespace zir
