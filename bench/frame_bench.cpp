// The cost of one picture of a running script, in-process on the headless platform: a frame
// of a fast ANIMATION whose body draws 50 statements, and a pass of a fast INTERACTION with a
// body of 50 constructions while the viewer drags a point, on a 640 x 460 and a 1280 x 1000
// drawing area. Beside them the floor: one copy of a whole drawing buffer of that size.
//
// Goals: a frame or a pass on 640 x 460 under 1 ms (1/50 of the 50 ms frame period) and no
// dearer than 40 buffer copies; on 1280 x 1000 growing no faster than the area.
//
// A whole run also pays for the platform's start, the compile, the logo and the end, so each
// kind of run is timed with few and with many frames (or drag moves), and the table divides
// the difference by the difference in frames. That leaves exactly what a frame costs: the
// restore of the restart snapshot, the steps, the body, the show and the virtual-clock wait
// of FRAMESPEED 0 (whose real cost the empty-body animation shows). The machine may be
// shared, so every run repeats, interleaved, and keeps its fastest real time.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fastest_reporter.h"
#include "frontend/compiler.h"
#include "interp/engine.h"
#include "interp/objects.h"
#include "platform/platform.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

struct Area {
    int width = 0;
    int height = 0;
};

constexpr Area Small{640, 460};
constexpr Area Large{1280, 1000};

// The few and the many frames (or drag moves) whose difference is timed.
constexpr int FewFrames = 10;
constexpr int ManyFrames = 210;

enum class Kind { Animation, EmptyAnimation, Interaction };

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Animation:
            return "Animation";
        case Kind::EmptyAnimation:
            return "EmptyAnimation";
        case Kind::Interaction:
            return "Interaction";
    }
    return "";
}

// A coordinate of the 640 x 460 layout scaled to the area, so that the figure covers the
// same share of a larger area.
std::string X(const Area& a, double x) {
    return std::to_string(std::lround(x * a.width / 640.0));
}
std::string Y(const Area& a, double y) {
    return std::to_string(std::lround(y * a.height / 460.0));
}

// The screen line that gives the area (the control bar takes 20 rows below it).
std::string ScreenLine(const Area& a) {
    return "SCREEN " + std::to_string(a.width) + ", " + std::to_string(a.height + 20);
}

// Ten invisible points on a ring, P0 to P9, that the body draws from.
void AddRing(std::vector<std::string>& s, const Area& a) {
    for (int i = 0; i < 10; ++i) {
        const double angle = i * 2 * 3.14159265358979 / 10;
        s.push_back("IPOINT P" + std::to_string(i) + ", " + X(a, 320 + 200 * std::cos(angle)) +
                    ", " + Y(a, 230 + 180 * std::sin(angle)));
    }
}

std::string P(int i) {
    return "P" + std::to_string(i % 10);
}

// An ANIMATION of `frames` frames whose body draws 50 statements from the moving ring:
// points with their names, segments, whole lines, circles, arcs, marks of lines and angles
// and a fill (or nothing, for the empty body).
std::vector<std::string> AnimationScript(const Area& a, int frames, bool empty) {
    std::vector<std::string> s{ScreenLine(a), "FRAMESPEED 0"};
    AddRing(s, a);
    s.push_back("ANIMATE Bild");
    s.push_back("END");
    s.push_back("ANIMATION Bild");
    s.push_back("  STEP P0, 1, 0");
    s.push_back("  STEP P5, 0, 1");
    if (!empty) {
        for (int i = 0; i < 10; ++i) s.push_back("  MARKPOINT " + P(i));
        for (int i = 0; i < 10; ++i)
            s.push_back("  g" + std::to_string(i) + " = LINE " + P(i) + ", " + P(i + 1));
        for (int i = 0; i < 6; ++i)
            s.push_back("  k" + std::to_string(i) + " = CIRCLE " + P(i) + ", " + P(i + 2));
        for (int i = 0; i < 6; ++i)
            s.push_back("  b" + std::to_string(i) + " = ARC " + P(i) + ", " + P(i + 3) + ", 40");
        for (int i = 0; i < 6; ++i)
            s.push_back("  M" + std::to_string(i) + " = MIDDLE " + P(i) + ", " + P(i + 5));
        for (int i = 0; i < 5; ++i)
            s.push_back("  MARKLINE g" + std::to_string(i) + ", " + P(i) + ", " + P(i + 1));
        for (int i = 0; i < 4; ++i)
            s.push_back("  MARKANGLE " + P(i) + ", " + P(i + 1) + ", " + P(i + 2) + ", \"w" +
                        std::to_string(i) + "\"");
        s.push_back("  m0 = MIDLINE P0, P5, &HF0F0");
        s.push_back("  m1 = MIDLINE P2, P7, &HF0F0");
        s.push_back("  FILLTRIANGLE P0, P3, P6, &HFFE080, 160");
    }
    s.push_back("REPEAT " + std::to_string(frames));
    return s;
}

