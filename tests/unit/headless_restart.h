// Restarting the headless platform inside a test, for tests that need timed viewer input or
// recorded frames.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/image.h"

namespace zir::test {

// Restarts the headless platform with this viewer input (written to the test output
// directory as inputName, after the running test's name, so that tests run side by side do
// not share it) and, when framesDir is not empty, frame recording there; the run-time
// settings start from their defaults.
::testing::AssertionResult RestartHeadless(const std::string& input, const std::string& inputName,
                                           const std::string& framesDir = "");
// Leaves the plain headless platform that every other test expects.
void RestoreHeadless();

// A picture the platform recorded, and the virtual time it was shown at.
struct RecordedFrame {
    Image image;
    double ms = 0;
    // Whether the pixel holds c as the screen stores it.
    bool is(int x, int y, Colour c) const {
        return ImageColourAt(image.get(), x, y) == ColourFrom565(Rgb565(c));
    }
};
// Presents the last change, ends the recording (the platform stops) and reads every picture
// recorded in framesDir, in order.
std::vector<RecordedFrame> StopAndReadFrames(const std::string& framesDir);

}  // namespace zir::test
