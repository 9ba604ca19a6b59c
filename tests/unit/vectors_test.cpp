#include "draw/vectors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <utility>

#include "draw_canvas.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::Red;

class Vectors : public ::testing::Test {
  protected:
    void SetUp() override { VectorRecording(true); }
    void TearDown() override { VectorRecording(false); }
};

const VectorItem& Last(const VectorList& list) {
    return list.store->items[list.count - 1];
}

int Count(const VectorList& list, VectorShape shape) {
    int n = 0;
    for (std::size_t i = 0; i < list.count; ++i) n += list.store->items[i].shape == shape;
    return n;
}

TEST_F(Vectors, EachPrimitiveRecordsItsShape) {
    const struct {
        VectorShape shape;
        std::function<void(DrawTarget)> draw;
    } cases[] = {
        {VectorShape::Segment,
         [](DrawTarget t) { RasterLine(t, 2, 3, 20, 10, Black, LineKind::Segment); }},
        {VectorShape::Box, [](DrawTarget t) { RasterLine(t, 2, 3, 20, 10, Black, LineKind::Box); }},
        {VectorShape::Arc, [](DrawTarget t) { RasterArc(t, 20, 15, 8, Black, 0, FullTurn, true); }},
        {VectorShape::Pixel, [](DrawTarget t) { RasterPixel(t, 2, 3, Black); }},
    };
    for (const auto& c : cases) {
        Canvas canvas(40, 30);
        c.draw(canvas.target());
        const VectorList list = VectorsOf(canvas.handle);
        ASSERT_GT(list.count, 0u);
        EXPECT_EQ(Last(list).shape, c.shape) << static_cast<int>(c.shape);
        EXPECT_EQ(Last(list).colour, Black);
    }
}

TEST_F(Vectors, AWholeImageCopyTakesTheSourcesList) {
    Canvas source(40, 30), target(40, 30);
    RasterLine(source.target(), 2, 3, 20, 10, Black, LineKind::Segment);
    RasterPixel(target.target(), 5, 5, Red);
    RasterBlit(target.target(), 0, 0, source.handle, BlitMode::Copy);
    const VectorList from = VectorsOf(source.handle), to = VectorsOf(target.handle);
    EXPECT_EQ(to.store, from.store);
    EXPECT_EQ(to.count, from.count);
}

// The blit covers columns and rows 18 to 27: an item entirely under it is hidden, one
// reaching out of it still shows.
TEST_F(Vectors, APartialCopyDropsOnlyWhatItCoversEntirely) {
    Canvas source(10, 10, Red), target(40, 40);
    RasterLine(target.target(), 1, 1, 5, 5, Black, LineKind::Segment);
    RasterLine(target.target(), 20, 20, 25, 25, Black, LineKind::Segment);
    RasterLine(target.target(), 10, 20, 25, 20, Black, LineKind::Segment);
    RasterBlit(target.target(), 18, 18, source.handle, BlitMode::Copy);
    const VectorList list = VectorsOf(target.handle);
    std::set<std::pair<double, double>> starts;
    for (std::size_t i = 0; i < list.count; ++i) {
        if (list.store->items[i].shape == VectorShape::Segment) {
            starts.insert({list.store->items[i].a[0], list.store->items[i].a[1]});
        }
    }
    EXPECT_EQ(starts, (std::set<std::pair<double, double>>{{1, 1}, {10, 20}}));
    EXPECT_EQ(Count(list, VectorShape::Picture), 1);
    ASSERT_EQ(Last(list).shape, VectorShape::Picture);
    const VectorExtra::Rect& clip = Last(list).extra->clip;
    EXPECT_EQ((std::array{clip.x, clip.y, clip.width, clip.height}), (std::array{18, 18, 10, 10}));
}

// The mask of a fill stands for exactly its pixels, however its region is shaped.
TEST_F(Vectors, AFloodFillsMaskCoversExactlyTheFilledPixels) {
    const std::function<void(DrawTarget)> outlines[] = {
        [](DrawTarget t) { RasterLine(t, 5, 5, 30, 20, Black, LineKind::Box); },
        [](DrawTarget t) { RasterArc(t, 20, 15, 11, Black, 0, FullTurn, false); },
    };
    for (const auto& outline : outlines) {
        Canvas canvas(40, 30);
        outline(canvas.target());
        RasterFloodFill(canvas.target(), 20, 15, Red);
        const VectorList list = VectorsOf(canvas.handle);
        ASSERT_EQ(Last(list).shape, VectorShape::Mask);
        std::set<std::pair<int, int>> covered;
        int area = 0;
        for (const VectorExtra::Rect& r : Last(list).extra->rects) {
            area += r.width * r.height;
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x) {
                    EXPECT_TRUE(canvas.is(x, y, Red)) << x << ", " << y;
                    covered.insert({x, y});
                }
        }
        EXPECT_GT(area, 100);
        EXPECT_EQ(area, canvas.count(Red));
        EXPECT_EQ(static_cast<int>(covered.size()), area);
    }
}

TEST_F(Vectors, PixelsChangedWithoutARecordAreTracedFromThePixels) {
    Canvas canvas(40, 30);
    RasterLine(canvas.target(), 2, 3, 20, 10, Black, LineKind::Segment);
    RasterNoteChanged(canvas.handle);
    std::uint8_t* pixels = ImagePixels(canvas.handle);
    for (int i = 0; i < canvas.width() * canvas.height(); ++i) {
        pixels[2 * i] = 0x1F, pixels[2 * i + 1] = 0;  // blue in the 16-bit format
    }
    const VectorList list = VectorsOf(canvas.handle);
    ASSERT_EQ(list.count, 1u);
    EXPECT_EQ(Last(list).shape, VectorShape::FilledBox);
    EXPECT_EQ(Last(list).colour, ColourFrom565(0x001F));
}

TEST(VectorsOff, NothingIsKept) {
    Canvas canvas(40, 30);
    RasterLine(canvas.target(), 2, 3, 20, 10, Black, LineKind::Segment);
    const VectorList list = VectorsOf(canvas.handle);
    EXPECT_EQ(list.count, 0u);
    EXPECT_FALSE(list.store);
}

}  // namespace
}  // namespace zir
