// The whole start-up of a headless run: `zirkula --headless` on a script of one line (END),
// as a process started, run and waited for, next to a C++ program that only prints a line
// (startup_floor), the floor.
//
// Goal: the run within 2 times the floor.
//
// The machine may be shared, so the two programs run alternately many times and each keeps
// its fastest run; the median is shown beside it.
//
// Usage: startup_bench [--runs=N] [--zirkula=PATH] [--floor=PATH]
// (--zirkula measures another build, e.g. an older commit's, against the same floor.)

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

struct Program {
    std::string name;
    std::vector<std::string> argv;
    std::vector<double> ms;
};

// Starts the program with its output to /dev/null and waits for it; the wall time in
// milliseconds, or a negative number when it could not start or did not end with 0.
double RunOnce(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    const bool started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0;
    if (started) waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!started || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 200;
    std::string zirkula = ZIR_BENCH_ZIRKULA;
    std::string floor = ZIR_BENCH_FLOOR;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--runs=")) {
            runs = std::max(1, std::atoi(argv[i] + 7));
        } else if (arg.starts_with("--zirkula=")) {
            zirkula = std::string(arg.substr(10));
        } else if (arg.starts_with("--floor=")) {
            floor = std::string(arg.substr(8));
        } else if (!arg.starts_with("--benchmark")) {  // bench.sh hands every bench its flags
            std::fprintf(stderr, "startup_bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }

    // The script in a directory of its own: a run removes an old error report beside it.
    char dirTemplate[] = "/tmp/zir-startup-XXXXXX";
    if (!mkdtemp(dirTemplate)) {
        std::perror("startup_bench: mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = dirTemplate;
    const std::string script = (dir / "end.zir").string();
    std::ofstream(script) << "END\n";

    std::vector<Program> programs = {
        {"floor (prints a line)", {floor}, {}},
        {"zirkula --headless END", {zirkula, "--headless", script}, {}}};
    // One untimed run each brings the files into the page cache.
    for (Program& p : programs) RunOnce(p.argv);
    for (int r = 0; r < runs; ++r) {
        for (Program& p : programs) {
            const double ms = RunOnce(p.argv);
            if (ms < 0) {
                std::fprintf(stderr, "startup_bench: %s failed to run\n", p.argv[0].c_str());
                std::filesystem::remove_all(dir);
                return 1;
            }
            p.ms.push_back(ms);
        }
    }
    std::filesystem::remove_all(dir);

    std::printf("%-26s %10s %10s\n", "start-up", "best ms", "median ms");
    for (const Program& p : programs) {
        std::printf("%-26s %10.2f %10.2f\n", p.name.c_str(),
                    *std::min_element(p.ms.begin(), p.ms.end()), Median(p.ms));
    }
    const double best = *std::min_element(programs[1].ms.begin(), programs[1].ms.end());
    const double bestFloor = *std::min_element(programs[0].ms.begin(), programs[0].ms.end());
    const double ratio = best / bestFloor;
    std::printf("zirkula / floor: %.2fx (goal <= 2x): %s   [%s, %d runs each]\n", ratio,
                ratio <= 2 ? "met" : "MISSED", zirkula.c_str(), runs);
    return 0;
}
