// The compiler through its exported interface, over arbitrary bytes split into lines: it must
// report errors, never crash, and leave the caller's lists in the state its memory rules say.
// The warnings of the same lines name lines of the script.
#include <cstdlib>

#include "frontend/warnings.h"
#include "harness.h"
#include "zirkula.h"

namespace {

void FreeStrings(ZirStringList& list) {
    for (int32_t k = 0; k < list.count; ++k) std::free(list.items[k]);
    std::free(list.items);
    list = {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines = zir::fuzz::SplitLines(data, size);
    std::vector<char*> pointers;
    pointers.reserve(lines.size());
    for (std::string& line : lines) pointers.push_back(line.data());
    const ZirStringList script{pointers.data(), static_cast<int32_t>(pointers.size())};

    ZirInstructionTable program{};
    ZirIntList errorCodes{}, errorLines{}, counts{};
    ZirNameTable names{};
    const int32_t result =
        ZIRS_PARSESCRIPT(&script, &program, &errorCodes, &errorLines, &names, &counts);
    // A failed compile names every error with a line inside the script.
    if (result != 0) {
        if (errorCodes.count != errorLines.count || errorCodes.count == 0) std::abort();
        for (int32_t k = 0; k < errorLines.count; ++k) {
            if (errorLines.items[k] < 0 || errorLines.items[k] > script.count) std::abort();
        }
    }
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    for (const zir::Warning& w : zir::FindWarnings(views)) {
        if (w.line < 1 || w.line > script.count) std::abort();
    }
    std::free(program.words);
    std::free(program.starts);
    std::free(errorCodes.items);
    std::free(errorLines.items);
    std::free(counts.items);
    for (ZirStringList& row : names.rows) FreeStrings(row);
    return 0;
}
