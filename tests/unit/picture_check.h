// Whole-picture checks against approved PNGs in tests/approved/.
//
// A mismatch fails the test and leaves NAME.actual.png and NAME.diff.png (differing pixels
// in red over a faded copy of the approved picture) in the test output directory. To
// approve the current pictures after a deliberate change: ZIR_APPROVE=1
// ./build/debug/tests/unit_tests
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/image.h"

namespace zir::test {

::testing::AssertionResult MatchesApproved(const std::string& name, const std::uint8_t* image);

// Reads an 8-bit RGB or RGBA PNG into a 32-bit image of 0x00RRGGBB pixels. Null when the
// file is missing or not such a PNG.
Image ReadPng(const std::string& path);

// Where tests write pictures for a person to look at.
std::string OutputPath(const std::string& fileName);

}  // namespace zir::test