// An INTERACTION whose body makes 50 constructions from the clickable corners A, B and C:
// ten groups of a midpoint, a segment, a circle, the midpoint's mark and one more of a
// fill, a perpendicular bisector, an arc, a line's mark or an angle's mark.
std::vector<std::string> InteractionScript(const Area& a) {
    std::vector<std::string> s{ScreenLine(a)};
    s.push_back("IPOINT A, " + X(a, 170) + ", " + Y(a, 360));
    s.push_back("IPOINT B, " + X(a, 470) + ", " + Y(a, 380));
    s.push_back("IPOINT C, " + X(a, 300) + ", " + Y(a, 110));
    s.push_back("INTERACT Ziehen");
    s.push_back("END");
    s.push_back("INTERACTION Ziehen");
    s.push_back("  CLICKABLE A, B, C");
    std::vector<std::string> points{"A", "B", "C"};
    for (int g = 0; g < 10; ++g) {
        const std::string n = std::to_string(g);
        const std::string p = points[g], q = points[g + 1], r = points[g + 2];
        s.push_back("  M" + n + " = MIDDLE " + p + ", " + q);
        s.push_back("  L" + n + " = LINE M" + n + ", " + r);
        s.push_back("  K" + n + " = CIRCLE M" + n + ", " + r);
        s.push_back("  MARKPOINT M" + n);
        switch (g % 5) {
            case 0:
                s.push_back("  FILLTRIANGLE " + p + ", " + q + ", " + r + ", &HFFF0A0, 150");
                break;
            case 1:
                s.push_back("  H" + n + " = MIDLINE " + p + ", " + r + ", &HF0F0");
                break;
            case 2:
                s.push_back("  B" + n + " = ARC " + r + ", M" + n + ", 40");
                break;
            case 3:
                s.push_back("  MARKLINE L" + n + ", M" + n + ", " + r);
                break;
            case 4:
                s.push_back("  MARKANGLE " + p + ", M" + n + ", " + r + ", \"w\"");
                break;
        }
        points.push_back("M" + n);
    }
    s.push_back("REPEAT");
    return s;
}

// The viewer presses on A after the logo, moves the mouse `moves` times by a pixel or two,
// lets go, and leaves no more input, which closes the window and ends the run.
std::string DragInput(const Area& a, int moves) {
    const int x = static_cast<int>(std::lround(170.0 * a.width / 640.0));
    const int y = static_cast<int>(std::lround(360.0 * a.height / 460.0));
    std::string input = "3000 press " + std::to_string(x) + " " + std::to_string(y) + "\n";
    int ms = 3000;
    for (int i = 1; i <= moves; ++i) {
        ms += 100;
        input += std::to_string(ms) + " move " + std::to_string(x + i % 20) + " " +
                 std::to_string(y - i % 7) + "\n";
    }
    input +=
        std::to_string(ms + 100) + " release " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return input;
}

int NullFd() {
    static const int fd = open("/dev/null", O_WRONLY);
    return fd;
}

struct Compiled {
    InstructionTable program;
    NameTable names;
};

void RunScript(benchmark::State& state, Kind kind, Area area, int frames) {
    const std::vector<std::string> lines =
        kind == Kind::Interaction ? InteractionScript(area)
                                  : AnimationScript(area, frames, kind == Kind::EmptyAnimation);
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.consoleOutFd = NullFd();
    options.inputText = kind == Kind::Interaction ? DragInput(area, frames) : "";
    Compiled compiled;
    std::vector<CompileError> errors;
    if (ParseScript(lines, compiled.program, errors, compiled.names) != CompiledOk) {
        state.SkipWithError("the generated script does not compile");
        return;
    }
    std::int32_t result = 0;
    for (auto _ : state) {
        std::string message;
        if (PlatformStart(options, message) != PlatformError::None) {
            state.SkipWithError(message.c_str());
            return;
        }
        ResetSettings();
        ObjectStore store = CreateObjectStore(compiled.names);
        result = RunProgram(compiled.program, compiled.names, store);
        benchmark::DoNotOptimize(result);
    }
    // The animation ends at the closing pause and the interaction when the input runs out:
    // both as if the viewer closed the window.
    if (result != 0) state.SkipWithError(("the run ended with " + std::to_string(result)).c_str());
    state.counters["frames"] = frames;
}

