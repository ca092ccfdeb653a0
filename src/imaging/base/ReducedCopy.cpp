#include "imaging/base/ReducedCopy.h"

#include "imaging/base/ProtectedPixels.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <cmath>
#include <functional>

namespace mv::imaging {

namespace {

// The formats the box filter reads directly; everything else is converted to one of them.
bool boxFormat(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// Two channels at a time in 16-bit lanes (red and blue, alpha and green): four 8-bit values
// cannot overflow a lane. Premultiplied pixels average correctly with their alpha.
inline quint32 lowLanes(quint32 p)
{
    return p & 0x00FF00FFu;
}
inline quint32 highLanes(quint32 p)
{
    return (p >> 8) & 0x00FF00FFu;
}
inline quint32 packLanes(quint32 low, quint32 high, int shift)
{
    const quint32 round = (0x00010001u << shift) >> 1;
    return (((low + round) >> shift) & 0x00FF00FFu) | ((((high + round) >> shift) & 0x00FF00FFu) << 8);
}

// One row of 2 x 2 blocks; an odd last column is averaged with itself.
void halveRow2x2(const quint32* a, const quint32* b, quint32* out, int inWidth)
{
    const int pairs = inWidth / 2;
    for (int x = 0; x < pairs; ++x) {
        const quint32 p0 = a[2 * x], p1 = a[2 * x + 1], p2 = b[2 * x], p3 = b[2 * x + 1];
        out[x] = packLanes(lowLanes(p0) + lowLanes(p1) + lowLanes(p2) + lowLanes(p3),
                           highLanes(p0) + highLanes(p1) + highLanes(p2) + highLanes(p3), 2);
    }
    if (inWidth % 2) {
        const quint32 p0 = a[inWidth - 1], p2 = b[inWidth - 1];
        out[pairs] = packLanes(2 * (lowLanes(p0) + lowLanes(p2)), 2 * (highLanes(p0) + highLanes(p2)), 2);
    }
}

// One row of 2 x 1 blocks (only the width halves).
void halveRow2x1(const quint32* a, quint32* out, int inWidth)
{
    const int w = (inWidth + 1) / 2;
    for (int x = 0; x < w; ++x) {
        const quint32 p0 = a[2 * x], p1 = a[qMin(2 * x + 1, inWidth - 1)];
        out[x] = packLanes(lowLanes(p0) + lowLanes(p1), highLanes(p0) + highLanes(p1), 1);
    }
}

// One row of 1 x 2 blocks (only the height halves).
void halveRow1x2(const quint32* a, const quint32* b, quint32* out, int width)
{
    for (int x = 0; x < width; ++x)
        out[x] = packLanes(lowLanes(a[x]) + lowLanes(b[x]), highLanes(a[x]) + highLanes(b[x]), 1);
}

// Runs rowsOf(first, end) over 0..rows in a few bands at once on the global pool's idle
// threads; a band no thread is free for runs here, so a busy pool never makes us wait.
void forBands(int rows, const std::function<void(int, int)>& rowsOf)
{
    constexpr int kMinRowsPerBand = 128;
    QThreadPool* pool = QThreadPool::globalInstance();
    const int bands = pool->contains(QThread::currentThread())
                          ? 1
                          : qBound(1, qMin(pool->maxThreadCount(), rows / kMinRowsPerBand), 4);
    const int per = (rows + bands - 1) / bands;
    QSemaphore done;
    for (int i = 1; i < bands; ++i) {
        auto band = [&, i] {
            rowsOf(i * per, qMin(rows, (i + 1) * per));
            done.release();
        };
        if (!pool->tryStart(band))
            band();
    }
    rowsOf(0, qMin(rows, per));
    done.acquire(bands - 1);
}

// Averages 2 x 1, 1 x 2 or 2 x 2 blocks; an odd last row or column is averaged with itself, so
// no picture edge is lost.
QImage halved(const QImage& in, bool halveX, bool halveY)
{
    const int w = halveX ? (in.width() + 1) / 2 : in.width();
    const int h = halveY ? (in.height() + 1) / 2 : in.height();
    QImage out(w, h, in.format());
    if (out.isNull())
        return out;
    const int lastY = in.height() - 1;
    uchar* outBits = out.bits(); // detached here, once, not in the bands
    const qsizetype outStride = out.bytesPerLine();
    forBands(h, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const int y0 = halveY ? 2 * y : y;
            const auto* a = reinterpret_cast<const quint32*>(in.constScanLine(y0));
            const auto* b = reinterpret_cast<const quint32*>(in.constScanLine(qMin(y0 + 1, lastY)));
            auto* dst = reinterpret_cast<quint32*>(outBits + y * outStride);
            if (halveX && halveY)
                halveRow2x2(a, b, dst, in.width());
            else if (halveX)
                halveRow2x1(a, dst, in.width());
            else
                halveRow1x2(a, b, dst, w);
        }
    });
    return out;
}

} // namespace

QImage reducedCopy(const QImage& source, QSize size, bool sensitive)
{
    if (source.isNull() || size.isEmpty())
        return {};
    QImage work = source;
    if (!boxFormat(work.format()))
        work = work.convertToFormat(work.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
    work.setDevicePixelRatio(1);
    // A step nobody else holds (never the source) is zeroed before it goes.
    const auto drop = [sensitive](QImage& step) {
        if (sensitive)
            zeroPixels(step);
    };
    for (;;) {
        const bool halveX = work.width() >= 2 * size.width();
        const bool halveY = work.height() >= 2 * size.height();
        if (!halveX && !halveY)
            break;
        QImage next = halved(work, halveX, halveY);
        if (next.isNull())
            break; // short of memory: let the one smooth step below do it all
        drop(work);
        work = std::move(next);
    }
    if (work.size() != size) {
        QImage scaled = work.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        drop(work);
        work = std::move(scaled);
    }
    return sensitive ? protectedTake(std::move(work)) : work;
}

QSize devicePixels(QSizeF logical, qreal dpr)
{
    return {qMax(1, int(std::lround(logical.width() * dpr))),
            qMax(1, int(std::lround(logical.height() * dpr)))};
}

QImage reducedForScreen(const QImage& image, QSizeF logical, qreal dpr, bool sensitive)
{
    if (image.isNull() || logical.isEmpty())
        return {};
    const QSize device = devicePixels(logical, dpr);
    if (device.width() >= image.width() && device.height() >= image.height())
        return {};
    QImage copy = reducedCopy(image, device, sensitive);
    copy.setDevicePixelRatio(dpr);
    return copy;
}

} // namespace mv::imaging
