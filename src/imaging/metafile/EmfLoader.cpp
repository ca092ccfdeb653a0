#include "imaging/metafile/EmfLoader.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Messages.h"
#include "imaging/metafile/EmfTypes.h"
#include "imaging/metafile/MetafileSize.h"

namespace mv::imaging::metafile {

namespace {

constexpr qsizetype kMinHeader = 88;
constexpr std::uint32_t kSignature = 0x464D4520;
constexpr double kMaxCoordinate = 1e8;

QRectF readRect(ByteReader& r)
{
    const double l = r.s32le(), t = r.s32le(), right = r.s32le(), b = r.s32le();
    return QRectF(QPointF(l, t), QPointF(right, b));
}

bool usable(const QRectF& r)
{
    return r.width() > 0 && r.height() > 0 && std::abs(r.left()) < kMaxCoordinate &&
           std::abs(r.top()) < kMaxCoordinate && r.width() < kMaxCoordinate && r.height() < kMaxCoordinate;
}

struct Header {
    qsizetype size = 0;
    QRectF bounds, frame;
    std::uint32_t records = 0;
    std::uint32_t handles = 0;
    QSizeF devicePixels, deviceMm;
};

QString readHeader(ByteReader& r, Header& h)
{
    if (r.size() < kMinHeader)
        return reason(Reason::Truncated);
    const std::uint32_t type = r.u32le();
    h.size = r.u32le();
    h.bounds = readRect(r);
    h.frame = readRect(r);
    if (type != EmrHeader || r.u32le() != kSignature)
        return reason(Reason::NotEmf);
    if (h.size < kMinHeader || h.size > r.size() || h.size % 4 != 0)
        return reason(Reason::MetafileHeaderDamaged);
    r.skip(8); // version, bytes
    h.records = r.u32le();
    h.handles = r.u16le();
    r.skip(14); // reserved, description, palette entries
    const double px = r.s32le(), py = r.s32le(), mx = r.s32le(), my = r.s32le();
    h.devicePixels = QSizeF(px, py);
    h.deviceMm = QSizeF(mx, my);
    return r.ok() ? QString() : reason(Reason::Truncated);
}

QString sizeFrom(const Header& h, MetafileRecords& f)
{
    const bool device = h.devicePixels.width() > 0 && h.devicePixels.height() > 0 && h.deviceMm.width() > 0 &&
                        h.deviceMm.height() > 0;
    if (usable(h.frame) && device) {
        const double sx = h.devicePixels.width() / h.deviceMm.width() / 100;
        const double sy = h.devicePixels.height() / h.deviceMm.height() / 100;
        f.frame =
            QRectF(h.frame.left() * sx, h.frame.top() * sy, h.frame.width() * sx, h.frame.height() * sy);
        f.pxPerMm = (sx + sy) * 50;
        f.natural = naturalPixels(h.frame.size() * (96 / 2540.0));
        return {};
    }
    // Bounds are inclusive device pixels.
    const QRectF bounds = h.bounds.adjusted(0, 0, 1, 1);
    if (!usable(bounds))
        return reason(Reason::EmptyFrame);
    f.frame = bounds;
    f.natural = naturalPixels(bounds.size());
    return {};
}

} // namespace

MetafileLoad loadEmf(QByteArrayView data)
{
    MetafileLoad load;
    ByteReader r(data);
    Header h;
    if (QString e = readHeader(r, h); !e.isEmpty())
        return MetafileLoad::failure(e);
    if (QString e = sizeFrom(h, load.file); !e.isEmpty())
        return MetafileLoad::failure(e);
    load.file.objectCount = h.handles;
    load.file.bytes = data.toByteArray();
    r.seek(h.size);
    const std::size_t limit = h.records > 1 ? std::min<std::size_t>(h.records - 1, kMaxRecords) : kMaxRecords;
    while (r.has(8) && load.file.records.size() < limit) {
        const qsizetype at = r.pos();
        const std::uint32_t type = r.u32le();
        const std::uint32_t size = r.u32le();
        if (size < 8 || size % 4 != 0 || size - 8 > std::uint64_t(r.remaining()) || type == EmrEof)
            break;
        load.file.records.push_back({type, std::uint32_t(at), size, 8});
        r.skip(qsizetype(size) - 8);
    }
    return load;
}

} // namespace mv::imaging::metafile
