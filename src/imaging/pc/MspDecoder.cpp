#include "imaging/pc/MspDecoder.h"

#include "imaging/base/BitUnpack.h"
#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace mv::imaging {

namespace {

constexpr qsizetype kHeaderSize = 32;

int versionOf(QByteArrayView data)
{
    if (data.startsWith("DanM"))
        return 1;
    if (data.startsWith("LinS"))
        return 2;
    return 0;
}

// One version 2 row: 0 n v repeats v n times; any other n copies n bytes.
void expandRow(QByteArrayView src, std::uint8_t* out, int rowBytes)
{
    std::memset(out, 0xFF, size_t(rowBytes));
    ByteReader in(src);
    int x = 0;
    while (!in.atEnd() && x < rowBytes) {
        const int type = in.u8();
        if (type == 0) {
            const int count = in.u8();
            const std::uint8_t value = in.u8();
            if (!in.ok())
                return;
            const int k = std::min(count, rowBytes - x);
            std::memset(out + x, value, size_t(k));
            x += k;
        } else {
            const QByteArrayView bytes = in.take(qMin<qsizetype>(type, in.remaining()));
            const int k = int(std::min<qsizetype>(bytes.size(), rowBytes - x));
            if (k > 0)
                std::memcpy(out + x, bytes.data(), size_t(k));
            x += k;
        }
    }
}

} // namespace

bool looksLikeMsp(QByteArrayView data)
{
    if (data.size() < kHeaderSize || versionOf(data) == 0)
        return false;
    ByteReader in(data.sliced(4));
    const int width = in.u16le(), height = in.u16le();
    return checkDimensions(width, height, 1).isEmpty();
}

DecodeResult decodeMsp(QByteArrayView data)
{
    const int version = versionOf(data);
    if (version == 0)
        return DecodeResult::failure(reason(Reason::NotMsp));
    ByteReader in(data);
    in.skip(4);
    const int width = in.u16le(), height = in.u16le();
    if (!in.seek(kHeaderSize) || !in.ok())
        return DecodeResult::failure(reason(Reason::Truncated));
    if (QString why = checkDimensions(width, height, 1); !why.isEmpty())
        return DecodeResult::failure(why);
    const int rowBytes = (width + 7) / 8;
    const std::int64_t minimum = version == 1 ? std::int64_t(rowBytes) * height : std::int64_t(height) * 2;
    if (in.remaining() < minimum)
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image = allocateImage(width, height, QImage::Format_Indexed8, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});

    ByteReader lengths(data.sliced(kHeaderSize, version == 2 ? height * 2 : 0));
    in.skip(lengths.size());
    std::vector<std::uint8_t> row(static_cast<size_t>(rowBytes));
    for (int y = 0; y < height; ++y) {
        if (version == 1) {
            in.read(row.data(), rowBytes);
        } else {
            expandRow(in.take(lengths.u16le()), row.data(), rowBytes);
        }
        if (!in.ok())
            return DecodeResult::failure(reason(Reason::Truncated));
        packedToIndices(row.data(), 1, width, image.scanLine(y));
    }
    return DecodeResult::success(std::move(image), 1);
}

} // namespace mv::imaging
