#include "platform/FileSystem.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "support/TempTree.h"
#include "ui/DriveList.h"
#include "ui/FileOpFrame.h"
#include "ui/FolderList.h"
#include "ui/SetupPanel.h"
#include "ui/TabStrip.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <cerrno>

using namespace trevalo;
using trevalo::test::TempTree;

namespace {

struct Message {
    QString text;
    QString title;
};

// A window whose message boxes and opened addresses are recorded instead of shown.
struct Window {
    frmMain w;
    std::vector<Message> messages;
    std::vector<QUrl> opened;

    Window() {
        w.setMessageHook([this](const QString& text, const QString& title) {
            messages.push_back({text, title});
        });
        w.setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    SetupPanel& panel() { return *w.frmPath; }
    QStringList pathTexts() {
        QStringList out;
        for (int i = 0; i < panel().lstPath->topLevelItemCount(); ++i)
            out << panel().lstPath->topLevelItem(i)->text(0) + "|" +
                       panel().lstPath->topLevelItem(i)->text(1);
        return out;
    }
    void add(const std::string& folder, const QString& pattern) {
        QCOMPARE(panel().dirPath->openFolder(folder), 0);
        panel().txtExt->setText(pattern);
        QTest::mouseClick(panel().cmdAdd, Qt::LeftButton);
    }
    QString tab(int i) { return w.tabMain->tabBar()->tabText(i); }
    QStringList names(int list) {
        QStringList out;
        for (const ResultRow& r : w.resultModel(list).rows())
            out << QString::fromStdString(r.name);
        return out;
    }
};

// Two identical files, two zero-length files, two names that differ only in case.
void makeSearchTree(TempTree& tree) {
    tree.file("a/dup.txt", "the same bytes");
    tree.file("b/copy.txt", "the same bytes");
    tree.file("c/Other.TXT", "x");
    tree.file("d/other.txt", "yy");
    tree.file("z/empty2.txt");
    tree.file("z/Empty1.txt");
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsAsAnEmptySetUpPanel();
    void layoutFollowsTheWindowAndTheTabs();
    void addingAndRemovingPathRows();
    void aFolderThatCannotBeOpenedLeavesTheList();
    void searchWithoutPathsAsksForOne();
    void aWholeSearchFillsSortsAndCountsTheLists();
    void cancelFromTheButtonEndsTheSearch();
    void closingDuringASearchStopsIt();
    void countsFollowRemovedRows();
    void generalMenuAndFileMenu();
};

void TestMainWindow::startsAsAnEmptySetUpPanel() {
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    QCOMPARE(t.w.windowTitle(),
             QStringLiteral("Trevalo - Find duplicates, Free memory, File better"));
    QCOMPARE(t.tab(0), QStringLiteral("Zero Size(0)"));
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(0)"));
    QCOMPARE(t.tab(2), QStringLiteral("Same Name(0)"));
    QCOMPARE(t.tab(3), QStringLiteral("Report - read errors(0)"));
    QCOMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Search"));
    QCOMPARE(t.panel().txtExt->text(), QStringLiteral("*.*"));
    QVERIFY(t.panel().chkSubDir->isChecked());
    QCOMPARE(t.panel().lstSrchType->selectedItems().size(), 3);
    QCOMPARE(t.w.CurList, 0);
    QVERIFY(t.w.frmResult[0]->isVisible() && !t.w.frmResult[1]->isVisible());
    // The current folder is the working folder, on the volume the drive list shows.
    QCOMPARE(QString::fromStdString(t.panel().dirPath->currentFolder()), QDir::currentPath());
    const std::string root = t.panel().drvPath->currentRoot();
    QVERIFY(!root.empty());
    QVERIFY(t.panel().dirPath->currentFolder().rfind(root, 0) == 0);

    // Only the set-up panel and the status bar show.
    const Twips& tw = t.w.twips();
    QCOMPARE(t.w.height(), t.w.minimumHeight());
    QCOMPARE(t.w.StatusBar1->geometry().bottom(), t.w.height() - 1);
    QVERIFY(t.w.StatusBar1->y() >= t.w.frmPath->geometry().bottom());
    QVERIFY(t.w.width() >= tw.px(10000 - 120));

    // The progress bar sits in the status bar's first section, inset from its top and sides.
    QCOMPARE(t.w.pbMain->minimum(), 0);
    QCOMPARE(t.w.pbMain->maximum(), 100);
    QWidget* section = t.w.pbMain->parentWidget();
    QCOMPARE(section->parentWidget(), static_cast<QWidget*>(t.w.StatusBar1));
    QCOMPARE(section->width(), tw.px(3000));
    QCOMPARE(t.w.pbMain->geometry(), QRect(tw.px(40), tw.px(40), tw.px(3000) - 2 * tw.px(40),
                                           section->height() - tw.px(40)));
    QVERIFY(t.w.StatusPanel->mapTo(t.w.StatusBar1, QPoint()).x() >= section->geometry().right());
}

void TestMainWindow::layoutFollowsTheWindowAndTheTabs() {
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    const Twips& tw = t.w.twips();
    const int width = 14100; // outer, twips; the client width is a whole number of pixels
    t.w.resize(tw.px(width - 120), tw.px(9000 - 465));
    QTRY_COMPARE(t.w.tabMain->width(), tw.px(width - 2135));
    QCOMPARE(t.w.frmPath->width(), tw.px(width - 320));
    QCOMPARE(t.panel().lstPath->width(), tw.px(width - 5695));
    QCOMPARE(t.panel().frmSelectPath->width(), tw.px(width - 2215));
    QCOMPARE(t.w.frmFileOp->x(), tw.px(width - 1975));

    // The visible list fills the tab strip below its tabs.
    const QRect strip = t.w.tabMain->geometry();
    const QRect frame0 = t.w.frmResult[0]->geometry();
    QVERIFY(strip.contains(frame0));
    QVERIFY(frame0.top() >= strip.top() + t.w.tabMain->headerHeight() - 1);
    QVERIFY(frame0.height() > strip.height() / 2);
    QCOMPARE(t.w.lstResult[0]->geometry(), QRect(QPoint(), frame0.size()));

    // Another tab shows its own frame, fitted at once.
    t.w.tabMain->tabBar()->setCurrentIndex(2);
    QCOMPARE(t.w.CurList, 2);
    QVERIFY(t.w.frmResult[2]->isVisible() && !t.w.frmResult[0]->isVisible());
    QCOMPARE(t.w.frmResult[2]->geometry(), frame0);
    QCOMPARE(t.w.lstResult[2]->size(), frame0.size());
    // "#" shows only in the duplicates list.
    QVERIFY(t.w.lstResult[2]->isColumnHidden(ColGroup));
    QVERIFY(!t.w.lstResult[1]->isColumnHidden(ColGroup));
}

void TestMainWindow::addingAndRemovingPathRows() {
    TempTree tree;
    tree.dir("data/sub");
    Window t;
    const std::string data = tree.path("data");
    const QString root = QString::fromStdString(tree.root());

    t.add("/", QStringLiteral("*.*"));
    t.add(data, QStringLiteral("*.*"));
    QCOMPARE(t.pathTexts(), QStringList({"/*.*|Yes", root + "/data/*.*|Yes"}));

    // The same path again with the other sub-folder choice adds nothing.
    t.panel().chkSubDir->setChecked(false);
    t.add(data, QStringLiteral("*.*"));
    QCOMPARE(t.pathTexts().size(), 2);
    // Folder + pattern is the second form of a listed path.
    t.add(tree.root(), QStringLiteral("data*.*"));
    t.add(data, QStringLiteral("*.*"));
    QCOMPARE(t.pathTexts().size(), 3);
    // Letter case counts; a blank pattern is a pattern.
    t.add(data, QStringLiteral("*.TXT"));
    t.add(data, QStringLiteral("*.txt"));
    t.add(data, QStringLiteral(" "));
    QCOMPARE(t.pathTexts().mid(3),
             QStringList({root + "/data/*.TXT|No", root + "/data/*.txt|No", root + "/data/ |No"}));
    // An empty pattern is refused with a message.
    QVERIFY(t.messages.empty());
    t.add(data, QString());
    QCOMPARE(t.pathTexts().size(), 6);
    QCOMPARE(t.messages.size(), std::size_t{1});
    QCOMPARE(t.messages[0].text, QStringLiteral("Please input extension."));
    QCOMPARE(t.messages[0].title, QStringLiteral("Trevalo"));

    // A highlighted folder is not the open one.
    QCOMPARE(t.panel().dirPath->openFolder(data), 0);
    const QList<QTreeWidgetItem*> sub =
        t.panel().dirPath->findItems(QStringLiteral("sub"), Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(sub.size(), 1);
    t.panel().dirPath->setCurrentItem(sub[0]);
    t.panel().txtExt->setText(QStringLiteral("*.jpg"));
    QTest::mouseClick(t.panel().cmdAdd, Qt::LeftButton);
    QCOMPARE(t.pathTexts().last(), root + "/data/*.jpg|No");
    // Enter opens it.
    QTest::keyClick(t.panel().dirPath, Qt::Key_Return);
    QCOMPARE(t.panel().dirPath->currentFolder(), tree.path("data/sub"));

    // "<" and a double click remove the selected row; with none selected nothing happens.
    t.panel().lstPath->clearSelection();
    QTest::mouseClick(t.panel().cmdRemove, Qt::LeftButton);
    QCOMPARE(t.pathTexts().size(), 7);
    t.panel().lstPath->setCurrentItem(t.panel().lstPath->topLevelItem(0));
    QTest::mouseClick(t.panel().cmdRemove, Qt::LeftButton);
    QCOMPARE(t.pathTexts().first(), root + "/data/*.*|Yes");
    t.panel().lstPath->setCurrentItem(t.panel().lstPath->topLevelItem(0));
    QTest::mouseDClick(t.panel().lstPath->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(t.pathTexts().size(), 5);

    // New Search empties the path list and chooses every search type again.
    t.panel().lstSrchType->item(1)->setSelected(false);
    QTest::mouseClick(t.panel().cmdNewSrch, Qt::LeftButton);
    QVERIFY(t.pathTexts().isEmpty());
    QCOMPARE(t.panel().lstSrchType->selectedItems().size(), 3);
    QCOMPARE(t.panel().txtExt->text(), QStringLiteral("*.jpg"));
}

void TestMainWindow::aFolderThatCannotBeOpenedLeavesTheList() {
    TempTree tree;
    tree.dir("here");
    Window t;
    QVERIFY(t.panel().openFolder(tree.path("here")));
    const int items = t.panel().dirPath->topLevelItemCount();
    QVERIFY(!t.panel().openFolder(tree.path("gone")));
    QCOMPARE(t.panel().dirPath->currentFolder(), tree.path("here"));
    QCOMPARE(t.panel().dirPath->topLevelItemCount(), items);
    QCOMPARE(t.messages.size(), std::size_t{1});
    QCOMPARE(t.messages[0].text, QString::fromStdString(errorText(ENOENT)));
}

void TestMainWindow::searchWithoutPathsAsksForOne() {
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowActive(&t.w));
    const int height = t.w.height();
    t.panel().cmdSrch->setFocus();
    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton);
    QCOMPARE(t.messages.size(), std::size_t{1});
    QCOMPARE(t.messages[0].text, QStringLiteral("Please select path before search."));
    QCOMPARE(t.messages[0].title, QStringLiteral("Select Path"));
    QTRY_VERIFY(t.panel().drvPath->hasFocus());
    QCOMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Search"));
    QCOMPARE(t.w.height(), height);
    QVERIFY(t.w.StatusPanel->text().isEmpty());
}

void TestMainWindow::aWholeSearchFillsSortsAndCountsTheLists() {
    TempTree tree;
    makeSearchTree(tree);
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    t.add(tree.root(), QStringLiteral("*.*"));

    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton);
    // Running: the button cancels, the set-up controls are locked, the result area opens.
    QCOMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Cancel"));
    QVERIFY(!t.panel().frmSelectPath->isEnabled());
    QVERIFY(!t.panel().cmdNewSrch->isEnabled());
    QVERIFY(!t.panel().lstSrchType->isEnabled());
    QVERIFY(t.panel().cmdMenu->isEnabled());
    QTRY_COMPARE(t.w.height(), t.w.twips().pxAtLeast(8000 - 465));

