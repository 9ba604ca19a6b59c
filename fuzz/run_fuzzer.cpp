// The whole run of an arbitrary script, headless on the virtual clock, with a small budget
// of statements and virtual time so that every input ends quickly.
#include <fcntl.h>

#include "driver/runcycle.h"
#include "harness.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // What the run prints goes nowhere: the fuzzer's output stays readable.
    static const int quiet = open("/dev/null", O_WRONLY);
    zir::PlatformOptions options;
    options.backend = zir::BackendKind::Headless;
    options.consoleInFd = -1;
    options.consoleOutFd = quiet;
    options.maxVirtualMs = 10 * 60 * 1000;
    options.maxStatements = 20'000;
    std::string message;
    if (zir::PlatformStart(options, message) != zir::PlatformError::None) return 0;
    zir::ZirInit();
    zir::ErrorList errors;
    zir::RunScript(zir::fuzz::SplitLines(data, size), errors);
    zir::PlatformStop();
    return 0;
}
