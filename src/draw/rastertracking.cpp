#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

#include "draw/raster.h"
#include "draw/rastersurface.h"
#include "draw/vectors.h"
#include "geometry/portablemath.h"
#include "platform/platform.h"

namespace zir {
namespace {

// A show of the watched image that nobody has seen yet. While nobody sees the screen change,
// a show waits until the screen is next used or the image is about to change without a later
// show, and is then made with the pixels it would have copied.
struct WaitingShow {
    const std::uint8_t* image = nullptr;
    int x = 0, y = 0;
    std::uint64_t changes = 0;  // the watched image's change count when it was asked for
};
WaitingShow gWaiting;
// Set while the drawing going on is sure to be shown before the screen is used again.
bool gShowFollows = false;

void MakeWaitingShow();

// ---- the changed pixels ----------------------------------------------------------------

// Inclusive pixel corners; empty while right < left.
struct ChangeBox {
    std::int64_t left = 0, top = 0, right = -1, bottom = -1;
    bool Empty() const { return right < left; }
};

// The watched image's changes, in tiles of 16 x 16 pixels: a circle or a long slanted line
// touches few of the tiles its bounding box covers.
constexpr int TileShift = 4;
constexpr int TileSize = 1 << TileShift;

struct Tracked {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    ChangeBox changed;                // the screen's changes, as one box
    int tilesX = 0, tilesY = 0;       // the watched image's changes, as tiles
    std::vector<std::uint8_t> tiles;  // 1 where a pixel of that tile may have changed
    bool anyTile = false;
    ChangeBox marked;  // the tiles marked, in tile units
    // Marks since the last show; past a quarter of the tiles everything counts as changed,
    // so that drawing much before one show does not pay for tracking it.
    std::size_t marks = 0;
    bool saturated = false;
    // For putting back a picture the image equalled earlier: the step of the change history
    // (see RasterChangeMark) at which each tile last changed, and at which everything last
    // counted as changed.
    std::vector<std::uint64_t> stamps;
    std::uint64_t allChanged = 0;
};

Tracked gWatched;  // the drawing buffer
// Counts every change of the watched image (and every new watched image).
std::uint64_t gWatchedChanges = 0;
// The step of the watched image's change history; every RasterChangeMark begins a new one.
std::uint64_t gHistoryStep = 1;
// Whether a mark was taken for the watched image: its changes are then tracked however many.
bool gStampsWanted = false;
Tracked gScreen;  // the screen as it was when the watched image was last shown
struct LastShow {
    const std::uint8_t* pixels = nullptr;  // of the image shown last
    int x = 0, y = 0;
    std::uint32_t screenSerial = 0;
    bool valid = false;
} gLastShow;

void Extend(ChangeBox& box, int width, int height, std::int64_t x1, std::int64_t y1,
            std::int64_t x2, std::int64_t y2) {
    x1 = std::max<std::int64_t>(x1, 0), y1 = std::max<std::int64_t>(y1, 0);
    x2 = std::min<std::int64_t>(x2, width - 1), y2 = std::min<std::int64_t>(y2, height - 1);
    if (x1 > x2 || y1 > y2) return;
    if (box.Empty()) {
        box = {x1, y1, x2, y2};
        return;
    }
    box.left = std::min(box.left, x1), box.top = std::min(box.top, y1);
    box.right = std::max(box.right, x2), box.bottom = std::max(box.bottom, y2);
}

// Counts one mark towards the tracker's saturation; false once it is saturated, when marks
// no longer need to set tiles. While a mark wants to know what changed, tracking goes on
// much longer: a loop's pass draws much and puts back only what it drew.
bool CountMark(Tracked& t) {
    const std::size_t limit = gStampsWanted ? 4 * t.tiles.size() : t.tiles.size() / 4;
    if (!t.saturated && ++t.marks > limit) {
        t.saturated = true;
        t.anyTile = true;
    }
    if (t.saturated) {
        t.allChanged = gHistoryStep;
        return false;
    }
    return true;
}

// The tiles (inclusive, in tile units) that hold the pixel box's part inside the image;
// false when it misses the image.
bool TileBox(const Tracked& t, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
             std::int64_t box[4]) {
    x1 = std::max<std::int64_t>(x1, 0), y1 = std::max<std::int64_t>(y1, 0);
    x2 = std::min<std::int64_t>(x2, t.width - 1), y2 = std::min<std::int64_t>(y2, t.height - 1);
    if (x1 > x2 || y1 > y2) return false;
    box[0] = x1 >> TileShift, box[1] = y1 >> TileShift;
    box[2] = x2 >> TileShift, box[3] = y2 >> TileShift;
    return true;
}

// Sets the tiles of a box that TileBox gave, which lies inside the tile grid.
void SetTiles(Tracked& t, const std::int64_t box[4]) {
    t.anyTile = true;
    Extend(t.marked, t.tilesX, t.tilesY, box[0], box[1], box[2], box[3]);
    for (std::int64_t ty = box[1]; ty <= box[3]; ++ty) {
        std::uint8_t* row = t.tiles.data() + ty * t.tilesX;
        std::uint64_t* stamps = t.stamps.data() + ty * t.tilesX;
        if (box[2] - box[0] <= 1) {
            // The usual one or two tiles, without memset.
            row[box[0]] = 1, row[box[2]] = 1;
            stamps[box[0]] = gHistoryStep, stamps[box[2]] = gHistoryStep;
        } else {
            std::fill(row + box[0], row + box[2] + 1, std::uint8_t{1});
            std::fill(stamps + box[0], stamps + box[2] + 1, gHistoryStep);
        }
    }
}

void MarkTiles(Tracked& t, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    std::int64_t box[4];
    if (CountMark(t) && TileBox(t, x1, y1, x2, y2, box)) SetTiles(t, box);
}

// Calls run(left, top, width, height) for every horizontal run of tiles of the tile box
// (inclusive, in tile units) for which changed(tile index) holds, with the pixels the run
// covers, cut to the image.
template <class Changed, class Run>
void ForEachTileRun(const Tracked& t, const ChangeBox& box, Changed changed, Run run) {
    for (auto ty = box.top; ty <= box.bottom; ++ty) {
        const std::size_t rowStart = static_cast<std::size_t>(ty * t.tilesX);
        for (auto tx = box.left; tx <= box.right;) {
            if (!changed(rowStart + tx)) {
                ++tx;
                continue;
            }
            auto end = tx;
            while (end <= box.right && changed(rowStart + end)) ++end;
            const int left = static_cast<int>(tx << TileShift);
            const int top = static_cast<int>(ty << TileShift);
            run(left, top,
                static_cast<int>(std::min<std::int64_t>(end << TileShift, t.width)) - left,
                std::min(top + TileSize, t.height) - top);
            tx = end;
        }
    }
}

// A box given by reals in any order, widened by margin and cut to the surface; what is not
// finite counts as the whole surface. False when the box misses the surface.
bool PixelBounds(const Surface& s, double x1, double y1, double x2, double y2, double margin,
                 std::int64_t out[4]) {
    const double lo[2] = {std::min(x1, x2) - margin, std::min(y1, y2) - margin};
    const double hi[2] = {std::max(x1, x2) + margin, std::max(y1, y2) + margin};
    if (!std::isfinite(lo[0] + lo[1] + hi[0] + hi[1])) {
        out[0] = 0, out[1] = 0, out[2] = s.width - 1, out[3] = s.height - 1;
        return true;
    }
    if (hi[0] < 0 || hi[1] < 0 || lo[0] > s.width || lo[1] > s.height) return false;
    // The floor cut to [0, limit], without a call to floor: inside the range it is the
    // truncation of a positive value.
    auto index = [](double v, double limit) {
        return v <= 0 ? 0 : static_cast<std::int64_t>(v >= limit ? limit : v);
    };
    out[0] = index(lo[0], s.width), out[1] = index(lo[1], s.height);
    out[2] = index(hi[0], s.width), out[3] = index(hi[1], s.height);
    return true;
}

Tracked* WatchedFor(const Surface& s) {
    if (!gWatched.pixels || gWatched.pixels != s.pixels) return nullptr;
    ++gWatchedChanges;
    if (gWatched.saturated) {
        gWatched.allChanged = gHistoryStep;
        return nullptr;
    }
    return &gWatched;
}

bool OnScreen(const Surface& s) {
    return gScreen.pixels && gScreen.pixels == s.pixels;
}

// floor(c) as an integer for a finite c well inside the int64 range, without a call to floor.
std::int64_t FloorIndex(double c) {
    const auto i = static_cast<std::int64_t>(c);  // towards zero
    return static_cast<double>(i) > c ? i - 1 : i;
}

// Marks the watched tiles around points spaced half a tile apart along a path; the points
// are finite and within a few times the surface's size of it.
template <class PointAt>
void MarkAlong(Tracked& t, int steps, PointAt at) {
    // A pixel of the path lies within half a step (4 pixels) of a point, and 1 of rounding.
    constexpr int Margin = TileSize / 4 + 2;
    // Neighbouring points mostly cover the same tiles, which are set once; every point still
    // counts as a mark of its own.
    std::int64_t last[4] = {1, 1, 0, 0};  // no tiles
    for (int k = 0; k <= steps; ++k) {
        double x = 0, y = 0;
        at(k, x, y);
        const std::int64_t px = FloorIndex(x), py = FloorIndex(y);
        std::int64_t box[4];
        if (!CountMark(t)) return;
        if (!TileBox(t, px - Margin, py - Margin, px + Margin, py + Margin, box)) continue;
        if (std::equal(box, box + 4, last)) continue;
        SetTiles(t, box);
        std::copy(box, box + 4, last);
    }
}

}  // namespace

void BeforeWriting(const std::uint8_t* image) {
    if (gWaiting.image && gWaiting.image == image && !gShowFollows) MakeWaitingShow();
}

Surface ResolveForDrawing(DrawTarget target) {
    ImageHandle handle = target ? *target : nullptr;
    if (!handle) return MakeSurface(ScreenImageForDrawing());
    BeforeWriting(handle);
    return MakeSurface(handle);
}

void Touch(const Surface& s, double x1, double y1, double x2, double y2, double margin) {
    std::int64_t b[4];
    if (OnScreen(s) && PixelBounds(s, x1, y1, x2, y2, margin, b)) {
        Extend(gScreen.changed, gScreen.width, gScreen.height, b[0], b[1], b[2], b[3]);
    }
    if (Tracked* t = WatchedFor(s); t && PixelBounds(s, x1, y1, x2, y2, margin, b)) {
        MarkTiles(*t, b[0], b[1], b[2], b[3]);
    }
}

void TouchAll(const Surface& s) {
    Touch(s, 0, 0, s.width, s.height);
}

void TouchSegment(const Surface& s, double x1, double y1, double x2, double y2) {
    Tracked* t = WatchedFor(s);
    if (!t) {
        Touch(s, x1, y1, x2, y2);
        return;
    }
    const double length = Hypot(x2 - x1, y2 - y1);
    if (!std::isfinite(length) || length > 4.0 * (s.width + s.height) ||
        std::fabs(x1) + std::fabs(y1) > 4.0 * (s.width + s.height)) {
        Touch(s, x1, y1, x2, y2);
        return;
    }
    if (OnScreen(s)) Touch(s, x1, y1, x2, y2);
    const int steps = static_cast<int>(length / (TileSize / 2)) + 1;
    MarkAlong(*t, steps, [&](int k, double& x, double& y) {
        x = x1 + (x2 - x1) * k / steps, y = y1 + (y2 - y1) * k / steps;
    });
}

void TouchCircle(const Surface& s, double cx, double cy, double r) {
    const double reach = std::fabs(r) + 2;
    Tracked* t = WatchedFor(s);
    const double steps = ExactTwoPi * std::fabs(r) / (TileSize / 2);
    if (!t || !std::isfinite(steps + cx + cy) || steps > static_cast<double>(t->tiles.size()) ||
        std::fabs(r) < TileSize || std::fabs(cx) + std::fabs(cy) > 4.0 * (s.width + s.height)) {
        Touch(s, cx - reach, cy - reach, cx + reach, cy + reach);
        return;
    }
    if (OnScreen(s)) Touch(s, cx - reach, cy - reach, cx + reach, cy + reach);
    // The points go round by turning one step at a time, without a sine per point.
    const int n = static_cast<int>(steps) + 1;
    const double c = Cos(ExactTwoPi / n), sn = Sin(ExactTwoPi / n);
    double dx = r, dy = 0;
    MarkAlong(*t, n, [&](int, double& x, double& y) {
        x = cx + dx, y = cy + dy;
        const double turned = dx * c - dy * sn;
        dy = dx * sn + dy * c;
        dx = turned;
    });
}

std::uint64_t RasterChangeCount() {
    return gWatchedChanges;
}

void RasterWatch(const std::uint8_t* image) {
    MakeWaitingShow();
    const Surface s = MakeSurface(image);
    ++gWatchedChanges;
    gWatched = Tracked{};
    gWatched.pixels = s.pixels;
    gWatched.width = s.width;
    gWatched.height = s.height;
    gWatched.tilesX = (s.width + TileSize - 1) >> TileShift;
    gWatched.tilesY = (s.height + TileSize - 1) >> TileShift;
    gWatched.tiles.assign(static_cast<std::size_t>(gWatched.tilesX) * gWatched.tilesY, 0);
    gWatched.stamps.assign(gWatched.tiles.size(), 0);
    // Nothing known of an earlier image can put this one back.
    gWatched.allChanged = ++gHistoryStep;
    gStampsWanted = false;
    gLastShow.valid = false;
}

std::uint64_t RasterChangeMark() {
    gStampsWanted = true;
    return gHistoryStep++;
}

bool RasterRestoreSince(const std::uint8_t* image, const std::uint8_t* picture,
                        std::uint64_t mark) {
    const Surface dst = MakeSurface(image);
    const Surface src = MakeSurface(picture);
    if (!dst.pixels || dst.pixels != gWatched.pixels || !src.pixels ||
        std::memcmp(image, picture, ImageHeaderBytes) != 0 || gWatched.allChanged > mark) {
        return false;
    }
    BeforeWriting(image);
    const ChangeBox everyTile{0, 0, gWatched.tilesX - 1, gWatched.tilesY - 1};
    ForEachTileRun(
        gWatched, everyTile, [mark](std::size_t tile) { return gWatched.stamps[tile] > mark; },
        [&](int left, int top, int w, int h) {
            const Overlap tiles{left, top, left, top, w, h};
            Touch(dst, tiles);
            CopyOverlap(dst, src, tiles, BlitMode::Copy, 255);
        });
    SetVectors(image, VectorsOf(picture));
    return true;
}

void RasterNoteChanged(const std::uint8_t* image) {
    BeforeWriting(image);
    VectorForget(image);
    const Surface s = MakeSurface(image);
    if (s.pixels) TouchAll(s);
}

namespace {

void ShowNow(const std::uint8_t* image, int x, int y) {
    const Surface src = MakeSurface(image);
    const Surface dst = ResolveForDrawing(nullptr);
    if (!src.pixels || !dst.pixels) return;
    if (VectorRecordingOn()) {
        const Overlap all = Intersect(dst, x, y, src.width, src.height);
        if (!all.Empty()) {
            VectorCopy(ImageOf(dst), image, x, y, all.dstX, all.dstY, all.width, all.height,
                       BlitMode::Copy, 255);
        }
    }
    const bool watched = src.pixels == gWatched.pixels;
    const bool same = watched && gLastShow.valid && gLastShow.pixels == src.pixels &&
                      gLastShow.x == x && gLastShow.y == y &&
                      gLastShow.screenSerial == ScreenSerial() && gScreen.pixels == dst.pixels &&
                      gScreen.width == dst.width && gScreen.height == dst.height;
    auto copy = [&](const Overlap& o) {
        if (!o.Empty()) CopyOverlap(dst, src, o, BlitMode::Copy, 255);
    };
    if (!same || gWatched.saturated) {
        copy(Intersect(dst, x, y, src.width, src.height));
    } else {
        // What others drew on the screen over the image's place is copied over too.
        if (!gScreen.changed.Empty()) {
            const ChangeBox& c = gScreen.changed;
            MarkTiles(gWatched, c.left - x, c.top - y, c.right - x, c.bottom - y);
        }
        if (gWatched.anyTile) {
            ForEachTileRun(
                gWatched, gWatched.marked,
                [](std::size_t tile) { return gWatched.tiles[tile] != 0; },
                [&](int left, int top, int w, int h) {
                    // Where the run lands on the screen.
                    const Overlap p = Intersect(dst, x + left, y + top, w, h);
                    copy({p.srcX + left, p.srcY + top, p.dstX, p.dstY, p.width, p.height});
                });
        }
    }
    gScreen.pixels = dst.pixels;
    gScreen.width = dst.width;
    gScreen.height = dst.height;
    gScreen.changed = {};
    if (watched && gWatched.anyTile) {
        std::fill(gWatched.tiles.begin(), gWatched.tiles.end(), std::uint8_t{0});
        gWatched.anyTile = false;
        gWatched.marked = {};
    }
    if (watched) {
        gWatched.marks = 0;
        gWatched.saturated = false;
    }
    gLastShow = {src.pixels, x, y, ScreenSerial(), watched};
}

void MakeWaitingShow() {
    if (!gWaiting.image) return;
    const WaitingShow show = gWaiting;
    gWaiting = {};
    ImageOnDestroy(nullptr, nullptr);
    ShowNow(show.image, show.x, show.y);
}

}  // namespace

void RasterShow(const std::uint8_t* image, int x, int y) {
    const Surface src = MakeSurface(image);
    if (src.pixels && src.pixels == gWatched.pixels && !ScreenIsSeen()) {
        if (gWaiting.image && (gWaiting.image != image || gWaiting.x != x || gWaiting.y != y)) {
            MakeWaitingShow();
        }
        gWaiting = {image, x, y, gWatchedChanges};
        ImageOnDestroy(image, &MakeWaitingShow);
        SetScreenUseHook(&MakeWaitingShow);
        return;
    }
    MakeWaitingShow();
    ShowNow(image, x, y);
}

void RasterShowFollows(bool follows) {
    if (gShowFollows && !follows && gWaiting.image && gWaiting.changes != gWatchedChanges) {
        // Drawing meant to be shown was left unshown: the picture it would have covered is
        // gone, and the closest one is the drawing as it stands.
        assert(!"drawing announced to be shown was not shown");
        MakeWaitingShow();
    }
    gShowFollows = follows;
}

}  // namespace zir