// The floor: one copy of a whole drawing buffer of the area, 16 bits a pixel.
void CopyBuffer(benchmark::State& state, Area area) {
    const std::size_t bytes = std::size_t(area.width) * area.height * 2;
    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

std::string AreaName(const Area& a) {
    return std::to_string(a.width) + "x" + std::to_string(a.height);
}

// Writes the scripts of the many-frame runs (and the drag input) into dir, to be run and
// looked at with zirkula --headless --png or --frames.
void WriteScripts(const std::string& dir) {
    auto write = [&dir](const std::string& name, const std::vector<std::string>& lines,
                        const std::string& input) {
        std::FILE* f = std::fopen((dir + "/" + name + ".zir").c_str(), "w");
        if (!f) return;
        for (const std::string& line : lines) std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
        if (input.empty()) return;
        f = std::fopen((dir + "/" + name + ".input").c_str(), "w");
        if (!f) return;
        std::fputs(input.c_str(), f);
        std::fclose(f);
    };
    // Both lengths of each run, so that a run elsewhere (the browser) can be timed the same way.
    for (const Area& a : {Small, Large}) {
        for (int frames : {FewFrames, ManyFrames}) {
            const std::string suffix = AreaName(a) + "-" + std::to_string(frames);
            write("animation-" + suffix, AnimationScript(a, frames, false), "");
            write("interaction-" + suffix, InteractionScript(a), DragInput(a, frames));
        }
    }
}

std::string RunName(Kind kind, const Area& a, int frames) {
    return std::string(KindName(kind)) + "/" + AreaName(a) + "/" + std::to_string(frames);
}

std::string CopyName(const Area& a) {
    return "BufferCopy/" + AreaName(a);
}

// Microseconds one frame (or pass) costs: the difference of the many-frame and the
// few-frame run over the difference in frames.
// Fastest real (or CPU) microseconds of a run; NaN when it did not run.
double Us(const bench::FastestReporter& r, const std::string& name, bool cpu = false) {
    return (cpu ? r.CpuSeconds(name) : r.RealSeconds(name)) * 1e6;
}

double PerFrameUs(const bench::FastestReporter& r, Kind kind, const Area& a, bool cpu = false) {
    return (Us(r, RunName(kind, a, ManyFrames), cpu) - Us(r, RunName(kind, a, FewFrames), cpu)) /
           (ManyFrames - FewFrames);
}

void PrintTable(const bench::FastestReporter& r) {
    std::printf("\nPer frame (or drag pass), from the runs of %d and %d frames (moves):\n",
                FewFrames, ManyFrames);
    std::printf("%-16s %-10s %10s %10s %10s %14s %8s\n", "what", "area", "us/frame", "(cpu us)",
                "copy us", "frame/copies", "goal");
    const Area areas[] = {Small, Large};
    // Rows whose runs a --benchmark_filter left out are skipped.
    for (Kind kind : {Kind::Animation, Kind::Interaction, Kind::EmptyAnimation}) {
        for (const Area& a : areas) {
            const double us = PerFrameUs(r, kind, a);
            const double copy = Us(r, CopyName(a));
            if (std::isnan(us)) continue;
            const bool small = a.width == Small.width;
            std::string goal = "-";
            if (kind != Kind::EmptyAnimation && small)
                goal = us < 1000 && us / copy <= 40 ? "met" : "MISSED";
            std::printf("%-16s %-10s %10.1f %10.1f %10.2f %14.1f %8s\n", KindName(kind),
                        AreaName(a).c_str(), us, PerFrameUs(r, kind, a, true), copy, us / copy,
                        goal.c_str());
        }
    }
    const double areaRatio =
        double(Large.width) * Large.height / (double(Small.width) * Small.height);
    const double copyRatio = Us(r, CopyName(Large)) / Us(r, CopyName(Small));
    std::printf("\nGrowth from %s to %s (area x%.2f, buffer copy x%.2f):\n",
                AreaName(Small).c_str(), AreaName(Large).c_str(), areaRatio, copyRatio);
    for (Kind kind : {Kind::Animation, Kind::Interaction, Kind::EmptyAnimation}) {
        const double ratio = PerFrameUs(r, kind, Large) / PerFrameUs(r, kind, Small);
        if (std::isnan(ratio)) continue;
        std::printf("%-16s x%.2f (goal <= x%.2f): %s\n", KindName(kind), ratio, areaRatio,
                    kind == Kind::EmptyAnimation ? "-"
                    : ratio <= areaRatio         ? "met"
                                                 : "MISSED");
    }
}

}  // namespace
}  // namespace zir

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-scripts") == 0) {
        zir::WriteScripts(argv[2]);
        return 0;
    }
    if (!zir::bench::StartBenchmarks(argc, argv)) return 1;
    using zir::Kind;
    for (const zir::Area& area : {zir::Small, zir::Large}) {
        benchmark::RegisterBenchmark(zir::CopyName(area).c_str(), zir::CopyBuffer, area)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2)
            ->Repetitions(5);
        for (Kind kind : {Kind::Animation, Kind::Interaction, Kind::EmptyAnimation}) {
            for (int frames : {zir::FewFrames, zir::ManyFrames}) {
                benchmark::RegisterBenchmark(zir::RunName(kind, area, frames).c_str(),
                                             zir::RunScript, kind, area, frames)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime()
                    ->MinTime(0.3)
                    ->Repetitions(5);
            }
        }
    }
    zir::bench::FastestReporter reporter(zir::bench::FastestBy::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    zir::PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
