#include "ui/DriveList.h"
#include "ui/LayoutRule.h"
#include "ui/PathRows.h"

#include <QTest>

using namespace trevalo;

namespace {

// A window in the normal state whose client area is the outer size less the decoration.
LayoutInput window(int width, int height, WindowState state = WindowState::Normal) {
    LayoutInput in;
    in.windowWidth = width;
    in.windowHeight = height;
    in.clientHeight = height - design::decorationHeight;
    in.state = state;
    return in;
}

} // namespace

class TestLayoutRule : public QObject {
    Q_OBJECT
private slots:
    void widthsFollowTheWindow();
    void resultAreaFillsTheTabStrip();
    void narrowOrShortWindowsSnapToTheMinimums();
    void minimizedAndMaximized();
    void pathRowsAreUniqueInBothForms();
    void onlyRealVolumesAreOffered();
};

void TestLayoutRule::widthsFollowTheWindow() {
    const WindowLayout out = layoutWindow(window(12000, 9000));
    QVERIFY(!out.newWindowWidth && !out.newWindowHeight);
    QCOMPARE(out.tabMainWidth, 12000 - 2135);
    QCOMPARE(*out.frmPathWidth, 12000 - 320);
    QCOMPARE(*out.lstPathWidth, 12000 - 5695);
    QCOMPARE(*out.frmSelectPathWidth, 12000 - 2215);
    // fraSrch keeps 160 from the group box's right edge and 40 right of frmSelectPath.
    QCOMPARE(*out.fraSrchLeft, *out.frmPathWidth - 1575 - 160);
    QCOMPARE(*out.fraSrchLeft, 120 + *out.frmSelectPathWidth + 40);
    // frmFileOp stands 40 right of the tab strip.
    QCOMPARE(*out.frmFileOpLeft, 12000 - 1975);
    QCOMPARE(*out.frmFileOpLeft, design::tabMain.left + out.tabMainWidth + 40);
}

void TestLayoutRule::resultAreaFillsTheTabStrip() {
    LayoutInput in = window(12000, 9000);
    in.tabHeaderHeight = 360;
    in.tabBorder = 30;
    const WindowLayout out = layoutWindow(in);
    QCOMPARE(*out.tabMainHeight, 9000 - 3135 - 255 - 800);
    const TwipRect frame = *out.resultFrame;
    QCOMPARE(frame, (TwipRect{150, 3360 + 360, 12000 - 2135 - 60, 9000 - 4190 - 360 - 30}));
    QCOMPARE(*out.resultList, (TwipRect{0, 0, frame.width, frame.height}));

    // Where the result area has no room the tab strip and the lists keep their sizes.
    const WindowLayout low = layoutWindow(window(12000, 4190));
    QVERIFY(!low.tabMainHeight && !low.resultFrame && !low.resultList);
}

void TestLayoutRule::narrowOrShortWindowsSnapToTheMinimums() {
    QCOMPARE(minClientHeight(window(0, 0)), 3550);
    LayoutInput taller = window(0, 0);
    taller.statusBarHeight = 330;
    QCOMPARE(minClientHeight(taller), 3625);

    const WindowLayout out = layoutWindow(window(8000, 2465));
    QCOMPARE(*out.newWindowWidth, 10000);
    QCOMPARE(*out.newWindowHeight, 3550 + design::decorationHeight);
    // The rest is laid out for the new size.
    QCOMPARE(out.tabMainWidth, 10000 - 2135);
    QCOMPARE(*out.lstPathWidth, 10000 - 5695);
    QCOMPARE(*out.frmSelectPathWidth, 10000 - 2215);
    // At the smallest height the result area's formula is the decoration's height less 640:
    // negative here, so the tab strip keeps its height...
    QVERIFY(!out.tabMainHeight);
    // ...and a small positive height with a taller decoration.
    LayoutInput tall = window(10000, 2000);
    tall.clientHeight = 1300;
    const WindowLayout tallOut = layoutWindow(tall);
    QCOMPARE(*tallOut.newWindowHeight, 3550 + 700);
    QCOMPARE(*tallOut.tabMainHeight, 700 - 640);

    // A window at its minimums stays as it is.
    const WindowLayout exact = layoutWindow(window(10000, 3550 + design::decorationHeight));
    QVERIFY(!exact.newWindowWidth && !exact.newWindowHeight);
}

