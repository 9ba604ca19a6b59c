#include "draw/vectors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <utility>

#include "draw/instruments.h"
#include "draw/svg.h"
#include "draw_canvas.h"
#include "geometry_records.h"

namespace zir {
namespace {

using test::Black;
using test::Canvas;
using test::P;
using test::Red;

class Vectors : public ::testing::Test {
  protected:
    void SetUp() override { VectorRecording(true); }
    void TearDown() override { VectorRecording(false); }
};

const VectorItem& Last(const VectorList& list) {
    return list.store->items[list.count - 1];
}

// The pixels a mask covers; a pixel covered twice is counted in area but once in the set.
std::set<std::pair<int, int>> Covered(const VectorItem& mask, int& area) {
    std::set<std::pair<int, int>> covered;
    area = 0;
    for (const VectorExtra::Rect& r : mask.extra->rects) {
        area += r.width * r.height;
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) covered.insert({x, y});
    }
    return covered;
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
    // The copy covers pixels 18 to 27: one just inside stays covered, one a pixel beyond on
    // either side stays.
    RasterLine(target.target(), 18, 18, 27, 27, Black, LineKind::Segment);
    RasterLine(target.target(), 18, 22, 28, 22, Black, LineKind::Segment);
    RasterLine(target.target(), 17, 23, 27, 23, Black, LineKind::Segment);
    RasterBlit(target.target(), 18, 18, source.handle, BlitMode::Copy);
    const VectorList list = VectorsOf(target.handle);
    std::set<std::pair<double, double>> starts;
    for (std::size_t i = 0; i < list.count; ++i) {
        if (list.store->items[i].shape == VectorShape::Segment) {
            starts.insert({list.store->items[i].a[0], list.store->items[i].a[1]});
        }
    }
    EXPECT_EQ(starts, (std::set<std::pair<double, double>>{{1, 1}, {10, 20}, {18, 22}, {17, 23}}));
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
        int area = 0;
        const std::set<std::pair<int, int>> covered = Covered(Last(list), area);
        for (auto [x, y] : covered) EXPECT_TRUE(canvas.is(x, y, Red)) << x << ", " << y;
        EXPECT_GT(area, 100);
        EXPECT_EQ(area, canvas.count(Red));
        EXPECT_EQ(static_cast<int>(covered.size()), area);
    }
}

TEST_F(Vectors, PixelsChangedWithoutARecordAreTracedFromThePixels) {
    // All blue, then with a red block: one box, then a mask per colour that covers exactly
    // its pixels.
    Canvas canvas(40, 30);
    RasterLine(canvas.target(), 2, 3, 20, 10, Black, LineKind::Segment);
    for (const bool block : {false, true}) {
        RasterNoteChanged(canvas.handle);
        std::uint8_t* pixels = ImagePixels(canvas.handle);
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                const bool red = block && x >= 10 && x < 15 && y >= 5 && y < 8;
                const int i = 2 * (y * canvas.width() + x);
                pixels[i] = red ? 0x00 : 0x1F, pixels[i + 1] = red ? 0xF8 : 0;
            }
        }
        const VectorList list = VectorsOf(canvas.handle);
        if (!block) {
            ASSERT_EQ(list.count, 1u);
            EXPECT_EQ(Last(list).shape, VectorShape::FilledBox);
            EXPECT_EQ(Last(list).colour, ColourFrom565(0x001F));
            continue;
        }
        ASSERT_EQ(list.count, 2u);
        int total = 0;
        for (std::size_t i = 0; i < list.count; ++i) {
            const VectorItem& mask = list.store->items[i];
            ASSERT_EQ(mask.shape, VectorShape::Mask);
            int area = 0;
            const auto covered = Covered(mask, area);
            EXPECT_EQ(static_cast<int>(covered.size()), area);
            for (auto [x, y] : covered) EXPECT_TRUE(canvas.is(x, y, mask.colour)) << x << ", " << y;
            total += area;
        }
        EXPECT_EQ(total, canvas.width() * canvas.height());
    }
}

TEST_F(Vectors, ABoxOverTheWholeImageHidesWhatWasBefore) {
    Canvas canvas(40, 30);
    RasterLine(canvas.target(), 2, 3, 20, 10, Black, LineKind::Segment);
    RasterLine(canvas.target(), 0, 0, 39, 29, Red, LineKind::FilledBox);
    EXPECT_EQ(VectorsOf(canvas.handle).count, 1u);
    RasterLine(canvas.target(), 0, 0, 39, 28, Black, LineKind::FilledBox);
    EXPECT_EQ(VectorsOf(canvas.handle).count, 2u);
}

TEST_F(Vectors, InstrumentsAreMarkedAndLeftOutOfTheSvg) {
    Canvas canvas(200, 100);
    RasterLine(canvas.target(), 10, 80, 190, 80, Black, LineKind::Segment);
    RulerTool(canvas.target(), P(20, 50), P(180, 50), 0, 30, Red, 10);
    const VectorList list = VectorsOf(canvas.handle);
    ASSERT_GT(list.count, 3u);
    for (std::size_t i = 0; i < list.count; ++i) {
        EXPECT_EQ(list.store->items[i].instrument, list.store->items[i].colour == Red) << i;
    }
    const SvgArea area{0, 0, 200, 100};
    EXPECT_NE(SvgOf(list, area, true).find("#ff0000"), std::string::npos);
    EXPECT_EQ(SvgOf(list, area, false).find("#ff0000"), std::string::npos);
    EXPECT_NE(SvgOf(list, area, false).find("M10 80L190 80"), std::string::npos);
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
