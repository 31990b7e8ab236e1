// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Process.h"
#include "search/ContentCompare.h"
#include "support/TempTree.h"

#include <QtTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <thread>
#include <utility>
#include <xxhash.h>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

using Keys = std::vector<std::int64_t>;
using Strategy = std::function<bool(FileTable&, std::int64_t, std::int64_t)>;

const std::array<std::pair<const char*, CompareStrategy>, 2> kStrategyKinds = {
    {{"all open", CompareStrategy::AllOpen}, {"streamed", CompareStrategy::Streamed}}};
const std::vector<std::pair<const char*, Strategy>> kStrategies = {
    {"all open",
     [](FileTable& t, std::int64_t a, std::int64_t b) {
         return groupIdenticalFiles(t, a, b, {}, CompareStrategy::AllOpen);
     }},
    {"streamed",
     [](FileTable& t, std::int64_t a, std::int64_t b) {
         return groupIdenticalFiles(t, a, b, {}, CompareStrategy::Streamed);
     }},
};

// A table whose run starts at index 1 (index 0 is a file of another size), so that group keys
// are table indices rather than positions in the run. Each file is stamped as the walk would
// have found it now, but with the run's size: a file of another size has changed since.
FileTable tableOf(const std::vector<std::string>& paths, std::int64_t size) {
    FileTable table(1);
    table[0].path = "/nonexistent/other-size";
    table[0].size = size + 1;
    for (const auto& p : paths) {
        FileEntry& e = table.emplace_back();
        e.path = p;
        e.size = size;
        e.stamp = statPath(p, false).stamp();
        e.stamp.size = size;
    }
    return table;
}

Keys keysOf(const FileTable& table) {
    Keys keys;
    for (std::size_t i = 1; i < table.size(); ++i)
        keys.push_back(table[i].group);
    return keys;
}

Keys compare(const Strategy& strategy, const std::vector<std::string>& paths, std::int64_t size) {
    FileTable table = tableOf(paths, size);
    if (!strategy(table, 1, static_cast<std::int64_t>(paths.size())))
        return {};
    return keysOf(table);
}

// Groups a run as `compare` does, asking for the digests of what was read, and checks that
// each digest is that of the file's chunk it names and that every file has its first chunk's.
Keys compareWithDigests(CompareStrategy strategy, const std::vector<std::string>& paths,
                        std::int64_t size) {
    FileTable table = tableOf(paths, size);
    std::vector<ReadDigests> digests(paths.size());
    CompareControl control;
    control.digests = digests.data();
    if (!groupIdenticalFiles(table, 1, static_cast<std::int64_t>(paths.size()), control, strategy))
        return {};
    const std::int64_t length = chunkLength(size);
    const auto digestOf = [&](const std::string& bytes, std::int64_t chunk) {
        const XXH128_hash_t h = XXH3_128bits(bytes.data() + chunk * length,
                                             std::size_t(std::min(length, size - chunk * length)));
        return Digest128{h.low64, h.high64};
    };
    for (std::size_t m = 0; m < paths.size(); ++m) {
        const std::string bytes = trevalo::test::readFile(paths[m]);
        const ReadDigests& d = digests[m];
        if (!d.hasHead || d.head != digestOf(bytes, 0))
            return {};
        for (const PartDigest& p : d.parts)
            if (p.chunk <= 0 || p.digest != digestOf(bytes, p.chunk))
                return {};
    }
    return keysOf(table);
}

// The slow reference: byte equality of every pair, each group keyed by its first member.
Keys reference(const std::vector<std::string>& paths) {
    std::vector<std::string> bytes;
    for (const auto& p : paths)
        bytes.push_back(trevalo::test::readFile(p));
    Keys keys(paths.size(), -1);
    for (std::size_t a = 0; a < paths.size(); ++a)
        for (std::size_t b = a + 1; b < paths.size(); ++b)
            if (keys[a] < 0 || keys[a] == std::int64_t(a + 1))
                if (keys[b] < 0 && bytes[a] == bytes[b])
                    keys[a] = keys[b] = std::int64_t(a + 1);
    return keys;
}

