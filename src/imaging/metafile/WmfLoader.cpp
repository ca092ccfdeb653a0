#include "imaging/metafile/WmfLoader.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Messages.h"
#include "imaging/metafile/DcState.h"
#include "imaging/metafile/MetafileSize.h"
#include "imaging/metafile/WmfFunctions.h"

#include <algorithm>
#include <optional>

namespace mv::imaging::metafile {

namespace {

constexpr qsizetype kHeaderSize = 18;

struct Placeable {
    QRectF box;
    int inch = 0;
};

std::optional<Placeable> readPlaceable(ByteReader& r)
{
    if (r.size() < 4 || QByteArrayView(r.data()).first(4) != QByteArrayView("\xD7\xCD\xC6\x9A", 4))
        return std::nullopt;
    r.skip(6); // key, handle
    const double left = r.s16le(), top = r.s16le(), right = r.s16le(), bottom = r.s16le();
    Placeable p {QRectF(QPointF(left, top), QPointF(right, bottom)).normalized(), r.u16le()};
    r.skip(6); // reserved, checksum
    return p;
}

// What the records say about the size: the first usable window, and the shapes' bounds.
struct SizeHints {
    std::optional<QPointF> windowOrg;
    std::optional<QSizeF> windowExt;
    bool sawZeroExtent = false;
    std::optional<QRectF> bounds;
    int mapMode = MmText; // the last one set before the first shape

    void add(QPointF p)
    {
        if (!bounds)
            bounds = QRectF(p, QSizeF(0, 0));
        bounds->setLeft(std::min(bounds->left(), p.x()));
        bounds->setTop(std::min(bounds->top(), p.y()));
        bounds->setRight(std::max(bounds->right(), p.x()));
        bounds->setBottom(std::max(bounds->bottom(), p.y()));
    }
};

void notePoints(ByteReader r, int count, SizeHints& hints)
{
    for (int i = 0; i < count && r.has(4); ++i) {
        const double x = r.s16le();
        hints.add(QPointF(x, r.s16le()));
    }
}

void noteRecord(std::uint16_t fn, ByteReader r, SizeHints& hints)
{
    switch (fn) {
    case WmfSetMapMode:
        if (!hints.bounds)
            hints.mapMode = r.u16le();
        break;
    case WmfSetWindowOrg:
        if (!hints.windowOrg && r.has(4)) {
            const double y = r.s16le();
            hints.windowOrg = QPointF(r.s16le(), y);
        }
        break;
    case WmfSetWindowExt:
        if (!hints.windowExt && r.has(4)) {
            const double cy = r.s16le(), cx = r.s16le();
            if (usableExtent(cx, cy))
                hints.windowExt = QSizeF(cx, cy);
            else
                hints.sawZeroExtent = true;
        }
        break;
    case WmfMoveTo:
    case WmfLineTo: {
        const double y = r.s16le();
        hints.add(QPointF(r.s16le(), y));
        break;
    }
    case WmfRectangle:
    case WmfEllipse: {
        const double b = r.s16le(), rt = r.s16le(), t = r.s16le(), l = r.s16le();
        hints.add({l, t});
        hints.add({rt, b});
        break;
    }
    case WmfPolygon:
    case WmfPolyline: {
        const int n = r.u16le();
        notePoints(r, n, hints);
        break;
    }
    default: break;
    }
}

QString checkHeader(ByteReader& r)
{
    const int type = r.u16le(), headerWords = r.u16le(), version = r.u16le();
    if (!r.ok())
        return reason(Reason::Truncated);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300))
        return reason(Reason::NotWmf);
    return {};
}

// Fixed-scale units count upwards: the frame is the box or the shapes' bounds turned over,
// and a file without the placeable header is as large as its units say.
QString metricSizeFrom(const std::optional<Placeable>& placeable, const SizeHints& hints, MetafileRecords& f)
{
    const QTransform turn = oldMetricTransform(hints.windowOrg.value_or(QPointF()), QPointF());
    if (placeable) {
        if (placeable->box.isEmpty())
            return reason(Reason::EmptyBoundingBox);
        f.frame = turn.mapRect(placeable->box);
        const double inch = placeable->inch > 0 ? placeable->inch : 96;
        f.natural = naturalPixels(placeable->box.size() * (96 / inch));
        return {};
    }
    if (!hints.bounds || hints.bounds->isEmpty())
        return reason(Reason::StatesNoSize);
    f.frame = turn.mapRect(*hints.bounds);
    f.natural = naturalPixels(f.frame.size() * (metricUnitMm(hints.mapMode) * 96 / 25.4));
    return {};
}

QString sizeFrom(const std::optional<Placeable>& placeable, const SizeHints& hints, MetafileRecords& f)
{
    if (isMetricMode(hints.mapMode))
        return metricSizeFrom(placeable, hints, f);
    if (placeable) {
        if (placeable->box.isEmpty())
            return reason(Reason::EmptyBoundingBox);
        f.frame = placeable->box;
        const double inch = placeable->inch > 0 ? placeable->inch : 96;
        f.natural = naturalPixels(f.frame.size() * (96 / inch));
        return {};
    }
    if (hints.windowExt) {
        f.frame = QRectF(hints.windowOrg.value_or(QPointF()), *hints.windowExt).normalized();
    } else if (hints.sawZeroExtent) {
        return reason(Reason::ZeroWindowExtent);
    } else if (hints.bounds && !hints.bounds->isEmpty()) {
        f.frame = *hints.bounds;
    } else {
        return reason(Reason::StatesNoSize);
    }
    f.natural = naturalPixels(f.frame.size());
    return {};
}

} // namespace

MetafileLoad loadWmf(QByteArrayView data)
{
    MetafileLoad load;
    ByteReader r(data);
    const std::optional<Placeable> placeable = readPlaceable(r);
    if (!r.ok())
        return MetafileLoad::failure(reason(Reason::Truncated));
    const qsizetype headerAt = r.pos();
    if (QString e = checkHeader(r); !e.isEmpty())
        return MetafileLoad::failure(e);
    r.seek(headerAt + 10);
    load.file.objectCount = r.u16le();
    if (!r.seek(headerAt + kHeaderSize))
        return MetafileLoad::failure(reason(Reason::Truncated));

    load.file.bytes = data.toByteArray();
    SizeHints hints;
    while (r.has(6) && load.file.records.size() < kMaxRecords) {
        const qsizetype at = r.pos();
        const std::uint64_t bytes = std::uint64_t(r.u32le()) * 2;
        const std::uint16_t fn = r.u16le();
        if (bytes < 6 || bytes > std::uint64_t(r.remaining() + 6) || fn == WmfEof)
            break;
        load.file.records.push_back({fn, std::uint32_t(at), std::uint32_t(bytes), 6});
        noteRecord(fn, ByteReader(data.sliced(at + 6, qsizetype(bytes) - 6)), hints);
        r.skip(qsizetype(bytes) - 6);
    }
    if (QString e = sizeFrom(placeable, hints, load.file); !e.isEmpty())
        return MetafileLoad::failure(e);
    return load;
}

} // namespace mv::imaging::metafile
