// The platform layer with the headless backend: the virtual clock, the screen, the statement
// budget and the console; sleeps, polls and waits against timed viewer input are script cases.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "headless_restart.h"
#include "platform/platform.h"

namespace zir {
namespace {

class Headless : public ::testing::Test {
  protected:
    void TearDown() override { test::RestoreHeadless(); }
};

// Long sleeps cost virtual time only; more than a day of it counts as closing. How sleeps,
// polls and waits meet timed viewer input is seen by the script cases with "# input:".
TEST_F(Headless, VirtualSleepsPassNoRealTimeAndADayCloses) {
    ASSERT_TRUE(test::RestartHeadless("", "steps.input"));
    const auto realStart = std::chrono::steady_clock::now();
    SleepMs(86400000);
    EXPECT_FALSE(CloseRequested());
    SleepMs(1);
    EXPECT_TRUE(CloseRequested());
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(2));
}

TEST_F(Headless, TheScreenOpensBlackAtSixteenBitsAndKeepsItsOldSizeWhenRefused) {
    EXPECT_FALSE(ScreenOpen(640, 480, 32));
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 639, 479), Colour{});
    EXPECT_FALSE(ScreenOpen(9000, 480, 16));
    EXPECT_EQ(ScreenQuery().width, 640);
}

// Without a real-time limit every statement may run; once a limit has passed, the run ends at
// the next statement where the real clock is read, one in sixteen.
TEST_F(Headless, AStatementPastTheRealTimeLimitEndsTheRun) {
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.maxStatements = 0;
    std::string message;
    ASSERT_EQ(PlatformStart(options, message), PlatformError::None);
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(CountStatement()) << i;
    options.maxRealMs = 1;
    ASSERT_EQ(PlatformStart(options, message), PlatformError::None);
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(5)) {
    }
    int ended = 0;
    for (int i = 0; i < 16; ++i) ended += CountStatement() ? 0 : 1;
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(CloseRequested());
}

// The console on pipes instead of the terminal: lines go out in UTF-8 unless the locale is
// Latin, and come in without their ends; the end of the input returns at once.
TEST_F(Headless, TheConsoleConvertsForTheLocaleAndReadsWholeLines) {
    int in[2], out[2];
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.consoleInFd = in[0];
    options.consoleOutFd = out[1];
    std::string message;
    ASSERT_EQ(PlatformStart(options, message), PlatformError::None);
    const char* lcAll = std::getenv("LC_ALL");
    const std::string saved = lcAll ? lcAll : "";
    for (auto [locale, printed] :
         {std::pair{"de_DE.UTF-8", "\u00E4\n"}, {"de_DE.ISO-8859-1", "\xE4\n"}}) {
        ::setenv("LC_ALL", locale, 1);
        ConsoleWrite("\xE4");
        char buffer[16];
        EXPECT_EQ(std::string(buffer, std::max<ssize_t>(::read(out[0], buffer, 16), 0)), printed);
    }
    ::setenv("LC_ALL", saved.c_str(), 1);
    ASSERT_EQ(::write(in[1], "eins\r\n\nzwei", 11), 11);
    ::close(in[1]);
    for (const char* line : {"eins", "", "zwei"}) EXPECT_EQ(ConsoleReadLine(), line);
    EXPECT_EQ(ConsoleReadLine(), std::nullopt);
    test::RestoreHeadless();
    for (int fd : {in[0], out[0], out[1]}) ::close(fd);
}

}  // namespace
}  // namespace zir
