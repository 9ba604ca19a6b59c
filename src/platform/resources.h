// Resources carried inside the program (fonts, the logo, the icon), looked up by type and
// name. They are listed in resources/manifest.txt and embedded when the program is built.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zir {

// The bytes of the resource, or an empty span when the program carries none of that type
// and name.
std::span<const std::uint8_t> FindResource(std::string_view type, std::string_view name);

// The same for a resource that holds an image in the ImageBuffer layout; null when it is
// missing or its size does not match its header.
const std::uint8_t* FindImageResource(std::string_view type, std::string_view name);

// The window icon (resource "appIcon" of type "myIcon", an ImageBuffer), or null when the
// program carries none. Located once.
const std::uint8_t* AppIcon();

}  // namespace zir
