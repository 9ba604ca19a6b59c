#include "frontend/keywords.h"

#include <gtest/gtest.h>

#include <string>

namespace zir {
namespace {

// Spellings of every length from the shortest to the longest and on both sides of the
// eighth letter, where a word moves into the second half of its packed form; synonyms and
// any letter case find the same code.
TEST(KeywordLookup, FindsSpellingsAndSynonymsInAnyCase) {
    const std::pair<const char*, int> cases[] = {{"END", 255},         {"cls", 65},
                                                 {"Line", 2},          {"POINT", 1},
                                                 {"ADVANCEON", 18},    {"TANGENT", 16},
                                                 {"CIRCLEND", 22},     {"CIRCLEEND", 22},
                                                 {"EndCircle", 22},    {"MIDLINE", 13},
                                                 {"BISECTOR", 13},     {"MARKNUMBERLINE", 38},
                                                 {"MARKNLINE", 38},    {"MARKNUMBERANGLE", 39},
                                                 {"CALL", 48},         {"ANIMATE", 48},
                                                 {"INTERACT", 48},     {"CONSTRUCT", 48},
                                                 {"TOOLS", 47},        {"TOOL", 47},
                                                 {"SLOW", 47},         {"TWINDOW", 68},
                                                 {"TEXTWINDOW", 68},   {"FRAME", 77},
                                                 {"FRAMESPEED", 77},   {"DEFAULT", 100},
                                                 {"DEFAULTS", 80},     {"TOOLDEFAULTS", 81},
                                                 {"WAITALWAYS", 129},  {"REPEATMENU", 92},
                                                 {"CONSTRUCTION", 57}, {"iPoInT", 16385}};
    for (auto [word, code] : cases) EXPECT_EQ(KeywordLookup(word), code) << word;
}

TEST(KeywordLookup, InvisibleVariantsOnlyForConstructions) {
    for (const char* word :
         {"POINT", "LINE", "LINEPOLAR", "CIRCLE", "CROSS", "MIDDLE", "MOVECIRCLE", "MIDLINE",
          "BISECTOR", "TANGENT", "ADVANCETO", "ADVANCEON", "CIRCLEND", "CIRCLEEND", "ENDCIRCLE",
          "ARC", "STARTLINE"}) {
        EXPECT_EQ(KeywordLookup(std::string("I") + word), InvisibleKeyword + KeywordLookup(word))
            << word;
    }
    for (const char* name : {"ICOPY", "IREVERT", "IFILL", "IMARKPOINT", "IEND"}) {
        EXPECT_EQ(KeywordLookup(name), 0) << name;
    }
}

TEST(KeywordLookup, TokensBelowAAreNeverLookedUpAndOthersMayBeNames) {
    for (const char* token : {"", "1POINT", "\"POINT\"", "&H1", "(1)", "-1", "'END", "\tEND"}) {
        EXPECT_EQ(KeywordLookup(token), -1) << token;
    }
    for (const char* token : {"Apfel", "POINTS", "POIN", "A1", "_END", "\xC4pfel", "EN",
                              "MARKNUMBERANGLES", "a_very_long_name_indeed"}) {
        EXPECT_EQ(KeywordLookup(token), 0) << token;
    }
}

}  // namespace
}  // namespace zir
