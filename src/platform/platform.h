// The platform layer: the screen, and (with the backends) the window, input, clock and
// console. Nothing outside src/platform/ sees how a backend does its work.
#pragma once

#include <cstdint>

#include "platform/image.h"

namespace zir {

struct ScreenInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// Opens (or re-opens at a new size) the screen: an RGB565 image that the backend shows.
// False when the size cannot be had; the old screen then stays.
bool ScreenOpen(int width, int height, int bitsPerPixel);
// The screen's size and depth; before a screen is open, the desktop's.
ScreenInfo ScreenQuery();
// The screen's image for reading, or null while no screen is open.
const std::uint8_t* ScreenImage();
// The same for drawing: the screen counts as changed and is presented at the next chance.
ImageHandle ScreenImageForDrawing();

}  // namespace zir
