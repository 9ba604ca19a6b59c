#include "frontend/keywords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zir {
namespace {

TEST(KeywordTable, SynonymsShareACode) {
    const std::vector<std::vector<const char*>> groups = {
        {"MIDLINE", "BISECTOR"},
        {"CIRCLEND", "CIRCLEEND", "ENDCIRCLE"},
        {"MARKNUMBERLINE", "MARKNLINE"},
        {"MARKNUMBERANGLE", "MARKNANGLE"},
        {"CALL", "CONSTRUCT", "INTERACT", "ANIMATE"},
        {"SLOW", "TOOL", "TOOLS"},
        {"TWINDOW", "TEXTWINDOW"},
        {"FRAME", "FRAMESPEED"},
    };
    for (const auto& group : groups) {
        for (const char* word : group)
            EXPECT_EQ(KeywordLookup(word), KeywordLookup(group[0])) << word;
    }
    EXPECT_EQ(KeywordLookup("FRAME"), 77);
    EXPECT_EQ(KeywordLookup("TOOLS"), 47);
    EXPECT_EQ(KeywordLookup("ENDCIRCLE"), 22);
    EXPECT_EQ(KeywordLookup("MARKNANGLE"), 39);
}

TEST(KeywordTable, InvisibleVariantsOnlyForConstructions) {
    for (const char* word :
         {"POINT", "LINE", "LINEPOLAR", "CIRCLE", "CROSS", "MIDDLE", "MOVECIRCLE", "MIDLINE",
          "BISECTOR", "TANGENT", "ADVANCETO", "ADVANCEON", "CIRCLEND", "CIRCLEEND", "ENDCIRCLE",
          "ARC", "STARTLINE"}) {
        EXPECT_EQ(KeywordLookup(std::string("I") + word), 16384 + KeywordLookup(word)) << word;
    }
    for (const char* name : {"ICOPY", "IREVERT", "IFILL", "IMARKPOINT", "IEND"}) {
        EXPECT_EQ(KeywordLookup(name), 0) << name;
    }
}

TEST(KeywordTable, LetterCaseDoesNotMatter) {
    EXPECT_EQ(KeywordLookup("endcircle"), 22);
    EXPECT_EQ(KeywordLookup("EndCircle"), 22);
    EXPECT_EQ(KeywordLookup("point"), 1);
    EXPECT_EQ(KeywordLookup("Line"), 2);
    EXPECT_EQ(KeywordLookup("iPoInT"), 16385);
}

TEST(KeywordTable, EverySpellingIsFoundThroughTheHashIndex) {
    // Every keyword, so that a slot lost or shadowed in the index shows.
    const std::pair<const char*, int> all[] = {
        {"POINT", 1},
        {"LINE", 2},
        {"LINEPOLAR", 3},
        {"CIRCLE", 4},
        {"COPY", 5},
        {"CROSS", 8},
        {"MIDDLE", 9},
        {"MOVECIRCLE", 10},
        {"REVERT", 11},
        {"MIDLINE", 13},
        {"BISECTOR", 13},
        {"TANGENT", 16},
        {"ADVANCETO", 17},
        {"ADVANCEON", 18},
        {"CIRCLEND", 22},
        {"CIRCLEEND", 22},
        {"ENDCIRCLE", 22},
        {"ARC", 26},
        {"STARTLINE", 27},
        {"FILLTRIANGLE", 28},
        {"FILLCIRCLE", 29},
        {"FILL", 30},
        {"ORDERLINES", 32},
        {"MARKPOINT", 33},
        {"MARKLINE", 34},
        {"MARKANGLE", 35},
        {"MARKNUMBERLINE", 38},
        {"MARKNLINE", 38},
        {"MARKNUMBERANGLE", 39},
        {"MARKNANGLE", 39},
        {"CALL", 48},
        {"CONSTRUCT", 48},
        {"INTERACT", 48},
        {"ANIMATE", 48},
        {"FAST", 45},
        {"PACE", 46},
        {"SLOW", 47},
        {"TOOL", 47},
        {"TOOLS", 47},
        {"REPEAT", 49},
        {"CONSTRUCTION", 57},
        {"INTERACTION", 58},
        {"ANIMATION", 59},
        {"CLICKABLE", 52},
        {"TRACE", 55},
        {"CLS", 65},
        {"SCREEN", 66},
        {"WINDOW", 67},
        {"TWINDOW", 68},
        {"TEXTWINDOW", 68},
        {"TEXT", 72},
        {"TITLE", 73},
        {"SPEED", 76},
        {"FRAME", 77},
        {"FRAMESPEED", 77},
        {"MENU", 88},
        {"MENUITEM", 89},
        {"EXITMENU", 90},
        {"ENDMENU", 91},
        {"REPEATMENU", 92},
        {"STEP", 97},
        {"ALONG", 102},
        {"DEFAULT", 100},
        {"DEFAULTS", 80},
        {"TOOLDEFAULTS", 81},
        {"WAIT", 128},
        {"WAITALWAYS", 129},
        {"END", 255},
    };
    for (auto [word, code] : all) EXPECT_EQ(KeywordLookup(word), code) << word;
}

TEST(KeywordTable, TokensBelowAAreNeverLookedUpAndOthersMayBeNames) {
    for (const char* token : {"1POINT", "\"POINT\"", "&H1", "(1)", "-1", "'END", "\tEND"}) {
        EXPECT_EQ(KeywordLookup(token), -1) << token;
    }
    EXPECT_EQ(KeywordLookup(""), -1);
    for (const char* token : {"Apfel", "POINTS", "POIN", "A1", "_END", "\xC4pfel",
                              "MARKNUMBERANGLES", "a_very_long_name_indeed"}) {
        EXPECT_EQ(KeywordLookup(token), 0) << token;
    }
}

}  // namespace
}  // namespace zir
