// Whole programs as the listing shows them: where the blocks lie, their headings, and the
// links of menus and calls.
#include "frontend/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"

namespace zir {
namespace {

// Items link to the slot before their MENU (slot 0 for a menu in the first slot), exits and
// ends to the menu's end; an inner menu is passed over up to its end. Main statements after
// the subroutines follow the last earlier one, and a subroutine left open runs to its last
// statement.
TEST(Listing, ShowsEveryBlockWithDecodedOperandsAndLinks) {
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    const std::vector<std::string> script = {"MENU",
                                             "MENUITEM \"a b\"",
                                             "MENU &HFF",
                                             "MENUITEM \"b\"",
                                             "ENDMENU",
                                             "EXITMENU",
                                             "REPEATMENU",
                                             "POINT A, 1.5, -2",
                                             "LINEPOLAR G 0 0 22.7",
                                             "Z1, Z2 = ICROSS K, G",
                                             "CIRCLE K 0 0 5 &HFF0000 2 DEFAULT 90",
                                             "CALL S A G",
                                             "END",
                                             "CONSTRUCTION S P, L",
                                             "L2 = LINEPOLAR P, L, 30",
                                             "REPEAT",
                                             "POINT B 3 4",
                                             "ANIMATION V",
                                             "POINT D 1 2"};
    ASSERT_EQ(ParseScript(script, table, errors, names), CompiledOk);
    EXPECT_EQ(ListProgram(table, names),
              "block 0  main program  slots 1-14  subroutines 2\n"
              "    0:1       88 MENU                     n=1 - - ->7\n"
              "    0:2       89 MENUITEM                 ->0 \"a b\"\n"
              "    0:3       88 MENU                     n=1 #0000FF - ->5\n"
              "    0:4       89 MENUITEM                 ->5 \"b\"\n"
              "    0:5       91 ENDMENU                  ->5\n"
              "    0:6       90 EXITMENU                 ->7\n"
              "    0:7       92 REPEATMENU               ->0\n"
              "    0:8        1 POINT                    A 1.5 -2 - - -\n"
              "    0:9        3 LINEPOLAR                G 0 0 22.6992deg - - -\n"
              "    0:10      19 CROSS.CIRCLE.LINE I      Z1 Z2 K G - - -\n"
              "    0:11       4 CIRCLE                   K 0 0 5 #FF0000 2 - 90deg\n"
              "    0:12      48 CALL                     block 1 S A G\n"
              "    0:13     255 END\n"
              "    0:14       1 POINT                    B 3 4 - - -\n"
              "block 1  CONSTRUCTION S  parameters 2: P Punkt, L Gerade  slots 2-3\n"
              "    1:2       15 LINEPOLAR.POINT          L2 P L 30deg - - -\n"
              "    1:3       49 REPEAT                   -\n"
              "block 2  ANIMATION V  slots 1-1\n"
              "    2:1        1 POINT                    D 1 2 - - -\n");
}

}  // namespace
}  // namespace zir
