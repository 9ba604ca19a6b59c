#include "runtime/pacing.h"

#include "draw/fonts.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr std::uint32_t MouseBit = 0x80000000u;
constexpr std::uint32_t KeyBit = 0x40000000u;
constexpr int StepMs = 20;
// The longest a wait for a button's release sleeps between looks.
constexpr int ReleasePollMs = 10;

}  // namespace

InputEvent KeyEvent(const std::string& keyText) {
    if (keyText.empty()) return 0;
    std::uint32_t first = static_cast<std::uint8_t>(keyText[0]);
    std::uint32_t second = keyText.size() > 1 ? static_cast<std::uint8_t>(keyText[1]) : 0;
    return KeyBit | first | second << 8;
}

InputEvent MouseEvent(int x, int y, int buttons) {
    return MouseBit | (static_cast<std::uint32_t>(x) & 0xFFF) |
           (static_cast<std::uint32_t>(y) & 0xFFF) << 12 |
           (static_cast<std::uint32_t>(buttons) & 0xF) << 24;
}

InputEvent PollInput() {
    const std::string key = PollKey();
    const MouseState mouse = PollMouse();
    if (mouse.buttons >= 1) return MouseEvent(mouse.x, mouse.y, mouse.buttons);
    return KeyEvent(key);
}

DecodedInput DecodeInput(InputEvent event) {
    DecodedInput d;
    if ((event & MouseBit) && !(event & KeyBit)) {
        d.x = static_cast<int>(event & 0xFFF);
        d.y = static_cast<int>((event >> 12) & 0xFFF);
        d.buttons = static_cast<int>((event >> 24) & 0xF);
    } else if ((event & KeyBit) && !(event & MouseBit)) {
        d.key.push_back(static_cast<char>(event & 0xFF));
        if (event & 0xFF00) d.key.push_back(static_cast<char>((event >> 8) & 0xFF));
    }
    return d;
}

InputEvent WaitUntil(double deadlineSeconds, int stepMs) {
    do {
        SleepMs(stepMs);
        if (InputEvent event = PollInput()) return event;
        // A closed window ends every wait; the engine sees it and ends the run.
        if (CloseRequested()) return 0;
    } while (ClockSeconds() <= deadlineSeconds);
    return 0;
}

InputEvent TimedWait(std::int32_t ms) {
    return WaitUntil(ClockSeconds() + ms / 1000.0, StepMs);
}

namespace {
RunWatcher* gWatcher = nullptr;
bool gInstrumentsShown = true;
}  // namespace

void ShowInstruments(bool shown) {
    gInstrumentsShown = shown;
}

bool InstrumentsShown() {
    return gInstrumentsShown;
}

void WatchRun(RunWatcher* watcher) {
    gWatcher = watcher;
}

RunWatcher* RunWatched() {
    return gWatcher;
}

void PauseAfterStep(InputEvent& event) {
    if (gWatcher) gWatcher->Step(StepKind::Paced);
    if (event == 0) event = TimedWait(Settings().stepWait);
}

void ShowAndPause(DrawTarget buffer, int x, int y, InputEvent& event) {
    ShowBuffer(buffer, x, y);
    PauseAfterStep(event);
}

void WaitForRelease() {
    while (PollMouse().buttons >= 1 && !CloseRequested()) WaitForInput(ReleasePollMs);
}

ControlAction CheckControls(InputEvent event) {
    const DecodedInput in = DecodeInput(event);
    if (in.key == keys::Enter) return ControlAction::PauseOrContinue;
    if (in.key == "r" || in.key == "R" || in.key == keys::PageUp) return ControlAction::Restart;
    if (in.key == keys::Esc) return ControlAction::End;
    if (in.buttons == 0) return ControlAction::None;
    const int h = ScreenQuery().height;
    if (in.y > h - ControlBarHeight && in.x >= 0 &&
        in.x < ControlButtonCount * ControlButtonWidth) {
        // The action happens on release, so one click is one action.
        WaitForRelease();
        return static_cast<ControlAction>(in.x / ControlButtonWidth + 1);
    }
    return ControlAction::None;
}

void ShowBuffer(DrawTarget buffer, int x, int y) {
    ImageHandle image = buffer ? *buffer : nullptr;
    if (!image) return;  // the screen itself: nothing to copy
    RasterShow(image, x, y);
}

void ShowBuffer(DrawTarget buffer) {
    const RunState& s = Settings();
    ShowBuffer(buffer, s.areaOriginX, s.areaOriginY);
}

void DrawControlBar(bool paused) {
    if (!ScreenImage()) return;
    const RunState& s = Settings();
    const int h = ScreenQuery().height;
    const int top = h - ControlBarHeight, bottom = h - 1;
    const int buttonsRight = ControlButtonCount * ControlButtonWidth;
    const int areaRight = s.areaOriginX + s.areaWidth;
    if (areaRight > buttonsRight) {
        RasterLine(nullptr, buttonsRight, top, areaRight - 1, bottom, s.backgroundColour,
                   LineKind::FilledBox);
    }
    RasterLine(nullptr, 0, top, buttonsRight - 1, bottom, s.barColour, LineKind::FilledBox);
    for (int left = 0; left < buttonsRight; left += ControlButtonWidth) {
        DrawRaisedEdges(left, top, left + ControlButtonWidth - 1, bottom);
    }
    // Each caption stands 40 pixels into its button, 3 rows below the bar's top.
    constexpr int CaptionInsetX = 40, CaptionInsetY = 3;
    const Font& font = BuiltinFont(FontFamily::Sans, 16);
    const Colour paper = TargetMaskColour(nullptr);
    const std::string* captions[] = {&s.captions[paused ? 1 : 0], &s.captions[2], &s.captions[3]};
    for (int k = 0; k < ControlButtonCount; ++k) {
        PrintText(nullptr, *captions[k], font, k * ControlButtonWidth + CaptionInsetX,
                  top + CaptionInsetY, s.barTextColour, paper);
    }
}

void DrawRaisedEdges(int left, int top, int right, int bottom) {
    const Colour bar = Settings().barColour;
    const Colour light = bar.Lighter(BarEdgeShade), dark = bar.Darker(BarEdgeShade);
    RasterLine(nullptr, left, top, right, top, light, LineKind::Segment);
    RasterLine(nullptr, left, top, left, bottom, light, LineKind::Segment);
    RasterLine(nullptr, right, top + 1, right, bottom, dark, LineKind::Segment);
    RasterLine(nullptr, left + 1, bottom, right, bottom, dark, LineKind::Segment);
}

}  // namespace zir
