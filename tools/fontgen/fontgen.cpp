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

namespace {

constexpr char32_t None = 0;  // a code with no character: drawn as a box

// Windows-1252: ASCII, the 0x80 row as Windows fills it, and Latin-1 from 0xA0.
char32_t Windows1252(int code) {
    static const char32_t row80[32] = {
        0x20AC, None,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, None,   0x017D, None,   None,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, None,   0x017E, 0x0178};
    if (code < 0x20 || code == 0x7F) return None;
    if (code >= 0x80 && code < 0xA0) return row80[code - 0x80];
    return static_cast<char32_t>(code);
}

// The Adobe Symbol encoding. Its private-use bracket and arrow pieces are mapped to the
// Unicode pieces of the same shape.
char32_t Symbol(int code) {
    static const char32_t ascii[96] = {
        // 0x20
        0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217,
        0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
        // 0x30
        0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A,
        0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
        // 0x40
        0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1,
        0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
        // 0x50
        0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396,
        0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
        // 0x60
        0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5,
        0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
        // 0x70
        0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6,
        0x007B, 0x007C, 0x007D, 0x223C, None};
    static const char32_t high[96] = {
        // 0xA0
        0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660,
        0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
        // 0xB0
        0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261,
        0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
        // 0xC0
        0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287,
        0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
        // 0xD0
        0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228,
        0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
        // 0xE0
        0x25CA, 0x27E8, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2,
        0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
        // 0xF0
        None, 0x27E9, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5,
        0x23A6, 0x23AB, 0x23AC, 0x23AD, None};
    if (code >= 0x20 && code < 0x80) return ascii[code - 0x20];
    if (code >= 0xA0) return high[code - 0xA0];
    return None;
}

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
    if (ch == None) return false;
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
                char32_t ch = sans ? Windows1252(code) : Symbol(code);
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
