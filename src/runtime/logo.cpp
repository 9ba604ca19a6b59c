#include "runtime/logo.h"

#include "draw/raster.h"
#include "platform/platform.h"
#include "platform/resources.h"

namespace zir {
namespace {

constexpr int LogoWaitMs = 2000;

int FloorHalf(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

}  // namespace

const std::uint8_t* LogoImage() {
    static const std::uint8_t* const logo = FindImageResource("myBMP", "logo16");
    return logo;
}

void ShowLogo(int width, int height) {
    GifRecordingPaused(true);
    const std::uint8_t* logo = LogoImage();
    if (logo && ScreenImage()) {
        RasterBlit(nullptr, FloorHalf(width - ImageWidth(logo)),
                   FloorHalf(height - ImageHeight(logo)), logo, BlitMode::Copy);
    }
    SleepMs(LogoWaitMs);
    while (!PollKey().empty()) {
    }
    GifRecordingPaused(false);
}

}  // namespace zir
