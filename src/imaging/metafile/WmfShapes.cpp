// The drawing records of old metafiles: shapes, text and bitmaps.
#include "imaging/metafile/MetafileBitmap.h"
#include "imaging/metafile/WmfFunctions.h"
#include "imaging/metafile/WmfPlayer.h"

namespace mv::imaging::metafile {

namespace {

constexpr int kEtoOpaque = 2, kEtoClipped = 4, kEtoGlyphIndex = 0x10;

// count points stored x, y; empty when the record cannot hold them.
QPolygonF readPoints(ByteReader& r, std::uint32_t count)
{
    QPolygonF points;
    if (count > kMaxPoints || !r.has(qsizetype(count) * 4))
        return points;
    points.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const double x = r.s16le();
        points.append(QPointF(x, r.s16le()));
    }
    return points;
}

std::vector<QPolygonF> readPolyPolygon(ByteReader& r)
{
    const std::uint16_t polys = r.u16le();
    if (!r.has(qsizetype(polys) * 2))
        return {};
    std::vector<std::uint16_t> counts(polys);
    std::uint64_t total = 0;
    for (auto& c : counts)
        total += (c = r.u16le());
    if (total > kMaxPoints || !r.has(qsizetype(total) * 4))
        return {};
    std::vector<QPolygonF> out;
    out.reserve(polys);
    for (const std::uint16_t c : counts)
        out.push_back(readPoints(r, c));
    return out;
}

QString readAnsi(ByteReader& r, int count)
{
    if (count <= 0 || !r.has(count))
        return {};
    return QString::fromLatin1(r.take(count));
}

} // namespace

bool WmfPlayer::playShape(std::uint16_t fn, ByteReader& r)
{
    switch (fn) {
    case WmfMoveTo: canvas_.state().current = readPointYX(r); break;
    case WmfLineTo: {
        const QPointF to = readPointYX(r);
        if (r.ok())
            canvas_.lineTo(to);
        break;
    }
    case WmfPolyline: canvas_.polyline(readPoints(r, r.u16le())); break;
    case WmfPolygon: canvas_.polygon(readPoints(r, r.u16le())); break;
    case WmfPolyPolygon: canvas_.polyPolygon(readPolyPolygon(r)); break;
    case WmfRectangle: {
        const QRectF rect = readRectBRTL(r);
        if (r.ok())
            canvas_.rectangle(rect);
        break;
    }
    case WmfEllipse: {
        const QRectF rect = readRectBRTL(r);
        if (r.ok())
            canvas_.ellipse(rect);
        break;
    }
    case WmfRoundRect: {
        const double h = r.s16le(), w = r.s16le();
        const QRectF rect = readRectBRTL(r);
        if (r.ok())
            canvas_.roundRect(rect, QSizeF(w, h));
        break;
    }
    case WmfArc:
    case WmfPie:
    case WmfChord: {
        const QPointF end = readPointYX(r), start = readPointYX(r);
        const QRectF box = readRectBRTL(r);
        if (r.ok())
            canvas_.arc(fn == WmfArc   ? ArcKind::Arc
                        : fn == WmfPie ? ArcKind::Pie
                                       : ArcKind::Chord,
                        box, start, end);
        break;
    }
    default: return false;
    }
    return true;
}

bool WmfPlayer::playText(std::uint16_t fn, ByteReader& r)
{
    if (fn == WmfTextOut) {
        const int count = r.s16le();
        const QString text = readAnsi(r, count);
        r.skip(count & 1);
        const QPointF at = readPointYX(r);
        if (r.ok())
            canvas_.text(at, text, nullptr, false);
        return true;
    }
    if (fn != WmfExtTextOut)
        return false;
    const QPointF at = readPointYX(r);
    const int count = r.s16le();
    const std::uint16_t options = r.u16le();
    QRectF rect;
    const bool hasRect = options & (kEtoOpaque | kEtoClipped);
    if (hasRect) {
        const double l = r.s16le(), t = r.s16le(), right = r.s16le(), b = r.s16le();
        rect = QRectF(QPointF(l, t), QPointF(right, b));
    }
    const QString chars = readAnsi(r, count);
    if (!r.ok())
        return true;
    // Glyph numbers of a font we do not have would draw as gibberish: only the box is drawn.
    const QString text = options & kEtoGlyphIndex ? QString() : chars;
    canvas_.text(at, text, (options & kEtoOpaque) || (options & kEtoClipped) ? &rect : nullptr,
                 options & kEtoClipped);
    return true;
}

bool WmfPlayer::playBitmap(std::uint16_t fn, ByteReader& r, qsizetype recordWords)
{
    if (fn == WmfSetDibToDev)
        return playDibToDevice(r);
    const std::uint32_t rop = r.u32le();
    double srcH = 0, srcW = 0, ySrc = 0, xSrc = 0;
    bool hasBitmap = true;
    bool paletteColours = false;
    switch (fn) {
    case WmfStretchDib:
        paletteColours = r.u16le() == kDibPalColours;
        srcH = r.s16le(), srcW = r.s16le(), ySrc = r.s16le(), xSrc = r.s16le();
        break;
    case WmfDibStretchBlt:
        hasBitmap = recordWords > 3 + 11;
        srcH = r.s16le(), srcW = r.s16le(), ySrc = r.s16le(), xSrc = r.s16le();
        if (!hasBitmap)
            r.skip(2);
        break;
    case WmfDibBitBlt:
        hasBitmap = recordWords > 3 + 9;
        ySrc = r.s16le(), xSrc = r.s16le();
        if (!hasBitmap)
            r.skip(2);
        break;
    case WmfPatBlt: hasBitmap = false; break;
    default: return false;
    }
    const double h = r.s16le(), w = r.s16le();
    const QPointF at = readPointYX(r);
    if (!r.ok())
        return true;
    const QRectF dest(at, QSizeF(w, h));
    const RasterOp op = ternaryRop(rop);
    if (!hasBitmap || op.input != RopInput::Source) {
        canvas_.blit(dest, nullptr, {}, op);
        return true;
    }
    if (fn == WmfDibBitBlt)
        srcW = w, srcH = h;
    const MetafileBitmap bitmap =
        decodeMetafileBitmap(r.take(r.remaining()), paletteColours ? &canvas_.state().palette : nullptr);
    if (bitmap.ok())
        canvas_.image(dest, bitmap.image, bitmap.source(xSrc, ySrc, srcW, srcH), op);
    return true;
}

// The rows of a bitmap copied to the device unscaled.
bool WmfPlayer::playDibToDevice(ByteReader& r)
{
    const bool paletteColours = r.u16le() == kDibPalColours;
    r.skip(4); // scan count and first scan: the whole bitmap is stored
    const double ySrc = r.s16le(), xSrc = r.s16le(), h = r.s16le(), w = r.s16le();
    const QPointF at = readPointYX(r);
    if (!r.ok())
        return true;
    const MetafileBitmap bitmap =
        decodeMetafileBitmap(r.take(r.remaining()), paletteColours ? &canvas_.state().palette : nullptr);
    if (bitmap.ok())
        canvas_.image(QRectF(at, QSizeF(w, h)), bitmap.image, bitmap.source(xSrc, ySrc, w, h));
    return true;
}

} // namespace mv::imaging::metafile
