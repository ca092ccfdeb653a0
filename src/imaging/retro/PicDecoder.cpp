#include "imaging/retro/PicDecoder.h"

#include "imaging/base/BitUnpack.h"
#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/retro/PicPalette.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace mv::imaging {
namespace {

constexpr std::uint16_t kMagic = 0x1234;
constexpr int kExtendedHeader = 0xFF;
// The most a block byte can stand for: marker, 0, 0xFFFF, value gives 65535 bytes from 5.
constexpr qint64 kMaxExpansion = 65535 / 5 + 1;

struct PicHeader {
    int width = 0;
    int height = 0;
    int bits = 0; // per pixel in one plane
    int planes = 0;
    int paletteType = 0;
    QByteArrayView palette;
};

QString readHeader(ByteReader& in, PicHeader* h)
{
    if (in.u16le() != kMagic)
        return reason(Reason::NotPcPaint);
    h->width = in.u16le();
    h->height = in.u16le();
    in.skip(4); // screen position
    const int planeInfo = in.u8();
    const int flag = in.u8();
    in.skip(1); // video mode
    h->paletteType = in.u16le();
    const int paletteSize = in.u16le();
    h->palette = in.take(paletteSize);
    if (!in.ok())
        return reason(Reason::Truncated);
    if (flag != kExtendedHeader)
        return reason(Reason::PcPaint1);
    h->bits = planeInfo & 15;
    h->planes = (planeInfo >> 4) + 1;
    const bool packed = h->planes == 1 && (h->bits == 1 || h->bits == 2 || h->bits == 4 || h->bits == 8);
    const bool planar = h->bits == 1 && h->planes <= 4;
    if (!packed && !planar)
        return reason(Reason::PicLayout).arg(h->planes).arg(h->bits);
    return checkDimensions(h->width, h->height, 1);
}

// Runs of one block into out[filled..); false when the block ends inside a run.
bool expandBlock(QByteArrayView block, std::uint8_t marker, std::vector<std::uint8_t>& out, qsizetype& filled)
{
    ByteReader in(block);
    const qsizetype total = qsizetype(out.size());
    while (!in.atEnd() && filled < total) {
        const std::uint8_t b = in.u8();
        if (b != marker) {
            out[size_t(filled++)] = b;
            continue;
        }
        qsizetype count = in.u8();
        if (count == 0)
            count = in.u16le();
        const std::uint8_t value = in.u8();
        if (!in.ok())
            return false;
        count = std::min(count, total - filled);
        std::memset(out.data() + filled, value, size_t(count));
        filled += count;
    }
    return true;
}

QString readPixels(ByteReader& in, std::vector<std::uint8_t>& out)
{
    const qsizetype total = qsizetype(out.size());
    const int blocks = in.u16le();
    if (!in.ok())
        return reason(Reason::Truncated);
    if (blocks == 0)
        return in.read(out.data(), total) ? QString() : reason(Reason::Truncated);
    qsizetype filled = 0;
    for (int b = 0; b < blocks && filled < total; ++b) {
        const int blockSize = in.u16le();
        in.skip(2); // unpacked size: the runs say it again
        const std::uint8_t marker = in.u8();
        if (!in.ok())
            return reason(Reason::Truncated);
        if (blockSize < 5)
            return reason(Reason::BlockDamaged);
        const QByteArrayView block = in.take(blockSize - 5);
        if (!in.ok() || !expandBlock(block, marker, out, filled))
            return reason(Reason::Truncated);
    }
    return filled == total ? QString() : reason(Reason::Truncated);
}

} // namespace

bool looksLikePic(QByteArrayView data)
{
    ByteReader in(data);
    PicHeader header;
    return readHeader(in, &header).isEmpty();
}

DecodeResult decodePic(QByteArrayView data)
{
    ByteReader in(data);
    PicHeader h;
    if (QString why = readHeader(in, &h); !why.isEmpty())
        return DecodeResult::failure(why);
    const bool planar = h.planes > 1;
    const qsizetype rowBytes = planar ? (h.width + 7) / 8 : (qsizetype(h.width) * h.bits + 7) / 8;
    const qsizetype planeBytes = rowBytes * h.height;
    const qsizetype total = planeBytes * h.planes;
    if (total > qint64(in.remaining()) * kMaxExpansion)
        return DecodeResult::failure(reason(Reason::Truncated));
    QString why;
    QImage image = allocateImage(h.width, h.height, QImage::Format_Indexed8, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    std::vector<std::uint8_t> pixels(static_cast<size_t>(total));
    if (QString damage = readPixels(in, pixels); !damage.isEmpty())
        return DecodeResult::failure(damage);

    const int depth = h.bits * h.planes;
    image.setColorTable(picPalette(h.paletteType, h.palette, depth));
    for (int row = 0; row < h.height; ++row) {
        const std::uint8_t* src = pixels.data() + row * rowBytes;
        std::uint8_t* line = image.scanLine(h.height - 1 - row);
        if (planar)
            planesToIndices(src, planeBytes, h.planes, h.width, line);
        else
            packedToIndices(src, h.bits, h.width, line);
    }
    return DecodeResult::success(std::move(image), storedDepth(depth));
}

} // namespace mv::imaging
