// The raster layer: the primitives every drawing procedure is built from.
//
// Coordinates are pixels of the target, x to the right and y down. A real coordinate c
// becomes the pixel trunc(c + 0.5) when c > 0 and trunc(c - 0.5) otherwise (halves away
// from zero). Angles are radians, counter-clockwise as seen on the screen, 0 along +x.
// Everything is clipped to the target; coordinates far outside it, infinite or NaN never
// become pixel indices unchecked.
#pragma once

#include <cstdint>

#include "geometry/kernel.h"
#include "platform/image.h"

namespace zir {

// Where a drawing procedure draws: a reference to an image handle; a null handle (or a
// null reference) means the screen. The handle is read afresh by every primitive.
using DrawTarget = ImageHandle*;

enum class LineKind { Segment, Box, FilledBox };
enum class BlitMode { Copy, Transparent, Alpha };

struct TargetInfo {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
};

// The end angle that, with start 0, asks RasterArc for the whole circle.
inline constexpr float FullTurn = 6.2831859f;

TargetInfo TargetSize(DrawTarget target);
// MaskColour for targets of 2 or more bytes per pixel, 0 for 1-byte targets.
Colour TargetMaskColour(DrawTarget target);

// Segment: a one-pixel line with both end points, the style mask applied from bit 15.
// Box: the outline of the axis-aligned rectangle with these corners; FilledBox: filled.
void RasterLine(DrawTarget target, double x1, double y1, double x2, double y2, Colour colour,
                LineKind kind, std::uint16_t style = SolidStyle);

// Start 0 with end FullTurn is the whole circle, a disc when filled. Otherwise the arc runs
// counter-clockwise from start to end (wrapping through 0 when end < start); a negative
// angle (-0 included) stands for its absolute value and adds the radius line to that end.
void RasterArc(DrawTarget target, double cx, double cy, double radius, Colour colour, double start,
               double end, bool filled);

void RasterPixel(DrawTarget target, double x, double y, Colour colour);

// Fills the 4-connected region around (x, y) bounded by pixels of the fill colour and by
// the target's edges. A seed outside the target or already of the fill colour fills nothing.
void RasterFloodFill(DrawTarget target, double x, double y, Colour colour);

// Draws the whole image with its top-left pixel at (x, y). Transparent and Alpha skip the
// image's transparent pixels; Alpha blends the others per channel:
// target + (source - target) * alpha / 255.
void RasterBlit(DrawTarget target, double x, double y, const std::uint8_t* image, BlitMode mode,
                int alpha = 255);

// Change tracking. The raster layer keeps the box of pixels its procedures changed in one
// watched image (the drawing buffer) and in the screen, so that showing the buffer copies
// only what can differ from the screen. Writes that bypass the raster layer must be noted.
void RasterWatch(const std::uint8_t* image);
// All of the image counts as changed: call it just before writing the image without the
// raster layer.
void RasterNoteChanged(const std::uint8_t* image);
// A number that changes whenever the watched image may have changed (or another is watched):
// two equal numbers mean the same pixels.
std::uint64_t RasterChangeCount();
// A step in the watched image's history of changes, for putting back a picture it equals
// now: the tiles changed after this mark are the only ones that can differ from it later.
std::uint64_t RasterChangeMark();
// Puts picture back into the watched image, which equalled it when mark was taken, by
// copying only the tiles changed since. False, with nothing copied, when that cannot be
// known (another image watched since, too much changed to be tracked, another layout): the
// caller then copies the whole picture.
bool RasterRestoreSince(const std::uint8_t* image, const std::uint8_t* picture, std::uint64_t mark);
// Copies the whole image to the screen at (x, y), as RasterBlit in Copy mode does, but
// copies only the part that may differ when the watched image is shown where it was last
// shown. The screen counts as drawn on either way. While nobody sees the screen change
// (ScreenIsSeen), a show of the watched image is made only when the screen is next used or
// the image is about to change without being shown again; the screen then holds exactly what
// it would have held.
void RasterShow(const std::uint8_t* image, int x, int y);
// Tells the raster layer whether the drawing that follows on the watched image is sure to be
// shown before the screen is used again (or the run ends), so that a waiting show need not
// be made before it.
void RasterShowFollows(bool follows);

// Draws a one-bit picture (rows of rowBytes bytes, the leftmost pixel in the high bit) with
// its top-left pixel at (x, y): set bits in ink, clear bits in paper; either colour drawn only
// where it is not the target's transparent colour. As a blit of an image of those pixels in
// Transparent mode, without making the image.
void RasterBits(DrawTarget target, const std::uint8_t* bits, int rowBytes, int width, int height,
                double x, double y, Colour ink, Colour paper);

// Copies the target's rectangle with the inclusive corners (x1, y1) and (x2, y2) into the
// image, starting at its top-left pixel. Image pixels with no target pixel behind them stay.
void RasterGrab(DrawTarget target, double x1, double y1, double x2, double y2, ImageHandle image);

// The pixel index of a real coordinate (halves away from zero). Only for values whose
// index fits an int; the primitives clip before they call it.
int PixelIndex(double c);

}  // namespace zir