QByteArray show(const Keys& keys) {
    QByteArray text;
    for (auto k : keys)
        text += QByteArray::number(qint64(k)) + ' ';
    return text;
}

#define COMPARE_KEYS(actual, expected, what)                                                       \
    QVERIFY2(                                                                                      \
        (actual) == (expected),                                                                    \
        (QByteArray(what) + ": got " + show(actual) + "wanted " + show(expected)).constData())

std::string flipped(std::string data, std::initializer_list<std::pair<std::int64_t, char>> at) {
    for (auto [offset, delta] : at)
        data[std::size_t(offset)] = char(data[std::size_t(offset)] ^ delta);
    return data;
}

std::string patternOf(std::int64_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string data(std::size_t(size), '\0');
    for (auto& c : data)
        c = char(rng());
    return data;
}

// The bytes of this process in memory.
std::int64_t residentBytes() {
    std::int64_t pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%" SCNd64 " %" SCNd64, &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

} // namespace

class ContentCompareTest : public QObject {
    Q_OBJECT

private slots:
    // Files of one size that differ at the chunk edges, mid-file, first and last byte, in
    // random arrangements of four kinds of content; both strategies against the reference,
    // also when they take the digests of what they read (then true to the bytes).
    void groupsMatchReferenceAroundChunkEdges() {
        TempTree tree;
        std::mt19937 rng(7);
        int caseNo = 0;
        for (std::int64_t size : std::initializer_list<std::int64_t>{
                 1, 2, 2023, 2024, 2025, 4049, 40479, 40480, 40481, 42504, 42505, 100000}) {
            const std::string base = patternOf(size, unsigned(size));
            for (std::int64_t offset : std::initializer_list<std::int64_t>{
                     0, size / 2, size - 1, 2023, 2024, 2025, 40479, 40480, 40481}) {
                if (offset >= size)
                    continue;
                const std::int64_t other = std::int64_t(rng() % std::uint64_t(size));
                const std::string kinds[4] = {base, flipped(base, {{offset, 1}}),
                                              flipped(base, {{offset, 2}}),
                                              flipped(base, {{offset, 1}, {other, 4}})};
                std::vector<std::string> paths;
                for (int i = 0; i < 8; ++i)
                    paths.push_back(tree.file(
                        "c" + std::to_string(caseNo) + "/" + std::to_string(i), kinds[rng() % 4]));
                ++caseNo;
                const Keys expected = reference(paths);
                const QByteArray where = QByteArray(" size ") + QByteArray::number(qint64(size)) +
                                         " offset " + QByteArray::number(qint64(offset));
                for (const auto& [name, strategy] : kStrategies)
                    COMPARE_KEYS(compare(strategy, paths, size), expected, name + where);
                for (const auto& [name, kind] : kStrategyKinds)
                    COMPARE_KEYS(compareWithDigests(kind, paths, size), expected,
                                 name + QByteArray(" with digests") + where);
            }
        }
    }

    // The chunk length, and worked runs whose classes part and meet again across chunks; the
    // plainer cases are in the sweep above.
    void chunkLengthAndWorkedRuns() {
        QCOMPARE(chunkLength(1), std::int64_t{1});
        QCOMPARE(chunkLength(40479), std::int64_t{40479});
        QCOMPARE(chunkLength(40480), std::int64_t{2024});
        QCOMPARE(chunkLength(std::int64_t{5} << 30), std::int64_t{2024});
        TempTree tree;
        const std::string big = patternOf(50000, 1);
        struct Case {
            const char* what;
            std::vector<std::string> contents;
            Keys expected;
        };
        const std::vector<Case> cases = {
            {"B equal to C, A differs after chunk 0",
             {flipped(big, {{30000, 1}}), big, big},
             {-1, 2, 2}},
            {"A C B D: A~B and C~D in chunk 0, B and C meet later",
             {flipped(big, {{0, 1}, {30000, 1}}), flipped(big, {{0, 2}, {30000, 2}}),
              flipped(big, {{0, 1}, {30000, 2}}), flipped(big, {{0, 2}, {30000, 3}})},
             {-1, -1, -1, -1}},
        };
        int caseNo = 0;
        for (const auto& c : cases) {
            std::vector<std::string> paths;
            for (const auto& content : c.contents)
                paths.push_back(tree.file(
                    "w" + std::to_string(caseNo) + "/" + std::to_string(paths.size()), content));
            ++caseNo;
            for (const auto& [name, strategy] : kStrategies)
                COMPARE_KEYS(compare(strategy, paths, std::int64_t(c.contents[0].size())),
                             c.expected, name + QByteArray(": ") + c.what);
        }
    }

