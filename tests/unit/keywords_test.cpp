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
