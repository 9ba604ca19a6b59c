// The exported ZIRS_MENU with nothing to choose; what the viewer sees and chooses is checked
// by the menu_* script cases.
#include "interp/menus.h"

#include <gtest/gtest.h>

#include <string>

#include "headless_restart.h"
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

}  // namespace
}  // namespace zir
