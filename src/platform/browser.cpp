// The browser's backend (emscripten): the screen on the page's canvas, the viewer's keys,
// mouse and fingers from the page's events, a real clock, and sleeps that hand the browser
// its turn (Asyncify unwinds the engine's stack and winds it up again afterwards, so the
// engine's waiting loops stay as they are). The page's side is src/platform/browser.js.
//
// Pictures are written through the browser's own PNG encoder; GIFs by the program's own
// writer (gif.cpp), the same as on the desktop.
#include <emscripten/emscripten.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/pdf.h"
#include "platform/png.h"
#include "platform/textcode.h"

extern "C" {
// Sizes the canvas to the screen.
void zir_canvas_show(int width, int height);
// Puts width x height RGBA pixels on the canvas.
void zir_canvas_put(const std::uint8_t* rgba, int width, int height);
// The page's title, as UTF-8.
void zir_title(const char* utf8);
void zir_desktop(int* width, int* height);
double zir_now();
// The viewer's next action as four numbers (see EventKind), or 0 when none is waiting.
int zir_next_event(int* event);
int zir_stop_requested();
// True while the page holds the run (an embedded page scrolled out of view).
int zir_held();
// Lets the browser run for up to ms milliseconds; ends early when the page is stopped, and
// when the viewer acts if wakeOnInput.
void zir_block(int ms, int wakeOnInput);
// Lets the browser handle what is waiting, and comes back at once.
void zir_yield();
// The viewer's action just taken in (the four numbers of zir_next_event), at this time of
// the run's clock: the page keeps them to replay the run up to a step.
void zir_event_taken(int kind, int a, int b, int c, double clockMs);
// Step number of the run is shown at clockMs, made by script line (1-based, or 0).
void zir_step(int number, double clockMs, int line, const char* utf8);
// Writes width x height RGBA pixels to the file as a PNG carrying the script (UTF-8, length
// bytes; none when 0); 0 when it cannot.
int zir_write_png(const char* path, const std::uint8_t* rgba, int width, int height,
                  const char* script, int length);
}

namespace zir {
namespace {

// What browser.js puts in the first of an event's four numbers.
enum EventKind { Character = 1, SpecialKey, Move, Press, Release, Wheel, Leave };

// The keys browser.js sends by their place in its list of special keys.
constexpr std::string_view SpecialKeys[] = {
    keys::Enter, keys::Esc,   keys::Backspace, keys::Tab,      keys::Up,   keys::Down,
    keys::Left,  keys::Right, keys::PageUp,    keys::PageDown, keys::Home, keys::End};

// How long the engine may work before the page gets its turn: short enough that a click on
// the page's stop button takes effect at once, long enough to cost next to nothing.
constexpr double BreathEveryMs = 25;
// The clock is read once in so many calls: a statement is often cheaper than reading it.
constexpr unsigned ClockCheckInterval = 64;

// The image's pixels as opaque RGBA, as a canvas takes them; a 1-byte image's pixels are
// grey levels of their palette indexes.
void ToRgba(const std::uint8_t* image, std::vector<std::uint8_t>& rgba) {
    const int width = ImageWidth(image), height = ImageHeight(image);
    rgba.resize(static_cast<std::size_t>(width) * height * 4);
    std::uint8_t* out = rgba.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, out += 4) {
            Colour c = ImageColourAt(image, x, y);
            if (ImageBytesPerPixel(image) == 1) c = {c.Blue(), c.Blue(), c.Blue()};
            out[0] = c.Red();
            out[1] = c.Green();
            out[2] = c.Blue();
            out[3] = 255;
        }
    }
}

// Stays while the page holds the run, without taking the processor; the clock then finds
// itself behind and goes on from the real time instead of hurrying to catch up.
void WaitWhileHeld() {
    while (zir_held() && !zir_stop_requested()) zir_block(1000, 0);
}

class BrowserBackend final : public Backend {
  public:
    explicit BrowserBackend(ViewerState& viewer) : viewer_(viewer), startMs_(zir_now()) {}

    bool ShowScreen(int width, int height) override {
        zir_canvas_show(width, height);
        screenWidth_ = width;
        screenHeight_ = height;
        UpdateInside();
        return true;
    }

    void Present(const std::uint8_t* screen) override {
        ToRgba(screen, rgba_);
        zir_canvas_put(rgba_.data(), screenWidth_, screenHeight_);
    }

    void SetTitle(const std::string& text) override {
        zir_title(Utf8FromWindows1252(text).c_str());
    }

    // The page keeps its own icon.
    void SetIcon(const std::uint8_t*) override {}

    ScreenInfo Desktop() override {
        int width = 0, height = 0;
        zir_desktop(&width, &height);
        return {width, height, 16};
    }

    double ClockMs() override { return clock_.Now(RealMs()); }

    void Poll(PollKind) override { TakeEvents(); }

