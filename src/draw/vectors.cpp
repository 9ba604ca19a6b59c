#include "draw/vectors.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "draw/rastersurface.h"
#include "platform/platform.h"

namespace zir {
namespace {

// Pictures inside pictures deeper than this are traced from their pixels instead, so that
// copies back and forth between two images cannot nest without end.
constexpr int MaxDepth = 12;

bool gRecording = false;
int gQuiet = 0;
int gInstrument = 0;
std::unordered_map<const std::uint8_t*, VectorList> gLists;
// The list looked up last: most records go to the same image one after the other.
const std::uint8_t* gLastImage = nullptr;
VectorList* gLastList = nullptr;

void UpdateHooks() {
    detail::vectorHooks = gRecording && gQuiet == 0 ? 1 : 0;
}

void Drop(const std::uint8_t* image) {
    if (image == gLastImage) {
        gLastImage = nullptr;
        gLastList = nullptr;
    }
    gLists.erase(image);
}

std::int64_t ClampIndex(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int64_t>(std::clamp(v, -1e9, 1e9));
}

void SetBounds(VectorItem& item, double x1, double y1, double x2, double y2, double margin) {
    item.Bound(ClampIndex(std::floor(std::min(x1, x2) - margin)),
               ClampIndex(std::floor(std::min(y1, y2) - margin)),
               ClampIndex(std::ceil(std::max(x1, x2) + margin)),
               ClampIndex(std::ceil(std::max(y1, y2) + margin)));
}

// Bounds from the item's shape, for the items whose recorder left them out.
void ComputeBounds(VectorItem& item) {
    const double* a = item.a;
    switch (item.shape) {
        case VectorShape::Segment:
        case VectorShape::Box:
        case VectorShape::FilledBox:
            // Their pixels are exactly those between the rounded ends.
            SetBounds(item, std::round(a[0]), std::round(a[1]), std::round(a[2]), std::round(a[3]),
                      0);
            return;
        case VectorShape::Arc:
            SetBounds(item, a[0] - std::fabs(a[2]), a[1] - std::fabs(a[2]), a[0] + std::fabs(a[2]),
                      a[1] + std::fabs(a[2]), 2);
            return;
        case VectorShape::Pixel:
            SetBounds(item, a[0], a[1], a[0], a[1], 0);
            return;
        case VectorShape::Shape:
            if (item.extra && !item.extra->points.empty()) {
                const std::vector<double>& p = item.extra->points;
                double x1 = p[0], y1 = p[1], x2 = p[0], y2 = p[1];
                for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
                    x1 = std::min(x1, p[i]), x2 = std::max(x2, p[i]);
                    y1 = std::min(y1, p[i + 1]), y2 = std::max(y2, p[i + 1]);
                }
                SetBounds(item, x1, y1, x2, y2, 2);
            } else {
                SetBounds(item, a[0] - std::fabs(a[2]), a[1] - std::fabs(a[2]),
                          a[0] + std::fabs(a[2]), a[1] + std::fabs(a[2]), 2);
            }
            return;
        case VectorShape::Mask:
        case VectorShape::Picture: {
            if (!item.extra) return;
            if (item.shape == VectorShape::Picture) {
                const VectorExtra::Rect& c = item.extra->clip;
                item.Bound(c.x, c.y, std::int64_t{c.x} + c.width - 1,
                           std::int64_t{c.y} + c.height - 1);
                return;
            }
            const auto& rects = item.extra->rects;
            if (rects.empty()) return;
            std::int64_t l = rects[0].x, t = rects[0].y, r = l, b = t;
            for (const VectorExtra::Rect& k : rects) {
                l = std::min<std::int64_t>(l, k.x), t = std::min<std::int64_t>(t, k.y);
                r = std::max<std::int64_t>(r, std::int64_t{k.x} + k.width - 1);
                b = std::max<std::int64_t>(b, std::int64_t{k.y} + k.height - 1);
            }
            item.Bound(l, t, r, b);
            return;
        }
        case VectorShape::Text:
            return;  // the recorder knows the glyphs' widths
    }
}

void Append(VectorList& list, VectorItem item) {
    if (!list.store || list.store->items.size() != list.count) {
        auto fresh = std::make_shared<VectorStore>();
        for (std::size_t i = 0; i < list.count; ++i) fresh->items.push_back(list.store->items[i]);
        list.store = std::move(fresh);
    }
    if (item.shape == VectorShape::Picture && item.extra) {
        list.depth = std::max(list.depth, item.extra->picture.depth + 1);
    }
    list.store->items.push_back(std::move(item));
    ++list.count;
}

// Runs one row high, in any order, as rectangles: runs of the same columns on rows below
// each other become one.
std::vector<VectorExtra::Rect> MergedRuns(std::vector<VectorExtra::Rect> runs) {
    std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) {
        return std::tie(a.x, a.width, a.y) < std::tie(b.x, b.width, b.y);
    });
    std::vector<VectorExtra::Rect> rects;
    for (const VectorExtra::Rect& r : runs) {
        VectorExtra::Rect* last = rects.empty() ? nullptr : &rects.back();
        if (last && last->x == r.x && last->width == r.width && last->y + last->height == r.y) {
            last->height += r.height;
        } else {
            rects.push_back(r);
        }
    }
    return rects;
}

