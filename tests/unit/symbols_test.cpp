// The name table's lookup and checks. Reading whole statements (tokens, comments, keywords
// and their positions) is seen through their errors in pass2_test.cpp.
#include "frontend/symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/errorcode.h"

namespace zir {
namespace {

::testing::AssertionResult Is(Symbol s, int type, int index) {
    if (s.type == type && s.index == index) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "type " << s.type << " index " << s.index;
}

// Declares the name as a point, the way a statement does.
std::int32_t DeclarePoint(const std::string& name, NameTable& names, int type = TypePoint) {
    return CheckArgument(name, SymbolLookup(name, names), type, names);
}

TEST(SymbolLookup, ClassifiesKeywordsNumbersTextsAndComments) {
    NameTable names;
    EXPECT_TRUE(Is(SymbolLookup("point", names), TypeKeyword, 1));
    EXPECT_TRUE(Is(SymbolLookup("ICIRCLE", names), TypeKeyword, 16388));
    for (const char* number : {"12", "-1", "&HFF", "(1,2,3)", "0.5"}) {
        EXPECT_TRUE(Is(SymbolLookup(number, names), TypeDirectNumber, 0)) << number;
    }
    EXPECT_TRUE(Is(SymbolLookup("\"new text\"", names), TypeText, NoIndex));
    EXPECT_TRUE(Is(SymbolLookup("Apfel", names), TypeNone, 0));
    EXPECT_EQ(SymbolLookup("'comment", names).type, TypeComment);
    EXPECT_EQ(SymbolLookup(".5", names).type, TypeComment);
}

// Names up to eight bytes are compared by their packed bytes and longer ones by their text:
// names that share their first eight bytes, or differ only in letter case, in length or in a
// byte beyond ASCII, must stay apart, also after the index has grown many times.
TEST(SymbolLookup, NamesThatShareTheirStartStayApart) {
    NameTable names;
    std::vector<std::string> declared = {"ABCDEFG",   "ABCDEFGH",   "ABCDEFGHI",
                                         "ABCDEFGHJ", "ABCDEFGHIJ", "Gr\xFC\xDF",
                                         "Gr\xFC",    "Z",          "z"};
    for (int i = 0; i < 3000; ++i) declared.push_back("P" + std::to_string(i));
    for (int i = 0; i < 300; ++i) declared.push_back("Langer_Name_" + std::to_string(i));
    for (const std::string& name : declared) {
        ASSERT_EQ(SymbolLookup(name, names).type, TypeNone) << name;
        ASSERT_EQ(DeclarePoint(name, names), 0) << name;
    }
    for (std::size_t i = 0; i < declared.size(); ++i) {
        EXPECT_TRUE(Is(SymbolLookup(declared[i], names), TypePoint, static_cast<int>(i)));
    }
    for (const char* unknown : {"ABCDEF", "ABCDEFGHK", "ABCDEFGHIJK", "Gr\xFC\xDF\xFC", "P3000",
                                "Langer_Name_300", "Langer_Name_30x"}) {
        EXPECT_TRUE(Is(SymbolLookup(unknown, names), TypeNone, 0)) << unknown;
    }
    EXPECT_EQ(DeclarePoint("G", names, TypeLine), 0);
    EXPECT_TRUE(Is(SymbolLookup("G", names), TypeLine, 0)) << "each row counts from 0";
}

TEST(ArgumentCheck, MismatchNamesFoundAndExpectedTypeAndGivesTheIndex) {
    NameTable names;
    DeclarePoint("A", names);
    int index = -1;
    EXPECT_EQ(CheckArgument("A", SymbolLookup("A", names), TypePoint, names, &index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(DeclarePoint("A", names, TypeLine), 10 + 1 * 256 + 2 * 4096);
    EXPECT_EQ(DeclarePoint("5", names), ErrorCode(10, 5, 1));
    // A text never stands for an object: its index would be taken as the object's.
    EXPECT_EQ(DeclarePoint("\"A\"", names, TypeCircle), ErrorCode(10, 8, 3));
    EXPECT_EQ(NameCount(names, TypeText), 0);
    EXPECT_EQ(NameCount(names, TypePoint), 1);
}

TEST(ArgumentCheck, TextsAreSharedByContent) {
    NameTable names;
    auto check = [&](const char* token) {
        return CheckText(token, SymbolLookup(token, names), names);
    };
    EXPECT_EQ(check("\"Hallo\""), 0);
    EXPECT_EQ(check("\"Hallo\""), 0);
    EXPECT_EQ(check("\"hallo\""), 0);
    EXPECT_TRUE(Is(SymbolLookup("\"\"Hallo\"", names), TypeText, 0));
    EXPECT_EQ(names.rows[TypeText], (std::vector<std::string>{"Hallo", "hallo"}));
    // A text's content may look like a name without becoming one.
    EXPECT_TRUE(Is(SymbolLookup("Hallo", names), TypeNone, 0));
    EXPECT_EQ(check("P"), ErrorCode(10, 8, 0));
    EXPECT_EQ(check("7"), ErrorCode(10, 8, 5));
}

TEST(ArgumentCheck, AFullRowGivesAnErrorInsteadOfAnIndexTooLarge) {
    NameTable names;
    for (int i = 0; i < MaxNamesPerRow; ++i) {
        ASSERT_EQ(Declare(names, TypePoint, "P" + std::to_string(i)), i);
    }
    EXPECT_EQ(DeclarePoint("Q", names), ErrorCode(MsgInternal));
    EXPECT_EQ(NameCount(names, TypePoint), MaxNamesPerRow);
    EXPECT_TRUE(Is(SymbolLookup("P32767", names), TypePoint, 32767));
    EXPECT_EQ(DeclarePoint("Q", names, TypeLine), 0) << "other rows still have room";
}

}  // namespace
}  // namespace zir
