// What one invocation of the engine works with, and what all invocations of a run share.
// The statement families (construction, display, pacing) receive the running invocation's
// frame and report back how execution goes on.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "frontend/instructions.h"
#include "frontend/symbols.h"
#include "interp/drawingbuffer.h"
#include "interp/objects.h"
#include "platform/image.h"
#include "runtime/pacing.h"

namespace zir {

// Shared by every invocation of one run.
struct RunContext {
    const InstructionTable* program = nullptr;
    const NameTable* names = nullptr;
    ObjectStore* store = nullptr;
    DrawingBuffer* buffer = nullptr;
    int depth = 0;  // invocations running now
    // The restart snapshot taken last, and the drawing it shows, for the next invocation
    // that starts on the same drawing to share.
    std::weak_ptr<const DrawingSnapshot> latestSnapshot;
    const std::uint8_t* latestSnapshotBuffer = nullptr;
    std::uint64_t latestSnapshotChanges = 0;
    std::size_t snapshotBytes = 0;  // what the running invocations' copies may take
    // A run-time error that ends the whole run (subroutine in bits 16 to 31), or 0.
    std::int32_t runError = 0;
};

// What a CLICKABLE or STEP moves its object along.
enum class PathKind { None, Line, Circle };

// A point the viewer may drag in an INTERACTION.
struct Clickable {
    int point = 0;
    PathKind path = PathKind::None;
    int pathIndex = 0;
    // The point's place on its path when the pass began (the angle around the circle's
    // centre, or the multiple of the line's direction from its base point), so that it can
    // be put back on the path the pass builds; NaN for none.
    double place = std::numeric_limits<double>::quiet_NaN();
};

// The point being dragged: the mouse and the point's rounded position when it was grabbed.
struct Drag {
    int entry = -1;  // into the clickable list; -1 while nothing is grabbed
    int mouseX = 0;
    int mouseY = 0;
    double startX = 0.0;
    double startY = 0.0;
    // Where the mouse was when the point was last moved; none before the first move.
    bool placed = false;
    int lastX = 0;
    int lastY = 0;
};

// What one STEP of an ANIMATION does on every frame.
struct Step {
    bool circle = false;  // the object is a circle, else a point
    int object = 0;
    PathKind path = PathKind::None;
    int pathIndex = 0;
    double a = 0.0;  // x step, or distance along the path
    double b = 0.0;  // y step (free moves)
    double c = 0.0;  // radius step; its sign turns when the radius bounces at zero
};

// The lists an INTERACTION or ANIMATION reads from its body when it starts.
struct LoopLists {
    std::vector<Clickable> clickables;
    Drag drag;
    // The pass now running was started only to show points put back on their paths.
    bool settling = false;
    std::vector<Step> steps;
    std::vector<int> traced;
    std::vector<std::vector<Point>> history;  // per traced point, its position on each frame
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
    SharedSnapshot restartSnapshot;
    Image tempSnapshot;
    // A fast loop's picture at the start of every pass, whole, and the raster layer's change
    // mark taken when the buffer last equalled it: a pass puts back only what the last changed.
    Image passPicture;
    std::uint64_t passPictureMark = 0;
    ObjectTables savedObjects;
    int screenWidth = 0;  // the screen this invocation opened last
    int screenHeight = 0;
    // A CONSTRUCTION's formal parameter list and its caller's argument list.
    const Instruction* parameters = nullptr;
    const Instruction* arguments = nullptr;
    LoopLists loop;
    // The result the invocation ends with when a statement returns: 0, or a menu error.
    std::int32_t result = 0;
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
// Keeps the buffer as it is now as the restart snapshot: the one taken last when the drawing
// has not changed since (nested calls that start without drawing share one), else what
// differs from that one's whole copy, or a whole copy of its own.
void TakeRestartSnapshot(CallFrame& frame);
// Puts the drawing back as it was when the invocation started, for the next pass of a loop.
void RestoreForPass(CallFrame& frame);

}  // namespace zir
