// Snapshots of the drawing: a snapshot that keeps only what differs from an earlier whole copy
// must put back exactly the picture it was taken of.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "interp/drawingbuffer.h"

namespace zir {
namespace {

constexpr int Width = 200, Height = 150;

Image Picture(Colour fill) {
    return Image{ImageCreateWithDepth(Width, Height, 2, fill)};
}

// Pixels drawn one by one, on tile edges and at the image's ragged right and bottom edges
// among them, are kept as patches over the shared whole copy and come back exactly.
TEST(DrawingSnapshot, SmallChangesAreKeptAsPatchesAndPutBackExactly) {
    std::mt19937 random(3);
    Image first = Picture(Colour{0xFFFFFF});
    const SharedSnapshot base = SnapshotOf(first.get(), nullptr);
    ASSERT_TRUE(base);
    Image now = Picture(Colour{0xFFFFFF});
    ImageHandle handle = now.get();
    DrawingBuffer buffer;
    ReplaceBufferImage(buffer, Picture(Colour{0}));
    for (int round = 0; round < 50; ++round) {
        const int x = round == 0 ? Width - 1 : random() % Width;
        const int y = round == 0 ? Height - 1 : random() % Height;
        RasterPixel(&handle, x, y, Colour{static_cast<std::uint32_t>(random() & 0xFFFFFF)});
        const SharedSnapshot diff = SnapshotOf(now.get(), base.get());
        ASSERT_TRUE(diff);
        EXPECT_TRUE(round > 0 || diff->whole == base->whole) << "shared, not copied";
        RestoreSnapshot(buffer, diff.get());
        ASSERT_EQ(std::memcmp(buffer.handle, now.get(), ImageBytes(now.get())), 0) << round;
    }
    RestoreSnapshot(buffer, base.get());
    EXPECT_EQ(std::memcmp(buffer.handle, first.get(), ImageBytes(first.get())), 0);
    RasterWatch(nullptr);
}

}  // namespace
}  // namespace zir
