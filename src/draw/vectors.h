// The display list: beside the pixels of each image, what was drawn on it as figures, so that
// a picture can be written as vector graphics. It is kept only while vector output is wanted
// (VectorRecording); otherwise every hook returns at its first test and nothing is kept.
//
// An image's list describes its pixels exactly: the drawing procedures record what they draw,
// and every copy of pixels from one image into another (a blit, a grab, a snapshot put back,
// the buffer shown on the screen) copies the list along. An image whose pixels changed in a
// way nobody recorded has no list; it is then described by its pixels themselves, traced into
// rectangles of one colour, which is exact if not pretty.
#pragma once

#include <bit>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "draw/raster.h"
#include "platform/largememory.h"

namespace zir {

enum class VectorShape : std::uint8_t {
    Segment,    // one pixel wide from (a0, a1) to (a2, a3), in the style mask
    Box,        // the outline of the rectangle with the corners (a0, a1) and (a2, a3)
    FilledBox,  // the same, filled
    Arc,        // centre (a0, a1), radius a2, from a3 to a4 as RasterArc takes them; or filled
    Pixel,      // at (a0, a1)
    Mask,       // the pixel rectangles of extra->rects
    Text,       // extra->text in the built-in font of height a2 (a3 = 1 for the Greek
                // family), the first glyph's top-left pixel at (a0, a1), each glyph after the
                // one before; extra->paper behind unless it is the transparent colour
    Shape,      // a fill: extra->points as a closed polygon, or with none the disc or sector
                // centred at (a0, a1) with radius a2 from a3 to a4 (both 0 for the disc),
                // outline included, at opacity extra->alpha
    Picture,    // extra->picture moved by (a0, a1), cut to the pixels of extra->clip, drawn
                // in extra->mode with extra->alpha
};

struct VectorItem;

// Items in blocks that double in size: a long list grows without moving what it holds, with
// few allocations, and its large blocks get huge pages (a first touch of each small page is
// what a large picture's list would mostly cost).
class VectorItems {
  public:
    std::size_t size() const { return size_; }
    const VectorItem& operator[](std::size_t i) const {
        const int k = std::bit_width((i >> FirstBits) + 1) - 1;
        return blocks_[k][i - (((std::size_t{1} << k) - 1) << FirstBits)];
    }
    void push_back(VectorItem item);

  private:
    static constexpr int FirstBits = 3;  // the first block holds 8 items
    std::vector<std::vector<VectorItem, LargeAllocator<VectorItem>>> blocks_;
    std::size_t size_ = 0;
};

struct VectorStore {
    VectorItems items;
};

// A picture as a list: the first count items of a store that other lists may share and
// extend further. Appending to a list that ends before its store does copies those items
// first, so no list ever sees another's later items.
struct VectorList {
    std::shared_ptr<VectorStore> store;
    std::size_t count = 0;
    int depth = 0;  // how deeply pictures nest in it
};

// What one item needs besides its numbers.
struct VectorExtra {
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::vector<Rect> rects;
    std::string text;            // the glyph codes, Windows-1252 or the Greek font's
    std::vector<double> points;  // x, y, x, y, ...
    VectorList picture;
    Rect clip;
    BlitMode mode = BlitMode::Copy;
    std::uint8_t alpha = 255;   // a fill's or a picture's opacity
    Colour paper = MaskColour;  // behind text, unless it is the transparent colour
};

struct VectorItem {
    double a[5] = {};
    std::shared_ptr<const VectorExtra> extra;
    Colour colour;
    std::uint16_t style = SolidStyle;
    VectorShape shape = VectorShape::Pixel;
    bool filled : 1 = false;
    bool instrument : 1 = false;  // drawn as part of a drawing instrument
    // The pixels the item may change, inclusive, or left > right for none. Kept small, as a
    // large picture has hundreds of thousands of items: far pixels are clamped.
    std::int16_t left = 0, top = 0, right = -1, bottom = -1;

    void Bound(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        auto clamp = [](std::int64_t v) {
            return static_cast<std::int16_t>(v < INT16_MIN   ? INT16_MIN
                                             : v > INT16_MAX ? INT16_MAX
                                                             : v);
        };
        left = clamp(l), top = clamp(t), right = clamp(r), bottom = clamp(b);
    }
};
static_assert(sizeof(VectorItem) <= 72, "a large picture keeps many items");

// Starts or stops keeping lists. Stopping forgets every list.
void VectorRecording(bool on);

namespace detail {
inline int vectorHooks = 0;  // 1 while recording and no procedure has quietened the raster
}
// Whether a raster primitive should record what it draws now.
inline bool VectorHooks() {
    return detail::vectorHooks > 0;
}

// While one lives, the raster primitives record nothing: a drawing procedure that records
// its figure whole draws it with them.
class VectorQuiet {
  public:
    VectorQuiet();
    ~VectorQuiet();
    VectorQuiet(const VectorQuiet&) = delete;
    VectorQuiet& operator=(const VectorQuiet&) = delete;
};

// While one lives, what is recorded is marked as part of an instrument.
class VectorInstrument {
  public:
    VectorInstrument();
    ~VectorInstrument();
    VectorInstrument(const VectorInstrument&) = delete;
    VectorInstrument& operator=(const VectorInstrument&) = delete;
};

// Whether lists are kept at all; drawing procedures ask it before they build an item.
bool VectorRecordingOn();

// Appends the item to the list of the target's image, with its bounds computed from its
// shape where they are left empty (right < left).
void VectorRecord(DrawTarget target, VectorItem item);
void VectorRecordInto(const std::uint8_t* image, VectorItem item);

// Records pixel runs (rectangles one row high, in any order) of one colour as one mask.
void VectorRecordRuns(const std::uint8_t* image, std::vector<VectorExtra::Rect> runs,
                      Colour colour);
// Records a one-bit picture drawn as RasterBits draws it: bits (x0, y0) on of the part
// width x height go to (x, y) of the image.
void VectorRecordBits(const std::uint8_t* image, const std::uint8_t* bits, int rowBytes, int x0,
                      int y0, int width, int height, int x, int y, Colour ink, Colour paper);

// The pixels of source moved by (dx, dy) went into the rectangle (x, y, width, height) of
// target in this blit mode.
void VectorCopy(const std::uint8_t* target, const std::uint8_t* source, int dx, int dy, int x,
                int y, int width, int height, BlitMode mode, int alpha);
// The target's pixels are about to change without a record: its list is dropped.
void VectorForget(const std::uint8_t* image);

// The image's list (traced from its pixels when it has none); empty while not recording.
VectorList VectorsOf(const std::uint8_t* image);
// Gives the image this list, as when its pixels were made a copy of the list's picture.
void SetVectors(const std::uint8_t* image, VectorList list);

}  // namespace zir