    QTRY_COMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Search"));
    QVERIFY(t.panel().frmSelectPath->isEnabled() && t.panel().cmdNewSrch->isEnabled() &&
            t.panel().lstSrchType->isEnabled());
    QTRY_VERIFY(QRegularExpression(QStringLiteral("^Completed in \\d+s, searching 6 files\\.$"))
                    .match(t.w.StatusPanel->text())
                    .hasMatch());
    QCOMPARE(t.w.pbMain->value(), 0);

    QCOMPARE(t.tab(0), QStringLiteral("Zero Size(2)"));
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
    QCOMPARE(t.tab(2), QStringLiteral("Same Name(2)"));
    QCOMPARE(t.tab(3), QStringLiteral("Report - read errors(0)"));
    // Sorted: zero-size and same-name lists by name without regard to case.
    QCOMPARE(t.names(0), QStringList({"Empty1.txt", "empty2.txt"}));
    QCOMPARE(t.names(1).size(), 2);
    QCOMPARE(t.w.resultModel(1).row(0).group, t.w.resultModel(1).row(1).group);
    QCOMPARE(t.names(2).join(',').toLower(), QStringLiteral("other.txt,other.txt"));
    const ResultRow& zero = t.w.resultModel(0).row(0);
    QCOMPARE(zero.path(), tree.path("z/Empty1.txt"));
    QCOMPARE(t.w.resultModel(0).index(0, ColSize).data().toString(), QStringLiteral("0"));

