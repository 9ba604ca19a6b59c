#include "platform/largememory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zir {
namespace {

// Requests on both sides of the threshold come back zeroed, writable to their last byte,
// and go back by the size they were made with.
TEST(LargeMemory, GivesZeroedMemoryOnBothSidesOfTheThreshold) {
    for (std::size_t bytes : {std::size_t{1}, LargeMemoryBytes - 1, LargeMemoryBytes,
                              LargeMemoryBytes + 1, std::size_t{5} << 20}) {
        LargeAllocator<std::uint8_t> allocator;
        std::uint8_t* memory = allocator.allocate(bytes);
        ASSERT_NE(memory, nullptr) << bytes;
        if (bytes >= LargeMemoryBytes) {
            EXPECT_EQ(memory[0], 0) << bytes;
            EXPECT_EQ(memory[bytes - 1], 0) << bytes;
        }
        memory[0] = 1;
        memory[bytes - 1] = 2;
        allocator.deallocate(memory, bytes);
    }
}

// A vector that grows across the threshold keeps its contents at each move.
TEST(LargeMemory, AVectorKeepsItsContentsWhileItGrowsAcrossTheThreshold) {
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> values;
    for (std::uint64_t i = 0; i < 600000; ++i) values.push_back(i * 7);
    for (std::uint64_t i = 0; i < 600000; i += 997) ASSERT_EQ(values[i], i * 7);
    auto copy = values;
    values.clear();
    values.shrink_to_fit();
    EXPECT_EQ(copy[599999], 599999u * 7);
}

}  // namespace
}  // namespace zir
