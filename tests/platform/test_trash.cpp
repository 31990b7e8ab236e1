#include "platform/Trash.h"

#include "support/TempTree.h"

#include <QtTest>

#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool exists(const std::string& path) {
    struct stat sb;
    return ::lstat(path.c_str(), &sb) == 0;
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

// The value of one key of a .trashinfo, or "" when the key is missing.
std::string infoValue(const std::string& info, const std::string& key) {
    std::istringstream in(info);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return {};
}

std::string percentDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return buf;
}

// Sets an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            old_ = old;
        }
        if (value.empty())
            ::unsetenv(name);
        else
            ::setenv(name, value.c_str(), 1);
    }
    ~EnvVar() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

mode_t modeOf(const std::string& path) {
    struct stat sb;
    return ::stat(path.c_str(), &sb) == 0 ? (sb.st_mode & 07777) : 0;
}

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // A zone far from UTC, so that a deletion date written in UTC shows.
        ::setenv("TZ", "Etc/GMT-5", 1);
        ::tzset();
    }

    void missingHomeTrashIsCreatedAndTheFileCanBeRestored() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", tree.path("data"));
        const std::string original = tree.file("docs/a b%+.txt", "hello");
        const std::string before = localNow();

        const TrashResult r = moveToTrash(original);
        const std::string after = localNow();

        QVERIFY2(r.ok, r.reason.c_str());
        const std::string trash = tree.path("data/Trash");
        QCOMPARE(r.trashFolder, trash);
        QCOMPARE(modeOf(trash), mode_t(0700));
        QCOMPARE(modeOf(trash + "/files"), mode_t(0700));
        QCOMPARE(modeOf(trash + "/info"), mode_t(0700));
        QVERIFY(!exists(original));
        QCOMPARE(r.trashedName, std::string("a b%+.txt"));
        QCOMPARE(readAll(trash + "/files/a b%+.txt"), std::string("hello"));

        const std::string info = readAll(trash + "/info/a b%+.txt.trashinfo");
        QCOMPARE(info.substr(0, info.find('\n')), std::string("[Trash Info]"));
        const std::string encoded = infoValue(info, "Path");
        QCOMPARE(encoded, tree.root() + "/docs/a%20b%25%2B.txt");
        const std::string date = infoValue(info, "DeletionDate");
        QVERIFY2(before <= date && date <= after, date.c_str());

        // What a desktop trash does to restore it.
        QCOMPARE(::rename((trash + "/files/a b%+.txt").c_str(), percentDecode(encoded).c_str()), 0);
        QCOMPARE(readAll(original), std::string("hello"));
    }

    void homeTrashDefaultsToTheHomeFolder() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", "");
        EnvVar home("HOME", tree.path("home"));
        tree.dir("home");
        QCOMPARE(homeTrashFolder(), tree.path("home/.local/share/Trash"));
        const TrashResult r = moveToTrash(tree.file("x.txt", "x"));
        QVERIFY2(r.ok, r.reason.c_str());
        QVERIFY(exists(tree.path("home/.local/share/Trash/files/x.txt")));
    }

    void nameThatIsNotUtf8KeepsItsBytes() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", tree.path("data"));
        const std::string name = "caf\xE9 \xFF.txt";
        const std::string original = tree.file(name, "latin1");

        const TrashResult r = moveToTrash(original);

        QVERIFY2(r.ok, r.reason.c_str());
        QCOMPARE(r.trashedName, name);
        QCOMPARE(readAll(r.trashFolder + "/files/" + name), std::string("latin1"));
        const std::string encoded =
            infoValue(readAll(r.trashFolder + "/info/" + name + ".trashinfo"), "Path");
        QVERIFY2(encoded.find("caf%E9%20%FF.txt") != std::string::npos, encoded.c_str());
        QCOMPARE(percentDecode(encoded), original);
    }

    void sameNameInTheTrashGetsANumberAndNothingIsReplaced() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", tree.path("data"));
        const TrashResult first = moveToTrash(tree.file("one/r.txt", "first"));
        // A file in files/ without its .trashinfo must not be overwritten either.
        tree.file("data/Trash/files/r.txt.2", "orphan");
        const TrashResult second = moveToTrash(tree.file("two/r.txt", "second"));

        QVERIFY2(first.ok, first.reason.c_str());
        QVERIFY2(second.ok, second.reason.c_str());
        QCOMPARE(first.trashedName, std::string("r.txt"));
        QCOMPARE(second.trashedName, std::string("r.txt.3"));
        const std::string trash = tree.path("data/Trash");
        QCOMPARE(readAll(trash + "/files/r.txt"), std::string("first"));
        QCOMPARE(readAll(trash + "/files/r.txt.2"), std::string("orphan"));
        QCOMPARE(readAll(trash + "/files/r.txt.3"), std::string("second"));
        QVERIFY(!exists(trash + "/info/r.txt.2.trashinfo"));
        QCOMPARE(percentDecode(infoValue(readAll(trash + "/info/r.txt.3.trashinfo"), "Path")),
                 tree.path("two/r.txt"));
    }

    void longNameIsShortenedToFitTheInfoFile() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", tree.path("data"));
        const std::string name(250, 'n');
        const TrashResult r = moveToTrash(tree.file(name, "long"));
        QVERIFY2(r.ok, r.reason.c_str());
        QVERIFY(r.trashedName.size() + 10 <= 255);
        QCOMPARE(readAll(r.trashFolder + "/files/" + r.trashedName), std::string("long"));
        QCOMPARE(percentDecode(infoValue(
                     readAll(r.trashFolder + "/info/" + r.trashedName + ".trashinfo"), "Path")),
                 tree.path(name));
    }

    void missingFileFailsAndLeavesNoInfo() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", tree.path("data"));
        const TrashResult r = moveToTrash(tree.path("gone.txt"));
        QVERIFY(!r.ok);
        QCOMPARE(r.reason, std::string("No such file or directory"));
        QVERIFY(entries(tree.path("data/Trash/info")).empty());
    }

    void fileThatCannotMoveStaysAndItsInfoIsTakenBack() {
        TempTree tree;
        tree.dir("data");
        tree.chmod("data", 0777); // the unprivileged user's own trash
        const std::string locked = tree.file("locked/keep.txt", "keep");
        tree.chmod("locked", 0555);
        const std::string data = tree.path("data");

        QVERIFY(trevalo::test::runUnprivileged([&] {
            ::setenv("XDG_DATA_HOME", data.c_str(), 1);
            const TrashResult r = moveToTrash(locked);
            return !r.ok && r.reason == "Permission denied" && exists(locked) &&
                   entries(data + "/Trash/info").empty() && entries(data + "/Trash/files").empty();
        }));
        QCOMPARE(readAll(locked), std::string("keep"));
    }

    void mountTrashUsesTheSharedFolderOnlyWhenItIsSafe() {
        const std::string uid = std::to_string(::getuid());
        {
            TempTree top;
            top.dir(".Trash");
            top.chmod(".Trash", 01777);
            const TrashPlace place = mountTrash(top.root());
            QCOMPARE(place.error, 0);
            QCOMPARE(place.folder, top.path(".Trash/" + uid));
            QCOMPARE(modeOf(place.folder), mode_t(0700));
            QVERIFY(exists(place.folder + "/files") && exists(place.folder + "/info"));
        }
        {
            TempTree top;
            top.dir(".Trash");
            top.chmod(".Trash", 0777); // no sticky bit: anyone could remove our files
            const TrashPlace place = mountTrash(top.root());
            QCOMPARE(place.error, 0);
            QCOMPARE(place.folder, top.path(".Trash-" + uid));
            QVERIFY(!exists(top.path(".Trash/" + uid)));
        }
        {
            TempTree top;
            top.dir("elsewhere");
            top.chmod("elsewhere", 01777);
            top.symlink(top.path("elsewhere"), ".Trash");
            const TrashPlace place = mountTrash(top.root());
            QCOMPARE(place.folder, top.path(".Trash-" + uid));
            QVERIFY(entries(top.path("elsewhere")).empty());
        }
        {
            TempTree top;
            top.symlink(top.path("elsewhere"), ".Trash-" + uid);
            top.dir("elsewhere");
            const TrashPlace place = mountTrash(top.root());
            QVERIFY(place.error != 0);
            QVERIFY(entries(top.path("elsewhere")).empty());
        }
    }

    void fileOnAnotherFileSystemGoesToThatMountsTrash() {
        TempTree tree;
        EnvVar data("XDG_DATA_HOME", tree.path("data"));
        struct stat here, shm;
        if (::stat(tree.root().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 ||
            here.st_dev == shm.st_dev || ::access("/dev/shm", W_OK) != 0)
            QSKIP("no second writable file system at /dev/shm");

        const std::string uid = std::to_string(::getuid());
        const std::string sharedTrash = "/dev/shm/.Trash";
        const std::string ownTrash = "/dev/shm/.Trash-" + uid;
        const bool sharedThere = exists(sharedTrash + "/" + uid);
        const bool ownThere = exists(ownTrash);

        char folder[] = "/dev/shm/trevalo-test-XXXXXX";
        QVERIFY(::mkdtemp(folder) != nullptr);
        const std::string original = std::string(folder) + "/on shm.txt";
        std::ofstream(original) << "elsewhere";

        const TrashResult r = moveToTrash(original);

        bool inMountTrash = false;
        std::string info;
        if (r.ok) {
            inMountTrash = r.trashFolder == ownTrash || r.trashFolder == sharedTrash + "/" + uid;
            info = readAll(r.trashFolder + "/info/" + r.trashedName + ".trashinfo");
            ::unlink((r.trashFolder + "/files/" + r.trashedName).c_str());
            ::unlink((r.trashFolder + "/info/" + r.trashedName + ".trashinfo").c_str());
            if (!(r.trashFolder == ownTrash ? ownThere : sharedThere)) {
                ::rmdir((r.trashFolder + "/files").c_str());
                ::rmdir((r.trashFolder + "/info").c_str());
                ::rmdir(r.trashFolder.c_str());
            }
        }
        ::unlink(original.c_str());
        ::rmdir(folder);

        QVERIFY2(r.ok, r.reason.c_str());
        QVERIFY2(inMountTrash, r.trashFolder.c_str());
        QCOMPARE(infoValue(info, "Path"), std::string(folder) + "/on%20shm.txt");
        QVERIFY(!exists(tree.path("data/Trash/files/on shm.txt")));
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "test_trash.moc"
