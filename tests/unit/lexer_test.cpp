#include "frontend/lexer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace zir {
namespace {

// The tokens of a line, joined by "|".
std::string Split(std::string_view line) {
    std::string joined;
    for (std::string_view token : SplitLine(line)) {
        joined += (joined.empty() ? "" : "|") + std::string(token);
    }
    return joined;
}

// Blanks, commas and equals signs separate, a tab does not; quotes and brackets hold
// separators and swallow the character after them, or run to the end of the line; inside a
// token a quote is an ordinary character.
TEST(Splitting, SeparatorsQuotesAndBrackets) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"POINT  A , 1 ,2", "POINT|A|1|2"}, {"P = CROSS L1, L2", "P|CROSS|L1|L2"}, {"  A ,= ", "A"},
        {" , ", ""}, {"a\tb c", "a\tb|c"},
        {"TITLE \"Hallo, Welt = gut\"", "TITLE|\"Hallo, Welt = gut\""},
        {"TEXT \"ab\"x y", "TEXT|\"ab\"|y"}, {"TEXT \"ab\"xy", "TEXT|\"ab\"|y"},
        {"CLS (255, 0, 0)z 5", "CLS|(255, 0, 0)|5"}, {"CLS (255, 0, 0)", "CLS|(255, 0, 0)"},
        {"TEXT \"open, to the end", "TEXT|\"open, to the end"}, {"X (1, 2", "X|(1, 2"},
        {"ab\"c d\"", "ab\"c|d\""}, {"A \"\"", "A|\"\""}, {"\"", "\""}};
    // clang-format on
    for (auto [line, tokens] : cases) EXPECT_EQ(Split(line), tokens) << line;
}

TEST(Classifying, FirstByteDecides) {
    const std::pair<const char*, TokenClass> cases[] = {
        {"_x", TokenClass::Word},      {"\xC4pfel", TokenClass::Word}, {"-5", TokenClass::Number},
        {"(1,2)", TokenClass::Number}, {"\"t\"", TokenClass::Text},    {"+5", TokenClass::Comment},
        {"*", TokenClass::Comment},    {":", TokenClass::Comment}};
    for (auto [token, kind] : cases) EXPECT_EQ(ClassifyToken(token), kind) << token;
}

TEST(NumberReader, ReadsPrefixedAndDecimalNumbersUpToTheFirstMisfit) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"abc", 0}, {"&HFF", 255}, {"&hff0000", 0xFF0000}, {"&O17", 15},
        {"&B101", 5}, {"&B102", 2}, {"&", 0}, {"&12", 0}, {"-1.5e2", -150}, {"  7", 7}, {".5", 0.5},
        {"-.5", -0.5}, {"+3", 3}, {"1e", 1}, {"1e+x", 1}, {"2E3", 2000}, {"-", 0}, {"-1", -1},
        {"1e-400", 0}, {"1e400", std::numeric_limits<double>::infinity()}};
    // clang-format on
    for (auto [text, value] : cases) EXPECT_EQ(ReadNumber(text), value) << text;
}

// Short decimals are read without the general conversion; they must come out bit for bit as
// the general conversion gives them, rounding and the sign of zero included.
TEST(NumberReader, ShortDecimalsMatchTheGeneralConversion) {
    for (const char* number :
         {"-0", "-0.000", "1.", "0.3", "-8.589973", "1234567890123456", "99999999999999.9",
          "0.000000000000001", "9007199254740993", "0.1000000000000001", "4.35"}) {
        const double expected = std::strtod(number, nullptr), read = ReadNumber(number);
        EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << number << " read as " << read;
    }
}

// Every decimal reads bit for bit as the standard library's own correctly rounded
// conversion gives it, so that the desktop and the browser builds agree on every number:
// long digit strings, exponents near the ends of the range, halfway cases, subnormals.
TEST(NumberReader, EveryDecimalMatchesTheStandardConversion) {
    std::mt19937_64 random(7);
    auto digits = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + random() % 10);
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string number = random() % 2 ? "-" : "";
        number += digits(1 + static_cast<int>(random() % 30));
        if (random() % 2) number += "." + digits(static_cast<int>(random() % 25));
        if (random() % 2) {
            number += random() % 2 ? "e" : "E";
            number += random() % 2 ? "-" : "+";
            number += std::to_string(random() % 340);
        }
        double expected = 0;
        const auto [end, error] = std::from_chars(number.data() + (number[0] == '-'),
                                                  number.data() + number.size(), expected);
        if (number[0] == '-') expected = -expected;
        if (error != std::errc{}) expected = std::strtod(number.c_str(), nullptr);
        const double read = ReadNumber(number);
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << number << " read as " << read;
    }
}

// A trailing H needs a digit first; beyond 32 bits the low 32 bits stay.
TEST(ColourReader, EverySpellingOfAColour) {
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"&HFF0000", 0xFF0000}, {"0xFF0000", 0xFF0000}, {"0XFF0000", 0xFF0000},
        {"0FF0000H", 0xFF0000}, {"0ff0000h", 0xFF0000}, {"16711680", 0xFF0000},
        {"(255,0,0)", 0xFF0000}, {"((255,0,0))", 0xFF0000}, {"FF0000H", 0}, {"", 0}, {"0x", 0},
        {"-1", -1}, {"(0,255)", 0xFF00}, {"(0,0,255)", 0xFF}, {"(1.6, 0.4, 0.4)", 2 * 65536},
        {"(0, 0, 0.5)", 0}, {"()", 0}, {"&H1FFFFFFFF", -1}};
    // clang-format on
    for (auto [text, colour] : cases) EXPECT_EQ(ReadColour(text), colour) << text;
}

// Halves go to the even neighbour, and nothing overflows: huge values are held at the ends.
TEST(ValueEncodings, FixedPointAnglesAndRounding) {
    constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    // clang-format off
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {FixedFromNumber(1.5), 98304}, {FixedFromNumber(-2), -131072},
        {FixedFromNumber(0.5 / 65536), 0}, {FixedFromNumber(1e12), Max},
        {FixedFromNumber(-1e12), -Max - 1}, {AngleFromDegrees(22.7), 5811},
        {OptionalAngleFromDegrees(22.7), 23 * 256}, {OptionalAngleFromDegrees(-1), -1},
        {OptionalAngleFromDegrees(-0.6), -1}, {OptionalAngleFromDegrees(-2), -512},
        {RoundToInt32(2.5), 2}, {RoundToInt32(3.5), 4}, {RoundToInt32(-2.5), -2},
        {RoundToInt32(HUGE_VAL), Max}, {RoundToInt32(std::nan("")), 0}, {FloorToInt32(-0.5), -1},
        {FloorToInt32(2.9), 2}};
    // clang-format on
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

TEST(ValueEncodings, TextLosesAllOuterQuotes) {
    for (auto [token, text] : {std::pair{"\"Hallo, Welt\"", "Hallo, Welt"},
                               {"\"\"a\"b\"\"", "a\"b"},
                               {"\"open", "open"},
                               {"\"\"", ""}}) {
        EXPECT_EQ(TextOfToken(token), text) << token;
    }
}

}  // namespace
}  // namespace zir
