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

bool SamePixels(const std::uint8_t* a, const std::uint8_t* b) {
    return std::memcmp(a, b, 4 + Width * Height * 2) == 0;
}

TEST(DrawingSnapshot, AFewChangedTilesAreKeptAsPatchesAndPutBackExactly) {
    Image first = Picture(Colour{0xFFFFFF});
    const SharedSnapshot base = SnapshotOf(first.get(), nullptr);
    ASSERT_TRUE(base);
    EXPECT_TRUE(base->patches.empty());

    // A little drawn, on tile edges and at the image's ragged right and bottom edges.
    Image now = Picture(Colour{0xFFFFFF});
    ImageHandle handle = now.get();
    RasterLine(&handle, 15, 15, 17, 17, Colour{0xFF0000}, LineKind::Segment);
    RasterPixel(&handle, Width - 1, Height - 1, Colour{0x00FF00});
    RasterPixel(&handle, 100, 0, Colour{0x0000FF});
    const SharedSnapshot diff = SnapshotOf(now.get(), base.get());
    ASSERT_TRUE(diff);
    EXPECT_EQ(diff->whole, base->whole);  // shared, not copied
    EXPECT_FALSE(diff->patches.empty());

    DrawingBuffer buffer;
    ReplaceBufferImage(buffer, Picture(Colour{0x000000}));
    RestoreSnapshot(buffer, diff.get());
    EXPECT_TRUE(SamePixels(buffer.handle, now.get()));
    RestoreSnapshot(buffer, base.get());
    EXPECT_TRUE(SamePixels(buffer.handle, first.get()));
    RasterWatch(nullptr);
}

TEST(DrawingSnapshot, ManyChangesOrAnotherSizeMakeAWholeCopy) {
    Image first = Picture(Colour{0xFFFFFF});
    const SharedSnapshot base = SnapshotOf(first.get(), nullptr);
    Image changed = Picture(Colour{0x808080});
    const SharedSnapshot whole = SnapshotOf(changed.get(), base.get());
    ASSERT_TRUE(whole);
    EXPECT_NE(whole->whole, base->whole);
    EXPECT_TRUE(whole->patches.empty());

    Image other{ImageCreateWithDepth(Width + 1, Height, 2, Colour{0xFFFFFF})};
    const SharedSnapshot resized = SnapshotOf(other.get(), base.get());
    ASSERT_TRUE(resized);
    EXPECT_NE(resized->whole, base->whole);
}

TEST(DrawingSnapshot, RandomSmallDrawingsAlwaysComeBackExactly) {
    std::mt19937 random(3);
    Image first = Picture(Colour{0xFFFFFF});
    const SharedSnapshot base = SnapshotOf(first.get(), nullptr);
    Image now = Picture(Colour{0xFFFFFF});
    ImageHandle handle = now.get();
    DrawingBuffer buffer;
    ReplaceBufferImage(buffer, Picture(Colour{0}));
    for (int round = 0; round < 50; ++round) {
        RasterPixel(&handle, random() % Width, random() % Height,
                    Colour{static_cast<std::uint32_t>(random() & 0xFFFFFF)});
        const SharedSnapshot diff = SnapshotOf(now.get(), base.get());
        ASSERT_TRUE(diff);
        RestoreSnapshot(buffer, diff.get());
        ASSERT_TRUE(SamePixels(buffer.handle, now.get())) << "round " << round;
    }
    RasterWatch(nullptr);
}

}  // namespace
}  // namespace zir
