// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "search/ContentCompare.h"
#include "search/ProofCache.h"
#include "search/SearchState.h"

#include <cstdint>
#include <span>
#include <vector>

namespace trevalo {

// What comparing one run taught, for the proof cache.
struct RunLearning {
    std::vector<LearntFile> learnt; // tags > 0 count from 1 within the run
    std::int64_t tags = 0;          // the largest tag used
    std::int64_t proven = 0;        // files of the run whose bytes the proofs spared reading
};

// Groups the run table[first..last] exactly as groupIdenticalFiles does, using what earlier
// searches proved of its files (known, one per file of the run, looked up by their identities
// of this search; empty when nothing is known of any): files known to be identical are compared as
// one, and a file with a chunk digest that differs from one of every other file of the run is in no
// group without being read. Whatever the proofs, the groups (and their keys) are those a comparison
// of every file would make. What the comparison learnt goes to `learning`: entries of files that
// are ProofCache::settled at `now` only. False when the run was cancelled (and abandoned whole).
bool groupWithProofs(FileTable& table, TableIndex first, TableIndex last,
                     std::span<const KnownFile> known, const CompareControl& control,
                     const ProofCache& cache, std::int64_t now, RunLearning& learning);

} // namespace trevalo
