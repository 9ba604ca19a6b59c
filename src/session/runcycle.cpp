#include "session/runcycle.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "draw/vectors.h"
#include "frontend/compiler.h"
#include "frontend/warnings.h"
#include "interp/engine.h"
#include "interp/objects.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "platform/resources.h"
#include "platform/textcode.h"
#include "runtime/logo.h"
#include "runtime/runstate.h"
#include "session/dump.h"
#include "session/errors.h"
#include "session/handout.h"
#include "session/steps.h"
#include "session/windowconsole.h"

namespace zir {
namespace {

constexpr const char* TitleSuffix = " - Zirkula";

// Passes each compiled statement on to up to two observers.
class BothObservers final : public StatementObserver {
  public:
    BothObservers(StatementObserver* first, StatementObserver* second)
        : first_(first), second_(second) {}
    void Compiled(const CompiledStatement& compiled) override {
        if (first_) first_->Compiled(compiled);
        if (second_) second_->Compiled(compiled);
    }

  private:
    StatementObserver* first_ = nullptr;
    StatementObserver* second_ = nullptr;
};
// The vector pictures the command line asks for, of the screen as the run left it.
void WriteVectorFiles(const RunOutputs& outputs, Handout* handout, const StepTracker* tracker,
                      const ScriptLines* lines) {
    std::string message;
    if (!outputs.svgPath.empty() && !WriteDrawingSvg(outputs.svgPath, message, outputs.script)) {
        std::fprintf(stderr, "zirkula: %s: %s\n", outputs.svgPath.c_str(), message.c_str());
    }
    if (!outputs.pdfPath.empty()) {
        const std::string svg = DrawingAsSvg();
        message = "no picture written, the script opened no screen";
        if (svg.empty() || !WriteDrawingPdf(outputs.pdfPath, svg, message)) {
            std::fprintf(stderr, "zirkula: %s: %s\n", outputs.pdfPath.c_str(), message.c_str());
        }
    }
    if (!handout || !lines) return;
    handout->Finish(tracker ? tracker->Pending(StepKind::Paced) : RunStep{});
    std::string title = Utf8FromWindows1252(WindowTitle());
    if (title.ends_with(TitleSuffix)) title.resize(title.size() - std::strlen(TitleSuffix));
    message = "no handout written, the script showed no picture";
    if (handout->StepCount() == 0 || !handout->Write(outputs.handoutPath, title, *lines, message)) {
        std::fprintf(stderr, "zirkula: %s: %s\n", outputs.handoutPath.c_str(), message.c_str());
    }
}

void WriteRequestedFiles(std::int32_t result, const ErrorList& errors, double endMs,
                         const RunOutputs& outputs, const NameTable& names,
                         const ObjectStore* store) {
    if (!outputs.pngPath.empty()) {
        if (!ScreenImage()) {
            std::fprintf(stderr, "zirkula: %s: no picture written, the script opened no screen\n",
                         outputs.pngPath.c_str());
        } else if (!WritePng(outputs.pngPath, ScreenImage(), outputs.script)) {
            std::fprintf(stderr, "zirkula: %s: cannot be written\n", outputs.pngPath.c_str());
        }
    }
    if (outputs.dumpPath.empty()) return;
    DumpContent dump;
    dump.result = result;
    if (result == FailedInPass1 || result == FailedInPass2) {
        std::size_t count = std::min(errors.codes.size(), errors.lines.size());
        for (std::size_t i = 0; i < count; ++i) {
            dump.errors.push_back(
                {errors.codes[i], errors.lines[i], ErrorMessage(errors.codes[i])});
        }
    }
    if (store) AddObjects(names, *store, dump);
    if (const std::uint8_t* screen = ScreenImage()) {
        dump.screenOpen = true;
        dump.screenWidth = ImageWidth(screen);
        dump.screenHeight = ImageHeight(screen);
    }
    dump.timeMs = endMs;
    if (!WriteDump(outputs.dumpPath, dump)) {
        std::fprintf(stderr, "zirkula: %s: cannot be written\n", outputs.dumpPath.c_str());
    }
}

// The clock in milliseconds, rounded to microseconds so that whole virtual milliseconds
// are written as whole numbers.
double ClockMs() {
    return std::round(ClockSeconds() * 1e6) / 1e3;
}

}  // namespace

PathParts SplitPath(std::string_view path) {
    std::size_t last = path.find_last_of("/\\");
    if (last == std::string_view::npos || last == 0) return {"", std::string(path)};
    return {std::string(path.substr(0, last + 1)), std::string(path.substr(last + 1))};
}

namespace {

// Whether every byte is below 0x80, eight at a time.
bool IsAscii(std::string_view text) {
    std::size_t i = 0;
    std::uint64_t any = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        any |= word;
    }
    for (; i < text.size(); ++i) any |= static_cast<unsigned char>(text[i]);
    return (any & 0x8080808080808080ull) == 0;
}

}  // namespace

bool ReadScript(const std::string& path, ScriptText& script) {
    script.converted.clear();
    script.text = {};
    script.picture = {};
    if (!script.file.Load(path)) return false;
    std::string_view text = script.file.Bytes();
    script.picture = ReadPictureScript(text);
    if (script.picture.status == PictureScriptStatus::Found) {
        text = script.picture.text;
    } else if (script.picture.status != PictureScriptStatus::NotPicture) {
        return false;
    }
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    // Plain ASCII, the common case, reads the same in both code pages.
    if (!IsAscii(text) && IsValidUtf8(text)) {
        script.converted = Windows1252FromUtf8(text);
        text = script.converted;
    }
    script.text = text;
    return true;
}

