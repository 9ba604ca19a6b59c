// Renders the built-in bitmap fonts from DejaVu Sans with FreeType's hinted one-bit
// rasteriser, into the program's font format:
//
//   256 x u32   end offset of each glyph in the file (glyph 0 starts at 1024)
//   glyphs      u16 width * 8 + 1, u16 height, then height rows of (width + 7) / 8 bytes,
//               the leftmost pixel in the top bit
//
// Two families, each at cell heights 12, 16, 24, 32, 40 and 64: "sans" in Windows-1252 and
// "greek" in the layout of the Adobe Symbol encoding. Every glyph is exactly as high as the
// cell, on one baseline; its width is its advance. Codes without a character, and
// characters the face lacks, show an empty box.
//
// Usage: fontgen FACE.ttf OUTDIR   (writes OUTDIR/sans12.zfn ... OUTDIR/greek64.zfn)
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/textcode.h"

namespace {

struct Glyph {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rows;  // height * ((width + 7) / 8) bytes

    void Set(int x, int y) { rows[y * ((width + 7) / 8) + x / 8] |= 0x80 >> (x % 8); }
};

Glyph Blank(int width, int height) {
    Glyph g{width, height, {}};
    g.rows.assign(static_cast<std::size_t>(height) * ((width + 7) / 8), 0);
    return g;
}

// The sign of a missing character: a box from the cap height down to the baseline.
Glyph Box(int height, int baseline, int capHeight) {
    int width = std::max(3, (height * 5 + 5) / 10);
    Glyph g = Blank(width, height);
    int top = std::max(0, baseline - capHeight), bottom = std::min(height - 1, baseline - 1);
    int left = std::max(0, width / 8), right = width - 1 - std::max(1, width / 8);
    for (int x = left; x <= right; ++x) g.Set(x, top), g.Set(x, bottom);
    for (int y = top; y <= bottom; ++y) g.Set(left, y), g.Set(right, y);
    return g;
}

struct Font {
    FT_Face face = nullptr;
    int height = 0;
    int baseline = 0;
    int capHeight = 0;
};

bool Render(const Font& f, char32_t ch, Glyph& out) {
    if (ch == 0) return false;
    FT_UInt index = FT_Get_Char_Index(f.face, ch);
    if (index == 0) return false;
    if (FT_Load_Glyph(f.face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME)) {
        return false;
    }
    FT_GlyphSlot slot = f.face->glyph;
    int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bm = slot->bitmap;
    int bw = static_cast<int>(bm.width), bh = static_cast<int>(bm.rows);
    out = Blank(std::max(advance, 1), f.height);
    // Ink left of the origin or past the advance is moved into the cell where it fits.
    int x0 = slot->bitmap_left;
    if (x0 + bw > out.width) x0 = out.width - bw;
    if (x0 < 0) x0 = 0;
    int y0 = f.baseline - slot->bitmap_top;
    for (int y = 0; y < bh; ++y) {
        const unsigned char* row = bm.buffer + y * bm.pitch;
        for (int x = 0; x < bw; ++x) {
            if (!(row[x / 8] & (0x80 >> (x % 8)))) continue;
            int px = x0 + x, py = y0 + y;
            if (px >= 0 && px < out.width && py >= 0 && py < out.height) out.Set(px, py);
        }
    }
    return true;
}

void Put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

bool WriteFont(const std::string& path, const std::vector<Glyph>& glyphs) {
    std::vector<std::uint8_t> body;
    std::vector<std::uint32_t> ends;
    for (const Glyph& g : glyphs) {
        Put16(body, g.width * 8 + 1);
        Put16(body, g.height);
        body.insert(body.end(), g.rows.begin(), g.rows.end());
        ends.push_back(static_cast<std::uint32_t>(1024 + body.size()));
    }
    std::vector<std::uint8_t> file;
    for (std::uint32_t e : ends) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(e >> (8 * i)));
    }
    file.insert(file.end(), body.begin(), body.end());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fontgen FACE.ttf OUTDIR\n");
        return 2;
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
        std::fprintf(stderr, "fontgen: cannot open %s\n", argv[1]);
        return 1;
    }
    const double emLines =
        static_cast<double>(face->ascender - face->descender) / face->units_per_EM;
    const double capEm = 0.729;  // cap height of the face, as a share of the em
    for (int height : {12, 16, 24, 32, 40, 64}) {
        // The em size that makes ascender plus descender fill the cell.
        double em = height / emLines;
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
        Font font{face, height, 0, 0};
        font.baseline = static_cast<int>(std::lround(em * face->ascender / face->units_per_EM));
        font.capHeight = static_cast<int>(std::lround(em * capEm));
        for (const char* family : {"sans", "greek"}) {
            bool sans = family[0] == 's';
            std::vector<Glyph> glyphs;
            for (int code = 0; code < 256; ++code) {
                Glyph g;
                char32_t ch = zir::FontCodePoint(static_cast<std::uint8_t>(code), !sans);
                if (!Render(font, ch, g)) g = Box(height, font.baseline, font.capHeight);
                glyphs.push_back(std::move(g));
            }
            std::string path =
                std::string(argv[2]) + "/" + family + std::to_string(height) + ".zfn";
            if (!WriteFont(path, glyphs)) {
                std::fprintf(stderr, "fontgen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
