// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace trevalo {

// Windows metafiles (WMF, through libwmf) and enhanced metafiles (EMF, through libemf2svg),
// turned into SVG and drawn with QtSvg.

enum class MetafileKind { None, Wmf, Emf };

// What the first bytes of a file say it is: a placeable or plain WMF header, or an EMF header
// record with its " EMF" signature.
MetafileKind metafileKindOf(const QByteArray& head);

// The drawing of a metafile as an SVG document; empty when the data cannot be read.
QByteArray wmfToSvg(const QByteArray& data);
QByteArray emfToSvg(const QByteArray& data);

// Draws an SVG document fitted into box, keeping its aspect ratio, on a transparent
// background. Null when the document is not valid or has no size.
QImage renderSvgFitted(const QByteArray& svg, QSize box);

// A metafile of either kind drawn fitted into box; null when it cannot be read.
QImage renderMetafile(const QByteArray& data, QSize box);

} // namespace trevalo
