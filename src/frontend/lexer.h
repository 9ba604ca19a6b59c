// Cutting a script line into tokens, classifying tokens by their first byte, and reading
// the values that tokens carry (numbers, colours, texts) in the encodings instructions use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zir {

enum class TokenClass {
    Word,     // keyword or name: first byte "A" (65) or above
    Number,   // direct number: a digit, "&", "(" or "-"
    Text,     // text literal: a double quote
    Comment,  // any other byte below 65: the token and the rest of the line are ignored
};

TokenClass ClassifyToken(std::string_view token);

// Walks a line token by token. Blanks, commas and equals signs separate tokens; a token
// that starts with a double quote runs to the next quote, one that starts with "(" to the
// next ")", and the one character after a token is always skipped.
struct TokenCursor {
    std::string_view line;
    std::size_t position = 0;
};

// The next token of the line, or false when there is none; tokens are never empty and
// point into the line. Inline: both passes call it for every token of every line.
inline bool NextToken(TokenCursor& cursor, std::string_view& token) {
    const std::string_view line = cursor.line;
    std::size_t position = cursor.position;
    while (position < line.size()) {
        const std::size_t start = position;
        std::size_t end = start;
        const char c = line[start];
        if (c == '"' || c == '(') {
            end = line.find(c == '"' ? '"' : ')', start + 1);
            end = end == std::string_view::npos ? line.size() : end + 1;
        } else {
            // Blanks, commas and equals signs separate; every separator lies below "A".
            while (end < line.size()) {
                const char e = line[end];
                if (static_cast<unsigned char>(e) <= '=' && (e == ' ' || e == ',' || e == '='))
                    break;
                ++end;
            }
        }
        if (end >= line.size()) {
            // The last token takes the rest of the line.
            cursor.position = line.size();
            token = line.substr(start);
            return true;
        }
        position = end + 1;
        if (end > start) {
            cursor.position = position;
            token = line.substr(start, end - start);
            return true;
        }
    }
    cursor.position = position;
    return false;
}

// All tokens of a line.
std::vector<std::string_view> SplitLine(std::string_view line);

// The value of a number token: &H, &O or &B followed by digits of that base, or a signed
// decimal number with optional fraction and exponent; reading stops at the first character
// that does not fit, so "12abc" is 12 and "abc" is 0.
double ReadNumber(std::string_view token);

// A colour token as 0x00RRGGBB: 0x-prefixed or H-suffixed hexadecimal, any number, or a
// bracketed (red, green, blue) triple. A number outside 32 bits keeps its low 32 bits, so
// -1 (the default) stays -1.
std::int32_t ReadColour(std::string_view token);

// The token without its leading and trailing double quotes.
std::string_view TextOfToken(std::string_view token);

// Rounding to the nearest integer with halves to even; values beyond 32 bits are held at
// the nearest 32-bit value and a value that is not a number becomes 0.
std::int32_t RoundToInt32(double value);
// Rounding towards minus infinity, held to 32 bits the same way.
std::int32_t FloorToInt32(double value);
// A coordinate or length in 16.16 fixed point.
std::int32_t FixedFromNumber(double value);
// A required angle in 1/256 degree.
std::int32_t AngleFromDegrees(double degrees);
// An optional angle: whole degrees times 256, with -1 kept as -1 (not given).
std::int32_t OptionalAngleFromDegrees(double degrees);

}  // namespace zir
