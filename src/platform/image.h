// Off-screen images and colour values.
//
// An image is one contiguous block: a 4-byte header, then the pixels row by row from the
// top, each row left to right, with no padding; multi-byte pixels are little-endian.
//
//   offset 0  u16  width << 3 | bytes per pixel (1, 2 or 4)
//   offset 2  u16  height in rows
//   offset 4  ...  width * height * bytes per pixel
//
// The screen, the drawing buffer, snapshots, the logo and temporary fill images all share
// this layout, and so can an outside caller of the exported library.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace zir {

static_assert(std::endian::native == std::endian::little, "pixels are stored little-endian");

// A colour, 0x00RRGGBB, as a value of its own rather than a number: adding to a number
// carries from one channel into the next, so shades are made per channel and a word becomes
// a colour only explicitly. Made from a word (signed as a script's operand, unsigned as a
// record's field), it keeps the word whole: only the low 24 bits are drawn, but a comparison
// with the transparent colour has always seen the whole word.
class Colour {
  public:
    constexpr Colour() = default;
    constexpr explicit Colour(std::uint32_t word) : value_(word) {}
    constexpr explicit Colour(std::int32_t word) : value_(static_cast<std::uint32_t>(word)) {}
    constexpr Colour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : value_(std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue) {}

    constexpr std::uint32_t Value() const { return value_; }
    constexpr std::uint8_t Red() const { return static_cast<std::uint8_t>(value_ >> 16); }
    constexpr std::uint8_t Green() const { return static_cast<std::uint8_t>(value_ >> 8); }
    constexpr std::uint8_t Blue() const { return static_cast<std::uint8_t>(value_); }

    // Each channel raised or lowered by amount, stopping at 255 or 0 instead of carrying
    // into its neighbour.
    constexpr Colour Lighter(int amount) const { return Shifted(amount); }
    constexpr Colour Darker(int amount) const { return Shifted(-std::int64_t{amount}); }

    friend constexpr bool operator==(Colour, Colour) = default;

  private:
    constexpr Colour Shifted(std::int64_t amount) const {
        auto channel = [amount](std::uint8_t c) {
            return static_cast<std::uint8_t>(std::clamp<std::int64_t>(c + amount, 0, 255));
        };
        return {channel(Red()), channel(Green()), channel(Blue())};
    }

    std::uint32_t value_ = 0;
};

using ImageHandle = std::uint8_t*;

inline constexpr Colour MaskColour{0xFF00FF};
inline constexpr int ImageMaxWidth = 8191;
inline constexpr int ImageMaxHeight = 65535;
inline constexpr int ImageHeaderBytes = 4;

constexpr std::uint16_t Rgb565(Colour colour) {
    const std::uint32_t c = colour.Value();
    return static_cast<std::uint16_t>(((c >> 19) << 11) | (((c >> 10) & 63) << 5) |
                                      ((c & 255) >> 3));
}

// Widens each channel by repeating its top bits, so that 0xFFFF gives 0xFFFFFF.
constexpr Colour ColourFrom565(std::uint16_t p) {
    const int r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
    return {static_cast<std::uint8_t>(r << 3 | r >> 2), static_cast<std::uint8_t>(g << 2 | g >> 4),
            static_cast<std::uint8_t>(b << 3 | b >> 2)};
}

// The value a colour has in a pixel of the given size: RGB565, the colour itself, or its
// low byte as a palette index.
constexpr std::uint32_t PixelFromColour(Colour c, int bytesPerPixel) {
    return bytesPerPixel == 2   ? Rgb565(c)
           : bytesPerPixel == 1 ? (c.Value() & 0xFF)
                                : (c.Value() & 0xFFFFFF);
}

// The transparent pixel value of an image with this pixel size.
constexpr std::uint32_t MaskPixel(int bytesPerPixel) {
    return bytesPerPixel == 1 ? 0 : PixelFromColour(MaskColour, bytesPerPixel);
}

inline int ImageWidth(const std::uint8_t* image) {
    return (image[0] | image[1] << 8) >> 3;
}
inline int ImageHeight(const std::uint8_t* image) {
    return image[2] | image[3] << 8;
}
inline int ImageBytesPerPixel(const std::uint8_t* image) {
    return image[0] & 7;
}
// Header and pixels together.
inline std::size_t ImageBytes(const std::uint8_t* image) {
    return ImageHeaderBytes + static_cast<std::size_t>(ImageWidth(image)) * ImageHeight(image) *
                                  ImageBytesPerPixel(image);
}
inline std::uint8_t* ImagePixels(ImageHandle image) {
    return image + ImageHeaderBytes;
}
inline const std::uint8_t* ImagePixels(const std::uint8_t* image) {
    return image + ImageHeaderBytes;
}

// True when the header describes a size and pixel format the drawing code accepts.
bool ImageHeaderValid(const std::uint8_t* image);

// A new image of the screen's pixel format, every pixel set to fill, or transparent when
// fill is absent. Null when the size is outside 1..8191 x 1..65535 or memory runs out.
ImageHandle ImageCreate(int width, int height, std::optional<Colour> fill = std::nullopt);
// The same with an explicit pixel size of 1, 2 or 4 bytes.
ImageHandle ImageCreateWithDepth(int width, int height, int bytesPerPixel,
                                 std::optional<Colour> fill = std::nullopt);
void ImageDestroy(ImageHandle image);
// Runs hook just before that one image is destroyed (once; a later call replaces it, a null
// image or hook cancels it), for a layer that keeps a reference to it.
void ImageOnDestroy(const std::uint8_t* image, void (*hook)());
// Runs listener with every image just before it is destroyed (null for none), for a layer
// that keeps something for each image it has seen.
void ImageOnEveryDestroy(void (*listener)(const std::uint8_t* image));

struct ImageDeleter {
    void operator()(std::uint8_t* image) const { ImageDestroy(image); }
};
using Image = std::unique_ptr<std::uint8_t, ImageDeleter>;

// The colour of one pixel, widened to 0x00RRGGBB (a palette index for 1-byte images).
Colour ImageColourAt(const std::uint8_t* image, int x, int y);

}  // namespace zir
