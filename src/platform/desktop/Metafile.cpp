// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/desktop/Metafile.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace trevalo {

namespace {

// The width a metafile is drawn at when no box is given, and the largest either way, so that
// a metafile that claims a huge size cannot make us allocate a huge picture.
constexpr int kDefaultSide = 512;
constexpr int kLargestSide = 8192;

quint32 le32(const QByteArray& data, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(data[at + i]);
    return v;
}

quint16 le16(const QByteArray& data, int at) {
    return static_cast<quint16>(static_cast<unsigned char>(data[at]) |
                                (static_cast<unsigned char>(data[at + 1]) << 8));
}

// Frees what libemf2svg hands out with malloc.
struct MallocBuffer {
    char* data = nullptr;
    ~MallocBuffer() { std::free(data); }
};

} // namespace

MetafileKind metafileKindOf(const QByteArray& head) {
    if (head.size() >= 44 && le32(head, 0) == 1 && le32(head, 40) == 0x464D4520) // " EMF"
        return MetafileKind::Emf;
    if (head.size() >= 4 && le32(head, 0) == 0x9AC6CDD7) // placeable metafile key
        return MetafileKind::Wmf;
    // A plain metafile header: type 1 (memory) or 2 (disk), 9 words long, version 1 or 3.
    if (head.size() >= 18) {
        const quint16 type = le16(head, 0);
        const quint16 words = le16(head, 2);
        const quint16 version = le16(head, 4);
        if ((type == 1 || type == 2) && words == 9 && (version == 0x0100 || version == 0x0300))
            return MetafileKind::Wmf;
    }
    return MetafileKind::None;
}

QByteArray wmfToSvg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    // libwmf reads from a buffer it may not change but takes without const.
    std::vector<unsigned char> input(data.begin(), data.end());

    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_svg_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }

    QByteArray svg;
    wmfD_Rect bbox;
    std::memset(&bbox, 0, sizeof bbox);
    unsigned int width = 0, height = 0;
    if (wmf_mem_open(api, input.data(), static_cast<long>(input.size())) == wmf_E_None &&
        wmf_scan(api, 0, &bbox) == wmf_E_None &&
        wmf_display_size(api, &width, &height, 72, 72) == wmf_E_None) {
        const double boxWidth = double(bbox.BR.x) - double(bbox.TL.x);
        const double boxHeight = double(bbox.BR.y) - double(bbox.TL.y);
        if (width > 0 && boxWidth > 0 && boxHeight > 0) {
            // The display size does not keep the drawing's proportions; its bounding box does.
            height = static_cast<unsigned int>(std::lround(double(width) * boxHeight / boxWidth));
            wmf_svg_t* device = WMF_SVG_GetData(api);
            device->out = wmf_stream_create(api, nullptr);
            device->bbox = bbox;
            device->width = width;
            device->height = height > 0 ? height : 1;
            device->flags |= WMF_SVG_INLINE_IMAGES; // never picture files beside the output
            const wmf_error_t played = wmf_play(api, 0, &bbox);
            char* text = nullptr;
            unsigned long length = 0;
            wmf_stream_destroy(api, device->out, &text, &length);
            // The text belongs to the library's memory, which goes with the API.
            if (played == wmf_E_None && text && length > 0)
                svg = QByteArray(text, static_cast<qsizetype>(length));
        }
    }
    wmf_api_destroy(api);
    return svg;
}

QByteArray emfToSvg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    std::vector<char> input(data.begin(), data.end());
    char noNamespace[] = ""; // QSvgRenderer does not read prefixed elements
    generatorOptions options;
    std::memset(&options, 0, sizeof options);
    options.nameSpace = noNamespace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    MallocBuffer out;
    size_t length = 0;
    // A damaged file can still produce part of a drawing; only a success counts.
    if (emf2svg(input.data(), input.size(), &out.data, &length, &options) == 0 || !out.data ||
        length == 0)
        return {};
    return QByteArray(out.data, static_cast<qsizetype>(length));
}

QImage renderSvgFitted(const QByteArray& svg, QSize box) {
    if (svg.isEmpty())
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    const QSizeF natural = renderer.viewBoxF().size().isEmpty() ? QSizeF(renderer.defaultSize())
                                                                : renderer.viewBoxF().size();
    if (natural.isEmpty())
        return {};
    if (!box.isValid() || box.isEmpty())
        box = QSize(kDefaultSide, kDefaultSide);
    box = box.boundedTo(QSize(kLargestSide, kLargestSide));
    const QSize size = natural.scaled(QSizeF(box), Qt::KeepAspectRatio).toSize();
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

QImage renderMetafile(const QByteArray& data, QSize box) {
    switch (metafileKindOf(data.left(64))) {
    case MetafileKind::Wmf:
        return renderSvgFitted(wmfToSvg(data), box);
    case MetafileKind::Emf:
        return renderSvgFitted(emfToSvg(data), box);
    case MetafileKind::None:
        break;
    }
    return {};
}

} // namespace trevalo