    void Pass(int ms) override {
        WaitWhileHeld();
        const double dueMs = clock_.Sleep(RealMs(), ms);
        for (;;) {
            TakeEvents();
            const double remaining = dueMs - RealMs();
            if (viewer_.closeRequested || remaining <= 0) return;
            zir_block(static_cast<int>(std::ceil(remaining)), 0);
        }
    }

    // The clock catches up before the viewer's actions are taken in, so that each is kept
    // with the time it came at: a replay must not see it before the wait it ended.
    void Wait(int maxMs) override {
        WaitWhileHeld();
        clock_.CatchUp(RealMs());
        TakeEvents();
        if (!InputPending()) {
            zir_block(maxMs, 1);
            clock_.CatchUp(RealMs());
            TakeEvents();
        }
    }

    void KeepAlive() override {
        zir_block(1, 1);
        clock_.CatchUp(RealMs());
        TakeEvents();
    }

    void StartClockAt(double clockMs) override { clock_.StartAt(RealMs(), clockMs); }

    void AnnounceStep(int number, double timeMs, int line, const std::string& text) override {
        zir_step(number, timeMs, line, text.c_str());
    }

  private:
    double RealMs() const { return zir_now() - startMs_; }

    bool InputPending() const {
        return !viewer_.keys.empty() || viewer_.mouseChanged || viewer_.closeRequested;
    }

    void UpdateInside() {
        viewer_.inside = mouseOver_ && viewer_.x >= 0 && viewer_.y >= 0 &&
                         viewer_.x < screenWidth_ && viewer_.y < screenHeight_;
        viewer_.mouseChanged = true;
    }

    void TakeEvents() {
        int event[4] = {};
        while (zir_next_event(event)) {
            Handle(event);
            zir_event_taken(event[0], event[1], event[2], event[3], ClockMs());
        }
        if (zir_stop_requested()) viewer_.closeRequested = true;
    }

    void Handle(const int* event) {
        switch (event[0]) {
            case Character:
                QueueKey(viewer_,
                         std::string(1, Windows1252FromCodePoint(static_cast<char32_t>(event[1]))));
                return;
            case SpecialKey:
                if (event[1] >= 0 && event[1] < static_cast<int>(std::size(SpecialKeys))) {
                    QueueKey(viewer_, std::string(SpecialKeys[event[1]]));
                }
                return;
            case Press:
                PressButton(viewer_, event[3]);
                break;
            case Release:
                ReleaseButton(viewer_, event[3]);
                break;
            case Wheel:
                viewer_.wheel += event[1];
                viewer_.mouseChanged = true;
                return;
            case Leave:
                mouseOver_ = false;
                UpdateInside();
                return;
            default:
                break;
        }
        mouseOver_ = true;
        viewer_.x = event[1];
        viewer_.y = event[2];
        UpdateInside();
    }

    ViewerState& viewer_;
    double startMs_ = 0;
    ScheduledClock clock_;
    std::vector<std::uint8_t> rgba_;  // the screen as the canvas takes it, kept for the next
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    bool mouseOver_ = false;
};

}  // namespace

void Breathe(ViewerState& viewer) {
    static unsigned calls = 0;
    static double lastMs = 0;
    if (++calls % ClockCheckInterval != 0) return;
    const double now = zir_now();
    if (now - lastMs < BreathEveryMs) return;
    zir_yield();
    WaitWhileHeld();
    lastMs = zir_now();
    if (zir_stop_requested()) viewer.closeRequested = true;
}

// For the page, while the engine sleeps: whether a finger put down at this screen pixel
// grabs a point.
extern "C" EMSCRIPTEN_KEEPALIVE int zir_would_grab(int x, int y) {
    return WouldGrab(x, y) ? 1 : 0;
}

// For the page: the points the viewer may grab now, a line each: x, y and the point's name
// (UTF-8; a name is one token, without blanks).
extern "C" EMSCRIPTEN_KEEPALIVE const char* zir_grab_points() {
    static std::string lines;
    lines.clear();
    for (const GrabPoint& p : GrabPoints()) {
        lines += std::to_string(p.x) + ' ' + std::to_string(p.y) + ' ' +
                 Utf8FromWindows1252(p.name) + '\n';
    }
    return lines.c_str();
}

std::unique_ptr<Backend> MakeWindowedBackend(ViewerState& viewer, std::string&) {
    return std::make_unique<BrowserBackend>(viewer);
}

bool WritePng(const std::string& path, const std::uint8_t* image, std::string_view script) {
    std::vector<std::uint8_t> rgba;
    ToRgba(image, rgba);
    return zir_write_png(path.c_str(), rgba.data(), ImageWidth(image), ImageHeight(image),
                         script.data(), static_cast<int>(script.size())) != 0;
}

PictureScript ReadPngScript(std::string_view) {
    return {PictureScriptStatus::Missing, {}, 0};
}

// The page writes pictures as SVG; PDF pages are the desktop program's.
bool WritePdf(const std::string&, double, double, const std::vector<PdfPage>&,
              std::string& message) {
    message = "PDF is written by the desktop program; the page saves SVG";
    return false;
}

}  // namespace zir
