#include "imaging/retro/MacPaintDecoder.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/retro/PackBits.h"

namespace mv::imaging {
namespace {

constexpr int kWidth = 576;
constexpr int kHeight = 720;
constexpr int kRowBytes = kWidth / 8;
constexpr qsizetype kMacBinarySize = 128;
constexpr qsizetype kHeaderSize = 512;

// The data fork of a MacBinary file, or the whole file when it has no MacBinary header.
QByteArrayView dataFork(QByteArrayView data)
{
    if (!looksLikeMacPaint(data))
        return data;
    ByteReader in(data);
    in.seek(83);
    const qint64 forkLength = in.u32be();
    const QByteArrayView rest = data.sliced(kMacBinarySize);
    return forkLength > 0 && forkLength < rest.size() ? rest.first(forkLength) : rest;
}

} // namespace

bool looksLikeMacPaint(QByteArrayView data)
{
    if (data.size() < kMacBinarySize + kHeaderSize)
        return false;
    const auto byte = [data](qsizetype i) { return static_cast<std::uint8_t>(data[i]); };
    return byte(0) == 0 && byte(1) >= 1 && byte(1) <= 63 && byte(74) == 0 && byte(82) == 0 &&
           data.sliced(65, 4) == QByteArrayView("PNTG");
}

DecodeResult decodeMacPaint(QByteArrayView data)
{
    const QByteArrayView fork = dataFork(data);
    if (fork.size() < kHeaderSize)
        return DecodeResult::failure(reason(Reason::Truncated));
    QString why;
    QImage image = allocateImage(kWidth, kHeight, QImage::Format_Mono, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    ByteReader in(fork);
    in.seek(kHeaderSize);
    for (int y = 0; y < kHeight; ++y) {
        if (!unpackBitsRow(in, image.scanLine(y), kRowBytes))
            return DecodeResult::failure(reason(Reason::Truncated));
    }
    return DecodeResult::success(std::move(image), 1);
}

} // namespace mv::imaging
