// The raster layer's speed next to Cairo drawing the same thing on an RGB565 surface with
// antialiasing off, and next to a plain memcpy of the whole image as the floor.
//
// The machine may be shared, so each benchmark runs eight times, the runs of all benchmarks
// interleaved in random order, and keeps its fastest; the table at the end divides those
// times and shows the goal beside each ratio.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "draw/raster.h"
#include "fastest_reporter.h"
#include "platform/image.h"

namespace zir {
namespace {

constexpr int Width = 640;
constexpr int Height = 460;
constexpr int ShapeCount = 1000;
constexpr int BlitSide = 200;
constexpr std::uint32_t Seed = 20240611;
constexpr std::size_t ImageBytes = std::size_t{Width} * Height * 2;

// Colours that RGB565 holds exactly, so both sides write the same pixel values.
constexpr Colour Ink = ColourFrom565(Rgb565(Colour{0x3080F0}));
constexpr Colour Paper = ColourFrom565(Rgb565(Colour{0x102030}));

// ---- the shared inputs ----------------------------------------------------------------

struct Segment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct Circle {
    double cx = 0, cy = 0, r = 0;
};

const std::vector<Segment>& Segments() {
    static const std::vector<Segment> segments = [] {
        std::mt19937 rng(Seed);
        std::uniform_real_distribution<double> x(0, Width - 1), y(0, Height - 1);
        std::vector<Segment> out(ShapeCount);
        for (Segment& s : out) s = {x(rng), y(rng), x(rng), y(rng)};
        return out;
    }();
    return segments;
}

const std::vector<Circle>& Circles() {
    static const std::vector<Circle> circles = [] {
        std::mt19937 rng(Seed + 1);
        std::uniform_real_distribution<double> x(0, Width - 1), y(0, Height - 1), r(5, 200);
        std::vector<Circle> out(ShapeCount);
        for (Circle& c : out) c = {x(rng), y(rng), r(rng)};
        return out;
    }();
    return circles;
}

// A smooth picture for the blits, free of the transparent colour as most pictures are.
std::uint16_t PicturePixel(int x, int y) {
    std::uint16_t p = Rgb565(Colour{static_cast<std::uint8_t>(x * 255 / Width),
                                    static_cast<std::uint8_t>(y * 255 / Height),
                                    static_cast<std::uint8_t>(x + y)});
    return p == MaskPixel(2) ? p ^ 1 : p;
}

// ---- our images ---------------------------------------------------------------------

Image MakeImage(int width, int height, Colour fill) {
    return Image(ImageCreateWithDepth(width, height, 2, fill));
}

std::uint16_t* Pixels565(const Image& image) {
    return reinterpret_cast<std::uint16_t*>(ImagePixels(image.get()));
}

Image MakePicture(int width, int height) {
    Image image = MakeImage(width, height, Paper);
    std::uint16_t* p = Pixels565(image);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) p[y * width + x] = PicturePixel(x, y);
    }
    return image;
}

// ---- Cairo surfaces -----------------------------------------------------------------

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using CairoContext = std::unique_ptr<cairo_t, ContextDeleter>;

void SetSource(cairo_t* cr, Colour c) {
    cairo_set_source_rgb(cr, c.Red() / 255.0, c.Green() / 255.0, c.Blue() / 255.0);
}

// Writes 565 pixels into a Cairo surface, whose rows may be padded.
void FillSurface(cairo_surface_t* s, const std::uint16_t* pixels) {
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y) {
        std::memcpy(data + std::size_t(y) * stride, pixels + std::size_t(y) * w, w * 2);
    }
    cairo_surface_mark_dirty(s);
}

CairoSurface MakeSurface(int width, int height, Colour fill) {
    CairoSurface s(cairo_image_surface_create(CAIRO_FORMAT_RGB16_565, width, height));
    std::vector<std::uint16_t> pixels(std::size_t(width) * height, Rgb565(fill));
    FillSurface(s.get(), pixels.data());
    return s;
}

CairoSurface MakePictureSurface(int width, int height) {
    Image picture = MakePicture(width, height);
    CairoSurface s(cairo_image_surface_create(CAIRO_FORMAT_RGB16_565, width, height));
    FillSurface(s.get(), Pixels565(picture));
    return s;
}

