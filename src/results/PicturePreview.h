// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <string>
#include <string_view>

namespace trevalo {

// The picture preview beside the result lists.

// The extensions of the files the preview shows, in the order they are tried.
inline constexpr std::array<std::string_view, 9> kPictureExtensions = {
    "jpeg", "jpg", "gif", "bmp", "ico", "rle", "cur", "wmf", "emf"};

// True when the extension of the path (after the last "." of its last part) is one of the
// picture extensions, without regard to letter case.
bool hasPictureExtension(std::string_view path);

// What a click on a row does to the preview box.
enum class PreviewAction {
    Keep,  // no row selected, or the preview is off: the box keeps what it shows
    Clear, // the row's file is not a picture: the box is emptied
    Load,  // the box is emptied and the file's picture (or the fallback) is shown
};
PreviewAction previewFor(bool hasSelection, bool previewOn, std::string_view path);

// Reads a picture file (a byte path) and fits it into box: bitmaps, JPEG, GIF, icons and
// cursors through Qt with the format told by the content, decoded at the fitted size; WMF and
// EMF drawn from their vector data. Pictures smaller than the box keep their size; metafiles
// are drawn to fill the box. Null when the file cannot be read, is not a picture, or is too
// large to decode safely.
QImage loadPicture(const std::string& bytePath, QSize box);

// loadPicture, or the fallback picture when that fails; null when the fallback cannot be read
// either. Without fallbackFile, the program's err_read.bmp is used.
QImage loadPreview(const std::string& bytePath, QSize box);
QImage loadPreview(const std::string& bytePath, QSize box, const QString& fallbackFile);

} // namespace trevalo
