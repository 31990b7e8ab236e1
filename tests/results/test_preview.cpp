// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/PicturePreview.h"

#include "platform/desktop/DataFiles.h"
#include "support/TempTree.h"

#include <QPainter>
#include <QtTest>

using namespace trevalo;
using trevalo::test::readFile;
using trevalo::test::TempTree;

namespace {

std::string sample(const char* name) {
    return QFile::encodeName(QFINDTESTDATA(QStringLiteral("../data/pictures/") + name))
        .toStdString();
}

QImage fallbackPicture() {
    return QImage(dataFilePath(QStringLiteral("err_read.bmp")));
}

bool sameImage(const QImage& a, const QImage& b) {
    return !a.isNull() &&
           a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

bool yellowish(QColor c) {
    return c.red() > 200 && c.green() > 190 && c.blue() < 170;
}
bool bluish(QColor c) {
    return c.blue() > 180 && c.red() < 110 && c.green() < 150;
}

// The bounding rectangle of the opaque pixels of one colour.
QRect areaOf(const QImage& image, bool (*colour)(QColor)) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QRect area;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QColor c = argb.pixelColor(x, y);
            if (c.alpha() > 200 && colour(c))
                area |= QRect(x, y, 1, 1);
        }
    return area;
}

const QSize kBox(300, 200);

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void pictureExtensionsAndTheRowClick() {
        for (const char* path :
             {"/p/a.jpeg", "/p/a.jpg", "/p/a.gif", "/p/a.bmp", "/p/a.ico", "/p/a.rle", "/p/a.cur",
              "/p/a.wmf", "/p/a.emf", "/p/PHOTO.JPG", "/p/x.Emf", "/a.b/pic.GIF", "/p/.jpg"})
            QVERIFY2(hasPictureExtension(path), path);
        for (const char* path : {"/p/x.jpeg.txt", "/a.b/readme", "/a.jpg/readme", "/p/a.png",
                                 "/p/a.", "/p/jpg", "", "/p/a.jpgx", "/p/a.jp"})
            QVERIFY2(!hasPictureExtension(path), path);
        // A row click keeps the box without a selection or with the preview off.
        QCOMPARE(previewFor(false, true, "/p/a.jpg"), PreviewAction::Keep);
        QCOMPARE(previewFor(true, false, "/p/a.jpg"), PreviewAction::Keep);
        QCOMPARE(previewFor(true, true, "/p/a.txt"), PreviewAction::Clear);
        QCOMPARE(previewFor(true, true, "/p/A.JPG"), PreviewAction::Load);
    }

    void everySampleKindLoadsAtItsOwnSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("jpg") << "sample.jpg" << QSize(160, 120);
        QTest::newRow("jpeg") << "sample.jpeg" << QSize(160, 120);
        QTest::newRow("gif") << "sample.gif" << QSize(160, 120);
        QTest::newRow("bmp") << "sample.bmp" << QSize(160, 120);
        QTest::newRow("rle8") << "sample-rle8.rle" << QSize(160, 120);
        QTest::newRow("rle4") << "sample-rle4.rle" << QSize(8, 4);
        QTest::newRow("ico") << "sample.ico" << QSize(48, 48);
        QTest::newRow("cur") << "sample.cur" << QSize(32, 24);
        QTest::newRow("truncated jpg") << "truncated.jpg" << QSize(160, 120);
    }
    // Copied into a folder whose name holds a ".", under a name that is not UTF-8.
    void everySampleKindLoadsAtItsOwnSize() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        TempTree tree;
        const std::string copy = tree.file("holiday.2024/caf\xE9 " + name.toStdString(),
                                           readFile(sample(qPrintable(name))));
        QVERIFY(hasPictureExtension(copy));
        const QImage image = loadPreview(copy, kBox);
        QCOMPARE(image.size(), size);
        QVERIFY(!sameImage(image, fallbackPicture()));
    }

    void metafilesAreDrawnToFillTheBoxInTheirOwnProportions() {
        const QImage wmf = loadPreview(sample("drawing.wmf"), kBox);
        const QImage emf = loadPreview(sample("drawing.emf"), kBox);
        QVERIFY(!wmf.isNull() && !emf.isNull());
        QVERIFY(!sameImage(wmf, fallbackPicture()));
        // Both hold one drawing: a yellow page with a blue circle. The
        // circle stays round: the drawing is not stretched to a wrong aspect ratio.
        for (const QImage& image : {wmf, emf}) {
            QVERIFY(image.width() == kBox.width() || image.height() == kBox.height());
            QVERIFY(image.width() <= kBox.width() && image.height() <= kBox.height());
            QVERIFY(areaOf(image, yellowish).width() > image.width() * 9 / 10);
            const QRect circle = areaOf(image, bluish);
            QVERIFY2(circle.width() > 50 && std::abs(circle.width() - circle.height()) <= 2,
                     qPrintable(QString("%1x%2").arg(circle.width()).arg(circle.height())));
        }
    }

    // Not pictures, damaged metafiles, and a FIFO with a picture's name (which must not block).
    void whatIsNotAPictureShowsTheFallback() {
        TempTree tree;
        const std::string emf = readFile(sample("drawing.emf"));
        const std::string wmf = readFile(sample("drawing.wmf"));
        QVERIFY(!fallbackPicture().isNull());
        for (const std::string& path :
             {sample("not-a-picture.jpg"), sample("not-a-picture.wmf"), sample("not-a-picture.emf"),
              tree.file("cut.emf", emf.substr(0, 2000)), tree.file("head.emf", emf.substr(0, 100)),
              tree.file("head.wmf", wmf.substr(0, 40)), tree.fifo("pipe.jpg")}) {
            QVERIFY2(sameImage(loadPreview(path, kBox), fallbackPicture()), path.c_str());
            // Without the fallback file the box stays empty.
            QVERIFY(loadPreview(path, kBox, "/nonexistent/err_read.bmp").isNull());
        }
    }

    void largePhotoIsDecodedAtTheBoxSize() {
        TempTree tree;
        const std::string path = tree.path("large.jpg");
        {
            QImage big(8000, 6000, QImage::Format_RGB888);
            big.fill(QColor(200, 30, 30));
            QPainter p(&big);
            p.fillRect(0, 0, 4000, 6000, QColor(30, 30, 200));
            p.end();
            QVERIFY(big.save(QFile::decodeName(path.c_str()), "JPEG", 50));
        }
        // Decoded whole, the picture would need more memory than one picture may take.
        const QImage shown = loadPreview(path, kBox);
        QCOMPARE(shown.height(), 200);
        QVERIFY2(shown.width() >= 265 && shown.width() <= 267,
                 qPrintable(QString::number(shown.width())));
        const QColor left = shown.pixelColor(10, 100);
        const QColor right = shown.pixelColor(250, 100);
        QVERIFY(left.blue() > 150 && left.red() < 100);
        QVERIFY(right.red() > 150 && right.blue() < 100);
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
