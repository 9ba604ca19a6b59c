// PNG files of images, for --png, --frames and the picture tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/image.h"

namespace zir {

// Writes the image as a PNG: with a palette of 1 to 8 bits when it has at most 256 colours,
// else as 8-bit RGB (a 1-byte image's pixels are grey levels of their palette indexes).
// False, with nothing left behind, when the file cannot be written.
bool WritePng(const std::string& path, const std::uint8_t* image);

// Reads an 8-bit RGB or RGBA PNG into a 32-bit image of 0x00RRGGBB pixels, for comparing
// pictures against approved ones. Null when the file is missing or not such a PNG.
Image ReadPng(const std::string& path);

}  // namespace zir