// A drawing context on the surface the way the raster layer draws: hard edges, one-pixel
// lines, the ink as source.
CairoContext MakeContext(cairo_surface_t* s) {
    CairoContext cr(cairo_create(s));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr.get(), 1.0);
    SetSource(cr.get(), Ink);
    return cr;
}

// The first count shapes.
template <class T>
std::span<const T> Slice(const std::vector<T>& shapes, int count) {
    return std::span<const T>(shapes).first(std::min<std::size_t>(count, shapes.size()));
}

// Pixel i of ours covers [i - 0.5, i + 0.5); Cairo's covers [i, i + 1).
constexpr double CairoShift = 0.5;

void CairoSegments(cairo_t* cr, int count = ShapeCount) {
    for (const Segment& s : Slice(Segments(), count)) {
        cairo_move_to(cr, s.x1 + CairoShift, s.y1 + CairoShift);
        cairo_line_to(cr, s.x2 + CairoShift, s.y2 + CairoShift);
        cairo_stroke(cr);
    }
}

void CairoCircles(cairo_t* cr, bool filled, int count = ShapeCount) {
    for (const Circle& c : Slice(Circles(), count)) {
        cairo_arc(cr, c.cx + CairoShift, c.cy + CairoShift, c.r, 0, 2 * std::numbers::pi);
        filled ? cairo_fill(cr) : cairo_stroke(cr);
    }
}

void OurSegments(ImageHandle* target, int count = ShapeCount) {
    for (const Segment& s : Slice(Segments(), count)) {
        RasterLine(target, s.x1, s.y1, s.x2, s.y2, Ink, LineKind::Segment);
    }
}

void OurCircles(ImageHandle* target, bool filled, int count = ShapeCount) {
    for (const Circle& c : Slice(Circles(), count))
        RasterArc(target, c.cx, c.cy, c.r, Ink, 0, FullTurn, filled);
}

