// The compiler's speed on generated scripts of 10,000, 100,000 and 1,000,000 lines, compiled
// through the exported ZIRS_PARSESCRIPT as an outside caller would: both passes and the
// copies of the table, the names and the counts into the caller's lists.
//
// Goals: at least 2 million lines per second at 100,000 lines, and the 1,000,000-line script
// taking at most 12 times as long as the 100,000-line one (linear growth).
//
// Beside them, the job of bench/peer_bench at 10,000 triangles (130,000 lines, 2 MB): the
// script as one text, compiled the way `zirkula --check` compiles a file, as main program
// and as the body of a CONSTRUCTION called FAST. Goal: `zirkula --check` of either under
// 20 ms as a whole process, so the compile itself must stay well below that. Each form is
// also compiled with its warnings found, as every run of the program does; goal: at most
// 1.25 times the compile alone.
//
// The machine may be shared, so each size runs several times, interleaved, and keeps its
// fastest run by the CPU time of its thread. Each run compiles its script once untimed, so
// that every size is measured warm: the script generated, and the caller's lists and the
// heap grown to what a compile of that size needs.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "fastest_reporter.h"
#include "frontend/compiler.h"
#include "frontend/warnings.h"
#include "zirkula.h"

namespace zir {
namespace {

// Names of one kind are reused after this many groups, so that no row of the name table
// outgrows what a 16-bit target can name (32768 entries).
constexpr int DistinctGroups = 9000;

// A script of about `lines` lines: a main program of twelve-line groups, END, then one
// CONSTRUCTION of six lines for every 120 lines. A group declares new names in four of its
// lines (a point; a line and a circle through it and the previous group's point; the two
// crossings of these) and uses them in the other eight: marks, a fill, a call of a
// construction defined further down, and statements on lines and circles.
std::vector<std::string> GenerateScript(int lines) {
    const int subroutines = std::max(1, lines / 120);
    const int groups = (lines - 1 - 6 * subroutines) / 12;
    std::vector<std::string> script;
    script.reserve(lines);
    auto add = [&script](std::string line) { script.push_back(std::move(line)); };
    for (int g = 0; g < groups; ++g) {
        const std::string n = std::to_string(g % DistinctGroups);
        const std::string before = std::to_string((g + DistinctGroups - 1) % DistinctGroups);
        const std::string p = "P" + n, l = "L" + n, c = "C" + n, x = "X" + n, y = "Y" + n;
        const std::string prev = g == 0 ? "P0" : "P" + before;
        add("POINT " + p + ", " + std::to_string(g % 640) + ".5, " + std::to_string(g % 460));
        add(l + " = LINE " + p + ", " + prev + ", 0, &H0000FF, 2");
        add(c + " = CIRCLE " + p + ", " + prev);
        add(x + ", " + y + " = CROSS " + c + ", " + l);
        add("MARKPOINT " + x + ", 16");
        add("MARKLINE " + l + ", " + p + ", " + x);
        add("CALL S" + std::to_string(g % subroutines) + " " + p + ", " + l);
        add("FILLTRIANGLE " + p + ", " + x + ", " + y + ", (255, 200, 0)");
        add("MARKANGLE " + p + ", " + x + ", " + y + ", \"alpha\"");
        add("ORDERLINES " + l + ", L" + (g == 0 ? n : before));
        add("MOVECIRCLE " + c + ", " + y);
        add("REVERT " + l + "   ' turn it round");
    }
    add("END");
    for (int s = 0; s < subroutines; ++s) {
        add("CONSTRUCTION S" + std::to_string(s) + " SP, SL");
        add("SQ = ADVANCEON SP, SL, 40");
        add("SK = CIRCLE SP, SQ");
        add("SX, SY = CROSS SK, SL");
        add("MARKPOINT SX");
        add("REPEAT");
    }
    return script;
}

// The script of a size, generated once.
const std::vector<std::string>& Script(int lines) {
    static std::map<int, std::vector<std::string>> scripts;
    auto it = scripts.find(lines);
    if (it == scripts.end()) it = scripts.emplace(lines, GenerateScript(lines)).first;
    return it->second;
}

// One compile of the script per iteration, with the caller's lists kept across iterations
// the way a caller that compiles again would keep them.
void Compile(benchmark::State& state) {
    const std::vector<std::string>& script = Script(static_cast<int>(state.range(0)));
    std::vector<const char*> pointers;
    for (const std::string& line : script) pointers.push_back(line.c_str());
    ZirStringList lines{const_cast<char**>(pointers.data()), static_cast<int32_t>(pointers.size())};
    ZirInstructionTable program{};
    ZirIntList codes{}, lineNumbers{}, counts{};
    ZirNameTable names{};
    int32_t result = ZIRS_PARSESCRIPT(&lines, &program, &codes, &lineNumbers, &names, &counts);
    for (auto _ : state) {
        result = ZIRS_PARSESCRIPT(&lines, &program, &codes, &lineNumbers, &names, &counts);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(program.words);
    }
    if (result != 0) state.SkipWithError("the generated script does not compile");
    state.counters["lines"] = static_cast<double>(script.size());
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(script.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    std::free(program.words);
    std::free(program.starts);
    std::free(codes.items);
    std::free(lineNumbers.items);
    std::free(counts.items);
    for (ZirStringList& row : names.rows) {
        for (int32_t i = 0; i < row.count; ++i) std::free(row.items[i]);
        std::free(row.items);
    }
}

// The peer benchmark's job: `triangles` triangles of thirteen statements each (three
// invisible vertices, their marks, the three sides, two invisible perpendicular bisectors,
// their crossing and the circumcircle), with the vertices spread over the drawing area. In
// the form "fast" the statements are the body of a CONSTRUCTION that the main program calls.
std::string TriangleScript(int triangles, bool fast) {
    std::string text = "' compile_bench: triangles\nSPEED 1\n";
    if (fast) text += "CONSTRUCT Dreiecke FAST\nEND\nCONSTRUCTION Dreiecke\n";
    unsigned state = 14;
    auto next = [&state](int below) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 8) % static_cast<unsigned>(below));
    };
    for (int t = 0; t < triangles; ++t) {
        for (char v : {'A', 'B', 'C'}) {
            text += "IPOINT ";
            text += v;
            text += ", " + std::to_string(20 + next(600)) + ", " + std::to_string(20 + next(420));
            text += '\n';
        }
        text +=
            "MARKPOINT A\nMARKPOINT B\nMARKPOINT C\nc = LINE A, B\na = LINE B, C\n"
            "b = LINE C, A\nm1 = IMIDLINE A, B\nm2 = IMIDLINE B, C\nM = CROSS m1, m2\n"
            "k = CIRCLE M, A\n";
    }
    text += fast ? "REPEAT\n" : "END\n";
    return text;
}

