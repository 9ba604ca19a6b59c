// Bitmap fonts and text.
//
// A font is a pair of arrays: the glyph bytes and 256 offsets. The glyph of code c starts
// at byte 0 for c = 0 and at offsets[c - 1] otherwise, and ends at offsets[c]. Each glyph
// is a one-bit image: u16 width * 8 + 1, u16 height, then height rows of (width + 7) / 8
// bytes, the leftmost pixel in the top bit. A glyph's advance is its width.
//
// On disk and as a built-in resource the same glyphs follow a table of 256 u32 end
// offsets counted from the start of the file, that is 1024 more than in memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "draw/raster.h"

namespace zir {

struct Font {
    std::vector<std::uint8_t> glyphs;
    std::vector<std::int32_t> offsets;
};

// The arrays of a font as the text procedures read them, wherever they are kept.
struct FontView {
    std::span<const std::uint8_t> glyphs;
    std::span<const std::int32_t> offsets;
    FontView() = default;
    FontView(std::span<const std::uint8_t> g, std::span<const std::int32_t> o)
        : glyphs(g), offsets(o) {}
    FontView(const Font& font) : glyphs(font.glyphs), offsets(font.offsets) {}  // NOLINT: a view
};

enum class FontFamily { Sans, Greek };

// The built-in fonts' heights, the only sizes text is drawn in.
inline constexpr int FontHeights[6] = {12, 16, 24, 32, 40, 64};

// A built-in font by family and one of FontHeights (other heights give the nearest),
// loaded from the resources on first use. It stays at the same address for the process.
const Font& BuiltinFont(FontFamily family, int height);

// The font height for a script's size value: 16 for none or 0, else the nearest rule.
int FontHeightForSize(std::int32_t size);

// Fills the font from a font file. A missing, short or malformed file leaves the font
// unchanged and gives a non-zero result.
int LoadFontFile(const std::string& path, Font& font);

// The glyph image of code c (header included), or an empty span when the font has no
// well-formed glyph there.
std::span<const std::uint8_t> GlyphOf(FontView font, std::uint8_t c);
int GlyphWidth(FontView font, std::uint8_t c);
// The height of glyph 0, which is the font's line height.
int LineHeight(FontView font);

// Draws a one-bit image at (x, y): ink in foreground, the rest in background; a colour
// equal to the target's transparent colour leaves the target showing.
void PutBitmap(DrawTarget target, std::span<const std::uint8_t> bitmap, int x, int y,
               Colour foreground, Colour background);
// Draws the text on one line with its top-left corner at (x, y).
void PrintText(DrawTarget target, std::string_view text, FontView font, int x, int y,
               Colour foreground, Colour background);
int StringWidth(std::string_view text, FontView font);
// Draws the text wrapped at blanks and carriage returns into the box at (x, y).
void LineWrap(DrawTarget target, std::string_view text, FontView font, int x, int y, int width,
              int height, Colour foreground, Colour background);

}  // namespace zir
