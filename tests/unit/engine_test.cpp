// The engine run in-process on the headless platform, for what a script case cannot set up:
// the statement budget and the depth limit.
#include "interp/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

class Engine : public ::testing::Test {
  protected:
    std::int32_t Run(const std::vector<std::string>& lines,
                     std::int64_t maxStatements = 10'000'000) {
        StartPlatform(maxStatements);
        ResetSettings();
        std::vector<CompileError> errors;
        EXPECT_EQ(ParseScript(lines, program_, errors, names_), CompiledOk);
        store_ = CreateObjectStore(names_);
        return RunProgram(program_, names_, store_);
    }
    void StartPlatform(std::int64_t maxStatements = 10'000'000) {
        PlatformOptions options;
        options.backend = BackendKind::Headless;
        options.maxStatements = maxStatements;
        std::string message;
        ASSERT_EQ(PlatformStart(options, message), PlatformError::None) << message;
    }
    void TearDown() override { StartPlatform(); }
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
                  10'000),
              0);
    EXPECT_TRUE(CloseRequested());
    EXPECT_EQ(X("A") + X("Danach"), 1.0);
}

}  // namespace
}  // namespace zir
