// The steps of a run as the viewer sees them, each described in words from the statements
// that made it: for the page's list of steps and its screen reader, for going back to a step
// (a replay of the run up to it), and for the handout's captions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frontend/pass2.h"
#include "runtime/pacing.h"

namespace zir {

struct RunStep {
    int number = 0;  // from 1
    double timeMs = 0;
    StepKind kind = StepKind::Paced;
    std::vector<int> lines;   // indexes of the script lines that made it, in the order run
    std::string description;  // Windows-1252
};

struct StepOptions {
    bool unattended = false;  // a run without a viewer (the handout's)
    int liveAtStep = 0;       // a replay goes live when this step is shown; 0 for none
};

// Watches a run (WatchRun) and tells onStep of each step. Inside an interaction or an
// animation nothing counts but its first picture.
class StepTracker final : public RunWatcher, public StatementObserver {
  public:
    explicit StepTracker(StepOptions options) : options_(options) {}
    void Compiled(const CompiledStatement& compiled) override;
    void Statement(int block, int slot, bool fast) override;
    void Step(StepKind kind) override;
    void Loop(bool entered) override { loopDepth_ += entered ? 1 : -1; }
    bool Unattended() const override { return options_.unattended; }
    // What a step shown now would be: the statements run since the last one.
    RunStep Pending(StepKind kind) const;

    std::function<void(const RunStep&)> onStep;

  private:
    struct Described {
        int line = 0;
        std::string text;
    };
    StepOptions options_;
    std::vector<std::vector<int>> where_;  // block, slot -> index in described_, or -1
    std::vector<Described> described_;
    std::vector<int> pending_;  // indexes in described_ run since the last step
    RunStep last_;
    std::string lastText_;  // what the last described statement made
    int loopDepth_ = 0;
};

// The script line whose statement made the step's picture, counted from 1; 0 for none.
inline int ShownLine(const RunStep& step) {
    return step.lines.empty() ? 0 : step.lines.back() + 1;
}

// A step as a line of the steps file: number, time in ms, script line (1-based, 0 for none)
// and the description in UTF-8, separated by tabs.
std::string StepLine(const RunStep& step);

}  // namespace zir
