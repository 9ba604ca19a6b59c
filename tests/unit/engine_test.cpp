// The engine run in-process on the headless platform, for what a script case cannot set up:
// the statement budget, the depth limit, and an "r" met again after a restart.
#include "interp/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

class Engine : public ::testing::Test {
  protected:
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
    double X(const std::string& name) {
        const auto& row = names_.rows[TypePoint];
        return store_.tables.points[std::find(row.begin(), row.end(), name) - row.begin()].x;
    }

    InstructionTable program_;
    NameTable names_;
    ObjectStore store_;
};

TEST_F(Engine, CallsNestAsDeepAsTheLimitAndOnALargeScreenAsTheirCopiesFitInMemory) {
    std::vector<std::string> lines{"CONSTRUCT S1 FAST", "END"};
    const int deepest = MaxCallDepth - 1;
    for (int k = 1; k <= deepest; ++k) {
        lines.push_back("CONSTRUCTION S" + std::to_string(k));
        lines.push_back(k < deepest ? "CONSTRUCT S" + std::to_string(k + 1) : "POINT Tief 5 5");
        lines.push_back("REPEAT");
    }
    EXPECT_EQ(Run(lines), 255);
    EXPECT_EQ(X("Tief"), 5.0);
    // Each invocation keeps two copies of an 8 MiB drawing: the nesting error comes at half
    // the depth limit instead of exhausting memory.
    EXPECT_EQ(Run({"SCREEN 2048, 2048", "CONSTRUCT Ewig FAST", "END", "CONSTRUCTION Ewig",
                   "CONSTRUCT Ewig", "REPEAT"}),
              1 << 16 | MsgCallsNestedTooDeeply);
}

TEST_F(Engine, AHeadlessRunEndsAsClosedWhenItsStatementBudgetIsUsedUp) {
    // 32767 x 32767 passes would take hours; the budget ends the run as a closed window.
    EXPECT_EQ(Run({"CONSTRUCT Lang FAST", "POINT Danach 1 1", "END", "CONSTRUCTION Lang",
                   "CONSTRUCT Innen", "REPEAT 32767", "CONSTRUCTION Innen", "POINT A 1 1",
                   "REPEAT 32767"},
                  "", 10'000),
              0);
    EXPECT_TRUE(CloseRequested());
    EXPECT_EQ(X("A") + X("Danach"), 1.0);
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
