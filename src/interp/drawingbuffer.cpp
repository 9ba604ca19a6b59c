#include "interp/drawingbuffer.h"

#include <algorithm>
#include <cstring>

namespace zir {

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
    if (copy) {
        std::memcpy(copy.get(), image, ImageBytes(image));
        SetVectors(copy.get(), VectorsOf(image));
    }
    return copy;
}

void KeepCopy(Image& copy, const std::uint8_t* image) {
    if (copy && image && std::memcmp(copy.get(), image, ImageHeaderBytes) == 0) {
        std::memcpy(copy.get(), image, ImageBytes(image));
        SetVectors(copy.get(), VectorsOf(image));
    } else {
        copy = CopyOfImage(image);
    }
}

void CopyImageInto(ImageHandle target, const std::uint8_t* source) {
    if (!target || !source) return;
    if (std::memcmp(target, source, ImageHeaderBytes) == 0) {
        RasterNoteChanged(target);
        std::memcpy(target, source, ImageBytes(source));
        SetVectors(target, VectorsOf(source));
        return;
    }
    ImageHandle handle = target;
    RasterBlit(&handle, 0, 0, source, BlitMode::Copy);
}

void RestoreSnapshot(DrawingBuffer& buffer, const std::uint8_t* snapshot) {
    CopyImageInto(buffer.handle, snapshot);
}

namespace {

constexpr int SnapshotTile = 16;

bool SameLayout(const std::uint8_t* a, const std::uint8_t* b) {
    return a && b && std::memcmp(a, b, ImageHeaderBytes) == 0;
}

}  // namespace

SharedSnapshot SnapshotOf(const std::uint8_t* image, const DrawingSnapshot* base) {
    if (!image) return nullptr;
    auto snapshot = std::make_shared<DrawingSnapshot>();
    snapshot->vectors = VectorsOf(image);
    if (base && SameLayout(base->whole.get(), image)) {
        // The tiles that differ, a run of neighbours in a row of tiles as one rectangle.
        const int w = ImageWidth(image), h = ImageHeight(image), bpp = ImageBytesPerPixel(image);
        const std::size_t rowBytes = static_cast<std::size_t>(w) * bpp;
        const std::uint8_t* now = ImagePixels(image);
        const std::uint8_t* then = ImagePixels(base->whole.get());
        const int tilesX = (w + SnapshotTile - 1) / SnapshotTile;
        const int tilesY = (h + SnapshotTile - 1) / SnapshotTile;
        std::size_t differing = 0;
        bool worthIt = true;
        std::vector<bool> differs(static_cast<std::size_t>(tilesX));
        for (int ty = 0; ty < tilesY && worthIt; ++ty) {
            const int top = ty * SnapshotTile, rows = std::min(SnapshotTile, h - top);
            for (int tx = 0; tx < tilesX; ++tx) {
                const int left = tx * SnapshotTile, cols = std::min(SnapshotTile, w - left);
                bool d = false;
                for (int r = 0; r < rows && !d; ++r) {
                    const std::size_t at =
                        (top + r) * rowBytes + static_cast<std::size_t>(left) * bpp;
                    d = std::memcmp(now + at, then + at, static_cast<std::size_t>(cols) * bpp) != 0;
                }
                differs[tx] = d;
                differing += d;
            }
            // Past a quarter of the tiles a whole copy is cheaper to keep and to put back.
            if (differing * 4 > static_cast<std::size_t>(tilesX) * tilesY) {
                worthIt = false;
                break;
            }
            for (int tx = 0; tx < tilesX;) {
                if (!differs[tx]) {
                    ++tx;
                    continue;
                }
                int end = tx;
                while (end < tilesX && differs[end]) ++end;
                DrawingSnapshot::Patch patch;
                patch.x = tx * SnapshotTile;
                patch.y = top;
                patch.width = std::min(end * SnapshotTile, w) - patch.x;
                patch.height = rows;
                const std::size_t patchRow = static_cast<std::size_t>(patch.width) * bpp;
                patch.pixels.resize(patchRow * rows);
                for (int r = 0; r < rows; ++r) {
                    std::memcpy(
                        patch.pixels.data() + r * patchRow,
                        now + (top + r) * rowBytes + static_cast<std::size_t>(patch.x) * bpp,
                        patchRow);
                }
                snapshot->patches.push_back(std::move(patch));
                tx = end;
            }
        }
        if (worthIt) {
            snapshot->whole = base->whole;
            return snapshot;
        }
        snapshot->patches.clear();
    }
    snapshot->whole = SharedImage(CopyOfImage(image));
    if (!snapshot->whole) return nullptr;
    return snapshot;
}

void RestoreSnapshot(DrawingBuffer& buffer, const DrawingSnapshot* snapshot) {
    if (!snapshot) return;
    RestoreSnapshot(buffer, snapshot->whole.get());
    ImageHandle target = buffer.handle;
    if (!target || !SameLayout(target, snapshot->whole.get())) return;
    const std::size_t rowBytes =
        static_cast<std::size_t>(ImageWidth(target)) * ImageBytesPerPixel(target);
    const int bpp = ImageBytesPerPixel(target);
    if (!snapshot->patches.empty()) RasterNoteChanged(target);
    for (const DrawingSnapshot::Patch& patch : snapshot->patches) {
        const std::size_t patchRow = static_cast<std::size_t>(patch.width) * bpp;
        for (int r = 0; r < patch.height; ++r) {
            std::memcpy(ImagePixels(target) + (patch.y + r) * rowBytes +
                            static_cast<std::size_t>(patch.x) * bpp,
                        patch.pixels.data() + r * patchRow, patchRow);
        }
    }
    SetVectors(target, snapshot->vectors);
}

}  // namespace zir
