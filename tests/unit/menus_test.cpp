// The menu where a script case cannot reach it: the exported ZIRS_MENU with nothing to
// choose, and a compiled menu whose item count does not match its items (what the viewer
// sees and chooses is checked by the menu_* script cases).
#include "interp/menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "frontend/instructions.h"
#include "headless_restart.h"
#include "interp/engine.h"
#include "interp/objects.h"
#include "platform/platform.h"
#include "zirkula.h"

namespace zir {
namespace {

class Menus : public ::testing::Test {
  protected:
    void TearDown() override { test::RestoreHeadless(); }
    void Start(const std::string& input) {
        ASSERT_TRUE(test::RestartHeadless(input, "menus-input.txt"));
        ASSERT_TRUE(ScreenOpen(640, 480, 16));
    }
    static double NowMs() { return ClockSeconds() * 1000.0; }
};

TEST_F(Menus, TheExportedMenuCancelsWhenThereIsNothingToChoose) {
    Start("3000 key Enter\n");
    EXPECT_EQ(ZIRS_MENU(nullptr), -1);
    ZirStringList none{nullptr, 0};
    EXPECT_EQ(ZIRS_MENU(&none), -1);
    EXPECT_LT(NowMs(), 100) << "nothing waited for the viewer";
    char first[] = "Erster", second[] = "Zweiter";
    char* texts[] = {first, second};
    ZirStringList two{texts, 2};
    EXPECT_EQ(ZIRS_MENU(&two), 0);
}

TEST_F(Menus, AMenuWhoseCompiledCountDiffersFromItsItemsEndsTheRunWith129) {
    const std::vector<std::string> lines{
        "MENU", "MENUITEM \"A\"", "POINT P 1 1", "MENUITEM \"B\"", "ENDMENU", "POINT Q 2 2", "END"};
    InstructionTable program;
    NameTable names;
    std::vector<CompileError> errors;
    ASSERT_EQ(ParseScript(lines, program, errors, names), CompiledOk);
    int menuSlot = -1;
    for (std::size_t slot = 0; slot < program.blocks[0].size(); ++slot) {
        if (OpcodeOf(program.blocks[0][slot][0]) == OpcodeNumber(Op::Menu)) {
            menuSlot = static_cast<int>(slot);
        }
    }
    ASSERT_GT(menuSlot, 0);
    std::int32_t& word0 = program.blocks[0][static_cast<std::size_t>(menuSlot)][0];
    ASSERT_EQ(TargetOf(word0), 2);

    Start("3000 key Enter\n");
    ObjectStore store = CreateObjectStore(names);
    EXPECT_EQ(RunProgram(program, names, store), 255) << "the count as compiled runs";

    for (int tampered : {1, 3}) {
        SCOPED_TRACE(tampered);
        word0 = WithTarget(word0, tampered);
        Start("3000 key Enter\n");
        store = CreateObjectStore(names);
        EXPECT_EQ(RunProgram(program, names, store), 129);
        EXPECT_EQ(store.tables.points[0].x, 0.0) << "no item ran";
        EXPECT_LT(NowMs(), 3000) << "no menu was shown";
    }
}

}  // namespace
}  // namespace zir
