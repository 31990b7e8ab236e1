// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/PicturePreview.h"

#include "platform/ByteText.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/desktop/DataFiles.h"
#include "platform/desktop/Metafile.h"

#include <QFile>
#include <QImageReader>

namespace trevalo {

namespace {

// Memory Qt may take for one decoded picture. A photo is decoded at the size it is shown, so
// only bitmaps that Qt cannot decode scaled come near this.
constexpr int kAllocationLimitMB = 128;
// Pictures claiming more pixels than this are not decoded at all.
constexpr qint64 kMaxPixels = 256'000'000;
// Metafiles are read whole; larger ones are not.
constexpr qint64 kMaxMetafileBytes = qint64{64} << 20;

bool usableBox(QSize box) {
    return box.isValid() && !box.isEmpty();
}

QImage readRaster(QFile& file, QSize box) {
    if (QImageReader::allocationLimit() == 0 ||
        QImageReader::allocationLimit() > kAllocationLimitMB)
        QImageReader::setAllocationLimit(kAllocationLimitMB);

    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid()) {
        if (qint64(size.width()) * size.height() > kMaxPixels)
            return {};
        if (usableBox(box) && (size.width() > box.width() || size.height() > box.height()))
            reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    // A turned photo, or a format that ignored the scaled size, may still be too large.
    if (usableBox(box) && (image.width() > box.width() || image.height() > box.height()))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

bool hasPictureExtension(std::string_view path) {
    const std::string_view extension = extensionOf(path);
    for (const std::string_view picture : kPictureExtensions)
        if (equalNoCase(extension, picture))
            return true;
    return false;
}

PreviewAction previewFor(bool hasSelection, bool previewOn, std::string_view path) {
    if (!hasSelection || !previewOn)
        return PreviewAction::Keep;
    return hasPictureExtension(path) ? PreviewAction::Load : PreviewAction::Clear;
}

QImage loadPicture(const std::string& bytePath, QSize box) {
    // A FIFO put in the file's place must not block the window (ReadOnlyFile::open).
    ReadOnlyFile regular;
    if (regular.open(bytePath))
        return {};
    const std::int64_t size = regular.status().size;
    QFile file;
    if (!file.open(regular.fd(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    regular.release(); // the QFile closes it now
    if (metafileKindOf(file.peek(64)) != MetafileKind::None) {
        if (size > kMaxMetafileBytes)
            return {};
        return renderMetafile(file.readAll(), box);
    }
    return readRaster(file, box);
}

QImage loadPreview(const std::string& bytePath, QSize box, const QString& fallbackFile) {
    QImage image = loadPicture(bytePath, box);
    if (image.isNull() && !fallbackFile.isEmpty())
        image = loadPicture(QFile::encodeName(fallbackFile).toStdString(), box);
    return image;
}

QImage loadPreview(const std::string& bytePath, QSize box) {
    return loadPreview(bytePath, box, dataFilePath(QStringLiteral("err_read.bmp")));
}

} // namespace trevalo
