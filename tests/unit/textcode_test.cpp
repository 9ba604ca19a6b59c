#include "platform/textcode.h"

#include <gtest/gtest.h>

namespace zir {
namespace {

TEST(TextCode, EveryByteSurvivesTheWayToUtf8AndBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = Utf8FromWindows1252(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Windows1252FromUtf8(utf8), all);
}

TEST(TextCode, WindowsCharactersAndUmlautsBecomeTheirUtf8) {
    EXPECT_EQ(Utf8FromWindows1252("\x80"), "\u20AC");
    EXPECT_EQ(Utf8FromWindows1252("W\xE4hle"), "W\u00E4hle");
    EXPECT_EQ(Utf8FromWindows1252("\x96\x9F"), "\u2013\u0178");
    EXPECT_EQ(Windows1252FromUtf8("Gr\u00FC\u00DFe \u20AC \u00B0"),
              "Gr\xFC\xDF"
              "e \x80 \xB0");
}

TEST(TextCode, CharactersWithoutAPlaceInWindows1252BecomeQuestionMarks) {
    EXPECT_EQ(Windows1252FromUtf8("\u03B1=\u2200x \U0001F600"), "?=?x ?");
}

TEST(TextCode, MalformedUtf8IsRecognised) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_FALSE(IsValidUtf8("\xE4"));              // a Latin-1 umlaut
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong NUL
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong slash
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("ab\xE2\x82"));  // cut short
    // Malformed bytes pass through the conversion unchanged.
    EXPECT_EQ(Windows1252FromUtf8("a\xE4z"), "a\xE4z");
}

}  // namespace
}  // namespace zir
