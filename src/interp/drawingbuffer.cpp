#include "interp/drawingbuffer.h"

#include <cstring>

namespace zir {
namespace {

std::size_t ImageBytes(const std::uint8_t* image) {
    return ImageHeaderBytes + static_cast<std::size_t>(ImageWidth(image)) * ImageHeight(image) *
                                  ImageBytesPerPixel(image);
}

}  // namespace

DrawTarget BufferTarget(DrawingBuffer& buffer) {
    return &buffer.handle;
}

void ReplaceBufferImage(DrawingBuffer& buffer, Image image) {
    buffer.image = std::move(image);
    buffer.handle = buffer.image.get();
    // Showing the buffer copies only what changed since it was last shown.
    RasterWatch(buffer.handle);
}

Image CopyOfImage(const std::uint8_t* image) {
    if (!image) return {};
    Image copy{
        ImageCreateWithDepth(ImageWidth(image), ImageHeight(image), ImageBytesPerPixel(image))};
    if (copy) std::memcpy(copy.get(), image, ImageBytes(image));
    return copy;
}

void KeepCopy(Image& copy, const std::uint8_t* image) {
    if (copy && image && std::memcmp(copy.get(), image, ImageHeaderBytes) == 0) {
        std::memcpy(copy.get(), image, ImageBytes(image));
    } else {
        copy = CopyOfImage(image);
    }
}

void CopyImageInto(ImageHandle target, const std::uint8_t* source) {
    if (!target || !source) return;
    if (std::memcmp(target, source, ImageHeaderBytes) == 0) {
        std::memcpy(target, source, ImageBytes(source));
        RasterNoteChanged(target);
        return;
    }
    ImageHandle handle = target;
    RasterBlit(&handle, 0, 0, source, BlitMode::Copy);
}

void RestoreSnapshot(DrawingBuffer& buffer, const std::uint8_t* snapshot) {
    CopyImageInto(buffer.handle, snapshot);
}

}  // namespace zir
