#include "imaging/pc/GemImgDecoder.h"

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

struct GemHeader {
    int version = 0, headerWords = 0, planes = 0, patternLength = 0;
    std::int64_t width = 0, height = 0;
    [[nodiscard]] int planeBytes() const { return int((width + 7) / 8); }
    [[nodiscard]] int lineBytes() const { return planeBytes() * planes; }
};

GemHeader readHeader(ByteReader& in)
{
    GemHeader h;
    h.version = in.u16be();
    h.headerWords = in.u16be();
    h.planes = in.u16be();
    h.patternLength = in.u16be();
    in.skip(4); // pixel size in microns
    h.width = in.u16be();
    h.height = in.u16be();
    return h;
}

QString checkHeader(const GemHeader& h, qsizetype size)
{
    if (h.headerWords < 8 || qsizetype(h.headerWords) * 2 > size)
        return reason(Reason::GemHeaderLength).arg(h.headerWords);
    if (h.planes < 1 || h.planes > 8)
        return reason(Reason::UnsupportedPlanes).arg(h.planes);
    if (h.patternLength < 1 || h.patternLength > 8)
        return reason(Reason::GemPatternLength).arg(h.patternLength);
    return checkDimensions(h.width, h.height, 1);
}

QList<QRgb> defaultPalette(int planes)
{
    static const QRgb st16[16] = {
        0xffffffff, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffaaaaaa,
        0xff555555, 0xffffaaaa, 0xffaaffaa, 0xffffffaa, 0xffaaaaff, 0xffffaaff, 0xffaaffff, 0xff000000,
    };
    if (planes == 1)
        return {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    if (planes == 2)
        return {st16[0], st16[1], st16[2], st16[15]};
    if (planes == 4)
        return QList<QRgb>(std::begin(st16), std::end(st16));
    QList<QRgb> ramp = greyRamp(1 << planes);
    std::reverse(ramp.begin(), ramp.end());
    return ramp;
}

// The XIMG extension: "XIMG", colour model 0 (RGB), then R, G, B in 0..1000 per colour.
QList<QRgb> colourTable(const GemHeader& h, QByteArrayView data)
{
    ByteReader in(data.first(qsizetype(h.headerWords) * 2));
    in.skip(16);
    if (in.take(4) != "XIMG" || in.u16be() != 0)
        return defaultPalette(h.planes);
    QList<QRgb> table;
    for (int i = 0; i < (1 << h.planes) && in.has(6); ++i) {
        int c[3];
        for (int& v : c)
            v = std::min<int>(in.u16be(), 1000) * 255 / 1000;
        table.append(qRgb(c[0], c[1], c[2]));
    }
    return table.isEmpty() ? defaultPalette(h.planes) : table;
}

// Expands one line of all planes; returns how many times the line is to be shown, or 0 when
// the data ends first.
int expandLine(ByteReader& in, const GemHeader& h, std::uint8_t* out)
{
    const int total = h.lineBytes();
    int repeat = 1, x = 0;
    while (x < total) {
        const int code = in.u8();
        if (!in.ok()) // a failed reader gives zeros, which read as endless replication codes
            return 0;
        if (code == 0) {
            const int n = in.u8();
            if (n == 0) { // vertical replication: 00 00 FF count
                in.u8();
                repeat = std::max(1, int(in.u8()));
                continue;
            }
            const QByteArrayView pattern = in.take(h.patternLength);
            for (int i = 0; i < n && x < total; ++i)
                for (int k = 0; k < h.patternLength && x < total; ++k)
                    out[x++] = std::uint8_t(pattern.isEmpty() ? 0 : pattern[k]);
        } else if (code == 0x80) {
            const int n = in.u8();
            const QByteArrayView bytes = in.take(n);
            const int k = std::min<int>(int(bytes.size()), total - x);
            if (k > 0)
                std::memcpy(out + x, bytes.data(), size_t(k));
            x += k;
        } else {
            const int k = std::min(code & 0x7F, total - x);
            std::memset(out + x, (code & 0x80) ? 0xFF : 0x00, size_t(k));
            x += k;
        }
        if (!in.ok())
            return 0;
    }
    return repeat;
}

void storeLine(const GemHeader& h, const std::uint8_t* line, uchar* out)
{
    const int w = int(h.width);
    planesToIndices(line, h.planeBytes(), h.planes, w, out);
}

} // namespace

bool looksLikeGemImg(QByteArrayView data)
{
    ByteReader in(data);
    const GemHeader h = readHeader(in);
    return in.ok() && h.version >= 1 && h.version <= 3 && checkHeader(h, data.size()).isEmpty() &&
           qsizetype(h.headerWords) * 2 < data.size();
}

DecodeResult decodeGemImg(QByteArrayView data)
{
    ByteReader in(data);
    const GemHeader h = readHeader(in);
    if (!in.ok())
        return DecodeResult::failure(reason(Reason::Truncated));
    if (QString why = checkHeader(h, data.size()); !why.isEmpty())
        return DecodeResult::failure(why);

    // A run gives at most 255 pattern bytes per byte of data, and a line is shown at most 255
    // times, so a short file cannot hold a huge picture.
    const std::int64_t leastBytes = ((h.height + 254) / 255) * ((h.lineBytes() + 254) / 255);
    if (data.size() - qsizetype(h.headerWords) * 2 < leastBytes)
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image = allocateImage(h.width, h.height, QImage::Format_Indexed8, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    image.setColorTable(fullTable(colourTable(h, data)));

    in.seek(qsizetype(h.headerWords) * 2);
    std::vector<std::uint8_t> line(size_t(h.lineBytes()));
    for (int y = 0; y < image.height();) {
        const int repeat = expandLine(in, h, line.data());
        if (repeat == 0)
            return DecodeResult::failure(reason(Reason::Truncated));
        for (int i = 0; i < repeat && y < image.height(); ++i, ++y)
            storeLine(h, line.data(), image.scanLine(y));
    }
    return DecodeResult::success(std::move(image), storedDepth(h.planes));
}

} // namespace mv::imaging
