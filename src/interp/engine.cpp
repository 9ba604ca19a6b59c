#include "interp/engine.h"

#include "frontend/errorcode.h"
#include "interp/display.h"
#include "interp/loops.h"
#include "interp/menus.h"
#include "interp/statements.h"
#include "interp/waits.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

const Instruction EmptySlot{};

bool IsLoop(int kind) {
    return kind == KindInteraction || kind == KindAnimation;
}

const Instruction& SlotOf(const InstructionTable& program, int block, int slot) {
    return HasSlot(program, block, slot) ? program.blocks[block][slot] : EmptySlot;
}

// What one invocation may keep: the drawing twice (restart and temporary snapshot) and a
// copy of the object tables.
std::size_t InvocationBytes(const RunContext& run) {
    const ObjectTables& t = run.store->tables;
    std::size_t bytes = t.points.size() * sizeof(Point) + t.lines.size() * sizeof(Line) +
                        t.circles.size() * sizeof(Circle);
    if (const std::uint8_t* image = run.buffer->handle) {
        bytes += 2 * ImageBytes(image);
    }
    return bytes;
}

// Counts the invocation as running, and its copies as held, for as long as it lives.
class InvocationGuard {
  public:
    explicit InvocationGuard(RunContext& run) : run_(run), bytes_(InvocationBytes(run)) {
        ++run_.depth;
        run_.snapshotBytes += bytes_;
    }
    ~InvocationGuard() {
        --run_.depth;
        run_.snapshotBytes -= bytes_;
    }
    InvocationGuard(const InvocationGuard&) = delete;
    InvocationGuard& operator=(const InvocationGuard&) = delete;

  private:
    RunContext& run_;
    std::size_t bytes_;
};

// Entry steps 6 and 7 of a pass: the hooks of INTERACTION and ANIMATION, the control bar,
// the first statement.
Flow BeginPass(CallFrame& frame) {
    if (IsLoop(frame.kind)) {
        const Flow flow = BeginLoopPass(frame);
        if (flow != Flow::Next) return flow;
    }
    if (Settings().screenDepth != 0) DrawControlBar(frame.paused);
    frame.pc = frame.first;
    return Flow::Next;
}

void StartPasses(CallFrame& frame) {
    frame.iteration = 0;
    if (frame.kind == KindMain) frame.mode = PaceMode::Pace;
}

// Wiederholen: every object and the drawing as they were when the invocation started (the
// main program: after its last SCREEN or WINDOW). The control that asked for it is used up,
// so the body does not meet it again and restart once more.
void Restart(CallFrame& frame) {
    frame.run->store->tables = frame.savedObjects;
    RestoreSnapshot(*frame.run->buffer, frame.restartSnapshot.get());
    ShowFrameBuffer(frame);
    frame.pendingEvent = 0;
    if (IsLoop(frame.kind)) ReadLoopDeclarations(frame);
    StartPasses(frame);
}

Flow Call(CallFrame& frame, const Instruction& in) {
    RunContext& run = *frame.run;
    EnsureScreen(frame);
    const int callee = TargetOf(in[0]);
    const int calleeKind = BlockKind(*run.program, callee);
    const bool loops = IsLoop(calleeKind);
    PaceMode mode = frame.kind == KindMain ? PaceMode::Pace : frame.mode;
    if (loops) {
        mode = PaceMode::Fast;
        TakeTempSnapshot(frame);
    }
    switch (static_cast<Op>(OpcodeOf(in[0]))) {
        case Op::CallFast:
            mode = PaceMode::Fast;
            break;
        case Op::CallPace:
            mode = PaceMode::Pace;
            break;
        case Op::CallSlow:
            mode = InstrumentsShown() ? PaceMode::Slow : PaceMode::Pace;
            break;
        default:
            break;
    }
    if (run.depth >= MaxCallDepth || run.snapshotBytes + InvocationBytes(run) > MaxSnapshotBytes) {
        run.runError = frame.subroutine << 16 | ErrorCode(MsgCallsNestedTooDeeply);
        return Flow::Return;
    }
    RunWatcher* watcher = loops ? RunWatched() : nullptr;
    if (watcher) watcher->Loop(true);
    const std::int32_t result =
        ExecuteSubroutine(run, callee | static_cast<std::int32_t>(mode) << 16, &in);
    if (watcher) watcher->Loop(false);
    if (run.runError != 0 || CloseRequested()) return Flow::Return;
    // END ends the run at once, without the pause after an animation.
    if (result == 255) return Flow::ReturnEnd;
    if (loops) {
        // The last frame of a FAST animation stays until the viewer goes on; a window closed
        // there ends the run with that frame as the last picture.
        if (calleeKind == KindAnimation && mode == PaceMode::Fast && frame.mode != PaceMode::Fast) {
            const ControlAction action = PauseForViewer(frame);
            if (CloseRequested()) return Flow::Return;
            if (action == ControlAction::Restart) return Flow::Restart;
        }
        RestoreSnapshot(*run.buffer, frame.tempSnapshot.get());
        ShowFrameBuffer(frame);
    }
    return Flow::Next;
}

