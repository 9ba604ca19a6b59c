// The command line of the zirkula program:
//
//   zirkula [OPTIONS] [SCRIPT]
//
// Without SCRIPT a file dialog asks for one. Exit codes: 0 after any run, 255 when the
// choice of a file is cancelled, 1 when --check finds errors, 2 for a wrong command line or
// a script that cannot be read, 3 when no window can be opened.
#pragma once

#include <cstdint>
#include <string>

namespace zir {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool headless = false;
    bool check = false;          // compile only and list the errors
    bool listing = false;        // with check: print the compiled table
    bool keywords = false;       // print every keyword, for editors that highlight scripts
    bool noInstruments = false;  // SLOW calls run as PACE: less motion
    std::string gifPath;         // headless: the run as an animated GIF
    std::string inputPath;
    std::string pngPath;
    std::string framesDir;
    std::string dumpPath;
    std::string svgPath;
    std::string pdfPath;
    std::string handoutPath;  // a run without a viewer: headless
    std::string stepsPath;    // each step shown, a line each
    int fromStep = 0;         // in a window: replay the input up to this step, then go on
    std::string scriptPath;   // the first argument that is not an option; later ones are ignored
    std::int64_t maxStatements = 0;  // headless: the run's statement budget; 0 the default
};

inline constexpr int ExitRun = 0;
inline constexpr int ExitCheckFailed = 1;
inline constexpr int ExitCancelled = 255;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitNoDisplay = 3;

// False, with a one-line reason in error, for an unknown option, a missing value or an
// option this build cannot carry out yet.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& commandLine,
                      std::string& error);

// Starts the platform layer, chooses the script and runs it; returns the exit code.
int RunCommandLine(const CommandLine& commandLine);

}  // namespace zir
