#include "platform/platform.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/backend.h"
#include "platform/frames.h"
#include "platform/gif.h"
#include "platform/textcode.h"

namespace zir {
namespace {

constexpr std::size_t MaxWaitingKeys = 1024;
constexpr std::size_t TitleMaxChars = 127;
constexpr int LongSleepMs = 100;
constexpr int SleepStepMs = 50;
constexpr int ConsolePollMs = 20;

struct PlatformState {
    std::unique_ptr<Backend> backend;
    BackendKind kind = BackendKind::Headless;
    ViewerState viewer;
    Image screen;
    bool screenChanged = false;
    bool screenFresh = false;  // opened and not drawn on since
    std::string gifPath;       // where the GIF goes; its recorder opens at the first picture
    FrameRecorder frames;
    GifRecorder gif;
    bool gifPaused = false;
    int consoleInFd = 0;
    int consoleOutFd = 1;
    std::string consoleBuffer;
    bool consoleEnded = false;
    std::uint32_t screenSerial = 0;
    int screenSideLimit = 0;
    std::int64_t statementsLeft = -1;  // headless: until the run ends; -1 for no limit
    std::int64_t realDeadlineMs = 0;   // headless: steady-clock time the run must end by, or 0
    void (*screenUseHook)() = nullptr;
    bool (*grabTest)(int x, int y) = nullptr;
    std::vector<GrabPoint> (*grabPoints)() = nullptr;
    // A window's viewer input, played on its real clock (a demonstration of the script).
    std::vector<ViewerEvent> played;
    std::size_t nextPlayed = 0;
    std::string title;
    // While the viewer input is replayed without a window: the window the run goes on in,
    // which meanwhile hears of the steps replayed.
    std::unique_ptr<Backend> liveWindow;
};

PlatformState gState;

void BeforeScreenUse() {
    if (gState.screenUseHook) gState.screenUseHook();
}

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The layer used without PlatformStart (an outside caller of the library) gets a window
// where one can be had.
Backend& Active() {
    if (!gState.backend) {
        std::string message;
        PlatformOptions options;
        if (PlatformStart(options, message) != PlatformError::None) {
            options.backend = BackendKind::Headless;
            PlatformStart(options, message);
        }
    }
    return *gState.backend;
}

// Applies the played viewer input that is due by now.
void PlayDueInput() {
    if (gState.nextPlayed >= gState.played.size()) return;
    const double now = gState.backend->ClockMs();
    const std::uint8_t* screen = gState.screen.get();
    while (gState.nextPlayed < gState.played.size() && !gState.viewer.closeRequested &&
           gState.played[gState.nextPlayed].timeMs <= now) {
        ApplyViewerEvent(gState.viewer, gState.played[gState.nextPlayed++],
                         screen ? ImageWidth(screen) : 0, screen ? ImageHeight(screen) : 0);
    }
}

// Milliseconds until the next played event is due, or maxMs when that is later.
int UntilNextPlayed(int maxMs) {
    if (gState.nextPlayed >= gState.played.size()) return maxMs;
    const double due =
        static_cast<double>(gState.played[gState.nextPlayed].timeMs) - gState.backend->ClockMs();
    return static_cast<int>(std::clamp(std::ceil(due), 0.0, static_cast<double>(maxMs)));
}

void PresentIfChanged() {
    Backend& backend = Active();
    Breathe(gState.viewer);
    PlayDueInput();
    if (!gState.screenChanged || !gState.screen) return;
    gState.screenChanged = false;
    backend.Present(gState.screen.get());
    FramesCapture(gState.frames, gState.screen.get(), backend.ClockMs());
    if (gState.gifPath.empty() || gState.gifPaused) return;
    if (!gState.gif) {
        const std::uint8_t* screen = gState.screen.get();
        gState.gif = GifOpen(gState.gifPath, ImageWidth(screen), ImageHeight(screen));
        if (!gState.gif) gState.gifPath.clear();  // gone since the start: record nothing
    }
    if (gState.gif) {
        GifAddPicture(*gState.gif, gState.screen.get(),
                      static_cast<std::int64_t>(backend.ClockMs()));
    }
}

// The last picture of the animation stays this long before it starts again.
constexpr std::int64_t GifHoldMs = 3000;

// Finishes the GIF; a run that showed no picture leaves no file behind.
void GifStop() {
    if (gState.gif) {
        GifClose(std::move(gState.gif), GifHoldMs);
    } else if (!gState.gifPath.empty()) {
        std::remove(gState.gifPath.c_str());
    }
    gState.gif.reset();
    gState.gifPath.clear();
}

bool KeyWaiting() {
    return !gState.viewer.keys.empty();
}

// The locale's code set decides: 8-bit Latin code pages get the bytes as they are, anything
// else (UTF-8, and the plain C locale of most build machines) gets UTF-8.
bool ConsoleWantsUtf8() {
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (!locale) return true;
    std::string lower(locale);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("8859") == std::string::npos && lower.find("1252") == std::string::npos &&
           lower.find("latin") == std::string::npos;
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

void QueueKey(ViewerState& viewer, std::string key) {
    if (viewer.keys.size() < MaxWaitingKeys) viewer.keys.push_back(std::move(key));
}

void PressButton(ViewerState& viewer, int bit) {
    viewer.buttons |= bit;
    viewer.pressedUnseen |= bit;
    viewer.mouseChanged = true;
}

void ReleaseButton(ViewerState& viewer, int bit) {
    viewer.buttons &= ~bit;
    viewer.mouseChanged = true;
}

void ApplyViewerEvent(ViewerState& viewer, const ViewerEvent& event, int screenWidth,
                      int screenHeight) {
    switch (event.action) {
        case ViewerAction::Key:
            QueueKey(viewer, event.key);
            return;
        case ViewerAction::Close:
            viewer.closeRequested = true;
            return;
        case ViewerAction::Press:
            PressButton(viewer, 1);
            break;
        case ViewerAction::Release:
            ReleaseButton(viewer, 1);
            break;
        case ViewerAction::Move:
            break;
    }
    viewer.x = event.x;
    viewer.y = event.y;
    viewer.mouseChanged = true;
    viewer.inside = event.x >= 0 && event.y >= 0 && event.x < screenWidth && event.y < screenHeight;
}

PlatformError PlatformStart(const PlatformOptions& options, std::string& message) {
    PlatformStop();
    BeforeScreenUse();
    gState.viewer = ViewerState{};
    gState.screen.reset();
    ++gState.screenSerial;
    gState.screenChanged = false;
    gState.consoleInFd = options.consoleInFd;
    gState.consoleOutFd = options.consoleOutFd;
    gState.consoleBuffer.clear();
    gState.consoleEnded = false;

    std::vector<ViewerEvent> events;
    if (!options.inputPath.empty() && !ReadViewerInput(options.inputPath, events, message)) {
        return PlatformError::InputFile;
    }
    if (options.inputPath.empty() && !options.inputText.empty() &&
        !ParseViewerInput(options.inputText, "input", events, message)) {
        return PlatformError::InputFile;
    }
    if (!options.framesDir.empty() && !FramesStart(gState.frames, options.framesDir, message)) {
        return PlatformError::FramesDir;
    }
    gState.gifPaused = false;
    gState.gifPath = options.gifPath;
    if (!gState.gifPath.empty()) {
        // The GIF takes the screen's size, known only when the first picture is shown; until
        // then an empty file holds the place, so a path that cannot be written is found now.
        std::FILE* f = std::fopen(gState.gifPath.c_str(), "wb");
        if (!f) {
            FramesStop(gState.frames);
            message = "cannot write the GIF file " + gState.gifPath;
            gState.gifPath.clear();
            return PlatformError::GifFile;
        }
        std::fclose(f);
    }
    if (options.replay && options.backend == BackendKind::Windowed) {
        gState.liveWindow = MakeWindowedBackend(gState.viewer, message);
        if (!gState.liveWindow) {
            FramesStop(gState.frames);
            return PlatformError::NoDisplay;
        }
        gState.backend = MakeHeadlessBackend(gState.viewer, {}, options.maxVirtualMs, true);
    } else if (options.backend == BackendKind::Headless) {
        gState.backend =
            MakeHeadlessBackend(gState.viewer, std::move(events), options.maxVirtualMs);
        gState.statementsLeft = options.maxStatements > 0 ? options.maxStatements : -1;
        gState.realDeadlineMs = options.maxRealMs > 0 ? SteadyMs() + options.maxRealMs : 0;
        gState.screenSideLimit = std::max(options.maxScreenSide, 0);
    } else {
        gState.backend = MakeWindowedBackend(gState.viewer, message);
        if (!gState.backend) {
            FramesStop(gState.frames);
            return PlatformError::NoDisplay;
        }
    }
    gState.played.clear();
    gState.nextPlayed = 0;
    if (options.backend != BackendKind::Headless) {
        gState.played = std::move(events);
        gState.statementsLeft = -1;
        gState.realDeadlineMs = 0;
        gState.screenSideLimit = 0;
    }
    gState.kind = options.backend;
    return PlatformError::None;
}

void GoLive() {
    if (!gState.liveWindow) return;
    gState.liveWindow->StartClockAt(gState.backend->ClockMs());
    gState.backend = std::move(gState.liveWindow);
    if (!gState.title.empty()) gState.backend->SetTitle(gState.title);
    if (const std::uint8_t* screen = ScreenImage()) {
        if (!gState.backend->ShowScreen(ImageWidth(screen), ImageHeight(screen))) {
            gState.viewer.failed = true;
            gState.viewer.closeRequested = true;
            return;
        }
        gState.screenChanged = true;
    }
}

void AnnounceStep(int number, double timeMs, int line, std::string_view text) {
    Backend& window = gState.liveWindow ? *gState.liveWindow : Active();
    window.AnnounceStep(number, timeMs, line, Utf8FromWindows1252(text));
}

void PlatformStop() {
    gState.liveWindow.reset();
    GifStop();
    gState.backend.reset();
    FramesStop(gState.frames);
}

void GifRecordingPaused(bool paused) {
    // The figure finished before the closing logo belongs to the GIF even if no sleep has
    // shown it yet; before the first recorded picture (the opening logo) nothing does.
    if (paused && !gState.gifPaused && gState.gif && gState.screenChanged && !gState.screenFresh) {
        GifAddPicture(*gState.gif, gState.screen.get(),
                      static_cast<std::int64_t>(Active().ClockMs()));
    }
    gState.gifPaused = paused;
}

bool PlatformFailed() {
    return gState.viewer.failed;
}

bool ScreenOpen(int width, int height, int bitsPerPixel) {
    Backend& backend = Active();
    if (bitsPerPixel != 16) return false;
    Image image{ImageCreateWithDepth(width, height, 2, Colour{0})};
    if (!image) return false;
    if (!backend.ShowScreen(width, height)) return false;
    BeforeScreenUse();
    gState.screen = std::move(image);
    ++gState.screenSerial;
    gState.screenChanged = true;
    gState.screenFresh = true;
    return true;
}

std::uint32_t ScreenSerial() {
    return gState.screenSerial;
}

bool ScreenIsSeen() {
    if (gState.liveWindow) return false;
    return gState.kind != BackendKind::Headless || !gState.frames.dir.empty() ||
           !gState.gifPath.empty();
}

void SetScreenUseHook(void (*hook)()) {
    gState.screenUseHook = hook;
}

void SetGrabTest(bool (*test)(int x, int y), std::vector<GrabPoint> (*points)()) {
    gState.grabTest = test;
    gState.grabPoints = points;
}

std::vector<GrabPoint> GrabPoints() {
    return gState.grabPoints ? gState.grabPoints() : std::vector<GrabPoint>{};
}

bool WouldGrab(int x, int y) {
    return gState.grabTest && gState.grabTest(x, y);
}

int ScreenSideLimit() {
    return gState.screenSideLimit;
}

ScreenInfo ScreenQuery() {
    const std::uint8_t* screen = gState.screen.get();
    if (!screen) return Active().Desktop();
    return {ImageWidth(screen), ImageHeight(screen), 16};
}

const std::uint8_t* ScreenImage() {
    BeforeScreenUse();
    return gState.screen.get();
}

ImageHandle ScreenImageForDrawing() {
    BeforeScreenUse();
    if (gState.screen) gState.screenChanged = true;
    gState.screenFresh = false;
    return gState.screen.get();
}

void SetWindowTitle(std::string_view text) {
    gState.title = std::string(text.substr(0, std::min(text.size(), TitleMaxChars)));
    Active().SetTitle(gState.title);
}

std::string WindowTitle() {
    return gState.title;
}

void SetWindowIcon(const std::uint8_t* image) {
    if (image && ImageHeaderValid(image)) Active().SetIcon(image);
}

std::string PollKey() {
    PresentIfChanged();
    gState.backend->Poll(PollKind::Key);
    if (gState.viewer.keys.empty()) return {};
    std::string key = std::move(gState.viewer.keys.front());
    gState.viewer.keys.pop_front();
    return key;
}

MouseState PollMouse() {
    PresentIfChanged();
    gState.backend->Poll(PollKind::Mouse);
    ViewerState& v = gState.viewer;
    v.mouseChanged = false;
    const int buttons = v.buttons | v.pressedUnseen;
    v.pressedUnseen = 0;
    return {v.x, v.y, v.wheel, v.inside ? buttons : -1, buttons};
}

double ClockSeconds() {
    return Active().ClockMs() / 1000.0;
}

void SleepMs(int ms) {
    PresentIfChanged();
    Backend& backend = *gState.backend;
    if (ms < 1 || gState.viewer.closeRequested) return;
    if (ms < LongSleepMs) {
        backend.Pass(ms);
        return;
    }
    for (int step = 0; step < ms / SleepStepMs; ++step) {
        PlayDueInput();
        if (KeyWaiting() || gState.viewer.closeRequested) return;
        backend.Pass(SleepStepMs);
    }
    PlayDueInput();
    if (KeyWaiting() || gState.viewer.closeRequested) return;
    if (ms % SleepStepMs) backend.Pass(ms % SleepStepMs);
}

void WaitForInput(int maxMs) {
    PresentIfChanged();
    const ViewerState& v = gState.viewer;
    if (KeyWaiting() || v.mouseChanged || v.closeRequested) return;
    // The replay has come to where the viewer has not acted yet: the viewer goes on.
    if (gState.liveWindow && gState.nextPlayed >= gState.played.size()) GoLive();
    gState.backend->Wait(UntilNextPlayed(std::max(maxMs, 0)));
    PlayDueInput();
}

bool CloseRequested() {
    return gState.viewer.closeRequested;
}

void RequestClose() {
    gState.viewer.closeRequested = true;
}

bool CountStatement(std::int64_t count) {
    // The real clock is read only now and then: a statement is often cheaper than reading it.
    constexpr std::uint32_t ClockInterval = 16;
    static std::uint32_t counter = 0;
    const bool late = gState.realDeadlineMs != 0 && ++counter % ClockInterval == 0 &&
                      SteadyMs() > gState.realDeadlineMs;
    Breathe(gState.viewer);
    if (gState.statementsLeft == 0 || late || gState.viewer.closeRequested) {
        gState.viewer.closeRequested = true;
        return false;
    }
    if (gState.statementsLeft > 0) gState.statementsLeft -= std::min(count, gState.statementsLeft);
    return true;
}

namespace {

void WriteConsoleLine(int fd, std::string_view text) {
    std::string line = ConsoleWantsUtf8() ? Utf8FromWindows1252(text) : std::string(text);
    line += '\n';
    WriteAll(fd, line);
}

}  // namespace

void ConsoleWrite(std::string_view text) {
    WriteConsoleLine(gState.consoleOutFd, text);
}

void ConsoleWriteError(std::string_view text) {
    WriteConsoleLine(STDERR_FILENO, text);
}

namespace {

// The first whole line in the console buffer, or at the end of the input what is left.
std::optional<std::string> TakeConsoleLine() {
    std::string& buffer = gState.consoleBuffer;
    std::size_t end = buffer.find('\n');
    if (end != std::string::npos) {
        std::string line = buffer.substr(0, end);
        buffer.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
    if (gState.consoleEnded && !buffer.empty()) {
        std::string line = std::move(buffer);
        buffer.clear();
        return line;
    }
    return std::nullopt;
}

// Reads what the console has for us, waiting at most timeoutMs for it.
void ReadConsoleInput(int timeoutMs) {
    if (gState.consoleEnded) return;
    pollfd request{gState.consoleInFd, POLLIN, 0};
    int ready = ::poll(&request, 1, timeoutMs);
    if (ready < 0 && errno != EINTR) {
        gState.consoleEnded = true;
    } else if (ready > 0) {
        char chunk[4096];
        ssize_t n = ::read(gState.consoleInFd, chunk, sizeof chunk);
        if (n > 0) {
            gState.consoleBuffer.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            gState.consoleEnded = true;
        }
    }
}

}  // namespace

std::optional<std::string> ConsoleReadLine() {
    Backend& backend = Active();
    PresentIfChanged();
    for (;;) {
        if (std::optional<std::string> line = TakeConsoleLine()) return line;
        if (gState.consoleEnded || gState.viewer.closeRequested) return std::nullopt;
        // Waits for input in short turns so that an open window stays responsive.
        ReadConsoleInput(ConsolePollMs);
        backend.KeepAlive();
    }
}

std::optional<std::string> ConsoleLineTyped() {
    Active();
    PresentIfChanged();
    ReadConsoleInput(0);
    return TakeConsoleLine();
}

}  // namespace zir
