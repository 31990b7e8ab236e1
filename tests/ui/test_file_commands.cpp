#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "platform/desktop/ShellOpen.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "support/TempTree.h"
#include "ui/FileCommands.h"
#include "ui/FolderList.h"
#include "ui/SetupPanel.h"
#include "ui/TabStrip.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QUrl>

#include <fstream>
#include <sstream>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

struct Asked {
    QString text;
    QString title;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool exists(const std::string& path) {
    return statPath(path, false).kind != FileKind::Missing;
}

// A shown window whose message boxes, questions, prompts and opened files are recorded; the
// questions are answered with `yes` and the prompts with `answer`.
struct Window {
    frmMain w;
    std::vector<Asked> messages;
    std::vector<Asked> questions;
    std::vector<Asked> prompts;
    std::vector<QUrl> opened;
    bool yes = true;
    QString answer;

    Window() {
        w.setMessageHook([this](const QString& text, const QString& title) {
            messages.push_back({text, title});
        });
        w.setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        w.fileCommands().setConfirmHook([this](const QString& text, const QString& title) {
            questions.push_back({text, title});
            return yes;
        });
        w.fileCommands().setPromptHook(
            [this](const QString& title, const QString& label, const QString& defaultText) {
                prompts.push_back({label + "|" + defaultText, title});
                return answer;
            });
        w.show();
    }
    bool active() { return QTest::qWaitForWindowActive(&w); }

    // Searches every file under folder and waits until the search has ended.
    void search(const std::string& folder) {
        QCOMPARE(w.frmPath->dirPath->openFolder(folder), 0);
        w.frmPath->txtExt->setText(QStringLiteral("*.*"));
        QTest::mouseClick(w.frmPath->cmdAdd, Qt::LeftButton);
        QTest::mouseClick(w.frmPath->cmdSrch, Qt::LeftButton);
        QTRY_COMPARE(w.frmPath->cmdSrch->text(), QStringLiteral("&Search"));
    }
    void showList(int list) {
        w.tabMain->tabBar()->setCurrentIndex(list);
        w.lstResult[static_cast<std::size_t>(list)]->setFocus();
    }
    // A key pressed in the visible list.
    void key(Qt::Key key) {
        QTest::keyClick(w.lstResult[static_cast<std::size_t>(w.CurList)], key);
    }
    ResultListModel& list() { return w.currentModel(); }
    int rowOf(const std::string& path) {
        for (int i = 0; i < list().rowCount(); ++i)
            if (list().row(i).path() == path)
                return i;
        return -1;
    }
    void clickRow(int row) {
        ResultListView* view = w.lstResult[static_cast<std::size_t>(w.CurList)];
        const QModelIndex cell = list().index(row, ColFolder);
        view->scrollTo(cell);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    }
    QString tab(int i) { return w.tabMain->tabBar()->tabText(i); }
};

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void markOlderAndDeleteToTheTrash();
    void renameAndOpenTheSelectedRow();
    void clickPreviewsSpaceMarksEscCancels();

private:
    QByteArray home_ = qgetenv("HOME");
};

void TestFileCommands::cleanup() {
    qputenv("HOME", home_);
    qunsetenv("XDG_DATA_HOME");
}

