// What the animated construction steps share: the instrument word, the snapshot of the
// drawing buffer that every frame starts from, showing the buffer, the number of frames a
// duration has, and the wait for a frame's end.
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "runtime/pacing.h"

namespace zir {

// The instrument word of the animations: the low 24 bits are the instrument's colour.
inline constexpr std::uint32_t InstrumentColourBits = 0x00FFFFFF;
// Draw the pencil (line animations) or the compass (arc animations).
inline constexpr std::uint32_t ShowPencil = 0x01000000;
// Draw the ruler (line animations only).
inline constexpr std::uint32_t ShowRuler = 0x02000000;
// Bits 26 to 31: the ruler's tick spacing in pixels, 0 for no scale.
inline constexpr int TickSpacingShift = 26;

inline Colour InstrumentColour(std::uint32_t word) {
    return Colour{word & InstrumentColourBits};
}
inline std::int32_t TickSpacing(std::uint32_t word) {
    return static_cast<std::int32_t>(word >> TickSpacingShift);
}

// A copy of the whole buffer taken when it is made; Restore copies it back. Without a
// buffer to copy (no screen yet, or no memory) Restore does nothing.
class Snapshot {
  public:
    explicit Snapshot(DrawTarget buffer);
    void Restore() const;

  private:
    DrawTarget buffer_ = nullptr;
    Image image_;
};

// Copies the whole buffer onto the screen with its top-left corner at (x, y).
void Show(DrawTarget buffer, int x, int y);

// The frames of an animation of this many seconds at the frame period of the settings,
// rounded to the nearest whole number (halves to even); 0 for a duration below half a
// period and for a period that is not positive.
std::int32_t FrameCount(float durationSeconds);

// The end of each frame, one frame period after the one before, the first one period after
// the clock was made.
class FrameClock {
  public:
    FrameClock();
    // Sleeps in 10 ms steps, polling after each, until the frame's end has passed: at least
    // one sleep even when the frame is late. Returns the first input, at once, or 0.
    // Closed() tells whether the viewer closed the window meanwhile.
    InputEvent WaitForFrameEnd();
    bool Closed() const;

  private:
    float deadline_ = 0;
};

// The pause while an instrument stays shown (instrumentWait ms); the input that ends it, or 0.
InputEvent InstrumentPause();

// The frame loop of the growing figures: each frame restores the snapshot, draws itself
// (drawFrame returns non-zero when there is no frame left), is shown and waits for its end.
// Returns the input that ended the loop, or 0.
template <class DrawFrame>
InputEvent RunFrames(const Snapshot& snapshot, DrawTarget buffer, int x, int y,
                     DrawFrame&& drawFrame) {
    FrameClock clock;
    for (;;) {
        snapshot.Restore();
        if (drawFrame() != 0) return 0;
        Show(buffer, x, y);
        if (InputEvent event = clock.WaitForFrameEnd()) return event;
        if (clock.Closed()) return 0;
    }
}

}  // namespace zir
