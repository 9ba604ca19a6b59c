#include "platform/image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace zir {

bool ImageHeaderValid(const std::uint8_t* image) {
    if (!image) return false;
    int bpp = ImageBytesPerPixel(image);
    return (bpp == 1 || bpp == 2 || bpp == 4) && ImageWidth(image) >= 1 && ImageHeight(image) >= 1;
}

ImageHandle ImageCreateWithDepth(int width, int height, int bytesPerPixel,
                                 std::optional<Colour> fill) {
    if (width < 1 || width > ImageMaxWidth || height < 1 || height > ImageMaxHeight) {
        return nullptr;
    }
    if (bytesPerPixel != 1 && bytesPerPixel != 2 && bytesPerPixel != 4) return nullptr;
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto* image = static_cast<std::uint8_t*>(std::malloc(ImageHeaderBytes + count * bytesPerPixel));
    if (!image) return nullptr;
    std::uint16_t word0 = static_cast<std::uint16_t>(width << 3 | bytesPerPixel);
    std::uint16_t word1 = static_cast<std::uint16_t>(height);
    std::memcpy(image, &word0, 2);
    std::memcpy(image + 2, &word1, 2);

    std::uint32_t value = fill ? PixelFromColour(*fill, bytesPerPixel) : MaskPixel(bytesPerPixel);
    std::uint8_t* pixels = ImagePixels(image);
    // One row pixel by pixel, then whole rows by copying, which stays fast on a large image
    // even where every loop iteration is instrumented.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    if (bytesPerPixel == 1) {
        std::memset(pixels, static_cast<int>(value), count);
        return image;
    }
    if (bytesPerPixel == 2) {
        auto* p = reinterpret_cast<std::uint16_t*>(pixels);
        std::fill(p, p + width, static_cast<std::uint16_t>(value));
    } else {
        auto* p = reinterpret_cast<std::uint32_t*>(pixels);
        std::fill(p, p + width, value);
    }
    for (int y = 1; y < height; ++y) std::memcpy(pixels + y * rowBytes, pixels, rowBytes);
    return image;
}

ImageHandle ImageCreate(int width, int height, std::optional<Colour> fill) {
    int bpp = (ScreenQuery().bitsPerPixel + 7) / 8;
    return ImageCreateWithDepth(width, height, bpp == 1 || bpp == 4 ? bpp : 2, fill);
}

namespace {
const std::uint8_t* gWatchedImage = nullptr;
void (*gDestroyHook)() = nullptr;
void (*gEveryDestroy)(const std::uint8_t*) = nullptr;
}  // namespace

void ImageOnDestroy(const std::uint8_t* image, void (*hook)()) {
    gWatchedImage = hook ? image : nullptr;
    gDestroyHook = image ? hook : nullptr;
}

void ImageOnEveryDestroy(void (*listener)(const std::uint8_t* image)) {
    gEveryDestroy = listener;
}

void ImageDestroy(ImageHandle image) {
    if (image && image == gWatchedImage) {
        void (*hook)() = gDestroyHook;
        gWatchedImage = nullptr;
        gDestroyHook = nullptr;
        hook();
    }
    // After the hook, which may still read the image.
    if (image && gEveryDestroy) gEveryDestroy(image);
    std::free(image);
}

Colour ImageColourAt(const std::uint8_t* image, int x, int y) {
    int bpp = ImageBytesPerPixel(image);
    const std::uint8_t* p =
        ImagePixels(image) + (static_cast<std::size_t>(y) * ImageWidth(image) + x) * bpp;
    if (bpp == 1) return Colour{*p};
    if (bpp == 2) return ColourFrom565(static_cast<std::uint16_t>(p[0] | p[1] << 8));
    return {p[2], p[1], p[0]};
}

}  // namespace zir
