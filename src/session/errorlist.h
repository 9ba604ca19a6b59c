// The two parallel lists a run reports its errors in: code words and line numbers.
#pragma once

#include <cstdint>
#include <vector>

namespace zir {

struct ErrorList {
    // One entry each before a run, as the start-up code makes them; after a failed compile
    // exactly one entry per error, in the order found.
    std::vector<std::int32_t> codes{0};
    std::vector<std::int32_t> lines{0};
};

}  // namespace zir
