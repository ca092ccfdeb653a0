// A JPEG carrying an EXIF thumbnail, as a camera writes it: the APP1 block right after SOI.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace mv::test {

inline QByteArray be16(int v)
{
    return QByteArray(1, char((v >> 8) & 255)) + QByteArray(1, char(v & 255));
}
inline QByteArray be32(std::uint32_t v)
{
    return be16(int(v >> 16)) + be16(int(v & 0xFFFF));
}
inline QByteArray exifEntry(int tag, int type, std::uint32_t value)
{
    const QByteArray field = type == 3 ? be16(int(value)) + be16(0) : be32(value);
    return be16(tag) + be16(type) + be32(1) + field;
}

// "Exif\0\0", a big-endian TIFF: IFD0 with the orientation, IFD1 with the JPEG copy after it.
inline QByteArray exifWithCopy(int orientation, const QByteArray& copy, std::uint32_t copyOffset = 68)
{
    QByteArray tiff = QByteArray("MM") + be16(42) + be32(8);
    tiff += be16(1) + exifEntry(0x0112, 3, std::uint32_t(orientation)) + be32(26);
    tiff += be16(3) + exifEntry(0x0103, 3, 6) + exifEntry(0x0201, 4, copyOffset) +
            exifEntry(0x0202, 4, std::uint32_t(copy.size())) + be32(0);
    return QByteArray("Exif\0\0", 6) + tiff + copy;
}

inline QByteArray withApp1(const QByteArray& jpeg, const QByteArray& payload)
{
    return jpeg.left(2) + QByteArray("\xFF\xE1", 2) + be16(int(payload.size()) + 2) + payload + jpeg.mid(2);
}

} // namespace mv::test
