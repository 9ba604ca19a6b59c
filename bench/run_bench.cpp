// Whole runs of the real zirkula executable, as a viewer or a gallery build would start it:
// every gallery script run headless with --png (and its recorded viewer input), a generated
// CONSTRUCTION called FAST with 10,000 construction statements, and chains of CONSTRUCTIONs
// nested 10, 30, 60 and 100 calls deep.
//
// For each run: the best wall time of a few, the peak resident memory of the child process,
// and the run's time against compiling the same script alone, both as a process
// (zirkula --check) and in-process (ParseScript, which --check adds start-up to).
//
// The nested chains show how memory grows with the depth of calls, against the size of one
// drawing buffer (640 x 460 pixels of 2 bytes). Calls nest at most 64 deep: the 100-deep
// chain ends with run-time error 37 at the 65th call and is listed for its memory only.
//
// Usage: run_bench [RUNS]   (default 3 runs of each, the fastest kept)

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "session/runcycle.h"

extern char** environ;

namespace zir {
namespace {

namespace fs = std::filesystem;

constexpr double BufferBytes = 640.0 * 460 * 2;

struct Measure {
    double seconds = 0;  // fastest wall time
    long peakKb = 0;     // peak resident memory of that run's child
    int status = 0;      // exit status of the last run
};

// Runs the command `runs` times with its output thrown away and keeps the fastest.
Measure RunChild(const std::vector<std::string>& command, int runs) {
    Measure best{1e30, 0, 0};
    for (int i = 0; i < runs; ++i) {
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            std::fprintf(stderr, "cannot start %s\n", argv[0]);
            std::exit(1);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        posix_spawn_file_actions_destroy(&actions);
        if (seconds < best.seconds) {
            best.seconds = seconds;
            best.peakKb = usage.ru_maxrss;
        }
        best.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return best;
}

// The fastest in-process compile of the script, repeated for at least a tenth of a second.
double CompileSeconds(const std::string& path) {
    const std::vector<std::string> lines = ReadScriptLines(path);
    double best = 1e30;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    int done = 0;
    while (done < 3 || std::chrono::steady_clock::now() < until) {
        InstructionTable table;
        NameTable names;
        std::vector<CompileError> errors;
        const auto start = std::chrono::steady_clock::now();
        ParseScript(lines, table, errors, names);
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ++done;
    }
    return best;
}

void WriteLines(const fs::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path);
    for (const std::string& line : lines) out << line << "\n";
}

// A main program of three points that calls a CONSTRUCTION FAST whose body has `count`
// construction statements: midpoints, segments, circles and crossings, in turn.
std::vector<std::string> FastConstruction(int count) {
    std::vector<std::string> s{"POINT A, 200, 300",
                               "POINT B, 440, 320",
                               "POINT C, 320, 120",
                               "CONSTRUCT Gross FAST",
                               "END",
                               "CONSTRUCTION Gross"};
    std::string p = "A", q = "B", r = "C";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
            case 0:
                s.push_back("  M" + n + " = MIDDLE " + p + ", " + q);
                p = q;
                q = r;
                r = "M" + n;
                break;
            case 1:
                s.push_back("  L" + n + " = LINE " + p + ", " + q);
                break;
            case 2:
                s.push_back("  K" + n + " = CIRCLE " + r + ", " + p);
                break;
            case 3:
                s.push_back("  X" + n + ", Y" + n + " = CROSS K" + std::to_string(i - 1) + ", L" +
                            std::to_string(i - 2));
                break;
        }
    }
    s.push_back("REPEAT");
    return s;
}

// A chain of `depth` CONSTRUCTIONs, each drawing a midpoint and calling the next.
std::vector<std::string> NestedChain(int depth) {
    std::vector<std::string> s{"POINT A, 200, 300", "POINT B, 440, 320", "CONSTRUCT C1 FAST",
                               "END"};
    for (int d = 1; d <= depth; ++d) {
        const std::string n = std::to_string(d);
        s.push_back("CONSTRUCTION C" + n);
        s.push_back("  M" + n + " = MIDDLE A, B");
        if (d < depth) s.push_back("  CONSTRUCT C" + std::to_string(d + 1) + " FAST");
        s.push_back("REPEAT");
    }
    return s;
}

struct Row {
    std::string name;
    Measure run;
    Measure check;
    double compileSeconds = 0;
};

