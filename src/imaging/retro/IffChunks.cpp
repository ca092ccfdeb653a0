#include "imaging/retro/IffChunks.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Messages.h"

#include <algorithm>

namespace mv::imaging {
namespace {

QString readBitmapHeader(QByteArrayView chunk, IffPicture* picture)
{
    if (chunk.size() < 20)
        return reason(Reason::HeaderTooShort);
    ByteReader in(chunk);
    picture->width = in.u16be();
    picture->height = in.u16be();
    in.skip(4); // position on the screen
    picture->planes = in.u8();
    picture->masking = in.u8();
    picture->compression = in.u8();
    return {};
}

QList<QRgb> readColourMap(QByteArrayView chunk)
{
    QList<QRgb> colours;
    const qsizetype count = std::min<qsizetype>(chunk.size() / 3, 256);
    colours.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto* rgb = reinterpret_cast<const std::uint8_t*>(chunk.data() + 3 * i);
        colours.append(qRgb(rgb[0], rgb[1], rgb[2]));
    }
    return colours;
}

} // namespace

QByteArrayView iffFormType(QByteArrayView data)
{
    if (data.size() < 12 || !data.startsWith("FORM"))
        return {};
    const QByteArrayView type = data.sliced(8, 4);
    if (type == QByteArrayView("ILBM") || type == QByteArrayView("PBM "))
        return type;
    return {};
}

QString readIffChunks(QByteArrayView data, IffPicture* picture)
{
    const QByteArrayView type = iffFormType(data);
    if (type.isEmpty())
        return reason(Reason::NotIff);
    picture->chunky = type == QByteArrayView("PBM ");

    ByteReader in(data);
    in.skip(4);
    const qint64 formEnd = std::min<qint64>(qint64(in.u32be()) + 8, data.size());
    in.skip(4);
    bool haveHeader = false;
    while (in.pos() + 8 <= formEnd) {
        const QByteArrayView id = in.take(4);
        const std::uint32_t length = in.u32be();
        if (length > std::uint64_t(formEnd - in.pos()))
            return reason(Reason::Truncated);
        const QByteArrayView chunk = in.take(length);
        if ((length & 1) && in.pos() < formEnd)
            in.skip(1);
        if (id == QByteArrayView("BMHD")) {
            if (QString why = readBitmapHeader(chunk, picture); !why.isEmpty())
                return why;
            haveHeader = true;
        } else if (id == QByteArrayView("CMAP")) {
            picture->colours = readColourMap(chunk);
        } else if (id == QByteArrayView("CAMG") && chunk.size() >= 4) {
            picture->viewModes = ByteReader(chunk).u32be();
        } else if (id == QByteArrayView("BODY")) {
            if (!haveHeader)
                return reason(Reason::DataBeforeHeader);
            picture->body = chunk;
            return {};
        }
    }
    return haveHeader ? reason(Reason::NoPictureData) : reason(Reason::NoPictureHeader);
}

} // namespace mv::imaging
