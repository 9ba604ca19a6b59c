// Memory for large tables that are filled once and then read. Each is mapped apart from the
// heap and asks the system for huge pages: on a virtual machine the first touch of every
// fresh 4 KB page costs microseconds, which for a table of megabytes outweighs filling it.
#pragma once

#include <cstddef>
#include <new>

namespace zir {

// From this size on, memory is mapped apart; smaller requests come from the heap.
inline constexpr std::size_t LargeMemoryBytes = std::size_t{1} << 20;

// bytes of fresh zeroed memory, or null when there is none. Free it with FreeLarge and the
// same size.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* memory, std::size_t bytes);

// A standard allocator that takes large requests from AllocateLarge.
template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < LargeMemoryBytes) return static_cast<T*>(::operator new(bytes));
        void* memory = AllocateLarge(bytes);
        if (!memory) throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < LargeMemoryBytes) {
            ::operator delete(p);
        } else {
            FreeLarge(p, bytes);
        }
    }

    template <typename U>
    bool operator==(const LargeAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace zir
