// The platform layer with the headless backend: the virtual clock, sleeps, polls and waits
// against timed viewer input, the screen and its frames, and the console.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "draw/raster.h"
#include "picture_check.h"
#include "platform/platform.h"
#include "platform/png.h"

namespace zir {
namespace {

namespace fs = std::filesystem;

double NowMs() {
    return ClockSeconds() * 1000.0;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class Headless : public ::testing::Test {
  protected:
    // Starts a fresh headless platform with this viewer input.
    void Start(const std::string& input, const std::string& framesDir = "") {
        PlatformOptions options;
        options.backend = BackendKind::Headless;
        options.framesDir = framesDir;
        if (!input.empty()) {
            fs::create_directories(ZIR_TEST_OUTPUT_DIR);
            // One file per test: ctest runs tests side by side.
            options.inputPath = std::string(ZIR_TEST_OUTPUT_DIR) + "/" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                ".input";
            std::ofstream(options.inputPath) << input;
        }
        std::string message;
        ASSERT_EQ(PlatformStart(options, message), PlatformError::None) << message;
    }
    void SetUp() override { Start(""); }
    void TearDown() override { Start(""); }
};

TEST_F(Headless, TheVirtualClockRunsOnSleepsAndCostsNoRealTime) {
    auto realStart = std::chrono::steady_clock::now();
    EXPECT_EQ(NowMs(), 0);
    SleepMs(2000);
    EXPECT_EQ(NowMs(), 2000);
    auto realMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - realStart)
                      .count();
    EXPECT_LT(realMs, 1000) << "a virtual sleep must not wait in real time";
    SleepMs(0);
    SleepMs(-30);
    EXPECT_EQ(NowMs(), 2000);
    SleepMs(1);
    SleepMs(149);  // two steps of 50 and the rest
    EXPECT_EQ(NowMs(), 2150);
}

TEST_F(Headless, ALongSleepEndsAtTheStepWhereAKeyIsWaitingAndLeavesTheKey) {
    Start("500 key r\n1510 key s\n");
    SleepMs(2000);
    EXPECT_EQ(NowMs(), 500);
    EXPECT_EQ(PollKey(), "r");
    SleepMs(2000);  // the key at 1510 is seen after the step that ends at 1550
    EXPECT_EQ(NowMs(), 1550);
    EXPECT_EQ(PollKey(), "s");
    SleepMs(2000);
    EXPECT_EQ(NowMs(), 3550);
}

TEST_F(Headless, ShortSleepsAreNeverCutShortButLongOnesReturnAtOnceForAWaitingKey) {
    Start("0 key a\n");
    SleepMs(60);
    EXPECT_EQ(NowMs(), 60);
    SleepMs(20);
    EXPECT_EQ(NowMs(), 80);
    SleepMs(100);
    EXPECT_EQ(NowMs(), 80);
    EXPECT_EQ(PollKey(), "a");
    EXPECT_EQ(PollKey(), "");
}

TEST_F(Headless, InputEventsTakeEffectWhenTheClockReachesThem) {
    Start(
        "300 key a\n"
        "300 press 5 6\n"
        "400 move 7 8\n"
        "500 release 9 10\n"
        "600 click 700 10\n");
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    SleepMs(299);
    EXPECT_EQ(PollKey(), "");
    EXPECT_EQ(PollMouse().buttons, 0);
    SleepMs(1);
    EXPECT_EQ(PollKey(), "a");
    MouseState m = PollMouse();
    EXPECT_EQ(m.x, 5);
    EXPECT_EQ(m.y, 6);
    EXPECT_EQ(m.buttons, 1);
    SleepMs(100);
    m = PollMouse();
    EXPECT_EQ(m.x, 7);
    EXPECT_EQ(m.buttons, 1);
    SleepMs(100);
    m = PollMouse();
    EXPECT_EQ(m.x, 9);
    EXPECT_EQ(m.y, 10);
    EXPECT_EQ(m.buttons, 0);
    // A press beyond the screen's right edge is outside the window: buttons negative.
    SleepMs(100);
    EXPECT_EQ(PollMouse().buttons, -1);
    SleepMs(30);
    EXPECT_LT(PollMouse().buttons, 0);
}

TEST_F(Headless, RepeatedPollsWithoutSleepLetOneMillisecondPassPerRound) {
    Start("50 key x\n");
    SleepMs(20);
    PollKey();
    PollMouse();
    EXPECT_EQ(NowMs(), 20) << "a sleep followed by one poll of each kind costs nothing more";
    for (int i = 0; i < 10; ++i) {
        PollKey();
        PollMouse();
    }
    EXPECT_EQ(NowMs(), 30);
    int polls = 0;
    while (PollKey().empty() && polls < 1000) ++polls;
    EXPECT_EQ(NowMs(), 50) << "a loop that only polls reaches the next event";
}

TEST_F(Headless, WaitingForTheViewerJumpsToTheNextEventAndClosesWhenNoneIsLeft) {
    Start("1000 key a\n5000 click 10 10\n");
    ASSERT_TRUE(ScreenOpen(100, 100, 16));
    WaitForInput(20);
    EXPECT_EQ(NowMs(), 1000);
    WaitForInput(20);
    EXPECT_EQ(NowMs(), 1000) << "a waiting key ends the wait at once";
    EXPECT_EQ(PollKey(), "a");
    WaitForInput(20);
    EXPECT_EQ(NowMs(), 5000);
    EXPECT_EQ(PollMouse().buttons, 1);
    WaitForInput(20);
    EXPECT_EQ(NowMs(), 5030);
    EXPECT_EQ(PollMouse().buttons, 0);
    EXPECT_FALSE(CloseRequested());
    WaitForInput(20);
    EXPECT_TRUE(CloseRequested());
    SleepMs(2000);
    EXPECT_EQ(NowMs(), 5030) << "nothing waits once the window is closed";
}

TEST_F(Headless, ACloseEventEndsASleepAtItsTime) {
    Start("700 close\n");
    SleepMs(2000);
    EXPECT_EQ(NowMs(), 700);
    EXPECT_TRUE(CloseRequested());
}

TEST_F(Headless, MoreThanADayOfVirtualTimeCountsAsClosing) {
    for (int hour = 0; hour < 24; ++hour) SleepMs(3'600'000);
    EXPECT_FALSE(CloseRequested());
    SleepMs(1);
    EXPECT_TRUE(CloseRequested());
}

TEST_F(Headless, TheScreenOpensBlackAtSixteenBitsAndKeepsItsOldSizeWhenRefused) {
    ScreenInfo desktop = ScreenQuery();
    EXPECT_EQ(desktop.bitsPerPixel, 16);
    EXPECT_GT(desktop.width, 0);
    EXPECT_EQ(ScreenImage(), nullptr);
    EXPECT_EQ(ScreenImageForDrawing(), nullptr);
    EXPECT_FALSE(ScreenOpen(640, 480, 32));
    ASSERT_TRUE(ScreenOpen(640, 480, 16));
    EXPECT_EQ(ImageColourAt(ScreenImage(), 639, 479), Colour{});
    EXPECT_FALSE(ScreenOpen(0, 480, 16));
    EXPECT_FALSE(ScreenOpen(9000, 480, 16));
    ScreenInfo screen = ScreenQuery();
    EXPECT_EQ(screen.width, 640);
    EXPECT_EQ(screen.height, 480);
    ASSERT_TRUE(ScreenOpen(800, 600, 16));
    EXPECT_EQ(ScreenQuery().width, 800);
    EXPECT_EQ(ImageBytesPerPixel(ScreenImage()), 2);
}

TEST_F(Headless, FramesAreRecordedWhenTheChangedScreenIsNextShown) {
    fs::path dir = fs::path(ZIR_TEST_OUTPUT_DIR) / "frames";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "frame-00042.png") << "left from an earlier run";
    std::ofstream(dir / "notes.txt") << "not ours";
    Start("", dir.string());
    EXPECT_FALSE(fs::exists(dir / "frame-00042.png"));
    EXPECT_TRUE(fs::exists(dir / "notes.txt"));

