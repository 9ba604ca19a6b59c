// Opens the real window through the platform layer, draws a known picture on the screen
// and reports on standard output what the viewer does, until the window is closed.
//
//   window_probe [WIDTH HEIGHT]
//
// Prints "ready" once the picture is shown, "key XX[ XX]" (hexadecimal bytes) for each key
// text, "mouse X Y BUTTONS" for each mouse change and "closed" at the end. Gives up after
// 60 seconds (exit code 1) so that a broken close cannot hang the test.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "draw/raster.h"
#include "platform/platform.h"
#include "platform/resources.h"

namespace {

constexpr double GiveUpSeconds = 60;

void DrawKnownPicture(int w, int h) {
    using zir::LineKind;
    zir::RasterLine(nullptr, 0, 0, w - 1, h - 1, zir::Colour{0xFFFFFF}, LineKind::FilledBox);
    zir::RasterLine(nullptr, 20, 30, 119, 89, zir::Colour{0xFF0000}, LineKind::FilledBox);
    zir::RasterLine(nullptr, w - 120, h - 90, w - 21, h - 21, zir::Colour{0x0000FF},
                    LineKind::FilledBox);
    zir::RasterArc(nullptr, w / 2.0, h / 2.0, 20, zir::Colour{0x00A000}, 0, zir::FullTurn, true);
}

}  // namespace

int main(int argc, char** argv) {
    int width = argc > 2 ? std::atoi(argv[1]) : 320;
    int height = argc > 2 ? std::atoi(argv[2]) : 240;
    zir::PlatformOptions options;
    options.backend = zir::BackendKind::Windowed;
    std::string message;
    if (zir::PlatformStart(options, message) != zir::PlatformError::None) {
        std::printf("no window: %s\n", message.c_str());
        return 3;
    }
    zir::SetWindowTitle("Fensterprobe \xE4\xF6\xFC - Zirkula");
    if (!zir::ScreenOpen(width, height, 16)) {
        std::printf("no screen\n");
        return 3;
    }
    zir::SetWindowIcon(zir::AppIcon());
    DrawKnownPicture(width, height);
    zir::SleepMs(1);
    std::printf("ready\n");
    std::fflush(stdout);

    zir::MouseState last;
    double start = zir::ClockSeconds();
    while (!zir::CloseRequested()) {
        if (zir::ClockSeconds() - start > GiveUpSeconds) return 1;
        zir::WaitForInput(100);
        for (std::string key = zir::PollKey(); !key.empty(); key = zir::PollKey()) {
            std::printf("key");
            for (unsigned char c : key) std::printf(" %02X", c);
            std::printf("\n");
        }
        zir::MouseState mouse = zir::PollMouse();
        if (mouse.x != last.x || mouse.y != last.y || mouse.buttons != last.buttons) {
            std::printf("mouse %d %d %d\n", mouse.x, mouse.y, mouse.buttons);
            last = mouse;
        }
        std::fflush(stdout);
    }
    zir::PlatformStop();
    std::printf("closed\n");
    return 0;
}
