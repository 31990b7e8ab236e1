// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/ProvenRun.h"

#include <algorithm>
#include <bit>
#include <tuple>

namespace trevalo {

namespace {

// Files of a run known to be identical (one file, or a group an earlier search proved).
struct Unit {
    std::int32_t first = 0; // its first member, by position in the run
    std::int32_t count = 0; // its members
    ReadDigests digests;    // of all members: they are identical
    bool compared = false;
};

struct Units {
    std::vector<Unit> units;      // in the order of their first members
    std::vector<std::int32_t> of; // each member's unit
};

// A unit's first chunk's digest, beside it for sorting.
struct HeadOfUnit {
    std::uint64_t low;
    std::uint64_t high;
    std::size_t unit;
};

// What groupWithProofs works in, kept by each comparing thread from one run to the next: a
// second search goes through ten thousand runs a second, and a dozen arrays made afresh for
// each were a good part of its work.
struct Scratch {
    std::vector<KnownFile> none;
    std::vector<ReadDigests> digests;
    std::vector<std::pair<std::int64_t, std::int32_t>> byProof;
    Units all;
    std::vector<HeadOfUnit> order;
    std::vector<HeadOfUnit> spare;
    std::vector<std::uint32_t> buckets;
    std::vector<EntryGroup> cls;
    std::vector<EntryGroup> classOfUnit;
    std::vector<std::pair<TableIndex, std::int64_t>> keyAndCount;
    std::vector<std::int64_t> proofOfGroup;
    std::vector<std::int64_t> tagOfGroup;
    std::vector<std::uint8_t> kept;
};

Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

void unitsOf(std::span<const KnownFile> known, Scratch& s) {
    const auto n = static_cast<std::int32_t>(known.size());
    // The members of each earlier proof together (by proof, then position), so that each
    // member knows the first member of its proof: its leader.
    auto& byProof = s.byProof;
    byProof.clear();
    for (std::int32_t m = 0; m < n; ++m) {
        const KnownFile& k = known[static_cast<std::size_t>(m)];
        if (k.found() && k.proof != 0)
            byProof.emplace_back(k.proof, m);
    }
    std::sort(byProof.begin(), byProof.end());
    Units& all = s.all;
    all.units.clear();
    std::vector<std::int32_t>& of = all.of; // a member's leader until it is placed in a unit
    of.resize(known.size());
    for (std::int32_t m = 0; m < n; ++m)
        of[static_cast<std::size_t>(m)] = m;
    for (std::size_t i = 1; i < byProof.size(); ++i)
        if (byProof[i].first == byProof[i - 1].first)
            of[static_cast<std::size_t>(byProof[i].second)] =
                of[static_cast<std::size_t>(byProof[i - 1].second)];
    all.units.reserve(known.size());
    for (std::int32_t m = 0; m < n; ++m) {
        const KnownFile& k = known[static_cast<std::size_t>(m)];
        const std::int32_t lead = of[static_cast<std::size_t>(m)];
        if (lead != m) { // the leader, earlier, is in its unit already
            const std::int32_t u = of[static_cast<std::size_t>(lead)];
            of[static_cast<std::size_t>(m)] = u;
            Unit& unit = all.units[static_cast<std::size_t>(u)];
            ++unit.count;
            unit.digests.merge(k.digests);
            continue;
        }
        of[static_cast<std::size_t>(m)] = static_cast<std::int32_t>(all.units.size());
        all.units.push_back(Unit{m, 1, k.found() ? k.digests : ReadDigests{}, false});
    }
}

// Sorts heads by digest. Digests are spread evenly, so they are first put in buckets by their
// top bits, about one head a bucket, and each bucket is then sorted apart: for the ten thousand
// units of a run of small files that costs a seventh of one sort of them all.
void sortByHead(std::vector<HeadOfUnit>& order, std::vector<HeadOfUnit>& spare,
                std::vector<std::uint32_t>& buckets) {
    const auto less = [](const HeadOfUnit& a, const HeadOfUnit& b) {
        return a.low != b.low ? a.low < b.low : a.high < b.high;
    };
    constexpr std::size_t kBucketedFrom = 256;
    if (order.size() < kBucketedFrom) {
        std::sort(order.begin(), order.end(), less);
        return;
    }
    const int bits = static_cast<int>(std::min<std::size_t>(std::bit_width(order.size()) - 1, 16));
    const int shift = 64 - bits;
    buckets.assign((std::size_t{1} << bits) + 1, 0);
    for (const HeadOfUnit& h : order)
        ++buckets[(h.low >> shift) + 1];
    for (std::size_t b = 1; b < buckets.size(); ++b)
        buckets[b] += buckets[b - 1];
    spare.resize(order.size());
    for (const HeadOfUnit& h : order)
        spare[buckets[h.low >> shift]++] = h; // bucket b now ends where b + 1 began
    order.swap(spare);
    std::uint32_t begin = 0;
    for (std::size_t b = 0; b + 1 < buckets.size(); ++b) {
        const std::uint32_t end = buckets[b];
        if (end - begin > 1)
            std::sort(order.begin() + begin, order.begin() + end, less);
        begin = end;
    }
}

// Marks the units that must be compared: those that some other unit may equal (no digest of
// one chunk tells them apart). The others are alone in their run. Returns how many are marked.
std::size_t markCompared(std::vector<Unit>& units, Scratch& s) {
    std::vector<HeadOfUnit>& order = s.order;
    // Units are told apart by their first chunks first; only those that share one (or do not
    // know it) are looked at pair by pair, up to a number of them.
    constexpr std::size_t kMostPairwise = 64;
    std::size_t unknown = 0;
    for (const Unit& u : units)
        unknown += u.digests.hasHead ? 0 : 1;
    if (unknown > 0) {
        for (Unit& u : units)
            u.compared = units.size() > 1;
        return units.size() > 1 ? units.size() : 0;
    }
    // Sorted with the heads beside the units (a run of a hundred thousand files sorted through
    // its units cost a cache miss at each comparison).
    order.resize(units.size());
    for (std::size_t u = 0; u < units.size(); ++u)
        order[u] = {units[u].digests.head.low, units[u].digests.head.high, u};
    const auto sameHead = [](const HeadOfUnit& a, const HeadOfUnit& b) {
        return a.low == b.low && a.high == b.high;
    };
    sortByHead(order, s.spare, s.buckets);
    std::size_t compared = 0;
    for (std::size_t a = 0; a < order.size();) {
        std::size_t b = a + 1;
        while (b < order.size() && sameHead(order[b], order[a]))
            ++b;
        for (std::size_t i = a; i < b; ++i) {
            Unit& u = units[order[i].unit];
            if (b - a > kMostPairwise) {
                u.compared = true;
                continue;
            }
            for (std::size_t j = a; j < b && !u.compared; ++j)
                u.compared = j != i && !u.digests.differsFrom(units[order[j].unit].digests);
        }
        for (std::size_t i = a; i < b; ++i)
            compared += units[order[i].unit].compared ? 1 : 0;
        a = b;
    }
    return compared;
}

// Sets each entry's group from a class per member (members of one class are identical, -1 for
// none and GroupMark::Unreadable as it is; the others below `classes`): the key of a class of
// two or more is its smallest table index.
void settleClasses(FileTable& table, TableIndex first, const std::vector<EntryGroup>& cls,
                   std::size_t classes,
                   std::vector<std::pair<TableIndex, std::int64_t>>& keyAndCount) {
    keyAndCount.assign(classes, {0, 0});
    for (std::size_t m = 0; m < cls.size(); ++m) {
        if (cls[m] < 0)
            continue;
        auto& [key, count] = keyAndCount.at(static_cast<std::size_t>(cls[m]));
        if (count++ == 0)
            key = first + static_cast<TableIndex>(m);
    }
    for (std::size_t m = 0; m < cls.size(); ++m) {
        FileEntry& e = table[static_cast<std::size_t>(first) + m];
        if (cls[m] == GroupMark::Unreadable)
            continue; // set with its reason already
        if (cls[m] < 0) {
            e.group = GroupMark::None;
            continue;
        }
        const auto& [key, count] = keyAndCount[static_cast<std::size_t>(cls[m])];
        e.group = count > 1 ? key : GroupMark::None;
    }
}

// What the run's groups, as they stand in the table, add to what was known of its files (the
// digests read go to the lessons: `digests` is left without them).
void learn(const FileTable& table, TableIndex first, std::span<const KnownFile> known,
           std::vector<ReadDigests>& digests, const ProofCache& cache, std::int64_t now,
           RunLearning& learning, Scratch& s) {
    const auto n = static_cast<std::int32_t>(known.size());
    const auto entry = [&](std::int32_t m) -> const FileEntry& {
        return table[static_cast<std::size_t>(first + m)];
    };
    // A group is keyed by its first member's table index: what is gathered of each group lies
    // at that member's place. A run whose keys are not so teaches nothing.
    for (std::int32_t m = 0; m < n; ++m)
        if (entry(m).group >= 0 && (entry(m).group < first || entry(m).group - first >= n))
            return;
    const auto slotOf = [&](EntryGroup key) { return static_cast<std::size_t>(key - first); };
    // Groups whose members all carry one proof already need no new one.
    constexpr std::int64_t kNoMember = -1;
    std::vector<std::int64_t>& proofOfGroup = s.proofOfGroup; // or 0 when mixed
    proofOfGroup.assign(known.size(), kNoMember);
    for (std::int32_t m = 0; m < n; ++m) {
        const EntryGroup key = entry(m).group;
        if (key < 0)
            continue;
        const KnownFile& k = known[static_cast<std::size_t>(m)];
        const std::int64_t proof = k.found() ? k.proof : 0;
        std::int64_t& p = proofOfGroup[slotOf(key)];
        p = p == kNoMember || p == proof ? proof : 0;
    }
    // Which files teach something, counted first: the lessons of all runs wait for the end of
    // the search, each in an array of its exact size.
    enum Kept : std::uint8_t { None, InNewGroup, Alone };
    std::vector<std::uint8_t>& kept = s.kept;
    kept.assign(known.size(), None);
    std::size_t count = 0;
    for (std::int32_t m = 0; m < n; ++m) {
        const FileEntry& e = entry(m);
        const KnownFile& k = known[static_cast<std::size_t>(m)];
        if (e.group == GroupMark::Unreadable || !cache.settled(e.stamp, now))
            continue;
        if (e.group >= 0 && proofOfGroup[slotOf(e.group)] == 0)
            kept[static_cast<std::size_t>(m)] = InNewGroup;
        else if (!k.found() || digests[static_cast<std::size_t>(m)].adds(k.digests))
            kept[static_cast<std::size_t>(m)] = Alone;
        count += kept[static_cast<std::size_t>(m)] != None ? 1 : 0;
    }
    learning.learnt.reserve(learning.learnt.size() + count);
    std::vector<std::int64_t>& tagOfGroup = s.tagOfGroup; // 0: none yet
    tagOfGroup.assign(known.size(), 0);
    for (std::int32_t m = 0; m < n; ++m) {
        const FileEntry& e = entry(m);
        const KnownFile& k = known[static_cast<std::size_t>(m)];
        ReadDigests& read = digests[static_cast<std::size_t>(m)];
        if (kept[static_cast<std::size_t>(m)] == InNewGroup) {
            std::int64_t& tag = tagOfGroup[slotOf(e.group)];
            if (tag == 0)
                tag = ++learning.tags;
            learning.learnt.push_back(LearntFile{&e.stamp, std::move(read), tag});
        } else if (kept[static_cast<std::size_t>(m)] == Alone) {
            ReadDigests all = std::move(read);
            if (k.found())
                all.merge(k.digests);
            learning.learnt.push_back(
                LearntFile{&e.stamp, std::move(all), k.found() ? -k.proof : 0});
        }
    }
}

// The thread's scratch, ready for a run of n files: what is known of them (`known`, or nothing
// of each when it is empty), an empty record of digests for each, and their units (none when
// nothing is known: each file is a unit of its own, and all are compared).
Scratch& scratchFor(std::span<const KnownFile>& known, std::size_t n) {
    Scratch& s = scratch();
    s.digests.assign(n, ReadDigests{});
    if (known.empty()) {
        s.none.assign(n, KnownFile{});
        known = s.none;
        s.all.units.clear();
    } else {
        unitsOf(known, s);
    }
    return s;
}

} // namespace

bool groupWithProofs(FileTable& table, TableIndex first, TableIndex last,
                     std::span<const KnownFile> known, const CompareControl& control,
                     const ProofCache& cache, std::int64_t now, RunLearning& learning) {
    const auto n = static_cast<std::size_t>(last - first + 1);
    const bool nothingKnown = known.empty();
    Scratch& s = scratchFor(known, n);
    std::vector<ReadDigests>& digests = s.digests;
    std::vector<Unit>& units = s.all.units;
    CompareControl withDigests = control;

    // Nothing known that spares a read: the run is compared as it stands.
    const auto compareAll = [&] {
        withDigests.digests = digests.data();
        if (!groupIdenticalFiles(table, first, last, withDigests))
            return false;
        learn(table, first, known, digests, cache, now, learning, s);
        return true;
    };
    if (nothingKnown)
        return compareAll();
    const std::size_t compared = markCompared(units, s);
    if (compared == units.size() && units.size() == n)
        return compareAll();

    // One file of each unit to compare, in run order, in a table of their own.
    FileTable reps;
    std::vector<std::size_t> unitOfRep;
    for (std::size_t u = 0; u < units.size(); ++u) {
        if (!units[u].compared)
            continue;
        reps.push_back(table[static_cast<std::size_t>(first + units[u].first)]);
        unitOfRep.push_back(u);
    }
    std::vector<ReadDigests> repDigests(reps.size());
    if (!reps.empty()) {
        withDigests.digests = repDigests.data();
        if (!groupIdenticalFiles(reps, 0, static_cast<TableIndex>(reps.size()) - 1, withDigests)) {
            for (std::size_t m = 0; m < n; ++m)
                table[static_cast<std::size_t>(first) + m].group = GroupMark::None;
            return false;
        }
    }
    // A file of a proven group that cannot be read now throws doubt on its group: the run is
    // compared whole, as without proofs.
    for (std::size_t r = 0; r < reps.size(); ++r)
        if (reps[r].group == GroupMark::Unreadable && units[unitOfRep[r]].count > 1)
            return compareAll();

    // Classes: a compared unit joins the class of its comparison group (keyed by the
    // group's first representative), any other unit is a class of its own.
    std::vector<EntryGroup>& cls = s.cls;
    cls.assign(n, GroupMark::None);
    std::vector<EntryGroup>& classOfUnit = s.classOfUnit;
    classOfUnit.resize(units.size());
    for (std::size_t u = 0; u < units.size(); ++u)
        classOfUnit[u] = static_cast<EntryGroup>(n + u);
    for (std::size_t r = 0; r < reps.size(); ++r) {
        const std::size_t u = unitOfRep[r];
        const FileEntry& rep = reps[r];
        const std::int32_t m = units[u].first;
        if (rep.group >= 0)
            classOfUnit[u] = rep.group;
        if (rep.group == GroupMark::Unreadable) {
            FileEntry& e = table[static_cast<std::size_t>(first + m)];
            e.group = GroupMark::Unreadable;
            e.reason = rep.reason;
            classOfUnit[u] = GroupMark::Unreadable;
        }
        units[u].digests.merge(repDigests[r]);
        learning.proven += units[u].count - 1;
    }
    for (const Unit& unit : units)
        if (!unit.compared)
            learning.proven += unit.count;
    for (std::size_t m = 0; m < n; ++m) {
        const auto u = static_cast<std::size_t>(s.all.of[m]);
        cls[m] = classOfUnit[u];
        digests[m] = units[u].digests;
    }
    settleClasses(table, first, cls, n + units.size(), s.keyAndCount);
    learn(table, first, known, digests, cache, now, learning, s);
    return true;
}

} // namespace trevalo
