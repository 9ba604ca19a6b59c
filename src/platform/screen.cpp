// Stand-in screen until the window backends exist: an RGB565 image in memory.
#include "platform/platform.h"

namespace zir {
namespace {
Image gScreen;
bool gChanged = false;
}  // namespace

bool ScreenOpen(int width, int height, int bitsPerPixel) {
    if (bitsPerPixel != 16) return false;
    Image image{ImageCreateWithDepth(width, height, 2, Colour{0})};
    if (!image) return false;
    gScreen = std::move(image);
    gChanged = true;
    return true;
}

ScreenInfo ScreenQuery() {
    if (!gScreen) return {640, 480, 16};
    return {ImageWidth(gScreen.get()), ImageHeight(gScreen.get()), 16};
}

const std::uint8_t* ScreenImage() {
    return gScreen.get();
}

ImageHandle ScreenImageForDrawing() {
    gChanged = true;
    return gScreen.get();
}

}  // namespace zir
