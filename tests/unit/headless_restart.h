// Restarting the headless platform inside a test, for tests that need timed viewer input or
// recorded frames.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace zir::test {

// Restarts the headless platform with this viewer input (written to the test output
// directory as inputName) and, when framesDir is not empty, frame recording there; the
// run-time settings start from their defaults.
::testing::AssertionResult RestartHeadless(const std::string& input, const std::string& inputName,
                                           const std::string& framesDir = "");
// Leaves the plain headless platform that every other test expects.
void RestoreHeadless();

}  // namespace zir::test
