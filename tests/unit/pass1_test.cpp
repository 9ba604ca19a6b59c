// What pass 1 leaves beside the instructions: the names in declaration order, the lines of the
// CONSTRUCTION headers, and the limits of what a table can hold. Opcodes, operands and errors
// of both passes are in pass2_test.cpp.
#include "frontend/pass1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"

namespace zir {
namespace {

struct Compiled {
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    std::vector<int> constructions = {99};
};

Compiled Compile(const std::vector<std::string>& lines, int errors = 0) {
    Compiled c;
    std::vector<std::string_view> views(lines.begin(), lines.end());
    EXPECT_EQ(RunPass1(views, c.table, c.errors, c.names, &c.constructions), errors);
    return c;
}

using Names = std::vector<std::string>;

// Parameters are not declared by pass 1; a name twice in one statement is declared twice;
// MARKLINE declares a new second token as a point even when the statement is rejected.
TEST(Pass1Names, DeclaredInStatementOrderWithARowPerType) {
    Compiled c =
        Compile({"P = MIDDLE A, B", "LINE G 0 0 1 1", "K = CIRCLE P, A", "X = CROSS G, G",
                 "TITLE \"Hallo, Welt\"", "TEXT \"Hallo, Welt\" 1", "MENUITEM \"Weiter\"", "CALL S",
                 "L = LINE L, L", "MARKLINE G, Z", "END", "  construction S X Y", "REPEAT",
                 "ANIMATION T", "REPEAT", "CONSTRUCTION,U", "REPEAT", "' CONSTRUCTION V"},
                1);
    EXPECT_EQ(c.names.rows[TypePoint], (Names{"P", "A", "B", "X", "L", "L", "Z"}));
    EXPECT_EQ(c.names.rows[TypeLine], (Names{"G", "L"}));
    EXPECT_EQ(c.names.rows[TypeCircle], Names{"K"});
    EXPECT_EQ(c.names.rows[TypeText], (Names{"Hallo, Welt", "Weiter"}));
    EXPECT_EQ(c.names.rows[TypeSubroutine], (Names{"S", "T", "U"}));
    EXPECT_EQ(SymbolLookup("L", c.names).type, TypePoint) << "the point row comes first";
    EXPECT_EQ(c.constructions, (std::vector<int>{11, 15})) << "the headers' line indexes";
}

TEST(Pass1Limits, NamesAndSubroutinesBeyondWhatATargetHoldsAreRejected) {
    std::vector<std::string> points, subroutines = {"END"};
    for (int i = 0; i <= MaxNamesPerRow; ++i)
        points.push_back("POINT P" + std::to_string(i) + " 1 2");
    points.push_back("END");
    Compiled c = Compile(points, 1);
    EXPECT_EQ(c.errors[0].code, ErrorCode(MsgInternal));
    EXPECT_EQ(c.errors[0].line, MaxNamesPerRow + 1);
    EXPECT_EQ(NameCount(c.names, TypePoint), MaxNamesPerRow);
    for (int i = 0; i <= MaxTarget; ++i) {
        subroutines.insert(subroutines.end(), {"ANIMATION S" + std::to_string(i), "REPEAT"});
    }
    c = Compile(subroutines, 1);
    EXPECT_EQ(c.errors[0].code, ErrorCode(MsgInternal));
    EXPECT_EQ(c.errors[0].line, 2 + 2 * MaxTarget);
    EXPECT_EQ(c.table.blocks[0][0][HeaderBlockCount], MaxTarget);
}

}  // namespace
}  // namespace zir
