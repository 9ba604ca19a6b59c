#include "driver/commandline.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "driver/filedialog.h"
#include "frontend/compiler.h"
#include "frontend/keywords.h"
#include "frontend/listing.h"
#include "frontend/warnings.h"
#include "platform/platform.h"
#include "platform/textcode.h"
#include "runtime/pacing.h"
#include "session/errors.h"
#include "session/runcycle.h"
#include "zirkula.h"

namespace zir {
namespace {

constexpr const char* HelpText =
    "Usage: zirkula [OPTIONS] [SCRIPT]\n"
    "Runs a Zirkula script: a geometric construction shown step by step in a window.\n"
    "Without SCRIPT a file dialog asks for one. SCRIPT may also be a PNG or SVG picture\n"
    "written by Zirkula: the script it carries is run.\n"
    "\n"
    "  --headless       no window: a virtual clock, nothing waits in real time\n"
    "  --input FILE     viewer input, one timed event per line (with --headless on\n"
    "                   the virtual clock; in a window played on the real clock):\n"
    "                     <ms> key <NAME> | press <x> <y> | move <x> <y> |\n"
    "                     release <x> <y> | click <x> <y> | close\n"
    "  --png FILE       the picture on the screen when the run ends, before the logo,\n"
    "                   carrying the script (as --svg does)\n"
    "  --frames DIR     every picture shown, as DIR/frame-NNNNN.png, with their times in\n"
    "                   DIR/frames.tsv\n"
    "  --svg FILE       the drawing when the run ends as SVG (without the control bar)\n"
    "  --pdf FILE       the same as a PDF page, A4 landscape\n"
    "  --handout FILE   a PDF with a picture after every step and the lines that made it,\n"
    "                   six to an A4 page (runs without a window)\n"
    "  --steps FILE     each step shown, a line each: number, time in ms, script line and\n"
    "                   what it constructs, separated by tabs\n"
    "  --from-step N    in a window: replay the --input on the virtual clock up to step N,\n"
    "                   then go on from there on the real clock\n"
    "  --no-instruments SLOW constructions run paced, without the moving instruments\n"
    "  --dump FILE      the run result, the errors and the objects as JSON\n"
    "  --gif FILE       with --headless: the run as an animated GIF with its real timing\n"
    "  --max-statements N  with --headless: end the run as if the window were closed\n"
    "                   after N statements (default 10000000)\n"
    "  --check          compile only; print FILE:LINE: Fehler N: message for each error\n"
    "  --listing        with --check: print the compiled instruction table\n"
    "  --keywords       print every keyword of the language, one a line\n"
    "  --help           this text\n"
    "  --version        the program's version\n"
    "\n"
    "Exit codes: 0 after any run, 255 when choosing a file is cancelled, 1 when --check\n"
    "finds errors, 2 for a wrong command line or a script that cannot be read, 3 when no\n"
    "window can be opened (use --headless there).\n";

// The path as program text, as the window title shows it.
std::string ShownPath(const std::string& path) {
    return IsValidUtf8(path) ? Windows1252FromUtf8(path) : path;
}

// Reads the script to run or check; false, after one line on standard error that names the
// path and the reason, when it cannot be read. A typo in a file name must not read as a
// script without END.
bool ReadScriptOrSay(const std::string& path, ScriptText& script) {
    if (ReadScript(path, script)) return true;
    std::fprintf(stderr, "%s\n",
                 UnreadableScriptLine(path, script.file.LoadError(), script.picture).c_str());
    return false;
}

// Compiles the script without running it and prints one line per error, then per warning.
int CheckScript(const std::string& path, bool listing) {
    ScriptText script;
    if (!ReadScriptOrSay(path, script)) return ExitUsage;
    InstructionTable table;
    NameTable names;
    std::vector<CompileError> errors;
    WarningFinder warnings;
    const ScriptLines lines = ScriptLines::OfText(script.text);
    const std::int32_t result = ParseScript(lines, table, errors, names, &warnings);
    const std::string shown = ShownPath(path);
    for (const CompileError& e : errors) {
        ConsoleWrite(shown + ":" + std::to_string(e.line) + ": Fehler " +
                     std::to_string(ErrorMessageNumber(e.code)) + ": " + ErrorMessage(e.code));
    }
    // Warnings follow the errors and leave the exit code alone.
    for (const Warning& w : warnings.Finish(lines, names, result)) {
        ConsoleWrite(WarningLine(shown, w));
    }
    if (!errors.empty()) return ExitCheckFailed;
    if (listing) {
        // The table holds the script's texts as Windows-1252; the console converts them as it
        // does every other printed line.
        std::string text = ListProgram(table, names);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        ConsoleWrite(text);
    }
    return ExitRun;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& commandLine,
                      std::string& error) {
    commandLine = CommandLine{};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (commandLine.scriptPath.empty()) commandLine.scriptPath = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string> inlineValue;
        if (std::size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            inlineValue = std::string(arg.substr(eq + 1));
        }
        std::string* target = name == "--input"     ? &commandLine.inputPath
                              : name == "--png"     ? &commandLine.pngPath
                              : name == "--frames"  ? &commandLine.framesDir
                              : name == "--dump"    ? &commandLine.dumpPath
                              : name == "--gif"     ? &commandLine.gifPath
                              : name == "--svg"     ? &commandLine.svgPath
                              : name == "--pdf"     ? &commandLine.pdfPath
                              : name == "--handout" ? &commandLine.handoutPath
                              : name == "--steps"   ? &commandLine.stepsPath
                                                    : nullptr;
        if (target) {
            if (inlineValue) {
                *target = *inlineValue;
            } else if (i + 1 < argc) {
                *target = argv[++i];
            }
            if (target->empty()) {
                error = std::string(name) + " needs a file or directory name";
                return false;
            }
            continue;
        }
        if (name == "--max-statements" || name == "--from-step") {
            const std::string value = inlineValue ? *inlineValue : i + 1 < argc ? argv[++i] : "";
            char* end = nullptr;
            errno = 0;
            const long long n = std::strtoll(value.c_str(), &end, 10);
            const long long most = name == "--from-step" ? 1'000'000'000 : LLONG_MAX;
            if (value.empty() || *end != '\0' || errno != 0 || n < 1 || n > most) {
                error = std::string(name) + " needs a whole number of at least 1";
                return false;
            }
            if (name == "--from-step") {
                commandLine.fromStep = static_cast<int>(n);
            } else {
                commandLine.maxStatements = n;
            }
            continue;
        }
        if (inlineValue) {
            error = std::string(name) + " takes no value";
            return false;
        }
        if (name == "--headless") {
            commandLine.headless = true;
        } else if (name == "--check") {
            commandLine.check = true;
        } else if (name == "--listing") {
            commandLine.listing = true;
        } else if (name == "--no-instruments") {
            commandLine.noInstruments = true;
        } else if (name == "--keywords") {
            commandLine.keywords = true;
        } else if (name == "--help" || name == "-h") {
            commandLine.help = true;
        } else if (name == "--version") {
            commandLine.version = true;
        } else {
            error = "unknown option '" + std::string(arg) + "'";
            return false;
        }
    }
    if (!commandLine.gifPath.empty() && !commandLine.headless) {
        error = "--gif works only with --headless";
        return false;
    }
    if (commandLine.maxStatements != 0 && !commandLine.headless) {
        error = "--max-statements works only with --headless";
        return false;
    }
    if (commandLine.fromStep != 0 && (commandLine.headless || !commandLine.handoutPath.empty())) {
        error = "--from-step works only in a window";
        return false;
    }
    if (commandLine.listing && !commandLine.check) {
        error = "--listing works only with --check";
        return false;
    }
    if (commandLine.check && commandLine.scriptPath.empty()) {
        error = "--check needs a script";
        return false;
    }
    return true;
}

int RunCommandLine(const CommandLine& commandLine) {
    if (commandLine.help) {
        std::fputs(HelpText, stdout);
        return ExitRun;
    }
    if (commandLine.version) {
        std::printf("zirkula %s\n", ZIR_VERSION);
        return ExitRun;
    }
    if (commandLine.keywords) {
        for (std::string_view word : KeywordSpellings()) ConsoleWrite(word);
        return ExitRun;
    }
    if (commandLine.check) return CheckScript(commandLine.scriptPath, commandLine.listing);
    // A script named on the command line is read before anything starts, so that a wrong
    // path ends the program with its reason before a window or a dialog could appear.
    ScriptText script;
    if (!commandLine.scriptPath.empty() && !ReadScriptOrSay(commandLine.scriptPath, script)) {
        return ExitUsage;
    }
    PlatformOptions options;
    // A handout is made without a viewer, on the virtual clock.
    const bool headless = commandLine.headless || !commandLine.handoutPath.empty();
    options.backend = headless ? BackendKind::Headless : BackendKind::Windowed;
    options.inputPath = commandLine.inputPath;
    options.replay = commandLine.fromStep > 0;
    ShowInstruments(!commandLine.noInstruments);
    options.framesDir = commandLine.framesDir;
    options.gifPath = commandLine.gifPath;
    if (commandLine.maxStatements != 0) options.maxStatements = commandLine.maxStatements;
    std::string message;
    PlatformError error = PlatformStart(options, message);
    if (error != PlatformError::None) {
        std::fprintf(stderr, "zirkula: %s\n", message.c_str());
        return error == PlatformError::NoDisplay ? ExitNoDisplay : ExitUsage;
    }

    ErrorList errors;
    RunOutputs outputs;
    outputs.pngPath = commandLine.pngPath;
    outputs.dumpPath = commandLine.dumpPath;
    outputs.svgPath = commandLine.svgPath;
    outputs.pdfPath = commandLine.pdfPath;
    outputs.handoutPath = commandLine.handoutPath;
    outputs.stepsPath = commandLine.stepsPath;
    outputs.liveAtStep = commandLine.fromStep;
    std::string path = commandLine.scriptPath;
    if (path.empty()) {
        ZirInit();
        DialogResult chosen = ChooseScriptFile(!headless);
        if (chosen.outcome == DialogOutcome::Cancelled) {
            PlatformStop();
            return ExitCancelled;
        }
        if (chosen.outcome == DialogOutcome::Failed) {
            // As the dialog's own failure: report the code, wait for Enter, and go on with
            // the unchanged file-name field, the current directory followed by "*.*".
            ConsoleWrite("API ERROR: " + std::to_string(chosen.errorCode));
            ConsoleReadLine();
            std::error_code ec;
            path = std::filesystem::current_path(ec).string() + "/*.*";
        } else {
            path = chosen.path;
        }
        if (!ReadScriptOrSay(path, script)) {
            PlatformStop();
            return ExitUsage;
        }
    }
    outputs.warningsName = ShownPath(path);
    RunScriptText(path, script, errors, outputs);
    bool failed = PlatformFailed();
    PlatformStop();
    if (!commandLine.gifPath.empty() && !std::filesystem::exists(commandLine.gifPath)) {
        std::fprintf(stderr, "zirkula: the run showed no picture, so no GIF was written\n");
    }
    return failed ? ExitNoDisplay : ExitRun;
}

}  // namespace zir

extern "C" int ZirkulaMain(int argc, char** argv) {
    zir::CommandLine commandLine;
    std::string error;
    if (!zir::ParseCommandLine(argc, argv, commandLine, error)) {
        std::fprintf(stderr, "zirkula: %s\nTry 'zirkula --help' for the options.\n", error.c_str());
        return zir::ExitUsage;
    }
    return zir::RunCommandLine(commandLine);
}