// The image's pixels as a list: one filled box when they are all of one colour, else for
// each colour the rectangles of its pixels (runs of a row, grown down while the rows below
// have the same run).
VectorList Trace(const std::uint8_t* image) {
    VectorList list;
    const Surface s = MakeSurface(image);
    if (!s.pixels) return list;
    const std::size_t bytes = static_cast<std::size_t>(s.width) * s.height * s.bytesPerPixel;
    const bool uniform = std::equal(s.pixels + s.bytesPerPixel, s.pixels + bytes, s.pixels);
    if (uniform) {
        VectorItem box;
        box.shape = VectorShape::FilledBox;
        box.colour = ImageColourAt(image, 0, 0);
        box.a[2] = s.width - 1;
        box.a[3] = s.height - 1;
        box.Bound(0, 0, s.width - 1, s.height - 1);
        Append(list, std::move(box));
        return list;
    }
    std::map<std::uint32_t, std::vector<VectorExtra::Rect>> runs;  // by colour
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width;) {
            const Colour c = ImageColourAt(image, x, y);
            int end = x + 1;
            while (end < s.width && ImageColourAt(image, end, y) == c) ++end;
            runs[c.Value()].push_back({x, y, end - x, 1});
            x = end;
        }
    }
    for (auto& [colour, r] : runs) {
        VectorItem mask;
        mask.shape = VectorShape::Mask;
        mask.colour = Colour{colour};
        auto extra = std::make_shared<VectorExtra>();
        extra->rects = MergedRuns(std::move(r));
        mask.extra = std::move(extra);
        ComputeBounds(mask);
        Append(list, std::move(mask));
    }
    return list;
}

VectorList& ListFor(const std::uint8_t* image) {
    if (image == gLastImage && gLastList) return *gLastList;
    auto found = gLists.find(image);
    if (found == gLists.end()) found = gLists.emplace(image, Trace(image)).first;
    gLastImage = image;
    gLastList = &found->second;
    return found->second;
}

void OnImageDestroyed(const std::uint8_t* image) {
    Drop(image);
}

}  // namespace

void VectorItems::push_back(VectorItem item) {
    // A block is full when the count reaches 8, 24, 56, ...: the end of block k.
    const std::size_t k = blocks_.size();
    if (size_ == ((std::size_t{1} << k) - 1) << FirstBits) {
        blocks_.emplace_back();
        blocks_.back().reserve(std::size_t{1} << (k + FirstBits));
    }
    blocks_.back().push_back(std::move(item));
    ++size_;
}

void VectorRecording(bool on) {
    gRecording = on;
    gLists.clear();
    gLastImage = nullptr;
    gLastList = nullptr;
    ImageOnEveryDestroy(on ? &OnImageDestroyed : nullptr);
    UpdateHooks();
}

bool VectorRecordingOn() {
    return gRecording;
}

VectorQuiet::VectorQuiet() {
    ++gQuiet;
    UpdateHooks();
}
VectorQuiet::~VectorQuiet() {
    --gQuiet;
    UpdateHooks();
}

VectorInstrument::VectorInstrument() {
    ++gInstrument;
}
VectorInstrument::~VectorInstrument() {
    --gInstrument;
}

void VectorRecordInto(const std::uint8_t* image, VectorItem item) {
    if (!gRecording || gQuiet > 0 || !ImageHeaderValid(image)) return;
    if (item.right < item.left) ComputeBounds(item);
    item.instrument = item.instrument || gInstrument > 0;
    VectorList& list = ListFor(image);
    // A box over the whole image (a cleared drawing) hides everything before it.
    const double* a = item.a;
    if (item.shape == VectorShape::FilledBox && std::round(std::min(a[0], a[2])) <= 0 &&
        std::round(std::min(a[1], a[3])) <= 0 &&
        std::round(std::max(a[0], a[2])) >= ImageWidth(image) - 1 &&
        std::round(std::max(a[1], a[3])) >= ImageHeight(image) - 1) {
        list = {};
    }
    Append(list, std::move(item));
}

