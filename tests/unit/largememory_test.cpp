#include "platform/largememory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "picture_check.h"
#include "platform/files.h"

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

// Freeing a large block leaves nothing of it mapped, not even the spare mapping that put it
// on a huge-page boundary: msync fails with ENOMEM wherever no mapping is.
TEST(LargeMemory, LeavesNothingMappedWhenFreed) {
    const std::size_t bytes = std::size_t{5} << 20, page = 4096;
    auto* memory = static_cast<char*>(AllocateLarge(bytes));
    ASSERT_NE(memory, nullptr);
    FreeLarge(memory, bytes);
    // The block rounded up to whole huge pages, and the first page after it, which the spare
    // mapping always covers.
    for (std::size_t offset = 0; offset <= (std::size_t{6} << 20); offset += page) {
        errno = 0;
        ASSERT_EQ(::msync(memory + offset, page, MS_ASYNC), -1) << offset;
        ASSERT_EQ(errno, ENOMEM) << offset;
    }
}

// Files on both sides of the threshold are read whole, one after the other into one holder.
TEST(FileBytes, LargeAndSmallFilesAreReadWholeAndADirectoryNotAtAll) {
    FileBytes file;
    for (std::size_t size : {LargeMemoryBytes * 3 + 5, std::size_t{7}, LargeMemoryBytes}) {
        std::string bytes(size, 'x');
        for (std::size_t i = 0; i < size; i += 4093) bytes[i] = static_cast<char>(i / 4093);
        const std::string path = test::OutputPath("filebytes.bin");
        std::ofstream(path, std::ios::binary) << bytes;
        ASSERT_TRUE(file.Load(path)) << size;
        EXPECT_TRUE(file.Bytes() == bytes) << size;
        EXPECT_EQ(file.LoadError(), 0);
    }
    EXPECT_FALSE(file.Load(std::filesystem::temp_directory_path().string()));
    EXPECT_EQ(file.LoadError(), EISDIR);
    EXPECT_TRUE(file.Bytes().empty());
}

}  // namespace
}  // namespace zir
