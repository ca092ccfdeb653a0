#include "imaging/qt/HeaderDepth.h"

#include "imaging/base/ByteReader.h"

namespace mv::imaging {

namespace {

int pngChannels(int colorType)
{
    switch (colorType) {
    case 0: // grey
    case 3: // palette
        return 1;
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
    }
}

// One field of a TIFF directory entry: the first value, inline or at its offset.
struct TiffReader {
    ByteReader r;
    bool little;

    std::uint16_t u16() { return little ? r.u16le() : r.u16be(); }
    std::uint32_t u32() { return little ? r.u32le() : r.u32be(); }

    // At the value field of an entry of SHORT (3) or LONG (4) values.
    std::uint32_t firstValue(std::uint16_t type, std::uint32_t count)
    {
        const int size = type == 3 ? 2 : type == 4 ? 4 : 0;
        if (size == 0 || count == 0)
            return 0;
        if (std::uint64_t(size) * count > 4) {
            const std::uint32_t offset = u32();
            if (!r.seek(qsizetype(offset)))
                return 0;
        }
        return size == 2 ? u16() : u32();
    }
};

} // namespace

int pngStoredDepth(QByteArrayView data)
{
    ByteReader r(data);
    r.skip(8 + 4);
    if (r.u32be() != 0x49484452u) // "IHDR"
        return 0;
    r.skip(8);
    const int bitDepth = r.u8();
    const int channels = pngChannels(r.u8());
    return r.ok() ? bitDepth * channels : 0;
}

int gifStoredDepth(QByteArrayView data)
{
    ByteReader r(data);
    r.skip(10);
    const int packed = r.u8();
    if (!r.ok())
        return 0;
    return (packed & 0x80) ? (packed & 7) + 1 : ((packed >> 4) & 7) + 1;
}

int bmpStoredDepth(QByteArrayView data)
{
    ByteReader r(data);
    r.skip(14);
    const std::uint32_t headerSize = r.u32le();
    r.skip(headerSize == 12 ? 4 : 8); // OS/2 core header: 16-bit width and height
    r.skip(2);                        // planes
    const int bits = r.u16le();
    return r.ok() ? bits : 0;
}

int tiffStoredDepth(QByteArrayView data)
{
    if (data.size() < 8)
        return 0;
    TiffReader t {ByteReader(data), data[0] == 'I'};
    t.r.skip(4);
    if (!t.r.seek(qsizetype(t.u32())))
        return 0;
    const std::uint16_t count = t.u16();
    const qsizetype first = t.r.pos();
    std::uint32_t bits = 1;
    std::uint32_t samples = 1;
    for (std::uint16_t i = 0; i < count && t.r.ok(); ++i) {
        if (!t.r.seek(first + qsizetype(i) * 12))
            break;
        const std::uint16_t tag = t.u16();
        const std::uint16_t type = t.u16();
        const std::uint32_t n = t.u32();
        if (tag == 258)
            bits = t.firstValue(type, n);
        else if (tag == 277)
            samples = t.firstValue(type, n);
    }
    const std::uint64_t depth = std::uint64_t(bits) * samples;
    return depth <= 128 ? int(depth) : 0;
}

} // namespace mv::imaging
