// What one invocation of the engine works with, and what all invocations of a run share.
// The statement families (construction, display, pacing) receive the running invocation's
// frame and report back how execution goes on.
#pragma once

#include <cstdint>

#include "frontend/instructions.h"
#include "frontend/symbols.h"
#include "interp/drawingbuffer.h"
#include "interp/objects.h"
#include "interp/pacing.h"
#include "platform/image.h"

namespace zir {

// Shared by every invocation of one run.
struct RunContext {
    const InstructionTable* program = nullptr;
    const NameTable* names = nullptr;
    ObjectStore* store = nullptr;
    DrawingBuffer* buffer = nullptr;
    int depth = 0;  // invocations running now
    // A run-time error that ends the whole run (subroutine in bits 16 to 31), or 0.
    std::int32_t runError = 0;
};

// One execution of a subroutine (the main program is subroutine 0).
struct CallFrame {
    RunContext* run = nullptr;
    int subroutine = 0;
    int kind = KindMain;
    PaceMode mode = PaceMode::Pace;
    int pc = 1;
    int first = 1;
    int last = 1;  // one past the final statement
    InputEvent pendingEvent = 0;
    bool paused = false;
    int iteration = 0;
    Image restartSnapshot;
    Image tempSnapshot;
    ObjectTables savedObjects;
    int screenWidth = 0;  // the screen this invocation opened last
    int screenHeight = 0;
    // A CONSTRUCTION's formal parameter list and its caller's argument list.
    const Instruction* parameters = nullptr;
    const Instruction* arguments = nullptr;
};

// How execution goes on after a statement.
enum class Flow {
    Next,       // the next statement
    NextPass,   // REPEAT: the body again from its first statement
    Restart,    // Wiederholen: the invocation starts again with its saved objects and drawing
    Return,     // the invocation ends with 0
    ReturnEnd,  // the invocation ends with 255 (END)
};

// The index a statement inside a CONSTRUCTION means: the caller's argument for the first
// parameter of that index and kind (1 point, 2 line, 3 circle), else the index itself.
// Outside a CONSTRUCTION the index itself.
int BindObject(const CallFrame& frame, int index, int kind);

// The bound object of an operand, in the shared store.
Point& BoundPoint(CallFrame& frame, int index);
Line& BoundLine(CallFrame& frame, int index);
Circle& BoundCircle(CallFrame& frame, int index);

DrawTarget FrameBuffer(CallFrame& frame);
// Copies the whole drawing buffer to the screen at the drawing area's origin.
void ShowFrameBuffer(CallFrame& frame);
// Fills, marks and CLS show what they drew unless they run in a CONSTRUCTION called FAST.
bool ShowsAfterDrawing(const CallFrame& frame);
// Keeps a copy of the buffer as it is now in tempSnapshot.
void TakeTempSnapshot(CallFrame& frame);

}  // namespace zir
