// The platform layer with the headless backend: the virtual clock, sleeps, polls and waits
// against timed viewer input, the screen and its frames, the statement budget and the console.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "draw/raster.h"
#include "headless_restart.h"
#include "picture_check.h"
#include "platform/platform.h"

namespace zir {
namespace {

namespace fs = std::filesystem;

class Headless : public ::testing::Test {
  protected:
    void TearDown() override { test::RestoreHeadless(); }
};

// Runs the steps against a fresh platform with this viewer input. sN sleeps N ms, wN waits
// for the viewer at most N ms, p polls key and mouse without looking, P polls keys until one
// comes, o opens a 640 x 480 screen; =N expects the clock at N ms, kT the key T polled ("k":
// none), mX,Y,B the mouse polled, c and ! the window closed and not closed.
::testing::AssertionResult Runs(const std::string& input, const std::string& steps) {
    if (auto started = test::RestartHeadless(input, "steps.input"); !started) return started;
    std::istringstream in(steps);
    for (std::string step; in >> step;) {
        const std::string arg = step.substr(1);
        std::string got;
        if (step[0] == 's') SleepMs(std::stoi(arg));
        if (step[0] == 'w') WaitForInput(std::stoi(arg));
        if (step[0] == 'p') PollKey(), PollMouse();
        for (int i = 0; step == "P" && i < 1000 && PollKey().empty(); ++i) {
        }
        if (step == "o" && !ScreenOpen(640, 480, 16)) return ::testing::AssertionFailure();
        if (step[0] == '=') got = "=" + std::to_string(std::lround(ClockSeconds() * 1000));
        if (step[0] == 'k') got = "k" + PollKey();
        if (const MouseState m = step[0] == 'm' ? PollMouse() : MouseState{}; step[0] == 'm') {
            got = "m" + std::to_string(m.x) + "," + std::to_string(m.y) + "," +
                  std::to_string(m.buttons);
        }
        if (step == "c" || step == "!") got = CloseRequested() ? "c" : "!";
        if (!got.empty() && got != step) {
            return ::testing::AssertionFailure() << "at " << step << " the platform gave " << got;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(Headless, TheVirtualClockAgainstTimedViewerInput) {
    const std::pair<const char*, const char*> cases[] = {
        // Sleeps of 0 or less pass no time; long ones go in steps of 50 ms and the rest.
        {"", "=0 s2000 =2000 s0 s-30 =2000 s1 s149 =2150"},
        // A long sleep ends after the step in which a key comes, and leaves the key.
        {"500 key r\n1510 key s\n", "s2000 =500 kr s2000 =1550 ks s2000 =3550"},
        // Short sleeps are never cut short; long ones return at once for a waiting key.
        {"0 key a\n", "s60 =60 s20 =80 s100 =80 ka k"},
        // Events take effect when the clock reaches them; a press beyond the screen's right
        // edge is outside the window.
        {"300 key a\n300 press 5 6\n400 move 7 8\n500 release 9 10\n600 click 700 10\n",
         "o s299 k m0,0,0 s1 ka m5,6,1 s100 m7,8,1 s100 m9,10,0 s100 m700,10,-1 s30 m700,10,-1"},
        // A sleep and one poll of each kind cost nothing more; polls alone pass 1 ms a round
        // and reach the next event.
        {"50 key x\n", "s20 p =20 p p p p p p p p p p =30 P =50"},
        // Waiting for the viewer jumps to the next event, ends at once for a waiting key, and
        // closes when no event is left; then nothing waits.
        {"1000 key a\n5000 click 10 10\n",
         "o w20 =1000 w20 =1000 ka w20 =5000 m10,10,1 w20 =5030 m10,10,0 ! w20 c s2000 =5030"},
        {"700 close\n", "s2000 =700 c"},
        // More than a day of virtual time counts as closing.
        {"", "s86400000 ! s1 c"}};
    const auto realStart = std::chrono::steady_clock::now();
    for (auto [input, steps] : cases) EXPECT_TRUE(Runs(input, steps)) << steps;
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(2))
        << "virtual sleeps must not wait in real time";
}

TEST_F(Headless, TheScreenOpensBlackAtSixteenBitsAndKeepsItsOldSizeWhenRefused) {
    EXPECT_FALSE(ScreenOpen(640, 480, 32));
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 639, 479), Colour{});
    EXPECT_FALSE(ScreenOpen(9000, 480, 16));
    EXPECT_EQ(ScreenQuery().width, 640);
}

// A frame is recorded when the changed screen is next shown, not when it is unchanged; the
// frames of an earlier run go, other files stay.
TEST_F(Headless, FramesAreRecordedWhenTheChangedScreenIsNextShown) {
    const fs::path dir = fs::path(ZIR_TEST_OUTPUT_DIR) / "frames";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "frame-00042.png") << "left from an earlier run";
    std::ofstream(dir / "notes.txt") << "not ours";
    ASSERT_TRUE(test::RestartHeadless("", "frames.input", dir.string()));
    EXPECT_FALSE(fs::exists(dir / "frame-00042.png"));
    EXPECT_TRUE(fs::exists(dir / "notes.txt"));
    ASSERT_TRUE(ScreenOpen(64, 48, 16));
    SleepMs(100);
    SleepMs(100);
    RasterLine(nullptr, 10, 10, 20, 20, Colour{0xFF0000}, LineKind::FilledBox);
    PollKey();
    WaitForInput(10);  // no input left: closes without a new frame
    const std::vector<test::RecordedFrame> frames = test::StopAndReadFrames(dir.string());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].ms, 0);
    EXPECT_EQ(frames[1].ms, 200);
    EXPECT_TRUE(frames[1].is(15, 15, Colour{0xFF0000}));
    EXPECT_TRUE(frames[1].is(5, 5, Colour{}));
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