    // 250 files are the most compared all open; 251 are streamed. Both report the share of the
    // run decided as they go, never going back, up to the whole run; two large files too.
    void runsOf250And251() {
        TempTree tree;
        const std::string base = patternOf(45000, 3);
        std::vector<std::string> paths;
        for (int i = 0; i < 251; ++i) {
            const std::string content = i % 7 == 0    ? base
                                        : i % 11 == 0 ? flipped(base, {{44000, 1}})
                                        : i % 13 == 0 ? flipped(base, {{0, 1}})
                                                      : flipped(base, {{44000, char(2 + i)}});
            paths.push_back(tree.file(std::to_string(i), content));
        }
        std::vector<std::string> first250(paths.begin(), paths.end() - 1);
        COMPARE_KEYS(compare(kStrategies[0].second, first250, 45000), reference(first250), "250");

        FileTable table = tableOf(paths, 45000);
        std::vector<double> reached;
        const auto record = [&](double share) { reached.push_back(share); };
        QVERIFY(groupIdenticalFiles(table, 1, 251, {nullptr, record}));
        COMPARE_KEYS(keysOf(table), reference(paths), "251");
        const auto expectRising = [&](const char* what) {
            QVERIFY2(reached.size() > 2, what);
            QVERIFY2(std::is_sorted(reached.begin(), reached.end()), what);
            QVERIFY2(reached.front() > 0 && reached.back() == 1.0, what);
        };
        expectRising("251 streamed");

        const std::string big = patternOf(8 << 20, 5);
        const std::vector<std::string> pair = {tree.file("big1", big), tree.file("big2", big)};
        for (const auto& [name, strategy] : kStrategyKinds) {
            reached.clear();
            table = tableOf(pair, std::int64_t{8} << 20);
            QVERIFY(groupIdenticalFiles(table, 1, 2, {nullptr, record}, strategy));
            expectRising(name);
        }
    }

    // A thousand files that part only near their end: the split classes are found again
    // without comparing every pair, and exactly. Files made alike are alike, so the expected
    // keys come from how they were made.
    void longRunWithCommonPrefix() {
        TempTree tree;
        const std::string base = patternOf(60000, 4);
        std::vector<std::string> paths;
        std::map<std::pair<int, int>, std::int64_t> firstOfKind;
        Keys expected;
        std::mt19937 rng(5);
        for (int i = 0; i < 1000; ++i) {
            const std::pair<int, int> kind(int(rng() % 150), int(rng() % 2));
            paths.push_back(
                tree.file(std::to_string(i),
                          flipped(base, {{50000, char(kind.first)}, {59999, char(kind.second)}})));
            expected.push_back(firstOfKind.emplace(kind, i + 1).first->second);
        }
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (std::count(expected.begin(), expected.end(), expected[i]) == 1)
                expected[i] = -1;
        COMPARE_KEYS(compare(kStrategies[1].second, paths, 60000), expected, "1000");
    }

    // chmod 000 denies nothing to root, so the comparison runs as an unprivileged user.
    void unreadableFileIsReportedOthersStillGrouped() {
        TempTree tree;
        std::vector<std::string> small, large;
        for (int i = 0; i < 3; ++i) {
            small.push_back(tree.file("s" + std::to_string(i), "same bytes"));
            large.push_back(tree.file("l" + std::to_string(i), patternOf(50000, 6)));
        }
        tree.chmod("s0", 0);
        tree.chmod("l1", 0);
        QVERIFY(trevalo::test::runUnprivileged([&] {
            bool ok = true;
            for (const auto& s : kStrategies) {
                ok = ok && compare(s.second, small, 10) == Keys{-3, 2, 2};
                ok = ok && compare(s.second, large, 50000) == Keys{1, -3, 1};
            }
            return ok;
        }));
    }

