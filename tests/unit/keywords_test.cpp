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
        {"END", 255}, {"cls", 65}, {"Line", 2}, {"POINT", 1}, {"ADVANCEON", 18}, {"TANGENT", 16},
        {"CIRCLEND", 22}, {"CIRCLEEND", 22}, {"EndCircle", 22}, {"MIDLINE", 13}, {"BISECTOR", 13},
        {"MARKNUMBERLINE", 38}, {"MARKNLINE", 38}, {"MARKNUMBERANGLE", 39}, {"CALL", 48},
        {"ANIMATE", 48}, {"INTERACT", 48}, {"CONSTRUCT", 48}, {"TOOLS", 47}, {"TOOL", 47},
        {"SLOW", 47}, {"TWINDOW", 68}, {"TEXTWINDOW", 68}, {"FRAME", 77}, {"FRAMESPEED", 77},
        {"DEFAULT", 100}, {"DEFAULTS", 80}, {"TOOLDEFAULTS", 81}, {"WAITALWAYS", 129},
        {"REPEATMENU", 92}, {"CONSTRUCTION", 57}, {"iPoInT", 16385}, {"IARC", 16410},
        {"ICIRCLEEND", 16406}, {"ISTARTLINE", 16411}, {"IBISECTOR", 16397}, {"IMOVECIRCLE", 16394},
        {"ICOPY", 0}, {"IREVERT", 0}, {"IFILL", 0}, {"IMARKPOINT", 0}, {"IEND", 0}, {"Apfel", 0},
        {"POINTS", 0}, {"POIN", 0}, {"A1", 0}, {"_END", 0}, {"\xC4pfel", 0}, {"EN", 0},
        {"MARKNUMBERANGLES", 0}, {"a_very_long_name", 0},
        // Tokens below "A" are never looked up.
        {"", -1}, {"1POINT", -1}, {"\"POINT\"", -1}, {"&H1", -1}, {"(1)", -1}, {"-1", -1},
        {"'END", -1}, {"\tEND", -1}};
    // clang-format on
    for (auto [word, code] : cases) EXPECT_EQ(KeywordLookup(word), code) << word;
}

}  // namespace
}  // namespace zir
