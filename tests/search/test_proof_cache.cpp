// SPDX-License-Identifier: GPL-2.0-or-later
// Searches with the proof cache list exactly what searches without it list, whatever happened
// to the files between them and whatever state the store is in.
#include "search/ProofCache.h"
#include "search/SearchDriver.h"
#include "support/TempTree.h"

#include <QtTest>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

// A row as a list shows it: which list, which file, its group key and why it is a read error.
using Row = std::tuple<int, std::string, std::int64_t, std::string>;

class Host final : public SearchEvents {
public:
    std::vector<Row> listed;
    void progress(double) override {}
    void phase(SearchPhase) override {}
    void rows(int list, std::vector<ResultRow> batch) override {
        for (const ResultRow& r : batch)
            listed.emplace_back(list, r.path(), r.group, r.reason());
    }
    void finished(const SearchOutcome&) override {}
};

struct Searched {
    std::vector<Row> rows;
    SearchOutcome outcome;
};

// Files in the cache are trusted at once here: the tests wait a moment before they change one.
ProofCacheLimits atOnce() {
    ProofCacheLimits limits;
    limits.settleNanoseconds = 0;
    return limits;
}

Searched search(const std::string& root, const std::string& cacheFolder, int threads = 0,
                std::int64_t today = 0) {
    SearchRequest request;
    request.paths.push_back(PathRow{root + "/*.*", true});
    request.threads = threads;
    request.useProofCache = !cacheFolder.empty();
    request.proofCacheFolder = cacheFolder;
    request.proofCacheLimits = atOnce();
    request.proofCacheLimits.today = today;
    SearchState state;
    Host host;
    runSearch(request, state, host);
    return {std::move(host.listed), state.outcome};
}

// Keys the files of the device of `file` in `store` as a search does (by the device's volume).
void asASearch(ProofCache& store, const std::string& file) {
    const std::optional<DeviceVolume> volume =
        volumeOfDevice(file, statPath(file, false).stamp().device);
    QVERIFY(volume && volume->trusted);
    store.setVolumes({*volume});
}

// Gives the file system's clock time to move on, so that a change has other times.
void tick() {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

std::string bytes(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xff);
    return s;
}

// Runs of equal size made of groups of copies, files equal in their first chunk but not after
// it, files that differ at once, and lone sizes, small and large.
// For each size in turn, files f<8i> to f<8i+7>: three copies (in d0, d1, d2), two copies
// that differ from them in their last byte (d1, d2), two others (d0, d1), one of a size of its
// own (d0).
void makeTree(TempTree& t, unsigned seed, const std::string& under = {}) {
    std::mt19937 rng(seed);
    int n = 0;
    const auto name = [&](int folder) {
        return under + "d" + std::to_string(folder) + "/f" + std::to_string(n++) + ".bin";
    };
    for (const std::size_t size :
         {std::size_t{7}, std::size_t{3000}, std::size_t{50000}, std::size_t{130000}}) {
        const std::string common = bytes(rng, size);
        for (int copy = 0; copy < 3; ++copy)
            t.file(name(copy % 3), common);
        std::string sameHead = common;
        sameHead.back() = static_cast<char>(sameHead.back() ^ 0x55);
        t.file(name(1), sameHead);
        t.file(name(2), sameHead);
        for (int k = 0; k < 2; ++k)
            t.file(name(k), bytes(rng, size));
        t.file(name(0), bytes(rng, size + 1 + seed));
    }
}

} // namespace

