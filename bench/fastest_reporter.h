// A console reporter for benchmarks repeated on a shared machine: of each benchmark's
// repetitions it shows only the fastest, in the order the benchmarks were registered, and
// keeps the fastest times for the tables a bench prints after the runs.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace zir::bench {

// The time that picks a benchmark's fastest repetition.
enum class FastestBy {
    Real,
    Cpu,
    // The CPU time, or the time a benchmark with manual timing measured itself.
    CpuOrManual,
};

// The fastest of a benchmark's repetitions, each time on its own, in seconds.
struct FastestTimes {
    double realSeconds = std::nan("");
    double cpuSeconds = std::nan("");
    double chosenSeconds = std::nan("");     // by the reporter's FastestBy
    std::map<std::string, double> counters;  // of the repetition fastest by FastestBy
};

class FastestReporter : public benchmark::ConsoleReporter {
  public:
    explicit FastestReporter(FastestBy by)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None), by_(by) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        const Run* best = nullptr;
        FastestTimes times;
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const double scale = Scale(run.time_unit);
            times.realSeconds = std::fmin(times.realSeconds, run.GetAdjustedRealTime() * scale);
            times.cpuSeconds = std::fmin(times.cpuSeconds, run.GetAdjustedCPUTime() * scale);
            if (!best || Chosen(run) < Chosen(*best)) best = &run;
        }
        if (!best) return;
        times.chosenSeconds = Chosen(*best);
        for (const auto& [name, counter] : best->counters) times.counters[name] = counter;
        // Benchmarks registered with arguments share a function name; the arguments tell
        // them apart.
        const std::string& args = best->run_name.args;
        times_[best->run_name.function_name + (args.empty() ? "" : "/" + args)] = times;
        shown_.push_back(*best);
        shown_.back().run_name.min_time.clear();
        shown_.back().run_name.repetitions.clear();
    }

    // Interleaved repetitions arrive in any order; they are shown in the benchmarks' own.
    void Finalize() override {
        std::stable_sort(shown_.begin(), shown_.end(), [](const Run& a, const Run& b) {
            return a.family_index != b.family_index
                       ? a.family_index < b.family_index
                       : a.per_family_instance_index < b.per_family_instance_index;
        });
        if (!shown_.empty()) ConsoleReporter::ReportRuns(shown_);
        ConsoleReporter::Finalize();
    }

    // The fastest times by the benchmark's name (its function name, with the arguments).
    const std::map<std::string, FastestTimes>& Times() const { return times_; }

    // One of them, or NaN when the benchmark did not run (a filter left it out).
    double RealSeconds(const std::string& name) const { return Find(name).realSeconds; }
    double CpuSeconds(const std::string& name) const { return Find(name).cpuSeconds; }
    double ChosenSeconds(const std::string& name) const { return Find(name).chosenSeconds; }

  private:
    static double Scale(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kSecond:
                return 1;
            case benchmark::kMillisecond:
                return 1e-3;
            case benchmark::kMicrosecond:
                return 1e-6;
            default:
                return 1e-9;
        }
    }

    double Chosen(const Run& run) const {
        const bool real = by_ == FastestBy::Real ||
                          (by_ == FastestBy::CpuOrManual && !run.run_name.time_type.empty());
        return (real ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) * Scale(run.time_unit);
    }

    const FastestTimes& Find(const std::string& name) const {
        static const FastestTimes none;
        const auto it = times_.find(name);
        return it == times_.end() ? none : it->second;
    }

    FastestBy by_;
    std::map<std::string, FastestTimes> times_;
    std::vector<Run> shown_;
};

// Initialises the library from the command line with the benchmarks' repetitions
// interleaved, so that a disturbance on a shared machine spreads over all of them (a later
// flag on the command line still overrides it). False when an argument is not understood.
inline bool StartBenchmarks(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    return !benchmark::ReportUnrecognizedArguments(count, args.data());
}

}  // namespace zir::bench
