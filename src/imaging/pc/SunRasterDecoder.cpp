#include "imaging/pc/SunRasterDecoder.h"

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

constexpr std::uint32_t kMagic = 0x59a66a95;
constexpr qsizetype kHeaderSize = 32;
enum : std::uint32_t {
    kOld = 0,
    kStandard = 1,
    kByteEncoded = 2,
    kRgb = 3
};

struct SunHeader {
    std::uint32_t magic = 0;
    std::int64_t width = 0, height = 0;
    std::uint32_t depth = 0, length = 0, type = 0, mapType = 0, mapLength = 0;

    [[nodiscard]] std::int64_t rowBytes() const { return ((width * depth + 15) / 16) * 2; }
    [[nodiscard]] std::int64_t dataStart() const { return kHeaderSize + std::int64_t(mapLength); }
};

SunHeader readHeader(QByteArrayView data)
{
    ByteReader in(data);
    SunHeader h;
    h.magic = in.u32be();
    h.width = in.u32be();
    h.height = in.u32be();
    h.depth = in.u32be();
    h.length = in.u32be();
    h.type = in.u32be();
    h.mapType = in.u32be();
    h.mapLength = in.u32be();
    return h;
}

QString checkHeader(const SunHeader& h, qsizetype size)
{
    if (size < kHeaderSize)
        return reason(Reason::Truncated);
    if (h.type > kRgb)
        return reason(Reason::SunRasterType).arg(h.type);
    if (h.depth != 1 && h.depth != 8 && h.depth != 24 && h.depth != 32)
        return reason(Reason::UnsupportedDepth).arg(h.depth);
    if (h.mapType > 2)
        return reason(Reason::ColourMapType).arg(h.mapType);
    if (QString why = checkDimensions(h.width, h.height, 1); !why.isEmpty())
        return why;
    const std::int64_t available = size - h.dataStart();
    const std::int64_t needed = h.rowBytes() * h.height;
    const bool fits = h.type == kByteEncoded ? canExpandTo(available, needed, 85) : available >= needed;
    return fits ? QString() : reason(Reason::Truncated);
}

// Byte-encoded runs: 0x80 n v repeats v n+1 times, 0x80 0 is a single 0x80.
class SunRle {
public:
    SunRle(const std::uint8_t* begin, const std::uint8_t* end) : p_(begin), end_(end) {}

    bool fill(std::uint8_t* out, std::int64_t n)
    {
        std::int64_t done = 0;
        while (done < n) {
            if (left_ > 0) {
                const std::int64_t k = std::min<std::int64_t>(left_, n - done);
                std::memset(out + done, value_, size_t(k));
                done += k;
                left_ -= int(k);
            } else if (p_ >= end_) {
                return false;
            } else if (*p_ != 0x80) {
                out[done++] = *p_++;
            } else if (end_ - p_ < 2) {
                return false;
            } else if (p_[1] == 0) {
                out[done++] = 0x80;
                p_ += 2;
            } else if (end_ - p_ < 3) {
                return false;
            } else {
                left_ = p_[1] + 1;
                value_ = p_[2];
                p_ += 3;
            }
        }
        return true;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    int left_ = 0;
    std::uint8_t value_ = 0;
};

QList<QRgb> colourTable(const SunHeader& h, QByteArrayView data)
{
    const int entries = int(std::min<std::uint32_t>(h.mapLength / 3, 256));
    if (h.mapType != 1 || entries == 0)
        return h.depth == 1 ? QList<QRgb> {qRgb(255, 255, 255), qRgb(0, 0, 0)} : greyRamp(256);
    const auto* map = reinterpret_cast<const std::uint8_t*>(data.data()) + kHeaderSize;
    const int stride = int(h.mapLength / 3); // all reds, then all greens, then all blues
    QList<QRgb> table;
    for (int i = 0; i < entries; ++i)
        table.append(qRgb(map[i], map[stride + i], map[2 * stride + i]));
    return fullTable(table);
}

void storeRow(const SunHeader& h, const std::uint8_t* src, uchar* out)
{
    const int w = int(h.width);
    if (h.depth <= 8) {
        packedToIndices(src, int(h.depth), w, out);
        return;
    }
    auto* px = reinterpret_cast<QRgb*>(out);
    const bool rgb = h.type == kRgb;
    const int step = int(h.depth / 8), skip = h.depth == 32 ? 1 : 0; // 32 bits: pad byte first
    for (int x = 0; x < w; ++x, src += step) {
        const std::uint8_t* p = src + skip;
        px[x] = rgb ? qRgb(p[0], p[1], p[2]) : qRgb(p[2], p[1], p[0]);
    }
}

} // namespace

bool looksLikeSunRaster(QByteArrayView data)
{
    if (data.size() < kHeaderSize)
        return false;
    const SunHeader h = readHeader(data);
    return h.magic == kMagic && checkHeader(h, data.size()).isEmpty();
}

DecodeResult decodeSunRaster(QByteArrayView data)
{
    const SunHeader h = readHeader(data);
    if (h.magic != kMagic)
        return DecodeResult::failure(reason(Reason::NotSunRaster));
    if (QString why = checkHeader(h, data.size()); !why.isEmpty())
        return DecodeResult::failure(why);

    QString why;
    const bool indexed = h.depth <= 8;
    QImage image =
        allocateImage(h.width, h.height, indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    if (indexed)
        image.setColorTable(fullTable(colourTable(h, data)));

    const auto* base = reinterpret_cast<const std::uint8_t*>(data.data());
    const std::uint8_t* begin = base + h.dataStart();
    std::vector<std::uint8_t> line(size_t(h.rowBytes()));
    SunRle rle(begin, base + data.size());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = begin + h.rowBytes() * y;
        if (h.type == kByteEncoded) {
            if (!rle.fill(line.data(), h.rowBytes()))
                return DecodeResult::failure(reason(Reason::Truncated));
            row = line.data();
        }
        storeRow(h, row, image.scanLine(y));
    }
    return DecodeResult::success(std::move(image), int(h.depth));
}

} // namespace mv::imaging
