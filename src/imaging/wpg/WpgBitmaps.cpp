#include "imaging/wpg/WpgBitmaps.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Messages.h"
#include "imaging/wpg/WpgRecords.h"

namespace mv::imaging::wpg {

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

QString readWpgBitmap(const WpgRecord& record, int version, WpgBitmap* bitmap)
{
    ByteReader in(record.body);
    bitmap->version = version;
    if (version == 1) {
        if (record.type == v1::kBitmapType2)
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
        if (bitmap->compression > 1)
            return reason(Reason::UnsupportedCompression).arg(bitmap->compression);
    }
    if (!in.ok())
        return reason(Reason::Truncated);
    const int d = bitmap->depth;
    if (d != 1 && d != 2 && d != 4 && d != 8 && !(d == 24 && version == 2))
        return reason(Reason::BitmapDepth).arg(d < 0 ? -d : d);
    bitmap->data = record.body.sliced(in.pos());
    return {};
}

bool isWpgBitmapRecord(const WpgRecord& record, int version)
{
    if (version == 1)
        return record.type == v1::kBitmapType1 || record.type == v1::kBitmapType2;
    return record.type == v2::kBitmapData;
}

bool isWpgColourRecord(const WpgRecord& record, int version)
{
    return record.type == (version == 1 ? v1::kColourMap : v2::kColourPalette);
}

QString findLargestWpgBitmap(QByteArrayView data, WpgBitmap* best)
{
    WpgHeader header;
    if (QString why = readWpgHeader(data, &header); !why.isEmpty())
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
        if (QString why = readWpgBitmap(record, header.majorVersion, &candidate); !why.isEmpty()) {
            refused = why;
            continue;
        }
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
    return refused.isEmpty() ? reason(Reason::NoBitmap) : refused;
}

} // namespace mv::imaging::wpg
