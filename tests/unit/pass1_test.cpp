#include "frontend/pass1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"

namespace zir {
namespace {

struct Compiled {
    int errorCount = 0;
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
};

Compiled Compile(const std::vector<std::string>& lines) {
    Compiled c;
    std::vector<std::string_view> views(lines.begin(), lines.end());
    c.errorCount = RunPass1(views, c.table, c.errors, c.names);
    return c;
}

std::int32_t Word(const Compiled& c, int block, int slot, int word) {
    EXPECT_TRUE(HasSlot(c.table, block, slot)) << "block " << block << " slot " << slot;
    if (!HasSlot(c.table, block, slot)) return -12345;
    return c.table.blocks[block][slot][word];
}

// Seven declarations that every statement under test can use: points A, B, Q; lines G, H;
// circles K, J; and the subroutine S.
const std::vector<std::string> Declarations = {
    "POINT A 1 2",    "POINT B 3 4",    "POINT Q 5 6",    "LINE G 0 0 1 1",
    "LINE H 0 0 2 1", "CIRCLE K 0 0 5", "CIRCLE J 1 1 5", "CALL S",
};

// Compiles the declarations, the statement and END; the statement's result is its word 0,
// or its error code word as a negative number.
std::int32_t Recognise(const std::string& statement) {
    std::vector<std::string> lines = Declarations;
    lines.push_back(statement);
    lines.push_back("END");
    Compiled c = Compile(lines);
    if (!c.errors.empty()) {
        EXPECT_EQ(c.errors.size(), 1u) << statement;
        EXPECT_EQ(c.errors[0].line, static_cast<int>(Declarations.size()) + 1) << statement;
        return -c.errors[0].code;
    }
    return Word(c, 0, static_cast<int>(Declarations.size()) + 1, 0);
}

TEST(Pass1Statements, EveryFormGetsItsProvisionalOpcode) {
    const std::pair<const char*, int> cases[] = {
        {"POINT Z 1 2", 1},
        {"IPOINT Z 1 2", 16385},
        {"LINE Z 0 0 1 1", 2},
        {"Z = LINE A, B", 12},
        {"Z = ILINE A B", 16384 + 12},
        {"LINEPOLAR Z 0 0 45", 3},
        {"Z = LINEPOLAR A, G, 30", 15},
        {"CIRCLE Z 0 0 5", 4},
        {"Z = CIRCLE A, B", 24},
        {"Z = CIRCLE A, G", 25},
        {"Z = CIRCLE A, Y", 24},
        {"Z = ICIRCLE A, G", 16384 + 25},
        {"Z = COPY A", 5},
        {"Z = COPY Y", 5},
        {"H = COPY G", 6},
        {"Z = COPY G", 5},
        {"J = COPY K", 7},
        {"Z = CROSS G, H", 8},
        {"Z1, Z2 = CROSS K, J", 21},
        {"Z1, Z2 = CROSS G, K", 20},
        {"Z1, Z2 = CROSS K, G", 20},
        {"Z1, Z2 = ICROSS Y, X", 16384 + 21},
        {"Z = MIDDLE A, B", 9},
        {"MOVECIRCLE K, A", 10},
        {"REVERT G", 11},
        {"Z = MIDLINE A, B", 13},
        {"Z = BISECTOR G, H", 14},
        {"Z = MIDLINE Y, X", 13},
        {"Z = MIDLINE Y, G", 13},
        {"Z1, Z2 = TANGENT A, K", 16},
        {"Z = ADVANCETO A, B, 5", 17},
        {"Z = ADVANCEON A, G, 5", 18},
        {"Z1, Z2 = CIRCLEND K", 22},
        {"Z1, Z2 = ENDCIRCLE K", 22},
        {"Z = ARC A, B", 26},
        {"Z = ARC Y, X", 26},
        {"Z = ARC G, H, 5", 31},
        {"Z, Z2 = STARTLINE A, 30, 100", 27},
        {"FILLTRIANGLE A, B, Q", 28},
        {"FILLCIRCLE K", 29},
        {"FILL A, B, Q", 28},
        {"FILL K", 29},
        {"FILL Z, &HFF", 29},
        {"FILL Z, Y, X", 28},
        {"ORDERLINES G, H", 32},
        {"MARKPOINT A", 33},
        {"MARKLINE G", 34},
        {"MARKLINE G, A, B", 34},
        {"MARKLINE G, Y, X", 34},
        {"MARKLINE G, 3, 4", 34},
        {"MARKNUMBERLINE G, 3", 38},
        {"MARKANGLE G, H, \"a\"", 35},
        {"MARKANGLE A, B, Q, \"a\"", 36},
        {"MARKANGLE Z, A, Y, \"a\"", 36},
        {"MARKANGLE Z, G, \"a\"", 35},
        {"MARKNUMBERANGLE G, H", 39},
        {"MARKNUMBERANGLE G, H, \"a\"", 39},
        {"MARKNANGLE A, B, Q", 40},
        {"CALL S", 48},
        {"CONSTRUCT S FAST", 45},
        {"CALL S PACE 1 2", 46},
        {"ANIMATE T TOOLS", 47},
        {"CLS", 65},
        {"SCREEN 640 480", 66},
        {"WINDOW 1 2", 67},
        {"TWINDOW 1 2 3 4", 68},
        {"TEXT \"x\"", 72},
        {"TEXT \"x\" 1 2 3", 72},
        {"TITLE \"x\"", 73},
        {"SPEED 5", 76},
        {"FRAME 50", 77},
        {"FRAMESPEED 50", 77},
        {"DEFAULTS 1 2 3 4 5 6 7 8 9 10 11 12", 80},
        {"TOOLDEFAULTS", 81},
        {"MENU", 88},
        {"MENUITEM \"a\"", 89},
        {"EXITMENU", 90},
        {"ENDMENU", 91},
        {"REPEATMENU", 92},
        {"STEP A 1 2", 97},
        {"STEP K 1 2 3", 98},
        {"STEP Z 1 2", 98},
        {"STEP A ALONG G", 102},
        {"STEP K ALONG G 1 2", 103},
        {"STEP A ALONG K 1", 104},
        {"STEP K ALONG J", 105},
        {"STEP Z ALONG Y", 102},
        {"CLICKABLE A B Z", 52},
        {"TRACE A", 55},
        {"CLICKABLE A ALONG G", 53},
        {"CLICKABLE A ALONG Y", 53},
        {"CLICKABLE A ALONG K", 54},
        {"WAIT", 128},
        {"WAITALWAYS", 129},
        {"WAIT 5", 130},
        {"WAITALWAYS 5", 131},
        {"END", 255},
        {"end 1 2 3", 255},
    };
    for (auto [statement, word0] : cases) EXPECT_EQ(Recognise(statement), word0) << statement;
}

TEST(Pass1Statements, WrongFormsGiveTheirMessages) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"REVERT G H", ErrorCode(11)},
        {"POINT Z 1", ErrorCode(12)},
        {"A B C POINT", ErrorCode(13)},
        {"X Y LINE 1 2", ErrorCode(16, 3)},
        {"X POINT 1 2", ErrorCode(16, 2)},
        {"X = TANGENT A, K", ErrorCode(16, 2)},
        {"ALONG", ErrorCode(16, 0)},
        {"X ALONG", ErrorCode(16, 0)},
        {"FAST", ErrorCode(16, 0)},
        {"POINT G 1 2", ErrorCode(10, 2, 1)},
        {"POINT 5 1 2", ErrorCode(10, 5, 1)},
        {"POINT \"A\" 1 2", ErrorCode(10, 8, 1)},
        {"Z = LINE A, \"B\"", ErrorCode(10, 8, 1)},
        {"CALL \"S\"", ErrorCode(10, 8, 7)},
        {"CALL A", ErrorCode(10, 1, 7)},
        {"CALL", ErrorCode(12)},
        {"A = COPY G", ErrorCode(10, 2, 1)},
        {"G = COPY A", ErrorCode(10, 1, 2)},
        {"K = COPY G", ErrorCode(10, 2, 3)},
        {"A = COPY K", ErrorCode(10, 3, 1)},
        {"Z = COPY 5", ErrorCode(10, 5, 1)},
        {"S = COPY A", ErrorCode(10, 7, 1)},
        {"Z = COPY A 1", ErrorCode(11)},
        {"Z1, Z2 = CROSS G, H", ErrorCode(10, 2, 3)},
        {"Z1, Z2 = CROSS A, K", ErrorCode(10, 1, 3)},
        {"Z1, Z2 = CROSS K, A", ErrorCode(10, 1, 3)},
        {"Z = BISECTOR G, A", ErrorCode(10, 1, 2)},
        {"Z = MIDLINE A, G", ErrorCode(10, 2, 1)},
        {"Z = MIDLINE K, A", ErrorCode(10, 3, 1)},
        {"Z = MIDLINE A, K", ErrorCode(10, 3, 1)},
        {"Z = CIRCLE A, K", ErrorCode(10, 3, 1)},
        {"Z = ARC K, A", ErrorCode(10, 3, 1)},
        {"FILL G", ErrorCode(10, 2, 1)},
        {"FILL", ErrorCode(12)},
        {"FILL Z", ErrorCode(12)},
        {"FILL Z, 5, A", ErrorCode(10, 5, 1)},
        {"MARKLINE G, K", ErrorCode(10, 3, 1)},
        {"MARKLINE G, 3, A", ErrorCode(10, 1, 5)},
        {"MARKLINE G, A", ErrorCode(12)},
        {"MARKANGLE K, A, B, \"x\"", ErrorCode(10, 3, 1)},
        {"MARKANGLE A, B, Q, 5", ErrorCode(10, 8, 5)},
        {"MARKANGLE A, B, Q", ErrorCode(12)},
        {"MARKANGLE G, H", ErrorCode(12)},
        {"MARKANGLE Z, Y, X, \"a\"", ErrorCode(10, 0, 1)},
        {"MARKANGLE", ErrorCode(12)},
        {"MARKNUMBERANGLE Z", ErrorCode(12)},
        {"MARKNUMBERANGLE G, H, A", ErrorCode(10, 8, 1)},
        {"STEP G 1 2", ErrorCode(10, 1, 2)},
        {"STEP A 1 2 3", ErrorCode(11)},
        {"STEP K 1 2 3 4", ErrorCode(11)},
        {"STEP A 1", ErrorCode(12)},
        {"STEP A ALONG A", ErrorCode(10, 2, 1)},
        {"STEP G ALONG H", ErrorCode(10, 1, 2)},
        {"STEP A ALONG G 1 2 3", ErrorCode(11)},
        {"CLICKABLE A ALONG A", ErrorCode(10, 2, 1)},
        {"CLICKABLE A ALONG G 1", ErrorCode(11)},
        {"CLICKABLE A G", ErrorCode(10, 2, 1)},
        {"WAIT A", ErrorCode(10, 5, 1)},
        {"WAIT 1 2", ErrorCode(11)},
        {"TITLE A", ErrorCode(10, 8, 1)},
        {"TITLE \"a\" \"b\"", ErrorCode(11)},
        {"TEXT", ErrorCode(12)},
        {"TEXT \"a\" 1 2 3 4", ErrorCode(11)},
        {"MENUITEM 5", ErrorCode(10, 8, 5)},
        {"EXITMENU 1", ErrorCode(11)},
        {"SCREEN 1", ErrorCode(12)},
        {"SCREEN 1 2 3 4 5", ErrorCode(11)},
        {"WINDOW 1 2 3", ErrorCode(11)},
        {"TEXTWINDOW 1 2 3", ErrorCode(12)},
        {"SPEED", ErrorCode(12)},
        {"CLS 1 2", ErrorCode(11)},
        {"REPEAT 1 2", ErrorCode(11)},
    };
    for (auto [statement, code] : cases) EXPECT_EQ(Recognise(statement), -code) << statement;
}

