// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace trevalo {

// Memory for arrays of several megabytes (a search's table of files, its lookup in the proof
// cache): mapped on its own and, where the system allows, in huge pages, so that its first touch
// costs one page fault per 2 MB rather than one per 4 KB (on a million files, tens of thousands of
// faults of some microseconds each). Null when the system has no memory to give.
void* mapLargeMemory(std::size_t bytes);
void unmapLargeMemory(void* memory, std::size_t bytes);

// Arrays from this size on are mapped apart.
constexpr std::size_t kLargeMemoryFrom = std::size_t{4} << 20;

// An allocator for std::vector that maps arrays of kLargeMemoryFrom bytes or more apart and
// leaves smaller ones to the heap.
template <typename T> struct LargeAllocator {
    using value_type = T; // NOLINT(readability-identifier-naming): as allocators name it
    LargeAllocator() = default;
    template <typename U> explicit LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / kItemBytes)
            throw std::bad_array_new_length();
        const std::size_t bytes = n * kItemBytes;
        if (bytes < kLargeMemoryFrom)
            return std::allocator<T>().allocate(n);
        void* memory = mapLargeMemory(bytes);
        if (!memory)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * kItemBytes;
        if (bytes < kLargeMemoryFrom)
            std::allocator<T>().deallocate(p, n);
        else
            unmapLargeMemory(p, bytes);
    }
    // T may be a pointer: its size is meant.
    static constexpr std::size_t kItemBytes = sizeof(T); // NOLINT(bugprone-sizeof-expression)

    template <typename U> bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

} // namespace trevalo
