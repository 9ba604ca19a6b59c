#include "frontend/lexer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zir {
namespace {

using Tokens = std::vector<std::string>;

Tokens Split(std::string_view line) {
    std::vector<std::string_view> views = SplitLine(line);
    return Tokens(views.begin(), views.end());
}

TEST(Splitting, BlanksCommasAndEqualsSignsSeparate) {
    Tokens point{"POINT", "A", "1", "2"};
    EXPECT_EQ(Split("POINT A,1,2"), point);
    EXPECT_EQ(Split("POINT A 1 2"), point);
    EXPECT_EQ(Split("POINT  A , 1 , 2"), point);
    EXPECT_EQ(Split("P = CROSS L1, L2"), (Tokens{"P", "CROSS", "L1", "L2"}));
    EXPECT_EQ(Split("  A ,= "), Tokens{"A"});
    EXPECT_EQ(Split(""), Tokens{});
    EXPECT_EQ(Split(" , "), Tokens{});
    // A tab is an ordinary character.
    EXPECT_EQ(Split("a\tb c"), (Tokens{"a\tb", "c"}));
}

TEST(Splitting, QuotesAndBracketsHoldSeparatorsAndSwallowTheNextCharacter) {
    EXPECT_EQ(Split("TITLE \"Hallo, Welt = gut\""), (Tokens{"TITLE", "\"Hallo, Welt = gut\""}));
    EXPECT_EQ(Split("TEXT \"ab\"x y"), (Tokens{"TEXT", "\"ab\"", "y"}));
    EXPECT_EQ(Split("TEXT \"ab\"xy"), (Tokens{"TEXT", "\"ab\"", "y"}));
    EXPECT_EQ(Split("CLS (255, 0, 0)z 5"), (Tokens{"CLS", "(255, 0, 0)", "5"}));
    EXPECT_EQ(Split("CLS (255, 0, 0)"), (Tokens{"CLS", "(255, 0, 0)"}));
    // Without its closing mark the token runs to the end of the line.
    EXPECT_EQ(Split("TEXT \"open, to the end"), (Tokens{"TEXT", "\"open, to the end"}));
    EXPECT_EQ(Split("X (1, 2"), (Tokens{"X", "(1, 2"}));
    // Inside a token a quote is an ordinary character.
    EXPECT_EQ(Split("ab\"c d\""), (Tokens{"ab\"c", "d\""}));
    EXPECT_EQ(Split("A \"\""), (Tokens{"A", "\"\""}));
    EXPECT_EQ(Split("\""), Tokens{"\""});
}

TEST(Classifying, FirstByteDecides) {
    EXPECT_EQ(ClassifyToken("POINT"), TokenClass::Word);
    EXPECT_EQ(ClassifyToken("_x"), TokenClass::Word);
    EXPECT_EQ(ClassifyToken("\xC4pfel"), TokenClass::Word);
    for (const char* number : {"0.5", "-5", "&HFF", "(1,2,3)", "9"}) {
        EXPECT_EQ(ClassifyToken(number), TokenClass::Number) << number;
    }
    EXPECT_EQ(ClassifyToken("\"t\""), TokenClass::Text);
    for (const char* comment : {".5", "+5", "'x", "/", ";", "#", "!", "*", ":", "\tEND"}) {
        EXPECT_EQ(ClassifyToken(comment), TokenClass::Comment) << comment;
    }
}

TEST(NumberReader, ReadsPrefixedAndDecimalNumbersUpToTheFirstMisfit) {
    EXPECT_EQ(ReadNumber("12abc"), 12);
    EXPECT_EQ(ReadNumber("abc"), 0);
    EXPECT_EQ(ReadNumber("&HFF"), 255);
    EXPECT_EQ(ReadNumber("&hff0000"), 0xFF0000);
    EXPECT_EQ(ReadNumber("&O17"), 15);
    EXPECT_EQ(ReadNumber("&B101"), 5);
    EXPECT_EQ(ReadNumber("&B102"), 2);
    EXPECT_EQ(ReadNumber("&"), 0);
    EXPECT_EQ(ReadNumber("&12"), 0);
    EXPECT_EQ(ReadNumber("-1.5e2"), -150);
    EXPECT_EQ(ReadNumber("  7"), 7);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("-.5"), -0.5);
    EXPECT_EQ(ReadNumber("+3"), 3);
    EXPECT_EQ(ReadNumber("1e"), 1);
    EXPECT_EQ(ReadNumber("1e+x"), 1);
    EXPECT_EQ(ReadNumber("2E3"), 2000);
    EXPECT_EQ(ReadNumber("-"), 0);
    EXPECT_EQ(ReadNumber("-1"), -1);
    EXPECT_TRUE(std::isinf(ReadNumber("1e400")));
    EXPECT_EQ(ReadNumber("1e-400"), 0);
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

TEST(ColourReader, EverySpellingOfRed) {
    for (const char* red : {"&HFF0000", "0xFF0000", "0XFF0000", "0FF0000H", "0ff0000h", "16711680",
                            "(255,0,0)", "(255, 0, 0)", "((255,0,0))"}) {
        EXPECT_EQ(ReadColour(red), 0xFF0000) << red;
    }
    // Hexadecimal with a trailing H needs a digit first.
    EXPECT_EQ(ReadColour("FF0000H"), 0);
    EXPECT_EQ(ReadColour(""), 0);
    EXPECT_EQ(ReadColour("0x"), 0);
    EXPECT_EQ(ReadColour("-1"), -1);
    EXPECT_EQ(ReadColour("(0,255)"), 0xFF00);
    EXPECT_EQ(ReadColour("(0,0,255)"), 0xFF);
    EXPECT_EQ(ReadColour("(1.6, 0.4, 0.4)"), 2 * 65536);
    EXPECT_EQ(ReadColour("(0, 0, 0.5)"), 0);
    EXPECT_EQ(ReadColour("()"), 0);
    // Values beyond 32 bits keep their low 32 bits.
    EXPECT_EQ(ReadColour("&H1FFFFFFFF"), -1);
    EXPECT_EQ(ReadColour("1e300"), ReadColour("1e300"));
}

TEST(ValueEncodings, FixedPointAnglesAndRounding) {
    EXPECT_EQ(FixedFromNumber(1.5), 98304);
    EXPECT_EQ(FixedFromNumber(-2), -131072);
    EXPECT_EQ(AngleFromDegrees(22.7), 5811);
    EXPECT_EQ(OptionalAngleFromDegrees(22.7), 23 * 256);
    EXPECT_EQ(OptionalAngleFromDegrees(-1), -1);
    EXPECT_EQ(OptionalAngleFromDegrees(-0.6), -1);
    EXPECT_EQ(OptionalAngleFromDegrees(-2), -512);
    // Halves go to the even neighbour.
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(FixedFromNumber(0.5 / 65536), 0);
    EXPECT_EQ(FloorToInt32(-0.5), -1);
    EXPECT_EQ(FloorToInt32(2.9), 2);
    // Nothing overflows: huge values are held at the ends of the range.
    EXPECT_EQ(FixedFromNumber(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(FixedFromNumber(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
}

TEST(ValueEncodings, TextLosesAllOuterQuotes) {
    EXPECT_EQ(TextOfToken("\"Hallo, Welt\""), "Hallo, Welt");
    EXPECT_EQ(TextOfToken("\"\"a\"b\"\""), "a\"b");
    EXPECT_EQ(TextOfToken("\"open"), "open");
    EXPECT_EQ(TextOfToken("\"\""), "");
}

}  // namespace
}  // namespace zir
