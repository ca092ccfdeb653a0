#include "imaging/wpg/WpgDecoder.h"

#include "imaging/base/BitUnpack.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"
#include "imaging/wpg/Wpg1Player.h"
#include "imaging/wpg/Wpg2Player.h"
#include "imaging/wpg/WpgBitmaps.h"
#include "imaging/wpg/WpgRecords.h"
#include "imaging/wpg/WpgRle.h"

#include <cmath>

namespace mv::imaging {
namespace wpg {
namespace {

QList<QRgb> colourTable(const WpgBitmap& bitmap)
{
    const int count = 1 << bitmap.depth;
    QList<QRgb> colours;
    switch (bitmap.depth) {
    case 1: colours = {qRgb(0, 0, 0), qRgb(255, 255, 255)}; break;
    case 2: colours = cgaPalette(0, 1, true); break;
    case 4: colours = egaPalette(); break;
    default: colours = greyRamp(count); break;
    }
    for (int i = 0; i < count; ++i)
        if (bitmap.colours.stored.test(size_t(i)))
            colours[i] = bitmap.colours.colour[size_t(i)];
    return colours;
}

// The fewest bytes that could fill the picture: a run gives at most 255 bytes (version 1) or
// 256 samples of 8 bytes (version 2), a row repeat at most 256 rows. Refuses, before any
// allocation, a tiny file that claims a huge picture.
qint64 leastDataSize(const WpgBitmap& b, qint64 rowBytes)
{
    if (b.version == 2 && b.compression == 0)
        return rowBytes * b.height;
    const qint64 perRun = b.version == 1 ? 255 : 256 * 8;
    return 2 * ((rowBytes + perRun - 1) / perRun) + 2 * ((b.height - 1 + 255) / 256);
}

QString unpack(const WpgBitmap& b, qint64 rowBytes, WpgRowSink& sink)
{
    ByteReader in(b.data);
    if (b.version == 1)
        return unpackWpg1(in, sink);
    if (b.compression == 1)
        return unpackWpg2(in, sink);
    for (int y = 0; y < b.height; ++y)
        sink.copy(reinterpret_cast<const std::uint8_t*>(b.data.data()) + y * rowBytes, rowBytes);
    return {};
}

} // namespace

DecodeResult decodeWpgBitmap(const WpgBitmap& b)
{
    const bool trueColour = b.depth == 24;
    if (QString why = checkDimensions(b.width, b.height, trueColour ? 4 : 1); !why.isEmpty())
        return DecodeResult::failure(why);
    const qint64 rowBytes = (qint64(b.width) * b.depth + 7) / 8;
    if (b.data.size() < leastDataSize(b, rowBytes))
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image =
        allocateImage(b.width, b.height, trueColour ? QImage::Format_RGB32 : QImage::Format_Indexed8, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    if (!trueColour)
        image.setColorTable(colourTable(b));

    WpgRowSink sink(rowBytes, b.height, [&](int y, const std::uint8_t* row) {
        if (!trueColour) {
            packedToIndices(row, b.depth, b.width, image.scanLine(y));
            return;
        }
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < b.width; ++x, row += 3)
            line[x] = qRgb(row[0], row[1], row[2]);
    });
    if (QString damage = unpack(b, rowBytes, sink); !damage.isEmpty())
        return DecodeResult::failure(damage);
    return DecodeResult::success(std::move(image), storedDepth(b.depth));
}

} // namespace wpg

bool looksLikeWpg(QByteArrayView data)
{
    wpg::WpgHeader header;
    return wpg::readWpgHeader(data, &header).isEmpty();
}

DecodeResult decodeWpg(QByteArrayView data)
{
    wpg::WpgBitmap b;
    if (QString why = wpg::findLargestWpgBitmap(data, &b); !why.isEmpty())
        return DecodeResult::failure(why);
    return wpg::decodeWpgBitmap(b);
}

DecodeResult decodeWpgPicture(QByteArrayView data)
{
    wpg::WpgHeader header;
    if (QString why = wpg::readWpgHeader(data, &header); !why.isEmpty())
        return DecodeResult::failure(why);
    const wpg::WpgPlayResult played =
        header.majorVersion == 1 ? wpg::playWpg1(data, header) : wpg::playWpg2(data, header);
    if (!played.picture || !played.hasShapes) {
        // Bitmaps only (or a start record we cannot use): the raster path may still show it.
        DecodeResult raster = decodeWpg(data);
        if (raster.ok() || played.status.ok)
            return raster;
        return DecodeResult::failure(played.status);
    }
    const QSizeF size = played.picture->naturalSize();
    return DecodeResult::vector(
        played.picture,
        QSize(std::max(1, int(std::lround(size.width()))), std::max(1, int(std::lround(size.height())))), 24);
}

} // namespace mv::imaging
