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

}  // namespace

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
