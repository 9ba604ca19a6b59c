#include "frontend/lexer.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "frontend/instructions.h"

namespace zir {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The value of a digit in the given base, or -1 when the character is no such digit.
int DigitValue(char c, int base) {
    int v = -1;
    if (IsDigit(c)) {
        v = c - '0';
    } else if (Upper(c) >= 'A' && Upper(c) <= 'F') {
        v = Upper(c) - 'A' + 10;
    }
    return v < base ? v : -1;
}

double ReadDigits(std::string_view digits, int base) {
    double value = 0;
    for (char c : digits) {
        int d = DigitValue(c, base);
        if (d < 0) break;
        value = value * base + d;
    }
    return value;
}

// The length of the decimal number at the start of s (sign, digits, fraction, exponent),
// or 0 when s does not start with one.
std::size_t DecimalLength(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

// Powers of ten that a double holds exactly.
constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A number of at most 15 digits and no exponent, the common case, read without the general
// conversion: its digits and its power of ten are both exact doubles, so their quotient is
// correctly rounded, as the conversion rounds. False for any other number.
bool ReadShortDecimal(std::string_view text, double& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    std::uint64_t digits = 0;
    int count = 0, fraction = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            ++count;
            if (point) ++fraction;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0 || count > 15) return false;
    value = static_cast<double>(digits) / ExactPowersOfTen[fraction];
    if (negative) value = -value;
    return true;
}

double ReadDecimal(std::string_view text) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    double value = 0;
    if (ReadShortDecimal(text, value)) return value;
    // The text is a whole decimal number (DecimalLength made sure), which strtod rounds
    // correctly in every C library the program is built with, the browser's included; out of
    // range it gives the infinity or zero the number means.
    std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

std::int32_t ClampToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// The low 32 bits of a whole number, as colours are stored.
std::int32_t WrapToInt32(double whole) {
    if (!std::isfinite(whole)) return 0;
    double low = std::fmod(whole, 4294967296.0);
    if (low < 0) low += 4294967296.0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low));
}

}  // namespace

TokenClass ClassifyToken(std::string_view token) {
    if (token.empty()) return TokenClass::Comment;
    auto first = static_cast<unsigned char>(token[0]);
    if (first >= 'A') return TokenClass::Word;
    if (IsDigit(token[0]) || first == '&' || first == '(' || first == '-') {
        return TokenClass::Number;
    }
    if (first == '"') return TokenClass::Text;
    return TokenClass::Comment;
}

std::vector<std::string_view> SplitLine(std::string_view line) {
    std::vector<std::string_view> tokens;
    TokenCursor cursor{line};
    std::string_view token;
    while (NextToken(cursor, token)) tokens.push_back(token);
    return tokens;
}

double ReadNumber(std::string_view token) {
    std::size_t start = token.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0;
    token.remove_prefix(start);
    if (token.size() >= 2 && token[0] == '&') {
        switch (Upper(token[1])) {
            case 'H':
                return ReadDigits(token.substr(2), 16);
            case 'O':
                return ReadDigits(token.substr(2), 8);
            case 'B':
                return ReadDigits(token.substr(2), 2);
            default:
                return 0;
        }
    }
    std::size_t length = DecimalLength(token);
    return length == 0 ? 0 : ReadDecimal(token.substr(0, length));
}

std::int32_t ReadColour(std::string_view token) {
    if (token.empty()) return 0;
    if (token.size() >= 2 && token[0] == '0' && Upper(token[1]) == 'X') {
        return WrapToInt32(ReadDigits(token.substr(2), 16));
    }
    if (token[0] != '(') {
        if (Upper(token.back()) == 'H' && IsDigit(token[0])) {
            return WrapToInt32(ReadDigits(token.substr(0, token.size() - 1), 16));
        }
        return WrapToInt32(std::nearbyint(ReadNumber(token)));
    }
    std::size_t first = token.find_first_not_of("()");
    if (first == std::string_view::npos) return 0;
    std::size_t last = token.find_last_not_of("()");
    std::vector<std::string_view> parts = SplitLine(token.substr(first, last - first + 1));
    double sum = 0;
    if (!parts.empty()) sum = std::nearbyint(ReadNumber(parts[0])) * 65536;
    if (parts.size() > 1) sum += std::nearbyint(ReadNumber(parts[1])) * 256;
    if (parts.size() > 2) sum += ReadNumber(parts[2]);
    return WrapToInt32(std::nearbyint(sum));
}

std::string_view TextOfToken(std::string_view token) {
    std::size_t first = token.find_first_not_of('"');
    if (first == std::string_view::npos) return {};
    std::size_t last = token.find_last_not_of('"');
    return token.substr(first, last - first + 1);
}

std::int32_t RoundToInt32(double value) {
    return ClampToInt32(std::nearbyint(value));
}

std::int32_t FloorToInt32(double value) {
    return ClampToInt32(std::floor(value));
}

std::int32_t FixedFromNumber(double value) {
    return RoundToInt32(value * FixedOne);
}

std::int32_t AngleFromDegrees(double degrees) {
    return RoundToInt32(degrees * 256.0);
}

std::int32_t OptionalAngleFromDegrees(double degrees) {
    double whole = std::nearbyint(degrees);
    if (whole == -1) return -1;
    return RoundToInt32(whole * 256.0);
}

}  // namespace zir
