#include "imaging/pc/DibHeader.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"

#include <limits>

namespace mv::imaging {

namespace {

enum : std::uint32_t {
    kAlphaBitfields = 6,
    kOs2Huffman = 3,
    kOs2Rle24 = 4
};

bool isWindowsSize(std::uint32_t size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}
bool isOs2Size(std::uint32_t size)
{
    return size >= 16 && size <= 64 && size % 4 == 0 && !isWindowsSize(size);
}

QString readCore(ByteReader& in, DibHeader* h)
{
    h->width = in.u16le();
    h->height = in.u16le();
    h->planes = in.u16le();
    h->bits = in.u16le();
    return in.ok() ? QString() : reason(Reason::Truncated);
}

// The fields shared by the Windows and OS/2 2.x headers; OS/2 may stop after 16 bytes.
QString readInfo(QByteArrayView data, DibHeader* h)
{
    QByteArray padded = data.first(qMin<qsizetype>(data.size(), h->headerSize)).toByteArray();
    if (padded.size() < qsizetype(h->headerSize))
        return reason(Reason::Truncated);
    padded.resize(qMax<qsizetype>(padded.size(), 56), '\0');
    ByteReader in(padded);
    in.skip(4);
    h->width = in.s32le();
    h->height = in.s32le();
    h->planes = in.u16le();
    h->bits = in.u16le();
    h->compression = in.u32le();
    in.skip(12);
    const std::uint32_t used = in.u32le();
    in.skip(4);
    for (std::uint32_t& m : h->masks)
        m = in.u32le();
    if (h->headerSize < 56)
        h->masks[3] = 0;
    if (h->headerSize < 52)
        h->masks[0] = h->masks[1] = h->masks[2] = 0;
    if (used > 256)
        return reason(Reason::ColourTableTooLarge).arg(used);
    h->colours.resize(used); // entry count only, read later
    return {};
}

QString checkCompression(DibHeader* h, bool os2)
{
    std::uint32_t& c = h->compression;
    if (os2 && (c == kOs2Huffman || c == kOs2Rle24))
        return reason(Reason::UnsupportedCompression).arg(c);
    if (c == kAlphaBitfields)
        c = kDibBitfields;
    const bool ok = c == kDibRgb         ? (h->bits == 1 || h->bits == 4 || h->bits == 8 || h->bits == 16 ||
                                    h->bits == 24 || h->bits == 32)
                    : c == kDibRle8      ? h->bits == 8
                    : c == kDibRle4      ? h->bits == 4
                    : c == kDibBitfields ? (h->bits == 16 || h->bits == 32)
                                         : false;
    if (c > kDibBitfields)
        return reason(Reason::UnsupportedCompression).arg(c);
    if (!ok)
        return reason(Reason::DepthForCompression).arg(h->bits).arg(c);
    return {};
}

void defaultMasks(DibHeader* h)
{
    if (h->compression == kDibBitfields) {
        h->useAlpha = h->masks[3] != 0;
        return;
    }
    h->masks[3] = 0;
    if (h->bits == 16) {
        h->masks[0] = 0x7C00, h->masks[1] = 0x03E0, h->masks[2] = 0x001F;
    } else {
        h->masks[0] = 0xFF0000, h->masks[1] = 0xFF00, h->masks[2] = 0xFF;
    }
}

// Reads the masks stored after a 40-byte header, then the colour table.
QString readTables(QByteArrayView data, DibHeader* h, int entryBytes, int storedMasks)
{
    ByteReader in(data);
    in.seek(h->headerSize);
    for (int i = 0; i < storedMasks; ++i)
        h->masks[i] = in.u32le();
    qsizetype count = h->colours.size();
    if (count == 0 && h->bits <= 8)
        count = qsizetype(1) << h->bits;
    if (!in.has(count * entryBytes))
        return reason(Reason::Truncated);
    h->colours.resize(count);
    for (QRgb& c : h->colours) {
        const int b = in.u8(), g = in.u8(), r = in.u8();
        if (entryBytes == 4)
            in.u8();
        c = qRgb(r, g, b);
    }
    h->bitsOffset = in.pos();
    return in.ok() ? QString() : reason(Reason::Truncated);
}

} // namespace

QString readDibHeader(QByteArrayView data, DibHeader* h)
{
    ByteReader in(data);
    h->headerSize = in.u32le();
    if (!in.ok())
        return reason(Reason::Truncated);
    const bool core = h->headerSize == 12;
    const bool os2 = isOs2Size(h->headerSize);
    if (!core && !os2 && !isWindowsSize(h->headerSize))
        return reason(Reason::DibHeaderSize).arg(h->headerSize);
    QString why = core ? readCore(in, h) : readInfo(data, h);
    if (why.isEmpty() && h->planes != 1)
        why = reason(Reason::UnsupportedPlanes).arg(h->planes);
    if (why.isEmpty())
        why = checkCompression(h, os2);
    if (why.isEmpty() && h->height == std::numeric_limits<std::int32_t>::min())
        why = reason(Reason::TooLarge).arg(h->width).arg(h->height);
    if (why.isEmpty())
        why = checkDimensions(h->width, h->rows(), 1);
    if (!why.isEmpty())
        return why;
    int storedMasks = 0;
    if (h->headerSize == 40 && h->compression == kDibBitfields) // masks follow the header
        storedMasks = ByteReader(data.sliced(16)).u32le() == kAlphaBitfields ? 4 : 3;
    why = readTables(data, h, core ? 3 : 4, storedMasks);
    defaultMasks(h);
    return why;
}

} // namespace mv::imaging
