// Text and bitmap records of enhanced metafiles.
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/EmfTypes.h"
#include "imaging/metafile/MetafileBitmap.h"

namespace mv::imaging::metafile {

namespace {

constexpr int kEtoOpaque = 2, kEtoClipped = 4, kEtoGlyphIndex = 0x10;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kAcSrcAlpha = 1;

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
    if (type != EmrExtTextOutW && type != EmrExtTextOutA)
        return false;
    const bool wide = type == EmrExtTextOutW;
    r.skip(16 + 12); // bounds, graphics mode, scales
    const QPointF ref = readPointL(r);
    const std::uint32_t chars = r.u32le(), offString = r.u32le(), options = r.u32le();
    const QRectF rect = readRectL(r);
    if (!r.ok() || chars > kMaxTextLength)
        return true;
    const QByteArrayView bytes = recordPart(record, offString, chars * (wide ? 2 : 1));
    if (bytes.size() != qsizetype(chars) * (wide ? 2 : 1))
        return true;
    const bool hasRect = (options & (kEtoOpaque | kEtoClipped)) && !rect.isEmpty();
    // Glyph numbers belong to the font the file was made with, which we do not have: drawn
    // as characters they would be gibberish, so only the opaque box is drawn.
    const QString text = options & kEtoGlyphIndex ? QString()
                         : wide                   ? readUtf16(bytes)
                                                  : QString::fromLatin1(bytes);
    canvas_.text(ref, text, hasRect ? &rect : nullptr, options & kEtoClipped);
    return true;
}

bool EmfPlayer::playBitmap(std::uint32_t type, ByteReader& r, QByteArrayView record)
{
    if (type != EmrStretchDiBits && type != EmrSetDiBitsToDevice && type != EmrBitBlt &&
        type != EmrStretchBlt && type != EmrAlphaBlend && type != EmrTransparentBlt)
        return false;
    r.skip(16); // bounds
    QRectF dest, source;
    std::uint32_t rop = kSrcCopy, usage = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    const bool fromDc =
        type == EmrBitBlt || type == EmrStretchBlt || type == EmrAlphaBlend || type == EmrTransparentBlt;
    switch (type) {
    case EmrStretchDiBits:
    case EmrSetDiBitsToDevice: {
        const QPointF at = readPointL(r), src = readPointL(r), srcSize = readPointL(r);
        offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
        usage = r.u32le();
        rop = type == EmrStretchDiBits ? r.u32le() : kSrcCopy;
        const QPointF size = type == EmrStretchDiBits ? readPointL(r) : srcSize;
        dest = QRectF(at, QSizeF(size.x(), size.y()));
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
        break;
    }
    case EmrBitBlt:
    case EmrStretchBlt:
    case EmrAlphaBlend:
    case EmrTransparentBlt: {
        const QPointF at = readPointL(r), size = readPointL(r);
        rop = r.u32le(); // the blend function or the transparent colour for the last two
        const QPointF src = readPointL(r);
        r.skip(24 + 4); // source transform, background colour
        usage = r.u32le();
        offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
        const QPointF srcSize = type == EmrBitBlt ? size : readPointL(r);
        dest = QRectF(at, QSizeF(size.x(), size.y()));
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
        break;
    }
    default: return false;
    }
    if (!r.ok())
        return true;
    const bool blend = type == EmrAlphaBlend || type == EmrTransparentBlt;
    const RasterOp op = blend ? RasterOp {} : ternaryRop(rop);
    if (cbBmi == 0 || op.input != RopInput::Source) { // no source: a fill with the brush, or none
        if (!blend)
            canvas_.blit(dest, nullptr, {}, op);
        return true;
    }
    const QByteArrayView bmi = recordPart(record, offBmi, cbBmi), bits = recordPart(record, offBits, cbBits);
    const bool storedAlpha = type == EmrAlphaBlend && ((rop >> 24) & 0xFF) == kAcSrcAlpha;
    const QByteArray alphaHeader = storedAlpha ? withAlphaMask(bmi) : QByteArray();
    MetafileBitmap b =
        alphaHeader.isEmpty()
            ? decodeMetafileBitmap(bmi, bits, usage == kDibPalColours ? &canvas_.state().palette : nullptr)
            : decodeMetafileBitmap(alphaHeader, bits);
    if (!b.ok())
        return true;
    if (!alphaHeader.isEmpty())
        b.image = storedPremultiplied(b.image);
    if (type == EmrTransparentBlt)
        b.image = withTransparentColour(b.image, colorFromRef(rop));
    // A blit's source is a device context, its y counted from the top; a DIB's from its first row.
    const QRectF whole(QPointF(0, 0), QSizeF(b.image.size()));
    const QRectF from = fromDc ? source.normalized().intersected(whole)
                               : b.source(source.x(), source.y(), source.width(), source.height());
    if (type == EmrAlphaBlend)
        canvas_.blend(dest, b.image, from, ((rop >> 16) & 0xFF) / 255.0);
    else
        canvas_.image(dest, b.image, from, op);
    return true;
}

} // namespace mv::imaging::metafile
