#include "session/steps.h"

#include <cmath>
#include <cstdio>

#include "frontend/describe.h"
#include "platform/platform.h"
#include "platform/textcode.h"

namespace zir {
namespace {

// A step made of more statements than this names the first ones and the last, the one whose
// picture the viewer sees.
constexpr std::size_t MostDescribed = 4;

const char* KindWord(StepKind kind) {
    switch (kind) {
        case StepKind::Menu:
            return "Auswahl im Men\xFC";
        case StepKind::LoopStart:
            return "Bewegliche Figur";
        default:
            return "Schritt";
    }
}

}  // namespace

void StepTracker::Compiled(const CompiledStatement& compiled) {
    if (compiled.block < 0 || compiled.slot < 0) return;
    if (where_.size() <= static_cast<std::size_t>(compiled.block))
        where_.resize(compiled.block + 1);
    std::vector<int>& slots = where_[compiled.block];
    if (slots.size() <= static_cast<std::size_t>(compiled.slot))
        slots.resize(compiled.slot + 1, -1);
    slots[compiled.slot] = static_cast<int>(described_.size());
    described_.push_back({compiled.lineIndex, DescribeStatement(compiled)});
}

void StepTracker::Statement(int block, int slot, bool fast) {
    if (fast || loopDepth_ > 0 || block < 0 || slot < 0) return;
    if (static_cast<std::size_t>(block) >= where_.size()) return;
    const std::vector<int>& slots = where_[block];
    if (static_cast<std::size_t>(slot) >= slots.size() || slots[slot] < 0) return;
    if (pending_.empty() || pending_.back() != slots[slot]) pending_.push_back(slots[slot]);
}

RunStep StepTracker::Pending(StepKind kind) const {
    RunStep step;
    step.number = last_.number + 1;
    step.timeMs = std::floor(ClockSeconds() * 1000 + 0.5);
    step.kind = kind;
    std::vector<const std::string*> texts;
    for (int k : pending_) {
        const Described& d = described_[k];
        if (step.lines.empty() || step.lines.back() != d.line) step.lines.push_back(d.line);
        if (!d.text.empty() && (texts.empty() || *texts.back() != d.text)) texts.push_back(&d.text);
    }
    const bool cut = texts.size() > MostDescribed;
    if (cut) texts.erase(texts.begin() + (MostDescribed - 1), texts.end() - 1);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) step.description += cut && i + 1 == texts.size() ? "; \x85 " : "; ";
        step.description += *texts[i];
    }
    // A statement of several steps (a construction with the instruments) names its line and
    // what it makes under each of them.
    if (step.description.empty() && pending_.empty() && last_.number > 0 && kind == last_.kind) {
        step.lines.clear();
        if (!last_.lines.empty()) step.lines.push_back(last_.lines.back());
        step.description = lastText_;
    }
    if (step.description.empty()) step.description = KindWord(kind);
    return step;
}

void StepTracker::Step(StepKind kind) {
    // Inside a moving figure only its first picture counts.
    if (loopDepth_ > (kind == StepKind::LoopStart ? 1 : 0)) return;
    last_ = Pending(kind);
    for (int k : pending_) {
        if (!described_[k].text.empty()) lastText_ = described_[k].text;
    }
    if (pending_.empty() && lastText_.empty()) lastText_ = last_.description;
    pending_.clear();
    if (last_.number == options_.liveAtStep) GoLive();
    AnnounceStep(last_.number, last_.timeMs, ShownLine(last_), last_.description);
    if (onStep) onStep(last_);
}

std::string StepLine(const RunStep& step) {
    char head[64];
    std::snprintf(head, sizeof head, "%d\t%.0f\t%d\t", step.number, step.timeMs, ShownLine(step));
    return head + Utf8FromWindows1252(step.description) + "\n";
}

}  // namespace zir
