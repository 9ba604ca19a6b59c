#include "runtime/pacing.h"

#include "draw/fonts.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr std::uint32_t MouseBit = 0x80000000u;
constexpr std::uint32_t KeyBit = 0x40000000u;
constexpr int BarHeight = 20;
constexpr int ButtonWidth = 128;
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

InputEvent TimedWait(std::int32_t ms) {
    const double deadline = ClockSeconds() + ms / 1000.0;
    do {
        SleepMs(StepMs);
        if (InputEvent event = PollInput()) return event;
        // A closed window ends every wait; the engine sees it and ends the run.
        if (CloseRequested()) return 0;
    } while (ClockSeconds() <= deadline);
    return 0;
}

void WaitForRelease() {
    while (PollMouse().buttons >= 1 && !CloseRequested()) WaitForInput(ReleasePollMs);
}

ControlAction CheckControls(InputEvent event) {
    const DecodedInput in = DecodeInput(event);
    if (in.key == "\r") return ControlAction::PauseOrContinue;
    if (in.key == "r" || in.key == "R" || in.key == "\xFFI") return ControlAction::Restart;
    if (in.key == "\x1B") return ControlAction::End;
    if (in.buttons == 0) return ControlAction::None;
    const int h = ScreenQuery().height;
    if (in.y > h - BarHeight && in.x >= 0 && in.x < 3 * ButtonWidth) {
        // The action happens on release, so one click is one action.
        WaitForRelease();
        return static_cast<ControlAction>(in.x / ButtonWidth + 1);
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
    const int areaRight = s.areaOriginX + s.areaWidth;
    if (areaRight > 3 * ButtonWidth) {
        RasterLine(nullptr, 3 * ButtonWidth, h - BarHeight, areaRight - 1, h - 1,
                   s.backgroundColour, LineKind::FilledBox);
    }
    RasterLine(nullptr, 0, h - BarHeight, 3 * ButtonWidth - 1, h - 1, s.barColour,
               LineKind::FilledBox);
    // Plain integer arithmetic on the colour value, as the bar has always been drawn.
    const Colour light = s.barColour + 0x303030, dark = s.barColour - 0x303030;
    for (int k = 0; k < 3 * ButtonWidth; k += ButtonWidth) {
        RasterLine(nullptr, k, h - 20, k + 127, h - 20, light, LineKind::Segment);
        RasterLine(nullptr, k, h - 19, k, h - 1, light, LineKind::Segment);
        RasterLine(nullptr, k + 127, h - 19, k + 127, h - 1, dark, LineKind::Segment);
        RasterLine(nullptr, k + 1, h - 1, k + 127, h - 1, dark, LineKind::Segment);
    }
    const Font& font = BuiltinFont(FontFamily::Sans, 16);
    const Colour paper = TargetMaskColour(nullptr);
    PrintText(nullptr, s.captions[paused ? 1 : 0], font, 40, h - 17, s.barTextColour, paper);
    PrintText(nullptr, s.captions[2], font, 168, h - 17, s.barTextColour, paper);
    PrintText(nullptr, s.captions[3], font, 296, h - 17, s.barTextColour, paper);
}

}  // namespace zir
