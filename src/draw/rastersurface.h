// The raster layer's inside, shared by its primitives (raster.cpp) and its change tracking
// with the deferred show (rastertracking.cpp): only the raster layer includes it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numbers>

#include "draw/raster.h"
#include "platform/image.h"

namespace zir {

// 2 pi to the last bit of a double, for the arcs' sectors and the circles' tracking; the
// kernel's TwoPi is a 15-digit literal a few units of the last place away.
inline constexpr double ExactTwoPi = 2 * std::numbers::pi;

// The pixels of a target, resolved once per primitive; empty when there is nothing to draw on.
struct Surface {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
};

inline Surface MakeSurface(const std::uint8_t* image) {
    if (!ImageHeaderValid(image)) return {};
    return {const_cast<std::uint8_t*>(ImagePixels(image)), ImageWidth(image), ImageHeight(image),
            ImageBytesPerPixel(image)};
}

// The image whose pixels the surface shows.
inline const std::uint8_t* ImageOf(const Surface& s) {
    return s.pixels - ImageHeaderBytes;
}

// The rectangle where an image of w x h placed at (x, y) meets a surface.
struct Overlap {
    int srcX = 0, srcY = 0, dstX = 0, dstY = 0, width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

inline Overlap Intersect(const Surface& s, std::int64_t x, std::int64_t y, int w, int h) {
    std::int64_t x1 = std::max<std::int64_t>(x, 0), y1 = std::max<std::int64_t>(y, 0);
    std::int64_t x2 = std::min<std::int64_t>(x + w, s.width),
                 y2 = std::min<std::int64_t>(y + h, s.height);
    if (x1 >= x2 || y1 >= y2) return {};
    return {static_cast<int>(x1 - x), static_cast<int>(y1 - y),  static_cast<int>(x1),
            static_cast<int>(y1),     static_cast<int>(x2 - x1), static_cast<int>(y2 - y1)};
}

// ---- defined with the primitives, in raster.cpp ----------------------------------------

// The overlap of src drawn onto dst, whatever the two pixel sizes.
void CopyOverlap(const Surface& dst, const Surface& src, const Overlap& o, BlitMode mode,
                 int alpha);

// ---- defined with the change tracking, in rastertracking.cpp ---------------------------

// The target's surface for drawing: a show waiting for that image is made first (see
// BeforeWriting).
Surface ResolveForDrawing(DrawTarget target);
// Before a write into image: a show still waiting with its pixels must be made first,
// unless a show follows the write anyway.
void BeforeWriting(const std::uint8_t* image);

// Notes that a procedure may have changed the pixels of s inside the box.
void Touch(const Surface& s, double x1, double y1, double x2, double y2, double margin = 2);
// The overlap's pixels on the surface, exactly; inline, so that a primitive pays one call.
inline void Touch(const Surface& s, const Overlap& o) {
    Touch(s, o.dstX, o.dstY, o.dstX + o.width - 1, o.dstY + o.height - 1, 0);
}
void TouchAll(const Surface& s);
// A one-pixel line: in the watched image only the tiles along it.
void TouchSegment(const Surface& s, double x1, double y1, double x2, double y2);
// A circle's outline (an arc of it counts as the whole): only the tiles along it.
void TouchCircle(const Surface& s, double cx, double cy, double r);

}  // namespace zir
