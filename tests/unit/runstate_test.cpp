#include "runtime/runstate.h"

#include <gtest/gtest.h>

namespace zir {
namespace {

// DEFAULTS and TOOLDEFAULTS write whole words in field order; a word that holds two halves
// takes the first field in its low half, and a word past the last is ignored.
TEST(RunState, WordsFollowTheFieldOrderWithTheFirstHalfLow) {
    RunState s;
    const RunState before = s;
    SetRunWord(s, RunWord::ScreenDepth, 16);
    SetRunWord(s, RunWord::ToolSize, 200u << 16 | 120u);
    SetRunWord(s, RunWord::AuxColour, 0x123456);
    SetRunWord(s, RunWord::FrameSeconds, 0x3CA3D70A);  // 0.02f
    SetRunWord(s, RunWord::Count, 7);
    EXPECT_EQ(s.screenDepth, 16);
    EXPECT_EQ(s.toolSizeSmall, 120);
    EXPECT_EQ(s.toolSizeLarge, 200);
    EXPECT_EQ(s.auxColour, 0x123456u);
    EXPECT_EQ(s.rulerColour, before.rulerColour) << "the neighbouring word stays";
    EXPECT_FLOAT_EQ(s.frameSeconds, 0.02f);
}

}  // namespace
}  // namespace zir
