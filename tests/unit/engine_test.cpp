// The engine run in-process on the headless platform: the settings, screen and objects a
// run leaves, parameter binding, the depth limit and a window closed in nested calls.
#include "interp/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "interp/display.h"
#include "platform/platform.h"
#include "runtime/runstate.h"
#include "zirkula.h"

namespace zir {
namespace {

class Engine : public ::testing::Test {
  protected:
    // Compiles and runs the lines with the viewer input; the settings start from their
    // defaults, as ZIR_INIT leaves them.
    std::int32_t Run(const std::vector<std::string>& lines, const std::string& input = "",
                     std::int64_t maxStatements = 10'000'000) {
        StartPlatform(input, maxStatements);
        ResetSettings();
        std::vector<CompileError> errors;
        EXPECT_EQ(ParseScript(lines, program_, errors, names_), CompiledOk);
        store_ = CreateObjectStore(names_);
        return RunProgram(program_, names_, store_);
    }
    void StartPlatform(const std::string& input, std::int64_t maxStatements = 10'000'000) {
        PlatformOptions options;
        options.backend = BackendKind::Headless;
        options.maxStatements = maxStatements;
        if (!input.empty()) {
            std::filesystem::create_directories(ZIR_TEST_OUTPUT_DIR);
            options.inputPath = std::string(ZIR_TEST_OUTPUT_DIR) + "/engine-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                ".input";
            std::ofstream(options.inputPath) << input;
        }
        std::string message;
        ASSERT_EQ(PlatformStart(options, message), PlatformError::None) << message;
    }
    void TearDown() override { StartPlatform(""); }

    const Point& PointNamed(const std::string& name) {
        const auto& row = names_.rows[TypePoint];
        auto at = std::find(row.begin(), row.end(), name);
        return store_.tables.points[static_cast<std::size_t>(at - row.begin())];
    }
    static Colour ScreenPixel(int x, int y) { return ImageColourAt(ScreenImage(), x, y); }

