// SPDX-License-Identifier: GPL-2.0-or-later
// The main window on the offscreen platform: layout, the set-up panel, whole searches and the
// file commands, with every message box, question, prompt and opened address recorded.
#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "platform/desktop/DesktopOpen.h"
#include "results/FileOperations.h"
#include "results/ResultListModel.h"
#include "results/ResultListView.h"
#include "support/FileRows.h"
#include "support/TempTree.h"
#include "ui/DriveList.h"
#include "ui/FileCommands.h"
#include "ui/FileOpPanel.h"
#include "ui/FolderList.h"
#include "ui/GeneralMenu.h"
#include "ui/MainWindow.h"
#include "ui/MarkCommands.h"
#include "ui/PathRows.h"
#include "ui/SetupPanel.h"
#include "ui/TabStrip.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <QProgressDialog>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

using namespace trevalo;
using trevalo::test::exists;
using trevalo::test::readFile;
using trevalo::test::TempTree;

namespace {

// A window whose message boxes ("text|title"), questions, prompts ("title|label|default") and
// opened addresses are recorded instead of shown; questions are answered with `yes`, the next
// prompt with `answer` (and those after it are cancelled).
struct Window {
    MainWindow w;
    QStringList messages, questions, prompts;
    std::vector<QUrl> opened;
    bool yes = true;
    QString answer;
    std::function<void()> whileAsked; // runs while a question or prompt is open

    Window() {
        w.setMessageHook(
            [this](const QString& text, const QString& title) { messages << text + "|" + title; });
        w.setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        w.fileCommands().setConfirmHook([this](const QString& text, const QString&) {
            questions << text;
            if (whileAsked)
                whileAsked();
            return yes;
        });
        w.fileCommands().setPromptHook(
            [this](const QString& title, const QString& label, const QString& defaultText) {
                prompts << title + "|" + label + "|" + defaultText;
                if (whileAsked)
                    whileAsked();
                return std::exchange(answer, QString()); // the next prompt is cancelled
            });
    }
    bool shown() {
        w.show();
        return QTest::qWaitForWindowActive(&w);
    }
    // The window's widgets, found by object name.
    template <class T> T* child(const QString& name) const {
        T* found = w.findChild<T*>(name);
        if (!found)
            qFatal("no widget %s", qPrintable(name));
        return found;
    }
    SetupPanel& panel() const { return *setupPanel(); }
    SetupPanel* setupPanel() const { return child<SetupPanel>(QStringLiteral("setupPanel")); }
    QPushButton* searchButton() const { return child<QPushButton>(QStringLiteral("searchButton")); }
    FolderList* folderList() const { return child<FolderList>(QStringLiteral("folderList")); }
    QTreeWidget* searchPathList() const {
        return child<QTreeWidget>(QStringLiteral("searchPathList"));
    }
    QListWidget* searchTypeList() const {
        return child<QListWidget>(QStringLiteral("searchTypeList"));
    }
    QWidget* pathPicker() const { return child<QWidget>(QStringLiteral("pathPicker")); }
    QLineEdit* patternEdit() const { return child<QLineEdit>(QStringLiteral("patternEdit")); }
    QPushButton* newSearchButton() const {
        return child<QPushButton>(QStringLiteral("newSearchButton"));
    }
    DriveList* driveCombo() const { return child<DriveList>(QStringLiteral("driveCombo")); }
    QCheckBox* subFoldersCheckBox() const {
        return child<QCheckBox>(QStringLiteral("subFoldersCheckBox"));
    }
    QWidget* searchControls() const { return child<QWidget>(QStringLiteral("searchControls")); }
    QPushButton* menuButton() const { return child<QPushButton>(QStringLiteral("menuButton")); }
    QPushButton* addPathButton() const {
        return child<QPushButton>(QStringLiteral("addPathButton"));
    }
    QPushButton* removePathButton() const {
        return child<QPushButton>(QStringLiteral("removePathButton"));
    }
    QLabel* statusLabel() const { return child<QLabel>(QStringLiteral("statusLabel")); }
    QMenu* fileMenu() const { return child<QMenu>(QStringLiteral("fileMenu")); }
    TabStrip* resultTabs() const { return child<TabStrip>(QStringLiteral("resultTabs")); }
    QLabel* previewLabel() const { return child<QLabel>(QStringLiteral("previewLabel")); }
    QProgressBar* progressBar() const { return child<QProgressBar>(QStringLiteral("progressBar")); }
    QStatusBar* statusBar() const { return child<QStatusBar>(QStringLiteral("statusBar")); }
    QWidget* fileOpPanel() const { return child<QWidget>(QStringLiteral("fileOpPanel")); }
    ResultListView* view(int list) const {
        return child<ResultListView>(QStringLiteral("resultView%1").arg(list));
    }
    QWidget* frame(int list) const {
        return child<QWidget>(QStringLiteral("resultFrame%1").arg(list));
    }
    QAction* action(const char* name) const { return child<QAction>(QString::fromLatin1(name)); }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(QString::fromLatin1(name)); }
    QComboBox* combo(const char* name) const { return child<QComboBox>(QString::fromLatin1(name)); }
    // The scope fields: a ";" line of patterns, and the limits as "number|unit" (empty: none).
    void setScope(const QString& exclude, const QString& minSize, const QString& maxSize) {
        edit("excludeEdit")->setText(exclude);
        for (const auto& [field, name] : {std::pair{minSize, "min"}, std::pair{maxSize, "max"}}) {
            edit(name == std::string("min") ? "minSizeEdit" : "maxSizeEdit")
                ->setText(field.section('|', 0, 0));
            if (field.contains('|'))
                combo(name == std::string("min") ? "minUnitCombo" : "maxUnitCombo")
                    ->setCurrentText(field.section('|', 1));
        }
    }
    // Opens a results file as the menu does, the dialog answering with path; waits for the end.
    bool openResults(const std::string& path) {
        w.setFileDialogHook([path](const QString&, const QString&, bool save) {
            return save ? QString() : QString::fromStdString(path);
        });
        QSignalSpy opened(&w, &MainWindow::resultsOpened);
        action("openResultsAction")->trigger();
        return opened.wait(10000) && opened.first().first().toBool();
    }
    // Saves or exports through the menu, the dialog answering with path.
    void saveTo(const char* actionName, const std::string& path) {
        w.setFileDialogHook([path](const QString&, const QString&, bool save) {
            return save ? QString::fromStdString(path) : QString();
        });
        action(actionName)->trigger();
    }
    QStringList paths(int list) {
        QStringList out;
        for (const ResultRow& r : w.resultModel(list).rows())
            out << QString::fromStdString(r.path());
        out.sort();
        return out;
    }
    QStringList pathTexts() {
        QStringList out;
        for (int i = 0; i < searchPathList()->topLevelItemCount(); ++i)
            out << searchPathList()->topLevelItem(i)->text(0) + "|" +
                       searchPathList()->topLevelItem(i)->text(1);
        return out;
    }
    void add(const std::string& folder, const QString& pattern = QStringLiteral("*.*")) {
        QCOMPARE(folderList()->openFolder(folder), 0);
        patternEdit()->setText(pattern);
        QTest::mouseClick(addPathButton(), Qt::LeftButton);
    }
    // Runs the set-up's search again and waits until it has ended.
    void searchAgain() {
        QTest::mouseClick(searchButton(), Qt::LeftButton);
        QTRY_COMPARE(searchButton()->text(), QStringLiteral("&Search"));
    }
    // Searches every file under folder and waits until the search has ended.
    void search(const std::string& folder) {
        add(folder);
        searchAgain();
    }
    QString tab(int i) { return resultTabs()->tabBar()->tabText(i); }
    QStringList names(int list) {
        QStringList out;
        for (const ResultRow& r : w.resultModel(list).rows())
            out << QString::fromStdString(r.name);
        return out;
    }
    void showList(int list) {
        resultTabs()->tabBar()->setCurrentIndex(list);
        view(list)->setFocus();
    }
    // A key pressed in the visible list.
    void key(Qt::Key key) { QTest::keyClick(view(w.currentList()), key); }
    ResultListModel& list() { return w.currentModel(); }
    // The position in rows() of a file's row, shown or not.
    int rowOf(const std::string& path) {
        for (int i = 0; i < static_cast<int>(list().rows().size()); ++i)
            if (list().row(i).path() == path)
                return i;
        return -1;
    }
    void mark(const std::string& path) {
        const int row = rowOf(path);
        QVERIFY2(row >= 0, path.c_str());
        list().setChecked(row, true);
    }
    int marked() {
        return static_cast<int>(std::count_if(list().rows().begin(), list().rows().end(),
                                              [](const ResultRow& r) { return r.checked; }));
    }
    bool deleted() {
        return QTest::qWaitFor([this] { return !w.fileCommands().deleteRunning(); }, 10000);
    }
    // Restore Last Delete from its key, waiting until it has ended.
    bool restored() {
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        return deleted();
    }
    void selectRowOf(const std::string& path) {
        const int row = rowOf(path);
        QVERIFY2(row >= 0, path.c_str());
        w.selectRow(row);
    }
    // Searches with two path rows, the first of them kept.
    void searchKeeping(const std::string& kept, const std::string& searched, bool onlyWithKept) {
        add(kept);
        add(searched);
        panel().setPathKept(0, true);
        panel().setOnlyWithKept(onlyWithKept);
        searchAgain();
    }
    QString totals() const { return child<QLabel>(QStringLiteral("totalsLabel"))->text(); }
    QLineEdit* filterBar() const { return child<QLineEdit>(QStringLiteral("filterBar")); }
    void clickRow(int row) {
        ResultListView* shown = view(w.currentList());
        const QModelIndex cell = list().index(list().viewRowOf(row), FolderColumn);
        shown->scrollTo(cell);
        QTest::mouseClick(shown->viewport(), Qt::LeftButton, {}, shown->visualRect(cell).center());
    }
};

// Home and data folders of a test tree, so that nothing reaches the user's own trash.
void useHomeIn(TempTree& tree) {
    qputenv("HOME", QByteArray::fromStdString(tree.dir("home")));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(tree.dir("home/.local/share")));
}

// The row a search lists for a file as it is now.
ResultRow diskRow(const std::string& path, std::int64_t group) {
    FileEntry entry;
    entry.path = path;
    entry.group = group;
    const FileStatus status = statPath(path, false);
    entry.size = status.size;
    entry.stamp = status.stamp();
    FolderShare folders;
    return makeResultRow(entry, folders);
}

// Another file in the place of path, with the same bytes and times (what cp -p leaves).
void replaceKeepingTimes(const std::string& path) {
    const FileStatus was = statPath(path, false);
    const std::string copy = path + ".new";
    QVERIFY(QFile::copy(QString::fromStdString(path), QString::fromStdString(copy)));
    const timespec times[2] = {{was.mtime, was.mtimeNsec}, {was.mtime, was.mtimeNsec}};
    QCOMPARE(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    QCOMPARE(::rename(copy.c_str(), path.c_str()), 0);
}

// Where a widget lies in the window.
QRect inWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint()), widget->size());
}

// The widgets lie inside `parent` and no two share any area.
void expectInsideAndApart(const QWidget* parent, const QList<const QWidget*>& apart,
                          const QString& where) {
    for (const QWidget* child : apart) {
        QVERIFY2(child->isVisible(), qPrintable(where + ": " + child->objectName() + " hidden"));
        QVERIFY2(
            inWindow(parent).contains(inWindow(child)),
            qPrintable(where + ": " + child->objectName() + " outside " + parent->objectName()));
        for (const QWidget* other : apart)
            QVERIFY2(
                child == other || !inWindow(child).intersects(inWindow(other)),
                qPrintable(where + ": " + child->objectName() + " over " + other->objectName()));
    }
}

