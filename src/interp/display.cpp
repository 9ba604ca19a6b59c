#include "interp/display.h"

#include <algorithm>
#include <string>

#include "draw/fonts.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "runtime/logo.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr int ScreenDepthBits = 16;
constexpr const char* TitleSuffix = " - Zirkula";

// The screen size the invocation knows, or the open screen's when it opened none itself.
void KnownScreenSize(const CallFrame& frame, int& width, int& height) {
    width = frame.screenWidth;
    height = frame.screenHeight;
    if (width <= 0 || height <= 0) {
        ScreenInfo screen = ScreenQuery();
        width = screen.width;
        height = screen.height;
    }
}

// The program's limit, or a smaller one the platform was started with.
int LargestSide() {
    const int limit = ScreenSideLimit();
    return limit > ControlBarHeight ? std::min(limit, MaxScreenSide) : MaxScreenSide;
}

Image NewBuffer(int width, int height) {
    return Image{
        ImageCreate(std::clamp(width, 1, LargestSide()), std::clamp(height, 1, LargestSide()))};
}

void Cls(CallFrame& frame, const Instruction& in) {
    EnsureScreen(frame);
    const TargetInfo size = TargetSize(FrameBuffer(frame));
    if (size.width > 0) {
        RasterLine(FrameBuffer(frame), 0, 0, size.width - 1, size.height - 1,
                   OperandOr<Colour>(in[1], Settings().backgroundColour), LineKind::FilledBox);
    }
    if (ShowsAfterDrawing(frame)) ShowFrameBuffer(frame);
}

void Window(CallFrame& frame, const Instruction& in) {
    RunState& s = Settings();
    const bool wasOpen = s.screenDepth != 0;
    if (wasOpen) {
        TakeTempSnapshot(frame);
    } else {
        EnsureScreen(frame);
    }
    int screenWidth = 0, screenHeight = 0;
    KnownScreenSize(frame, screenWidth, screenHeight);
    const int width = std::max(1, std::min(in[1], screenWidth - s.areaOriginX));
    const int height =
        std::max(1, std::min(in[2], screenHeight - s.areaOriginY - ControlBarHeight));
    s.areaWidth = static_cast<std::uint16_t>(width);
    s.areaHeight = static_cast<std::uint16_t>(height);
    Image buffer = NewBuffer(width, height);
    if (wasOpen) {
        CopyImageInto(buffer.get(), frame.tempSnapshot.get());
    } else if (buffer) {
        ImageHandle handle = buffer.get();
        RasterLine(&handle, 0, 0, width - 1, height - 1, s.backgroundColour, LineKind::FilledBox);
    }
    ReplaceBufferImage(*frame.run->buffer, std::move(buffer));
    TakeRestartSnapshot(frame);
    ShowFrameBuffer(frame);
}

void TextWindow(const Instruction& in) {
    RunState& s = Settings();
    // The words hold 16 bits each; a negative value keeps its low half, which later reads
    // as a position or size far outside the screen, so nothing is shown.
    s.textWindowX = static_cast<std::uint16_t>(in[1]);
    s.textWindowY = static_cast<std::uint16_t>(in[2]);
    s.textWindowWidth = static_cast<std::uint16_t>(in[3]);
    s.textWindowHeight = static_cast<std::uint16_t>(in[4]);
}

void Text(CallFrame& frame, const Instruction& in) {
    EnsureScreen(frame);
    const RunState& s = Settings();
    const std::vector<std::string>& texts = frame.run->names->rows[TypeText];
    const int index = TargetOf(in[0]);
    const std::string text =
        index >= 0 && index < static_cast<int>(texts.size()) ? texts[index] : std::string();
    const Colour ink = in[1] < 0 ? s.textColour : Colour{in[1]};
    const Colour paper = OperandOr<Colour>(in[2], MaskColour);
    // Only the part of the text window that lies on the screen is made and shown; the text
    // is still wrapped to the window's whole width.
    const ScreenInfo screen = ScreenQuery();
    const int width = s.textWindowWidth, height = s.textWindowHeight;
    const int shownWidth = std::min(width, screen.width - s.textWindowX);
    const int shownHeight = std::min(height, screen.height - s.textWindowY);
    if (shownWidth < 1 || shownHeight < 1) return;
    Image image{ImageCreate(
        shownWidth, shownHeight,
        paper == MaskColour ? std::optional<Colour>(s.backgroundColour) : std::nullopt)};
    if (!image) return;
    ImageHandle handle = image.get();
    const Font& font = BuiltinFont(FontFamily::Sans, FontHeightForSize(in[3]));
    LineWrap(&handle, text, font, 0, 0, width, height, ink, paper);
    RasterBlit(nullptr, s.textWindowX, s.textWindowY, image.get(), BlitMode::Copy);
    DrawControlBar(frame.paused);
}

void Title(CallFrame& frame, const Instruction& in) {
    const std::vector<std::string>& texts = frame.run->names->rows[TypeText];
    const int index = TargetOf(in[0]);
    if (index < 0 || index >= static_cast<int>(texts.size())) return;
    SetWindowTitle(texts[index] + TitleSuffix);
}

}  // namespace

void EnsureScreen(CallFrame& frame) {
    if (Settings().screenDepth == 0) {
        OpenScreen(frame, DefaultScreenWidth, DefaultScreenHeight, Settings().backgroundColour);
    }
}

void OpenScreen(CallFrame& frame, int width, int height, Colour fill) {
    width = std::clamp(width, 1, LargestSide());
    height = std::clamp(height, ControlBarHeight + 1, LargestSide());
    frame.screenWidth = width;
    frame.screenHeight = height;
    ScreenOpen(width, height, ScreenDepthBits);
    SetWindowIcon(AppIcon());
    RunState& s = Settings();
    const int areaWidth = std::max(1, width - s.areaOriginX);
    const int areaHeight = std::max(1, height - s.areaOriginY - ControlBarHeight);
    s.areaWidth = static_cast<std::uint16_t>(areaWidth);
    s.areaHeight = static_cast<std::uint16_t>(areaHeight);
    if (s.screenDepth != 0) {
        ReplaceBufferImage(*frame.run->buffer, {});
        frame.restartSnapshot.reset();
        frame.tempSnapshot.reset();
    }
    s.screenDepth = ScreenDepthBits;
    Image buffer = NewBuffer(areaWidth, areaHeight);
    if (buffer) {
        ImageHandle handle = buffer.get();
        RasterLine(&handle, 0, 0, areaWidth - 1, areaHeight - 1, fill, LineKind::FilledBox);
    }
    ReplaceBufferImage(*frame.run->buffer, std::move(buffer));
    TakeRestartSnapshot(frame);
    ShowFrameBuffer(frame);
    ShowLogo(width, height);
    // The logo leaves when its time is over, whatever the next statement is.
    ShowFrameBuffer(frame);
    DrawControlBar(frame.paused);
}

Flow ExecuteDisplayStatement(CallFrame& frame, const Instruction& in) {
    switch (static_cast<Op>(OpcodeOf(in[0]))) {
        case Op::Cls:
            Cls(frame, in);
            break;
        case Op::Screen:
            // The depth operand is not used: every screen has 16 bits per pixel.
            OpenScreen(frame, in[1], in[2], OperandOr<Colour>(in[4], Settings().backgroundColour));
            break;
        case Op::Window:
            Window(frame, in);
            break;
        case Op::TextWindow:
            TextWindow(in);
            break;
        case Op::Text:
            Text(frame, in);
            break;
        case Op::Title:
            Title(frame, in);
            break;
        default:
            break;
    }
    return Flow::Next;
}

}  // namespace zir
