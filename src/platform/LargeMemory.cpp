// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/LargeMemory.h"

#include <cstdint>
#include <limits>
#include <sys/mman.h>

namespace trevalo {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundedUp(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

} // namespace

void* mapLargeMemory(std::size_t bytes) {
    if (bytes > std::numeric_limits<std::size_t>::max() / 2) // no room to round it up
        return nullptr;
    const std::size_t size = roundedUp(bytes);
    // Mapped a huge page larger and trimmed, so that it starts on a huge page's boundary.
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const std::uintptr_t end = start + size + kHugePage; end > aligned + size)
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    void* memory = reinterpret_cast<void*>(aligned);
    ::madvise(memory, size, MADV_HUGEPAGE); // a hint: without huge pages it works as well
    return memory;
}

void unmapLargeMemory(void* memory, std::size_t bytes) {
    ::munmap(memory, roundedUp(bytes));
}

} // namespace trevalo
