// SPDX-License-Identifier: GPL-2.0-or-later
// Arrays of several megabytes mapped apart: they hold what is put in them across growing,
// shrinking and moving between the heap and their own mappings.
#include "platform/LargeMemory.h"

#include <QtTest>

#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

using namespace trevalo;

class LargeMemoryTest : public QObject {
    Q_OBJECT

private slots:
    void arraysKeepTheirContentsAcrossTheThreshold() {
        using Big = std::vector<std::uint64_t, LargeAllocator<std::uint64_t>>;
        constexpr std::size_t kAtThreshold = kLargeMemoryFrom / sizeof(std::uint64_t);
        const auto holdsCount = [](const Big& v) {
            for (std::size_t i = 0; i < v.size(); ++i)
                if (v[i] != i)
                    return false;
            return true;
        };
        Big v(1000);
        std::iota(v.begin(), v.end(), 0u);
        // Grown one by one from the heap into a mapping, and on through several mappings: each
        // reallocation copies what the old array held before it goes.
        for (std::size_t i = v.size(); i < 3 * kAtThreshold + 7; ++i)
            v.push_back(i);
        QVERIFY(holdsCount(v));
        QCOMPARE(reinterpret_cast<std::uintptr_t>(v.data()) % (std::uintptr_t{2} << 20), 0u);
        // An odd size (not a whole number of huge pages) is written to its last element.
        v.resize(kAtThreshold + 12345);
        v.shrink_to_fit();
        v.back() = v.size() - 1;
        QVERIFY(holdsCount(v));
        // Back under the threshold: to the heap again.
        v.resize(10);
        v.shrink_to_fit();
        QVERIFY(holdsCount(v));
        // Moved and swapped arrays go with their memory.
        Big w(2 * kAtThreshold);
        std::iota(w.begin(), w.end(), 0u);
        Big moved = std::move(w);
        moved.swap(v);
        QCOMPARE(moved.size(), std::size_t{10});
        QCOMPARE(v.size(), 2 * kAtThreshold);
        QVERIFY(holdsCount(v) && holdsCount(moved));
    }

    // A size too large to map is refused, not wrapped around to a small mapping.
    void sizesBeyondMemoryAreRefused() {
        LargeAllocator<char> chars;
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc,
                                 chars.allocate(std::numeric_limits<std::size_t>::max() - 100));
        LargeAllocator<std::uint64_t> words;
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc,
                                 words.allocate(std::numeric_limits<std::size_t>::max() / 4));
    }
};

QTEST_GUILESS_MAIN(LargeMemoryTest)
#include "test_large_memory.moc"