Flow Repeat(CallFrame& frame, const Instruction& in) {
    if (frame.mode == PaceMode::Fast) ShowFrameBuffer(frame);
    ++frame.iteration;
    if (frame.kind != KindInteraction && in[1] <= frame.iteration) return Flow::Return;
    return Flow::NextPass;
}

Flow Execute(CallFrame& frame, const Instruction& in) {
    const int opcode = OpcodeOf(in[0]);
    switch (static_cast<Op>(opcode)) {
        case Op::CallFast:
        case Op::CallPace:
        case Op::CallSlow:
        case Op::Call:
            return Call(frame, in);
        case Op::Repeat:
            return Repeat(frame, in);
        case Op::Cls:
        case Op::Screen:
        case Op::Window:
        case Op::TextWindow:
        case Op::Text:
        case Op::Title:
            return ExecuteDisplayStatement(frame, in);
        case Op::Speed:
        case Op::FrameSpeed:
        case Op::Wait:
        case Op::WaitAlways:
        case Op::WaitFor:
        case Op::WaitAlwaysFor:
            return ExecutePacingStatement(frame, in);
        case Op::Menu:
        case Op::MenuItem:
        case Op::ExitMenu:
        case Op::EndMenu:
        case Op::RepeatMenu:
            return ExecuteMenuStatement(frame, in);
        case Op::End:
            return Flow::ReturnEnd;
        case Op::Defaults:
        case Op::ToolDefaults:
            return ExecuteConstructionStatement(frame, in);
        default:
            // CLICKABLE, TRACE and STEP are read by the pre-scan of their subroutines, not
            // executed; the headers of subroutines execute as nothing.
            if (opcode >= OpcodeNumber(Op::Point) &&
                opcode <= OpcodeNumber(Op::MarkNumberAnglePoints)) {
                // A paced statement shows whatever it draws before it returns.
                RasterShowFollows(frame.mode == PaceMode::Pace &&
                                  (frame.kind == KindMain || frame.kind == KindConstruction));
                const Flow flow = ExecuteConstructionStatement(frame, in);
                RasterShowFollows(false);
                return flow;
            }
            return Flow::Next;
    }
}

std::int32_t Run(CallFrame& frame) {
    const RunContext& run = *frame.run;
    const int block = frame.subroutine;
    StartPasses(frame);
    bool newPass = true;
    for (;;) {
        if (run.runError != 0) return run.runError;
        if (CloseRequested()) return 0;
        Flow flow = Flow::Next;
        if (newPass) {
            newPass = false;
            flow = BeginPass(frame);
            if (flow == Flow::Next) continue;
        } else {
            if (frame.pc > frame.last) return 0;
            // A headless run without a viewer ends once its statement budget is used up.
            if (!CountStatement()) return 0;
            flow = CheckPendingControls(frame);
            const Instruction& in = SlotOf(*run.program, block, frame.pc);
            // A menu entry reached from the entry before it only ends that entry's statements;
            // the menu itself tells of the entry chosen.
            if (RunWatcher* watcher = RunWatched();
                watcher && flow == Flow::Next && OpcodeOf(in[0]) != OpcodeNumber(Op::MenuItem)) {
                watcher->Statement(block, frame.pc, !ShowsAfterDrawing(frame));
            }
            if (flow == Flow::Next) flow = Execute(frame, in);
        }
        switch (flow) {
            case Flow::Next:
                ++frame.pc;
                break;
            case Flow::NextPass:
                newPass = true;
                break;
            case Flow::Restart:
                Restart(frame);
                newPass = true;
                break;
            case Flow::Return:
                if (run.runError != 0) return run.runError;
                return frame.result;
            case Flow::ReturnEnd:
                return 255;
        }
    }
}

}  // namespace

std::int32_t ExecuteSubroutine(RunContext& run, std::int32_t subroutineAndMode,
                               const Instruction* call) {
    InvocationGuard guard(run);
    CallFrame frame;
    frame.run = &run;
    frame.subroutine = subroutineAndMode & 0xFFFF;
    frame.mode = static_cast<PaceMode>(subroutineAndMode >> 16 & 0xFFFF);
    const InstructionTable& program = *run.program;
    if (frame.subroutine == 0) {
        frame.kind = KindMain;
        Settings().screenDepth = 0;
    } else {
        frame.kind = BlockKind(program, frame.subroutine);
        TakeRestartSnapshot(frame);
    }
    frame.first = frame.kind == KindConstruction ? ParameterSlot + 1 : 1;
    frame.last = SlotOf(program, frame.subroutine, 0)[HeaderEnd];
    if (IsLoop(frame.kind)) PrescanLoop(frame);
    if (frame.kind == KindConstruction) {
        frame.parameters = &SlotOf(program, frame.subroutine, ParameterSlot);
        frame.arguments = call ? call : &EmptySlot;
    }
    frame.savedObjects = run.store->tables;
    return Run(frame);
}

std::int32_t RunProgram(const InstructionTable& program, const NameTable& names,
                        ObjectStore& store) {
    DrawingBuffer buffer;
    RunContext run;
    run.program = &program;
    run.names = &names;
    run.store = &store;
    run.buffer = &buffer;
    const std::int32_t result = ExecuteSubroutine(run, 0, nullptr);
    // The buffer goes with the run; nothing may take a later image at its address for it.
    RasterWatch(nullptr);
    return result;
}

}  // namespace zir
