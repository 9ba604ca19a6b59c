#include "platform/textcode.h"

#include <gtest/gtest.h>

namespace zir {
namespace {

// Every byte survives the way to UTF-8 and back; the Windows characters and umlauts become
// their UTF-8, and characters without a place in Windows-1252 question marks.
TEST(TextCode, Windows1252AndUtf8BothWays) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_TRUE(IsValidUtf8(Utf8FromWindows1252(all)));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF, the last code point
    EXPECT_EQ(Windows1252FromUtf8(Utf8FromWindows1252(all)), all);
    EXPECT_EQ(Utf8FromWindows1252("\x80 W\xE4hle \x96\x9F"), "\u20AC W\u00E4hle \u2013\u0178");
    EXPECT_EQ(Windows1252FromUtf8("Gr\u00FC\u00DF \u20AC \u00B0 \u03B1=\u2200x \U0001F600"),
              "Gr\xFC\xDF \x80 \xB0 ?=?x ?");
}

// Latin-1, overlong forms, surrogates, code points past U+10FFFF and characters cut short
// are not UTF-8, also when the bytes after the end of the text would complete them; such
// bytes pass through the conversion unchanged.
TEST(TextCode, MalformedUtf8IsRecognisedAndPassesThroughUnchanged) {
    EXPECT_TRUE(IsValidUtf8(""));
    for (const char* bad : {"\xE4", "\xC0\x80", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF5\x80\x80\x80", "ab\xE2\x82"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
    const std::string euro = "a\xE4z ab\u20AC";
    EXPECT_FALSE(IsValidUtf8(std::string_view(euro).substr(4, 4)));
    EXPECT_EQ(Windows1252FromUtf8(std::string_view(euro).substr(0, 8)), "a\xE4z ab\xE2\x82");
}

}  // namespace
}  // namespace zir
