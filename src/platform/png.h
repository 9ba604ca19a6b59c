// PNG files of images, for --png and --frames.
#pragma once

#include <cstdint>
#include <string>

#include "platform/image.h"

namespace zir {

// Writes the image as a PNG: with a palette of 1 to 8 bits when it has at most 256 colours,
// else as 8-bit RGB (a 1-byte image's pixels are grey levels of their palette indexes).
// False, with nothing left behind, when the file cannot be written.
bool WritePng(const std::string& path, const std::uint8_t* image);

}  // namespace zir