    InstructionTable program_;
    NameTable names_;
    ObjectStore store_;
};

TEST_F(Engine, TheStoreHasOneSpareEntryPerTableAndFlagsForTheLargestCount) {
    Run({"POINT A 1 2", "POINT B 3 4", "LINE G 0 0 1 1", "END"});
    EXPECT_EQ(store_.tables.points.size(), 3u);
    EXPECT_EQ(store_.tables.lines.size(), 2u);
    EXPECT_EQ(store_.tables.circles.size(), 1u);
    EXPECT_EQ(store_.flags.size(), 3u);
    EXPECT_EQ(store_.flags[0], VisiblePoint | VisibleLine);
    EXPECT_EQ(store_.flags[1], VisiblePoint);
}

TEST_F(Engine, TheFirstDrawingStatementOpensTheDefaultScreen) {
    EXPECT_EQ(Run({"SPEED 0", "END"}), 255);
    EXPECT_EQ(ScreenImage(), nullptr);
    EXPECT_EQ(Settings().screenDepth, 0);

    EXPECT_EQ(Run({"POINT A 1 2", "END"}), 255);
    EXPECT_EQ(ScreenQuery().width, 640);
    EXPECT_EQ(ScreenQuery().height, 480);
    EXPECT_EQ(Settings().areaWidth, 640);
    EXPECT_EQ(Settings().areaHeight, 460);
    EXPECT_EQ(Settings().screenDepth, 16);
    // The logo for two seconds, then the point's pause.
    EXPECT_GE(ClockSeconds(), 4.0);
}

TEST_F(Engine, ScreenAndWindowSetTheDrawingArea) {
    Run({"SCREEN 800, 600", "END"});
    EXPECT_EQ(Settings().areaWidth, 800);
    EXPECT_EQ(Settings().areaHeight, 580);

    Run({"SCREEN 800, 600", "WINDOW 2000, 2000", "END"});
    EXPECT_EQ(Settings().areaWidth, 800);
    EXPECT_EQ(Settings().areaHeight, 580);

    // The strip right of a smaller window keeps what the screen showed; later shows only
    // cover the new area.
    Run({"SCREEN 800, 600, 16, 0xFF0000", "WINDOW 500, 400", "CLS 0x0000FF", "END"});
    EXPECT_EQ(Settings().areaWidth, 500);
    EXPECT_EQ(Settings().areaHeight, 400);
    EXPECT_EQ(ScreenPixel(499, 399), Colour{0x0000FF});
    EXPECT_EQ(ScreenPixel(600, 10), Colour{0xFF0000});
    EXPECT_EQ(ScreenPixel(10, 450), Colour{0xFF0000});
    EXPECT_EQ(Settings().backgroundColour, Colour{0xFFFFFF})
        << "SCREEN's colour is not the default";
}

TEST_F(Engine, WindowBeforeAnyScreenOpensTheDefaultOneFirst) {
    Run({"WINDOW 300, 200", "END"});
    EXPECT_EQ(ScreenQuery().width, 640);
    EXPECT_EQ(Settings().areaWidth, 300);
    EXPECT_EQ(Settings().areaHeight, 200);
}

TEST_F(Engine, DefaultsStoreMinusOneForEveryValueNotGiven) {
    Run({"DEFAULTS 0x123456, 0x654321, 0x0000FF", "END"});
    const RunState& s = Settings();
    EXPECT_EQ(s.backgroundColour, Colour{0x123456});
    EXPECT_EQ(s.drawColour, 0x654321u);
    EXPECT_EQ(s.textColour, Colour{0x0000FF});
    EXPECT_EQ(s.auxColour, 0xFFFFFFFFu);
    for (const int field :
         {s.pointShape, s.lineStyle, s.lineWidth, s.lineWidthHigh, s.arcWidth, s.pointSize}) {
        EXPECT_EQ(field, 0xFFFF);
    }

    Run({"DEFAULTS 1, 2, 3, 4, 5, 6, 7, 8, 9, 10", "END"});
    EXPECT_EQ(s.backgroundColour, Colour{1});
    EXPECT_EQ(s.drawColour, 2u);
    EXPECT_EQ(s.textColour, Colour{3});
    EXPECT_EQ(s.auxColour, 4u);
    EXPECT_EQ(s.lineWidth, 5);
    EXPECT_EQ(s.lineStyle, 6);
    EXPECT_EQ(s.pointSize, 7);
    EXPECT_EQ(s.pointShape, 8);
    EXPECT_EQ(s.arcWidth, 2560);
}

TEST_F(Engine, ToolDefaultsChangeOnlyTheSettingsGiven) {
    const RunState defaults;
    Run({"TOOLDEFAULTS 100", "END"});
    const RunState& s = Settings();
    EXPECT_EQ(s.toolSizeSmall, 100);
    EXPECT_EQ(s.toolSizeLarge, 0) << "the whole word is written";
    EXPECT_EQ(s.rulerWidth, defaults.rulerWidth);
    EXPECT_EQ(s.pencilColour, defaults.pencilColour);
    EXPECT_EQ(s.rulerColour, defaults.rulerColour);

    Run({"TOOLDEFAULTS 1, 2, 3, 4, 5, 6, 7, 8, 9", "END"});
    EXPECT_EQ(s.toolSizeSmall, 1);
    EXPECT_EQ(s.toolSizeLarge, 2);
    EXPECT_EQ(s.rulerWidth, 3u);
    EXPECT_EQ(s.pencilColour, 4u);
    EXPECT_EQ(s.compassColour, 5u);
    EXPECT_EQ(s.toolColour5, Colour{6});
    EXPECT_EQ(s.toolColour6, 7u);
    EXPECT_EQ(s.rulerColour, Colour{8});
}

TEST_F(Engine, SpeedAndFrameSpeedSetTheirTimes) {
    Run({"SPEED 500", "FRAMESPEED 20", "END"});
    EXPECT_EQ(Settings().stepWait, 500);
    EXPECT_EQ(Settings().instrumentWait, 500);
    EXPECT_EQ(Settings().frameWait, 20);
    EXPECT_FLOAT_EQ(Settings().frameSeconds, 0.02f);
}

TEST_F(Engine, BindingReplacesOnlyIndexesOfTheParametersKind) {
    CallFrame frame;
    frame.kind = KindConstruction;
    Instruction parameters{}, arguments{};
    // Parameter 0 a point with formal index 3, parameter 1 a line with formal index 3.
    parameters[0] = TypePoint | TypeLine << 4;
    parameters[2] = 3 | 3 << 16;
    arguments[2] = 7 | 9 << 16;
    for (int k = 2; k < MaxParameters; ++k) {
        parameters[ParameterIndexWord(k)] |= AbsentIndex << 16 * HalfInWord(k);
    }
    frame.parameters = &parameters;
    frame.arguments = &arguments;
    EXPECT_EQ(BindObject(frame, 3, TypePoint), 7);
    EXPECT_EQ(BindObject(frame, 3, TypeLine), 9);
    EXPECT_EQ(BindObject(frame, 3, TypeCircle), 3);
    EXPECT_EQ(BindObject(frame, 4, TypePoint), 4);
    frame.kind = KindAnimation;
    EXPECT_EQ(BindObject(frame, 3, TypePoint), 3);
}

TEST_F(Engine, EndlessRecursionEndsTheRunWithItsOwnError) {
    const std::int32_t result =
        Run({"CONSTRUCT Ewig FAST", "END", "CONSTRUCTION Ewig", "CONSTRUCT Ewig", "REPEAT"});
    EXPECT_EQ(result, 1 << 16 | MsgCallsNestedTooDeeply);
}

TEST_F(Engine, NestingBelowTheLimitRuns) {
    // A chain of constructions, each calling the next, as deep as the limit allows.
    std::vector<std::string> lines{"CONSTRUCT S1 FAST", "END"};
    const int deepest = MaxCallDepth - 1;
    for (int k = 1; k <= deepest; ++k) {
        lines.push_back("CONSTRUCTION S" + std::to_string(k));
        if (k < deepest) lines.push_back("CONSTRUCT S" + std::to_string(k + 1));
        if (k == deepest) lines.push_back("POINT Tief 5 5");
        lines.push_back("REPEAT");
    }
    EXPECT_EQ(Run(lines), 255);
    EXPECT_EQ(PointNamed("Tief").x, 5.0);
}

TEST_F(Engine, OnALargeScreenCallsNestOnlyAsDeepAsTheirCopiesFitInMemory) {
    // Each invocation keeps two copies of a 2048 x 2028 drawing (8 MiB each): the
    // recursion ends with the nesting error at half the depth limit.
    const std::int32_t result = Run({"SCREEN 2048, 2048", "CONSTRUCT Ewig FAST", "END",
                                     "CONSTRUCTION Ewig", "CONSTRUCT Ewig", "REPEAT"});
    EXPECT_EQ(result, 1 << 16 | MsgCallsNestedTooDeeply);
}

TEST_F(Engine, AHeadlessRunEndsAsClosedWhenItsStatementBudgetIsUsedUp) {
    // 32767 x 32767 passes would take hours; the budget ends the run as a closed window.
    EXPECT_EQ(Run({"CONSTRUCT Lang FAST", "POINT Danach 1 1", "END", "CONSTRUCTION Lang",
                   "CONSTRUCT Innen", "REPEAT 32767", "CONSTRUCTION Innen", "POINT A 1 1",
                   "REPEAT 32767"},
                  "", 10'000),
              0);
    EXPECT_TRUE(CloseRequested());
    EXPECT_EQ(PointNamed("A").x, 1.0);
    EXPECT_EQ(PointNamed("Danach").x, 0.0);
}

TEST_F(Engine, ClosingTheWindowEndsEveryNestedInvocationPromptly) {
    const std::int32_t result =
        Run({"CONSTRUCT Aussen", "POINT Danach 1 1", "END", "CONSTRUCTION Aussen",
             "CONSTRUCT Innen", "POINT Aussen2 2 2", "REPEAT", "CONSTRUCTION Innen",
             "POINT I1 10 10", "POINT I2 20 20", "POINT I3 30 30", "REPEAT"},
            "3000 close\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ClockSeconds(), 3.0);
    EXPECT_EQ(PointNamed("I1").x, 10.0);
    EXPECT_EQ(PointNamed("I2").x, 0.0);
    EXPECT_EQ(PointNamed("Aussen2").x, 0.0);
    EXPECT_EQ(PointNamed("Danach").x, 0.0);
}

TEST_F(Engine, AClosedWindowEndsAPauseAndAnInteraction) {
    EXPECT_EQ(Run({"POINT A 1 1", "WAIT", "POINT B 2 2", "END"}, "5000 close\n"), 0);
    EXPECT_EQ(ClockSeconds(), 5.0);
    EXPECT_EQ(PointNamed("B").x, 0.0);
    // Without any input left, an interaction waiting for the viewer ends with the window.
    EXPECT_EQ(Run({"INTERACT Ziehen", "END", "INTERACTION Ziehen", "POINT A 1 1", "REPEAT"}), 0);
}

TEST_F(Engine, WiederholenAtTheBeginningOfAConstructionRunsItOnceMore) {
    // "r" ends the first point's pause and is then met before the second statement: the
    // construction starts again, and must not meet the same "r" again.
    EXPECT_EQ(Run({"CONSTRUCT Z", "END", "CONSTRUCTION Z", "POINT A 1 1", "POINT B 2 2", "REPEAT"},
                  "3000 key r\n"),
              255);
    EXPECT_NEAR(ClockSeconds(), 3.0 + 2 * 2.02, 0.05);
}

}  // namespace
}  // namespace zir