    ASSERT_TRUE(ScreenOpen(64, 48, 16));
    SleepMs(100);  // frame 0: the new black screen, at 0 ms
    SleepMs(100);  // unchanged: no frame
    RasterLine(nullptr, 10, 10, 20, 20, Colour{0xFF0000}, LineKind::FilledBox);
    PollKey();  // frame 1 at 200 ms
    PollMouse();
    WaitForInput(10);  // no input left: closes, no new frame
    PlatformStop();

    EXPECT_EQ(ReadFile(dir / "frames.tsv"), "frame\tms\n0\t0\n1\t200\n");
    EXPECT_TRUE(fs::exists(dir / "frame-00000.png"));
    EXPECT_FALSE(fs::exists(dir / "frame-00002.png"));
    Image second = test::ReadPng((dir / "frame-00001.png").string());
    ASSERT_TRUE(second);
    EXPECT_EQ(ImageColourAt(second.get(), 15, 15), Colour{0xFF0000});
    EXPECT_EQ(ImageColourAt(second.get(), 5, 5), Colour{});
}

TEST_F(Headless, AnUnusableFramesDirectoryOrInputFileIsRefusedAtStart) {
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.framesDir = "/proc/zirkula-frames";
    std::string message;
    EXPECT_EQ(PlatformStart(options, message), PlatformError::FramesDir);
    EXPECT_NE(message.find("/proc/zirkula-frames"), std::string::npos);
    options.framesDir.clear();
    options.inputPath = "/nonexistent/viewer.txt";
    EXPECT_EQ(PlatformStart(options, message), PlatformError::InputFile);
}

// The console on pipes instead of the terminal.
class Console : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(in_), 0);
        ASSERT_EQ(::pipe(out_), 0);
        ::fcntl(out_[0], F_SETFL, O_NONBLOCK);
        PlatformOptions options;
        options.backend = BackendKind::Headless;
        options.consoleInFd = in_[0];
        options.consoleOutFd = out_[1];
        std::string message;
        ASSERT_EQ(PlatformStart(options, message), PlatformError::None);
        const char* lcAll = std::getenv("LC_ALL");
        savedLcAll_ = lcAll ? lcAll : "";
        hadLcAll_ = lcAll != nullptr;
    }
    void TearDown() override {
        if (hadLcAll_) {
            ::setenv("LC_ALL", savedLcAll_.c_str(), 1);
        } else {
            ::unsetenv("LC_ALL");
        }
        PlatformOptions options;
        options.backend = BackendKind::Headless;
        std::string message;
        PlatformStart(options, message);
        for (int fd : {in_[0], in_[1], out_[0], out_[1]}) {
            if (fd >= 0) ::close(fd);
        }
    }
    void Type(const std::string& text) {
        ASSERT_EQ(::write(in_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void EndInput() {
        ::close(in_[1]);
        in_[1] = -1;
    }
    std::string Printed() {
        std::string text;
        char buffer[512];
        for (ssize_t n; (n = ::read(out_[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
        return text;
    }

    int in_[2] = {-1, -1};
    int out_[2] = {-1, -1};
    std::string savedLcAll_;
    bool hadLcAll_ = false;
};

TEST_F(Console, LinesAreWrittenInUtf8UnlessTheLocaleIsLatin) {
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ConsoleWrite(
        "Dr\xFC"
        "cke die [Enter]-Taste");
    EXPECT_EQ(Printed(),
              "Dr\u00FC"
              "cke die [Enter]-Taste\n");
    ::setenv("LC_ALL", "C", 1);
    ConsoleWrite("\xE4");
    EXPECT_EQ(Printed(), "\u00E4\n");
    ::setenv("LC_ALL", "de_DE.ISO-8859-1", 1);
    ConsoleWrite("\xE4");
    EXPECT_EQ(Printed(), "\xE4\n");
}

TEST_F(Console, LinesAreReadWithoutTheirEndsAndTheEndOfInputReturnsAtOnce) {
    Type("erste\r\nzweite\n\ndritte");
    EndInput();
    EXPECT_EQ(ConsoleReadLine(), "erste");
    EXPECT_EQ(ConsoleReadLine(), "zweite");
    EXPECT_EQ(ConsoleReadLine(), "");
    EXPECT_EQ(ConsoleReadLine(), "dritte");
    EXPECT_EQ(ConsoleReadLine(), std::nullopt);
    EXPECT_EQ(ConsoleReadLine(), std::nullopt);
}

}  // namespace
}  // namespace zir
