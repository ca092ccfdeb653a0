// Text and bitmap records of enhanced metafiles.
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/EmfTypes.h"
#include "imaging/metafile/MetafileBitmap.h"

namespace mv::imaging::metafile {

namespace {

constexpr int kEtoOpaque = 2, kEtoClipped = 4;
constexpr std::uint32_t kPatCopy = 0x00F00021, kBlackness = 0x00000042, kWhiteness = 0x00FF0062;

QString readUtf16(QByteArrayView bytes)
{
    QString s(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        s[i] = QChar(char16_t(std::uint8_t(bytes[2 * i]) | (std::uint8_t(bytes[2 * i + 1]) << 8)));
    return s;
}

} // namespace

bool EmfPlayer::playText(std::uint32_t type, ByteReader& r, QByteArrayView record)
{
    if (type != EmrExtTextOutW)
        return false;
    r.skip(16 + 12); // bounds, graphics mode, scales
    const QPointF ref = readPointL(r);
    const std::uint32_t chars = r.u32le(), offString = r.u32le(), options = r.u32le();
    const QRectF rect = readRectL(r);
    if (!r.ok() || chars > kMaxTextLength)
        return true;
    const QByteArrayView bytes = recordPart(record, offString, chars * 2);
    if (bytes.size() != qsizetype(chars) * 2)
        return true;
    const bool hasRect = (options & (kEtoOpaque | kEtoClipped)) && !rect.isEmpty();
    canvas_.text(ref, readUtf16(bytes), hasRect ? &rect : nullptr, options & kEtoClipped);
    return true;
}

bool EmfPlayer::playBitmap(std::uint32_t type, ByteReader& r, QByteArrayView record)
{
    r.skip(16); // bounds
    QRectF dest, source;
    std::uint32_t rop = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    switch (type) {
    case EmrStretchDiBits: {
        const QPointF at = readPointL(r), src = readPointL(r), srcSize = readPointL(r);
        offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
        r.skip(4); // usage
        rop = r.u32le();
        const QPointF size = readPointL(r);
        dest = QRectF(at, QSizeF(size.x(), size.y()));
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
        break;
    }
    case EmrBitBlt:
    case EmrStretchBlt: {
        const QPointF at = readPointL(r), size = readPointL(r);
        rop = r.u32le();
        const QPointF src = readPointL(r);
        r.skip(24 + 4 + 4); // source transform, background colour, usage
        offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
        const QPointF srcSize = type == EmrStretchBlt ? readPointL(r) : size;
        dest = QRectF(at, QSizeF(size.x(), size.y()));
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
        break;
    }
    case EmrSetDiBitsToDevice: {
        const QPointF at = readPointL(r), src = readPointL(r), srcSize = readPointL(r);
        offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
        rop = 0x00CC0020;
        dest = QRectF(at, QSizeF(srcSize.x(), srcSize.y()));
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
        break;
    }
    default: return false;
    }
    if (!r.ok())
        return true;
    if (cbBmi == 0) { // no source: a fill with the brush
        if (rop == kPatCopy)
            canvas_.fillRect(dest, canvas_.state().brush.brush);
        else if (rop == kBlackness || rop == kWhiteness)
            canvas_.fillRect(dest, rop == kBlackness ? Qt::black : Qt::white);
        return true;
    }
    const MetafileBitmap b = decodeMetafileBitmap(recordPart(record, offBmi, cbBmi), recordPart(record, offBits, cbBits));
    if (!b.ok())
        return true;
    // A blit's source is a device context, its y counted from the top; a DIB's from its first row.
    const bool fromDc = type == EmrBitBlt || type == EmrStretchBlt;
    const QRectF whole(QPointF(0, 0), QSizeF(b.image.size()));
    canvas_.image(dest, b.image,
                  fromDc ? source.normalized().intersected(whole)
                         : b.source(source.x(), source.y(), source.width(), source.height()));
    return true;
}

} // namespace mv::imaging::metafile
