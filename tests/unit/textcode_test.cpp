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

TEST(TextCode, WindowsCharactersUmlautsAndCharactersWithoutAPlace) {
    EXPECT_EQ(Utf8FromWindows1252("\x80 W\xE4hle \x96\x9F"), "\u20AC W\u00E4hle \u2013\u0178");
    EXPECT_EQ(Windows1252FromUtf8("Gr\u00FC\u00DF \u20AC \u00B0 \u03B1=\u2200x \U0001F600"),
              "Gr\xFC\xDF \x80 \xB0 ?=?x ?");
}

TEST(TextCode, MalformedUtf8IsRecognisedAndPassesThroughUnchanged) {
    EXPECT_TRUE(IsValidUtf8(""));
    for (const char* bad : {"\xE4",                               // a Latin-1 umlaut
                            "\xC0\x80",                           // overlong NUL
                            "\xE0\x80\xAF",                       // overlong slash
                            "\xED\xA0\x80",                       // a surrogate
                            "\xF4\x90\x80\x80",                   // past U+10FFFF
                            "\xF5\x80\x80\x80", "ab\xE2\x82"}) {  // cut short
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
    EXPECT_EQ(Windows1252FromUtf8("a\xE4z"), "a\xE4z");
    // A character cut short by the end of the text is not completed by the bytes after it.
    const std::string euro = "ab\u20AC";
    EXPECT_FALSE(IsValidUtf8(std::string_view(euro).substr(0, 4)));
    EXPECT_EQ(Windows1252FromUtf8(std::string_view(euro).substr(0, 4)), "ab\xE2\x82");
}

}  // namespace
}  // namespace zir
