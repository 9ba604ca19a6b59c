#include "platform/resources.h"

#include "platform/image.h"
#include "platform/resourcetable.h"

namespace zir {

std::span<const std::uint8_t> FindResource(std::string_view type, std::string_view name) {
    for (const ResourceEntry* entry = ResourceTable; entry->type; ++entry) {
        if (type == entry->type && name == entry->name) return {entry->begin, entry->end};
    }
    return {};
}

const std::uint8_t* FindImageResource(std::string_view type, std::string_view name) {
    std::span<const std::uint8_t> bytes = FindResource(type, name);
    if (bytes.size() < ImageHeaderBytes || !ImageHeaderValid(bytes.data())) return nullptr;
    std::size_t pixels = static_cast<std::size_t>(ImageWidth(bytes.data())) *
                         ImageHeight(bytes.data()) * ImageBytesPerPixel(bytes.data());
    return bytes.size() >= ImageHeaderBytes + pixels ? bytes.data() : nullptr;
}

const std::uint8_t* AppIcon() {
    static const std::uint8_t* const icon = FindImageResource("myIcon", "appIcon");
    return icon;
}

}  // namespace zir
