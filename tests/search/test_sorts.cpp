// SPDX-License-Identifier: GPL-2.0-or-later
// The two table sorts: the order they leave equal keys in decides which entry leads a group,
// so they are checked against worked tables and against the partition steps written out
// literally.
#include "platform/ByteText.h"
#include "search/Sorts.h"

#include <QtTest>
#include <random>

using namespace trevalo;

namespace {

FileTable tableOf(const std::vector<std::pair<std::string, std::int64_t>>& entries) {
    FileTable t;
    std::int64_t k = 0;
    for (const auto& [path, size] : entries)
        t.push_back(FileEntry{path, size, 100 + k++, 0, false});
    return t;
}

std::vector<std::string> pathsOf(const FileTable& t) {
    std::vector<std::string> out;
    for (const auto& e : t)
        out.push_back(e.path.str());
    return out;
}

// The partition steps exactly as they read, recursion and all.
template <typename Less>
void literalSort(FileTable& t, std::int64_t L, std::int64_t r, const Less& less) {
    std::int64_t i = L, j = r;
    const std::int64_t m = middleIndex(L, r);
    const FileEntry x = t[m];
    while (i <= j) {
        while (less(t[i], x) && i < r)
            ++i;
        while (less(x, t[j]) && j > L)
            --j;
        if (i <= j) {
            std::swap(t[i].path, t[j].path);
            std::swap(t[i].size, t[j].size);
            ++i;
            --j;
        }
    }
    if (L < j)
        literalSort(t, L, j, less);
    if (i < r)
        literalSort(t, i, r, less);
}

bool bySize(const FileEntry& a, const FileEntry& b) {
    return a.size < b.size;
}
bool byName(const FileEntry& a, const FileEntry& b) {
    return compareNoCase(a.name(), b.name()) < 0;
}

} // namespace

class SortsTest : public QObject {
    Q_OBJECT

private slots:
    void middleRoundsHalfToEven() {
        QCOMPARE(middleIndex(0, 5), std::int64_t(2));
        QCOMPARE(middleIndex(0, 7), std::int64_t(4));
        QCOMPARE(middleIndex(0, 1), std::int64_t(0));
        QCOMPARE(middleIndex(1, 2), std::int64_t(2));
        QCOMPARE(middleIndex(3, 3), std::int64_t(3));
    }

    void workedTablesOfEqualKeys() {
        // Three equal sizes: the ends are exchanged, the middle with itself.
        FileTable t = tableOf({{"/p0", 5}, {"/p1", 5}, {"/p2", 5}});
        sortBySize(t, 0, 2);
        QCOMPARE(pathsOf(t), (std::vector<std::string>{"/p2", "/p1", "/p0"}));
        // Four equal sizes: split in the middle, each half exchanged again.
        t = tableOf({{"/p0", 5}, {"/p1", 5}, {"/p2", 5}, {"/p3", 5}});
        sortBySize(t, 0, 3);
        QCOMPARE(pathsOf(t), (std::vector<std::string>{"/p2", "/p3", "/p0", "/p1"}));
        // Group keys stay in their slots while paths and sizes move.
        for (std::size_t k = 0; k < t.size(); ++k)
            QCOMPARE(t[k].group, std::int64_t(100 + k));
    }

    void sizesAreSignedAndRangesRespected() {
        FileTable t = tableOf({{"/a", 3}, {"/b", -1}, {"/c", 0}, {"/d", 2}, {"/e", -1}});
        sortBySize(t, 0, 4);
        std::vector<std::int64_t> sizes;
        for (const auto& e : t)
            sizes.push_back(e.size);
        QCOMPARE(sizes, (std::vector<std::int64_t>{-1, -1, 0, 2, 3}));
        // Outside the range nothing moves; an empty or single range is left alone.
        t = tableOf({{"/z", 9}, {"/y", 2}, {"/x", 1}, {"/w", 0}});
        sortBySize(t, 1, 2);
        QCOMPARE(pathsOf(t), (std::vector<std::string>{"/z", "/x", "/y", "/w"}));
        sortBySize(t, 3, 1);
        sortByName(t, 2, 2);
        QCOMPARE(pathsOf(t), (std::vector<std::string>{"/z", "/x", "/y", "/w"}));
    }

    // Many equal keys, and names that differ only in case, Unicode letters too.
    void sameOrderAsTheLiteralSteps() {
        const char* kNames[] = {"a", "A", "b", "B", "c", "\u00C4rger", "\u00E4rger", "\u00C4RGER"};
        std::mt19937 rng(7);
        for (int round = 0; round < 402; ++round) {
            // The last two are long enough to be sorted on two threads.
            const int n = round < 400 ? 1 + static_cast<int>(rng() % 40) : 70000 + round;
            FileTable t;
            for (int k = 0; k < n; ++k) {
                const auto size = static_cast<std::int64_t>(rng() % 5) - 1;
                const char* name = kNames[rng() % std::size(kNames)];
                FileEntry e;
                e.path = "/d" + std::to_string(k) + "/" + name;
                e.size = size;
                e.stamp.mtime = k;
                e.reason = k;
                t.push_back(std::move(e));
            }
            FileTable a = t, b = t;
            sortBySize(a, 0, n - 1);
            literalSort(b, 0, n - 1, bySize);
            QCOMPARE(pathsOf(a), pathsOf(b));
            a = t;
            b = t;
            sortByName(a, 0, n - 1);
            literalSort(b, 0, n - 1, byName);
            QCOMPARE(pathsOf(a), pathsOf(b));
            // Names equal without regard to case stand together.
            for (std::size_t k = 1; k < a.size(); ++k)
                QVERIFY(compareNoCase(a[k - 1].name(), a[k].name()) <= 0);
            // The stamp and the reason travel with their file.
            for (const auto& e : a) {
                QCOMPARE(e.stamp.mtime, std::stoll(e.path.str().substr(2)));
                QCOMPARE(std::int64_t{e.reason}, e.stamp.mtime);
            }
        }
    }
};

QTEST_GUILESS_MAIN(SortsTest)
#include "test_sorts.moc"
