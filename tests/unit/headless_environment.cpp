// Every unit test runs against the headless platform backend, so that no test opens a real
// window or waits in real time, also on a machine with a display.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

class HeadlessEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        zir::PlatformOptions options;
        options.backend = zir::BackendKind::Headless;
        std::string message;
        ASSERT_EQ(zir::PlatformStart(options, message), zir::PlatformError::None) << message;
    }
    void TearDown() override { zir::PlatformStop(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

}  // namespace