    // Files that shrank or went after they were found are never grouped: -3, changed since.
    void shrunkOrGoneFiles() {
        TempTree tree;
        const std::string big = patternOf(50000, 8);
        const std::vector<std::string> large = {
            tree.file("l0", big.substr(0, 30000)), tree.file("l1", big), tree.file("l2", big),
            tree.file("l3", flipped(big, {{0, 1}}).substr(0, 3000)),
            tree.file("l4", big.substr(0, 100))};
        const std::vector<std::string> small = {tree.file("s0", "abcdef"), tree.file("s1", "abc"),
                                                tree.file("s2", "abcdef")};
        const std::vector<std::string> gone = {tree.path("gone"), tree.file("back", "x"),
                                               tree.path("gone too")};
        // The same in a run long enough to be shared between two threads.
        std::vector<std::string> many;
        Keys manyKeys;
        for (int p = 0; p < 100; ++p) {
            const std::string f = "m" + std::to_string(p);
            if (p == 0 || p == 40) {
                many.push_back(tree.file(f, big.substr(0, p == 0 ? 30000 : 20000)));
                manyKeys.push_back(-3);
            } else if (p == 50) {
                many.push_back(tree.file(f, flipped(big, {{10, 1}}).substr(0, 3000)));
                manyKeys.push_back(-3);
            } else if (p == 60) {
                many.push_back(tree.path(f));
                manyKeys.push_back(-3);
            } else {
                many.push_back(tree.file(f, p % 2 ? big : flipped(big, {{49000, 1}})));
                manyKeys.push_back(p % 2 ? 2 : 3);
            }
        }
        for (const auto& [name, strategy] : kStrategies) {
            COMPARE_KEYS(compare(strategy, many, 50000), manyKeys, name);
            COMPARE_KEYS(compare(strategy, large, 50000), (Keys{-3, 2, 2, -3, -3}), name);
            COMPARE_KEYS(compare(strategy, small, 6), (Keys{1, -3, 1}), name);
            COMPARE_KEYS(compare(strategy, gone, 1), (Keys{-3, -1, -3}), name);
        }
    }

