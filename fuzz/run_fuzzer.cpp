// The whole run of an arbitrary script, headless on the virtual clock, with a small budget
// of statements and virtual and real time so that every input ends quickly. A line "---"
// divides the script from the viewer's input (the input file's format), so that drags,
// menus and the pause controls are reached too; input that does not parse is left out.
#include <fcntl.h>

#include <string_view>

#include "harness.h"
#include "platform/platform.h"
#include "session/runcycle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // What the run prints goes nowhere: the fuzzer's output stays readable.
    static const int quiet = open("/dev/null", O_WRONLY);
    zir::PlatformOptions options;
    options.backend = zir::BackendKind::Headless;
    options.consoleInFd = -1;
    options.consoleOutFd = quiet;
    options.maxVirtualMs = 10 * 60 * 1000;
    options.maxStatements = 20'000;
    options.maxRealMs = 300;
    // Every screen costs a few images of its size; under the sanitizers one of the largest
    // takes most of a second to make, which says nothing about the script.
    options.maxScreenSide = 1024;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view Divider = "\n---\n";
    const std::size_t divider = text.find(Divider);
    std::size_t scriptSize = size;
    if (divider != std::string_view::npos) {
        scriptSize = divider;
        options.inputText = std::string(text.substr(divider + Divider.size()));
    }
    std::string message;
    if (zir::PlatformStart(options, message) != zir::PlatformError::None) {
        options.inputText.clear();
        if (zir::PlatformStart(options, message) != zir::PlatformError::None) return 0;
    }
    zir::ZirInit();
    zir::ErrorList errors;
    zir::RunScript(zir::fuzz::SplitLines(data, scriptSize), errors);
    zir::PlatformStop();
    return 0;
}