// The settings of the windows a test opens, apart from the user's.
QTemporaryDir& settingsFolder() {
    static QTemporaryDir folder;
    return folder;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QByteArray home_ = qgetenv("HOME");

private slots:
    void initTestCase() {
        QVERIFY(settingsFolder().isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder().path());
    }
    // Every test starts without remembered sizes.
    void init() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Trevalo"),
                  QStringLiteral("trevalo"))
            .clear();
    }

    void cleanup() {
        qputenv("HOME", home_);
        qunsetenv("XDG_DATA_HOME");
    }

    void pathRowsAreUniqueInBothForms() {
        std::vector<PathRow> rows;
        QCOMPARE(addPathRow(rows, "/data", "*.*", false), AddPathResult::Added);
        // The same folder and pattern again, with the other sub-folder choice: nothing changes.
        QCOMPARE(addPathRow(rows, "/data", "*.*", true), AddPathResult::AlreadyListed);
        QVERIFY(!rows.back().subFolders);
        // "/x*.*" (folder "/", pattern "x*.*") blocks folder "/x" with "*.*".
        QCOMPARE(addPathRow(rows, "/", "x*.*", true), AddPathResult::Added);
        QCOMPARE(rows.back().path, std::string("/x*.*"));
        QCOMPARE(addPathRow(rows, "/x", "*.*", true), AddPathResult::AlreadyListed);
        // Letter case counts; blanks are a pattern; an empty pattern is not.
        for (const char* pattern : {"*.TXT", "*.txt", "  "})
            QCOMPARE(addPathRow(rows, "/data", pattern, true), AddPathResult::Added);
        QCOMPARE(addPathRow(rows, "/data", "", true), AddPathResult::EmptyPattern);
        QCOMPARE(rows.size(), std::size_t{5});
    }

    // Volumes the drive list offers: not the system's run-time and snap mounts, nor what is
    // not ready or empty.
    void onlyRealVolumesAreOffered() {
        for (const char* root : {"/", "/media/usb", "/runner"})
            QVERIFY2(isRealVolume(root, "ext4", true, 1 << 30), root);
        for (const char* root : {"/run", "/run/user/1000", "/dev/shm", "/snap/core/1"})
            QVERIFY2(!isRealVolume(root, "ext4", true, 1 << 30), root);
        QVERIFY(isRealVolume("/", "overlay", true, 1 << 30));
        for (const char* type : {"tmpfs", "squashfs"})
            QVERIFY2(!isRealVolume("/tmp", type, true, 1 << 30), type);
        QVERIFY(!isRealVolume("/mnt/cd", "iso9660", false, 1 << 30));
        QVERIFY(!isRealVolume("/mnt/empty", "ext4", true, 0));
    }

    // At 11 and 13 points as well as the default font: the window opens with the result area in
    // sight, inside the screen; at every size no part overlaps another and no caption is cut;
    // the lists' columns fill their width and the preview grows with the window.
    void layoutAtEverySizeAndFont_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("default font") << 0;
        QTest::newRow("11 pt") << 11;
        QTest::newRow("13 pt") << 13;
    }
    void layoutAtEverySizeAndFont() {
        QFETCH(int, points);
        const QFont desktop = QApplication::font();
        if (points > 0) {
            QFont font = desktop;
            font.setPointSize(points);
            QApplication::setFont(font);
        }
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(desktop); });
        Window t;
        QVERIFY(t.shown());
        // The current folder is the working folder, on the volume the drive list shows; the
        // keyboard starts in the folder list.
        QCOMPARE(QString::fromStdString(t.folderList()->currentFolder()), QDir::currentPath());
        const std::string root = t.driveCombo()->currentRoot();
        QVERIFY(!root.empty() && t.folderList()->currentFolder().starts_with(root));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t.folderList()));
        QVERIFY(t.view(0)->isVisible() && t.view(0)->height() > t.view(0)->header()->height());
        // Within the screen, unless the font makes the least size larger.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(t.w.width() <= std::max(screen.width(), t.w.minimumWidth()));
        QVERIFY(t.w.height() <= std::max(screen.height(), t.w.minimumHeight()));

        int previewWidth = 0;
        int listWidth = 0;
        for (const QSize size : {QSize(300, 200), QSize(1024, 768), QSize(1600, 1000)}) {
            t.w.resize(size);
            QTRY_COMPARE(t.w.size(), size.expandedTo(t.w.minimumSize()));
            QCoreApplication::processEvents();
            const QString where = QStringLiteral("%1x%2").arg(t.w.width()).arg(t.w.height());
            const QRect bar = inWindow(t.statusBar());
            QCOMPARE(bar, QRect(0, t.w.height() - bar.height(), t.w.width(), bar.height()));
            expectInsideAndApart(
                &t.w,
                {t.child<QWidget>("setupScroll"), t.resultTabs(), t.fileOpPanel(), t.statusBar()},
                where);
            expectInsideAndApart(t.setupPanel(), {t.pathPicker(), t.searchControls()}, where);
            expectInsideAndApart(
                t.pathPicker(),
                {t.driveCombo(), t.folderList(), t.patternEdit(), t.subFoldersCheckBox(),
                 t.addPathButton(), t.removePathButton(), t.searchPathList(),
                 t.child<QWidget>("addFolderButton"), t.edit("excludeEdit"), t.edit("minSizeEdit"),
                 t.combo("minUnitCombo"), t.edit("maxSizeEdit"), t.combo("maxUnitCombo")},
                where);
            expectInsideAndApart(
                t.searchControls(),
                {t.searchButton(), t.newSearchButton(), t.searchTypeList(), t.menuButton()}, where);
            expectInsideAndApart(t.fileOpPanel(),
                                 {t.child<QWidget>("taskButton"), t.previewLabel(),
                                  t.child<QWidget>("previewCheckBox")},
                                 where);
            // Every caption has the room its font asks for.
            for (QWidget* captioned : t.w.findChildren<QWidget*>()) {
                if ((qobject_cast<QAbstractButton*>(captioned) ||
                     qobject_cast<QLabel*>(captioned)) &&
                    captioned->isVisible() && captioned != t.previewLabel() &&
                    captioned != t.statusLabel())
                    QVERIFY2(captioned->width() >= captioned->minimumSizeHint().width(),
                             qPrintable(where + ": " + captioned->objectName() + " cut"));
            }
            // "Name" and "In Folder" take what the other columns leave, and grow with it.
            ResultListView* list = t.view(0);
            int columns = 0;
            for (int c = 0; c < kListColumnCount; ++c)
                columns += list->isColumnHidden(c) ? 0 : list->columnWidth(c);
            QCOMPARE(columns, std::max(columns, list->viewport()->width()));
            if (size.width() >= 1024) {
                QCOMPARE(columns, list->viewport()->width());
                QVERIFY(list->columnWidth(FolderColumn) > listWidth);
                QVERIFY(t.previewLabel()->width() >= 256);
                QVERIFY(t.previewLabel()->width() > previewWidth);
            }
            listWidth = list->columnWidth(FolderColumn);
            previewWidth = t.previewLabel()->width();
        }
        // Another tab shows its own list in the same place; "#" shows only in "Duplicates".
        const QRect frame0 = inWindow(t.frame(0));
        t.resultTabs()->tabBar()->setCurrentIndex(2);
        QCOMPARE(t.w.currentList(), 2);
        QVERIFY(t.frame(2)->isVisible() && !t.frame(0)->isVisible());
        QCOMPARE(inWindow(t.frame(2)), frame0);
        QVERIFY(t.view(2)->isColumnHidden(GroupColumn));
        QVERIFY(!t.view(1)->isColumnHidden(GroupColumn));
    }

    // On a screen of 1366x768 at 96 DPI, and (run again by CTest) at 144 and 192 DPI, where the
    // screen's room shrinks to 911x512 and 683x384: the window's least size fits the screen's
    // free area with its frame, and at that size every control of the set-up panel scrolls into
    // sight when it gets the focus, while the lists, the preview and the status bar stay in the
    // window.
    // New Search keeps the window's size.
    void leastSizeFitsTheScreen() {
        Window t;
        QVERIFY(t.shown());
        const QRect free = t.w.screen()->availableGeometry();
        const QSize frame = t.w.frameGeometry().size() - t.w.size();
        QVERIFY2(QRect(free.topLeft(), free.size() - frame)
                     .contains(QRect(free.topLeft(), t.w.minimumSizeHint())),
                 qPrintable(QStringLiteral("least %1x%2 on %3x%4")
                                .arg(t.w.minimumSizeHint().width())
                                .arg(t.w.minimumSizeHint().height())
                                .arg(free.width())
                                .arg(free.height())));
        QVERIFY(free.contains(t.w.frameGeometry()));

        t.w.resize(t.w.minimumSizeHint());
        QTRY_COMPARE(t.w.size(), t.w.minimumSizeHint());
        auto* scroll = t.child<QScrollArea>("setupScroll");
        const QRect window = t.w.rect();
        for (QWidget* control : t.panel().focusOrder()) {
            control->setFocus(Qt::TabFocusReason); // it scrolls into sight
            QCoreApplication::processEvents();
            const QRect seen =
                QRect(scroll->viewport()->mapTo(&t.w, QPoint()), scroll->viewport()->size());
            QVERIFY2(seen.intersects(inWindow(control)) && window.contains(seen),
                     qPrintable(control->objectName()));
        }
        for (const QWidget* part :
             {static_cast<const QWidget*>(t.view(0)), static_cast<const QWidget*>(t.previewLabel()),
              static_cast<const QWidget*>(t.statusBar())})
            QVERIFY2(part->isVisible() && window.contains(inWindow(part)) && part->height() > 0,
                     qPrintable(part->objectName()));

        const QSize size = t.w.size() + QSize(40, 30);
        t.w.resize(size);
        QTRY_COMPARE(t.w.size(), size);
        QTest::mouseClick(t.newSearchButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(t.w.size(), size);
    }

    // A message naming 850 files shows a few lines and the note that the whole list is in the
    // details; a long path is shortened in its middle, keeping its file name.
    void longMessagesAreCutToFitAndKeptWholeInTheDetails() {
        const QFontMetrics font(QApplication::font());
        QStringList failed{QStringLiteral("Deletion failed: ")};
        for (int i = 0; i < 850; ++i)
            failed << QStringLiteral("/data/%1/photo.jpg: Permission denied").arg(i);
        const QString text = failed.join('\n');
        FittedMessage fitted = fitMessage(text, QString(), 10, 2000, font);
        QCOMPARE(fitted.text.count('\n'), 9);
        QVERIFY(fitted.text.startsWith(QStringLiteral("Deletion failed: \n/data/0/photo.jpg")));
        QVERIFY(fitted.text.endsWith(QStringLiteral("is under \"Show Details\".")));
        QCOMPARE(fitted.details, text);
        // Given details stay; a short text is left alone.
        fitted = fitMessage(text, QStringLiteral("all"), 10, 2000, font);
        QCOMPARE(fitted.details, QStringLiteral("all"));
        fitted = fitMessage(QStringLiteral("1 file\nput back"), QString(), 10, 2000, font);
        QCOMPARE(fitted.text, QStringLiteral("1 file\nput back"));
        QVERIFY(fitted.details.isEmpty());
        const QString longPath = QStringLiteral("/data/") + QString(300, 'x') + "/photo.jpg";
        fitted = fitMessage(longPath, QString(), 10, 300, font);
        QVERIFY(font.horizontalAdvance(fitted.text) <= 300);
        QVERIFY(fitted.text.startsWith(QStringLiteral("/data/")) &&
                fitted.text.endsWith(QStringLiteral("/photo.jpg")));
        QCOMPARE(fitted.details, longPath);
    }

    // After a search and after opening its saved results (the bar was busy meanwhile), with
    // nothing happening, the window repaints nothing and no timer fires in it: the progress bar
    // is hidden and still.
    void anIdleWindowDoesNothing() {
        TempTree tree;
        for (int i = 0; i < 200; ++i)
            tree.file("d/" + std::to_string(i % 50) + "/" + std::to_string(i),
                      std::string(static_cast<std::size_t>(1000 + i % 50), 'x'));
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("d"));
        QVERIFY(!t.progressBar()->isVisible());
        t.saveTo("saveResultsAction", tree.path("saved.json"));
        QVERIFY(t.openResults(tree.path("saved.json")));
        QVERIFY(!t.progressBar()->isVisible());
        QTest::qWait(200);
        struct Counter : QObject {
            QWidget* window = nullptr;
            int paints = 0, timers = 0;
            bool eventFilter(QObject* object, QEvent* event) override {
                auto* widget = qobject_cast<QWidget*>(object);
                const bool inWindow = widget && widget->window() == window;
                paints += inWindow && event->type() == QEvent::Paint ? 1 : 0;
                timers += event->type() == QEvent::Timer && (inWindow || object->parent() == window)
                              ? 1
                              : 0;
                return false;
            }
        } counter;
        counter.window = &t.w;
        qApp->installEventFilter(&counter);
        QTest::qWait(1000);
        qApp->removeEventFilter(&counter);
        QCOMPARE(counter.paints, 0);
        QCOMPARE(counter.timers, 0);
    }

    // The rule is tested above; here the rows it is given come back from the list.
    void addingAndRemovingPathRows() {
        TempTree tree;
        tree.dir("data/sub");
        Window t;
        QVERIFY(t.shown());
        const std::string data = tree.path("data");
        const QString root = QString::fromStdString(tree.root());
        t.add("/");
        t.add(data);
        t.subFoldersCheckBox()->setChecked(false);
        t.add(data); // listed already
        t.add(data, QStringLiteral("*.TXT"));
        QCOMPARE(t.pathTexts(),
                 QStringList({"/*.*|Yes", root + "/data/*.*|Yes", root + "/data/*.TXT|No"}));
        QVERIFY(t.messages.empty());
        t.add(data, QString());
        QCOMPARE(t.pathTexts().size(), 3);
        QCOMPARE(t.messages, QStringList{"Please input extension.|Trevalo"});

        // ">" adds the highlighted folder, though it is not the open one; Enter opens it.
        const QList<QTreeWidgetItem*> sub =
            t.folderList()->findItems(QStringLiteral("sub"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(sub.size(), 1);
        t.folderList()->setCurrentItem(sub[0]);
        t.patternEdit()->setText(QStringLiteral("*.jpg"));
        QTest::mouseClick(t.addPathButton(), Qt::LeftButton);
        QCOMPARE(t.pathTexts().last(), root + "/data/sub/*.jpg|No");
        QCOMPARE(t.folderList()->currentFolder(), data);
        QTest::keyClick(t.folderList(), Qt::Key_Return);
        QCOMPARE(t.folderList()->currentFolder(), tree.path("data/sub"));
        // A folder that cannot be opened leaves the list where it was.
        const int items = t.folderList()->topLevelItemCount();
        QVERIFY(!t.panel().openFolder(tree.path("gone")));
        QCOMPARE(t.folderList()->currentFolder(), tree.path("data/sub"));
        QCOMPARE(t.folderList()->topLevelItemCount(), items);
        QCOMPARE(t.messages.last(), QString::fromStdString(errorText(ENOENT)) + "|Trevalo");

        // "<" and a double click remove the selected row; with none selected nothing happens.
        t.searchPathList()->clearSelection();
        QTest::mouseClick(t.removePathButton(), Qt::LeftButton);
        QCOMPARE(t.pathTexts().size(), 4);
        t.searchPathList()->setCurrentItem(t.searchPathList()->topLevelItem(0));
        QTest::mouseClick(t.removePathButton(), Qt::LeftButton);
        QCOMPARE(t.pathTexts().first(), root + "/data/*.*|Yes");
        t.searchPathList()->setCurrentItem(t.searchPathList()->topLevelItem(0));
        QTest::mouseDClick(t.searchPathList()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(t.pathTexts().size(), 2);

        // A click on a search type's box or on its caption toggles it, once.
        QListWidget* types = t.searchTypeList();
        const QRect duplicates = types->visualItemRect(types->item(1));
        for (const QPoint at : {QPoint(duplicates.left() + 8, duplicates.center().y()),
                                duplicates.center(), duplicates.center()}) {
            const Qt::CheckState was = types->item(1)->checkState();
            QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, at);
            QVERIFY(types->item(1)->checkState() != was);
        }
        QCOMPARE(t.panel().searchTypes(), (std::array<bool, kSearchTypeCount>{true, false, true}));
        // New Search empties the path list and ticks every search type again.
        QTest::mouseClick(t.newSearchButton(), Qt::LeftButton);
        QVERIFY(t.pathTexts().isEmpty());
        QCOMPARE(t.panel().searchTypes(), (std::array<bool, kSearchTypeCount>{true, true, true}));
        QCOMPARE(t.patternEdit()->text(), QStringLiteral("*.jpg"));
    }

    void aWholeSearchFillsSortsAndCountsTheLists() {
        TempTree tree;
        tree.file("a/dup.txt", "the same bytes");
        tree.file("b/copy.txt", "the same bytes");
        tree.file("c/Other.TXT", "x");
        tree.file("d/other.txt", "yy");
        tree.file("z/empty2.txt");
        tree.file("z/Empty1.txt");
        Window t;
        QVERIFY(t.shown());
        t.add(tree.root());

        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        // Running: the button cancels, the set-up controls are locked, the result area opens.
        QCOMPARE(t.searchButton()->text(), QStringLiteral("&Cancel"));
        QVERIFY(!t.pathPicker()->isEnabled());
        QVERIFY(!t.newSearchButton()->isEnabled());
        QVERIFY(!t.searchTypeList()->isEnabled());
        QVERIFY(t.menuButton()->isEnabled());
        QVERIFY(t.w.height() >= t.w.twips().pxAtLeast(8000 - 465));

        QTRY_COMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
        QVERIFY(t.pathPicker()->isEnabled() && t.newSearchButton()->isEnabled() &&
                t.searchTypeList()->isEnabled());
        QTRY_VERIFY(QRegularExpression(QStringLiteral("^Completed in \\d+s, searching 6 files\\.$"))
                        .match(t.statusLabel()->text())
                        .hasMatch());
        QCOMPARE(t.progressBar()->value(), 0);
        QCOMPARE(t.tab(0), QStringLiteral("Zero Size(2)"));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
        QCOMPARE(t.tab(2), QStringLiteral("Same Name(2)"));
        QCOMPARE(t.tab(3), QStringLiteral("Report - read errors(0)"));
        // The first list with rows of "Duplicates", "Zero Size", "Same Name" is shown.
        QCOMPARE(t.w.currentList(), 1);
        // Sorted: zero-size and same-name lists by name without regard to case.
        QCOMPARE(t.names(0), QStringList({"Empty1.txt", "empty2.txt"}));
        QCOMPARE(t.w.resultModel(0).row(0).path(), tree.path("z/Empty1.txt"));
        QCOMPARE(t.w.resultModel(1).row(0).group, t.w.resultModel(1).row(1).group);
        QCOMPARE(t.names(2).join(',').toLower(), QStringLiteral("other.txt,other.txt"));

        // A second search clears the first one's lists before it fills them again.
        t.searchTypeList()->item(0)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        QCOMPARE(t.w.resultModel(0).rowCount(), 0);
        QTRY_COMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
        QCOMPARE(t.tab(0), QStringLiteral("Zero Size(0)"));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));

        // Only "Same File Name": its list is the one shown at the end.
        t.showList(0);
        t.searchTypeList()->item(1)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        QTRY_COMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
        QCOMPARE(t.w.currentList(), 2);
        // No type ticked: nothing runs, the user is told.
        t.searchTypeList()->item(2)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        QVERIFY(!t.w.searchRunning());
        QCOMPARE(t.messages, QStringList{"Please select a search type.|Trevalo"});
        QCOMPARE(t.tab(2), QStringLiteral("Same Name(2)"));
        // New Search clears the last search's status text with its lists.
        QVERIFY(!t.statusLabel()->text().isEmpty());
        QTest::mouseClick(t.newSearchButton(), Qt::LeftButton);
        QVERIFY(t.statusLabel()->text().isEmpty());
        QCOMPARE(t.tab(2), QStringLiteral("Same Name(0)"));
    }

    void withoutPathsOrWhileRunning() {
        Window t;
        QVERIFY(t.shown());
        const int height = t.w.height();
        QTest::keyClick(&t.w, Qt::Key_Escape); // no search: nothing happens
        QVERIFY(t.messages.empty());
        t.searchButton()->setFocus();
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        // The fixed text, then how to add a path.
        QCOMPARE(t.messages.size(), 1);
        const QStringList lines = t.messages[0].split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Please select path before search."));
        QVERIFY(lines[1].contains(QStringLiteral("Add Folder...")) &&
                lines[1].endsWith(QStringLiteral("|Select Path")));
        QTRY_VERIFY(t.driveCombo()->hasFocus());
        QCOMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
        QCOMPARE(t.w.height(), height);
        QVERIFY(t.statusLabel()->text().isEmpty());

        // Cancelled by the button or Esc.
        TempTree tree;
        for (int i = 0; i < 300; ++i)
            tree.file("f/" + std::to_string(i) + ".bin", std::string(64, static_cast<char>(i % 2)));
        t.add(tree.root());
        QWidget* progress = t.child<QWidget>("progressSection");
        QVERIFY(!progress->isVisible());
        for (const bool esc : {false, true}) {
            QTest::mouseClick(t.searchButton(), Qt::LeftButton);
            // The progress bar shows while there is work; the locked scope fields show no
            // example that could pass for a value.
            QVERIFY(progress->isVisible());
            QVERIFY(t.edit("excludeEdit")->placeholderText().isEmpty());
            // Before the search can report back.
            if (esc)
                QTest::keyClick(&t.w, Qt::Key_Escape);
            else
                QTest::mouseClick(t.searchButton(), Qt::LeftButton);
            QCOMPARE(t.statusLabel()->text(), QStringLiteral("Stopping ..."));
            // Further clicks only cancel; they start nothing.
            QTest::mouseClick(t.searchButton(), Qt::LeftButton);
            QCOMPARE(t.searchButton()->text(), QStringLiteral("&Cancel"));
            QTRY_COMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
            // A cancelled search says so (unless it was over before it saw the cancel).
            QTRY_VERIFY(t.statusLabel()->text().contains(
                QRegularExpression("^(Cancelled after|Completed in) \\d+s, searching")));
            QVERIFY(t.pathPicker()->isEnabled());
            QVERIFY(!progress->isVisible());
            QVERIFY(!t.edit("excludeEdit")->placeholderText().isEmpty());
        }
        // Closing stops a search at once; what its worker queued is dropped, not shown.
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        QVERIFY(t.w.searchRunning());
        QVERIFY(t.w.close());
        QVERIFY(!t.w.searchRunning());
        QCoreApplication::processEvents();
        QVERIFY(!t.statusLabel()->text().startsWith(QStringLiteral("Completed")));
    }

    // The counts follow the rows as a search hands them over and as they go.
    void countsFollowTheRows() {
        Window t;
        t.w.resultModel(1).appendRows(std::vector<ResultRow>(3));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(3)"));
        t.w.resultModel(1).appendRows(std::vector<ResultRow>(2));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(5)"));
        t.w.resultModel(1).removeRowsAt({0, 2, 4});
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
        QCOMPARE(t.tab(0), QStringLiteral("Zero Size(0)"));
        // Counts are grouped as in the status bar.
        t.w.resultModel(0).appendRows(std::vector<ResultRow>(12345));
        QCOMPARE(t.tab(0), QStringLiteral("Zero Size(12,345)"));
    }

    // Folders dropped from the file manager become path rows with the typed pattern; files and
    // other addresses do not, and a drag of nothing but those is refused.
    void droppedFoldersBecomePathRows() {
        TempTree tree;
        const std::string folder = tree.dir("drop/photos");
        const std::string file = tree.file("drop/notes.txt", "x");
        Window t;
        QVERIFY(t.shown());
        QWidget* target = t.searchPathList()->viewport();
        const auto drag = [&](const std::vector<std::string>& paths, bool drop) {
            QMimeData data;
            QList<QUrl> urls{QUrl(QStringLiteral("https://example.org/"))};
            for (const std::string& path : paths)
                urls << QUrl::fromLocalFile(QString::fromStdString(path) + '/');
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            if (drop && enter.isAccepted()) {
                QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(target, &dropped);
            }
            return enter.isAccepted();
        };
        QVERIFY(!drag({file}, true));
        QVERIFY(t.pathTexts().isEmpty());
        QVERIFY(drag({file, folder}, true));
        QCOMPARE(t.pathTexts(), QStringList{QString::fromStdString(folder) + "/*.*|Yes"});
        // Not while a search runs.
        t.pathPicker()->setEnabled(false);
        QVERIFY(!drag({folder + "/.."}, true));
        QCOMPARE(t.pathTexts().size(), 1);
    }

    // With the keyboard only: Tab reaches every control once, from the folder list round to
    // it again; the menus open at their button or at the current row; every list and box a
    // screen reader meets has a name.
    void keyboardOnly() {
        TempTree tree;
        tree.file("a.txt", "x");
        tree.file("b.txt", "y");
        Window t;
        t.w.resize(700, 500);
        QVERIFY(t.shown());
        QStringList visited;
        QWidget* start = QApplication::focusWidget();
        QCOMPARE(start, static_cast<QWidget*>(t.folderList()));
        for (int i = 0; i < 40; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == start)
                break;
        }
        QCOMPARE(visited, QStringList({"folderList",         "patternEdit",
                                       "subFoldersCheckBox", "addPathButton",
                                       "removePathButton",   "searchPathList",
                                       "addFolderButton",    "onlyWithKeptCheckBox",
                                       "excludeEdit",        "minSizeEdit",
                                       "minUnitCombo",       "maxSizeEdit",
                                       "maxUnitCombo",       "searchButton",
                                       "newSearchButton",    "searchTypeList",
                                       "menuButton",         "filterBar",
                                       "resultTabBar",       "resultView0",
                                       "taskButton",         "previewCheckBox",
                                       "driveCombo"}));

        // Menu and Task open their menus below themselves.
        QMenu* general = t.child<QMenu>(QStringLiteral("generalMenu"));
        for (const auto& [button, menu] :
             {std::pair{static_cast<QWidget*>(t.menuButton()), general},
              std::pair{t.child<QWidget>(QStringLiteral("taskButton")), t.fileMenu()}}) {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
            QTRY_VERIFY(menu->isVisible());
            // Just below the button, moved left or up only as far as the screen's edges ask.
            const QPoint below = button->mapToGlobal(QPoint(0, button->height()));
            QVERIFY2(menu->y() == below.y() ||
                         (menu->y() < below.y() &&
                          menu->geometry().bottom() >= menu->screen()->geometry().bottom() - 1),
                     qPrintable(QStringLiteral("%1 for %2").arg(menu->y()).arg(below.y())));
            QVERIFY(menu->x() == below.x() ||
                    menu->geometry().right() == menu->screen()->geometry().right());
            menu->hide();
        }
        // The Menu key and Shift+F10 open the file menu at the current row.
        t.w.resultModel(0).appendRows({diskRow(tree.path("a.txt"), GroupMark::None),
                                       diskRow(tree.path("b.txt"), GroupMark::None)});
        t.showList(0);
        t.view(0)->selectRow(1);
        const QPoint row = t.view(0)->viewport()->mapToGlobal(
            t.view(0)->visualRect(t.list().index(1, NameColumn)).bottomLeft());
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), QPoint(1, 1));
        QApplication::sendEvent(t.view(0), &menuKey);
        QTRY_VERIFY(t.fileMenu()->isVisible());
        // At the row, moved up only as far as the screen's bottom edge asks (the menu is tall,
        // and the screen's size and the fonts differ from one machine to the next).
        const QRect shown = t.fileMenu()->geometry();
        QCOMPARE(shown.x(), row.x());
        QVERIFY2(shown.y() == row.y() ||
                     (shown.y() < row.y() &&
                      shown.bottom() == t.fileMenu()->screen()->availableGeometry().bottom()),
                 qPrintable(QStringLiteral("menu at %1,%2 (%3 high), row at %4,%5")
                                .arg(shown.x())
                                .arg(shown.y())
                                .arg(shown.height())
                                .arg(row.x())
                                .arg(row.y())));
        t.fileMenu()->hide();
        QTest::keyClick(t.view(0), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(t.fileMenu()->isVisible());
        t.fileMenu()->hide();

        for (const QWidget* named :
             {static_cast<QWidget*>(t.folderList()), static_cast<QWidget*>(t.patternEdit()),
              static_cast<QWidget*>(t.searchPathList()), static_cast<QWidget*>(t.searchTypeList()),
              static_cast<QWidget*>(t.previewLabel()), static_cast<QWidget*>(t.addPathButton()),
              static_cast<QWidget*>(t.removePathButton()), static_cast<QWidget*>(t.view(0)),
              static_cast<QWidget*>(t.view(3))})
            QVERIFY2(!named->accessibleName().isEmpty(), qPrintable(named->objectName()));
    }

    void menus() {
        Window t;
        QVERIFY(t.shown());
        t.action("helpAction")->trigger();
        t.action("webSiteAction")->trigger();
        QCOMPARE(t.opened.size(), std::size_t{2});
        QVERIFY(t.opened[0].isLocalFile());
        QCOMPARE(QFileInfo(t.opened[0].toLocalFile()).fileName(), QStringLiteral("trevalo.html"));
        QVERIFY(QFileInfo(t.opened[0].toLocalFile()).isFile());
        t.action("aboutAction")->trigger();
        QVERIFY(t.messages.last().startsWith(QStringLiteral("Trevalo Ver. 1.0.27\n")));
        QVERIFY(t.messages.last().contains(QStringLiteral("GPL-2.0-or-later")));
        QVERIFY(t.messages.last().contains(QString::fromLatin1(qVersion())));
        // Message boxes are wide enough for their titles.
        QMessageBox box(QMessageBox::Information, QStringLiteral("About Trevalo - a long title"),
                        QStringLiteral("x"));
        widenToTitle(box);
        QVERIFY(box.sizeHint().width() >
                QFontMetrics(QFontDatabase::systemFont(QFontDatabase::TitleFont))
                    .horizontalAdvance(box.windowTitle()));
        // Without a home page named at build time, the web site is the help page.
        QCOMPARE(t.opened[1], t.opened[0]);

        // When nothing opens the page, a message names it and says why: here the desktop's
        // launcher says no program is set up for the type.
        TempTree tree;
        tree.file("bin/xdg-open", "#!/bin/sh\nexit 3\n");
        tree.chmod("bin/xdg-open", 0755);
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", QByteArray::fromStdString(tree.path("bin")));
        t.w.setUrlOpener({});
        t.messages.clear();
        t.action("helpAction")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(t.messages.size(), 1, 10000);
        QCOMPARE(t.messages[0], t.opened[0].toLocalFile() +
                                    " can't be opened:\nthe desktop has no program set up to "
                                    "open it.|Can't open");

        // Each item of the file menu has a letter of its own (Delete has D); so has each item of
        // the general menu that has one.
        for (QMenu* menu : {t.fileMenu(), t.child<QMenu>(QStringLiteral("generalMenu"))}) {
            QSet<QChar> letters;
            for (const QAction* item : menu->actions()) {
                const qsizetype amp = item->text().indexOf('&');
                QVERIFY2(amp >= 0 || item->isSeparator() || menu != t.fileMenu(),
                         qPrintable(item->text()));
                if (amp < 0)
                    continue;
                const QChar letter = item->text().at(amp + 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(item->text()));
                letters.insert(letter);
            }
        }
        QCOMPARE(t.action("deleteAction")->text(), QStringLiteral("&Delete"));
        QVERIFY(t.action("rememberProofsAction")->isCheckable());
        QVERIFY(t.action("forgetProofsAction"));

        // A right-button release over a result list pops up the file menu, whose marking by age
        // applies to the lists with groups only.
        QTest::mouseRelease(t.view(0)->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!t.fileMenu()->isVisible());
        QTest::mouseRelease(t.view(0)->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        QTRY_VERIFY(t.fileMenu()->isVisible());
        QVERIFY(!t.action("markOlderAction")->isEnabled() &&
                !t.action("markNewerAction")->isEnabled());
        t.fileMenu()->hide();
        for (const int list : {1, 2}) {
            t.showList(list);
            t.fileMenu()->popup(QPoint());
            QVERIFY(t.action("markOlderAction")->isEnabled() &&
                    t.action("markNewerAction")->isEnabled());
            t.fileMenu()->hide();
        }
    }

    // Delete asks first and moves to the trash what the user confirmed, whatever happens to the
    // list meanwhile; marking by age sorts by "#".
    void markOlderAndDeleteToTheTrash() {
        TempTree tree;
        tree.file("data/a/photo.jpg", "first group");
        tree.file("data/b/photo.jpg", "first group");
        tree.file("data/c/notes.txt", "second group, longer");
        tree.file("data/d/notes-copy.txt", "second group, longer");
        tree.setMtime("data/a/photo.jpg", 1577880000);      // 2020-01-01
        tree.setMtime("data/b/photo.jpg", 1717243200);      // 2024-06-01
        tree.setMtime("data/c/notes.txt", 1609502400);      // 2021-01-01
        tree.setMtime("data/d/notes-copy.txt", 1672574400); // 2023-01-01
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(1);

        // Every copy marked: the question says so, and No leaves everything.
        t.action("markAllAction")->trigger();
        t.yes = false;
        t.key(Qt::Key_Delete);
        QCOMPARE(t.questions.size(), 1);
        QVERIFY(t.questions[0].startsWith(QStringLiteral("4 files (")));
        QVERIFY(t.questions[0].contains(QStringLiteral("2 groups would keep no copy at all.")));
        QCOMPARE(t.list().rowCount(), 4);
        QVERIFY(exists(tree.path("data/a/photo.jpg")));

        // Marking by age sorts by "#"; the header and the list's sort state say so.
        t.w.sortList(1, SizeColumn, Qt::DescendingOrder);
        t.action("markOlderAction")->trigger();
        QCOMPARE(t.list().sortColumn(), int(GroupColumn));
        QCOMPARE(t.view(1)->header()->sortIndicatorSection(), int(GroupColumn));
        QCOMPARE(t.view(1)->header()->sortIndicatorOrder(), Qt::AscendingOrder);
        const std::string older = tree.path("data/a/photo.jpg");
        const std::string changed = tree.path("data/c/notes.txt");
        for (const ResultRow& row : t.list().rows())
            QCOMPARE(row.checked, row.path() == older || row.path() == changed);

        // The marks of another list are not this list's.
        t.showList(2);
        t.key(Qt::Key_Delete);
        QCOMPARE(t.messages, QStringList{"Please mark files.|Trevalo"});
        QCOMPARE(t.questions.size(), 1);

        // A file changed after the search stays, with its row. A second Delete while the first
        // runs asks nothing. A search ends and the list is sorted anew while the question is
        // open, and sorted again while the files move (other rows at the marked rows' places):
        // what goes is what the user confirmed.
        tree.setMtime("data/c/notes.txt", 1640995200);
        t.showList(1);
        t.yes = true;
        t.whileAsked = [&] {
            t.searchAgain();
            t.w.sortList(1, NameColumn, Qt::DescendingOrder);
        };
        t.key(Qt::Key_Delete);
        t.key(Qt::Key_Delete);
        QCOMPARE(t.questions.size(), 2);
        t.w.sortList(1, DateColumn, Qt::DescendingOrder);
        QVERIFY(t.questions[1].startsWith(QStringLiteral("2 files (")));
        QVERIFY(!t.questions[1].contains(QStringLiteral("no copy")));
        QTRY_COMPARE(t.messages.size(), 2);
        // The photo's group has one file left: it is no group of duplicates any more.
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
        QCOMPARE(t.statusLabel()->text(),
                 QStringLiteral("1 file moved to the trash; 1 group has one file left and is no "
                                "longer listed; 1 not moved"));
        // The totals follow at once: the group that stays (the search in between took the marks).
        QCOMPARE(t.totals(), QStringLiteral("2 rows in 1 group, 20 bytes reclaimable"));
        QVERIFY(t.messages[1].startsWith(QStringLiteral("Deletion failed: ")));
        QVERIFY(t.messages[1].contains(displayText(changed) + QStringLiteral(": ") +
                                       QString::fromLatin1(kChangedSinceSearch)));
        QVERIFY(!t.messages[1].contains(QStringLiteral("photo")));

        QVERIFY(!exists(older));
        QCOMPARE(t.rowOf(older), -1);
        QCOMPARE(t.rowOf(tree.path("data/b/photo.jpg")), -1);
        QVERIFY(exists(changed));
        QVERIFY(t.rowOf(changed) >= 0);
        // The moved file's row leaves the other lists too, and so does its namesake there.
        QVERIFY(t.names(2).isEmpty());
    }

    // A file trashed from one list leaves the others, so its twin is then the last copy; the
    // question says how many files keep no copy (the file-operation test counts them); a file
    // replaced by another with the same size and times stays; the progress dialog is
    // gone before the failure is told, also while the message box waits for the user.
    void theLastCopyIsNeverTrashedWithoutAWord() {
        TempTree tree;
        const std::string a = tree.file("data/a/letter.txt", "the letter");
        const std::string b = tree.file("data/b/letter.txt", "the letter");
        const std::string notes = tree.file("data/c/notes.txt", "sixteen bytes!!!");
        tree.file("data/d/Notes.TXT", "twelve bytes");
        tree.file("data/e/report.pdf", "the report");
        const std::string copy = tree.file("data/f/report-old.pdf", "the report");
        useHomeIn(tree);
        Window t;
        bool progressShown = false;
        t.w.setMessageHook([&](const QString& text, const QString& title) {
            t.messages << text + "|" + title;
            // As long as a message box would wait for OK.
            QEventLoop wait;
            QTimer::singleShot(800, &wait, &QEventLoop::quit);
            wait.exec();
            for (const QProgressDialog* d : t.w.findChildren<QProgressDialog*>())
                progressShown = progressShown || d->isVisible();
        });
        QVERIFY(t.shown());
        t.search(tree.path("data"));

        t.showList(2);
        t.mark(a);
        t.mark(notes);
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QCOMPARE(t.questions.last(),
                 QStringLiteral("2 files (26 bytes) will be moved to the trash.\n\n1 of them "
                                "has no identical copy left unmarked.\n\nGo ahead?"));
        QVERIFY(!exists(a) && !exists(notes));
        t.showList(1);
        QCOMPARE(t.rowOf(a), -1);
        QCOMPARE(t.rowOf(b), -1); // the last copy is no duplicate: nothing offers it
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));

        // The file is another one now, though of the same size and times.
        replaceKeepingTimes(copy);
        t.mark(copy);
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QCOMPARE(t.questions.last(),
                 QStringLiteral("1 file (10 bytes) will be moved to the trash.\n\nGo ahead?"));
        QCOMPARE(t.messages, QStringList{"Deletion failed: \n" + displayText(copy) + ": " +
                                         kChangedSinceSearch + "|Trevalo"});
        QVERIFY(!progressShown);
        QVERIFY(exists(copy) && t.rowOf(copy) >= 0);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // "Report - read errors" says why in its last column, which only it shows. A folder that
    // could not be listed is never marked, deleted or renamed, and it may be opened; a file
    // that is gone is said to be.
    void readErrorsTheirReasonsAndFolders() {
        TempTree tree;
        const std::string locked = tree.dir("data/locked");
        const std::string unread = tree.file("data/unread.txt", "x");
        const std::string gone = tree.file("data/gone.txt", "x");
        Window t;
        QVERIFY(t.shown());
        for (int list = 0; list < 3; ++list)
            QVERIFY(t.view(list)->isColumnHidden(kReasonColumn));
        QVERIFY(!t.view(3)->isColumnHidden(kReasonColumn));
        ResultRow file = diskRow(unread, -3);
        file.setReason(errorText(EACCES));
        t.w.resultModel(3).appendRows({makeFolderRow(locked, EACCES), file, diskRow(gone, -3)});
        ::unlink(gone.c_str());
        t.showList(3);
        QCOMPARE(t.list().headerData(kReasonColumn, Qt::Horizontal).toString(),
                 QStringLiteral("Reason"));
        QStringList reasons;
        for (int row = 0; row < 3; ++row)
            reasons << t.list().index(row, kReasonColumn).data().toString();
        QCOMPARE(reasons,
                 QStringList({"could not be listed: Permission denied", "Permission denied", ""}));
        // The folder has no size nor date to show.
        QVERIFY(t.list().index(0, SizeColumn).data().toString().isEmpty() &&
                t.list().index(0, DateColumn).data().toString().isEmpty());
        QVERIFY(!t.list().index(1, DateColumn).data().toString().isEmpty());

        t.action("markAllAction")->trigger();
        QVERIFY(!t.list().row(0).checked && t.list().row(1).checked);
        QVERIFY(!(t.list().flags(t.list().index(0, NameColumn)) & Qt::ItemIsUserCheckable));
        t.action("clearMarksAction")->trigger();
        t.list().setData(t.list().index(0, NameColumn), Qt::Checked, Qt::CheckStateRole);
        t.key(Qt::Key_Delete);
        t.view(3)->selectRow(0);
        t.key(Qt::Key_F2);
        t.key(Qt::Key_Return);
        t.view(3)->selectRow(2);
        t.key(Qt::Key_Return);
        QCOMPARE(t.messages, QStringList({"Please mark files.|Trevalo",
                                          "File can't be renamed.\nIt is a folder.|Can't rename",
                                          "File can't be opened: it is gone.|Can't open"}));
        QVERIFY(t.prompts.isEmpty() && t.questions.isEmpty());
        QCOMPARE(t.opened, std::vector<QUrl>{fileUrlOf(locked)});
        QVERIFY(exists(locked));
    }

    // F2 and Enter want a row. The prompt shows a byte that is not UTF-8 as one replacement
    // character; what the user leaves of the name keeps its bytes. The rename acts on the file
    // the prompt named though a search ends and the list is sorted anew while it is open, and
    // the file's rows in every list take the new name; the file can still be trashed. A path is
    // refused and asked for again. Enter opens the file by its bytes; the row menu copies its
    // path and opens its folder.
    void renameAndOpenTheSelectedRow() {
        TempTree tree;
        const std::string p = tree.file("data/p/caf\xE9.txt", "same");
        const std::string q = tree.file("data/q/caf\xE9.txt", "same");
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(1);
        t.view(1)->clearSelection();
        t.key(Qt::Key_F2);
        t.key(Qt::Key_Return);
        QCOMPARE(t.messages, QStringList(2, "Please select a file.|Select file"));
        QVERIFY(t.prompts.empty() && t.opened.empty());
        t.messages.clear();

        const int selected = t.rowOf(p);
        t.view(1)->selectRow(selected);
        t.answer = QStringLiteral("caf\uFFFD-2.txt");
        t.whileAsked = [&] {
            t.searchAgain(); // the other file now where the prompt's row was
            t.w.sortList(1, FolderColumn, selected == 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
        };
        t.key(Qt::Key_F2);
        t.whileAsked = {};
        QCOMPARE(t.prompts, QStringList{"Rename|Please type a new file name for \n" +
                                        displayText(p) + "|caf\uFFFD.txt"});
        QVERIFY(t.messages.isEmpty());
        const std::string renamed = tree.path("data/p/caf\xE9-2.txt");
        QCOMPARE(readFile(renamed), std::string("same"));
        QVERIFY(!exists(p) && exists(q));
        QVERIFY(t.rowOf(renamed) >= 0 && t.rowOf(q) >= 0);
        QCOMPARE(t.rowOf(p), -1);
        // The two files no longer share a name: "Same Name" holds neither.
        QCOMPARE(t.tab(ListSameName), QStringLiteral("Same Name(0)"));

        // A path is not a name: refused, the prompt comes again with the name typed.
        t.showList(1);
        t.selectRowOf(renamed);
        t.answer = QStringLiteral("sub/moved.txt");
        t.key(Qt::Key_F2);
        QVERIFY(t.messages.value(0).startsWith(
            QStringLiteral("File can't be renamed.\nThe name is not allowed")));
        QVERIFY(t.prompts.last().endsWith(QStringLiteral("|sub/moved.txt")));
        QVERIFY(exists(renamed) && t.rowOf(renamed) >= 0);

        // Enter opens the selected file, by its bytes. The row menu copies the path, as text and
        // as a file address, and opens the folder.
        t.key(Qt::Key_Return);
        QCOMPARE(t.opened, std::vector<QUrl>{fileUrlOf(renamed)});
        t.action("copyPathAction")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), displayText(renamed));
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->urls(), QList<QUrl>{fileUrlOf(renamed)});
        t.action("openFolderAction")->trigger();
        QCOMPARE(t.opened.back(), fileUrlOf(renamed.substr(0, renamed.rfind('/'))));
        // An opener that takes nothing: the message names the file.
        t.w.setUrlOpener([](const QUrl&) { return false; });
        t.messages.clear();
        t.key(Qt::Key_Return);
        QCOMPARE(t.messages,
                 QStringList{displayText(renamed) +
                             " can't be opened:\nno program could open it.|Can't open"});
        // The renamed file is still the file of its rows: it can be trashed.
        useHomeIn(tree);
        t.messages.clear();
        t.mark(renamed);
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QVERIFY(t.messages.isEmpty() && !exists(renamed));
    }

    void clickPreviewsAndSpaceMarks() {
        TempTree tree;
        const std::string bytes =
            readFile(QFINDTESTDATA("../data/pictures/sample.jpg").toStdString());
        QVERIFY(!bytes.empty());
        tree.file("data/p/shot.jpg", bytes);
        tree.file("data/q/shot-copy.jpg", bytes);
        tree.file("data/t/a.txt", "text");
        tree.file("data/u/b.txt", "text");
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(1);

        t.clickRow(t.rowOf(tree.path("data/p/shot.jpg")));
        // Fitted into the box, which is narrower than the picture.
        const QSize shown = t.previewLabel()->pixmap().size();
        QCOMPARE(shown.width(), t.previewLabel()->contentsRect().width());
        QVERIFY(shown.height() > 0 && shown.height() < t.previewLabel()->contentsRect().height());
        const int text = t.rowOf(tree.path("data/t/a.txt"));
        t.clickRow(text);
        QCOMPARE(t.w.selectedRow(), text);
        QVERIFY(t.previewLabel()->pixmap().isNull());

        // The preview follows the current row moved by the arrow keys too.
        const int picture = t.rowOf(tree.path("data/q/shot-copy.jpg"));
        for (int step = 0; step < std::abs(picture - text); ++step)
            t.key(picture > text ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(t.w.selectedRow(), picture);
        QVERIFY(!t.previewLabel()->pixmap().isNull());
        t.clickRow(text);

        // With the preview off, a picture clicked is not shown; switched on again, the preview
        // shows the selected row, and a click on the current row shows it again.
        auto* previewOn = t.child<QCheckBox>("previewCheckBox");
        previewOn->setChecked(false);
        t.clickRow(picture);
        QVERIFY(t.previewLabel()->pixmap().isNull());
        previewOn->setChecked(true);
        QVERIFY(!t.previewLabel()->pixmap().isNull());
        t.previewLabel()->clear();
        t.clickRow(picture);
        QVERIFY(!t.previewLabel()->pixmap().isNull());
        t.clickRow(text);

        // Space flips the mark of the current row only.
        t.key(Qt::Key_Space);
        for (int i = 0; i < t.list().rowCount(); ++i)
            QCOMPARE(t.list().row(i).checked, i == text);
        t.key(Qt::Key_Space);
        QCOMPARE(t.marked(), 0);
    }

    // The scope fields reach the search: an excluded folder and name are not searched, files
    // outside the size limits are in no list and are counted after the usual text; a size that
    // cannot be read, or a minimum above the maximum, is named and starts nothing; the fields,
    // "only groups with a kept file" and the window's size come back in the next run.
    void excludeAndSizeLimitsShapeTheSearch() {
        TempTree tree;
        tree.file("small/a.txt", "abc"); // 3 bytes: under the minimum
        tree.file("small/b.txt", "abc");
        tree.file("mid/c.dat", "0123456789");
        tree.file("mid/d.dat", "0123456789");
        tree.file("mid/e.tmp", "0123456789");           // excluded by its name
        tree.file("skip/f.dat", "0123456789");          // in an excluded folder
        tree.file("big/g.bin", std::string(2000, 'g')); // over the maximum
        tree.file("big/h.bin", std::string(2000, 'g'));
        tree.file("zero/c.dat"); // empty: under the minimum, so not under "Zero Size" either
        {
            Window t;
            QVERIFY(t.shown());
            t.setScope("skip; *.TMP", "5|B", "1.5|KB");
            t.search(tree.root());
            QCOMPARE(t.paths(ListDuplicates),
                     QStringList({QString::fromStdString(tree.path("mid/c.dat")),
                                  QString::fromStdString(tree.path("mid/d.dat"))}));
            QCOMPARE(t.w.resultModel(ListZeroSize).rowCount(), 0);
            QCOMPARE(t.w.resultModel(ListSameName).rowCount(), 0);
            QVERIFY2(QRegularExpression(QStringLiteral("^Completed in \\d+s, searching 2 files\\. "
                                                       "5 files outside the size limits were "
                                                       "left out\\.$"))
                         .match(t.statusLabel()->text())
                         .hasMatch(),
                     qPrintable(t.statusLabel()->text()));
            QVERIFY(t.messages.isEmpty());

            // Refused before anything starts: the lists stay.
            for (const auto& [minSize, maxSize, says] :
                 {std::tuple{"abc", "", "\"abc\" is not a size for Min size."},
                  std::tuple{"", "-1", "\"-1\" is not a size for Max size."},
                  std::tuple{"2 KB|B", "1.5|KB", // the unit typed wins over the one beside it
                             "Min size (2 KB) is larger than Max size (1500 B)"}}) {
                t.messages.clear();
                t.setScope("skip; *.TMP", minSize, maxSize);
                QTest::mouseClick(t.searchButton(), Qt::LeftButton);
                QVERIFY(!t.w.searchRunning());
                QCOMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
                QCOMPARE(t.messages.size(), 1);
                QVERIFY2(t.messages[0].startsWith(QString::fromUtf8(says)),
                         qPrintable(t.messages[0]));
                QCOMPARE(t.w.resultModel(ListDuplicates).rowCount(), 2);
            }
            t.setScope("skip; *.TMP", "5|B", "1.5|MB");
            t.panel().setOnlyWithKept(true);
            t.w.resize(1100, 700);
            QTRY_COMPARE(t.w.size(), QSize(1100, 700));
            t.w.close();
        }
        Window t;
        QVERIFY(t.shown());
        QTRY_COMPARE(t.w.size(), QSize(1100, 700));
        QVERIFY(t.panel().onlyWithKept());
        QCOMPARE(t.edit("excludeEdit")->text(), QStringLiteral("skip; *.TMP"));
        QCOMPARE(t.edit("minSizeEdit")->text(), QStringLiteral("5"));
        QCOMPARE(t.combo("minUnitCombo")->currentText(), QStringLiteral("B"));
        QCOMPARE(t.edit("maxSizeEdit")->text(), QStringLiteral("1.5"));
        QCOMPARE(t.combo("maxUnitCombo")->currentText(), QStringLiteral("MB"));
    }

    // Saved results open into the four lists again, names that are not UTF-8 included; a file
    // that is refused leaves the lists alone; a row whose file changed since is greyed, cannot
    // be marked and is neither deleted nor renamed.
    void savedResultsOpenAgainAndStaleRowsAreLeftAlone() {
        TempTree tree;
        useHomeIn(tree);
        tree.file("data/a/same.txt", "same bytes");
        tree.file("data/b/same.txt", "same bytes");
        tree.file("data/c/\xE9t\xE9.txt", "same bytes"); // Latin-1, not UTF-8
        tree.file("data/d/gone.bin", "other bytes");
        tree.file("data/e/gone.bin", "other bytes");
        tree.file("data/zero.txt");
        const std::string saved = tree.path("results.json");
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        std::array<QStringList, kResultListCount> searched;
        for (int list = 0; list < kResultListCount; ++list)
            searched[static_cast<std::size_t>(list)] = t.paths(list);
        QCOMPARE(searched[ListDuplicates].size(), 5);
        t.saveTo("saveResultsAction", saved);
        QVERIFY2(t.messages.isEmpty(), qPrintable(t.messages.join('\n')));
        QVERIFY(exists(saved));

        // Open into a fresh set of lists: the same rows, every byte of the names kept.
        QTest::mouseClick(t.newSearchButton(), Qt::LeftButton);
        QCOMPARE(t.w.resultModel(ListDuplicates).rowCount(), 0);
        QVERIFY(t.openResults(saved));
        for (int list = 0; list < kResultListCount; ++list)
            QCOMPARE(t.paths(list), searched[static_cast<std::size_t>(list)]);
        QCOMPARE(t.w.currentList(), int(ListDuplicates));
        QVERIFY2(t.statusLabel()->text() == QStringLiteral("Opened results.json: 10 rows"),
                 qPrintable(t.statusLabel()->text()));

        // A refused file: a message, and the lists as they were.
        QVERIFY(!t.openResults(tree.file("cut.json", readFile(saved).substr(0, 100))));
        QCOMPARE(t.messages.size(), 1);
        QVERIFY2(t.messages[0].contains(QStringLiteral("cannot be opened as results")),
                 qPrintable(t.messages[0]));
        QCOMPARE(t.paths(ListDuplicates), searched[ListDuplicates]);

        // A file gone and another changed since: their rows are stale.
        QCOMPARE(::unlink(tree.path("data/d/gone.bin").c_str()), 0);
        tree.file("data/b/same.txt", "other size now");
        t.messages.clear();
        QVERIFY(t.openResults(saved));
        // Each is in "Duplicates" and in "Same Name"; the files that were their copies or
        // namesakes, e and a's namesake, have none left and leave those lists.
        QVERIFY2(t.statusLabel()->text() ==
                     QStringLiteral("Opened results.json: 7 rows, 4 stale (changed or gone since "
                                    "the search), 3 left the lists (no other file is identical "
                                    "or has the name)"),
                 qPrintable(t.statusLabel()->text()));
        t.showList(ListDuplicates);
        const int changed = t.rowOf(tree.path("data/b/same.txt"));
        const int fresh = t.rowOf(tree.path("data/a/same.txt"));
        QVERIFY(changed >= 0 && fresh >= 0);
        const QModelIndex cell = t.list().index(changed, NameColumn);
        QVERIFY(!(t.list().flags(cell) & Qt::ItemIsUserCheckable));
        QVERIFY(!t.list().data(cell, Qt::CheckStateRole).isValid());
        QVERIFY(t.list()
                    .data(cell, Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("Changed since")));
        QVERIFY(t.list().data(cell, Qt::ForegroundRole).isValid());
        QVERIFY(!t.list().data(t.list().index(fresh, NameColumn), Qt::ForegroundRole).isValid());
        // No way to mark it: not one by one, not all, not by age.
        t.list().setChecked(changed, true);
        t.action("markAllAction")->trigger();
        QVERIFY(!t.list().row(t.rowOf(tree.path("data/b/same.txt"))).checked);
        t.action("clearMarksAction")->trigger();
        t.action("markNewerAction")->trigger();
        t.action("markOlderAction")->trigger();
        for (const ResultRow& r : t.list().rows())
            QVERIFY(!r.checked || !r.stale());
        // Delete and Rename on it are refused with a word; the file stays.
        t.action("clearMarksAction")->trigger();
        t.selectRowOf(tree.path("data/b/same.txt"));
        t.messages.clear();
        t.action("deleteAction")->trigger();
        t.action("renameAction")->trigger();
        QCOMPARE(t.messages.size(), 2);
        for (const QString& message : t.messages)
            QVERIFY2(message.contains(QStringLiteral("Changed since these results were saved")),
                     qPrintable(message));
        QVERIFY(t.questions.isEmpty() && t.prompts.isEmpty());
        QCOMPARE(readFile(tree.path("data/b/same.txt")), std::string("other size now"));
    }

    // A kept file is never marked, checked, trashed or renamed, whichever way the user goes:
    // menu, keys, the check box, the row menu's folder and pattern marking, keep-one. "Only
    // groups with a kept file" reaches the search: the other group is not listed.
    void keptFilesAreNeverActedOn() {
        TempTree tree;
        tree.file("archive/photo.jpg", "picture bytes");
        tree.file("archive/alone.txt", "only in the archive");
        tree.file("downloads/photo.jpg", "picture bytes");
        tree.file("downloads/photo (1).jpg", "picture bytes");
        tree.file("downloads/other.txt", "no copy in the archive");
        tree.file("downloads/other-copy.txt", "no copy in the archive");
        tree.setMtime("archive/photo.jpg", 1717243200); // the newest
        useHomeIn(tree);
        const std::string kept = tree.path("archive/photo.jpg");
        Window t;
        QVERIFY(t.shown());
        t.searchKeeping(tree.path("archive"), tree.path("downloads"), true);
        QVERIFY(t.pathTexts()[0].startsWith(displayText(tree.path("archive"))));
        QVERIFY2(t.statusLabel()->text().contains(QStringLiteral("1 size not compared")),
                 qPrintable(t.statusLabel()->text()));
        t.showList(1);
        QCOMPARE(t.list().rowCount(), 3);
        const int row = t.rowOf(kept);
        QVERIFY(t.list().row(row).kept);
        const QModelIndex cell = t.list().index(row, NameColumn);
        QVERIFY(!(t.list().flags(cell) & Qt::ItemIsUserCheckable));
        QVERIFY(!t.list().data(cell, Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(t.list().data(cell, Qt::ToolTipRole).toString().contains(QStringLiteral("Keep")));
        const auto keptUnmarked = [&] {
            return !t.list().row(t.rowOf(kept)).checked &&
                   t.list().data(t.list().index(t.list().viewRowOf(t.rowOf(kept)), NameColumn),
                                 Qt::CheckStateRole) == Qt::Unchecked;
        };

        // The check box and Space.
        QVERIFY(!t.list().setData(cell, Qt::Checked, Qt::CheckStateRole) || keptUnmarked());
        t.w.selectRow(t.rowOf(kept));
        t.key(Qt::Key_Space);
        QVERIFY(keptUnmarked());
        // Every marking command: a kept file is the newest and the oldest alike here.
        for (const char* name : {"markAllAction", "markOlderAction", "markNewerAction",
                                 "keepOneAction", "markFolderAction"}) {
            t.action("clearMarksAction")->trigger();
            t.w.selectRow(t.rowOf(kept));
            t.action(name)->trigger();
            QVERIFY2(keptUnmarked(), name);
        }
        QCOMPARE(t.marked(), 0); // "Mark all in this folder" of the archive
        t.w.markCommands().setPatternPrompt([](const auto& countText) {
            const QString count = countText(QStringLiteral("*photo*"));
            return count.contains(QStringLiteral("3 files match; 1 of them stay"))
                       ? QStringLiteral("*photo*")
                       : QString();
        });
        t.action("markPatternAction")->trigger();
        QVERIFY(keptUnmarked());
        QCOMPARE(t.marked(), 2);
        // Rename refuses it; Delete leaves it.
        t.answer = QStringLiteral("renamed.jpg");
        t.w.selectRow(t.rowOf(kept));
        t.key(Qt::Key_F2);
        QVERIFY(t.messages.last().contains(QStringLiteral("Keep folder")));
        QVERIFY(exists(kept));
        QVERIFY(t.prompts.isEmpty());
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QVERIFY(t.questions.last().startsWith(QStringLiteral("2 files (")));
        QVERIFY(exists(kept) && exists(tree.path("archive/alone.txt")));
        QVERIFY(!exists(tree.path("downloads/photo.jpg")));
        // The kept file is left alone, in a group of one: no longer listed.
        QCOMPARE(t.list().rowCount(), 0);
    }

    // A Keep box ticked after the search protects the listed files at once, from the mouse or
    // the keyboard; a double click on it toggles that box and removes no row.
    void keepBoxesActAtOnce() {
        TempTree tree;
        tree.file("archive/photo.jpg", "picture bytes");
        tree.file("downloads/photo.jpg", "picture bytes");
        tree.setMtime("archive/photo.jpg", 1000000000); // the oldest: keep-one keeps it
        tree.setMtime("downloads/photo.jpg", 1100000000);
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.add(tree.path("archive"));
        t.add(tree.path("downloads"));
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        QTRY_COMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
        t.showList(ListDuplicates);
        const std::string archived = tree.path("archive/photo.jpg");
        t.list().setAllChecked(true);

        // Space on the archive's path row ticks its box: its file is kept and unmarked.
        QTreeWidget* paths = t.searchPathList();
        paths->setCurrentItem(paths->topLevelItem(0));
        paths->setFocus();
        QTest::keyClick(paths, Qt::Key_Space);
        QCOMPARE(paths->topLevelItem(0)->checkState(2), Qt::Checked);
        QVERIFY(t.list().row(t.rowOf(archived)).kept);
        QVERIFY(!t.list().row(t.rowOf(archived)).checked);
        t.action("clearMarksAction")->trigger();
        t.action("keepOneAction")->trigger();
        QVERIFY(!t.list().row(t.rowOf(archived)).checked);
        QVERIFY(t.list().row(t.rowOf(tree.path("downloads/photo.jpg"))).checked);

        // A double click on the other row's Keep box: two clicks of that box, no row removed.
        const QRect box = paths->visualItemRect(paths->topLevelItem(1));
        const QPoint at(paths->header()->sectionViewportPosition(2) + 8, box.center().y());
        QTest::mouseDClick(paths->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(paths->topLevelItemCount(), 2);
        QCOMPARE(paths->topLevelItem(0)->checkState(2), Qt::Checked);
        // Alt+K clears the current row's box: the file is no longer kept.
        paths->setCurrentItem(paths->topLevelItem(0));
        QTest::keyClick(paths, Qt::Key_K, Qt::AltModifier);
        QCOMPARE(paths->topLevelItem(0)->checkState(2), Qt::Unchecked);
        QVERIFY(!t.list().row(t.rowOf(archived)).kept);
    }

    // Keep-one leaves exactly one unmarked row in each group under every rule, the one the
    // rule names; the rule is remembered.
    void keepOneLeavesOnePerGroup() {
        TempTree tree;
        for (const char* rel : {"data/x/long-name-one.txt", "data/y/b.txt", "data/zz/c.txt"})
            tree.file(rel, "group one");
        for (const char* rel : {"data/x/d.txt", "data/yy/ee.txt"})
            tree.file(rel, "group two, longer");
        tree.setMtime("data/x/long-name-one.txt", 1577880000);
        tree.setMtime("data/y/b.txt", 1717243200);
        tree.setMtime("data/zz/c.txt", 1609502400);
        tree.setMtime("data/x/d.txt", 1717243200);
        tree.setMtime("data/yy/ee.txt", 1577880000);
        const std::array<std::pair<const char*, QStringList>, 4> rules = {{
            {"keepRule-oldest", {"long-name-one.txt", "ee.txt"}},
            {"keepRule-newest", {"b.txt", "d.txt"}},
            {"keepRule-shortest-path", {"b.txt", "d.txt"}},
            {"keepRule-first-in-order", {"b.txt", "d.txt"}},
        }};
        {
            Window t;
            QVERIFY(t.shown());
            t.search(tree.path("data"));
            t.showList(1);
            t.w.sortList(1, NameColumn, Qt::AscendingOrder);
            for (const auto& [rule, unmarked] : rules) {
                t.action(rule)->trigger();
                QTest::keyClick(&t.w, Qt::Key_D, Qt::ControlModifier);
                QStringList left;
                for (const ResultRow& row : t.list().rows())
                    if (!row.checked)
                        left << QString::fromStdString(row.name);
                left.sort();
                QStringList expected = unmarked;
                expected.sort();
                QCOMPARE(left, expected);
            }
            // Ctrl+D still marks "Duplicates" after the file menu opened over another list.
            t.action("clearMarksAction")->trigger();
            t.showList(ListZeroSize);
            t.fileMenu()->popup(QPoint());
            t.fileMenu()->hide();
            t.showList(ListDuplicates);
            QTest::keyClick(&t.w, Qt::Key_D, Qt::ControlModifier);
            QCOMPARE(std::count_if(t.list().rows().begin(), t.list().rows().end(),
                                   [](const ResultRow& row) { return row.checked; }),
                     3);
            // Copy Paths takes the marked rows' paths, one a line.
            t.fileMenu()->popup(QPoint());
            t.action("copyPathsAction")->trigger();
            t.fileMenu()->hide();
            QCOMPARE(QGuiApplication::clipboard()->text().count(QLatin1Char('\n')), 2);
        }
        Window again;
        QCOMPARE(again.w.markCommands().keepRule(), KeepRule::FirstInOrder);
    }

    // The filter box narrows the visible list to whole groups, marking and Delete act on the
    // rows shown only, and Esc shows every row again; the totals follow.
    void filterNarrowsAndMarksWhatItShows() {
        TempTree tree;
        tree.file("data/holiday/beach.jpg", "picture one");
        tree.file("data/backup/beach-copy.jpg", "picture one");
        tree.file("data/work/report.txt", "a report of 27 bytes length");
        tree.file("data/backup/report.txt", "a report of 27 bytes length");
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(1);
        QCOMPARE(t.totals(), QStringLiteral("4 rows in 2 groups, 38 bytes reclaimable"));

        QTest::keyClick(&t.w, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t.filterBar()));
        QTest::keyClicks(t.filterBar(), QStringLiteral("holiday"));
        // The whole group of the beach picture, the backup copy too.
        QCOMPARE(t.list().rowCount(), 2);
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(4)"));
        QCOMPARE(t.totals(), QStringLiteral("2 rows in 1 group, 11 bytes reclaimable"));
        for (int i = 0; i < t.list().rowCount(); ++i)
            QVERIFY(t.list().data(t.list().index(i, NameColumn)).toString().contains("beach"));
        // Marking by age clears and marks the groups shown; a hidden mark stays. Mark All marks
        // the rows shown.
        const std::string hidden = tree.path("data/work/report.txt");
        t.list().setChecked(t.rowOf(hidden), true);
        t.action("markOlderAction")->trigger();
        QCOMPARE(t.marked(), 2);
        t.list().setChecked(t.rowOf(hidden), false);
        t.action("markAllAction")->trigger();
        QCOMPARE(t.marked(), 2);
        QCOMPARE(t.totals(),
                 QStringLiteral("2 rows in 1 group, 11 bytes reclaimable; 2 marked (22 bytes)"));
        // A pattern counts and marks the rows shown only.
        t.action("clearMarksAction")->trigger();
        t.w.markCommands().setPatternPrompt([](const auto& countText) {
            return countText(QStringLiteral("*/backup/*"))
                           .startsWith(QStringLiteral("1 file matches"))
                       ? QStringLiteral("*/backup/*")
                       : QString();
        });
        t.action("markPatternAction")->trigger();
        QCOMPARE(t.marked(), 1);
        t.action("clearMarksAction")->trigger();

        // Space marks the row shown, not the row at that position of the whole list (one of the
        // two groups lies below the other there).
        for (const char* shown : {"data/work/report.txt", "data/holiday/beach.jpg"}) {
            t.filterBar()->setText(QString::fromLatin1(shown).section('/', 1, 1));
            const int before = t.marked();
            t.clickRow(t.rowOf(tree.path(shown)));
            QCOMPARE(t.w.selectedRow(), t.rowOf(tree.path(shown)));
            t.key(Qt::Key_Space);
            QVERIFY2(t.list().row(t.rowOf(tree.path(shown))).checked, shown);
            QCOMPARE(t.marked(), before + 1);
        }
        t.list().setChecked(t.rowOf(tree.path("data/work/report.txt")), false);

        // Esc restores every row; a hidden mark is not deleted.
        t.filterBar()->setFocus();
        QTest::keyClick(t.filterBar(), Qt::Key_Escape);
        QVERIFY(t.filterBar()->text().isEmpty());
        QCOMPARE(t.list().rowCount(), 4);
        t.list().setChecked(t.rowOf(tree.path("data/work/report.txt")), true);
        t.filterBar()->setText(QStringLiteral("*beach*"));
        QCOMPARE(t.list().rowCount(), 2);
        t.view(1)->setFocus();
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QCOMPARE(t.questions.size(), 1);
        QVERIFY(t.questions.last().startsWith(QStringLiteral("1 file (")));
        QVERIFY(exists(tree.path("data/work/report.txt")));
        QVERIFY(!exists(tree.path("data/holiday/beach.jpg")));
        QCOMPARE(t.list().rowCount(), 0);
        t.filterBar()->clear();
        QCOMPARE(t.list().rowCount(), 2);
        QCOMPARE(t.totals(),
                 QStringLiteral("2 rows in 1 group, 27 bytes reclaimable; 1 marked (27 bytes)"));
    }

    // Save and Export ask before replacing the file of the name they write (the dialog's name
    // with the suffix added); Export writes the rows shown with their marks.
    void saveAndExportAskForTheirOwnNameAndWriteWhatIsShown() {
        TempTree tree;
        tree.file("data/holiday/beach.jpg", "picture one");
        tree.file("data/backup/beach-copy.jpg", "picture one");
        tree.file("data/work/report.txt", "a report of 27 bytes length");
        tree.file("data/backup/report.txt", "a report of 27 bytes length");
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(ListDuplicates);

        const std::string json = tree.file("out/report.json", "older results");
        const std::string csv = tree.file("out/list.csv", "older list");
        for (const bool yes : {false, true}) {
            t.yes = yes;
            t.saveTo("saveResultsAction", tree.path("out/report"));
            t.saveTo("exportListAction", tree.path("out/list"));
            QCOMPARE(t.questions.size(), yes ? 4 : 2);
            QVERIFY2(t.questions.last().startsWith(QStringLiteral("list.csv already exists")),
                     qPrintable(t.questions.last()));
            QCOMPARE(readFile(json).starts_with("{"), yes);
            QCOMPARE(readFile(csv).starts_with("Name,"), yes);
        }
        QVERIFY2(t.messages.isEmpty(), qPrintable(t.messages.join('\n')));
        QVERIFY(!exists(tree.path("out/report")) && !exists(tree.path("out/list")));
        // A whole name is asked about as well.
        t.yes = false;
        t.saveTo("saveResultsAction", json);
        QCOMPARE(t.questions.size(), 5);

        t.mark(tree.path("data/backup/beach-copy.jpg"));
        t.filterBar()->setText(QStringLiteral("holiday"));
        QCOMPARE(t.list().rowCount(), 2);
        t.saveTo("exportListAction", tree.path("out/shown.csv"));
        const QStringList lines =
            QString::fromStdString(readFile(tree.path("out/shown.csv"))).split("\r\n");
        QCOMPARE(lines.size(), 1 + 2 + 1);
        QCOMPARE(lines[0], QStringLiteral(
                               "Name,In Folder,Group,Size,Date Modified,Kept,Reason,Marked,Stale"));
        for (const QString& line : lines.mid(1, 2))
            QVERIFY2(line.endsWith(line.startsWith("beach-copy.jpg,") ? ",,yes," : ",,,"),
                     qPrintable(line));
        QCOMPARE(lines[3], QString());
    }

    // Restore Last Delete puts the files back with their rows and their group, and is offered
    // only while there is a delete to restore; the row is the file as it is now.
    void restoreBringsBackTheLastDelete() {
        TempTree tree;
        tree.file("data/a/one.txt", "same bytes");
        tree.file("data/b/one.txt", "same bytes");
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(1);
        QVERIFY(!t.action("restoreAction")->isEnabled());
        // The delete leaves a group of one, which leaves the list with it.
        t.mark(tree.path("data/a/one.txt"));
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(0)"));
        QVERIFY(t.action("restoreAction")->isEnabled());

        QVERIFY(t.restored());
        QCOMPARE(readFile(tree.path("data/a/one.txt")), std::string("same bytes"));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
        QCOMPARE(t.statusLabel()->text(), QStringLiteral("1 file put back"));
        const int back = t.rowOf(tree.path("data/a/one.txt"));
        QVERIFY(back >= 0 && !t.list().row(back).checked);
        QVERIFY(!t.action("restoreAction")->isEnabled());
        t.mark(tree.path("data/a/one.txt"));
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QVERIFY(!exists(tree.path("data/a/one.txt")));
    }

    // A row of "Folders" moves its whole folder to the trash, after a word when its files'
    // copies go too; the rows of the files in it go with
    // it, and Restore Last Delete brings the folder and its rows back. The search type is off until
    // ticked.
    void aWholeFolderGoesToTheTrashAndComesBack() {
        TempTree tree;
        const std::string photos = tree.dir("data/Photos");
        const std::string old = tree.dir("data/Photos-old");
        for (const std::string& top : {photos, old}) {
            tree.file(top.substr(tree.root().size() + 1) + "/2019/a.jpg", "picture a");
            tree.file(top.substr(tree.root().size() + 1) + "/b.jpg", "picture b");
        }
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        QVERIFY(!t.resultTabs()->tabBar()->isTabVisible(ListFolders));
        QListWidgetItem* folders = t.searchTypeList()->item(SearchFolders);
        QCOMPARE(folders->checkState(), Qt::Unchecked);
        folders->setCheckState(Qt::Checked);
        t.search(tree.path("data"));
        QVERIFY(t.resultTabs()->tabBar()->isTabVisible(ListFolders));
        QVERIFY(!t.resultTabs()->tabBar()->isTabVisible(ListEmptyFolders));
        QCOMPARE(t.tab(ListFolders), QStringLiteral("Folders(2)"));
        QCOMPARE(t.tab(ListDuplicates), QStringLiteral("Duplicates(4)"));
        t.showList(ListFolders);
        t.yes = false;
        t.mark(photos);
        t.mark(old);
        t.key(Qt::Key_Delete);
        QVERIFY(t.questions.last().contains(
            QStringLiteral("4 files in them would keep no identical copy.")));
        t.action("clearMarksAction")->trigger();
        t.yes = true;
        t.mark(old);
        t.key(Qt::Key_Delete);
        QVERIFY(t.questions.last().startsWith(QStringLiteral("1 folder (")));
        QVERIFY(t.deleted());
        QVERIFY(!exists(old));
        QVERIFY2(t.statusLabel()->text().startsWith(QStringLiteral("1 folder moved to the trash")),
                 qPrintable(t.statusLabel()->text()));
        QCOMPARE(t.rowOf(old), -1);
        // Its twin has no twin left.
        QCOMPARE(t.tab(ListFolders), QStringLiteral("Folders(0)"));
        QCOMPARE(t.tab(ListDuplicates), QStringLiteral("Duplicates(0)"));

        QVERIFY(t.restored());
        QCOMPARE(readFile(old + "/2019/a.jpg"), std::string("picture a"));
        QVERIFY(t.rowOf(old) >= 0);
        QCOMPARE(t.tab(ListFolders), QStringLiteral("Folders(2)"));
        QCOMPARE(t.tab(ListDuplicates), QStringLiteral("Duplicates(4)"));
        // The folder as it is now can go again.
        t.mark(old);
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QVERIFY(!exists(old));
    }

    // Marked duplicates replaced with hard links: every path reads the same bytes, the marked
    // names are the kept copies now, and Restore Last Delete brings the originals back.
    void replaceWithLinksAndUndo() {
        TempTree tree;
        const std::string a = tree.file("photos/a.jpg", std::string(5000, 'a'));
        const std::string b = tree.file("photos/b.jpg", std::string(6000, 'b'));
        const std::string backupA = tree.file("backup/a.jpg", std::string(5000, 'a'));
        const std::string backupB = tree.file("backup/b.jpg", std::string(6000, 'b'));
        const std::uint64_t wasA = statPath(backupA, false).inode;
        useHomeIn(tree);
        Window t;
        QStringList asked;
        t.w.fileCommands().setChoiceHook([&](const QString& text, const QStringList& choices) {
            asked << text;
            return static_cast<int>(choices.indexOf(QStringLiteral("Hard Links")));
        });
        QVERIFY(t.shown());
        t.search(tree.path(""));
        t.showList(ListDuplicates);
        t.mark(backupA);
        t.mark(backupB);
        t.action("replaceAction")->trigger();
        QVERIFY(t.deleted());
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].startsWith(QStringLiteral("2 marked files will be replaced")));
        QVERIFY2(t.messages.isEmpty(), qPrintable(t.messages.join('\n')));
        QCOMPARE(statPath(backupA, false).inode, statPath(a, false).inode);
        QCOMPARE(readFile(backupB), std::string(6000, 'b'));
        QCOMPARE(t.tab(ListDuplicates), QStringLiteral("Duplicates(0)"));
        QVERIFY2(t.statusLabel()->text().startsWith(QStringLiteral("2 files replaced with links")),
                 qPrintable(t.statusLabel()->text()));

        QVERIFY(t.restored());
        QCOMPARE(statPath(backupA, false).inode, wasA);
        QVERIFY(statPath(backupA, false).inode != statPath(a, false).inode);
        QCOMPARE(readFile(backupA), std::string(5000, 'a'));
        QCOMPARE(t.tab(ListDuplicates), QStringLiteral("Duplicates(4)"));
        QVERIFY(exists(b));
    }

    // A photo with a hard-linked snapshot: one row, which knows its other name; the totals and
    // the Delete question count only the bytes a delete frees; sending the other names the
    // search found frees them, and Restore brings every name back. (What the walk makes of
    // links is the walk's test.)
    void hardLinksTellTheTruth() {
        TempTree tree;
        tree.file("lib/2023/p.jpg", std::string(4000, 'p'));
        const std::string copy = tree.file("lib/backup/p.jpg", std::string(4000, 'p'));
        tree.hardlink("lib/2023/p.jpg", "lib/snap/p.jpg");
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("lib"));
        t.showList(ListDuplicates);
        QCOMPARE(t.tab(ListDuplicates), QStringLiteral("Duplicates(2)"));
        const auto linked = std::find_if(t.list().rows().begin(), t.list().rows().end(),
                                         [](const ResultRow& r) { return r.links == 2; });
        QVERIFY(linked != t.list().rows().end() && linked->otherNames()->size() == 1);
        const std::string first = linked->path();
        const std::string second = linked->otherNames()->front();
        QVERIFY2(t.totals().startsWith(QStringLiteral("2 rows in 1 group, 4.0 kB reclaimable")),
                 qPrintable(t.totals()));

        // Marking the linked file frees nothing by itself.
        t.mark(first);
        QVERIFY2(t.totals().endsWith(QStringLiteral("1 marked (0 bytes)")), qPrintable(t.totals()));
        QStringList asked;
        int answer = -1; // cancelled
        t.w.fileCommands().setChoiceHook([&](const QString& text, const QStringList& choices) {
            asked << text;
            return choices.size() == 2 ? answer : -1;
        });
        t.action("deleteAction")->trigger();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(
            asked[0].contains(QStringLiteral("so this frees 0 bytes")) &&
                asked[0].contains(QStringLiteral("moving those to the trash too frees 4.0 kB")),
            qPrintable(asked[0]));
        QVERIFY(exists(first) && exists(second));

        answer = 0; // every name the search found
        t.action("deleteAction")->trigger();
        QVERIFY(t.deleted());
        QVERIFY(!exists(first) && !exists(second));
        QCOMPARE(readFile(copy), std::string(4000, 'p'));
        QVERIFY2(t.statusLabel()->text().startsWith(
                     QStringLiteral("1 file moved to the trash, and 1 other name of them")),
                 qPrintable(t.statusLabel()->text()));
        QVERIFY(t.restored());
        QCOMPARE(statPath(first, false).inode, statPath(second, false).inode);
    }

    // "Same Name" tells identical namesakes from different ones: the "#" of their Duplicates
    // group, side by side, and a box that shows only the names whose files differ.
    void namesakesShowWhichAreCopies() {
        TempTree tree;
        tree.file("cam1/IMG_0001.JPG", "photo one");
        tree.file("cam2/IMG_0001.JPG", "photo one");
        tree.file("cam3/IMG_0001.JPG", "photo two!");
        tree.file("a/notes.txt", "the same notes");
        tree.file("b/notes.txt", "the same notes");
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path(""));
        t.showList(ListSameName);
        QCheckBox* differing = t.child<QCheckBox>(QStringLiteral("differingBox"));
        QVERIFY(differing->isVisible());
        QCOMPARE(t.list().rowCount(), 5);
        // The other photo first, in no group; the two identical ones together, one "#".
        QVERIFY(t.list().index(0, GroupColumn).data().toString().isEmpty());
        const QString one = t.list().index(1, GroupColumn).data().toString();
        QVERIFY(!one.isEmpty());
        QCOMPARE(t.list().index(2, GroupColumn).data().toString(), one);
        differing->setChecked(true);
        QCOMPARE(t.list().rowCount(), 3); // the photos; notes.txt is one copy twice
        for (int i = 0; i < 3; ++i)
            QCOMPARE(t.list().row(t.list().positionOf(i)).name, std::string("IMG_0001.JPG"));
        t.showList(ListDuplicates);
        QVERIFY(!differing->isVisible());
    }

    // After a new search, a restore puts the file back on disk but not into the new lists,
    // which never compared it: keep-one there could otherwise trash every real copy.
    void aRestoreNeverJoinsLaterLists() {
        TempTree tree;
        for (const char* f : {"data/a/one.txt", "data/b/one.txt", "data/c/one.txt"})
            tree.file(f, "same bytes");
        useHomeIn(tree);
        Window t;
        QVERIFY(t.shown());
        t.search(tree.path("data"));
        t.showList(ListDuplicates);
        t.mark(tree.path("data/a/one.txt"));
        t.key(Qt::Key_Delete);
        QVERIFY(t.deleted());
        QTest::mouseClick(t.searchButton(), Qt::LeftButton);
        QTRY_COMPARE(t.searchButton()->text(), QStringLiteral("&Search"));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));

        QVERIFY(t.restored());
        QCOMPARE(readFile(tree.path("data/a/one.txt")), std::string("same bytes"));
        QCOMPARE(t.tab(1), QStringLiteral("Duplicates(2)"));
        QVERIFY2(t.statusLabel()->text().contains(QStringLiteral("not listed")),
                 qPrintable(t.statusLabel()->text()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