void TestFileCommands::markOlderAndDeleteToTheTrash() {
    TempTree tree;
    tree.file("data/a/photo.jpg", "first group");
    tree.file("data/b/photo.jpg", "first group");
    tree.file("data/c/notes.txt", "second group, longer");
    tree.file("data/d/notes-copy.txt", "second group, longer");
    tree.setMtime("data/a/photo.jpg", 1577880000);      // 2020-01-01
    tree.setMtime("data/b/photo.jpg", 1717243200);      // 2024-06-01
    tree.setMtime("data/c/notes.txt", 1609502400);      // 2021-01-01
    tree.setMtime("data/d/notes-copy.txt", 1672574400); // 2023-01-01
    // Nothing of this test may reach the user's own trash.
    qputenv("HOME", QByteArray::fromStdString(tree.dir("home")));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(tree.dir("home/.local/share")));

    Window t;
    QVERIFY(t.active());
    t.search(tree.path("data"));
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(4)"));

    // Marking by age applies to lists with groups.
    t.showList(0);
    t.w.mnuFile->popup(QPoint());
    QVERIFY(!t.w.mnuMarkOld->isEnabled() && !t.w.mnuMarkNewer->isEnabled());
    t.w.mnuFile->hide();
    t.showList(1);
    t.w.mnuFile->popup(QPoint());
    QVERIFY(t.w.mnuMarkOld->isEnabled() && t.w.mnuMarkNewer->isEnabled());
    t.w.mnuFile->hide();

    // Every copy marked: the question says so, and No leaves everything.
    t.w.mnuMarkAll->trigger();
    t.yes = false;
    t.key(Qt::Key_Delete);
    QCOMPARE(t.questions.size(), std::size_t{1});
    QVERIFY(t.questions[0].text.contains(QStringLiteral("4 marked files")));
    QVERIFY(t.questions[0].text.contains(QStringLiteral("2 groups would keep no copy at all.")));
    QCOMPARE(t.list().rowCount(), 4);
    QVERIFY(exists(tree.path("data/a/photo.jpg")));

    t.w.mnuMarkOld->trigger();
    const std::string older = tree.path("data/a/photo.jpg");
    const std::string changed = tree.path("data/c/notes.txt");
    for (const ResultRow& row : t.list().rows())
        QCOMPARE(row.checked, row.path() == older || row.path() == changed);

    // The marks of another list are not this list's.
    t.showList(2);
    t.key(Qt::Key_Delete);
    QCOMPARE(t.messages.size(), std::size_t{1});
    QCOMPARE(t.messages[0].text, QStringLiteral("Please mark files."));
    QCOMPARE(t.messages[0].title, QStringLiteral("Trevalo"));
    QCOMPARE(t.questions.size(), std::size_t{1});

    // A file changed after the search stays, with its row. A second Delete while the first
    // runs asks nothing.
    tree.setMtime("data/c/notes.txt", 1640995200);
    t.showList(1);
    t.yes = true;
    t.key(Qt::Key_Delete);
    t.key(Qt::Key_Delete);
    QCOMPARE(t.questions.size(), std::size_t{2});
    // The list is re-sorted while the files move; the rows that go are found all the same.
    t.w.SortByColumn(1, ColDate + 1, 1);
    QVERIFY(t.questions[1].text.startsWith(QStringLiteral("2 marked files")));
    QVERIFY(!t.questions[1].text.contains(QStringLiteral("no copy")));
    QTRY_COMPARE(t.messages.size(), std::size_t{2});
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(3)"));
    QVERIFY(t.messages[1].text.startsWith(QStringLiteral("Deletion failed: ")));
    QVERIFY(t.messages[1].text.contains(displayText(changed) + QStringLiteral(": ") +
                                        QString::fromLatin1(kChangedSinceSearch)));
    QVERIFY(!t.messages[1].text.contains(QStringLiteral("photo")));

    QVERIFY(!exists(older));
    const std::string trash = tree.path("home/.local/share/Trash");
    QCOMPARE(readAll(trash + "/files/photo.jpg"), std::string("first group"));
    QVERIFY(readAll(trash + "/info/photo.jpg.trashinfo")
                .find("\nPath=" + trashPercentEncode(older) + "\n") != std::string::npos);
    QCOMPARE(t.rowOf(older), -1);
    QVERIFY(t.rowOf(tree.path("data/b/photo.jpg")) >= 0);
    QVERIFY(exists(changed));
    QVERIFY(t.rowOf(changed) >= 0);
    // Only the list the delete worked on loses rows.
    QCOMPARE(t.w.resultModel(2).rowCount(), 2);
}

