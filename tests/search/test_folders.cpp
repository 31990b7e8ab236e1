// SPDX-License-Identifier: GPL-2.0-or-later
// Whole folders on real trees: identical and covered folders from the groups a search proved,
// empty folders and broken links, and the proof of a folder's row just before it is acted on.
#include "search/FolderProof.h"
#include "search/SearchDriver.h"
#include "support/TempTree.h"

#include <QtTest>
#include <set>

using namespace trevalo;
using trevalo::test::TempTree;
using Paths = std::set<std::string>;

namespace {

class Recorder final : public SearchEvents {
public:
    std::array<std::vector<ResultRow>, kResultListCount> lists;
    void progress(double) override {}
    void phase(SearchPhase) override {}
    void rows(int list, std::vector<ResultRow> rows) override {
        for (ResultRow& r : rows)
            lists[static_cast<std::size_t>(list)].push_back(std::move(r));
    }
    void finished(const SearchOutcome&) override {}
    std::chrono::milliseconds handOverInterval() const override { return {}; }
};

// Searches path rows (folder/pattern) with the given search types on.
Recorder search(const std::vector<std::string>& paths, std::initializer_list<int> types) {
    SearchRequest request;
    for (const std::string& p : paths)
        request.paths.push_back(PathRow{p, true});
    request.types = {};
    for (const int t : types)
        request.types[static_cast<std::size_t>(t)] = true;
    SearchState state;
    Recorder out;
    runSearch(request, state, out);
    return out;
}

Paths pathsOf(const std::vector<ResultRow>& rows) {
    Paths out;
    for (const ResultRow& r : rows)
        out.insert(r.path());
    return out;
}

const ResultRow* rowAt(const std::vector<ResultRow>& rows, const std::string& path) {
    for (const ResultRow& r : rows)
        if (r.path() == path)
            return &r;
    return nullptr;
}

// Photos, a copy of it, and a copy with one file changed (same size, other bytes).
void makeBackups(TempTree& t) {
    for (const char* top : {"Photos", "Photos-old", "Photos-changed"}) {
        const std::string base = top;
        t.file(base + "/2019/a.jpg", "picture a");
        t.file(base + "/2019/b.jpg", "picture b");
        t.file(base + "/2019/deep/c.jpg", "picture c");
        t.file(base + "/notes.txt", "some notes");
        t.file(base + "/empty.txt", "");
    }
    t.file("Photos-changed/2019/b.jpg", "picture B");
}

} // namespace

class FoldersTest : public QObject {
    Q_OBJECT

private slots:
    // Identical trees form one group, listed once at the top (not again for 2019); a copy with
    // one file changed is neither identical nor covered, though its other files have copies,
    // and only its untouched sub-folder joins the group of its twins.
    void identicalFoldersAreListedOnceAndAChangedCopyIsNot() {
        TempTree t;
        makeBackups(t);
        const Recorder r = search({t.path("*.*")}, {SearchFolders});
        const auto& rows = r.lists[ListFolders];
        QCOMPARE(pathsOf(rows),
                 (Paths{t.path("Photos"), t.path("Photos-old"), t.path("Photos/2019/deep"),
                        t.path("Photos-old/2019/deep"), t.path("Photos-changed/2019/deep")}));
        // The largest group first.
        QCOMPARE(pathsOf({rows[0], rows[1]}), (Paths{t.path("Photos"), t.path("Photos-old")}));
        QCOMPARE(rows[0].group, rows[1].group);
        QVERIFY(rows[2].group != rows[0].group);
        QVERIFY(rows[0].claim() && rows[0].claim()->identical);
        QCOMPARE(rows[0].claim()->files, std::int64_t(5));
        QCOMPARE(rows[0].size, std::int64_t(9 * 3 + 10));
        QCOMPARE(rows[0].target, RowTarget::Folder);
        // Duplicates was not asked for: its list stays empty.
        QVERIFY(r.lists[ListDuplicates].empty());
        // Each file's copy is the file of the same name in the twin.
        const std::string self = rows[0].path(), twin = rows[1].path();
        for (const FolderClaim::Item& item : rows[0].claim()->items)
            if (!item.copyPath.empty())
                QCOMPARE(item.copyPath, twin + item.path.substr(self.size()));
    }