Row MeasureScript(const std::string& name, const fs::path& script, const fs::path& work, int runs) {
    Row row{name, {}, {}, 0};
    std::vector<std::string> command{ZIR_EXECUTABLE, "--headless", "--png",
                                     (work / (name + ".png")).string()};
    fs::path input = script;
    input.replace_extension(".input");
    if (fs::exists(input)) {
        command.push_back("--input");
        command.push_back(input.string());
    }
    command.push_back(script.string());
    row.run = RunChild(command, runs);
    row.check = RunChild({ZIR_EXECUTABLE, "--check", script.string()}, runs);
    row.compileSeconds = CompileSeconds(script.string());
    return row;
}

void PrintRows(const std::vector<Row>& rows) {
    std::printf("%-22s %9s %9s %10s %9s %11s %9s\n", "script", "run ms", "peak MB", "check ms",
                "run/chk", "compile us", "run/comp");
    for (const Row& r : rows) {
        std::printf("%-22s %9.1f %9.1f %10.1f %9.1f %11.1f %9.0f\n", r.name.c_str(),
                    r.run.seconds * 1e3, r.run.peakKb / 1024.0, r.check.seconds * 1e3,
                    r.run.seconds / r.check.seconds, r.compileSeconds * 1e6,
                    r.run.seconds / r.compileSeconds);
    }
}

}  // namespace
}  // namespace zir

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path work = fs::temp_directory_path() / ("zir-run-bench-" + std::to_string(getpid()));
    fs::create_directories(work);

    std::vector<fs::path> gallery;
    for (const auto& entry : fs::directory_iterator(ZIR_GALLERY_DIR)) {
        if (entry.path().extension() == ".zir") gallery.push_back(entry.path());
    }
    std::sort(gallery.begin(), gallery.end());

    std::printf("Gallery scripts, headless with --png, best of %d (wall time of the process):\n",
                runs);
    std::vector<zir::Row> rows;
    double total = 0;
    long peakMax = 0;
    for (const fs::path& script : gallery) {
        rows.push_back(zir::MeasureScript(script.stem().string(), script, work, runs));
        total += rows.back().run.seconds;
        peakMax = std::max(peakMax, rows.back().run.peakKb);
    }
    zir::PrintRows(rows);
    std::printf("all %zu gallery scripts: %.1f ms; the largest peak: %.1f MB\n\n", rows.size(),
                total * 1e3, peakMax / 1024.0);

    const fs::path big = work / "fast-10000.zir";
    zir::WriteLines(big, zir::FastConstruction(10000));
    std::printf("A CONSTRUCTION called FAST with 10,000 construction statements:\n");
    const zir::Row bigRow = zir::MeasureScript("fast-10000", big, work, runs);
    zir::PrintRows({bigRow});

    std::printf("\nCONSTRUCTIONs nested in a chain (each draws a midpoint and calls the next):\n");
    std::printf("%6s %9s %9s %8s\n", "depth", "run ms", "peak MB", "exit");
    std::vector<std::pair<int, zir::Measure>> chains;
    for (int depth : {1, 10, 30, 60, 100}) {
        const fs::path script = work / ("nested-" + std::to_string(depth) + ".zir");
        zir::WriteLines(script, zir::NestedChain(depth));
        const fs::path dump = work / ("nested-" + std::to_string(depth) + ".json");
        const zir::Measure m = zir::RunChild(
            {ZIR_EXECUTABLE, "--headless", "--dump", dump.string(), script.string()}, runs);
        chains.emplace_back(depth, m);
        std::printf("%6d %9.1f %9.1f %8d%s\n", depth, m.seconds * 1e3, m.peakKb / 1024.0, m.status,
                    depth > 64 ? "   (ends with run-time error 37 at depth 64)" : "");
    }
    auto peakAt = [&chains](int depth) {
        for (const auto& [d, m] : chains)
            if (d == depth) return static_cast<double>(m.peakKb) * 1024;
        return 0.0;
    };
    for (auto [from, to] : {std::pair{10, 30}, std::pair{30, 60}, std::pair{10, 60}}) {
        const double perLevel = (peakAt(to) - peakAt(from)) / (to - from);
        std::printf(
            "growth %d -> %d deep: %.0f KB per level = %.2f drawing buffers "
            "(640x460x2 = %.0f KB)\n",
            from, to, perLevel / 1024, perLevel / zir::BufferBytes, zir::BufferBytes / 1024);
    }
    fs::remove_all(work);
    return 0;
}
