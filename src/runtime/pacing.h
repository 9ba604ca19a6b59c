// Pacing: the input event word, the timed wait, the control bar and the classification of
// input into the viewer's controls. The pause loop itself lives with the engine, which owns
// the state it changes.
//
// Input event word (32 bits):
//   0                      no input
//   bit 31 set, 30 clear   mouse: bits 0-11 x, 12-23 y (screen pixels), 24-27 buttons
//   bit 30 set, 31 clear   key: bits 0-7 the first character, 8-15 the second or 0
#pragma once

#include <cstdint>
#include <string>

#include "draw/raster.h"

namespace zir {

using InputEvent = std::uint32_t;

enum class ControlAction { None = 0, PauseOrContinue = 1, Restart = 2, End = 3 };

// How the pacing modes and the internal no-drawing mode are numbered.
enum class PaceMode { Fast = 0, Pace = 1, Slow = 2, Compute = 4 };

struct DecodedInput {
    std::string key;  // one or two characters, empty for none or the mouse
    int x = -1;
    int y = -1;
    int buttons = 0;
};

// Reads one waiting key and the mouse; a pressed button wins over the key, which is then lost.
InputEvent PollInput();
DecodedInput DecodeInput(InputEvent event);
InputEvent KeyEvent(const std::string& keyText);
InputEvent MouseEvent(int x, int y, int buttons);

// Sleeps in steps of stepMs, polling after each, until the clock has passed the deadline or
// input arrives; returns that input, or 0 (also when the window is closed). Sleeps and
// polls at least once.
InputEvent WaitUntil(double deadlineSeconds, int stepMs);
// Sleeps in 20 ms steps until the time has passed or input arrives; returns that input,
// or 0. Zero or negative times still sleep once and poll once.
InputEvent TimedWait(std::int32_t ms);
// What the viewer is given to look at as one step.
enum class StepKind {
    Paced,      // the picture of a paced step, before its pause
    Menu,       // a menu about to wait for the viewer's choice
    LoopStart,  // the first picture of an interaction or animation
};
// Watches a run's steps, for the handout and for the page's list of steps: told of every
// statement as it starts (inside a FAST construction, whose work is one step, with fast set),
// of every step, and of each interaction or animation as it is entered and left.
class RunWatcher {
  public:
    virtual ~RunWatcher() = default;
    virtual void Statement(int block, int slot, bool fast) = 0;
    virtual void Step(StepKind kind) = 0;
    virtual void Loop(bool entered) = 0;
    // A run without a viewer (the handout's): the viewer's pauses (WAIT, Weiter) go on at
    // once.
    virtual bool Unattended() const = 0;
};
// Whether SLOW calls show the instruments; without, for viewers who want less motion, they
// run as PACE calls. Shown unless set otherwise; kept across runs.
void ShowInstruments(bool shown);
bool InstrumentsShown();

// The watcher of the run (null for none).
void WatchRun(RunWatcher* watcher);
RunWatcher* RunWatched();

// The pause after a paced step: stepWait ms, unless input already ended an earlier wait of
// the step (event not 0); the input that ends it is kept in event.
void PauseAfterStep(InputEvent& event);

// Waits, without spinning, until no mouse button is pressed or the window is closed.
void WaitForRelease();

// The control bar: the bottom rows of the screen, with three buttons from its left edge.
inline constexpr int ControlBarHeight = 20;
inline constexpr int ControlButtonWidth = 128;
inline constexpr int ControlButtonCount = 3;

// Enter: pause/continue; r, R or Page Up: restart; Esc: end; a click on one of the three
// buttons of the bar likewise (after waiting for the button's release).
ControlAction CheckControls(InputEvent event);

// Copies the whole drawing buffer to the screen with its top-left corner at (x, y).
void ShowBuffer(DrawTarget buffer, int x, int y);
// The same at the drawing area's origin from the run-time settings.
void ShowBuffer(DrawTarget buffer);
// Shows the buffer at (x, y), then pauses as after a paced step.
void ShowAndPause(DrawTarget buffer, int x, int y, InputEvent& event);

// Draws the control bar on the bottom 20 rows of the screen; its first button reads
// "Weiter" while paused, else "Pause". Nothing without a screen.
void DrawControlBar(bool paused);

// How much lighter and darker than the bar colour the raised edges of the control bar's
// buttons, the menus and the console band are, per channel.
inline constexpr int BarEdgeShade = 0x30;
// Draws the raised edges of the screen box with these inclusive corners in the bar colour's
// shades: the top and left edges lighter, then the right and bottom ones darker.
void DrawRaisedEdges(int left, int top, int right, int bottom);

}  // namespace zir
