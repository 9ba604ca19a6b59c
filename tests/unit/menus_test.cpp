// The menu on the headless platform: its size measured against the item font, the rows a
// click and the arrow keys reach, the pictures the viewer is shown while it waits, the
// exported ZIRS_MENU, and a compiled menu whose item count does not match its items.
#include "interp/menus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "draw/fonts.h"
#include "frontend/compiler.h"
#include "frontend/instructions.h"
#include "headless_restart.h"
#include "interp/engine.h"
#include "interp/objects.h"
#include "picture_check.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "runtime/runstate.h"
#include "zirkula.h"

namespace zir {
namespace {

constexpr Colour Black{0x000000};
constexpr Colour Dark{0x909090};  // the menu's bottom and right edge

using Frame = test::RecordedFrame;

class Menus : public ::testing::Test {
  protected:
    void TearDown() override { test::RestoreHeadless(); }
    // A fresh headless platform with this viewer input and a black 640 x 480 screen,
    // recording every picture shown.
    void Start(const std::string& input) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        framesDir_ = test::OutputPath("menu-frames/" + name);
        PlatformStop();
        std::filesystem::remove_all(framesDir_);
        ASSERT_TRUE(test::RestartHeadless(input, "menus-input.txt", framesDir_));
        ASSERT_TRUE(ScreenOpen(640, 480, 16));
    }
    std::vector<Frame> Frames() { return test::StopAndReadFrames(framesDir_); }
    static double NowMs() { return ClockSeconds() * 1000.0; }
    static Colour ScreenPixel(int x, int y) { return ImageColourAt(ScreenImage(), x, y); }

    std::string framesDir_;
};

const std::vector<std::string> Three{"Eins", "Zwei", "Dreiundzwanzig"};

int MenuWidth(const std::vector<std::string>& items) {
    int widest = 0;
    for (const std::string& item : items) {
        widest = std::max(widest, StringWidth(item, BuiltinFont(FontFamily::Sans, 16)));
    }
    return widest + 8;
}

TEST_F(Menus, ThreeItemsMakeAMenuSixtyHighAndAsWideAsTheWidestItemPlusEight) {
    Start("3000 key Enter\n");
    EXPECT_EQ(ShowMenu(Three), 0);
    // The picture under the menu is back.
    EXPECT_EQ(ScreenPixel(5, 3), Black);
    EXPECT_EQ(ScreenPixel(10, 59), Black);
    const std::vector<Frame> frames = Frames();
    ASSERT_GE(frames.size(), 2u);
    const Frame& shown = frames[0];
    const int w = MenuWidth(Three);
    EXPECT_TRUE(shown.is(w - 1, 30, Dark));
    EXPECT_TRUE(shown.is(w, 30, Black));
    EXPECT_TRUE(shown.is(10, 59, Dark));
    EXPECT_TRUE(shown.is(10, 60, Black));
    // The first row highlighted in the first menu's colours.
    EXPECT_TRUE(shown.is(5, 3, Colour{0x000080}));
    EXPECT_TRUE(shown.is(5, 23, Colour{0xC0C0C0}));
}

TEST_F(Menus, AClickChoosesItsRowAfterOneSecondAndOutsideCancels) {
    const int w = MenuWidth(Three);
    // y 20 is the second row's first line; x = width - 1 its last column.
    Start("3000 click " + std::to_string(w - 1) + " 20\n");
    EXPECT_EQ(ShowMenu(Three), 1);
    EXPECT_GE(NowMs(), 4000);
    EXPECT_LT(NowMs(), 4100);

    Start("3000 click 10 19\n");
    EXPECT_EQ(ShowMenu(Three), 0);

    Start("3000 click " + std::to_string(w) + " 20\n");
    EXPECT_EQ(ShowMenu(Three), -1);
    EXPECT_LT(NowMs(), 3100) << "a click outside cancels at once";

    Start("3000 click 10 60\n");
    EXPECT_EQ(ShowMenu(Three), -1);

    Start("3000 key Esc\n");
    EXPECT_EQ(ShowMenu(Three), -1);
}

TEST_F(Menus, TheArrowKeysStopAtTheFirstAndTheLastItem) {
    Start("3000 key Up\n3100 key Enter\n");
    EXPECT_EQ(ShowMenu(Three), 0);
    Start("3000 key Down\n3100 key Down\n3200 key Down\n3300 key Down\n3400 key Enter\n");
    EXPECT_EQ(ShowMenu(Three), 2);
    Start("3000 key Down\n3100 key Down\n3200 key Down\n3300 key Up\n3400 key Enter\n");
    EXPECT_EQ(ShowMenu(Three), 1);
}

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
