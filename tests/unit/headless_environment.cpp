// Every unit test runs against the headless platform backend, so that no test opens a real
// window or waits in real time, also on a machine with a display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "headless_restart.h"
#include "picture_check.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace {

class HeadlessEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { zir::test::RestoreHeadless(); }
    void TearDown() override { zir::PlatformStop(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

}  // namespace

namespace zir::test {

::testing::AssertionResult RestartHeadless(const std::string& input, const std::string& inputName,
                                           const std::string& framesDir) {
    PlatformStop();
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    std::filesystem::create_directories(ZIR_TEST_OUTPUT_DIR);
    // Named after the running test too: ctest runs tests side by side, and two of them
    // writing one input file would read each other's input. Parameterised tests have
    // slashes in their names.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string owner = info ? std::string(info->test_suite_name()) + "." + info->name() + "-" : "";
    std::replace(owner.begin(), owner.end(), '/', '_');
    options.inputPath = std::string(ZIR_TEST_OUTPUT_DIR) + "/" + owner + inputName;
    std::ofstream(options.inputPath) << input;
    options.framesDir = framesDir;
    std::string message;
    if (PlatformStart(options, message) != PlatformError::None) {
        return ::testing::AssertionFailure() << message;
    }
    ResetSettings();
    return ::testing::AssertionSuccess();
}

std::vector<RecordedFrame> StopAndReadFrames(const std::string& framesDir) {
    SleepMs(1);      // presents the last change
    PlatformStop();  // and completes the table
    std::vector<RecordedFrame> frames;
    std::ifstream table(framesDir + "/frames.tsv");
    std::string line;
    std::getline(table, line);
    int number = 0;
    double ms = 0;
    while (table >> number >> ms) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%05d.png", number);
        frames.push_back(RecordedFrame{test::ReadPng(framesDir + name), ms});
    }
    return frames;
}

void RestoreHeadless() {
    PlatformStop();
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    std::string message;
    PlatformStart(options, message);
}

}  // namespace zir::test
