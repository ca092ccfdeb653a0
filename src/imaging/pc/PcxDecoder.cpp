#include "imaging/pc/PcxDecoder.h"

#include "imaging/base/BitUnpack.h"
#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace mv::imaging {

namespace {

constexpr qsizetype kHeaderSize = 128;
constexpr qsizetype kTailPaletteSize = 769; // 0x0C then 256 RGB triples

struct PcxHeader {
    int version = 0, encoding = 0, bits = 0, planes = 0;
    std::int64_t width = 0, height = 0;
    int bytesPerLine = 0;
    const unsigned char* palette16 = nullptr;
};

PcxHeader readHeader(QByteArrayView data)
{
    ByteReader in(data);
    PcxHeader h;
    in.u8();
    h.version = in.u8();
    h.encoding = in.u8();
    h.bits = in.u8();
    const int xmin = in.u16le(), ymin = in.u16le(), xmax = in.u16le(), ymax = in.u16le();
    h.width = std::int64_t(xmax) - xmin + 1;
    h.height = std::int64_t(ymax) - ymin + 1;
    in.seek(65);
    h.planes = in.u8();
    h.bytesPerLine = in.u16le();
    h.palette16 = reinterpret_cast<const unsigned char*>(data.data()) + 16;
    return h;
}

bool supportedLayout(int bits, int planes)
{
    if (bits == 1)
        return planes >= 1 && planes <= 4;
    if (bits == 2 || bits == 4)
        return planes == 1;
    return bits == 8 && (planes == 1 || planes == 3 || planes == 4);
}

QString checkHeader(const PcxHeader& h, qsizetype size)
{
    if (size < kHeaderSize)
        return reason(Reason::Truncated);
    if (h.encoding > 1)
        return reason(Reason::UnsupportedCompression).arg(h.encoding);
    if (!supportedLayout(h.bits, h.planes))
        return reason(Reason::PcxLayout).arg(h.bits).arg(h.planes);
    if (QString why = checkDimensions(h.width, h.height, 1); !why.isEmpty())
        return why;
    if (std::int64_t(h.bytesPerLine) * 8 < h.width * h.bits)
        return reason(Reason::PcxLineTooShort).arg(h.bytesPerLine).arg(h.width);
    return {};
}

// Reads the RLE stream; a run may carry over into the next line, as some writers do.
class PcxRle {
public:
    PcxRle(const std::uint8_t* begin, const std::uint8_t* end) : p_(begin), end_(end) {}

    bool fill(std::uint8_t* out, int n)
    {
        int done = 0;
        while (done < n) {
            if (runLeft_ > 0) {
                const int k = std::min(runLeft_, n - done);
                std::memset(out + done, runValue_, size_t(k));
                done += k;
                runLeft_ -= k;
                continue;
            }
            if (p_ >= end_)
                return false;
            const std::uint8_t c = *p_++;
            if ((c & 0xC0) != 0xC0) {
                out[done++] = c;
                continue;
            }
            if (p_ >= end_)
                return false;
            runLeft_ = c & 0x3F;
            runValue_ = *p_++;
        }
        return true;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    int runLeft_ = 0;
    std::uint8_t runValue_ = 0;
};

bool allZero(const unsigned char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

QList<QRgb> colourTable(const PcxHeader& h, QByteArrayView data, qsizetype* dataEnd)
{
    *dataEnd = data.size();
    if (h.bits == 8) {
        const qsizetype at = data.size() - kTailPaletteSize;
        if (at < kHeaderSize || data[at] != 0x0C)
            return greyRamp(256);
        *dataEnd = at;
        return rgbTriples(reinterpret_cast<const unsigned char*>(data.data()) + at + 1, 256);
    }
    const int colours = 1 << (h.bits * h.planes);
    if (colours == 2 && h.planes == 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    // Version 3 carries no palette; some writers leave it all zeros.
    if (h.version == 3 || allZero(h.palette16, 48))
        return fullTable(egaPalette().mid(0, colours));
    return fullTable(rgbTriples(h.palette16, colours));
}

void storeRow(const PcxHeader& h, const std::uint8_t* line, uchar* out)
{
    const int w = int(h.width), bpl = h.bytesPerLine;
    if (h.planes == 1) {
        packedToIndices(line, h.bits, w, out);
    } else if (h.bits == 1) {
        planesToIndices(line, bpl, h.planes, w, out);
    } else {
        auto* px = reinterpret_cast<QRgb*>(out);
        const std::uint8_t *r = line, *g = line + bpl, *b = line + 2 * bpl;
        if (h.planes == 4) {
            const std::uint8_t* a = line + 3 * bpl;
            for (int x = 0; x < w; ++x)
                px[x] = qRgba(r[x], g[x], b[x], a[x]);
        } else {
            for (int x = 0; x < w; ++x)
                px[x] = qRgb(r[x], g[x], b[x]);
        }
    }
}

QImage::Format outputFormat(const PcxHeader& h)
{
    if (h.planes == 1 || h.bits == 1)
        return QImage::Format_Indexed8;
    return h.planes == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

} // namespace

bool looksLikePcx(QByteArrayView data)
{
    if (data.size() < kHeaderSize || std::uint8_t(data[0]) != 0x0A)
        return false;
    const PcxHeader h = readHeader(data);
    const bool knownVersion = h.version == 0 || (h.version >= 2 && h.version <= 5);
    return knownVersion && checkHeader(h, data.size()).isEmpty();
}

DecodeResult decodePcx(QByteArrayView data)
{
    if (data.size() < kHeaderSize || std::uint8_t(data[0]) != 0x0A)
        return DecodeResult::failure(reason(Reason::NotPcx));
    const PcxHeader h = readHeader(data);
    if (QString why = checkHeader(h, data.size()); !why.isEmpty())
        return DecodeResult::failure(why);

    qsizetype dataEnd = 0;
    QList<QRgb> table;
    if (outputFormat(h) == QImage::Format_Indexed8)
        table = colourTable(h, data, &dataEnd);
    else
        dataEnd = data.size();
    const std::int64_t lineBytes = std::int64_t(h.bytesPerLine) * h.planes;
    const std::int64_t available = dataEnd - kHeaderSize;
    const bool fits = h.encoding == 1 ? canExpandTo(available, lineBytes * h.height, 32)
                                      : available >= lineBytes * h.height;
    if (!fits)
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image = allocateImage(h.width, h.height, outputFormat(h), &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    if (!table.isEmpty())
        image.setColorTable(table);

    const auto* begin = reinterpret_cast<const std::uint8_t*>(data.data()) + kHeaderSize;
    const auto* end = reinterpret_cast<const std::uint8_t*>(data.data()) + dataEnd;
    PcxRle rle(begin, end);
    std::vector<std::uint8_t> line(static_cast<size_t>(lineBytes));
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = begin + lineBytes * y;
        if (h.encoding == 1) {
            if (!rle.fill(line.data(), int(lineBytes)))
                return DecodeResult::failure(reason(Reason::Truncated));
            row = line.data();
        }
        storeRow(h, row, image.scanLine(y));
    }
    return DecodeResult::success(std::move(image), storedDepth(h.bits * h.planes));
}

} // namespace mv::imaging
