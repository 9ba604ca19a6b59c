#include "draw/fonts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "picture_check.h"
#include "platform/png.h"
#include "zirkula.h"

namespace zir {
namespace {

constexpr Colour White{0xFFFFFF};
constexpr Colour Black{0x000000};
constexpr Colour Red{0xFF0000};

std::string FontPath(const std::string& name) {
    return std::string(ZIR_RESOURCE_DIR) + "/fonts/" + name + ".zfn";
}

Font Load(const std::string& name) {
    Font font;
    EXPECT_EQ(LoadFontFile(FontPath(name), font), 0) << name;
    return font;
}

struct Canvas {
    Image image;
    ImageHandle handle = nullptr;
    Canvas(int w, int h, Colour background = White)
        : image(ImageCreateWithDepth(w, h, 2, background)), handle(image.get()) {}
    DrawTarget target() { return &handle; }
    Colour at(int x, int y) const { return ImageColourAt(handle, x, y); }
    int count(Colour c) const {
        int n = 0;
        for (int y = 0; y < ImageHeight(handle); ++y)
            for (int x = 0; x < ImageWidth(handle); ++x) n += at(x, y) == c;
        return n;
    }
    // The leftmost and rightmost columns holding colour c in rows [y0, y1).
    std::pair<int, int> columns(Colour c, int y0, int y1) const {
        int lo = 1 << 30, hi = -1;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < ImageWidth(handle); ++x)
                if (at(x, y) == c) lo = std::min(lo, x), hi = std::max(hi, x);
        return {lo, hi};
    }
};

TEST(BuiltinFonts, EveryGlyphHasTheFontsHeight) {
    for (const char* family : {"sans", "greek"}) {
        for (int height : FontHeights) {
            std::string name = family + std::to_string(height);
            Font font = Load(name);
            ASSERT_EQ(font.offsets.size(), 256u);
            EXPECT_EQ(LineHeight(font), height) << name;
            for (int c = 0; c < 256; ++c) {
                auto glyph = GlyphOf(font, static_cast<std::uint8_t>(c));
                ASSERT_FALSE(glyph.empty()) << name << " glyph " << c;
                ASSERT_EQ(glyph[2] | glyph[3] << 8, height) << name << " glyph " << c;
                ASSERT_EQ(glyph[0] & 7, 1) << "one bit per pixel";
                ASSERT_GT(GlyphWidth(font, static_cast<std::uint8_t>(c)), 0);
            }
            EXPECT_EQ(font.offsets[255], static_cast<std::int32_t>(font.glyphs.size()));
        }
    }
}

TEST(BuiltinFonts, LoadedFromTheProgramsResources) {
    for (int height : FontHeights) {
        Font file = Load("greek" + std::to_string(height));
        const Font& builtin = BuiltinFont(FontFamily::Greek, height);
        EXPECT_EQ(builtin.glyphs, file.glyphs) << height;
        EXPECT_EQ(builtin.offsets, file.offsets) << height;
        EXPECT_EQ(LineHeight(BuiltinFont(FontFamily::Sans, height)), height);
    }
    EXPECT_EQ(&BuiltinFont(FontFamily::Sans, 17), &BuiltinFont(FontFamily::Sans, 16));
}

TEST(BuiltinFonts, GlyphsFollowEachOther) {
    Font font = Load("sans16");
    auto g0 = GlyphOf(font, 0), g1 = GlyphOf(font, 1);
    EXPECT_EQ(g0.data(), font.glyphs.data());
    EXPECT_EQ(g1.data(), font.glyphs.data() + font.offsets[0]);
    EXPECT_EQ(StringWidth("", font), 0);
    EXPECT_EQ(StringWidth("AB", font), GlyphWidth(font, 'A') + GlyphWidth(font, 'B'));
    EXPECT_LT(GlyphWidth(font, 'i'), GlyphWidth(font, 'W')) << "proportional";
}

TEST(FontSizes, SizeRule) {
    const std::pair<std::int32_t, int> cases[] = {
        {0, 16},  {-5, 16},  {1, 12},      {13, 12},      {14, 16},     {19, 16}, {20, 24},
        {27, 24}, {28, 32},  {35, 32},     {36, 40},      {43, 40},     {44, 40}, {49, 40},
        {50, 64}, {500, 64}, {0xFFFF, 16}, {0x1FFFF, 16}, {0x10010, 64}};
    for (auto [size, height] : cases) EXPECT_EQ(FontHeightForSize(size), height) << size;
}

TEST(FontFiles, RoundTripAndDamagedFiles) {
    Font font = Load("greek24");
    std::ifstream in(FontPath("greek24"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});

    const std::string copy = test::OutputPath("copy.zfn");
    std::ofstream(copy, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    Font again;
    EXPECT_EQ(LoadFontFile(copy, again), 0);
    EXPECT_EQ(again.glyphs, font.glyphs);
    EXPECT_EQ(again.offsets, font.offsets);

    const std::string cut = test::OutputPath("cut.zfn");
    for (std::size_t size :
         {std::size_t{0}, std::size_t{100}, std::size_t{1024}, bytes.size() - 1}) {
        std::ofstream(cut, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<long>(size));
        Font kept = font;
        EXPECT_NE(LoadFontFile(cut, kept), 0) << size;
        EXPECT_EQ(kept.glyphs, font.glyphs) << "unchanged after a failed load";
    }
    Font kept = font;
    EXPECT_NE(LoadFontFile(test::OutputPath("no-such-file.zfn"), kept), 0);
    EXPECT_EQ(kept.offsets, font.offsets);

    // Offsets that point outside the glyph bytes make glyphs unusable, never unsafe.
    std::vector<char> hostile = bytes;
    for (int i = 0; i < 255 * 4; ++i) hostile[i] = static_cast<char>(0xFF);
    std::ofstream(cut, std::ios::binary | std::ios::trunc)
        .write(hostile.data(), static_cast<long>(hostile.size()));
    Font bad;
    ASSERT_EQ(LoadFontFile(cut, bad), 0);
    EXPECT_TRUE(GlyphOf(bad, 'A').empty());
    EXPECT_EQ(StringWidth("ABC", bad), 0);
    Canvas c(40, 40);
    PrintText(c.target(), "ABC", bad, 0, 0, Black, Red);
    LineWrap(c.target(), "ABC DEF", bad, 0, 0, 40, 40, Black, Red);
    EXPECT_EQ(c.count(Black), 0);
}

TEST(Text, TransparentAndOpaqueBackgrounds) {
    Font font = Load("sans24");
    Canvas clear(60, 30, Red), opaque(60, 30, Red);
    PrintText(clear.target(), "O", font, 5, 2, Black, MaskColour);
    PrintText(opaque.target(), "O", font, 5, 2, Black, White);
    const int w = GlyphWidth(font, 'O');
    EXPECT_GT(clear.count(Black), 20);
    EXPECT_EQ(clear.count(Black), opaque.count(Black));
    EXPECT_EQ(clear.count(Black) + clear.count(Red), 60 * 30) << "the shape shows between strokes";
    EXPECT_EQ(opaque.count(White) + opaque.count(Black), w * 24) << "the whole cell is painted";
    EXPECT_EQ(opaque.at(4, 10), Colour{0xFF0000});
    EXPECT_EQ(opaque.at(5 + w, 10), Colour{0xFF0000});
}

TEST(Text, PrintAdvancesByGlyphWidths) {
    Font font = Load("sans16");
    Canvas one(200, 20), two(200, 20);
    PrintText(one.target(), "Zirkula", font, 10, 2, Black, MaskColour);
    PrintText(two.target(), "Zir", font, 10, 2, Black, MaskColour);
    PrintText(two.target(), "kula", font, 10 + StringWidth("Zir", font), 2, Black, MaskColour);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(one.at(x, y), two.at(x, y));
}

TEST(LineWrapping, CarriageReturnEndsTheLine) {
    Font font = Load("sans16");
    Canvas wrapped(200, 60), plain(200, 60);
    LineWrap(wrapped.target(), "abc\rdef", font, 0, 0, 200, 60, Black, MaskColour);
    PrintText(plain.target(), "abc", font, 0, 0, Black, MaskColour);
    PrintText(plain.target(), "def", font, 0, 16, Black, MaskColour);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(wrapped.at(x, y), plain.at(x, y)) << x << "," << y;

    Canvas empty(200, 60), twoLines(200, 60);
    LineWrap(empty.target(), "abc\r\rdef", font, 0, 0, 200, 60, Black, MaskColour);
    PrintText(twoLines.target(), "abc", font, 0, 0, Black, MaskColour);
    PrintText(twoLines.target(), "def", font, 0, 32, Black, MaskColour);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(empty.at(x, y), twoLines.at(x, y)) << "a blank line, no box glyph";
}

TEST(LineWrapping, BreaksAtBlanksAndCutsLongWords) {
    Font font = Load("sans16");
    const int limitFor = 16 >> 1;
    // A box that holds "one two" but not "one two three".
    const int width = StringWidth("one two", font) + limitFor + 2;
    Canvas c(300, 80);
    LineWrap(c.target(), "one two three", font, 0, 0, width, 80, Black, MaskColour);
    Canvas expect(300, 80);
    PrintText(expect.target(), "one two", font, 0, 0, Black, MaskColour);
    PrintText(expect.target(), "three", font, 0, 16, Black, MaskColour);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(c.at(x, y), expect.at(x, y)) << x << "," << y;

    // "abcdefgh" in a box that fits "abcde" (the first character is not measured): the
    // last fitting character moves to the next line.
    const std::string word = "abcdefgh";
    int box = StringWidth("bcde", font) + limitFor;
    Canvas cut(300, 80);
    LineWrap(cut.target(), word, font, 0, 0, box, 80, Black, MaskColour);
    Canvas cutExpect(300, 80);
    PrintText(cutExpect.target(), "abcd", font, 0, 0, Black, MaskColour);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(cut.at(x, y), cutExpect.at(x, y));
    auto [left, right] = cut.columns(Black, 16, 32);
    EXPECT_EQ(left, cutExpect.columns(Black, 0, 16).first) << "the next line starts with 'e'";
    EXPECT_GT(right, 0);
}

TEST(LineWrapping, BoxLimits) {
    Font font = Load("sans16");
    Canvas low(200, 40, White);
    LineWrap(low.target(), "first second third", font, 0, 0, 60, 5, Black, MaskColour);
    EXPECT_GT(low.count(Black), 0) << "the first line is always drawn";
    EXPECT_EQ(low.columns(Black, 17, 40).second, -1) << "no second line in a low box";

    Canvas narrow(200, 200, White);
    LineWrap(narrow.target(), "wide", font, 0, 0, 1, 1 << 30, Black, Red);
    EXPECT_GT(narrow.count(Red), 0) << "the opaque background fills the box";

    Canvas filled(100, 60, White);
    LineWrap(filled.target(), "x", font, 10, 10, 50, 30, Black, Red);
    EXPECT_EQ(filled.count(Red) + filled.count(Black), 50 * 30);
}

TEST(FontFiles, ExportedProceduresGrowTheCallersLists) {
    ZirByteList glyphs{nullptr, 0};
    ZirIntList offsets{nullptr, 0};
    EXPECT_NE(ZIRD_LOADFONT("/no/such/font.zfn", &glyphs, &offsets), 0);
    EXPECT_EQ(glyphs.count, 0);
    ASSERT_EQ(ZIRD_LOADFONT(FontPath("sans16").c_str(), &glyphs, &offsets), 0);
    Font font = Load("sans16");
    ASSERT_EQ(offsets.count, 256);
    EXPECT_EQ(std::vector<std::uint8_t>(glyphs.items, glyphs.items + glyphs.count), font.glyphs);
    EXPECT_EQ(ZIRD_STRINGW("Zirkel", &glyphs, &offsets), StringWidth("Zirkel", font));

    Canvas c(100, 20);
    const std::int32_t x = 3, y = 2;
    const std::uint32_t ink = Black.Value(), paper = MaskColour.Value();
    EXPECT_EQ(ZIRD_PRINT(&c.handle, "Zirkel", &glyphs, &offsets, &x, &y, &ink, &paper), 0);
    Canvas expect(100, 20);
    PrintText(expect.target(), "Zirkel", font, 3, 2, Black, MaskColour);
    EXPECT_EQ(c.count(Black), expect.count(Black));
    EXPECT_GT(c.count(Black), 0);
    std::free(glyphs.items);
    std::free(offsets.items);
}

// Every glyph of every built-in font, for a person to look at.
TEST(Pictures, FontSheet) {
    Canvas sheet(1700, 2300, White);
    int top = 4;
    for (const char* family : {"sans", "greek"}) {
        for (int height : FontHeights) {
            Font font = Load(family + std::to_string(height));
            int x = 4;
            for (int c = 0; c < 256; ++c) {
                int w = GlyphWidth(font, static_cast<std::uint8_t>(c));
                if (x + w > 1696 || (c % 64 == 0 && c > 0)) x = 4, top += height + 2;
                PutBitmap(sheet.target(), GlyphOf(font, static_cast<std::uint8_t>(c)), x, top,
                          Black, Colour{c % 2 ? 0xE0E8FF : 0xFFF0E0});
                x += w;
            }
            top += height + 8;
        }
    }
    EXPECT_LT(top, 2300);
    EXPECT_TRUE(WritePng(test::OutputPath("font_sheet.png"), sheet.handle));
}

}  // namespace
}  // namespace zir
