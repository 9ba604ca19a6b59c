// The run cycle: reading a script file, compiling and running it, the closing logo, and
// what is printed and removed afterwards. The exported ZIR_INIT, ZIRS_RUNSCRIPTFILE and
// ZIRS_RUNSCRIPT are thin wrappers of these.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/scriptlines.h"
#include "platform/files.h"
#include "platform/picturescript.h"
#include "session/errorlist.h"

namespace zir {

// Files the command line asks for at the end of a run; empty paths for none.
struct RunOutputs {
    std::string pngPath;   // the screen when the run ends, before the closing logo
    std::string dumpPath;  // the result, the errors and the objects as JSON
    std::string svgPath;   // the drawing area when the run ends, as SVG
    std::string pdfPath;   // the same as a PDF page
    // A picture after every paced step, six to a page, as a PDF; the run is then one without
    // a viewer, whose pauses go on at once and whose interactions end after their first
    // picture.
    std::string handoutPath;
    // Each step the viewer is shown, a line each (StepLine); the steps are also announced to
    // the window (AnnounceStep).
    std::string stepsPath = {};
    // A replay (PlatformOptions::replay) goes live when this step is shown; 0 for none.
    int liveAtStep = 0;
    // When not empty, the script's warnings are printed on standard error after the compile,
    // before the run, each as "NAME:LINE: Warnung: TEXT" with this name.
    std::string warningsName = {};
    // The script as UTF-8, which the PNG and SVG pictures carry; none when empty.
    std::string_view script = {};
};

struct PathParts {
    std::string directory;  // up to and including the last '/' or '\', or empty
    std::string fileName;
};

// Splits at the last '/' or '\'. A path without one, or whose only one is its first
// character, has an empty directory part and is all file name.
PathParts SplitPath(std::string_view path);

// A script file's text, whose lines ScriptLines::OfText walks. A leading UTF-8 byte-order
// mark is dropped, and a file that is valid UTF-8 with characters beyond ASCII is converted
// to Windows-1252 ('?' where a character has no place there) and held as its converted text;
// any other file is used where it lies, without a copy. A PNG or SVG picture stands for the
// script it carries, which is read as such a file would be.
struct ScriptText {
    FileBytes file;
    PictureScript picture;
    std::string converted;
    std::string_view text;
};
// Fills script in place: its text points into its own storage, so it must not move
// afterwards. False, with an empty text, when the file cannot be read (script.file's
// LoadError says why) or is a picture without a script it can read (script.picture says why).
bool ReadScript(const std::string& path, ScriptText& script);
// The script as the pictures carry it: UTF-8, without a byte-order mark; a file that is not
// UTF-8 is read as Windows-1252.
std::string ScriptUtf8(const ScriptText& script);

// Resets the run-time settings; on the first call also locates the icon and the logo and
// fills the message tables (each built-in font is loaded when first drawn with). Always 0.
std::int32_t ZirInit();

// Compiles and runs script lines and shows the closing logo. Returns the run result: 0 or
// 255 after a run, -1 or -2 after a failed compile pass, else a run-time error (subroutine
// number in bits 16 to 31, the code word below). When the viewer closes the window the run
// ends with 0 and without the logo.
std::int32_t RunScript(const std::vector<std::string>& lines, ErrorList& errors,
                       const RunOutputs& outputs = {});
std::int32_t RunScript(std::span<const std::string_view> lines, ErrorList& errors,
                       const RunOutputs& outputs = {});
std::int32_t RunScript(const ScriptLines& lines, ErrorList& errors, const RunOutputs& outputs = {});

// Runs a script file: reads it, sets the window title, runs it, then reports as
// ReportRunResult does. Returns 0 after a run that ended normally, else the run result. A
// file that cannot be read runs as a script without lines.
std::int32_t RunScriptFile(const std::string& path, ErrorList& errors,
                           const RunOutputs& outputs = {});
// The same for a script already read from path.
std::int32_t RunScriptText(const std::string& path, const ScriptText& script, ErrorList& errors,
                           const RunOutputs& outputs = {});

// After a run: deletes an old "Zir-Fehler.txt" in the script's directory, then for a
// failed compile prints and writes the error report, for a run-time error prints the line
// naming the subroutine and the message, and in both cases waits for Enter. Returns 0 for
// the results 0 and 255, else the result.
std::int32_t ReportRunResult(std::int32_t result, const ErrorList& errors,
                             const std::string& directory);

}  // namespace zir