void VectorRecord(DrawTarget target, VectorItem item) {
    if (!gRecording || gQuiet > 0) return;
    // A show of the buffer still waiting for the screen is made first, as the raster
    // primitives that draw the item will make it.
    const Surface s = ResolveForDrawing(target);
    if (!s.pixels) return;
    VectorRecordInto(s.pixels - ImageHeaderBytes, std::move(item));
}

void VectorRecordRuns(const std::uint8_t* image, std::vector<VectorExtra::Rect> runs,
                      Colour colour) {
    if (!gRecording || runs.empty()) return;
    auto extra = std::make_shared<VectorExtra>();
    extra->rects = MergedRuns(std::move(runs));
    VectorItem mask;
    mask.shape = VectorShape::Mask;
    mask.colour = colour;
    mask.extra = std::move(extra);
    VectorRecordInto(image, std::move(mask));
}

void VectorRecordBits(const std::uint8_t* image, const std::uint8_t* bits, int rowBytes, int x0,
                      int y0, int width, int height, int x, int y, Colour ink, Colour paper) {
    if (!gRecording) return;
    std::vector<VectorExtra::Rect> on, off;
    for (int j = 0; j < height; ++j) {
        const std::uint8_t* row = bits + static_cast<std::size_t>(y0 + j) * rowBytes;
        for (int i = 0; i < width;) {
            auto bit = [&](int k) { return (row[(x0 + k) >> 3] & (0x80 >> ((x0 + k) & 7))) != 0; };
            const bool set = bit(i);
            int end = i + 1;
            while (end < width && bit(end) == set) ++end;
            (set ? on : off).push_back({x + i, y + j, end - i, 1});
            i = end;
        }
    }
    // Either colour is drawn only where it is not the transparent one.
    const int bpp = ImageBytesPerPixel(image);
    if (PixelFromColour(paper, bpp) != MaskPixel(bpp)) {
        VectorRecordRuns(image, std::move(off), paper);
    }
    if (PixelFromColour(ink, bpp) != MaskPixel(bpp)) VectorRecordRuns(image, std::move(on), ink);
}

void VectorCopy(const std::uint8_t* target, const std::uint8_t* source, int dx, int dy, int x,
                int y, int width, int height, BlitMode mode, int alpha) {
    if (!gRecording || !ImageHeaderValid(target) || !ImageHeaderValid(source)) return;
    if (width <= 0 || height <= 0 || (mode == BlitMode::Alpha && alpha <= 0)) return;
    VectorList picture = VectorsOf(source);
    const int tw = ImageWidth(target), th = ImageHeight(target);
    const bool covers =
        mode == BlitMode::Copy && x <= 0 && y <= 0 && x + width >= tw && y + height >= th;
    if (covers && dx == 0 && dy == 0 && ImageWidth(source) == tw && ImageHeight(source) == th) {
        SetVectors(target, std::move(picture));
        return;
    }
    if (picture.depth >= MaxDepth) picture = Trace(source);
    VectorList list;
    if (!covers) {
        list = ListFor(target);
        // In a copy, what the copied rectangle covers entirely is gone.
        auto inside = [&](const VectorItem& item) {
            return item.left >= x && item.top >= y && item.right < x + width &&
                   item.bottom < y + height;
        };
        bool any = false;
        for (std::size_t i = 0; i < list.count && mode == BlitMode::Copy && !any; ++i) {
            any = inside(list.store->items[i]);
        }
        if (any) {
            VectorList kept;
            for (std::size_t i = 0; i < list.count; ++i) {
                if (!inside(list.store->items[i])) Append(kept, list.store->items[i]);
            }
            list = std::move(kept);
        }
    }
    VectorItem item;
    item.shape = VectorShape::Picture;
    item.a[0] = dx;
    item.a[1] = dy;
    auto extra = std::make_shared<VectorExtra>();
    extra->alpha = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
    extra->picture = std::move(picture);
    extra->clip = {x, y, width, height};
    extra->mode = mode;
    item.extra = std::move(extra);
    ComputeBounds(item);
    Append(list, std::move(item));
    SetVectors(target, std::move(list));
}

void VectorForget(const std::uint8_t* image) {
    if (gRecording) Drop(image);
}

VectorList VectorsOf(const std::uint8_t* image) {
    if (!gRecording || !ImageHeaderValid(image)) return {};
    return ListFor(image);
}

void SetVectors(const std::uint8_t* image, VectorList list) {
    if (!gRecording || !image) return;
    VectorList& slot = gLists[image];
    slot = std::move(list);
    gLastImage = image;
    gLastList = &slot;
}

}  // namespace zir
