#include "anim/frames.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr int PollMs = 10;
// More frames than anyone can sit through; keeps the count a number.
constexpr double MostFrames = 1e8;

}  // namespace

Snapshot::Snapshot(DrawTarget buffer) : buffer_(buffer) {
    const TargetInfo size = TargetSize(buffer);
    if (size.width < 1 || size.height < 1) return;
    image_.reset(ImageCreateWithDepth(size.width, size.height, size.bytesPerPixel));
    if (image_) RasterGrab(buffer, 0, 0, size.width - 1, size.height - 1, image_.get());
}

void Snapshot::Restore() const {
    if (image_) RasterBlit(buffer_, 0, 0, image_.get(), BlitMode::Copy);
}

void Show(DrawTarget buffer, int x, int y) {
    ShowBuffer(buffer, x, y);
}

std::int32_t FrameCount(float durationSeconds) {
    const float period = Settings().frameSeconds;
    if (!(period > 0)) return 0;
    const double frames = std::nearbyint(static_cast<double>(durationSeconds) / period);
    if (!(frames >= 1)) return 0;
    return static_cast<std::int32_t>(std::min(frames, MostFrames));
}

FrameClock::FrameClock()
    : deadline_(static_cast<float>(ClockSeconds() + Settings().frameSeconds)) {}

InputEvent FrameClock::WaitForFrameEnd() {
    const InputEvent event = WaitUntil(deadline_, PollMs);
    if (event == 0 && !CloseRequested()) deadline_ += Settings().frameSeconds;
    return event;
}

InputEvent InstrumentPause() {
    return TimedWait(Settings().instrumentWait);
}

bool FrameClock::Closed() const {
    return CloseRequested();
}

}  // namespace zir
