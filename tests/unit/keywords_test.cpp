#include "frontend/keywords.h"

#include <gtest/gtest.h>

#include <string>

namespace zir {
namespace {

// Spellings of every length from the shortest to the longest and on both sides of the
// eighth letter, where a word goes on in the second half of its packed form; synonyms and
// any letter case find the same code; I before a construction's keyword makes it invisible.
TEST(KeywordLookup, FindsSpellingsSynonymsAndInvisibleVariantsInAnyCase) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"END", 255}, {"cls", 65}, {"Line", 2}, {"ADVANCEON", 18}, {"CIRCLEND", 22},
        {"EndCircle", 22}, {"BISECTOR", 13}, {"MARKNUMBERLINE", 38}, {"MARKNLINE", 38},
        {"MARKNUMBERANGLE", 39}, {"INTERACT", 48}, {"TOOL", 47}, {"SLOW", 47}, {"TEXTWINDOW", 68},
        {"FRAMESPEED", 77}, {"DEFAULT", 100}, {"DEFAULTS", 80}, {"TOOLDEFAULTS", 81},
        {"iPoInT", 16385}, {"ICIRCLEEND", 16406}, {"IMOVECIRCLE", 16394}, {"ICOPY", 0},
        {"IEND", 0}, {"POINTS", 0}, {"POIN", 0}, {"_END", 0}, {"\xC4pfel", 0},
        {"MARKNUMBERANGLES", 0},
        // Tokens below "A" are never looked up.
        {"", -1}, {"1POINT", -1}, {"\"POINT\"", -1}, {"'END", -1}, {"\tEND", -1}};
    // clang-format on
    for (auto [word, code] : cases) EXPECT_EQ(KeywordLookup(word), code) << word;
}

}  // namespace
}  // namespace zir
