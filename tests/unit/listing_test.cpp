// Whole programs as the listing shows them: where the blocks lie, their headings, and the
// links of menus and calls.
#include "frontend/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"

namespace zir {
namespace {

std::string Listing(const std::vector<std::string>& lines, std::int32_t result = CompiledOk) {
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    EXPECT_EQ(ParseScript(lines, table, errors, names), result);
    return ListProgram(table, names);
}

// An inner menu is passed over up to its end: its items are not the outer menu's.
TEST(Listing, ShowsEveryBlockWithDecodedOperandsAndLinks) {
    EXPECT_EQ(Listing({"POINT A, 1.5, -2",
                       "LINEPOLAR G 0 0 22.7",
                       "Z1, Z2 = ICROSS K, G",
                       "CIRCLE K 0 0 5 &HFF0000 2 DEFAULT 90",
                       "CALL S A G",
                       "MENU",
                       "MENUITEM \"a b\"",
                       "MENU &HFF",
                       "MENUITEM \"b\"",
                       "EXITMENU",
                       "ENDMENU",
                       "EXITMENU",
                       "REPEATMENU",
                       "END",
                       "CONSTRUCTION S P, L",
                       "L2 = LINEPOLAR P, L, 30",
                       "REPEAT",
                       "INTERACTION T",
                       "CLICKABLE A Z1 Z2",
                       "REPEAT 2"}),
              "block 0  main program  slots 1-14  subroutines 2\n"
              "    0:1        1 POINT                    A 1.5 -2 - - -\n"
              "    0:2        3 LINEPOLAR                G 0 0 22.6992deg - - -\n"
              "    0:3       19 CROSS.CIRCLE.LINE I      Z1 Z2 K G - - -\n"
              "    0:4        4 CIRCLE                   K 0 0 5 #FF0000 2 - 90deg\n"
              "    0:5       48 CALL                     block 1 S A G\n"
              "    0:6       88 MENU                     n=1 - - ->13\n"
              "    0:7       89 MENUITEM                 ->5 \"a b\"\n"
              "    0:8       88 MENU                     n=1 #0000FF - ->11\n"
              "    0:9       89 MENUITEM                 ->11 \"b\"\n"
              "    0:10      90 EXITMENU                 ->11\n"
              "    0:11      91 ENDMENU                  ->11\n"
              "    0:12      90 EXITMENU                 ->13\n"
              "    0:13      92 REPEATMENU               ->5\n"
              "    0:14     255 END\n"
              "block 1  CONSTRUCTION S  parameters 2: P Punkt, L Gerade  slots 2-3\n"
              "    1:2       15 LINEPOLAR.POINT          L2 P L 30deg - - -\n"
              "    1:3       49 REPEAT                   -\n"
              "block 2  INTERACTION T  slots 1-2\n"
              "    2:1       52 CLICKABLE                A Z1 Z2\n"
              "    2:2       49 REPEAT                   2\n");
}

// Main statements after the subroutines follow the last earlier one; a subroutine left open
// runs to its last statement; a REPEAT in the main program is rejected in its own slot
// without moving the later statements; a menu in the first slot links to slot 0.
TEST(Listing, BlocksLieWhereTheirStatementsAre) {
    EXPECT_EQ(Listing({"MENU", "MENUITEM \"a\"", "EXITMENU", "REPEATMENU", "REPEAT", "END",
                       "ANIMATION T", "REPEAT 5", "POINT B 3 4", "CONSTRUCTION S X, G, K",
                       "X = MIDDLE B, B", "LINE G 0 0 1 1", "CIRCLE K 0 0 1", "REPEAT",
                       "POINT C 5 6", "ANIMATION V", "POINT D 1 2", "POINT E 1 2"},
                      FailedInPass2),
              "block 0  main program  slots 1-8  subroutines 3\n"
              "    0:1       88 MENU                     n=1 - - ->4\n"
              "    0:2       89 MENUITEM                 ->0 \"a\"\n"
              "    0:3       90 EXITMENU                 ->4\n"
              "    0:4       92 REPEATMENU               ->0\n"
              "    0:5       49 REPEAT                   0\n"
              "    0:6      255 END\n"
              "    0:7        1 POINT                    B 3 4 - - -\n"
              "    0:8        1 POINT                    C 5 6 - - -\n"
              "block 1  ANIMATION T  slots 1-1\n"
              "    1:1       49 REPEAT                   5\n"
              "block 2  CONSTRUCTION S  parameters 3: X Punkt, G Gerade, K Kreis  slots 2-5\n"
              "    2:2        9 MIDDLE                   X B B - - -\n"
              "    2:3        2 LINE                     G 0 0 1 1 - - -\n"
              "    2:4        4 CIRCLE                   K 0 0 1 - - - -\n"
              "    2:5       49 REPEAT                   -\n"
              "block 3  ANIMATION V  slots 1-2\n"
              "    3:1        1 POINT                    D 1 2 - - -\n"
              "    3:2        1 POINT                    E 1 2 - - -\n");
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
