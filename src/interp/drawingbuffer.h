// The drawing buffer: the off-screen 16-bit image of the drawing area into which every
// figure is drawn before the whole of it is copied to the screen, and the snapshots of it
// that restarts and temporary drawings put back.
#pragma once

#include <cstdint>
#include <memory>

#include "draw/raster.h"
#include "platform/image.h"

namespace zir {

// Drawing procedures take the address of an image handle, so the buffer keeps its handle in
// a variable of its own beside the image that owns the pixels. A null handle would mean the
// screen; it is null only while no screen has been opened.
// A snapshot of the drawing that invocations share while the drawing stays the same.
using SharedImage = std::shared_ptr<std::uint8_t>;

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

}  // namespace zir
