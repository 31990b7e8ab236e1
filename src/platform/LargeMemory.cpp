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
    // Cut down to [aligned, aligned + size): what lies before and after goes back.
    auto* const start = static_cast<char*>(mapped);
    const std::size_t before =
        (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
    char* const aligned = start + before;
    if (before > 0)
        ::munmap(start, before);
    if (const std::size_t after = kHugePage - before; after > 0)
        ::munmap(aligned + size, after);
    void* memory = aligned;
    ::madvise(memory, size, MADV_HUGEPAGE); // a hint: without huge pages it works as well
    return memory;
}

void unmapLargeMemory(void* memory, std::size_t bytes) {
    ::munmap(memory, roundedUp(bytes));
}

} // namespace trevalo