// Keeps the pixel writes of the last iteration from being treated as dead.
void Keep(void* pixels) {
    benchmark::DoNotOptimize(pixels);
    benchmark::ClobberMemory();
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// ---- the benchmarks -----------------------------------------------------------------

void SegmentsOurs(benchmark::State& state) {
    Image image = MakeImage(Width, Height, Paper);
    ImageHandle handle = image.get();
    for (auto _ : state) {
        OurSegments(&handle);
        Keep(handle);
    }
}

void SegmentsCairo(benchmark::State& state) {
    CairoSurface surface = MakeSurface(Width, Height, Paper);
    CairoContext cr = MakeContext(surface.get());
    for (auto _ : state) {
        CairoSegments(cr.get());
        Keep(cairo_image_surface_get_data(surface.get()));
    }
}

void CirclesOurs(benchmark::State& state) {
    Image image = MakeImage(Width, Height, Paper);
    ImageHandle handle = image.get();
    for (auto _ : state) {
        OurCircles(&handle, false);
        Keep(handle);
    }
}

void CirclesCairo(benchmark::State& state) {
    CairoSurface surface = MakeSurface(Width, Height, Paper);
    CairoContext cr = MakeContext(surface.get());
    for (auto _ : state) {
        CairoCircles(cr.get(), false);
        Keep(cairo_image_surface_get_data(surface.get()));
    }
}

void DiscsOurs(benchmark::State& state) {
    Image image = MakeImage(Width, Height, Paper);
    ImageHandle handle = image.get();
    for (auto _ : state) {
        OurCircles(&handle, true);
        Keep(handle);
    }
}

void DiscsCairo(benchmark::State& state) {
    CairoSurface surface = MakeSurface(Width, Height, Paper);
    CairoContext cr = MakeContext(surface.get());
    for (auto _ : state) {
        CairoCircles(cr.get(), true);
        Keep(cairo_image_surface_get_data(surface.get()));
    }
}

// The inside of a box outline in the fill colour, 200 x 200 pixels. The image is put back
// before every fill, outside the timed part.
void FloodBoxOurs(benchmark::State& state) {
    Image pristine = MakeImage(Width, Height, Paper);
    ImageHandle p = pristine.get();
    RasterLine(&p, 219, 129, 420, 330, Ink, LineKind::Box);
    Image image = MakeImage(Width, Height, Paper);
    ImageHandle handle = image.get();
    for (auto _ : state) {
        std::memcpy(ImagePixels(handle), ImagePixels(p), ImageBytes);
        Keep(handle);
        const double start = ThreadCpuSeconds();
        RasterFloodFill(&handle, 320, 230, Ink);
        Keep(handle);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}

// The whole image, in alternate colours so that every fill covers every pixel.
void FloodWholeOurs(benchmark::State& state) {
    Image image = MakeImage(Width, Height, Paper);
    ImageHandle handle = image.get();
    bool ink = true;
    for (auto _ : state) {
        RasterFloodFill(&handle, 320, 230, ink ? Ink : Paper);
        Keep(handle);
        ink = !ink;
    }
}

void CopyBlitOurs(benchmark::State& state) {
    Image picture = MakePicture(Width, Height);
    Image image = MakeImage(Width, Height, Paper);
    ImageHandle handle = image.get();
    for (auto _ : state) {
        RasterBlit(&handle, 0, 0, picture.get(), BlitMode::Copy);
        Keep(handle);
    }
}

void CopyBlitCairo(benchmark::State& state) {
    CairoSurface picture = MakePictureSurface(Width, Height);
    CairoSurface surface = MakeSurface(Width, Height, Paper);
    CairoContext cr = MakeContext(surface.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    for (auto _ : state) {
        cairo_set_source_surface(cr.get(), picture.get(), 0, 0);
        cairo_paint(cr.get());
        Keep(cairo_image_surface_get_data(surface.get()));
    }
}

constexpr double AlphaX = 220, AlphaY = 130;

void AlphaBlitOurs(benchmark::State& state) {
    Image picture = MakePicture(BlitSide, BlitSide);
    Image image = MakePicture(Width, Height);
    ImageHandle handle = image.get();
    for (auto _ : state) {
        RasterBlit(&handle, AlphaX, AlphaY, picture.get(), BlitMode::Alpha, 128);
        Keep(handle);
    }
}

void AlphaBlitCairo(benchmark::State& state) {
    CairoSurface picture = MakePictureSurface(BlitSide, BlitSide);
    CairoSurface surface = MakePictureSurface(Width, Height);
    CairoContext cr = MakeContext(surface.get());
    for (auto _ : state) {
        cairo_set_source_surface(cr.get(), picture.get(), AlphaX, AlphaY);
        cairo_paint_with_alpha(cr.get(), 0.5);
        Keep(cairo_image_surface_get_data(surface.get()));
    }
}

void Memcpy(benchmark::State& state) {
    Image picture = MakePicture(Width, Height);
    Image image = MakeImage(Width, Height, Paper);
    for (auto _ : state) {
        std::memcpy(ImagePixels(image.get()), ImagePixels(picture.get()), ImageBytes);
        Keep(image.get());
    }
}

// ---- the table ----------------------------------------------------------------------

struct Comparison {
    const char* what;
    const char* ours;
    const char* other;
    // True: the goal is other / ours >= goal (ours faster); false: ours / other <= goal.
    bool faster;
    double goal;  // 0 when there is none
};

// Times are CPU times of the benchmark's thread, so that other work on a shared machine
// counts less; a benchmark with manual timing measures the thread's CPU time itself.
void PrintTable(const bench::FastestReporter& r) {
    const Comparison rows[] = {
        {"1000 segments vs Cairo", "Segments/Zirkula", "Segments/Cairo", true, 4},
        {"1000 circle outlines vs Cairo", "Circles/Zirkula", "Circles/Cairo", true, 20},
        {"1000 filled discs vs Cairo", "Discs/Zirkula", "Discs/Cairo", true, 1.2},
        {"Alpha blit 200x200 vs Cairo", "AlphaBlit/Zirkula", "AlphaBlit/Cairo", true, 1.2},
        {"Copy blit 640x460 vs Cairo", "CopyBlit/Zirkula", "CopyBlit/Cairo", true, 0},
        {"Copy blit 640x460 vs memcpy", "CopyBlit/Zirkula", "Memcpy", false, 1.1},
        {"Flood fill 640x460 vs memcpy", "FloodWhole/Zirkula", "Memcpy", false, 60},
        {"Flood fill 200x200 vs memcpy", "FloodBox/Zirkula", "Memcpy", false, 0},
    };
    std::printf("\n%-30s %12s %12s %9s %9s  %s\n", "comparison", "ours us", "other us", "ratio",
                "goal", "");
    for (const Comparison& c : rows) {
        const double ours = r.ChosenSeconds(c.ours) * 1e9, other = r.ChosenSeconds(c.other) * 1e9;
        if (std::isnan(ours) || std::isnan(other)) continue;
        const double ratio = c.faster ? other / ours : ours / other;
        char goal[16] = "-";
        const char* verdict = "";
        if (c.goal > 0) {
            std::snprintf(goal, sizeof goal, "%s%.1fx", c.faster ? ">=" : "<=", c.goal);
            verdict = (c.faster ? ratio >= c.goal : ratio <= c.goal) ? "met" : "MISSED";
        }
        std::printf("%-30s %12.1f %12.1f %8.2fx %9s  %s\n", c.what, ours / 1e3, other / 1e3, ratio,
                    goal, verdict);
    }
    std::printf("(\"vs Cairo\": Cairo's time / ours; \"vs memcpy\": ours / memcpy's time)\n");
}

// Shows that both sides draw comparable pixels, so the times compare like with like. Only
// the first shapes are drawn: a thousand discs would cover the whole image.
void PrintWorkCheck() {
    constexpr int Sample = 20;
    std::printf("pixels in ink, first %d shapes %8s %8s %8s\n", Sample, "ours", "Cairo", "both");
    auto check = [](const char* name, auto drawOurs, auto drawCairo) {
        Image image = MakeImage(Width, Height, Paper);
        ImageHandle handle = image.get();
        drawOurs(&handle);
        CairoSurface surface = MakeSurface(Width, Height, Paper);
        CairoContext cr = MakeContext(surface.get());
        drawCairo(cr.get());
        cairo_surface_flush(surface.get());
        const auto* theirs =
            reinterpret_cast<const std::uint16_t*>(cairo_image_surface_get_data(surface.get()));
        const std::uint16_t* ours = Pixels565(image);
        const int stride = cairo_image_surface_get_stride(surface.get()) / 2;
        long inOurs = 0, inTheirs = 0, inBoth = 0;
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                const bool a = ours[y * Width + x] == Rgb565(Ink);
                const bool b = theirs[y * stride + x] == Rgb565(Ink);
                inOurs += a, inTheirs += b, inBoth += a && b;
            }
        }
        std::printf("%-29s %8ld %8ld %8ld\n", name, inOurs, inTheirs, inBoth);
    };
    check(
        "segments", [](ImageHandle* t) { OurSegments(t, Sample); },
        [](cairo_t* cr) { CairoSegments(cr, Sample); });
    check(
        "circle outlines", [](ImageHandle* t) { OurCircles(t, false, Sample); },
        [](cairo_t* cr) { CairoCircles(cr, false, Sample); });
    check(
        "filled discs", [](ImageHandle* t) { OurCircles(t, true, Sample); },
        [](cairo_t* cr) { CairoCircles(cr, true, Sample); });
    std::printf("\n");
    std::fflush(stdout);
}

void RegisterAll() {
    struct Entry {
        const char* name;
        void (*fn)(benchmark::State&);
        bool manualTime;
    };
    const Entry entries[] = {
        {"Segments/Zirkula", SegmentsOurs, false},
        {"Segments/Cairo", SegmentsCairo, false},
        {"Circles/Zirkula", CirclesOurs, false},
        {"Circles/Cairo", CirclesCairo, false},
        {"Discs/Zirkula", DiscsOurs, false},
        {"Discs/Cairo", DiscsCairo, false},
        {"FloodBox/Zirkula", FloodBoxOurs, true},
        {"FloodWhole/Zirkula", FloodWholeOurs, false},
        {"CopyBlit/Zirkula", CopyBlitOurs, false},
        {"CopyBlit/Cairo", CopyBlitCairo, false},
        {"AlphaBlit/Zirkula", AlphaBlitOurs, false},
        {"AlphaBlit/Cairo", AlphaBlitCairo, false},
        {"Memcpy", Memcpy, false},
    };
    for (const Entry& e : entries) {
        auto* b = benchmark::RegisterBenchmark(e.name, e.fn);
        b->Unit(benchmark::kMicrosecond)->MinTime(0.1)->Repetitions(8);
        if (e.manualTime) b->UseManualTime();
    }
}

}  // namespace
}  // namespace zir

int main(int argc, char** argv) {
    if (!zir::bench::StartBenchmarks(argc, argv)) return 1;
    zir::PrintWorkCheck();
    zir::RegisterAll();
    zir::bench::FastestReporter reporter(zir::bench::FastestBy::CpuOrManual);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    zir::PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