TEST(Pass1Statements, WrongHeadersGiveTheirMessages) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"INTERACTION T X", ErrorCode(11)},   {"ANIMATION", ErrorCode(12)},
        {"CONSTRUCTION", ErrorCode(12)},      {"CONSTRUCTION A", ErrorCode(10, 1, 7)},
        {"X CONSTRUCTION", ErrorCode(16, 2)},
    };
    for (auto [header, code] : cases) {
        Compiled c = Compile({"POINT A 1 2", "END", header, "REPEAT"});
        ASSERT_EQ(c.errors.size(), 1u) << header;
        EXPECT_EQ(c.errors[0].code, code) << header;
        EXPECT_EQ(c.errors[0].line, 3) << header;
    }
}

TEST(Pass1Names, DeclaredInStatementOrderWithIndexesPerType) {
    Compiled c =
        Compile({"P = MIDDLE A, B", "LINE G 0 0 1 1", "K = CIRCLE P, A", "X = CROSS G, G", "END"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(c.names.rows[TypePoint], (std::vector<std::string>{"P", "A", "B", "X"}));
    EXPECT_EQ(c.names.rows[TypeLine], std::vector<std::string>{"G"});
    EXPECT_EQ(c.names.rows[TypeCircle], std::vector<std::string>{"K"});
}

TEST(Pass1Names, ANameUsedAsTwoTypesIsRejected) {
    Compiled c = Compile({"POINT A 1 2", "REVERT A", "END"});
    ASSERT_EQ(c.errors.size(), 1u);
    EXPECT_EQ(c.errors[0].code, ErrorCode(10, 1, 2));
    EXPECT_EQ(c.errors[0].line, 2);
}

TEST(Pass1Names, ANameTwiceInOneStatementIsDeclaredTwice) {
    Compiled c = Compile({"L = LINE L, L", "P = MIDDLE P, P", "END"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(c.names.rows[TypeLine], std::vector<std::string>{"L"});
    EXPECT_EQ(c.names.rows[TypePoint], (std::vector<std::string>{"L", "L", "P", "P", "P"}));
    Symbol l = SymbolLookup("L", c.names);
    EXPECT_EQ(l.type, TypePoint);
    EXPECT_EQ(l.index, 0);
    EXPECT_EQ(SymbolLookup("P", c.names).index, 2);
}

TEST(Pass1Names, TextsAreDeclaredWhereATextIsExpected) {
    Compiled c = Compile({"TITLE \"Hallo, Welt\"", "TEXT \"Hallo, Welt\" 1", "MENU",
                          "MENUITEM \"Weiter\"", "ENDMENU", "END"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(c.names.rows[TypeText], (std::vector<std::string>{"Hallo, Welt", "Weiter"}));
}

TEST(Pass1Names, MarkLineDeclaresANewSecondTokenAsAPointEvenWhenRejected) {
    Compiled c = Compile({"LINE G 0 0 1 1", "MARKLINE G, Z", "END"});
    ASSERT_EQ(c.errors.size(), 1u);
    EXPECT_EQ(c.errors[0].code, ErrorCode(12));
    EXPECT_EQ(c.names.rows[TypePoint], std::vector<std::string>{"Z"});
}

TEST(Pass1Errors, CollectedInLineOrderAndRejectedStatementsTakeNoSlot) {
    Compiled c = Compile({"POINT A 1 2", "", "POINT A", "' comment", "  ", "\tPOINT X", "REVERT A",
                          "POINT B 3 4", "END"});
    ASSERT_EQ(c.errorCount, 2);
    EXPECT_EQ(c.errors[0].code, ErrorCode(12));
    EXPECT_EQ(c.errors[0].line, 3);
    EXPECT_EQ(c.errors[1].code, ErrorCode(10, 1, 2));
    EXPECT_EQ(c.errors[1].line, 7);
    EXPECT_EQ(Word(c, 0, 1, 0), 1);
    EXPECT_EQ(Word(c, 0, 2, 0), 1);
    EXPECT_EQ(Word(c, 0, 3, 0), 255);
    EXPECT_EQ(Word(c, 0, 0, HeaderEnd), 4);
}

TEST(Pass1MissingEnd, ReportedOnceAtLineZero) {
    const std::vector<std::vector<std::string>> scripts = {
        {},
        {"' only a comment", ""},
        {"\tEND"},
        {"POINT A 1 2", "X Y Z", "CONSTRUCTION S", "END", "REPEAT"},
        {"CONSTRUCTION S", "REPEAT", "END"},
        {"ENDE"},
    };
    for (const auto& script : scripts) {
        Compiled c = Compile(script);
        ASSERT_EQ(c.errorCount, 1);
        EXPECT_EQ(c.errors[0].code, ErrorCode(36));
        EXPECT_EQ(c.errors[0].line, 0);
    }
}

TEST(Pass1Blocks, HeadersAndRepeatLayOutTheBlocks) {
    Compiled c = Compile({
        "POINT A 1 2",         // main slot 1
        "END",                 // main slot 2
        "CONSTRUCTION S X Y",  // block 1
        "POINT Z 1 2",         //   slot 2
        "REPEAT",              //   slot 3
        "INTERACTION T",       // block 2
        "CLICKABLE A",         //   slot 1
        "REPEAT",              //   slot 2
        "POINT B 3 4",         // main slot 3
        "ANIMATION U",         // block 3
        "REPEAT 5",            //   slot 1
    });
    ASSERT_EQ(c.errorCount, 0);
    ASSERT_EQ(c.table.blocks.size(), 4u);
    EXPECT_EQ(Word(c, 0, 0, HeaderEnd), 4);
    EXPECT_EQ(Word(c, 0, 0, HeaderBlockCount), 3);
    EXPECT_EQ(Word(c, 0, 1, 0), 1);
    EXPECT_EQ(Word(c, 0, 2, 0), 255);
    EXPECT_EQ(Word(c, 0, 3, 0), 1);
    // The last header's record is left in the slot after the main program.
    EXPECT_EQ(Word(c, 0, 4, 0), 59);

    const int expected[][4] = {{1, 4, 2, 0}, {2, 3, 0, 1}, {3, 2, 0, 2}};
    for (int b = 1; b <= 3; ++b) {
        for (int w = 0; w < 4; ++w) EXPECT_EQ(Word(c, b, 0, w), expected[b - 1][w]) << b << w;
    }
    EXPECT_EQ(Word(c, 1, 2, 0), 1);
    EXPECT_EQ(Word(c, 1, 3, 0), 49);
    EXPECT_EQ(Word(c, 2, 1, 0), 52);
    EXPECT_EQ(Word(c, 3, 1, 0), 49);
    // The slot at each block's end exists and is empty.
    EXPECT_EQ(Word(c, 1, 4, 0), 0);
    EXPECT_EQ(c.names.rows[TypeSubroutine], (std::vector<std::string>{"S", "T", "U"}));
    // Parameters are not declared by pass 1.
    EXPECT_EQ(c.names.rows[TypePoint], (std::vector<std::string>{"A", "Z", "B"}));
}

TEST(Pass1Blocks, HeaderRecordStaysInTheMainSlotAfterTheMainProgram) {
    Compiled c = Compile({"END", "CONSTRUCTION S A B", "REPEAT"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(Word(c, 0, 2, 0), 57);
    EXPECT_EQ(Word(c, 0, 2, HeaderParameters), 2);
    EXPECT_EQ(Word(c, 0, 0, HeaderEnd), 2);
}

TEST(Pass1Blocks, MainStatementsAfterTheSubroutinesGrowTheTable) {
    std::vector<std::string> lines = {"END", "CONSTRUCTION S", "REPEAT"};
    for (int i = 0; i < 40; ++i) lines.push_back("POINT P" + std::to_string(i) + " 1 2");
    Compiled c = Compile(lines);
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(Word(c, 0, 1, 0), 255);
    EXPECT_EQ(Word(c, 0, 2, 0), 1);
    EXPECT_EQ(Word(c, 0, 41, 0), 1);
    EXPECT_EQ(Word(c, 0, 0, HeaderEnd), 42);
    EXPECT_EQ(Word(c, 0, 42, 0), 0);
}

TEST(Pass1Blocks, ReportsTheLinesThatBeginWithConstruction) {
    std::vector<std::string> lines = {"CALL S",         "END",         "  construction S A",
                                      "REPEAT",         "ANIMATION T", "REPEAT",
                                      "CONSTRUCTION,U", "REPEAT",      "' CONSTRUCTION V"};
    std::vector<std::string_view> views(lines.begin(), lines.end());
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    std::vector<int> constructions = {99};
    ASSERT_EQ(RunPass1(views, table, errors, names, &constructions), 0);
    EXPECT_EQ(constructions, (std::vector<int>{2, 6}));
}

TEST(Pass1Blocks, SubroutineCalledBeforeItsHeaderIsAlreadyDeclared) {
    Compiled c = Compile({"CALL S", "END", "CONSTRUCTION S", "REPEAT"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(c.names.rows[TypeSubroutine], std::vector<std::string>{"S"});
    EXPECT_EQ(Word(c, 1, 0, HeaderName), 0);
}

TEST(Pass1Blocks, DuplicateHeaderNamesGiveMessage26OnTheSecondOnly) {
    Compiled c = Compile({"END", "CONSTRUCTION S", "REPEAT", "ANIMATION T", "REPEAT",
                          "INTERACTION S", "REPEAT", "CONSTRUCTION T A", "REPEAT"});
    ASSERT_EQ(c.errorCount, 2);
    EXPECT_EQ(c.errors[0].code, ErrorCode(26));
    EXPECT_EQ(c.errors[0].line, 6);
    EXPECT_EQ(c.errors[1].code, ErrorCode(26));
    EXPECT_EQ(c.errors[1].line, 8);
}

TEST(Pass1Blocks, NestedHeaderGivesMessage20) {
    Compiled c = Compile({"END", "CONSTRUCTION S", "ANIMATION T", "REPEAT"});
    ASSERT_EQ(c.errorCount, 1);
    EXPECT_EQ(c.errors[0].code, ErrorCode(20));
    EXPECT_EQ(c.errors[0].line, 3);
}

TEST(Pass1Blocks, AConstructionHasAtMostTwelveParameters) {
    std::string twelve = "CONSTRUCTION S";
    for (int i = 0; i < 12; ++i) twelve += " P" + std::to_string(i);
    Compiled ok = Compile({"END", twelve, "REPEAT"});
    ASSERT_EQ(ok.errorCount, 0);
    EXPECT_EQ(Word(ok, 1, 0, HeaderParameters), 12);
    Compiled c = Compile({"END", twelve + " P12", "REPEAT"});
    ASSERT_EQ(c.errorCount, 1);
    EXPECT_EQ(c.errors[0].code, ErrorCode(30));
}

TEST(Pass1Blocks, RepeatInTheMainProgramOnlyTakesItsSlot) {
    // Pass 2 rejects it in the slot where it stands; the main program must not rewind.
    Compiled c = Compile({"POINT A 1 2", "REPEAT", "POINT B 3 4", "END"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(Word(c, 0, 1, 0), 1);
    EXPECT_EQ(Word(c, 0, 2, 0), 49);
    EXPECT_EQ(Word(c, 0, 3, 0), 1);
    EXPECT_EQ(Word(c, 0, 4, 0), 255);
    EXPECT_EQ(Word(c, 0, 0, HeaderEnd), 5);
}

TEST(Pass1Blocks, ASubroutineLeftOpenRunsToItsLastStatement) {
    Compiled c = Compile({"END", "ANIMATION T", "POINT A 1 2", "POINT B 1 2"});
    ASSERT_EQ(c.errorCount, 0);
    EXPECT_EQ(Word(c, 1, 0, HeaderEnd), 3);
    EXPECT_EQ(Word(c, 0, 0, HeaderEnd), 2);
}

TEST(Pass1Limits, NamesBeyondWhatATargetHoldsAreRejected) {
    std::vector<std::string> lines;
    for (int i = 0; i <= MaxNamesPerRow; ++i)
        lines.push_back("POINT P" + std::to_string(i) + " 1 2");
    lines.push_back("END");
    Compiled c = Compile(lines);
    ASSERT_EQ(c.errorCount, 1);
    EXPECT_EQ(c.errors[0].code, ErrorCode(24));
    EXPECT_EQ(c.errors[0].line, MaxNamesPerRow + 1);
    EXPECT_EQ(NameCount(c.names, TypePoint), MaxNamesPerRow);
}

TEST(Pass1Limits, NoMoreSubroutinesThanABlockNumberHolds) {
    std::vector<std::string> lines = {"END"};
    for (int i = 0; i <= MaxTarget; ++i) {
        lines.push_back("ANIMATION S" + std::to_string(i));
        lines.push_back("REPEAT");
    }
    Compiled c = Compile(lines);
    ASSERT_EQ(c.errorCount, 1);
    EXPECT_EQ(c.errors[0].code, ErrorCode(24));
    EXPECT_EQ(c.errors[0].line, 2 + 2 * MaxTarget);
    EXPECT_EQ(Word(c, 0, 0, HeaderBlockCount), MaxTarget);
}

TEST(ParseScript, StopsAfterPass1WithItsErrors) {
    InstructionTable table;
    std::vector<CompileError> errors = {{7, 7}};
    NameTable names;
    std::vector<std::string> bad = {"POINT A", "END"};
    EXPECT_EQ(ParseScript(bad, table, errors, names), FailedInPass1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 1);
    std::vector<std::string> good = {"POINT A 1 2", "END"};
    EXPECT_EQ(ParseScript(good, table, errors, names), CompiledOk);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(NameCount(names, TypePoint), 1);
}

}  // namespace
}  // namespace zir
