#include "imaging/jpeg/ExifOrientation.h"

#include "imaging/base/ByteReader.h"

#include <cstdint>

namespace mv::imaging {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShort = 3;
constexpr int kEntryBytes = 12;
constexpr int kUpright = 1;

// Reads TIFF's fields in the byte order its header names.
struct TiffReader {
    ByteReader bytes;
    bool bigEndian = false;

    std::uint16_t u16() { return bigEndian ? bytes.u16be() : bytes.u16le(); }
    std::uint32_t u32() { return bigEndian ? bytes.u32be() : bytes.u32le(); }
};

} // namespace

int exifOrientation(QByteArrayView app1)
{
    const QByteArrayView header("Exif\0\0", 6);
    if (app1.size() < header.size() || app1.first(header.size()) != header)
        return kUpright;
    TiffReader tiff {ByteReader(app1.sliced(header.size())), false};
    const QByteArrayView order = tiff.bytes.take(2);
    if (order == "MM")
        tiff.bigEndian = true;
    else if (order != "II")
        return kUpright;
    if (tiff.u16() != 42)
        return kUpright;
    const std::uint32_t directory = tiff.u32();
    if (!tiff.bytes.ok() || directory > std::uint32_t(tiff.bytes.size()) ||
        !tiff.bytes.seek(qsizetype(directory)))
        return kUpright;
    const int entries = tiff.u16();
    for (int i = 0; i < entries && tiff.bytes.has(kEntryBytes); ++i) {
        const std::uint16_t tag = tiff.u16();
        const std::uint16_t type = tiff.u16();
        const std::uint32_t count = tiff.u32();
        const std::uint16_t value = tiff.u16(); // a SHORT sits left-aligned in the value field
        tiff.bytes.skip(2);
        if (tag != kOrientationTag)
            continue;
        if (type != kShort || count < 1 || value < 1 || value > 8)
            return kUpright;
        return value;
    }
    return kUpright;
}

} // namespace mv::imaging
