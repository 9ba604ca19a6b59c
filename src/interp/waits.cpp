#include "interp/waits.h"

#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// The longest the pause sleeps between looks at the viewer's input.
constexpr int PauseWaitMs = 50;

bool PausesAtStatements(const CallFrame& frame) {
    return frame.kind == KindConstruction || frame.kind == KindAnimation;
}

}  // namespace

Flow FlowAfter(CallFrame& frame, ControlAction action) {
    switch (action) {
        case ControlAction::Restart:
            return Flow::Restart;
        case ControlAction::End:
            // The viewer asked to finish: a CONSTRUCTION goes on FAST at once instead of
            // pausing at its next steps.
            if (frame.kind == KindConstruction) {
                frame.mode = PaceMode::Fast;
                frame.pendingEvent = 0;
                return Flow::Next;
            }
            return Flow::Return;
        default:
            return Flow::Next;
    }
}

ControlAction PauseForViewer(CallFrame& frame) {
    // A handout's run has no viewer to go on.
    if (RunWatched() && RunWatched()->Unattended()) return ControlAction::PauseOrContinue;
    frame.paused = true;
    DrawControlBar(true);
    for (;;) {
        if (CloseRequested()) {
            frame.paused = false;
            return ControlAction::None;
        }
        frame.pendingEvent = PollInput();
        const ControlAction action = CheckControls(frame.pendingEvent);
        if (action != ControlAction::None) {
            frame.paused = false;
            frame.pendingEvent = 0;
            DrawControlBar(false);
            return action;
        }
        WaitForInput(PauseWaitMs);
    }
}

Flow CheckPendingControls(CallFrame& frame) {
    if (frame.pendingEvent == 0) return Flow::Next;
    switch (CheckControls(frame.pendingEvent)) {
        case ControlAction::PauseOrContinue:
            if (!PausesAtStatements(frame) || frame.paused) return Flow::Next;
            return PauseForViewer(frame) == ControlAction::Restart ? Flow::Restart : Flow::Next;
        case ControlAction::Restart:
            return PausesAtStatements(frame) ? Flow::Restart : Flow::Next;
        case ControlAction::End:
            return FlowAfter(frame, ControlAction::End);
        default:
            return Flow::Next;
    }
}

Flow ExecutePacingStatement(CallFrame& frame, const Instruction& in) {
    RunState& s = Settings();
    const Op op = static_cast<Op>(OpcodeOf(in[0]));
    switch (op) {
        case Op::Speed:
            s.stepWait = in[1];
            s.instrumentWait = in[1];
            return Flow::Next;
        case Op::FrameSpeed:
            s.frameWait = in[1];
            s.frameSeconds = static_cast<float>(in[1] / 1000.0);
            return Flow::Next;
        case Op::Wait:
        case Op::WaitAlways:
        case Op::WaitFor:
        case Op::WaitAlwaysFor:
            break;
        default:
            return Flow::Next;
    }
    const bool always = op == Op::WaitAlways || op == Op::WaitAlwaysFor;
    if (!always && frame.mode == PaceMode::Fast) return Flow::Next;
    // What a FAST construction has drawn so far is shown before its pause.
    if (frame.kind == KindConstruction && frame.mode == PaceMode::Fast) ShowFrameBuffer(frame);
    if (op == Op::Wait || op == Op::WaitAlways) return FlowAfter(frame, PauseForViewer(frame));
    frame.pendingEvent = TimedWait(in[1] < 1 ? s.stepWait : in[1]);
    return Flow::Next;
}

}  // namespace zir
