#include "draw/fonts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "draw/vectors.h"
#include "geometry/kernel.h"
#include "platform/resources.h"

namespace zir {
namespace {

constexpr int TableBytes = 256 * 4;

int ReadU16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
           static_cast<std::uint32_t>(p[3]) << 24;
}

int BitmapRowBytes(int width) {
    return (width + 7) / 8;
}

// Whether the bytes hold a one-bit image header and all the rows it announces.
bool BitmapComplete(std::span<const std::uint8_t> bitmap) {
    if (bitmap.size() < 4) return false;
    const int width = ReadU16(bitmap.data()) >> 3, height = ReadU16(bitmap.data() + 2);
    return bitmap.size() - 4 >= static_cast<std::size_t>(BitmapRowBytes(width)) * height;
}

// Fills a font from the bytes of a font file or resource; false when they are malformed.
bool ParseFont(std::span<const std::uint8_t> bytes, Font& font) {
    if (bytes.size() < TableBytes) return false;
    const std::uint32_t end = ReadU32(bytes.data() + 255 * 4);
    if (end < TableBytes || end > bytes.size()) return false;
    Font parsed;
    parsed.offsets.resize(256);
    for (int c = 0; c < 256; ++c) {
        std::uint32_t entry = ReadU32(bytes.data() + 4 * c);
        // An entry outside the glyph bytes marks that glyph (and so the next) unusable
        // rather than pointing anywhere.
        parsed.offsets[c] =
            entry < TableBytes || entry > end ? -1 : static_cast<std::int32_t>(entry - TableBytes);
    }
    parsed.glyphs.assign(bytes.begin() + TableBytes, bytes.begin() + end);
    font = std::move(parsed);
    return true;
}

Font gBuiltin[2][6];
bool gBuiltinParsed[2][6];

// Which built-in font the view shows, for writing its text as text; false for another font.
bool BuiltinIdentity(FontView font, FontFamily& family, int& height) {
    if (font.glyphs.empty()) return false;
    for (int f = 0; f < 2; ++f) {
        for (int i = 0; i < 6; ++i) {
            if (gBuiltinParsed[f][i] && gBuiltin[f][i].glyphs.data() == font.glyphs.data()) {
                family = f == 0 ? FontFamily::Sans : FontFamily::Greek;
                height = FontHeights[i];
                return true;
            }
        }
    }
    return false;
}

// Records one line of text in a built-in font as text, each glyph where its bitmap goes.
// True when it did: the glyphs' pixels are then drawn without being recorded again.
bool RecordText(DrawTarget target, std::string_view text, FontView font, std::int64_t x, int y,
                Colour foreground, Colour background) {
    FontFamily family = FontFamily::Sans;
    int height = 0;
    if (!VectorRecordingOn() || !BuiltinIdentity(font, family, height)) return false;
    auto extra = std::make_shared<VectorExtra>();
    std::int64_t cursor = x, first = x;
    for (char ch : text) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (cursor > 1 << 24) break;
        const int width = GlyphWidth(font, c);
        if (width <= 0) continue;  // no glyph, nothing drawn
        if (extra->text.empty()) first = cursor;
        extra->text.push_back(ch);
        cursor += width;
    }
    if (extra->text.empty()) return true;
    VectorItem item;
    item.shape = VectorShape::Text;
    item.colour = foreground;
    item.a[0] = static_cast<double>(first);
    item.a[1] = y;
    item.a[2] = height;
    item.a[3] = family == FontFamily::Greek ? 1 : 0;
    item.Bound(first, y, cursor - 1, std::int64_t{y} + LineHeight(font) - 1);
    extra->paper = background;
    item.extra = std::move(extra);
    VectorRecord(target, std::move(item));
    return true;
}

}  // namespace

const Font& BuiltinFont(FontFamily family, int height) {
    int best = 0;
    for (int i = 1; i < 6; ++i) {
        if (std::abs(FontHeights[i] - height) < std::abs(FontHeights[best] - height)) best = i;
    }
    const int f = family == FontFamily::Sans ? 0 : 1;
    // Each font is copied out of the resources when first asked for: a run that writes no
    // text in a size does not pay for its glyphs at start-up.
    if (!gBuiltinParsed[f][best]) {
        gBuiltinParsed[f][best] = true;
        std::string name = (f == 0 ? "sans" : "greek") + std::to_string(FontHeights[best]);
        ParseFont(FindResource("myFont", name), gBuiltin[f][best]);  // missing: stays empty
    }
    return gBuiltin[f][best];
}

int FontHeightForSize(std::int32_t size) {
    if (size <= 0 || (size & 0xFFFF) == 0xFFFF) return 16;
    if (size < 14) return 12;
    if (size < 44) return (size + 4) & ~7;
    if (size < 50) return 40;
    return 64;
}

int LoadFontFile(const std::string& path, Font& font) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t n = 0;
    // Font files are small; a file of more than 64 MiB is not one, and is not read whole.
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() < (64u << 20)) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(file);
    return ParseFont(bytes, font) ? 0 : -1;
}