std::string ScriptUtf8(const ScriptText& script) {
    std::string_view text = script.picture.status == PictureScriptStatus::Found
                                ? std::string_view(script.picture.text)
                                : script.file.Bytes();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return IsValidUtf8(text) ? std::string(text) : Utf8FromWindows1252(text);
}

std::int32_t ZirInit() {
    ResetSettings();
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        AppIcon();
        LogoImage();
    }
    return 0;
}

std::int32_t RunScript(const std::vector<std::string>& lines, ErrorList& errors,
                       const RunOutputs& outputs) {
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    return RunScript(std::span<const std::string_view>(views), errors, outputs);
}

std::int32_t RunScript(std::span<const std::string_view> lines, ErrorList& errors,
                       const RunOutputs& outputs) {
    return RunScript(ScriptLines(lines), errors, outputs);
}

std::int32_t RunScript(const ScriptLines& lines, ErrorList& errors, const RunOutputs& outputs) {
    InstructionTable table;
    NameTable names;
    ZirInit();
    std::vector<CompileError> found;
    // The warnings come from this compile, so that a run compiles its script only once.
    WarningFinder warnings;
    const bool warn = !outputs.warningsName.empty();
    std::optional<Handout> handout;
    if (!outputs.handoutPath.empty()) handout.emplace();
    std::optional<StepTracker> tracker;
    FileWriter stepsFile;
    if (handout || !outputs.stepsPath.empty() || outputs.liveAtStep > 0) {
        tracker.emplace(StepOptions{handout.has_value(), outputs.liveAtStep});
        if (!outputs.stepsPath.empty() && !stepsFile.Open(outputs.stepsPath)) {
            std::fprintf(stderr, "zirkula: %s: cannot be written\n", outputs.stepsPath.c_str());
        }
        tracker->onStep = [&](const RunStep& step) {
            if (handout) handout->TakeStep(step);
            stepsFile.Write(StepLine(step));
        };
    }
    BothObservers observers{warn ? &warnings : nullptr, tracker ? &*tracker : nullptr};
    std::int32_t result = ParseScript(lines, table, found, names, &observers);
    if (warn) {
        for (const Warning& w : warnings.Finish(lines, names, result)) {
            ConsoleWriteError(WarningLine(outputs.warningsName, w));
        }
    }
    if (result != CompiledOk) {
        errors.codes.clear();
        errors.lines.clear();
        for (const CompileError& e : found) {
            errors.codes.push_back(e.code);
            errors.lines.push_back(e.line);
        }
        WriteRequestedFiles(result, errors, ClockMs(), outputs, names, nullptr);
        // A script that does not compile draws nothing: the vector files say so.
        WriteVectorFiles(outputs, handout ? &*handout : nullptr, nullptr, &lines);
        return result;
    }
    ClearWindowConsole();
    ObjectStore store = CreateObjectStore(names);
    const bool vectors =
        !outputs.svgPath.empty() || !outputs.pdfPath.empty() || !outputs.handoutPath.empty();
    VectorRecording(vectors);
    WatchRun(tracker ? &*tracker : nullptr);
    result = RunProgram(table, names, store);
    WatchRun(nullptr);
    // A window closed by the viewer ends the run at once, as a normal end without the logo.
    bool closed = CloseRequested();
    if (closed) result = 0;
    if (!outputs.stepsPath.empty() && !stepsFile.Close()) {
        std::fprintf(stderr, "zirkula: %s: cannot be written\n", outputs.stepsPath.c_str());
    }
    WriteRequestedFiles(result, errors, ClockMs(), outputs, names, &store);
    if (vectors) {
        WriteVectorFiles(outputs, handout ? &*handout : nullptr, tracker ? &*tracker : nullptr,
                         &lines);
        VectorRecording(false);
    }
    if (!closed) {
        ScreenInfo screen = ScreenQuery();
        ShowLogo(screen.width, screen.height);
    }
    return result;
}

std::int32_t ReportRunResult(std::int32_t result, const ErrorList& errors,
                             const std::string& directory) {
    std::string reportPath = directory + std::string(ReportFileName);
    ::unlink(reportPath.c_str());
    if (result == 0 || result == 255) return 0;

    if (result == FailedInPass1 || result == FailedInPass2) {
        std::vector<CompileError> found;
        for (std::size_t i = 0; i < std::min(errors.codes.size(), errors.lines.size()); ++i) {
            found.push_back({errors.codes[i], errors.lines[i]});
        }
        int pass = result == FailedInPass1 ? 1 : 2;
        ReportCompileErrors(CompileErrorHeadline(static_cast<int>(errors.codes.size()), pass),
                            found, reportPath, [](std::string_view line) { PrintLine(line); });
    } else {
        PrintLine(RunTimeErrorLine(result));
    }
    PrintLine(EnterPromptText);
    ReadAnswer();
    return result;
}

std::int32_t RunScriptFile(const std::string& path, ErrorList& errors, const RunOutputs& outputs) {
    ScriptText script;
    ReadScript(path, script);
    return RunScriptText(path, script, errors, outputs);
}

std::int32_t RunScriptText(const std::string& path, const ScriptText& script, ErrorList& errors,
                           const RunOutputs& outputs) {
    PathParts parts = SplitPath(path);
    // The title is program text; a path in UTF-8 is converted like the script's lines.
    std::string title = IsValidUtf8(path) ? Windows1252FromUtf8(path) : path;
    SetWindowTitle(title + TitleSuffix);
    RunOutputs carrying = outputs;
    std::string utf8;
    if (!outputs.pngPath.empty() || !outputs.svgPath.empty()) {
        utf8 = ScriptUtf8(script);
        carrying.script = utf8;
    }
    std::int32_t result = RunScript(ScriptLines::OfText(script.text), errors, carrying);
    return ReportRunResult(result, errors, parts.directory);
}

}  // namespace zir
