// A drawing target for tests of the drawing procedures, with ways to read it back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "draw/fonts.h"
#include "draw/raster.h"
#include "platform/image.h"

namespace zir::test {

inline constexpr Colour White{0xFFFFFF};
inline constexpr Colour Black{0x000000};
inline constexpr Colour Red{0xFF0000};
inline constexpr Colour Blue{0x0000FF};

struct Canvas {
    Image image;
    ImageHandle handle = nullptr;

    Canvas(int w, int h, Colour background = White, int bpp = 2)
        : image(ImageCreateWithDepth(w, h, bpp, background)), handle(image.get()) {}

    DrawTarget target() { return &handle; }
    int width() const { return ImageWidth(handle); }
    int height() const { return ImageHeight(handle); }
    Colour at(int x, int y) const { return ImageColourAt(handle, x, y); }
    // Whether the pixel holds c as this image's pixel format stores it.
    bool is(int x, int y, Colour c) const {
        const int bpp = ImageBytesPerPixel(handle);
        const Colour stored = bpp == 2 ? ColourFrom565(Rgb565(c)) : Colour{PixelFromColour(c, bpp)};
        return at(x, y) == stored;
    }
    int count(Colour c) const {
        int n = 0;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x) n += is(x, y, c);
        return n;
    }
};

// Whether two canvases of one size show the same picture; names the first difference.
inline ::testing::AssertionResult SamePicture(const Canvas& got, const Canvas& want) {
    if (got.width() != want.width() || got.height() != want.height()) {
        return ::testing::AssertionFailure() << "sizes differ";
    }
    for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
            if (got.at(x, y) != want.at(x, y)) {
                return ::testing::AssertionFailure() << "pixel " << x << ", " << y << " differs";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline Font LoadTestFont(const std::string& name) {
    Font font;
    EXPECT_EQ(LoadFontFile(std::string(ZIR_RESOURCE_DIR) + "/fonts/" + name + ".zfn", font), 0)
        << name;
    return font;
}

}  // namespace zir::test
