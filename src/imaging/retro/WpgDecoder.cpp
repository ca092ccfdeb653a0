#include "imaging/retro/WpgDecoder.h"

#include "imaging/DecodeLimits.h"
#include "imaging/retro/BitUnpack.h"
#include "imaging/retro/RetroPalettes.h"
#include "imaging/retro/WpgBitmaps.h"
#include "imaging/retro/WpgRecords.h"
#include "imaging/retro/WpgRle.h"

namespace mv::imaging {
namespace {

QList<QRgb> colourTable(const WpgBitmap& bitmap)
{
    const int count = 1 << bitmap.depth;
    QList<QRgb> colours;
    switch (bitmap.depth) {
    case 1: colours = { qRgb(0, 0, 0), qRgb(255, 255, 255) }; break;
    case 2: colours = cgaPalette(0, 1, true); break;
    case 4: colours = egaDefaultPalette(); break;
    default: colours = greyPalette(count); break;
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

int storedDepth(int depth)
{
    return depth == 2 ? 4 : depth;
}

} // namespace

bool looksLikeWpg(QByteArrayView data)
{
    WpgHeader header;
    return readWpgHeader(data, &header, nullptr);
}

DecodeResult decodeWpg(QByteArrayView data)
{
    WpgBitmap b;
    if (QString why = findLargestWpgBitmap(data, &b); !why.isEmpty())
        return DecodeResult::failure(why);
    return decodeWpgBitmap(b);
}

DecodeResult decodeWpgBitmap(const WpgBitmap& b)
{
    const bool trueColour = b.depth == 24;
    if (QString why = checkDimensions(b.width, b.height, trueColour ? 4 : 1); !why.isEmpty())
        return DecodeResult::failure(why);
    const qint64 rowBytes = (qint64(b.width) * b.depth + 7) / 8;
    if (b.data.size() < leastDataSize(b, rowBytes))
        return DecodeResult::failure(QStringLiteral("the file is truncated"));

    QString why;
    QImage image = allocateImage(b.width, b.height,
                                 trueColour ? QImage::Format_RGB32 : QImage::Format_Indexed8, &why);
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

} // namespace mv::imaging
