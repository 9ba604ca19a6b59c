#include "runtime/runstate.h"

#include <gtest/gtest.h>

namespace zir {
namespace {

TEST(RunState, AFreshRunHasTheDocumentedDefaults) {
    Settings().stepWait = 5;
    Settings().captions[0] = "Halt";
    ResetSettings();
    const RunState& s = Settings();
    EXPECT_FLOAT_EQ(s.frameSeconds, 0.05f);
    EXPECT_EQ(s.instrumentWait, 2000);
    EXPECT_EQ(s.frameWait, 50);
    EXPECT_EQ(s.stepWait, 2000);
    EXPECT_EQ(s.backgroundColour, Colour{0xFFFFFF});
    EXPECT_EQ(s.textColour, Colour{});
    EXPECT_EQ(s.pointShape, 0);
    EXPECT_EQ(s.lineStyle, 0xFFFF);
    EXPECT_EQ(s.drawColour, 0x010101u);
    EXPECT_EQ(s.lineWidth, 1);
    EXPECT_EQ(s.arcWidth, 2560);
    EXPECT_EQ(s.pointSize, 8);
    EXPECT_EQ(s.toolSizeSmall, 160);
    EXPECT_EQ(s.toolSizeLarge, 160);
    EXPECT_EQ(s.rulerWidth, 50u);
    EXPECT_EQ(s.pencilColour, 0xFFFFFFFFu);
    EXPECT_EQ(s.compassColour, 0xB0B0B0u);
    EXPECT_EQ(s.toolColour5, Colour{0x0000B0});
    EXPECT_EQ(s.toolColour6, 0x0000B0u);
    EXPECT_EQ(s.rulerColour, Colour{0x0000B0});
    EXPECT_EQ(s.auxColour, 0xC0C0C0u);
    EXPECT_EQ(s.barColour, Colour{0xC0C0C0});
    EXPECT_EQ(s.barTextColour, Colour{});
    EXPECT_EQ(s.menuHighlightColour, Colour{0x000080});
    EXPECT_EQ(s.menuHighlightTextColour, Colour{0xFFFFFF});
    EXPECT_EQ(s.screenDepth, 0);
    EXPECT_EQ(s.captions[0], "Pause");
    EXPECT_EQ(s.captions[1], "Weiter");
    EXPECT_EQ(s.captions[2], "Wiederholen");
    EXPECT_EQ(s.captions[3], "Beenden");
}

// DEFAULTS and TOOLDEFAULTS write whole words in this order; a word that holds two halves
// takes the first field in its low half.
TEST(RunState, WordsFollowTheFieldOrderWithTheFirstHalfLow) {
    RunState s;
    SetRunWord(s, RunWord::StepWait, 1500);
    EXPECT_EQ(s.stepWait, 1500);
    SetRunWord(s, RunWord::ScreenDepth, 16);
    EXPECT_EQ(s.screenDepth, 16);
    SetRunWord(s, RunWord::PointShapeLineStyle, 0xF0F00003);
    EXPECT_EQ(s.pointShape, 3);
    EXPECT_EQ(s.lineStyle, 0xF0F0);
    SetRunWord(s, RunWord::LineWidth, 0xFFFFFFFF);  // a value not given is stored as -1
    EXPECT_EQ(s.lineWidth, 0xFFFF);
    EXPECT_EQ(s.drawColour, 0x010101u) << "the neighbouring word stays";
    SetRunWord(s, RunWord::ToolSize, 200u << 16 | 120u);
    EXPECT_EQ(s.toolSizeSmall, 120);
    EXPECT_EQ(s.toolSizeLarge, 200);
    SetRunWord(s, RunWord::AuxColour, 0x123456);
    EXPECT_EQ(s.auxColour, 0x123456u);
    EXPECT_EQ(s.rulerColour, Colour{0x0000B0});
    SetRunWord(s, RunWord::FrameSeconds, 0x3CA3D70A);  // 0.02f
    EXPECT_FLOAT_EQ(s.frameSeconds, 0.02f);
}

}  // namespace
}  // namespace zir
