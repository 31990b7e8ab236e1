// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

namespace trevalo {

// A 64-bit finaliser (splitmix64's): every input bit moves about half the output bits. It
// spreads keys that differ in a few low bits (table positions) over a hash table, and keeps
// apart what a sum of mixed values adds up.
constexpr std::uint64_t mixBits(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace trevalo