// One compile of the 10,000-triangle script per iteration, as `zirkula --check` compiles it:
// the lines are walked in the text, and the table and names are made afresh; with the
// second argument 1 its warnings are found as well.
void CompileTriangles(benchmark::State& state) {
    static const std::string scripts[2] = {TriangleScript(10000, false),
                                           TriangleScript(10000, true)};
    const std::string& text = scripts[state.range(0)];
    const bool warnings = state.range(1) != 0;
    std::int32_t result = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        InstructionTable table;
        NameTable names;
        std::vector<CompileError> errors;
        const ScriptLines lines = ScriptLines::OfText(text);
        if (warnings) {
            WarningFinder finder;
            result = ParseScript(lines, table, errors, names, &finder);
            found = finder.Finish(lines, names, result).size();
        } else {
            result = ParseScript(lines, table, errors, names);
        }
        benchmark::DoNotOptimize(table.blocks.data());
    }
    if (result != 0) state.SkipWithError("the triangle script does not compile");
    if (found != 0) state.SkipWithError("the triangle script warns");
    state.SetLabel(std::string(state.range(0) ? "fast" : "main") +
                   (warnings ? " with warnings" : ""));
    state.counters["script lines"] =
        static_cast<double>(std::count(text.begin(), text.end(), '\n'));
    state.counters["form"] = static_cast<double>(state.range(0));
    state.counters["warnings"] = warnings ? 1 : 0;
}

void PrintTable(const bench::FastestReporter& r) {
    // The fastest CPU seconds of a compile by the script's number of lines.
    std::map<int, double> fastest;
    for (const auto& [name, times] : r.Times()) {
        const auto lines = times.counters.find("lines");
        if (lines != times.counters.end())
            fastest[static_cast<int>(lines->second)] = times.cpuSeconds;
    }
    std::printf("\n%10s %12s %16s\n", "lines", "ms", "lines/s");
    double at100k = std::nan(""), at1m = std::nan("");
    for (auto [lines, seconds] : fastest) {
        std::printf("%10d %12.2f %16.0f\n", lines, seconds * 1e3, lines / seconds);
        if (lines >= 90000 && lines <= 110000) at100k = seconds * 1e5 / lines;
        if (lines >= 900000 && lines <= 1100000) at1m = seconds * 1e6 / lines;
    }
    if (!std::isnan(at100k)) {
        const double rate = 1e5 / at100k;
        std::printf("speed at 100,000 lines: %.2f million lines/s (goal >= 2): %s\n", rate / 1e6,
                    rate >= 2e6 ? "met" : "MISSED");
    }
    // The triangle job with its warnings against the compile alone, in each form.
    std::map<std::pair<int, int>, double> triangles;
    for (const auto& [name, times] : r.Times()) {
        const auto form = times.counters.find("form");
        const auto warnings = times.counters.find("warnings");
        if (form != times.counters.end() && warnings != times.counters.end()) {
            triangles[{static_cast<int>(form->second), static_cast<int>(warnings->second)}] =
                times.cpuSeconds;
        }
    }
    for (int form : {0, 1}) {
        const auto alone = triangles.find({form, 0}), with = triangles.find({form, 1});
        if (alone == triangles.end() || with == triangles.end()) continue;
        const double ratio = with->second / alone->second;
        std::printf("triangles (%s) with warnings / alone: %.2fx (goal <= 1.25x): %s\n",
                    form ? "fast" : "main", ratio, ratio <= 1.25 ? "met" : "MISSED");
    }
    if (!std::isnan(at100k) && !std::isnan(at1m)) {
        const double ratio = at1m / at100k;
        std::printf("1,000,000 lines / 100,000 lines: %.2fx (goal <= 12x): %s\n", ratio,
                    ratio <= 12 ? "met" : "MISSED");
    }
}

}  // namespace
}  // namespace zir

int main(int argc, char** argv) {
    if (!zir::bench::StartBenchmarks(argc, argv)) return 1;
    for (int lines : {10000, 100000, 1000000}) zir::Script(lines);
    benchmark::RegisterBenchmark("Compile", zir::Compile)
        ->Arg(10000)
        ->Arg(100000)
        ->Arg(1000000)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5)
        ->Repetitions(5);
    benchmark::RegisterBenchmark("CompileTriangles10k", zir::CompileTriangles)
        ->Args({0, 0})
        ->Args({0, 1})
        ->Args({1, 0})
        ->Args({1, 1})
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5)
        ->Repetitions(5);
    zir::bench::FastestReporter reporter(zir::bench::FastestBy::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    zir::PrintTable(reporter);
    benchmark::Shutdown();
}