// Minimized, only the tab strip is resized; maximized, nothing is resized and nothing is
// negative however small.
void TestLayoutRule::minimizedAndMaximized() {
    const WindowLayout out = layoutWindow(window(9000, 1000, WindowState::Minimized));
    QCOMPARE(out.tabMainWidth, 9000 - 2135);
    QVERIFY(!out.newWindowWidth && !out.newWindowHeight && !out.tabMainHeight);
    QVERIFY(!out.frmPathWidth && !out.resultFrame && !out.frmFileOpLeft);
    QCOMPARE(layoutWindow(window(1000, 1000, WindowState::Minimized)).tabMainWidth, 0);

    const WindowLayout small = layoutWindow(window(2000, 2000, WindowState::Maximized));
    QVERIFY(!small.newWindowWidth && !small.newWindowHeight);
    QCOMPARE(small.tabMainWidth, 0);
    QCOMPARE(*small.lstPathWidth, 0);
    QCOMPARE(*small.frmSelectPathWidth, 0);
    QVERIFY(*small.fraSrchLeft >= 0);
    const WindowLayout big = layoutWindow(window(30000, 20000, WindowState::Maximized));
    QCOMPARE(big.tabMainWidth, 30000 - 2135);
    QCOMPARE(*big.tabMainHeight, 20000 - 4190);
}

void TestLayoutRule::pathRowsAreUniqueInBothForms() {
    std::vector<PathRow> rows;
    QCOMPARE(addPathRow(rows, "/", "*.*", true), AddPathResult::Added);
    QCOMPARE(rows.back().path, std::string("/*.*"));
    QCOMPARE(addPathRow(rows, "/data", "*.*", false), AddPathResult::Added);
    QCOMPARE(rows.back().path, std::string("/data/*.*"));
    QVERIFY(!rows.back().subFolders);
    // The same folder and pattern again, with the other sub-folder choice: nothing changes.
    QCOMPARE(addPathRow(rows, "/data", "*.*", true), AddPathResult::AlreadyListed);
    QVERIFY(!rows.back().subFolders);
    // "/x*.*" (folder "/", pattern "x*.*") blocks folder "/x" with "*.*".
    QCOMPARE(addPathRow(rows, "/", "x*.*", true), AddPathResult::Added);
    QCOMPARE(addPathRow(rows, "/x", "*.*", true), AddPathResult::AlreadyListed);
    // Letter case counts; blanks are a pattern; an empty pattern is not.
    QCOMPARE(addPathRow(rows, "/data", "*.TXT", true), AddPathResult::Added);
    QCOMPARE(addPathRow(rows, "/data", "*.txt", true), AddPathResult::Added);
    QCOMPARE(addPathRow(rows, "/data", "  ", true), AddPathResult::Added);
    QCOMPARE(addPathRow(rows, "/data", "", true), AddPathResult::EmptyPattern);
    QCOMPARE(rows.size(), std::size_t{6});
}

void TestLayoutRule::onlyRealVolumesAreOffered() {
    QVERIFY(isRealVolume("/", "ext4", true, 1 << 30));
    QVERIFY(isRealVolume("/", "overlay", true, 1 << 30));
    QVERIFY(isRealVolume("/media/usb", "vfat", true, 1 << 30));
    QVERIFY(isRealVolume("/runner", "ext4", true, 1 << 30));
    QVERIFY(!isRealVolume("/run/user/1000", "ext4", true, 1 << 30));
    QVERIFY(!isRealVolume("/run", "ext4", true, 1 << 30));
    QVERIFY(!isRealVolume("/dev/shm", "tmpfs", true, 1 << 30));
    QVERIFY(!isRealVolume("/tmp", "tmpfs", true, 1 << 30));
    QVERIFY(!isRealVolume("/snap/core/1", "squashfs", true, 1 << 30));
    QVERIFY(!isRealVolume("/mnt/cd", "iso9660", false, 1 << 30));
    QVERIFY(!isRealVolume("/mnt/empty", "ext4", true, 0));
}

QTEST_GUILESS_MAIN(TestLayoutRule)
#include "test_layout_rule.moc"
