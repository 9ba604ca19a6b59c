#include "frontend/lexer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

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

TEST(Splitting, SeparatorsQuotesAndBrackets) {
    const std::pair<const char*, const char*> cases[] = {
        {"POINT A,1,2", "POINT|A|1|2"},
        {"POINT  A , 1 , 2", "POINT|A|1|2"},
        {"P = CROSS L1, L2", "P|CROSS|L1|L2"},
        {"  A ,= ", "A"},
        {" , ", ""},
        {"a\tb c", "a\tb|c"},  // a tab is an ordinary character
        // Quotes and brackets hold separators and swallow the character after them.
        {"TITLE \"Hallo, Welt = gut\"", "TITLE|\"Hallo, Welt = gut\""},
        {"TEXT \"ab\"x y", "TEXT|\"ab\"|y"},
        {"TEXT \"ab\"xy", "TEXT|\"ab\"|y"},
        {"CLS (255, 0, 0)z 5", "CLS|(255, 0, 0)|5"},
        {"CLS (255, 0, 0)", "CLS|(255, 0, 0)"},
        // Without its closing mark the token runs to the end of the line.
        {"TEXT \"open, to the end", "TEXT|\"open, to the end"},
        {"X (1, 2", "X|(1, 2"},
        // Inside a token a quote is an ordinary character.
        {"ab\"c d\"", "ab\"c|d\""},
        {"A \"\"", "A|\"\""},
        {"\"", "\""}};
    for (auto [line, tokens] : cases) EXPECT_EQ(Split(line), tokens) << line;
}

TEST(Classifying, FirstByteDecides) {
    for (const char* word : {"POINT", "_x", "\xC4pfel"}) {
        EXPECT_EQ(ClassifyToken(word), TokenClass::Word) << word;
    }
    for (const char* number : {"0.5", "-5", "&HFF", "(1,2,3)", "9"}) {
        EXPECT_EQ(ClassifyToken(number), TokenClass::Number) << number;
    }
    EXPECT_EQ(ClassifyToken("\"t\""), TokenClass::Text);
    for (const char* comment : {".5", "+5", "'x", "/", ";", "#", "!", "*", ":", "\tEND"}) {
        EXPECT_EQ(ClassifyToken(comment), TokenClass::Comment) << comment;
    }
}

TEST(NumberReader, ReadsPrefixedAndDecimalNumbersUpToTheFirstMisfit) {
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"&HFF", 255},
        {"&hff0000", 0xFF0000},
        {"&O17", 15},
        {"&B101", 5},
        {"&B102", 2},
        {"&", 0},
        {"&12", 0},
        {"-1.5e2", -150},
        {"  7", 7},
        {".5", 0.5},
        {"-.5", -0.5},
        {"+3", 3},
        {"1e", 1},
        {"1e+x", 1},
        {"2E3", 2000},
        {"-", 0},
        {"-1", -1},
        {"1e-400", 0},
        {"1e400", std::numeric_limits<double>::infinity()}};
    for (auto [text, value] : cases) EXPECT_EQ(ReadNumber(text), value) << text;
}

// Short decimals are read without the general conversion; they must come out bit for bit as
// the general conversion gives them, rounding and the sign of zero included.
TEST(NumberReader, ShortDecimalsMatchTheGeneralConversion) {
    std::uint64_t state = 14;
    auto next = [&state](std::uint64_t below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return (state >> 24) % below;
    };
    std::vector<std::string> numbers = {"0",
                                        "-0",
                                        "0.0",
                                        "-0.000",
                                        "1.",
                                        ".1",
                                        "0.1",
                                        "0.3",
                                        "123456789012345",
                                        "1234567890123456",
                                        "99999999999999.9",
                                        "0.000000000000001"};
    for (int i = 0; i < 20000; ++i) {
        std::string digits;
        const int count = 1 + static_cast<int>(next(17));
        for (int d = 0; d < count; ++d) digits += static_cast<char>('0' + next(10));
        const auto point = static_cast<std::size_t>(next(digits.size() + 2));
        if (point <= digits.size()) digits.insert(point, ".");
        numbers.push_back((next(2) ? "-" : "") + digits);
    }
    for (const std::string& number : numbers) {
        const double expected = std::strtod(number.c_str(), nullptr);
        const double read = ReadNumber(number);
        EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0)
            << number << " read as " << read << ", not " << expected;
    }
}

TEST(ColourReader, EverySpellingOfAColour) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"&HFF0000", 0xFF0000},
        {"0xFF0000", 0xFF0000},
        {"0XFF0000", 0xFF0000},
        {"0FF0000H", 0xFF0000},
        {"0ff0000h", 0xFF0000},
        {"16711680", 0xFF0000},
        {"(255,0,0)", 0xFF0000},
        {"((255,0,0))", 0xFF0000},
        {"FF0000H", 0},  // a trailing H needs a digit first
        {"", 0},
        {"0x", 0},
        {"-1", -1},
        {"(0,255)", 0xFF00},
        {"(0,0,255)", 0xFF},
        {"(1.6, 0.4, 0.4)", 2 * 65536},
        {"(0, 0, 0.5)", 0},
        {"()", 0},
        {"&H1FFFFFFFF", -1}  // beyond 32 bits the low 32 bits stay
    };
    for (auto [text, colour] : cases) EXPECT_EQ(ReadColour(text), colour) << text;
}

TEST(ValueEncodings, FixedPointAnglesAndRoundingHalfToEvenWithoutOverflow) {
    constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(FixedFromNumber(1.5), 98304);
    EXPECT_EQ(FixedFromNumber(-2), -131072);
    EXPECT_EQ(FixedFromNumber(0.5 / 65536), 0);
    EXPECT_EQ(FixedFromNumber(1e12), Max);
    EXPECT_EQ(FixedFromNumber(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(AngleFromDegrees(22.7), 5811);
    EXPECT_EQ(OptionalAngleFromDegrees(22.7), 23 * 256);
    EXPECT_EQ(OptionalAngleFromDegrees(-1), -1);
    EXPECT_EQ(OptionalAngleFromDegrees(-0.6), -1);
    EXPECT_EQ(OptionalAngleFromDegrees(-2), -512);
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()), Max);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
    EXPECT_EQ(FloorToInt32(-0.5), -1);
    EXPECT_EQ(FloorToInt32(2.9), 2);
}

TEST(ValueEncodings, TextLosesAllOuterQuotes) {
    EXPECT_EQ(TextOfToken("\"Hallo, Welt\""), "Hallo, Welt");
    EXPECT_EQ(TextOfToken("\"\"a\"b\"\""), "a\"b");
    EXPECT_EQ(TextOfToken("\"open"), "open");
    EXPECT_EQ(TextOfToken("\"\""), "");
}

}  // namespace
}  // namespace zir