    // A second search clears the first one's lists before it fills them again.
    t.panel().lstSrchType->item(0)->setSelected(false);
    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton);
    QCOMPARE(t.w.resultModel(0).rowCount(), 0);
    QTRY_COMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Search"));
    QCOMPARE(t.tab(0), QStringLiteral("Zero Size(0)"));
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
}

void TestMainWindow::cancelFromTheButtonEndsTheSearch() {
    TempTree tree;
    for (int i = 0; i < 300; ++i)
        tree.file("f/" + std::to_string(i) + ".bin", std::string(64, static_cast<char>(i % 2)));
    Window t;
    t.add(tree.root(), QStringLiteral("*.*"));
    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton);
    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton); // before the search can report back
    QCOMPARE(t.w.searchRun().state(), SearchRun::State::Stopping);
    QCOMPARE(t.w.StatusPanel->text(), QStringLiteral("Stopping ..."));
    QTRY_COMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Search"));
    QTRY_VERIFY(t.w.StatusPanel->text().startsWith(QStringLiteral("Completed in ")));
    QVERIFY(t.panel().frmSelectPath->isEnabled());
    // A new search starts at once.
    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton);
    QCOMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Cancel"));
    QTRY_COMPARE(t.panel().cmdSrch->text(), QStringLiteral("&Search"));
    QTRY_COMPARE(t.tab(1), QStringLiteral("Duplicates(300)"));
}