    // A file whose place was taken after the walk (a link to another member, a FIFO, a copy
    // with the same size and time, a link to /dev/null) is never grouped, least of all with
    // itself: it is a read error, "changed since the search". Its twin stays unpaired.
    void filesSwappedAfterTheWalk() {
        TempTree tree;
        const std::string bytes = patternOf(5000, 11);
        std::vector<std::string> paths;
        for (const char* f : {"a", "b", "c", "d", "e", "f"})
            paths.push_back(tree.file(f, bytes));
        for (const auto& [name, strategy] : kStrategies) {
            FileTable table = tableOf(paths, 5000);
            ::unlink(paths[1].c_str());
            tree.symlink(paths[0], "b");
            ::unlink(paths[2].c_str());
            tree.fifo("c");
            ::unlink(paths[3].c_str());
            tree.file("d.new", bytes);
            QVERIFY(::rename(tree.path("d.new").c_str(), paths[3].c_str()) == 0);
            const auto& stamp = table[4].stamp;
            const timespec times[2] = {{stamp.mtime, stamp.mtimeNsec},
                                       {stamp.mtime, stamp.mtimeNsec}};
            QVERIFY(::utimensat(AT_FDCWD, paths[3].c_str(), times, 0) == 0);
            ::unlink(paths[4].c_str());
            tree.symlink("/dev/null", "e");
            QVERIFY(strategy(table, 1, 6));
            COMPARE_KEYS(keysOf(table), (Keys{1, -3, -3, -3, -3, 1}), name);
            for (int k : {2, 3, 4, 5})
                QCOMPARE(reasonText(table[std::size_t(k)].reason), "changed since the search");
            for (const char* f : {"b", "c", "d", "e"}) {
                ::unlink(tree.path(f).c_str());
                tree.file(f, bytes);
            }
            paths = {tree.path("a"), tree.path("b"), tree.path("c"),
                     tree.path("d"), tree.path("e"), tree.path("f")};
        }

        // A folder of the path swapped for a link to a folder that holds a FIFO of the file's
        // name: the FIFO is never opened (a writer waiting for a reader would go on; a device
        // there could be set off by the open alone).
        for (const auto& [name, strategy] : kStrategies) {
            TempTree swapped;
            const std::vector<std::string> pair = {swapped.file("in/x", bytes),
                                                   swapped.file("y", bytes)};
            FileTable table = tableOf(pair, 5000);
            const std::string pipe = swapped.fifo("elsewhere/x");
            QVERIFY(::rename(swapped.path("in").c_str(), swapped.path("was").c_str()) == 0);
            swapped.symlink(swapped.path("elsewhere"), "in");
            std::atomic<bool> writerWent{false};
            std::jthread writer([&] {
                const int fd = ::open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
                writerWent = true;
                ::close(fd);
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the writer waits
            QVERIFY(strategy(table, 1, 2));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const bool opened = writerWent;
            ::close(::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)); // lets it go
            QVERIFY2(!opened, name);
            COMPARE_KEYS(keysOf(table), (Keys{-3, -1}), name);
        }
    }

    // A file written to while the comparison reads it (its bytes already read changed, or it
    // grew) is not grouped on what was read: "changed since the search".
    void filesChangedWhileCompared() {
        TempTree tree;
        const std::string bytes = patternOf(400000, 12);
        std::vector<std::string> paths;
        for (const char* f : {"a", "b", "c", "d"})
            paths.push_back(tree.file(f, bytes));
        FileTable table = tableOf(paths, 400000);
        bool written = false;
        const auto writeDuringTheRun = [&](std::int64_t) {
            if (written)
                return;
            written = true;
            std::FILE* f = std::fopen(paths[1].c_str(), "r+b");
            std::fputc(bytes[0] ^ 1, f); // a byte already read
            std::fclose(f);
            f = std::fopen(paths[3].c_str(), "ab");
            std::fputs("more", f); // grown past the size found
            std::fclose(f);
        };
        QVERIFY(groupIdenticalFiles(table, 1, 4, {nullptr, writeDuringTheRun},
                                    CompareStrategy::Streamed));
        QVERIFY(written);
        COMPARE_KEYS(keysOf(table), (Keys{1, -3, 1, -3}), "streamed");
        QCOMPARE(reasonText(table[2].reason), "changed since the search");
        QCOMPARE(reasonText(table[4].reason), "changed since the search");
    }

    // With too few file descriptors for a run's files at once, the groups are the same: the
    // run is streamed, and a moment without a free descriptor is waited out, not a read error.
    void fewOpenFilesGiveTheSameGroups() {
        TempTree tree;
        std::vector<std::string> paths;
        for (int i = 0; i < 100; ++i)
            paths.push_back(tree.file(std::to_string(i), patternOf(3000, i % 3 == 0 ? 1 : 2)));
        const Keys expected = reference(paths);
        QVERIFY(trevalo::test::runWithOpenFileLimit(20, [&] {
            bool ok = true;
            for (const auto& s : kStrategies)
                ok = ok && compare(s.second, paths, 3000) == expected;
            return ok;
        }));

        // The process holds descriptors elsewhere, so that a run compared all open takes the
        // last free ones, and holds them for a long time (its files are large, say): a run
        // compared at the same time waits for them, rather than report its files unreadable.
        std::vector<std::string> large;
        for (int i = 0; i < 40; ++i)
            large.push_back(tree.file("l" + std::to_string(i), patternOf(100000, 1 + i % 2)));
        const Keys largeExpected = reference(large);
        QVERIFY(trevalo::test::runWithOpenFileLimit(300, [&] {
            FileTable first = tableOf(large, 100000);
            FileTable second = tableOf(paths, 3000);
            std::atomic<bool> secondMayStart{false};
            std::jthread other([&] {
                while (!secondMayStart)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                groupIdenticalFiles(second, 1, 100, {}, CompareStrategy::Streamed);
            });
            std::vector<int> held;
            for (int fd = ::dup(0); fd >= 0; fd = ::dup(0))
                held.push_back(fd);
            for (std::size_t k = 0; k < large.size(); ++k) {
                ::close(held.back());
                held.pop_back();
            }
            bool slowed = false;
            const auto slowRun = [&](double) {
                if (std::exchange(slowed, true))
                    return;
                secondMayStart = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            };
            const bool done = groupIdenticalFiles(first, 1, std::int64_t(large.size()),
                                                  {nullptr, slowRun}, CompareStrategy::AllOpen);
            other.join();
            for (const int fd : held)
                ::close(fd);
            return done && slowed && keysOf(first) == largeExpected && keysOf(second) == expected;
        }));
    }

    void cancelAbandonsTheWholeRun() {
        TempTree tree;
        std::vector<std::string> paths;
        for (int i = 0; i < 4; ++i)
            paths.push_back(tree.file(std::to_string(i), patternOf(300000, 9)));
        std::atomic<bool> cancel{true};
        FileTable table = tableOf(paths, 300000);
        QVERIFY(!groupIdenticalFiles(table, 1, 4, {&cancel, {}}, CompareStrategy::AllOpen));
        COMPARE_KEYS(keysOf(table), Keys(4, -1), "all open");
        QVERIFY(!groupIdenticalFiles(table, 1, 4, {&cancel, {}}, CompareStrategy::Streamed));
        COMPARE_KEYS(keysOf(table), Keys(4, -1), "streamed");

        // Cancelled on its first progress report, after files were read.
        for (const auto& [name, strategy] : kStrategyKinds) {
            cancel = false;
            QVERIFY(!groupIdenticalFiles(table, 1, 4, {&cancel, [&](double) { cancel = true; }},
                                         strategy));
            COMPARE_KEYS(keysOf(table), Keys(4, -1),
                         QByteArray(name) + ", cancelled in the middle");
        }
    }

    // The comparison's buffers are kept from run to run, and the memory goes back to the system
    // at the end of the search.
    void buffersGoBackAtTheEnd() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer's allocator holds freed memory back on purpose");
#endif
        tuneProcessForSearches();
        TempTree tree;
        const std::string bytes = patternOf(1 << 20, 13);
        std::vector<std::string> paths;
        for (int i = 0; i < 24; ++i)
            paths.push_back(tree.file(std::to_string(i), bytes));
        const Keys all(paths.size(), 1);
        COMPARE_KEYS(compare(kStrategies[0].second, paths, 1 << 20), all, "first run");
        const std::int64_t held = residentBytes();
        COMPARE_KEYS(compare(kStrategies[0].second, paths, 1 << 20), all, "second run");
        QVERIFY2(residentBytes() - held < (std::int64_t{1} << 20), "a second run takes more");
        releaseComparisonBuffers();
        releaseFreedMemory();
        QVERIFY2(held - residentBytes() > (std::int64_t{4} << 20), "nothing given back");
    }

    // Sizes and offsets beyond 32 bits: files that differ only in their last byte, at 5 GiB,
    // are told apart (both strategies read through the same block reader), and a read there
    // gets that byte.
    void sparseFilesBeyond4GiB() {
        TempTree tree;
        const std::int64_t size = std::int64_t{5} << 30;
        const std::vector<std::string> paths = {tree.sparse("a", size, 'x'),
                                                tree.sparse("b", size, 'y')};
        COMPARE_KEYS(compare(kStrategies[1].second, paths, size), (Keys{-1, -1}), "last byte");
        ReadOnlyFile file;
        QVERIFY(!file.open(paths[0]));
        char last[2] = {};
        QCOMPARE(file.readAt(size - 1, last, 2), std::int64_t{1});
        QCOMPARE(last[0], 'x');
    }
};

QTEST_GUILESS_MAIN(ContentCompareTest)
#include "test_content_compare.moc"
