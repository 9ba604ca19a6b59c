#include "platform/textcode.h"

#include <array>
#include <cstdint>

namespace zir {
namespace {

// The characters Windows-1252 puts at 0x80 to 0x9F; the unassigned five keep their
// Latin-1 control code so that every byte survives a round trip.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one character at text[i]; returns its length, or 0 when the bytes there are not
// well-formed UTF-8.
int DecodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    std::uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    int length = b0 > 0xF4 ? 0 : b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    c = b0 & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        std::uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80) return 0;
        c = c << 6 | (b & 0x3F);
    }
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

// The Adobe Symbol encoding. Its private-use bracket and arrow pieces are mapped to the
// Unicode pieces of the same shape.
char32_t SymbolCodePoint(int code) {
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
        0x007B, 0x007C, 0x007D, 0x223C, 0};
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
        0, 0x27E9, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6,
        0x23AB, 0x23AC, 0x23AD, 0};
    if (code >= 0x20 && code < 0x80) return ascii[code - 0x20];
    if (code >= 0xA0) return high[code - 0xA0];
    return 0;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t FontCodePoint(std::uint8_t code, bool greek) {
    if (greek) return SymbolCodePoint(code);
    if (code < 0x20 || code == 0x7F) return 0;
    if (code >= 0x80 && code < 0xA0) {
        const char32_t c = HighControls[code - 0x80];
        return c < 0xA0 ? 0 : c;  // the five unassigned codes
    }
    return code;
}

std::string Utf8FromWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        auto b = static_cast<std::uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80] : char32_t{b});
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        int length = DecodeUtf8(text, i, c);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

char Windows1252FromCodePoint(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t k = 0; k < HighControls.size(); ++k) {
        if (HighControls[k] == c) return static_cast<char>(0x80 + k);
    }
    return '?';
}

std::string Windows1252FromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        int length = DecodeUtf8(text, i, c);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        out += Windows1252FromCodePoint(c);
        i += length;
    }
    return out;
}

}  // namespace zir