void TestFileCommands::renameAndOpenTheSelectedRow() {
    TempTree tree;
    tree.file("data/x/one.txt", "same");
    tree.file("data/y/two.txt", "same");
    tree.dir("data/x/sub");
    Window t;
    QVERIFY(t.active());
    t.search(tree.path("data"));
    t.showList(1);
    t.w.lstResult[1]->clearSelection();

    t.key(Qt::Key_F2);
    t.key(Qt::Key_Return);
    QCOMPARE(t.messages.size(), std::size_t{2});
    for (const Asked& m : t.messages) {
        QCOMPARE(m.text, QStringLiteral("Please select a file."));
        QCOMPARE(m.title, QStringLiteral("Select file"));
    }
    QVERIFY(t.prompts.empty() && t.opened.empty());

    const std::string one = tree.path("data/x/one.txt");
    const int row = t.rowOf(one);
    t.w.lstResult[1]->selectRow(row);
    const ResultRow before = t.list().row(row);
    t.answer = QStringLiteral("renamed.txt");
    t.key(Qt::Key_F2);
    QCOMPARE(t.prompts.size(), std::size_t{1});
    QCOMPARE(t.prompts[0].title, QStringLiteral("Rename"));
    QCOMPARE(t.prompts[0].text,
             "Please type a new file name for \n" + displayText(one) + "|one.txt");
    const std::string renamed = tree.path("data/x/renamed.txt");
    QVERIFY(!exists(one));
    QCOMPARE(readAll(renamed), std::string("same"));
    QCOMPARE(t.list().row(row).name, std::string("renamed.txt"));
    QCOMPARE(t.list().row(row).folder, before.folder);

    // A path is not a name: refused, the file and its row stay.
    t.answer = QStringLiteral("sub/moved.txt");
    t.key(Qt::Key_F2);
    QCOMPARE(t.messages.size(), std::size_t{3});
    QCOMPARE(t.messages[2].text, QStringLiteral("File can't be renamed."));
    QCOMPARE(t.messages[2].title, QStringLiteral("Can't rename"));
    QCOMPARE(readAll(renamed), std::string("same"));
    QVERIFY(!exists(tree.path("data/x/sub/moved.txt")));
    QCOMPARE(t.list().row(row).name, std::string("renamed.txt"));

    // Enter opens the selected file, by its bytes.
    t.key(Qt::Key_Return);
    QCOMPARE(t.opened.size(), std::size_t{1});
    QCOMPARE(t.opened[0], fileUrlOf(renamed));
}

void TestFileCommands::clickPreviewsSpaceMarksEscCancels() {
    TempTree tree;
    QFile picture(QFINDTESTDATA("../data/pictures/sample.jpg"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    const std::string bytes = picture.readAll().toStdString();
    tree.file("data/p/shot.jpg", bytes);
    tree.file("data/q/shot-copy.jpg", bytes);
    tree.file("data/t/a.txt", "text");
    tree.file("data/u/b.txt", "text");
    Window t;
    QVERIFY(t.active());
    // Esc without a search does nothing.
    QTest::keyClick(&t.w, Qt::Key_Escape);
    QVERIFY(t.messages.empty());
    t.search(tree.path("data"));
    t.showList(1);

    t.clickRow(t.rowOf(tree.path("data/p/shot.jpg")));
    QVERIFY(!t.w.imgPreview->pixmap().isNull());
    // Fitted into the box, which is narrower than the picture.
    const QSize shown = t.w.imgPreview->pixmap().size();
    QCOMPARE(shown.width(), t.w.imgPreview->contentsRect().width());
    QVERIFY(shown.height() < t.w.imgPreview->contentsRect().height());
    const int text = t.rowOf(tree.path("data/t/a.txt"));
    t.clickRow(text);
    QCOMPARE(t.w.selectedRow(), text);
    QVERIFY(t.w.imgPreview->pixmap().isNull());

    // Space flips the mark of the current row only.
    t.key(Qt::Key_Space);
    for (int i = 0; i < t.list().rowCount(); ++i)
        QCOMPARE(t.list().row(i).checked, i == text);
    t.key(Qt::Key_Space);
    QCOMPARE(countMarked(t.list().rows()), std::size_t{0});

    // Esc stops a running search like its Cancel button.
    QTest::mouseClick(t.w.frmPath->cmdSrch, Qt::LeftButton);
    QCOMPARE(t.w.searchRun().state(), SearchRun::State::Running);
    QTest::keyClick(&t.w, Qt::Key_Escape);
    QCOMPARE(t.w.searchRun().state(), SearchRun::State::Stopping);
    QTRY_COMPARE(t.w.frmPath->cmdSrch->text(), QStringLiteral("&Search"));
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
