#include "frontend/symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/errorcode.h"
#include "frontend/statement.h"

namespace zir {
namespace {

Symbol Lookup(std::string_view token, const NameTable& names) {
    return SymbolLookup(token, names);
}

void ExpectSymbol(Symbol s, int type, int index) {
    EXPECT_EQ(s.type, type);
    EXPECT_EQ(s.index, index);
}

TEST(SymbolLookup, ClassifiesKeywordsNumbersTextsAndComments) {
    NameTable names;
    ExpectSymbol(Lookup("point", names), TypeKeyword, 1);
    ExpectSymbol(Lookup("ICIRCLE", names), TypeKeyword, 16388);
    for (const char* number : {"12", "-1", "&HFF", "(1,2,3)", "0.5"}) {
        ExpectSymbol(Lookup(number, names), TypeDirectNumber, 0);
    }
    ExpectSymbol(Lookup("\"new text\"", names), TypeText, NoIndex);
    ExpectSymbol(Lookup("Apfel", names), TypeNone, 0);
    EXPECT_EQ(Lookup("'comment", names).type, TypeComment);
    EXPECT_EQ(Lookup(".5", names).type, TypeComment);
}

TEST(SymbolLookup, NamesAreCaseSensitiveAndNumberedPerRow) {
    NameTable names;
    EXPECT_EQ(CheckArgument("A", Lookup("A", names), TypePoint, names), 0);
    EXPECT_EQ(CheckArgument("G", Lookup("G", names), TypeLine, names), 0);
    EXPECT_EQ(CheckArgument("K", Lookup("K", names), TypeCircle, names), 0);
    EXPECT_EQ(CheckArgument("a", Lookup("a", names), TypePoint, names), 0);
    ExpectSymbol(Lookup("A", names), TypePoint, 0);
    ExpectSymbol(Lookup("a", names), TypePoint, 1);
    ExpectSymbol(Lookup("G", names), TypeLine, 0);
    ExpectSymbol(Lookup("K", names), TypeCircle, 0);
    EXPECT_EQ(NameCount(names, TypePoint), 2);
    EXPECT_EQ(NameCount(names, TypeLine), 1);
    EXPECT_EQ(NameCount(names, TypeText), 0);
}

// Names up to eight bytes are compared by their packed bytes and longer ones by their text:
// names that share their first eight bytes, or differ only in length or in a byte beyond
// ASCII, must stay apart, also after the index has grown many times.
TEST(SymbolLookup, NamesThatShareTheirStartStayApart) {
    NameTable names;
    std::vector<std::string> declared = {"ABCDEFG",    "ABCDEFGH",   "ABCDEFGHI", "ABCDEFGHJ",
                                         "ABCDEFGHIJ", "Gr\xFC\xDF", "Gr\xFC",    "Z"};
    for (int i = 0; i < 3000; ++i) declared.push_back("P" + std::to_string(i));
    for (int i = 0; i < 300; ++i) declared.push_back("Langer_Name_" + std::to_string(i));
    for (const std::string& name : declared) {
        ASSERT_EQ(Lookup(name, names).type, TypeNone) << name;
        ASSERT_EQ(CheckArgument(name, Lookup(name, names), TypePoint, names), 0) << name;
    }
    for (std::size_t i = 0; i < declared.size(); ++i) {
        ExpectSymbol(Lookup(declared[i], names), TypePoint, static_cast<int>(i));
    }
    for (const char* unknown : {"ABCDEF", "ABCDEFGHK", "ABCDEFGHIJK", "Gr\xFC\xDF\xFC", "P3000",
                                "Langer_Name_300", "Langer_Name_30x"}) {
        ExpectSymbol(Lookup(unknown, names), TypeNone, 0);
    }
}

TEST(ArgumentCheck, MismatchNamesFoundAndExpectedType) {
    NameTable names;
    CheckArgument("A", Lookup("A", names), TypePoint, names);
    int index = -1;
    EXPECT_EQ(CheckArgument("A", Lookup("A", names), TypePoint, names, &index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(CheckArgument("A", Lookup("A", names), TypeLine, names), 10 + 1 * 256 + 2 * 4096);
    EXPECT_EQ(CheckArgument("5", Lookup("5", names), TypePoint, names), ErrorCode(10, 5, 1));
    // A text never stands for an object: its index would be taken as the object's.
    EXPECT_EQ(CheckArgument("\"A\"", Lookup("\"A\"", names), TypeCircle, names),
              ErrorCode(10, 8, 3));
    EXPECT_EQ(NameCount(names, TypeText), 0);
    EXPECT_EQ(NameCount(names, TypePoint), 1);
}

TEST(ArgumentCheck, TextsAreSharedByContent) {
    NameTable names;
    EXPECT_EQ(CheckText("\"Hallo\"", Lookup("\"Hallo\"", names), names), 0);
    ExpectSymbol(Lookup("\"Hallo\"", names), TypeText, 0);
    ExpectSymbol(Lookup("\"\"Hallo\"", names), TypeText, 0);
    EXPECT_EQ(CheckText("\"Hallo\"", Lookup("\"Hallo\"", names), names), 0);
    EXPECT_EQ(CheckText("\"hallo\"", Lookup("\"hallo\"", names), names), 0);
    EXPECT_EQ(NameCount(names, TypeText), 2);
    EXPECT_EQ(names.rows[TypeText][0], "Hallo");
    // A text's content may look like a name without becoming one.
    ExpectSymbol(Lookup("Hallo", names), TypeNone, 0);
    EXPECT_EQ(CheckText("P", Lookup("P", names), names), ErrorCode(10, 8, 0));
    EXPECT_EQ(CheckText("7", Lookup("7", names), names), ErrorCode(10, 8, 5));
}

TEST(ArgumentCheck, NameDeclaredTwiceInOneStatementIsFoundAtItsFirstEntry) {
    // As in "L = LINE L, L": all three references were taken before any declaration.
    NameTable names;
    Symbol before = Lookup("L", names);
    EXPECT_EQ(CheckArgument("L", before, TypeLine, names), 0);
    EXPECT_EQ(CheckArgument("L", before, TypePoint, names), 0);
    EXPECT_EQ(CheckArgument("L", before, TypePoint, names), 0);
    EXPECT_EQ(NameCount(names, TypeLine), 1);
    EXPECT_EQ(NameCount(names, TypePoint), 2);
    // Rows are searched in type order, so the point row wins over the line row.
    ExpectSymbol(Lookup("L", names), TypePoint, 0);
}

TEST(ArgumentCheck, AFullRowGivesAnErrorInsteadOfAnIndexTooLarge) {
    NameTable names;
    for (int i = 0; i < MaxNamesPerRow; ++i) {
        ASSERT_EQ(Declare(names, TypePoint, "P" + std::to_string(i)), i);
    }
    EXPECT_EQ(CheckArgument("Q", Lookup("Q", names), TypePoint, names), ErrorCode(MsgInternal));
    EXPECT_EQ(NameCount(names, TypePoint), MaxNamesPerRow);
    ExpectSymbol(Lookup("P32767", names), TypePoint, 32767);
    // Other rows still have room.
    EXPECT_EQ(CheckArgument("Q", Lookup("Q", names), TypeLine, names), 0);
}

TEST(TypeNames, AreTheTenPrintedNames) {
    EXPECT_EQ(TypeName(0), "Keiner");
    EXPECT_EQ(TypeName(5), "Direkte Zahl");
    EXPECT_EQ(TypeName(9), "Schl\xFCsselwort");
    EXPECT_EQ(TypeName(10), "");
    EXPECT_EQ(TypeName(-1), "");
}

// ---- Reading a statement: tokens, DEFAULT, comments, the 20-token limit, keywords ----

struct Read {
    std::int32_t result = 0;
    Statement statement;
};

Read ReadLine(std::string_view line, int pass = 1) {
    static NameTable names;
    Read r;
    r.result = ReadStatement(line, names, pass, r.statement);
    return r;
}

std::string Repeated(int count, std::string_view tail = "") {
    std::string line = "MENU";
    for (int i = 1; i < count; ++i) line += " 1";
    return line.append(tail);
}

TEST(ReadStatement, TwentyTokensAtMost) {
    EXPECT_EQ(ReadLine(Repeated(20)).result, 0);
    EXPECT_EQ(ReadLine(Repeated(20)).statement.count, 20);
    EXPECT_EQ(ReadLine(Repeated(21)).result, ErrorCode(11));
    EXPECT_EQ(ReadLine(Repeated(20, " ' note")).result, ErrorCode(11));
    EXPECT_EQ(ReadLine(Repeated(19, " ' a b c d e")).result, 0);
}

TEST(ReadStatement, CommentsEndTheStatementAndEmptyLinesAreNoStatements) {
    Read r = ReadLine("POINT A 1 2 'the first point");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.statement.count, 4);
    EXPECT_EQ(ReadLine("POINT A 1 2 .5").statement.count, 4);
    EXPECT_EQ(ReadLine("POINT A 1 2 +5").statement.count, 4);
    for (const char* empty :
         {"", "   ", " , ", "' comment", " ' comment", "\tPOINT A 1 2", "\tEND", "# x", "; x"}) {
        EXPECT_EQ(ReadLine(empty).result, 255) << empty;
    }
}

TEST(ReadStatement, DefaultBecomesTheNumberMinusOne) {
    Read r = ReadLine("CIRCLE K, 0, 0, 1, default, 2");
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(r.statement.tokens[5], "-1");
    EXPECT_EQ(r.statement.symbols[5].type, TypeDirectNumber);
    // DEFAULT never counts as the statement keyword.
    EXPECT_EQ(ReadLine("DEFAULT").result, ErrorCode(13));
}

TEST(ReadStatement, FindsTheStatementKeywordAndItsPosition) {
    Read r = ReadLine("P1, P2 = icross K, G");
    ASSERT_EQ(r.result, 0);
    EXPECT_EQ(r.statement.keyword, Keyword::Cross);
    EXPECT_TRUE(r.statement.invisible);
    EXPECT_EQ(r.statement.keywordPosition, 2);
    EXPECT_EQ(ReadLine("A B C POINT").result, ErrorCode(13));
    EXPECT_EQ(ReadLine("A B C").result, ErrorCode(13));
    // A name spelled like a keyword is the keyword: a second keyword in the statement.
    EXPECT_EQ(ReadLine("POINT Line 1 2").result, ErrorCode(14, 2));
    EXPECT_EQ(ReadLine("A B C POINT LINE").result, ErrorCode(14, 5));
    EXPECT_EQ(ReadLine("TEXT 1 2 LINE").result, ErrorCode(14, 4));
    EXPECT_EQ(ReadLine("TEXT 1 2 LINE", 2).result, ErrorCode(15, 4));
}

TEST(ReadStatement, CombinationsOnlyAsTheThirdTokenAfterAFirstKeyword) {
    EXPECT_EQ(ReadLine("CALL S FAST").statement.keyword, Keyword::Fast);
    EXPECT_EQ(ReadLine("construct S pace").statement.keyword, Keyword::Pace);
    EXPECT_EQ(ReadLine("ANIMATE S TOOLS").statement.keyword, Keyword::Slow);
    EXPECT_EQ(ReadLine("INTERACT S TOOL").statement.keyword, Keyword::Slow);
    EXPECT_EQ(ReadLine("CLICKABLE P ALONG G").statement.keyword, Keyword::ClickableAlong);
    EXPECT_EQ(ReadLine("STEP P ALONG G 2").statement.keyword, Keyword::StepAlong);
    EXPECT_EQ(ReadLine("CALL FAST S").result, ErrorCode(14, 2));
    EXPECT_EQ(ReadLine("CALL S X FAST").result, ErrorCode(14, 4));
    EXPECT_EQ(ReadLine("CALL S FAST SLOW").result, ErrorCode(14, 4));
    EXPECT_EQ(ReadLine("X CALL FAST").result, ErrorCode(14, 3));
    EXPECT_EQ(ReadLine("POINT A ALONG 2").result, ErrorCode(14, 3));
    EXPECT_EQ(ReadLine("STEP P FAST G").result, ErrorCode(14, 3));
    EXPECT_EQ(ReadLine("CLICKABLE P ALONG G ALONG").result, ErrorCode(14, 5));
}

TEST(ReadStatement, KeywordPositionBeyondTheDetailFieldIsHeldAtFifteen) {
    std::string line = "MENU";
    for (int i = 1; i < 17; ++i) line += " 1";
    EXPECT_EQ(ReadLine(line + " LINE").result, ErrorCode(14, 15));
}

}  // namespace
}  // namespace zir
