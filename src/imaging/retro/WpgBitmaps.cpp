#include "imaging/retro/WpgBitmaps.h"

#include "imaging/ByteReader.h"
#include "imaging/retro/WpgRecords.h"

namespace mv::imaging {

void applyWpgColours(QByteArrayView body, int bytesPerColour, WpgColours* colours)
{
    ByteReader in(body);
    const int start = in.u16le();
    const int count = in.u16le();
    for (int i = start; i < start + count && i < 256 && in.has(bytesPerColour); ++i) {
        const int r = in.u8();
        const int g = in.u8();
        const int b = in.u8();
        in.skip(bytesPerColour - 3);
        colours->colour[size_t(i)] = qRgb(r, g, b);
        colours->stored.set(size_t(i));
    }
}

bool readWpgBitmap(const WpgRecord& record, int version, WpgBitmap* bitmap, QString* why)
{
    ByteReader in(record.body);
    bitmap->version = version;
    if (version == 1) {
        if (record.type == wpg1::kBitmapType2)
            in.skip(10); // rotation and placement
        bitmap->width = in.u16le();
        bitmap->height = in.u16le();
        bitmap->depth = in.u16le();
        in.skip(4); // resolution
        bitmap->compression = 1;
    } else {
        bitmap->width = in.u16le();
        bitmap->height = in.u16le();
        const int code = in.u8();
        bitmap->compression = in.u8();
        bitmap->depth = code == 3 ? 4 : code == 4 ? 8 : code == 8 ? 24 : code <= 2 ? code : -code;
        if (bitmap->compression > 1) {
            *why = QStringLiteral("unsupported compression %1").arg(bitmap->compression);
            return false;
        }
    }
    if (!in.ok()) {
        *why = QStringLiteral("the file is truncated");
        return false;
    }
    const int d = bitmap->depth;
    if (d != 1 && d != 2 && d != 4 && d != 8 && !(d == 24 && version == 2)) {
        *why = QStringLiteral("unsupported bitmap depth %1").arg(d < 0 ? -d : d);
        return false;
    }
    bitmap->data = record.body.sliced(in.pos());
    return true;
}

bool isWpgBitmapRecord(const WpgRecord& record, int version)
{
    if (version == 1)
        return record.type == wpg1::kBitmapType1 || record.type == wpg1::kBitmapType2;
    return record.type == wpg2::kBitmapData;
}

bool isWpgColourRecord(const WpgRecord& record, int version)
{
    return record.type == (version == 1 ? wpg1::kColourMap : wpg2::kColourPalette);
}

QString findLargestWpgBitmap(QByteArrayView data, WpgBitmap* best)
{
    WpgHeader header;
    QString why;
    if (!readWpgHeader(data, &header, &why))
        return why;
    WpgRecordWalker walker(data, header);
    WpgRecord record;
    WpgColours colours;
    QString refused;
    qint64 bestArea = -1;
    while (walker.next(&record)) {
        if (isWpgColourRecord(record, header.majorVersion)) {
            applyWpgColours(record.body, header.majorVersion == 1 ? 3 : 4, &colours);
            continue;
        }
        WpgBitmap candidate;
        if (!isWpgBitmapRecord(record, header.majorVersion))
            continue;
        if (!readWpgBitmap(record, header.majorVersion, &candidate, &refused))
            continue;
        const qint64 area = qint64(candidate.width) * candidate.height;
        if (area > bestArea) {
            bestArea = area;
            candidate.colours = colours;
            *best = candidate;
        }
    }
    if (bestArea >= 0)
        return {};
    if (!walker.error().isEmpty())
        return walker.error();
    return refused.isEmpty() ? QStringLiteral("no bitmap in this WPG file") : refused;
}

} // namespace mv::imaging
