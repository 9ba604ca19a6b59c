// Inside the platform layer: what each backend provides, and the viewer state both fill.
// Only src/platform/ includes this header.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/viewerinput.h"

namespace zir {

// What the viewer has done so far and the program has not yet read.
struct ViewerState {
    std::deque<std::string> keys;
    int x = 0;
    int y = 0;
    int wheel = 0;
    int buttons = 0;
    // Buttons pressed since the last PollMouse: a press released before the program looked
    // is still reported once, so a quick click is never lost.
    int pressedUnseen = 0;
    bool inside = false;        // the mouse is over the screen's pixels
    bool mouseChanged = false;  // since the last PollMouse
    bool closeRequested = false;
    bool failed = false;  // the window could not be opened
};

// Keeps a key press, unless so many are waiting that the program is plainly not reading.
void QueueKey(ViewerState& viewer, std::string key);
// A mouse button (bit 0 left, 1 right, 2 middle) goes down or up.
void PressButton(ViewerState& viewer, int bit);
void ReleaseButton(ViewerState& viewer, int bit);

// What an event of the viewer input does to the viewer's state, on a screen of this size.
void ApplyViewerEvent(ViewerState& viewer, const ViewerEvent& event, int screenWidth,
                      int screenHeight);

enum class PollKind { Key, Mouse };

class Backend {
  public:
    virtual ~Backend() = default;
    // Makes the window show a screen of this size; false when it cannot.
    virtual bool ShowScreen(int width, int height) = 0;
    // Shows the screen image (RGB565) that has changed.
    virtual void Present(const std::uint8_t* screen) = 0;
    virtual void SetTitle(const std::string& text) = 0;
    virtual void SetIcon(const std::uint8_t* image) = 0;
    virtual ScreenInfo Desktop() = 0;
    virtual double ClockMs() = 0;
    // Takes in what the viewer did, for a poll of this kind.
    virtual void Poll(PollKind kind) = 0;
    // Lets ms milliseconds pass (ms >= 1) while taking in what the viewer does; may end
    // early once the window is closed.
    virtual void Pass(int ms) = 0;
    // Waits for the viewer's next action, at most maxMs.
    virtual void Wait(int maxMs) = 0;
    // Keeps the window alive while the program waits for something else (console input).
    virtual void KeepAlive() = 0;
    // Makes the clock read clockMs now and go on from there: a run replayed on the virtual
    // clock goes on in the window without a jump in its time.
    virtual void StartClockAt(double) {}
    // The viewer has been shown step number of the run, described by text (UTF-8); a page
    // tells a screen reader and its list of steps.
    virtual void AnnounceStep(int, double, int, const std::string&) {}
};

// The clock of a backend on real time. It keeps to the schedule of the sleeps, in whole
// milliseconds as the virtual clock does: a sleep ends at the time the last one was due to
// end plus its length, so the time spent drawing and presenting in between is taken from
// it, not added to it. Work that outlasts what the sleeps leave room for, by more than
// MaxLagMs, puts the clock back on real time: the demonstration then runs late rather than
// hurrying on.
class ScheduledClock {
  public:
    static constexpr double MaxLagMs = 100;

    double Now(double realMs) {
        realMs += offsetMs_;
        if (realMs - scheduledMs_ > MaxLagMs) scheduledMs_ = std::floor(realMs);
        return scheduledMs_;
    }
    // Starts a sleep of ms milliseconds; returns the real time it is due to end.
    double Sleep(double realMs, int ms) {
        scheduledMs_ = Now(realMs) + ms;
        return scheduledMs_ - offsetMs_;
    }
    // Time spent waiting for the viewer was not scheduled: the clock takes it as it was.
    void CatchUp(double realMs) {
        scheduledMs_ = std::max(scheduledMs_, std::floor(realMs + offsetMs_));
    }
    // From now on the clock runs from clockMs.
    void StartAt(double realMs, double clockMs) {
        offsetMs_ = clockMs - realMs;
        scheduledMs_ = clockMs;
    }

  private:
    double scheduledMs_ = 0;  // when the last sleep was due to end
    double offsetMs_ = 0;     // added to the real time
};

// Gives the host its turn now and then during long work (the browser's page must stay
// responsive and hear its stop button, which then closes the window); nothing on the
// desktop, where the window's events wait in their queue.
void Breathe(ViewerState& viewer);

// The window counts as closed once the virtual clock passes maxVirtualMs, and when the
// program waits for the viewer after the last event (a replay's backend, given no events of
// its own, lets the time of the wait pass instead).
std::unique_ptr<Backend> MakeHeadlessBackend(ViewerState& viewer, std::vector<ViewerEvent> events,
                                             std::int64_t maxVirtualMs, bool replay = false);
// The window of the desktop (SDL2), or the canvas of the browser's page. Null, with the
// reason in message, when no display can be opened.
std::unique_ptr<Backend> MakeWindowedBackend(ViewerState& viewer, std::string& message);

}  // namespace zir
