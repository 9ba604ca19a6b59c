// The drawing buffer: the off-screen 16-bit image of the drawing area into which every
// figure is drawn before the whole of it is copied to the screen, and the snapshots of it
// that restarts and temporary drawings put back.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "draw/raster.h"
#include "draw/vectors.h"
#include "platform/image.h"

namespace zir {

// An image that several snapshots share.
using SharedImage = std::shared_ptr<std::uint8_t>;

// A picture of the drawing kept to be put back: a whole copy, or the rectangles in which it
// differs from a whole copy that it shares with snapshots taken before it, so that nested
// calls that each draw a little do not each keep a whole drawing.
struct DrawingSnapshot {
    struct Patch {
        int x = 0, y = 0, width = 0, height = 0;
        std::vector<std::uint8_t> pixels;  // row by row, in the image's pixel format
    };
    SharedImage whole;
    std::vector<Patch> patches;
    VectorList vectors;  // the picture as a display list, while one is kept
};
using SharedSnapshot = std::shared_ptr<const DrawingSnapshot>;

// Drawing procedures take the address of an image handle, so the buffer keeps its handle in
// a variable of its own beside the image that owns the pixels. A null handle would mean the
// screen; it is null only while no screen has been opened.
struct DrawingBuffer {
    Image image;
    ImageHandle handle = nullptr;
};

DrawTarget BufferTarget(DrawingBuffer& buffer);
// Replaces the buffer's image (the old one is released).
void ReplaceBufferImage(DrawingBuffer& buffer, Image image);

// A copy of an image, or an empty one for none (or when memory runs out).
Image CopyOfImage(const std::uint8_t* image);
// Makes copy a copy of the image, reusing its memory when it already has the image's size.
void KeepCopy(Image& copy, const std::uint8_t* image);
// Copies the snapshot into the buffer at (0, 0): whole when both have one size, else the
// part they share.
void RestoreSnapshot(DrawingBuffer& buffer, const std::uint8_t* snapshot);
// The same into another image.
void CopyImageInto(ImageHandle target, const std::uint8_t* source);

// The image as a snapshot: the tiles in which it differs from base's whole copy when they are
// few and the sizes agree, else a whole copy. base may be null. Null when memory runs out.
SharedSnapshot SnapshotOf(const std::uint8_t* image, const DrawingSnapshot* base);
// Puts a snapshot back into the buffer, as RestoreSnapshot does with an image.
void RestoreSnapshot(DrawingBuffer& buffer, const DrawingSnapshot* snapshot);

}  // namespace zir
