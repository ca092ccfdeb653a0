#include "imaging/jpeg/ExifOrientation.h"

#include "imaging/base/ByteReader.h"

#include <cstdint>
#include <optional>

namespace mv::imaging {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kCompressionTag = 0x0103;
constexpr std::uint16_t kThumbnailOffsetTag = 0x0201;
constexpr std::uint16_t kThumbnailLengthTag = 0x0202;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kJpegCompression = 6;
constexpr int kEntryBytes = 12;
constexpr int kUpright = 1;

// Reads TIFF's fields in the byte order its header names.
struct TiffReader {
    ByteReader bytes;
    bool bigEndian = false;

    std::uint16_t u16() { return bigEndian ? bytes.u16be() : bytes.u16le(); }
    std::uint32_t u32() { return bigEndian ? bytes.u32be() : bytes.u32le(); }

    // Moves to the directory at offset; false when it lies outside.
    bool seekDirectory(std::uint32_t offset)
    {
        return bytes.ok() && offset <= std::uint32_t(bytes.size()) && bytes.seek(qsizetype(offset));
    }
};

// One directory entry whose value fits its four-byte field.
struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t value = 0; // a SHORT sits left-aligned in the field
};

Entry readEntry(TiffReader& tiff)
{
    Entry e;
    e.tag = tiff.u16();
    e.type = tiff.u16();
    e.count = tiff.u32();
    if (e.type == kShort) {
        e.value = tiff.u16();
        tiff.bytes.skip(2);
    } else {
        e.value = tiff.u32();
    }
    return e;
}

// The TIFF structure after "Exif\0\0", positioned at the first directory.
std::optional<TiffReader> openTiff(QByteArrayView app1)
{
    const QByteArrayView header("Exif\0\0", 6);
    if (app1.size() < header.size() || app1.first(header.size()) != header)
        return std::nullopt;
    TiffReader tiff {ByteReader(app1.sliced(header.size())), false};
    const QByteArrayView order = tiff.bytes.take(2);
    if (order == "MM")
        tiff.bigEndian = true;
    else if (order != "II")
        return std::nullopt;
    if (tiff.u16() != 42 || !tiff.seekDirectory(tiff.u32()))
        return std::nullopt;
    return tiff;
}

} // namespace

int exifOrientation(QByteArrayView app1)
{
    std::optional<TiffReader> tiff = openTiff(app1);
    if (!tiff)
        return kUpright;
    const int entries = tiff->u16();
    for (int i = 0; i < entries && tiff->bytes.has(kEntryBytes); ++i) {
        const Entry e = readEntry(*tiff);
        if (e.tag != kOrientationTag)
            continue;
        if (e.type != kShort || e.count < 1 || e.value < 1 || e.value > 8)
            return kUpright;
        return int(e.value);
    }
    return kUpright;
}

QByteArrayView exifThumbnail(QByteArrayView app1)
{
    std::optional<TiffReader> tiff = openTiff(app1);
    if (!tiff)
        return {};
    // The first directory is passed over to reach the offset of the second.
    const int entries = tiff->u16();
    if (!tiff->bytes.skip(qsizetype(entries) * kEntryBytes) || !tiff->seekDirectory(tiff->u32()))
        return {};
    const int thumbnailEntries = tiff->u16();
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    for (int i = 0; i < thumbnailEntries && tiff->bytes.has(kEntryBytes); ++i) {
        const Entry e = readEntry(*tiff);
        const bool number = (e.type == kLong || e.type == kShort) && e.count == 1;
        if (e.tag == kCompressionTag && (!number || e.value != kJpegCompression))
            return {};
        if (e.tag == kThumbnailOffsetTag && number)
            offset = e.value;
        else if (e.tag == kThumbnailLengthTag && number)
            length = e.value;
    }
    const QByteArrayView data = tiff->bytes.data();
    if (offset == 0 || length < 4 || offset > std::uint32_t(data.size()) ||
        length > std::uint32_t(data.size()) - offset)
        return {};
    const QByteArrayView thumbnail = data.sliced(qsizetype(offset), qsizetype(length));
    return uchar(thumbnail[0]) == 0xFF && uchar(thumbnail[1]) == 0xD8 ? thumbnail : QByteArrayView();
}

} // namespace mv::imaging
