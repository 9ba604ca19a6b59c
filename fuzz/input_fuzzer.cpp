// The reader of viewer input files: any text gives events in time order or one error line.
#include <cstdlib>
#include <string_view>

#include "harness.h"
#include "platform/viewerinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<zir::ViewerEvent> events;
    std::string error;
    if (!zir::ParseViewerInput(text, "fuzz.input", events, error)) {
        if (error.empty() || error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    for (std::size_t i = 1; i < events.size(); ++i) {
        if (events[i].timeMs < events[i - 1].timeMs) std::abort();
    }
    return 0;
}