void TestMainWindow::closingDuringASearchStopsIt() {
    TempTree tree;
    makeSearchTree(tree);
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    t.add(tree.root(), QStringLiteral("*.*"));
    QTest::mouseClick(t.panel().cmdSrch, Qt::LeftButton);
    QVERIFY(t.w.searchRun().isRunning());
    QVERIFY(t.w.close());
    QVERIFY(!t.w.searchRun().isRunning());
    QTest::qWait(50); // whatever the worker queued is dropped, not shown
    QVERIFY(!t.w.StatusPanel->text().startsWith(QStringLiteral("Completed")));
}

void TestMainWindow::countsFollowRemovedRows() {
    Window t;
    std::vector<ResultRow> rows(5);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].name = "f" + std::to_string(i);
    t.w.resultModel(1).appendRows(rows);
    t.w.UpdateCount();
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(5)"));
    t.w.resultModel(1).removeRowsAt({0, 2, 4});
    t.w.UpdateCount();
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
    QCOMPARE(t.tab(0), QStringLiteral("Zero Size(0)"));
    t.w.UpdateCount();
    QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
}

void TestMainWindow::generalMenuAndFileMenu() {
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    t.w.mnuAbout->trigger();
    QCOMPARE(t.messages.size(), std::size_t{1});
    QCOMPARE(t.messages[0].text, QStringLiteral("Trevalo Ver. 1.0.27"));
    QCOMPARE(t.messages[0].title, QStringLiteral("About Trevalo"));

    t.w.mnuHelp->trigger();
    t.w.mnuWebSite->trigger();
    QCOMPARE(t.opened.size(), std::size_t{2});
    QVERIFY(t.opened[0].isLocalFile());
    QCOMPARE(QFileInfo(t.opened[0].toLocalFile()).fileName(), QStringLiteral("trevalo.html"));
    QVERIFY(QFileInfo(t.opened[0].toLocalFile()).isFile());
    QCOMPARE(t.opened[1].scheme(), QStringLiteral("https"));

    // A right-button release over a result list pops up the file menu.
    QTest::mouseRelease(t.w.lstResult[0]->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    QTRY_VERIFY(t.w.mnuFile->isVisible());
    t.w.mnuFile->hide();
    QTest::mouseRelease(t.w.lstResult[0]->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!t.w.mnuFile->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