class ProofCacheTest : public QObject {
    Q_OBJECT

private slots:
    // The lists with the cache are those without it, on a first search, on a second one of
    // the same tree (which reads nothing it proved) and after every change its files' identity
    // shows; a file changed with its last-write time put back is read again.
    void sameListsAfterEveryChange() {
        for (const unsigned seed : {1u, 2u, 3u}) {
            TempTree t;
            TempTree cache;
            makeTree(t, seed);
            const std::string root = t.root();
            // The files proven, or -1 when the lists differ or the cache was not used.
            const auto same = [&](const char* step) -> std::int64_t {
                tick();
                const Searched without = search(root, {});
                const Searched with = search(root, cache.root(), 1 + static_cast<int>(seed % 2));
                tick();
                if (with.rows != without.rows || !with.outcome.cacheProblem.empty()) {
                    qWarning("%s: %s", step, with.outcome.cacheProblem.c_str());
                    return -1;
                }
                return with.outcome.proven;
            };
            QCOMPARE(same("first"), 0);
            const std::int64_t proven = same("second");
            // Everything compared was proven: of each run, every file.
            QCOMPARE(proven, 4 * 7);
            QVERIFY(same("third") == proven);

            // A copy changed with its last-write time put back: only its change time tells.
            const std::string f0 = t.path("d0/f0.bin");
            struct stat before {};
            QVERIFY(::stat(f0.c_str(), &before) == 0);
            std::string data = test::readFile(f0);
            data.front() = static_cast<char>(data.front() ^ 1);
            t.file("d0/f0.bin", data);
            const timespec times[2] = {before.st_atim, before.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, f0.c_str(), times, 0) == 0);
            const std::int64_t touched = same("touched back");
            QVERIFY(touched >= 0 && touched < proven);
            // Replaced by another of the same size; appended to; cut short.
            t.file("d1/f9.tmp", test::readFile(t.path("d0/f13.bin")));
            QVERIFY(::rename(t.path("d1/f9.tmp").c_str(), t.path("d1/f9.bin").c_str()) == 0);
            QVERIFY(same("replaced by rename") >= 0);
            t.file("d2/f18.bin", test::readFile(t.path("d2/f18.bin")) + "x");
            QVERIFY(same("appended") >= 0);
            t.file("d1/f19.bin", test::readFile(t.path("d1/f19.bin")).substr(1));
            QVERIFY(same("cut short") >= 0);
            // A hard link found first, and a file moved to another folder.
            t.hardlink("d2/f26.bin", "a/first-link.bin");
            QVERIFY(same("hard link") >= 0);
            t.dir("d9");
            QVERIFY(::rename(t.path("d0/f24.bin").c_str(), t.path("d9/f24.bin").c_str()) == 0);
            QVERIFY(same("moved") >= 0);
        }
    }

    // Groups proven by searches of different folders know nothing of each other: a search of
    // both finds out by comparing whether they are one group (here two are, two others only
    // share their first chunk), also among a thousand other files of their size, each known
    // to differ from the others of its folder (fifty in each folder have a copy in the other).
    void groupsProvenApartAreComparedTogether() {
        TempTree t;
        TempTree cache;
        std::mt19937 rng(5);
        const std::string big = bytes(rng, 60000);
        std::string bigOther = big;
        bigOther.back() = static_cast<char>(bigOther.back() ^ 1);
        const std::string small = "same small content";
        constexpr int kOthers = 500;
        constexpr int kCopied = 50;
        std::vector<std::string> contents;
        for (int k = 0; k < 2 * kOthers - kCopied; ++k)
            contents.push_back(bytes(rng, small.size()));
        for (const char* folder : {"x", "y"}) {
            t.file(std::string(folder) + "/small-1", small);
            t.file(std::string(folder) + "/small-2", small);
            t.file(std::string(folder) + "/big-1", folder[0] == 'x' ? big : bigOther);
            t.file(std::string(folder) + "/big-2", folder[0] == 'x' ? big : bigOther);
            for (int k = 0; k < kOthers; ++k)
                t.file(std::string(folder) + (folder[0] == 'x' ? "/other-" : "/another-") +
                           std::to_string(k),
                       contents[folder[0] == 'x' || k < kCopied ? k : kOthers - kCopied + k]);
        }
        // Entries of many other files, so that these are looked up one by one rather than
        // met in a reading of the whole store.
        TempTree others;
        for (unsigned seed = 20; seed < 30; ++seed)
            makeTree(others, seed, "s" + std::to_string(seed) + "/");
        tick();
        QVERIFY(search(others.root(), cache.root()).outcome.cacheProblem.empty());
        QCOMPARE(search(t.path("x"), cache.root()).rows, search(t.path("x"), {}).rows);
        QCOMPARE(search(t.path("y"), cache.root()).rows, search(t.path("y"), {}).rows);
        const Searched with = search(t.root(), cache.root());
        QCOMPARE(with.rows, search(t.root(), {}).rows);
        QCOMPARE(with.outcome.proven, 4 + 2 * (kOthers - kCopied));
    }

    // What is kept is what is looked up, file for file, whether the store is read whole or row
    // by row, on one device or two: more files than one transaction takes, in no order and in
    // lessons of several runs, each with or without digests, in a new group, an earlier proof or
    // none. A file with other times or another size is not known.
    void keptIsLookedUp_data() {
        QTest::addColumn<int>("devices");
        QTest::addColumn<bool>("halves");
        QTest::newRow("one device") << 1 << false;
        QTest::newRow("two devices") << 2 << false;
        QTest::newRow("two devices, read in two halves") << 2 << true;
    }
    void keptIsLookedUp() {
        QFETCH(int, devices);
        QFETCH(bool, halves);
        ProofCacheLimits limits = atOnce();
        limits.today = 20'000;
        limits.entriesPerTransaction = 5000;
        if (halves)
            limits.halvedFrom = 2;
        TempTree cache;
        std::mt19937_64 rng(3);
        constexpr int kFiles = 12'345;
        std::vector<LearntFile> learnt(kFiles);
        std::vector<FileStamp> stamps(kFiles);
        for (int i = 0; i < kFiles; ++i) {
            LearntFile& f = learnt[static_cast<std::size_t>(i)];
            f.stamp = &stamps[static_cast<std::size_t>(i)];
            // Some inode numbers use the top bit: SQLite orders them as negative numbers, and
            // the lookup must meet them in its order.
            // Others lie close, many to a row of the store.
            const std::uint64_t high = i % 5 == 0 ? std::uint64_t{1} << 63 : 0;
            const std::uint64_t inode =
                i % 3 == 1 ? 1000 + static_cast<std::uint64_t>(i) : (rng() >> 1) | 1 | high;
            // The store packs each number as its difference from one before it: some files
            // are huge, or were written before 1970, or changed before they were written.
            const bool odd = i % 11 == 0;
            const std::int64_t written = odd ? -1'000'000 - i * 1000 : 1'600'000'000 + i;
            stamps[static_cast<std::size_t>(i)] = {
                2049 + static_cast<std::uint64_t>(i % devices),
                inode,
                static_cast<std::int64_t>(odd ? rng() >> 2 : rng() % 100'000),
                written,
                odd ? written - 5000 : written,
                i % 1'000'000'000,
                (i * 7) % 1'000'000'000};
            if (i % 3 != 0) {
                f.digests.hasHead = true;
                f.digests.head = {rng(), rng()};
            }
            for (int p = 0; p < i % 5; ++p)
                f.digests.addPart((odd ? std::int64_t{1} << 40 : 1) + p * 9, {rng(), rng()});
            f.tag = i % 4 == 0 ? 1 + i % 97 : (i % 4 == 1 ? -(1'000'000 + i) : 0);
            if (odd && f.tag < 0)
                f.tag = -(std::int64_t{1} << 62) - i;
        }
        std::shuffle(learnt.begin(), learnt.end(), rng);
        {
            // In lessons of several runs, as a search keeps them (sorted in parts, merged).
            ProofCache store(cache.root(), limits);
            const std::span all(learnt);
            const std::vector<Lessons> runs{
                {all.first(4000)}, {all.subspan(4000, 10)}, {all.subspan(4010)}};
            store.keep(runs);
            QVERIFY2(store.problem().empty(), store.problem().c_str());
        }
        const auto check = [&](std::span<const LearntFile> files) {
            ProofCache store(cache.root(), limits);
            std::vector<FileStamp> asked;
            for (const LearntFile& f : files)
                asked.push_back(*f.stamp);
            const KnownFiles known = store.look(asked);
            QCOMPARE(known.size(), files.size());
            std::map<std::int64_t, std::int64_t> proofOfTag;
            std::set<std::int64_t> newProofs;
            for (std::size_t i = 0; i < files.size(); ++i) {
                const LearntFile& f = files[i];
                const KnownFile& k = known[i];
                QVERIFY(k.found());
                QVERIFY(k.digests.hasHead == f.digests.hasHead);
                QVERIFY(!f.digests.hasHead || k.digests.head == f.digests.head);
                QVERIFY(k.digests.parts == f.digests.parts);
                if (f.tag > 0) {
                    const auto [it, added] = proofOfTag.try_emplace(f.tag, k.proof);
                    QCOMPARE(k.proof, it->second);
                    QVERIFY(k.proof > 0 && (!added || newProofs.insert(k.proof).second));
                } else {
                    QCOMPARE(k.proof, -f.tag);
                }
            }
            FileStamp later = *files.front().stamp;
            later.ctimeNsec += 1;
            FileStamp longer = *files.front().stamp;
            longer.size += 1;
            // Nothing known of either: no list of 48 bytes a file of nothing.
            QVERIFY(store.look(std::vector{later, longer}).empty());
            const KnownFiles some = store.look(std::vector{later, *files[1].stamp});
            QVERIFY(some.size() == 2 && !some[0].found() && some[1].found());
        };
        check(learnt);
        check(std::span(learnt).subspan(100, 60)); // a few rows of many pages: looked up
        // Asked for with the files of the later device first: met in the store's order all the
        // same.
        std::vector<LearntFile> laterFirst = learnt;
        std::stable_partition(laterFirst.begin(), laterFirst.end(),
                              [](const LearntFile& f) { return f.stamp->device != 2049; });
        check(laterFirst);
        // Kept again, some files with what a later search learnt of them: the others, in the
        // same rows, are still known as they were.
        std::vector<LearntFile> later;
        for (std::size_t i = 0; i < learnt.size(); i += 7) {
            learnt[i].digests = {};
            learnt[i].tag = -static_cast<std::int64_t>(5 + i);
            later.push_back(learnt[i]);
        }
        {
            ProofCache store(cache.root(), limits);
            store.keep(later);
            QVERIFY2(store.problem().empty(), store.problem().c_str());
        }
        check(learnt);
        // Looked up a day later, every entry found is dated anew, in whichever half it was
        // found: two months on, when the entries not met since are dropped, all are known.
        limits.today += 1;
        {
            ProofCache store(cache.root(), limits);
            std::vector<FileStamp> asked;
            for (const LearntFile& f : learnt)
                asked.push_back(*f.stamp);
            QCOMPARE(store.look(asked).size(), asked.size());
            store.keep(std::span<const LearntFile>());
        }
        limits.today += limits.days;
        check(learnt);
    }

    // A store that claims two different files are one group is believed while both keep their
    // identities (the cache holds proofs, nothing checks them again), and not once one of them
    // changed in any way its identity shows.
    void proofOfAChangedFileIsNotTrusted() {
        TempTree t;
        TempTree cache;
        t.file("a.bin", "first content");
        t.file("b.bin", "other content");
        const std::string root = t.root();
        const Searched without = search(root, {});
        const FileStamp stamps[] = {statPath(t.path("a.bin")).stamp(),
                                    statPath(t.path("b.bin")).stamp()};
        const std::vector<LearntFile> claim = {{&stamps[0], {}, 1}, {&stamps[1], {}, 1}};
        {
            ProofCache store(cache.root(), atOnce());
            asASearch(store, t.path("a.bin"));
            store.keep(claim);
        }
        const Searched believed = search(root, cache.root());
        QCOMPARE(believed.outcome.proven, 2);
        QVERIFY(believed.rows != without.rows);
        // Believed of the volume it was kept for only (not of another file system mounted on
        // the device later), and never on a device whose file system does not keep its files'
        // identities.
        {
            ProofCache store(cache.root(), atOnce());
            const auto found = [&] {
                const KnownFiles known = store.look(std::span(stamps, 1));
                return !known.empty() && known[0].found();
            };
            const FileStamp& a = stamps[0];
            const std::int64_t now = wallClockNanoseconds();
            asASearch(store, t.path("a.bin"));
            QVERIFY(found() && store.settled(a, now));
            store.setVolumes({{a.device + 1, 5, false}, {a.device, 7, true}});
            QVERIFY(!found() && store.settled(a, now));
            store.keep(claim);
            QVERIFY(found());
            store.setVolumes({{a.device, 7, false}});
            QVERIFY(!found() && !store.settled(a, now));
        }
        tick();
        t.chmod("b.bin", 0600);
        t.chmod("b.bin", 0644);
        QCOMPARE(search(root, cache.root()).rows, without.rows);
    }

    // What the runs taught is kept in two parts: the runs compared once those left to start
    // hold few files (the largest ones; all of them when the runs hold few files), after those
    // still being compared with many files, and the rest after. Neither part is lost, nor kept
    // twice, on one thread or two.
    void lessonsOfEveryRunAreKept_data() {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("pairs");
        QTest::addColumn<int>("crowd");
        QTest::newRow("few files, two threads") << 2 << 0 << 0;
        QTest::newRow("many files, two threads") << 2 << 400 << 0;
        QTest::newRow("many files, one thread") << 1 << 400 << 0;
        QTest::newRow("a run of many files, two threads") << 2 << 0 << 3000;
    }
    void lessonsOfEveryRunAreKept() {
        QFETCH(int, threads);
        QFETCH(int, pairs);
        QFETCH(int, crowd);
        TempTree t;
        TempTree cache;
        makeTree(t, 5);
        // Pairs of copies, each of a size of its own, before the largest files in size order.
        for (int p = 0; p < pairs; ++p)
            for (const char* copy : {"a", "b"})
                t.file("p/" + std::to_string(p) + copy, std::string(std::size_t(200 + p), 'p'));
        // A run of files of one size that all differ.
        for (int c = 0; c < crowd; ++c) {
            std::string data(100, 'c');
            data.replace(0, std::to_string(c).size(), std::to_string(c));
            t.file("c/" + std::to_string(c), data);
        }
        const std::string large(std::size_t{24} << 20, 'L');
        t.file("large1.bin", large);
        t.file("large2.bin", large);
        const std::string root = t.root();
        const Searched without = search(root, {});
        QCOMPARE(search(root, cache.root(), threads).outcome.proven, 0);
        tick();
        const Searched again = search(root, cache.root(), threads);
        QCOMPARE(again.rows, without.rows);
        QCOMPARE(again.outcome.proven, 4 * 7 + 2 * pairs + crowd + 2);
    }

    // A search cancelled at once, while the store is being opened beside its walk: it ends,
    // and the store serves the next search.
    void searchCancelledWhileTheStoreOpens() {
        TempTree t;
        TempTree cache;
        makeTree(t, 6);
        const std::string root = t.root();
        SearchRequest request;
        request.paths.push_back(PathRow{root + "/*.*", true});
        request.useProofCache = true;
        request.proofCacheFolder = cache.root();
        request.proofCacheLimits = atOnce();
        SearchState state;
        state.cancelRequested = true;
        Host host;
        runSearch(request, state, host);
        QVERIFY(state.outcome.cancelled);
        QVERIFY(state.outcome.cacheProblem.empty());
        const Searched without = search(root, {});
        QCOMPARE(search(root, cache.root()).rows, without.rows);
        tick();
        QCOMPARE(search(root, cache.root()).outcome.proven, 4 * 7);
    }

    // A store whose count of proofs went back (a database restored from a copy without its
    // log, say): a group proven after it gets no number an earlier group holds, which would
    // make the two groups one.
    void proofNumbersOutliveTheirCount() {
        TempTree t;
        TempTree cache;
        t.file("a.bin", "same content 16");
        t.file("b.bin", "same content 16");
        t.file("c.bin", "other content 1");
        t.file("d.bin", "third content 1");
        const std::string root = t.root();
        QCOMPARE(search(root, cache.root()).outcome.proven, 0);
        sqlite3* handle = nullptr;
        QCOMPARE(sqlite3_open(cache.path("proofs.sqlite").c_str(), &handle), SQLITE_OK);
        QCOMPARE(sqlite3_exec(handle, "UPDATE meta SET next_proof = 1", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(handle);
        tick();
        t.file("d.bin", "other content 1");
        const Searched without = search(root, {});
        QCOMPARE(search(root, cache.root()).rows, without.rows);
        tick();
        const Searched again = search(root, cache.root());
        QCOMPARE(again.rows, without.rows);
        QCOMPARE(again.outcome.proven, 4);
    }

    // Files whose inode numbers lie close share a row of the store: each entry ages by itself,
    // and beyond the count limit the rows seen longest ago go first.
    void entriesOfOneRowAgeApart() {
        TempTree cache;
        const std::int64_t day = 20'000;
        const auto limitsOn = [](std::int64_t today, std::int64_t files = 1'000'000) {
            ProofCacheLimits limits = atOnce();
            limits.days = 30;
            limits.files = files;
            limits.today = today;
            return limits;
        };
        // Files of 16 inode numbers from `first` on, of one device.
        const auto files = [](std::uint64_t first) {
            std::vector<FileStamp> stamps;
            for (std::uint64_t i = 0; i < 16; ++i)
                stamps.push_back({7, first + i, 100, 1'600'000'000, 0, 1'600'000'000, 0});
            return stamps;
        };
        const auto keepOn = [&](const std::vector<FileStamp>& stamps, std::int64_t today) {
            std::vector<LearntFile> learnt;
            for (const FileStamp& s : stamps)
                learnt.push_back({&s, {}, 0});
            ProofCache(cache.root(), limitsOn(today)).keep(learnt);
        };
        const auto knownOn = [&](const std::vector<FileStamp>& stamps, std::int64_t today,
                                 std::int64_t limit = 1'000'000) {
            ProofCache store(cache.root(), limitsOn(today, limit));
            std::int64_t n = 0;
            for (const KnownFile& k : store.look(stamps))
                n += k.found() ? 1 : 0;
            return n;
        };
        const std::vector<FileStamp> early = files(64);   // one row with
        const std::vector<FileStamp> later = files(80);   // these
        const std::vector<FileStamp> latest = files(512); // a row of their own
        keepOn(early, day);
        keepOn(later, day + 20);
        keepOn(latest, day + 25);
        QCOMPARE(knownOn(early, day + 31), 0);
        QCOMPARE(knownOn(later, day + 31), 16);
        QCOMPARE(knownOn(latest, day + 32, 16), 16);
        QCOMPARE(knownOn(later, day + 32), 0);
    }

    // A damaged store, one of another version and one that cannot be made: the search lists
    // what it lists without a cache, says in one line what happened, and the store is usable
    // again by the next search where it can be.
    void unusableStoreGivesASearchWithoutIt() {
        TempTree t;
        makeTree(t, 7);
        const std::string root = t.root();
        const Searched without = search(root, {});
        TempTree cache;
        const std::string db = cache.path("proofs.sqlite");

        cache.file("proofs.sqlite", std::string(8192, 'x'));
        Searched with = search(root, cache.root());
        QCOMPARE(with.rows, without.rows);
        QVERIFY(with.outcome.cacheProblem.find("damaged") != std::string::npos);
        tick();
        with = search(root, cache.root());
        QCOMPARE(with.rows, without.rows);
        QVERIFY(with.outcome.cacheProblem.empty());
        const std::int64_t proven = with.outcome.proven;
        QVERIFY(proven > 0);

        // Rows SQLite reads well, changed in one byte that leaves them well formed (of the last
        // digest of each): nothing in them is believed, proofs included, and the next search
        // writes them anew.
        sqlite3* handle = nullptr;
        QCOMPARE(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
        QCOMPARE(sqlite3_exec(handle,
                              "UPDATE block SET facts = substr(facts, 1, length(facts) - 9)"
                              " || CASE WHEN substr(facts, length(facts) - 8, 1) = x'00'"
                              " THEN x'01' ELSE x'00' END || substr(facts, length(facts) - 7)",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        tick();
        with = search(root, cache.root());
        QCOMPARE(with.rows, without.rows);
        QCOMPARE(with.outcome.proven, 0);
        tick();
        QCOMPARE(search(root, cache.root()).outcome.proven, proven);

        QCOMPARE(sqlite3_exec(handle, "PRAGMA user_version=99", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(handle);
        with = search(root, cache.root());
        QCOMPARE(with.rows, without.rows);
        QCOMPARE(with.outcome.proven, 0);
        QVERIFY(with.outcome.cacheProblem.find("another version") != std::string::npos);

        // A cache folder that cannot be made (a file stands in its way).
        with = search(root, cache.path("proofs.sqlite/trevalo"));
        QCOMPARE(with.rows, without.rows);
        QVERIFY(with.outcome.cacheProblem.find("not used") != std::string::npos);

        // A full disk: the line tells so (not what undoing the failed writing said after it).
        if (::geteuid() == 0) {
            const std::string full = cache.path("full");
            QVERIFY(std::filesystem::create_directory(full));
            if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") == 0) {
                const std::unique_ptr<const char, void (*)(const char*)> unmount(
                    full.c_str(), [](const char* folder) { ::umount(folder); });
                with = search(root, full);
                QCOMPARE(with.rows, without.rows);
                QVERIFY2(with.outcome.cacheProblem.find("disk is full") != std::string::npos,
                         with.outcome.cacheProblem.c_str());
            }
        }

        // Another user's store is left alone: run as root with a user's environment, say.
        if (::geteuid() == 0) {
            QCOMPARE(::chown(cache.root().c_str(), 65534, 65534), 0);
            with = search(root, cache.root());
            QCOMPARE(with.rows, without.rows);
            QCOMPARE(with.outcome.proven, 0);
            QVERIFY(with.outcome.cacheProblem.find("another user") != std::string::npos);
            QCOMPARE(::chown(cache.root().c_str(), 0, 0), 0);
        }

        // Forgotten: nothing is proven any more.
        std::string problem;
        QVERIFY(ProofCache::forget(cache.root(), problem));
        QCOMPARE(search(root, cache.root()).outcome.proven, 0);
        // A damaged store is forgotten by removing it.
        cache.file("proofs.sqlite", std::string(8192, 'x'));
        QVERIFY(ProofCache::forget(cache.root(), problem));
        QVERIFY(!test::exists(db));
    }

    // Two searches use one store at once, each writing in short transactions while the other
    // reads: both complete with the lists of a search without the cache and no word about it.
    void twoSearchesAtOnce() {
        TempTree t;
        for (unsigned seed = 10; seed < 14; ++seed)
            makeTree(t, seed, "s" + std::to_string(seed) + "/");
        const std::string root = t.root();
        const Searched without = search(root, {});
        TempTree cache;
        for (int round = 0; round < 2; ++round) {
            Searched a;
            Searched b;
            std::thread other([&] { b = search(root, cache.root()); });
            a = search(root, cache.root());
            other.join();
            QCOMPARE(a.rows, without.rows);
            QCOMPARE(b.rows, without.rows);
            QVERIFY2(a.outcome.cacheProblem.empty(), a.outcome.cacheProblem.c_str());
            QVERIFY2(b.outcome.cacheProblem.empty(), b.outcome.cacheProblem.c_str());
            tick();
        }
        // A search leaves its log; the next opening copies it into the database.
        TempTree fresh;
        search(root, fresh.root());
        const std::string log = fresh.path("proofs.sqlite-wal");
        QVERIFY(std::filesystem::file_size(log) > 0);
        { const ProofCache store(fresh.root()); }
        QCOMPARE(std::filesystem::file_size(log), std::uintmax_t{0});
        tick();
        const Searched again = search(root, fresh.root());
        QCOMPARE(again.rows, without.rows);
        QVERIFY(again.outcome.proven > 0);
    }
};

QTEST_GUILESS_MAIN(ProofCacheTest)
#include "test_proof_cache.moc"
