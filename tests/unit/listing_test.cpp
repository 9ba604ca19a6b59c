#include "frontend/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"

namespace zir {
namespace {

std::string Listing(const std::vector<std::string>& lines) {
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    EXPECT_EQ(ParseScript(lines, table, errors, names), CompiledOk);
    return ListProgram(table, names);
}

TEST(Listing, ShowsEveryBlockWithDecodedOperands) {
    std::string listing = Listing({
        "POINT A, 1.5, -2",
        "LINEPOLAR G 0 0 22.7",
        "Z1, Z2 = ICROSS K, G",
        "CIRCLE K 0 0 5 &HFF0000 2 DEFAULT 90",
        "MARKLINE G, 3, 4",
        "CALL S A G",
        "MENU",
        "MENUITEM \"a b\"",
        "REPEATMENU",
        "END",
        "CONSTRUCTION S P, L",
        "L2 = LINEPOLAR P, L, 30",
        "REPEAT",
        "INTERACTION T",
        "CLICKABLE A Z1 Z2",
        "REPEAT 2",
    });
    EXPECT_EQ(listing,
              "block 0  main program  slots 1-10  subroutines 2\n"
              "    0:1        1 POINT                    A 1.5 -2 - - -\n"
              "    0:2        3 LINEPOLAR                G 0 0 22.6992deg - - -\n"
              "    0:3       19 CROSS.CIRCLE.LINE I      Z1 Z2 K G - - -\n"
              "    0:4        4 CIRCLE                   K 0 0 5 #FF0000 2 - 90deg\n"
              "    0:5       34 MARKLINE                 G numbers 3 4 -\n"
              "    0:6       48 CALL                     block 1 S A G\n"
              "    0:7       88 MENU                     n=1 - - ->9\n"
              "    0:8       89 MENUITEM                 ->6 \"a b\"\n"
              "    0:9       92 REPEATMENU               ->6\n"
              "    0:10     255 END\n"
              "block 1  CONSTRUCTION S  parameters 2: P Punkt, L Gerade  slots 2-3\n"
              "    1:2       15 LINEPOLAR.POINT          L2 P L 30deg - - -\n"
              "    1:3       49 REPEAT                   -\n"
              "block 2  INTERACTION T  slots 1-2\n"
              "    2:1       52 CLICKABLE                A Z1 Z2\n"
              "    2:2       49 REPEAT                   2\n");
}

TEST(Listing, UnknownWordsShowRaw) {
    InstructionTable table;
    table.blocks.resize(1);
    table.blocks[0].resize(3);
    table.blocks[0][0][HeaderEnd] = 3;
    table.blocks[0][2] = {23, 1, -1, 0, 0, 0, 0, 0};
    EXPECT_EQ(ListProgram(table, NameTable{}),
              "block 0  main program  slots 1-2  subroutines 0\n"
              "    0:1        0 (empty)\n"
              "    0:2       23 ? 0x00000017 0x00000001 0xFFFFFFFF 0x00000000 0x00000000 "
              "0x00000000 0x00000000 0x00000000\n");
}

}  // namespace
}  // namespace zir
