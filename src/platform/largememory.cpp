#include "platform/largememory.h"

#include <sys/mman.h>

#include <cstdint>

namespace zir {
namespace {

constexpr std::size_t HugePageBytes = std::size_t{2} << 20;

// Whole huge pages, so that the end of the mapping can be one too.
std::size_t MappedBytes(std::size_t bytes) {
    return (bytes + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    const std::size_t size = MappedBytes(bytes);
    if (size < bytes) return nullptr;
    // A huge page must lie on a boundary of its size: map one more and cut the ends off.
    const std::size_t spare = size + HugePageBytes;
    void* mapped =
        ::mmap(nullptr, spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + HugePageBytes - 1) & ~(HugePageBytes - 1);
    if (aligned > start) ::munmap(mapped, aligned - start);
    const std::uintptr_t end = start + spare;
    if (end > aligned + size)
        ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
    void* memory = reinterpret_cast<void*>(aligned);
    // Only advice: where the system grants no huge pages the memory still works page by page.
    ::madvise(memory, size, MADV_HUGEPAGE);
    return memory;
}

void FreeLarge(void* memory, std::size_t bytes) {
    if (memory) ::munmap(memory, MappedBytes(bytes));
}

}  // namespace zir
