#include "interp/callframe.h"

namespace zir {

int BindObject(const CallFrame& frame, int index, int kind) {
    if (frame.kind != KindConstruction || !frame.parameters || !frame.arguments) return index;
    for (int k = 0; k < MaxParameters; ++k) {
        if (ParameterIndex(*frame.parameters, k) == index &&
            ParameterType(*frame.parameters, k) == kind) {
            return ParameterIndex(*frame.arguments, k);
        }
    }
    return index;
}

Point& BoundPoint(CallFrame& frame, int index) {
    return PointAt(*frame.run->store, BindObject(frame, index, TypePoint));
}
Line& BoundLine(CallFrame& frame, int index) {
    return LineAt(*frame.run->store, BindObject(frame, index, TypeLine));
}
Circle& BoundCircle(CallFrame& frame, int index) {
    return CircleAt(*frame.run->store, BindObject(frame, index, TypeCircle));
}

DrawTarget FrameBuffer(CallFrame& frame) {
    return BufferTarget(*frame.run->buffer);
}

void ShowFrameBuffer(CallFrame& frame) {
    ShowBuffer(FrameBuffer(frame));
}

bool ShowsAfterDrawing(const CallFrame& frame) {
    return !(frame.kind == KindConstruction && frame.mode == PaceMode::Fast);
}

void TakeTempSnapshot(CallFrame& frame) {
    KeepCopy(frame.tempSnapshot, frame.run->buffer->handle);
}

void TakeRestartSnapshot(CallFrame& frame) {
    RunContext& run = *frame.run;
    frame.passPicture.reset();
    const std::uint8_t* buffer = run.buffer->handle;
    const std::uint64_t changes = RasterChangeCount();
    SharedSnapshot latest =
        buffer && buffer == run.latestSnapshotBuffer ? run.latestSnapshot.lock() : nullptr;
    if (latest && changes == run.latestSnapshotChanges) {
        frame.restartSnapshot = std::move(latest);
        return;
    }
    frame.restartSnapshot = SnapshotOf(buffer, latest.get());
    run.latestSnapshot = frame.restartSnapshot;
    run.latestSnapshotBuffer = buffer;
    run.latestSnapshotChanges = changes;
}

void RestoreForPass(CallFrame& frame) {
    DrawingBuffer& buffer = *frame.run->buffer;
    // Paced loops wait between their pictures anyway and keep no extra copy.
    if (frame.mode != PaceMode::Fast) {
        RestoreSnapshot(buffer, frame.restartSnapshot.get());
        return;
    }
    if (!frame.passPicture ||
        !RasterRestoreSince(buffer.handle, frame.passPicture.get(), frame.passPictureMark)) {
        RestoreSnapshot(buffer, frame.restartSnapshot.get());
        KeepCopy(frame.passPicture, buffer.handle);
    }
    frame.passPictureMark = RasterChangeMark();
}

}  // namespace zir
