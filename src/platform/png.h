// PNG files of images, for --png and --frames.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/image.h"
#include "platform/picturescript.h"

namespace zir {

// Writes the image as a PNG: with a palette of 1 to 8 bits when it has at most 256 colours,
// else as 8-bit RGB (a 1-byte image's pixels are grey levels of their palette indexes).
// A script given is carried in the file (see picturescript.h). False, with nothing left
// behind, when the file cannot be written.
bool WritePng(const std::string& path, const std::uint8_t* image, std::string_view script = {});

// The script a PNG file carries. The browser's engine reads none: its page takes the script
// out of a picture before the engine sees it.
PictureScript ReadPngScript(std::string_view bytes);

}  // namespace zir