    // A folder whose files have copies in two other places is covered, with the place that
    // holds most of them (and so are those places, each by the folder, listed at their
    // highest); one file more without a copy, or a hard link as the only other name, and a
    // folder is not.
    void aFolderCoveredByCopiesInTwoPlaces() {
        TempTree t;
        t.file("Backup/x/a.txt", "alpha");
        t.file("Backup/b.txt", "bravo");
        t.file("Backup/c.txt", "charlie");
        t.file("Photos/2019/a.txt", "alpha");
        t.file("Photos/2019/b.txt", "bravo");
        t.file("Docs/c.txt", "charlie");
        t.file("Half/a.txt", "alpha");
        t.file("Half/only.txt", "no copy anywhere");
        t.file("Linked/h.txt", "hard linked");
        t.hardlink("Linked/h.txt", "elsewhere/h.txt");
        const Recorder r = search({t.path("*.*")}, {SearchFolders, SearchDuplicates});
        const auto& rows = r.lists[ListFolders];
        QCOMPARE(pathsOf(rows), (Paths{t.path("Backup"), t.path("Photos"), t.path("Docs")}));
        const ResultRow& backup = *rowAt(rows, t.path("Backup"));
        QCOMPARE(backup.group, std::int64_t(GroupMark::None));
        const FolderClaim& claim = *backup.claim();
        QVERIFY(!claim.identical);
        QCOMPARE(claim.copiesIn, t.path("Photos/2019/"));
        for (const FolderClaim::Item& item : claim.items) {
            QVERIFY(!item.copyPath.empty());
            QVERIFY(item.copyPath.rfind(t.path("Backup/"), 0) != 0);
            QCOMPARE(test::readFile(item.copyPath), test::readFile(item.path));
        }
        QVERIFY(proveEntryRow(backup).empty());
    }

    // Empty folders (only empty folders inside) are named at the highest level; a folder with
    // a part that cannot be listed is never empty, nor is anything above it. Broken links are
    // links whose target does not exist, also through another link; a link makes a folder
    // not empty.
    void emptyFoldersAndBrokenLinks() {
        TempTree t;
        t.dir("empty/e1/e2");
        t.dir("has/link");
        t.symlink("nowhere", "has/link/broken1");
        t.symlink("broken1", "has/link/broken2");
        t.file("has/target.txt", "x");
        t.symlink("target.txt", "has/good");
        t.symlink("good", "has/good2");
        t.dir("outer/locked/inner");
        t.dir("outer/open");
        t.file("notempty/file", "");
        t.chmod("outer/locked", 0);
        const std::string root = t.path("*.*");
        QVERIFY(test::runUnprivileged([&] {
            const Recorder r = search({root}, {SearchEmptyFolders, SearchBrokenLinks});
            return pathsOf(r.lists[ListEmptyFolders]) ==
                       Paths{t.path("empty"), t.path("outer/open")} &&
                   pathsOf(r.lists[ListBrokenLinks]) ==
                       Paths{t.path("has/link/broken1"), t.path("has/link/broken2")} &&
                   r.lists[ListDuplicates].empty() && r.lists[ListFolders].empty();
        }));
        const Recorder r = search({root}, {SearchBrokenLinks});
        const ResultRow* link = rowAt(r.lists[ListBrokenLinks], t.path("has/link/broken2"));
        QVERIFY(link && link->target == RowTarget::Link);
        QVERIFY(proveEntryRow(*link).empty());
        t.file("has/link/broken1", "now it leads somewhere"); // replaces the first link
        QCOMPARE(proveEntryRow(*link), std::string("its target exists now"));
        QVERIFY(r.lists[ListEmptyFolders].empty());
    }

    // A folder's row stands only while every file is the one found and byte for byte the same
    // as its copy, and the folder holds nothing more.
    void aFolderRowIsProvenAgainFileByFile() {
        TempTree t;
        makeBackups(t);
        const Recorder r = search({t.path("*.*")}, {SearchFolders});
        const ResultRow row = *rowAt(r.lists[ListFolders], t.path("Photos-old"));
        QVERIFY(proveEntryRow(row).empty());
        // The copy changes, keeping its size.
        t.file("Photos/2019/deep/c.jpg", "picture C");
        QVERIFY(proveEntryRow(row).find("changed") != std::string::npos);
        t.file("Photos/2019/deep/c.jpg", "picture c");
        const Recorder again = search({t.path("*.*")}, {SearchFolders});
        const ResultRow fresh = *rowAt(again.lists[ListFolders], t.path("Photos-old"));
        QVERIFY(proveEntryRow(fresh).empty());
        t.file("Photos-old/2019/new.txt", "one more");
        QCOMPARE(proveEntryRow(fresh), std::string("its files are not those the search found"));
        QVERIFY(::unlink(t.path("Photos-old/2019/new.txt").c_str()) == 0);
        ::rename(t.path("Photos-old").c_str(), t.path("moved").c_str());
        t.dir("Photos-old");
        QCOMPARE(proveEntryRow(fresh), std::string(kFolderChanged));
    }
};

QTEST_GUILESS_MAIN(FoldersTest)
#include "test_folders.moc"