std::span<const std::uint8_t> GlyphOf(FontView font, std::uint8_t c) {
    if (font.offsets.size() < 256) return {};
    const std::int64_t start = c == 0 ? 0 : font.offsets[c - 1];
    const std::int64_t end = font.offsets[c];
    if (start < 0 || end < start || end > static_cast<std::int64_t>(font.glyphs.size())) return {};
    std::span<const std::uint8_t> glyph =
        font.glyphs.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    return BitmapComplete(glyph) ? glyph : std::span<const std::uint8_t>{};
}

int GlyphWidth(FontView font, std::uint8_t c) {
    std::span<const std::uint8_t> glyph = GlyphOf(font, c);
    return glyph.empty() ? 0 : ReadU16(glyph.data()) >> 3;
}

int LineHeight(FontView font) {
    std::span<const std::uint8_t> glyph = GlyphOf(font, 0);
    return glyph.empty() ? 0 : ReadU16(glyph.data() + 2);
}

void PutBitmap(DrawTarget target, std::span<const std::uint8_t> bitmap, int x, int y,
               Colour foreground, Colour background) {
    if (!BitmapComplete(bitmap)) return;
    const int width = ReadU16(bitmap.data()) >> 3, height = ReadU16(bitmap.data() + 2);
    // Pixels of the transparent colour leave the target showing.
    RasterBits(target, bitmap.data() + 4, BitmapRowBytes(width), width, height, x, y, foreground,
               background);
}

void PrintText(DrawTarget target, std::string_view text, FontView font, int x, int y,
               Colour foreground, Colour background) {
    std::optional<VectorQuiet> recorded;
    if (RecordText(target, text, font, x, y, foreground, background)) recorded.emplace();
    std::int64_t cursor = x;
    for (char ch : text) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (cursor > 1 << 24) break;  // everything further right is off any target
        PutBitmap(target, GlyphOf(font, c), static_cast<int>(cursor), y, foreground, background);
        cursor += GlyphWidth(font, c);
    }
}

int StringWidth(std::string_view text, FontView font) {
    std::int64_t width = 0;
    for (char ch : text) width += GlyphWidth(font, static_cast<std::uint8_t>(ch));
    return static_cast<int>(std::min<std::int64_t>(width, INT32_MAX));
}

void LineWrap(DrawTarget target, std::string_view text, FontView font, int x, int y, int width,
              int height, Colour foreground, Colour background) {
    if (background != TargetMaskColour(target)) {
        RasterLine(target, x, y, static_cast<double>(x) + width - 1,
                   static_cast<double>(y) + height - 1, background, LineKind::FilledBox);
    }
    const int lineHeight = LineHeight(font);
    if (lineHeight <= 0) return;  // a font without glyph 0 has no lines to fill
    const std::int64_t limit = static_cast<std::int64_t>(width) - (lineHeight >> 1);
    const std::int64_t lastTop = static_cast<std::int64_t>(y) + height - lineHeight;
    const std::size_t length = text.size();
    std::size_t pos = 0;
    std::int64_t top = y;
    bool finished = false;
    do {
        const std::size_t start = pos;
        std::size_t end = length;
        if (start < length && text[start] == '\r') {
            // A carriage return right after another one is an empty line, not a glyph.
            end = start;
            pos = start + 1;
        } else {
            std::int64_t sum = 0;
            for (std::size_t i = pos + 1;; ++i) {
                if (i >= length) {
                    end = length;
                    finished = true;
                    break;
                }
                const auto c = static_cast<std::uint8_t>(text[i]);
                if (c == 13) {
                    end = i;
                    pos = i + 1;
                    break;
                }
                sum += GlyphWidth(font, c);
                if (sum > limit) {
                    std::size_t blank = i - 1;
                    while (blank > start && static_cast<std::uint8_t>(text[blank]) > 32) --blank;
                    if (blank > start) {
                        end = blank;
                        pos = blank + 1;
                    } else {
                        end = i - 1;
                        pos = i - 1;
                    }
                    break;
                }
            }
        }
        if (start >= length) finished = true;
        std::optional<VectorQuiet> recorded;
        if (end > start && RecordText(target, text.substr(start, end - start), font, x,
                                      static_cast<int>(top), foreground, background)) {
            recorded.emplace();
        }
        std::int64_t cursor = x;
        for (std::size_t i = start; i < end && cursor <= 1 << 24; ++i) {
            const auto c = static_cast<std::uint8_t>(text[i]);
            PutBitmap(target, GlyphOf(font, c), static_cast<int>(cursor), static_cast<int>(top),
                      foreground, background);
            cursor += GlyphWidth(font, c);
        }
        // A box too narrow for the next character would offer the same empty line on every
        // row; nothing more can be drawn, so the rows need not be walked.
        if (!finished && pos == start) break;
        top += lineHeight;
    } while (!finished && top <= lastTop);
}

}  // namespace zir
